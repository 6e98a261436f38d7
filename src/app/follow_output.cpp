#include "app/follow_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace ribbex {

using namespace Qt::StringLiterals;

QList<FollowItem> followItems(const QString &json)
{
    QList<FollowItem> items;
    const QJsonArray array = QJsonDocument::fromJson(json.toUtf8()).object().value(u"items"_s).toArray();
    for (const QJsonValue value : array) {
        const QJsonObject object = value.toObject();
        FollowItem item {object.value(u"source"_s).toString(), object.value(u"text"_s).toString(), std::nullopt};
        const QString detail = object.value(u"detail"_s).toString();
        if (item.source == u"spotify" && !detail.isEmpty())
            item.text += u" – "_s + detail;
        const QJsonObject progress = object.value(u"progress"_s).toObject();
        const double duration = progress.value(u"duration"_s).toDouble();
        if (duration > 0) {
            item.progress = std::pair(progress.value(u"position"_s).toDouble(), duration);
            item.playing = progress.value(u"playing"_s).toBool();
        }
        items.append(item);
    }
    return items;
}

QString pangoEscaped(const QString &text)
{
    QString escaped = text.toHtmlEscaped(); // &, <, > and "
    return escaped.replace(u'\'', u"&#39;"_s);
}

QByteArray waybarLine(const QList<FollowItem> &items, qsizetype index, double elapsedSeconds)
{
    QJsonObject line {{u"text"_s, QString()}, {u"tooltip"_s, QString()}, {u"class"_s, u"empty"_s}};
    if (!items.isEmpty()) {
        const FollowItem &shown = items.at(index % items.size());
        QStringList all;
        for (const FollowItem &item : items)
            all.append(pangoEscaped(item.text));
        line = {{u"text"_s, pangoEscaped(shown.text)}, {u"tooltip"_s, all.join(u'\n')}, {u"class"_s, shown.source}};
        if (shown.progress) {
            const auto [position, duration] = *shown.progress;
            const double now = position + (shown.playing ? elapsedSeconds : 0.0);
            line.insert(u"percentage"_s, static_cast<int>(std::lround(std::clamp(now / duration, 0.0, 1.0) * 100)));
        }
    }
    return QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace ribbex
