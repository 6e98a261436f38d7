#pragma once

// Small building blocks the settings panes share: pictograms, headings, captions, dividers and
// rows that end in a control at the right edge.

#include <QPainterPath>
#include <QPalette>
#include <QWidget>

#include <functional>

class QBoxLayout;
class QLabel;
class QLineEdit;

namespace ribbex {

class SwitchButton;

// One of our pictograms, drawn in a palette colour, centred in a fixed-width column.
class PictogramLabel final : public QWidget {
    Q_OBJECT

public:
    PictogramLabel(
        const QString &symbolName, int side, int columnWidth, QPalette::ColorRole role, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPainterPath m_pictogram;
    int m_side;
    QPalette::ColorRole m_role;
};

// Secondary, wrapping text.
QLabel *captionLabel(const QString &text, QWidget *parent = nullptr);
// Bold text.
QLabel *headingLabel(const QString &text, QWidget *parent = nullptr);
// A bold heading after a pictogram in the secondary colour.
QWidget *symbolHeading(const QString &symbolName, const QString &text, QWidget *parent = nullptr);
// A horizontal rule with 5 px of space above and below.
QWidget *divider(QWidget *parent = nullptr);

// A row with the label at the left and the control at the right edge.
QWidget *trailingControlRow(const QString &label, QWidget *control, QWidget *parent = nullptr);
// Such a row ending in a switch, added to layout; the switch is named objectName.
SwitchButton *addToggleRow(QBoxLayout *layout, const QString &label, const QString &objectName);

// A text field and the button after it that submits its text, as Return does; the button is off
// while the field holds only white space. Names are the field's, then the button's.
struct EntryRow {
    QString fieldName;
    QString placeholder;
    QString accessibleName;
    QString buttonName;
    QString buttonText;
};
QLineEdit *addEntryRow(
    QBoxLayout *layout, const EntryRow &row, std::function<void(const QString &)> submit, QWidget *parent);

} // namespace ribbex
