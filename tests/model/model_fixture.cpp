#include "model_fixture.h"

namespace ribbex::test {

QDateTime ModelTest::at(const char *isoUtc)
{
    QDateTime time = QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODate);
    EXPECT_TRUE(time.isValid()) << isoUtc;
    return time.toUTC();
}

std::unique_ptr<SettingsModel> ModelTest::makeModel(bool mayRegisterLoginItem)
{
    return std::make_unique<SettingsModel>(
        ModelServices {settingsStore, cacheStore, loginItems, clock, mayRegisterLoginItem});
}

void ModelTest::storeSettings(const RibbexSettings &settings)
{
    storeSettingsBytes(*encodeSettings(settings));
}

void ModelTest::storeSettingsBytes(const QByteArray &bytes)
{
    ASSERT_TRUE(settingsStore.write(RibbexSettings::preferencesKey, bytes));
}

RibbexSettings ModelTest::storedSettings() const
{
    const auto bytes = settingsStore.read(RibbexSettings::preferencesKey);
    EXPECT_TRUE(bytes && bytes->has_value());
    const std::optional<RibbexSettings> settings = decodeSettings(bytes->value_or(QByteArray()));
    EXPECT_TRUE(settings);
    return settings.value_or(RibbexSettings {});
}

ChangeCounter::ChangeCounter(SettingsModel &model)
{
    QObject::connect(&model, &SettingsModel::changed, [this] { ++changeSignals; });
    model.onChange = [this] { ++onChangeCalls; };
}

} // namespace ribbex::test
