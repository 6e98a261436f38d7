#include "feed_documents.h"

namespace ribbex::test {

QByteArray rssDocument(const QByteArray &items, const QByteArray &doctype)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype
        + "\n<rss version=\"2.0\"><channel><title>Feed</title><link>https://feed.example/</link>\n" + items
        + "</channel></rss>\n";
}

QByteArray numberedItems(int count)
{
    QByteArray items;
    for (int n = 1; n <= count; ++n) {
        const QByteArray number = QByteArray::number(n);
        items += "<item><title>Headline " + number + "</title><link>https://news.example/" + number
            + "</link><description>Text &amp; more</description></item>\n";
    }
    return items;
}

QList<NewsHeadline> numberedHeadlines(int count)
{
    QList<NewsHeadline> headlines;
    for (int n = 1; n <= count; ++n)
        headlines.append(
            {QStringLiteral("Headline %1").arg(n), QUrl(QStringLiteral("https://news.example/%1").arg(n))});
    return headlines;
}

QByteArray billionLaughs()
{
    QByteArray dtd = "<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        const QByteArray reference = "&lol" + QByteArray::number(level - 1) + ';';
        dtd += "<!ENTITY lol" + QByteArray::number(level) + " \"" + reference.repeated(10) + "\">\n";
    }
    return rssDocument("<item><title>&lol9;</title></item>", "<!DOCTYPE rss [\n" + dtd + "]>");
}

QByteArray quadraticBlowup(int entityLength, int references)
{
    return "<!DOCTYPE rss [<!ENTITY e \"" + QByteArray(entityLength, 'x') + "\">]>\n<rss><channel><item><title>"
        + QByteArray("&e;").repeated(references) + "</title></item></channel></rss>";
}

QByteArray manyAttributes(int count)
{
    QByteArray attributes;
    for (int i = 0; i < count; ++i)
        attributes += 'a' + QByteArray::number(i) + "=\"\" ";
    return attributes;
}

} // namespace ribbex::test
