#include "sources/football/football_section.h"

#include "settings_window/form_rows.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace ribbex {

using namespace Qt::StringLiterals;

FootballSection::FootballSection(FootballRefresh &football, QWidget *parent)
    : SourceSection(TickerSource::football, u"Live football scores"_s, parent)
{
    content()->addWidget(captionLabel(u"Choose competitions for live scores and upcoming fixtures."_s, this));
    // Two columns, filled top to bottom, so the list still reads in its own order.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    const QList<FootballCompetition> &competitions = allFootballCompetitions();
    const auto rows = static_cast<int>((competitions.size() + 1) / 2);
    for (int i = 0; i < competitions.size(); ++i) {
        const FootballCompetition competition = competitions[i];
        auto *box = new QCheckBox(title(competition), this);
        box->setObjectName(id(competition));
        grid->addWidget(box, i % rows, i / rows);
        m_boxes.insert(competition, box);
        connect(box, &QCheckBox::clicked, this,
            [&football, competition](bool checked) { football.setFootballCompetition(competition, checked); });
    }
    content()->addLayout(grid);
}

void FootballSection::refresh(const SettingsModel &model)
{
    const FootballCompetitionSet selection = model.settings().footballSelection();
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it) {
        const QSignalBlocker blocker(it.value());
        it.value()->setChecked(selection.contains(it.key()));
    }
}

} // namespace ribbex
