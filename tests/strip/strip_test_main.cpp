#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // These tests look at a real X server; tests/support/with-x11-session provides one.
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        fprintf(stderr, "strip_tests: no DISPLAY; run them through tests/support/with-x11-session\n");
        return 1;
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
