#include "model/match_texts.h"

#include <gtest/gtest.h>

namespace ribbex {
namespace {

using namespace Qt::StringLiterals;

FootballMatch fixture(const QString &status, std::optional<qint64> home, std::optional<qint64> away,
    std::optional<qint64> minute = std::nullopt)
{
    return {u"1"_s, QDateTime(QDate(2026, 12, 6), QTime(20, 0), QTimeZone::utc()), status, minute,
        {u"Arsenal"_s, u"ARS"_s}, {u"Chelsea"_s, std::nullopt}, {u"England Premier League"_s, u"eng.1"_s},
        {{home, away}}};
}

TEST(MatchTexts, ResultOnlyWhenInPlayOrOverWithBothScores)
{
    const QTimeZone utc = QTimeZone::utc();
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    const struct {
        FootballMatch match;
        const char16_t *ticker;
        const char16_t *zone;
    } cases[] = {
        {fixture(matchStatus::finished, 3, 0), u"ARS 3\u20130 Chelsea", u"ARS 3-0 Chelsea"},
        {fixture(matchStatus::finished, 3, 0, 90), u"ARS 3\u20130 Chelsea \u00B7 90\u2032", u"ARS 3-0 Chelsea"},
        {fixture(matchStatus::inPlay, 2, 1, 67), u"ARS 2\u20131 Chelsea \u00B7 67\u2032", u"ARS 2-1 Chelsea"},
        {fixture(matchStatus::paused, 0, 0, 45), u"ARS 0\u20130 Chelsea \u00B7 45\u2032", u"ARS 0-0 Chelsea"},
        {fixture(matchStatus::penaltyShootout, 1, 1), u"ARS 1\u20131 Chelsea", u"ARS 1-1 Chelsea"},
        {fixture(matchStatus::inPlay, 2, std::nullopt, 10), u"ARS v Chelsea \u00B7 20:00", u"ARS - Chelsea"},
        {fixture(matchStatus::scheduled, 2, 1, 10), u"ARS v Chelsea \u00B7 20:00", u"ARS - Chelsea"},
        {fixture(matchStatus::scheduled, std::nullopt, std::nullopt), u"ARS v Chelsea \u00B7 20:00", u"ARS - Chelsea"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(tickerText(c.match, utc, english), QString::fromUtf16(c.ticker));
        EXPECT_EQ(footballZoneText(c.match), QString::fromUtf16(c.zone));
    }
}

TEST(MatchTexts, AnEmptyShortNameStillWinsOverTheName)
{
    FootballMatch match = fixture(matchStatus::finished, 1, 2);
    match.homeTeam.shortName = QString();
    EXPECT_EQ(footballZoneText(match), u" 1-2 Chelsea"_s);
}

TEST(MatchTexts, KickOffTimeIsInTheUsersZoneAndLocale)
{
    const QDateTime kickOff(QDate(2026, 7, 1), QTime(19, 30), QTimeZone::utc());
    const struct {
        const char *zone;
        QLocale locale;
        const char16_t *expected;
    } cases[] = {
        {"Europe/Berlin", QLocale(QLocale::German, QLocale::Germany), u"21:30"},
        {"Europe/London", QLocale(QLocale::English, QLocale::UnitedKingdom), u"20:30"},
        {"America/New_York", QLocale(QLocale::English, QLocale::UnitedStates), u"3:30\u202FPM"},
        {"Asia/Kolkata", QLocale(QLocale::English, QLocale::UnitedKingdom), u"01:00"},
        {"UTC", QLocale::c(), u"19:30"}, // a short time has no seconds, not even in the C locale
    };
    for (const auto &c : cases) {
        const QString text = shortKickOffTime(kickOff, QTimeZone(c.zone), c.locale);
        EXPECT_EQ(text.simplified().replace(u'\u202F', u' '), QString::fromUtf16(c.expected).replace(u'\u202F', u' '))
            << c.zone;
    }
}

} // namespace
} // namespace ribbex
