#pragma once

// News feeds: the built-in publishers' feeds and the user's own feed address.

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace ribbex {

struct NewsFeed {
    QString id;
    QString name;
    QUrl url;

    bool operator==(const NewsFeed &) const = default;

    static inline const QString customId = QStringLiteral("custom");
    static inline const QString customName = QStringLiteral("Custom RSS");

    // The built-in feeds in the order offered; the first is the default.
    static const QList<NewsFeed> &all();
    static const NewsFeed &defaultFeed();
    // The built-in feed with exactly this id, or the default feed.
    static const NewsFeed &feedFor(const QString &id);
    // The user's own feed, when text is a usable address.
    static std::optional<NewsFeed> custom(const QString &text);
};

// An absolute address with a host whose scheme, in any case, is http or https.
bool isValidCustomFeedAddress(const QString &text);

} // namespace ribbex
