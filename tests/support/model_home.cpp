#include "support/model_home.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace ribbex::test {

using namespace Qt::StringLiterals;

QDateTime utc(const char *iso)
{
    const QDateTime time = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    EXPECT_TRUE(time.isValid()) << iso;
    return time.toUTC();
}

const QByteArray twoHeadlineFeed
    = "<rss><channel><item><title>First headline</title><link>https://news.example/1</link>"
      "</item><item><title>Second headline</title><link>https://news.example/2</link>"
      "</item></channel></rss>";

ModelHome::ModelHome()
    : answer([](const HttpTestRequest &request) {
        return HttpTestResponse {
            .body = request.path == u"/feed.xml" ? twoHeadlineFeed : QByteArray(R"({"events":[]})")};
    })
    , server([this](const HttpTestRequest &request) { return answer(request); })
{
}

ModelHome::~ModelHome() = default;

SettingsModel &ModelHome::model()
{
    if (!m_model) {
        m_model = std::make_unique<SettingsModel>(
            ModelServices {settingsStore, cacheStore, loginItems, clock, mayRegisterLoginItem});
    }
    return *m_model;
}

const SourceList &ModelHome::sources()
{
    if (m_sources.empty())
        m_sources = makeSources({model(), network});
    return m_sources;
}

LiveSource &ModelHome::source(TickerSource kind)
{
    for (const auto &source : sources()) {
        if (source->kind() == kind)
            return *source;
    }
    ADD_FAILURE() << "no source " << rawValue(kind).toStdString();
    std::abort();
}

void ModelHome::reopen()
{
    m_sources.clear();
    m_model.reset();
}

void ModelHome::edit(const std::function<void(RibbexSettings &)> &change)
{
    RibbexSettings settings = model().settings();
    change(settings);
    model().setSettings(settings);
}

void ModelHome::store(const RibbexSettings &settings)
{
    storeBytes(*encodeSettings(settings));
}

void ModelHome::storeBytes(const QByteArray &bytes)
{
    EXPECT_TRUE(settingsStore.write(RibbexSettings::preferencesKey, bytes));
}

RibbexSettings ModelHome::stored() const
{
    const auto bytes = settingsStore.read(RibbexSettings::preferencesKey);
    EXPECT_TRUE(bytes && bytes->has_value());
    const std::optional<RibbexSettings> settings = decodeSettings(bytes->value_or(QByteArray()));
    EXPECT_TRUE(settings);
    return settings.value_or(RibbexSettings {});
}

bool ModelHome::eventually(const std::function<bool()> &condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

ChangeCounter::ChangeCounter(SettingsModel &model)
{
    QObject::connect(&model, &SettingsModel::changed, [this] { ++changeSignals; });
    model.onChange = [this] { ++onChangeCalls; };
}

void ModelHome::settle(const SettingsModel *model)
{
    if (const SettingsModel *settling = model ? model : m_model.get()) {
        EXPECT_TRUE(eventually([settling] {
            // A refresh under way says so with an ellipsis.
            const auto busy = [](const QString &status) { return status.endsWith(u'…'); };
            return !settling->bookkeeping().isUpdatingFootball && !busy(settling->newsStatus())
                && !busy(settling->weatherStatus()) && !busy(settling->spotifyStatus());
        }));
    }
}

} // namespace ribbex::test
