#pragma once

// Feed documents for the news tests.

#include "model/source_records.h"
#include "support/model_home.h"

namespace ribbex::test {

// An RSS 2.0 document around the given item elements, with an optional document type declaration.
inline QByteArray rssDocument(const QByteArray &items, const QByteArray &doctype = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype
        + "\n<rss version=\"2.0\"><channel><title>Feed</title><link>https://feed.example/</link>\n" + items
        + "</channel></rss>\n";
}

// Items titled "Headline 1" to "Headline <count>", each linking to https://news.example/<n>.
inline QByteArray numberedItems(int count)
{
    QByteArray items;
    for (int n = 1; n <= count; ++n) {
        const QByteArray number = QByteArray::number(n);
        items
            += "<item><title>Headline " + number + "</title><link>https://news.example/" + number + "</link></item>\n";
    }
    return items;
}

inline QList<NewsHeadline> numberedHeadlines(int count)
{
    QList<NewsHeadline> headlines;
    for (int n = 1; n <= count; ++n)
        headlines.append(
            {QStringLiteral("Headline %1").arg(n), QUrl(QStringLiteral("https://news.example/%1").arg(n))});
    return headlines;
}

} // namespace ribbex::test
