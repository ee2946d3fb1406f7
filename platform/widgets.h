// Control types of the panels. Each user-editable control signals `committed`
// when the user commits a value (Enter, an arrow step, leaving a changed
// field); setting a value from code never does, so program updates do not
// trigger the control's action.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>

#include <cstdint>
#include <vector>

class QProgressBar;

namespace ctl {

// Platform colour value 0x00RRGGBB.
using Rgb = uint32_t;
QColor ToQColor(Rgb rgb);
Rgb FromQColor(const QColor& c);

// Unsigned 16-bit numeric control (default range 0..65535).
class U16Spin : public QSpinBox {
    Q_OBJECT
public:
    explicit U16Spin(QWidget* parent = nullptr, int minimum = 0, int maximum = 65535);
    // Sets the value without committing (values outside the range are coerced).
    void SetVal(int v);
    void stepBy(int steps) override;
    // Commits what is typed, when it differs from the last committed value,
    // as leaving the control does.
    void CommitTyped();
signals:
    void committed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Commit();
    int lastCommitted_ = 0;
};

// Numeric control holding a double (intervals, seconds).
class DSpin : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit DSpin(QWidget* parent = nullptr, double minimum = 0, double maximum = 1e9,
                   int decimals = 2);
    void SetVal(double v);
    void stepBy(int steps) override;
    void CommitTyped(); // as U16Spin::CommitTyped
signals:
    void committed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void Commit();
    double lastCommitted_ = 0;
};

// Selector whose items carry integer values (a "ring").
class Ring : public QComboBox {
    Q_OBJECT
public:
    explicit Ring(QWidget* parent = nullptr);
    void AddItem(const QString& label, int value);
    // The value of the shown item (0 when the list is empty).
    int Val() const;
    // Shows the item with value v; a value not in the list leaves the selector as it is.
    bool SetVal(int v);
    int IndexOfValue(int v) const;
    // Replaces the label and value of the item at `index`.
    void ReplaceItem(int index, const QString& label, int value);
signals:
    void committed();
};

// Limits `edit` to maxChars characters counted as the files count them
// (Unicode code points, filetext::CharCount), not in QLineEdit's UTF-16
// units: of what an edit inserts only as much is kept as fits, as with
// QLineEdit::setMaxLength, and a longer text set from code is cut at the end.
void LimitChars(QLineEdit* edit, int maxChars);
// Sets a bar's value to be drawn with the window's next repaint: a bar
// otherwise repaints itself at once, on its own, whenever its value changes
// (several times per screen refresh on a live display).
void SetBarValue(QProgressBar* bar, int value);
// The limit LimitChars gave `edit`; -1 when it has none.
int CharLimit(const QLineEdit* edit);

// Single-line text field: commits on Enter and when left after a change.
// It holds at most maxChars characters (LimitChars).
class TextField : public QLineEdit {
    Q_OBJECT
public:
    explicit TextField(QWidget* parent = nullptr, int maxChars = 255);
    void SetText(const QString& s);
    // Commits an edited text as leaving the field does.
    void CommitTyped();
signals:
    void committed();

protected:
    void focusOutEvent(QFocusEvent* e) override;
};

// Slider 0..max with its own committed signal (release, keys, clicks on the groove).
class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr, int minimum = 0, int maximum = 1000);
    void SetVal(int v);
signals:
    void committed();
};

// Numeric indicator (read-only) holding a number.
class NumDisplay : public QLabel {
    Q_OBJECT
public:
    explicit NumDisplay(QWidget* parent = nullptr, int decimals = 0);
    void SetVal(double v);
    double Val() const { return value_; }
    // The text on display (the label's own may be one as wide, see below).
    QString text() const { return QLabel::text() == laidOut_ ? shown_ : QLabel::text(); }
    void SetDecimals(int d);
    void SetColors(Rgb text, Rgb background);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    double value_ = 0;
    int decimals_ = 0;
    // Setting a label's text lays out its window anew (and builds an
    // accessibility event). A new value as wide as the one before is only
    // drawn: the label keeps `laidOut_`, the text it was last given, and
    // `shown_` is drawn in its place. While an assistive technology
    // listens, every value is set as the label's text.
    QString laidOut_;
    QString shown_;
};

// Round indicator lamp.
class Led : public QWidget {
    Q_OBJECT
public:
    explicit Led(QWidget* parent = nullptr, Rgb onColor = 0x00FF00, Rgb offColor = 0x000000);
    void SetOn(bool on);
    bool IsOn() const { return on_; }
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool on_ = false;
    Rgb onColor_;
    Rgb offColor_;
};

// A filled colour patch.
class ColorBox : public QWidget {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);
    void SetColor(Rgb c);
    Rgb Color() const { return color_; }
    QSize sizeHint() const override { return {40, 24}; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Rgb color_ = 0xFFFFFF;
};

// Colour field: shows a platform colour and lets the user pick another one.
class ColorField : public QWidget {
    Q_OBJECT
public:
    explicit ColorField(QWidget* parent = nullptr);
    void SetColor(Rgb c);
    Rgb Color() const { return color_; }
    QSize sizeHint() const override { return {60, 24}; }
signals:
    void committed();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    Rgb color_ = 0xFF0000;
};

// Table of unsigned 16-bit value cells, text cells and colour swatches.
// Rows and columns are counted from 1 in this interface.
class U16Table : public QTableWidget {
    Q_OBJECT
public:
    enum class ColumnKind { Value, Text, Swatch };
    U16Table(int rows, const std::vector<ColumnKind>& columns, QWidget* parent = nullptr,
             int firstRowLabel = 0);

    int Val(int row, int col) const;
    void SetVal(int row, int col, int v);
    QString Text(int row, int col) const;
    void SetText(int row, int col, const QString& s);
    bool IsValueCell(int row, int col) const;

    void SetCellBackground(int row, int col, Rgb c);
    Rgb CellBackground(int row, int col) const;
    void SetRowLabelColor(int row, Rgb c);
    Rgb RowLabelColor(int row) const;
    void SetColumnHeading(int col, const QString& s);
    QString ColumnHeading(int col) const;
    void SetColumnShown(int col, bool shown);
    bool ColumnShown(int col) const;
    // The selected rectangle; false when nothing is selected.
    bool Selection(int* top, int* left, int* height, int* width) const;
    void SetActiveCell(int row, int col);
    int ValueMaximum() const { return maximum_; }
    void SetValueMaximum(int m) { maximum_ = m; }
    // Takes the value of a cell being edited into the cell and closes its
    // editor, as leaving the cell does.
    void CommitEdit();
signals:
    // A cell edited by the user (1-based row and column).
    void cellEdited(int row, int col);

private:
    std::vector<ColumnKind> kinds_;
    int maximum_ = 65535;
    bool settingFromCode_ = false;
};

} // namespace ctl
