#include "settings_window/color_swatch_popover.h"

#include "settings/colors.h"
#include "ticker/pictograms.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace ribbex {

using namespace Qt::StringLiterals;

namespace {

constexpr int popoverPadding = 14;
constexpr int popoverWidth = 244;

// One palette entry in the popover; the colour string is its tool tip and its name.
class PaletteChip final : public QAbstractButton {
public:
    PaletteChip(const QString &color, QWidget *parent)
        : QAbstractButton(parent)
        , m_color(hex(color))
    {
        setObjectName(color);
        setToolTip(color);
        setAccessibleName(color);
        setFixedSize(24, 24);
        setCursor(Qt::PointingHandCursor);
    }

    void setSelected(bool selected)
    {
        if (selected != m_selected) {
            m_selected = selected;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const bool ringed = m_selected || hasFocus();
        painter.setPen(ringed ? QPen(palette().color(QPalette::Highlight), 2) : QPen(QColor(0, 0, 0, 60), 1));
        painter.setBrush(m_color);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    }

private:
    QColor m_color;
    bool m_selected = false;
};

} // namespace

std::optional<QString> normalizedHex(QStringView text)
{
    QStringView digits = text.trimmed();
    while (digits.startsWith(u'#'))
        digits = digits.sliced(1);
    while (digits.endsWith(u'#'))
        digits.chop(1);
    if (digits.size() != 6)
        return std::nullopt;
    // Digits only: toUInt would also take a sign or a "0x" prefix.
    const auto isHexDigit = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
    };
    if (!std::ranges::all_of(digits, isHexDigit))
        return std::nullopt;
    return u'#' + digits.toString().toUpper();
}

bool wantsLightSymbol(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const double brightness = 0.299 * static_cast<double>(rgb.redF()) + 0.587 * static_cast<double>(rgb.greenF())
        + 0.114 * static_cast<double>(rgb.blueF());
    return brightness < 0.5;
}

ColorSwatchPopover::ColorSwatchPopover(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, &ColorSwatchPopover::present);

    m_popover = new QFrame(this, Qt::Popup);
    m_popover->setFrameShape(QFrame::StyledPanel);
    m_popover->setFixedWidth(popoverWidth + 2 * popoverPadding);
    auto *column = new QVBoxLayout(m_popover);
    column->setContentsMargins(popoverPadding, popoverPadding, popoverPadding, popoverPadding);
    column->setSpacing(12);
    auto *title = new QLabel(u"Choose a color"_s, m_popover);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    column->addWidget(title);

    auto *grid = new QGridLayout;
    grid->setSpacing(7);
    const QList<QString> &colors = swatchPalette();
    for (qsizetype i = 0; i < colors.size(); ++i) {
        auto *chip = new PaletteChip(colors[i], m_popover);
        connect(chip, &QAbstractButton::clicked, this, [this, color = colors[i]] {
            m_hexField->setText(color);
            choose(color);
        });
        m_chips.append(chip);
        grid->addWidget(chip, static_cast<int>(i / 6), static_cast<int>(i % 6), Qt::AlignCenter);
    }
    for (int c = 0; c < 6; ++c)
        grid->setColumnMinimumWidth(c, 28);
    column->addLayout(grid);
    // Fixed columns, centred in the wider popover rather than stretched across it.
    column->setAlignment(grid, Qt::AlignHCenter);

    auto *entry = new QHBoxLayout;
    m_hexField = new QLineEdit(m_popover);
    m_hexField->setPlaceholderText(u"#RRGGBB"_s);
    m_hexField->setAccessibleName(u"Hexadecimal colour"_s);
    auto *apply = new QPushButton(u"Apply"_s, m_popover);
    apply->setAutoDefault(false);
    entry->addWidget(m_hexField, 1);
    entry->addWidget(apply);
    column->addLayout(entry);
    connect(m_hexField, &QLineEdit::returnPressed, this, &ColorSwatchPopover::applyHex);
    connect(apply, &QPushButton::clicked, this, &ColorSwatchPopover::applyHex);
}

void ColorSwatchPopover::setColor(const QString &color)
{
    if (color == m_color)
        return;
    m_color = color;
    setToolTip(color);
    const QColor shown = hex(color);
    for (QAbstractButton *chip : std::as_const(m_chips))
        static_cast<PaletteChip *>(chip)->setSelected(hex(chip->toolTip()) == shown);
    update();
}

bool ColorSwatchPopover::isPresented() const
{
    return m_popover->isVisible();
}

void ColorSwatchPopover::applyHex()
{
    const std::optional<QString> value = normalizedHex(m_hexField->text());
    if (!value)
        return;
    m_hexField->setText(*value);
    choose(*value);
    m_popover->hide();
}

QSize ColorSwatchPopover::sizeHint() const
{
    return {27, 20};
}

void ColorSwatchPopover::present()
{
    m_hexField->setText(m_color);
    m_popover->adjustSize();
    // Below the chip, right edges aligned, kept on the chip's screen.
    QPoint at = mapToGlobal(QPoint(width() - m_popover->width(), height() + 4));
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        at.setX(
            std::clamp(at.x(), available.left(), std::max(available.left(), available.right() - m_popover->width())));
        if (at.y() + m_popover->height() > available.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_popover->height() - 4);
    }
    m_popover->move(at);
    m_popover->show();
    m_hexField->setFocus();
}

void ColorSwatchPopover::choose(const QString &color)
{
    Q_EMIT colorChosen(color);
}

void ColorSwatchPopover::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor fill = hex(m_color);
    QColor outline = palette().color(QPalette::WindowText);
    outline.setAlphaF(0.5f);
    const QRectF chip = QRectF(QPointF(0, 0), QSizeF(sizeHint())).adjusted(0.5, 0.5, -0.5, -0.5);
    if (!isEnabled())
        painter.setOpacity(0.4);
    painter.setPen(QPen(outline, hasFocus() ? 2.0 : 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(chip, 5, 5);

    const double side = 11;
    painter.translate(chip.center() - QPointF(side / 2, side / 2));
    painter.scale(side, side);
    painter.fillPath(symbolPictogram(u"chevron.down"), wantsLightSymbol(fill) ? Qt::white : Qt::black);
}

} // namespace ribbex
