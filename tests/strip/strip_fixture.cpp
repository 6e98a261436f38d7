#include "strip_fixture.h"

#include "ticker/x11/x11_strip.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdlib>

namespace ribbex::test {

StripTest::StripTest()
    : model(std::make_unique<SettingsModel>(ModelServices {settingsStore, cacheStore, loginItems, clock, false}))
{
}

std::unique_ptr<MenuBarScrollerController> StripTest::makeController()
{
    auto made = std::make_unique<MenuBarScrollerController>(
        *model, positionStore, clicks, [this] { ++openSettingsCalls; }, [this] { ++quitCalls; });
    made->view().setAnimationEnabled(false);
    const WId id = made->window().winId();
    EXPECT_TRUE(waitUntil([id] { return windowProperty(id, QStringLiteral("WM_STATE")).contains(u"Normal"); }))
        << "the window manager never took the strip";
    return made;
}

void StripTest::changeSettings(const std::function<void(RibbexSettings &)> &change)
{
    RibbexSettings settings = model->settings();
    change(settings);
    model->setSettings(settings);
}

void StripTest::showHeadlines(const QStringList &titles)
{
    changeSettings([](RibbexSettings &settings) { settings.enabledSources = {TickerSource::news}; });
    QList<NewsHeadline> headlines;
    for (qsizetype i = 0; i < titles.size(); ++i)
        headlines.append({titles[i], QUrl(QStringLiteral("https://example.org/%1").arg(i))});
    model->setNewsHeadlines(headlines);
}

bool waitUntil(const std::function<bool()> &condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted()) << program.toStdString();
    EXPECT_TRUE(waitUntil([&process] { return process.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString windowProperty(WId window, const QString &property)
{
    QProcess process;
    process.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), property});
    process.waitForFinished();
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QStringList windowAtoms(WId window, const QString &property)
{
    const QString output = windowProperty(window, property);
    const qsizetype equals = output.indexOf(u" = ");
    return equals < 0 ? QStringList() : output.sliced(equals + 3).split(QStringLiteral(", "));
}

QRect windowGeometry(WId window)
{
    const QString info = runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const auto field = [&info](const QString &name) {
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("%1:\\s+(-?\\d+)").arg(name)).match(info);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    return {field(QStringLiteral("Absolute upper-left X")), field(QStringLiteral("Absolute upper-left Y")),
        field(QStringLiteral("Width")), field(QStringLiteral("Height"))};
}

QImage windowPixels(WId window)
{
    // Read from the root window, so whatever covers the strip shows as it does on screen.
    xcb_connection_t *connection = x11::connection();
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    xcb_translate_coordinates_reply_t *origin = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, screen->root, 0, 0), nullptr);
    xcb_get_image_reply_t *reply = geometry && origin ? xcb_get_image_reply(connection,
                                       xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, origin->dst_x,
                                           origin->dst_y, geometry->width, geometry->height, ~0u),
                                       nullptr)
                                                      : nullptr;
    QImage image;
    // The test server is 24 bit, little endian, 32 bits a pixel.
    if (reply && reply->depth == 24)
        image = QImage(xcb_get_image_data(reply), geometry->width, geometry->height, QImage::Format_RGB32).copy();
    std::free(reply);
    std::free(origin);
    std::free(geometry);
    return image;
}

} // namespace ribbex::test
