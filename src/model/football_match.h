#pragma once

// One football fixture or result as the scoreboard service reports it, and the fixture cache
// that keeps the known ones across launches.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace ribbex {

namespace matchStatus {
inline const QString scheduled = QStringLiteral("SCHEDULED");
inline const QString inPlay = QStringLiteral("IN_PLAY");
inline const QString paused = QStringLiteral("PAUSED");
inline const QString extraTime = QStringLiteral("EXTRA_TIME");
inline const QString penaltyShootout = QStringLiteral("PENALTY_SHOOTOUT");
inline const QString finished = QStringLiteral("FINISHED");
} // namespace matchStatus

struct FootballMatch {
    static constexpr qint64 liveWindowSeconds = 9000;

    struct Team {
        QString name;
        std::optional<QString> shortName;

        bool operator==(const Team &) const = default;
        // The abbreviation when there is one (even an empty one), else the name.
        QString label() const { return shortName.value_or(name); }
    };
    struct Competition {
        QString name;
        QString code;

        bool operator==(const Competition &) const = default;
    };
    struct Score {
        struct FullTime {
            std::optional<qint64> home;
            std::optional<qint64> away;

            bool operator==(const FullTime &) const = default;
        };
        FullTime fullTime;

        bool operator==(const Score &) const = default;
    };

    QString id;
    QDateTime utcDate;
    QString status;
    std::optional<qint64> minute;
    Team homeTeam;
    Team awayTeam;
    Competition competition;
    Score score;

    bool operator==(const FootballMatch &) const = default;

    bool isInPlay() const;
    bool isFinished() const { return status == matchStatus::finished; }
    // Unfinished, kicked off no later than time and less than 2.5 hours before it.
    bool isInLiveWindow(const QDateTime &time) const;
    // In play or over, with both scores known.
    bool hasResult() const;
};

struct FootballFixtureCache {
    static inline const QString preferencesKey = QStringLiteral("ribbex.football.fixtures.v2");

    QList<FootballMatch> fixtures;
    QMap<QString, QDateTime> scheduleRefreshedAt; // competition code -> last schedule fetch

    bool operator==(const FootballFixtureCache &) const = default;
};

QByteArray encodeFixtureCache(const FootballFixtureCache &cache);
// Nothing when any required key of the document or of one of its matches is missing or mistyped.
std::optional<FootballFixtureCache> decodeFixtureCache(const QByteArray &document);

// Without the fixtures that kicked off more than 14 days before now: they can never show again,
// so saving and loading the cache drop them and it stays bounded.
QList<FootballMatch> pruneStaleFixtures(QList<FootballMatch> fixtures, const QDateTime &now);

} // namespace ribbex
