// ESPN's scoreboard document: the one-pass reader, checked against Qt's full JSON parser, and the
// mapping of its events to matches.

#include "fuzz_input.h"
#include "sources/football/espn_scoreboard_decoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

using namespace Qt::StringLiterals;
using ribbex::ESPNScoreboardResponse;
using ribbex::FootballMatch;

// Qt refuses numbers a double cannot hold (1e309, 1e-400), a limit RFC 8259 leaves to each
// parser; the reader skips such a number like any other. Whether Qt stopped at one of them.
bool qtStoppedAtAnOutOfRangeNumber(const QByteArray &body, const QJsonParseError &error)
{
    if (error.error != QJsonParseError::IllegalNumber || error.offset < 0 || error.offset > body.size())
        return false;
    qsizetype begin = error.offset;
    while (begin > 0 && QByteArrayView("0123456789+-.eE").contains(body[begin - 1]))
        --begin;
    static const QRegularExpression number(
        QRegularExpression::anchoredPattern(u"-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?"_s));
    return number.match(QString::fromLatin1(body.sliced(begin, error.offset - begin))).hasMatch();
}

// The reader checks the grammar itself, so what it accepts Qt's parser must accept too, with the
// same strings: escapes and surrogate pairs are where a hand-written reader goes wrong.
void expectQtReadsTheSame(const QByteArray &body, const ESPNScoreboardResponse &response)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (qtStoppedAtAnOutOfRangeNumber(body, error))
        return;
    FUZZ_EXPECT(error.error == QJsonParseError::NoError && document.isObject());
    const QJsonValue events = document.object().value(u"events"_s);
    FUZZ_EXPECT(response.events.has_value() == events.isArray());
    if (!response.events)
        return;
    // Events past the 500 a request asks for may be dropped; none before them.
    const QJsonArray array = events.toArray();
    FUZZ_EXPECT(response.events->size() == array.size()
        || (response.events->size() >= 500 && response.events->size() < array.size()));
    for (qsizetype i = 0; i < response.events->size(); ++i) {
        const QJsonObject event = array.at(i).toObject();
        FUZZ_EXPECT(response.events->at(i).id == event.value(u"id"_s).toString());
        FUZZ_EXPECT(response.events->at(i).date == event.value(u"date"_s).toString());
    }
}

bool isKnownStatus(const QString &status)
{
    namespace s = ribbex::matchStatus;
    return status == s::scheduled || status == s::inPlay || status == s::paused || status == s::extraTime
        || status == s::penaltyShootout || status == s::finished;
}

void expectSoundMatches(const QList<ESPNScoreboardResponse::Event> &events)
{
    const QList<FootballMatch> matches = ribbex::espn::decode(ribbex::FootballCompetition::premierLeague, events);
    FUZZ_EXPECT(matches.size() <= events.size());
    for (const FootballMatch &match : matches) {
        FUZZ_EXPECT(match.utcDate.isValid());
        FUZZ_EXPECT(isKnownStatus(match.status));
        FUZZ_EXPECT(!match.minute || *match.minute >= 0);
        FUZZ_EXPECT(match.competition.code == u"eng.1");
        for (const FootballMatch::Team &team : {match.homeTeam, match.awayTeam}) {
            FUZZ_EXPECT(ribbex::fuzz::isPlainText(team.name));
            FUZZ_EXPECT(ribbex::fuzz::isPlainText(team.shortName.value_or(QString())));
        }
        FUZZ_EXPECT(ribbex::fuzz::isPlainText(match.id));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body = ribbex::fuzz::bytes(data, size);
    const std::optional<ESPNScoreboardResponse> response = ribbex::espn::decodeResponse(body);
    if (!response)
        return 0;
    expectQtReadsTheSame(body, *response);
    if (response->events)
        expectSoundMatches(*response->events);
    return 0;
}
