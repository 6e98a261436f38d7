#pragma once

#include "support/model_home.h"

namespace ribbex::test {

// The shared model fixture with only news on the ticker, headline i linking to
// https://news.example/i.
class TickerTest : public ModelTest {
protected:
    static QUrl link(qsizetype index) { return QUrl(QStringLiteral("https://news.example/%1").arg(index)); }

    void showHeadlines(const QStringList &titles)
    {
        edit([](RibbexSettings &s) { s.enabledSources = {TickerSource::news}; });
        QList<NewsHeadline> headlines;
        for (qsizetype i = 0; i < titles.size(); ++i)
            headlines.append({titles[i], link(i)});
        model().setNewsHeadlines(headlines);
    }
};

} // namespace ribbex::test
