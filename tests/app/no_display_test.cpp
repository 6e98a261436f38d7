#include "ribbex_process.h"

namespace ribbex::test {
namespace {

using namespace Qt::StringLiterals;

TEST_F(RibbexProcessTest, WithoutADisplayTheStripSaysWhyAndPointsToOnce)
{
    const struct {
        QStringList environment;
        const char *reason;
    } cases[] = {
        {{}, "no display to show the strip on"},
        {{u"DISPLAY=:97"_s}, "cannot open the X display \":97\""},
    };
    for (const auto &c : cases) {
        const ProcessResult result = ribbex({}, c.environment + QStringList {u"QT_QPA_PLATFORM="_s});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.startsWith(QByteArray(QByteArray("ribbex: ") + c.reason))) << result.err.constData();
        EXPECT_TRUE(result.err.contains("ribbex --once")) << result.err.constData();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

} // namespace
} // namespace ribbex::test
