#include "settings_window/form_rows.h"

#include "settings_window/switch_button.h"
#include "ticker/pictograms.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace ribbex {

PictogramLabel::PictogramLabel(
    const QString &symbolName, int side, int columnWidth, QPalette::ColorRole role, QWidget *parent)
    : QWidget(parent)
    , m_pictogram(symbolPictogram(symbolName))
    , m_side(side)
    , m_role(role)
{
    setFixedSize(columnWidth, side);
}

void PictogramLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate((width() - m_side) / 2.0, (height() - m_side) / 2.0);
    painter.scale(m_side, m_side);
    painter.fillPath(m_pictogram, palette().color(m_role));
}

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QLabel *headingLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QWidget *symbolHeading(const QString &symbolName, const QString &text, QWidget *parent)
{
    auto *heading = new QWidget(parent);
    auto *layout = new QHBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(new PictogramLabel(symbolName, 15, 18, QPalette::PlaceholderText, heading));
    layout->addWidget(headingLabel(text, heading), 1);
    return heading;
}

QWidget *divider(QWidget *parent)
{
    auto *padding = new QWidget(parent);
    auto *layout = new QVBoxLayout(padding);
    layout->setContentsMargins(0, 5, 0, 5);
    auto *line = new QFrame(padding);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    return padding;
}

QWidget *trailingControlRow(const QString &label, QWidget *control, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *title = new QLabel(label, row);
    title->setBuddy(control);
    layout->addWidget(title);
    layout->addStretch(1);
    layout->addWidget(control);
    control->setAccessibleName(label);
    return row;
}

SwitchButton *addToggleRow(QBoxLayout *layout, const QString &label, const QString &objectName)
{
    auto *toggle = new SwitchButton;
    toggle->setObjectName(objectName);
    layout->addWidget(trailingControlRow(label, toggle));
    return toggle;
}

QLineEdit *addEntryRow(
    QBoxLayout *layout, const EntryRow &row, std::function<void(const QString &)> submit, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(row.fieldName);
    field->setPlaceholderText(row.placeholder);
    field->setAccessibleName(row.accessibleName);
    field->setClearButtonEnabled(true);
    auto *button = new QPushButton(row.buttonText, parent);
    button->setObjectName(row.buttonName);
    button->setEnabled(false);
    auto *entry = new QHBoxLayout;
    entry->addWidget(field, 1);
    entry->addWidget(button);
    layout->addLayout(entry);
    QObject::connect(field, &QLineEdit::textChanged, button,
        [button](const QString &text) { button->setEnabled(!text.trimmed().isEmpty()); });
    const auto submitText = [field, button, submit = std::move(submit)] {
        if (button->isEnabled())
            submit(field->text());
    };
    QObject::connect(button, &QPushButton::clicked, field, submitText);
    QObject::connect(field, &QLineEdit::returnPressed, field, submitText);
    return field;
}

} // namespace ribbex
