// The main of the suites that need a QApplication (widgets, painting), offscreen.

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Listing the tests for CTest runs without the tests' environment, and QApplication needs a platform even then.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The same widget style wherever the tests run.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
