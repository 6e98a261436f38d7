#pragma once

// Feed documents for the news tests, ordinary and hostile.

#include "model/source_records.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <ostream>

namespace ribbex::test {

// An RSS 2.0 document around the given item elements, with an optional document type declaration.
QByteArray rssDocument(const QByteArray &items, const QByteArray &doctype = {});
// Items titled "Headline 1" to "Headline <count>", each linking to https://news.example/<n>.
QByteArray numberedItems(int count);
QList<NewsHeadline> numberedHeadlines(int count);

// Nine levels of ten references each ("billion laughs"): 3 GB of text from under 1 KiB.
QByteArray billionLaughs();
// One entity of entityLength characters referenced `references` times ("quadratic blowup"):
// every single expansion stays under the reader's own limit.
QByteArray quadraticBlowup(int entityLength, int references);
// count attributes a0="" a1="" ... for one element.
QByteArray manyAttributes(int count);

} // namespace ribbex::test

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
