#include "strip_fixture.h"

#include "ticker/x11/x11_strip.h"

#include <QProcess>

#include <cstdlib>

namespace ribbex::test {

std::unique_ptr<MenuBarScrollerController> StripTest::makeController()
{
    auto made = std::make_unique<MenuBarScrollerController>(
        model(), settingsStore, *this, [this] { ++openSettingsCalls; }, [this] { ++quitCalls; });
    made->view().setAnimationEnabled(false);
    const WId id = made->window().winId();
    EXPECT_TRUE(eventually([id] {
        return windowProperty(id, QStringLiteral("WM_STATE")).join(u',').contains(u"Normal");
    })) << "the window manager never took the strip";
    return made;
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted()) << program.toStdString();
    EXPECT_TRUE(ModelHome::eventually([&process] { return process.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QStringList windowProperty(WId window, const QString &property)
{
    QProcess process;
    process.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), property});
    process.waitForFinished();
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    const qsizetype equals = output.indexOf(u" = ");
    return equals < 0 ? QStringList {output} : output.sliced(equals + 3).split(QStringLiteral(", "));
}

QRect windowGeometry(WId window)
{
    xcb_connection_t *connection = x11::connection();
    const auto id = static_cast<xcb_window_t>(window);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto *size = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    auto *origin
        = xcb_translate_coordinates_reply(connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr);
    const QRect geometry = size && origin ? QRect(origin->dst_x, origin->dst_y, size->width, size->height) : QRect();
    std::free(size);
    std::free(origin);
    return geometry;
}

QImage windowPixels(WId window)
{
    // Read from the root window, so whatever covers the strip shows as it does on screen.
    xcb_connection_t *connection = x11::connection();
    const QRect at = windowGeometry(window);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto *reply = xcb_get_image_reply(connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<int16_t>(at.x()),
            static_cast<int16_t>(at.y()), static_cast<uint16_t>(at.width()), static_cast<uint16_t>(at.height()), ~0u),
        nullptr);
    QImage image;
    // The test server is 24 bit, little endian, 32 bits a pixel.
    if (reply && reply->depth == 24)
        image = QImage(xcb_get_image_data(reply), at.width(), at.height(), QImage::Format_RGB32).copy();
    std::free(reply);
    return image;
}

} // namespace ribbex::test
