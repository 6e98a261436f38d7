#include "ticker_fixture.h"

#include <cmath>

namespace ribbex::test {

TickerTest::TickerTest()
    : model(std::make_unique<SettingsModel>(ModelServices {settingsStore, cacheStore, loginItems, clock, false}))
{
}

void TickerTest::changeSettings(const std::function<void(RibbexSettings &)> &change)
{
    RibbexSettings settings = model->settings();
    change(settings);
    model->setSettings(settings);
}

NewsHeadline TickerTest::headline(const QString &title, int index) const
{
    return {title, QUrl(QStringLiteral("https://example.org/%1").arg(index))};
}

void TickerTest::showHeadlines(const QStringList &titles)
{
    changeSettings([](RibbexSettings &settings) { settings.enabledSources = {TickerSource::news}; });
    QList<NewsHeadline> headlines;
    for (qsizetype i = 0; i < titles.size(); ++i)
        headlines.append(headline(titles[i], static_cast<int>(i)));
    model->setNewsHeadlines(headlines);
}

QColor Pixels::at(double x, double y) const
{
    const double ratio = image.devicePixelRatio();
    const int px = static_cast<int>(std::floor(x * ratio));
    const int py = static_cast<int>(std::floor(y * ratio));
    EXPECT_TRUE(image.rect().contains(px, py)) << x << ", " << y;
    return image.pixelColor(px, py);
}

} // namespace ribbex::test
