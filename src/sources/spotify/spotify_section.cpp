#include "sources/spotify/spotify_section.h"

#include "settings_window/form_rows.h"

#include <QBoxLayout>
#include <QLabel>

namespace ribbex {

using namespace Qt::StringLiterals;

SpotifySection::SpotifySection(QWidget *parent)
    : SourceSection(TickerSource::spotify, u"Spotify"_s, parent)
{
    content()->addWidget(captionLabel(u"Open the Spotify app and start playing. The progress bar above the ticker "
                                      "will indicate progress of the current track"_s,
        this));
    m_status = captionLabel(QString(), this);
    m_status->setObjectName(u"spotifyStatus"_s);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    content()->addWidget(m_status);
}

void SpotifySection::refresh(const SettingsModel &model)
{
    m_status->setText(model.spotifyStatus());
    m_status->setVisible(!model.spotifyStatus().isEmpty());
}

} // namespace ribbex
