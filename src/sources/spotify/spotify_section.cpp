#include "sources/spotify/spotify_section.h"

#include "settings_window/form_rows.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ribbex {

using namespace Qt::StringLiterals;

SpotifySection::SpotifySection(SettingsModel &model, SpotifySectionActions actions, QWidget *parent)
    : SourceSection(TickerSource::spotify, u"Spotify"_s, parent)
    , m_model(model)
    , m_actions(std::move(actions))
{
    content()->addWidget(captionLabel(u"Open the Spotify app and start playing. The progress bar above the ticker "
                                      "will indicate progress of the current track"_s,
        this));
    content()->addWidget(captionLabel(u"To show what plays on your phone or another computer too, create an app "
                                      "in Spotify’s developer dashboard with the redirect URI "
                                      "ribbex://spotify-callback, and enter its Client ID here."_s,
        this));
    m_clientID = new QLineEdit(this);
    m_clientID->setObjectName(u"spotifyClientIDField"_s);
    m_clientID->setPlaceholderText(u"Client ID"_s);
    m_clientID->setAccessibleName(u"Client ID"_s);
    m_clientID->setText(model.settings().spotifyClientID.value_or(QString()));
    // Room for the dashboard's 32 hexadecimal digits.
    m_clientID->setMinimumWidth(m_clientID->fontMetrics().horizontalAdvance(QString(34, u'0')));
    content()->addWidget(trailingControlRow(u"Client ID"_s, m_clientID, this));

    auto *buttons = new QHBoxLayout();
    m_connect = new QPushButton(u"&Connect Spotify"_s, this);
    m_connect->setObjectName(u"connectSpotifyButton"_s);
    m_disconnect = new QPushButton(u"Disconnect"_s, this);
    m_disconnect->setObjectName(u"disconnectSpotifyButton"_s);
    buttons->addWidget(m_connect);
    buttons->addWidget(m_disconnect);
    buttons->addStretch();
    content()->addLayout(buttons);

    m_status = captionLabel(QString(), this);
    m_status->setObjectName(u"spotifyStatus"_s);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    content()->addWidget(m_status);

    connect(m_clientID, &QLineEdit::editingFinished, this, &SpotifySection::storeClientID);
    connect(m_clientID, &QLineEdit::textChanged, this,
        [this](const QString &text) { m_connect->setEnabled(!text.trimmed().isEmpty()); });
    connect(m_connect, &QPushButton::clicked, this, [this] {
        storeClientID();
        m_actions.connect();
    });
    connect(m_disconnect, &QPushButton::clicked, this, [this] { m_actions.disconnect(); });
    m_connect->setEnabled(!m_clientID->text().trimmed().isEmpty());
}

void SpotifySection::refresh(const SettingsModel &model)
{
    m_disconnect->setVisible(model.bookkeeping().spotifyConnected);
    m_status->setText(model.spotifyStatus());
    m_status->setVisible(!model.spotifyStatus().isEmpty());
}

void SpotifySection::storeClientID()
{
    const QString text = m_clientID->text().trimmed();
    const std::optional<QString> clientID = text.isEmpty() ? std::nullopt : std::optional(text);
    if (clientID == m_model.settings().spotifyClientID)
        return;
    RibbexSettings settings = m_model.settings();
    settings.spotifyClientID = clientID;
    m_model.setSettings(settings);
}

} // namespace ribbex
