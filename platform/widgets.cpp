#include "platform/widgets.h"

#include "platform/popups.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <string>

namespace ctl {

QColor ToQColor(Rgb rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

Rgb FromQColor(const QColor& c) {
    return (static_cast<Rgb>(c.red()) << 16) | (static_cast<Rgb>(c.green()) << 8) |
           static_cast<Rgb>(c.blue());
}

namespace {
bool IsEnterKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}
} // namespace

// ---- U16Spin ----------------------------------------------------------------

U16Spin::U16Spin(QWidget* parent, int minimum, int maximum) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setKeyboardTracking(false);
    setAccelerated(true);
    lastCommitted_ = value();
}

void U16Spin::SetVal(int v) {
    QSignalBlocker block(this);
    setValue(v);
    lastCommitted_ = value();
}

void U16Spin::stepBy(int steps) {
    QSpinBox::stepBy(steps);
    Commit();
}

void U16Spin::keyPressEvent(QKeyEvent* e) {
    QSpinBox::keyPressEvent(e);
    if (IsEnterKey(e)) {
        Commit();
    }
}

void U16Spin::focusOutEvent(QFocusEvent* e) {
    QSpinBox::focusOutEvent(e);
    CommitTyped();
}

void U16Spin::CommitTyped() {
    interpretText();
    if (value() != lastCommitted_) {
        Commit();
    }
}

void U16Spin::Commit() {
    interpretText();
    lastCommitted_ = value();
    emit committed();
}

// ---- DSpin ------------------------------------------------------------------

DSpin::DSpin(QWidget* parent, double minimum, double maximum, int decimals)
    : QDoubleSpinBox(parent) {
    setRange(minimum, maximum);
    setDecimals(decimals);
    setKeyboardTracking(false);
    lastCommitted_ = value();
}

void DSpin::SetVal(double v) {
    QSignalBlocker block(this);
    setValue(v);
    lastCommitted_ = value();
}

void DSpin::stepBy(int steps) {
    QDoubleSpinBox::stepBy(steps);
    Commit();
}

void DSpin::keyPressEvent(QKeyEvent* e) {
    QDoubleSpinBox::keyPressEvent(e);
    if (IsEnterKey(e)) {
        Commit();
    }
}

void DSpin::focusOutEvent(QFocusEvent* e) {
    QDoubleSpinBox::focusOutEvent(e);
    CommitTyped();
}

void DSpin::CommitTyped() {
    interpretText();
    if (value() != lastCommitted_) {
        Commit();
    }
}

void DSpin::Commit() {
    interpretText();
    lastCommitted_ = value();
    emit committed();
}

// ---- Ring -------------------------------------------------------------------

Ring::Ring(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int) { emit committed(); });
}

void Ring::AddItem(const QString& label, int value) {
    addItem(label, value);
}

int Ring::Val() const {
    return currentIndex() < 0 ? 0 : currentData().toInt();
}

int Ring::IndexOfValue(int v) const {
    return findData(v);
}

bool Ring::SetVal(int v) {
    const int i = findData(v);
    if (i < 0) {
        return false;
    }
    QSignalBlocker block(this);
    setCurrentIndex(i);
    return true;
}

void Ring::ReplaceItem(int index, const QString& label, int value) {
    if (index < 0 || index >= count()) {
        return;
    }
    setItemText(index, label);
    setItemData(index, value);
}

// ---- TextField --------------------------------------------------------------

TextField::TextField(QWidget* parent, int maxChars) : QLineEdit(parent) {
    LimitChars(this, maxChars);
    // An edit cut by the limit is set anew, which clears the modified flag;
    // it is still an edit to commit.
    connect(this, &QLineEdit::textEdited, this, [this] { setModified(true); });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        setModified(false);
        emit committed();
    });
}

void TextField::SetText(const QString& s) {
    QSignalBlocker block(this);
    setText(s);
    setModified(false);
}

void TextField::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    CommitTyped();
}

void TextField::CommitTyped() {
    if (isModified()) {
        setModified(false);
        emit committed();
    }
}

// ---- Slider -----------------------------------------------------------------

Slider::Slider(QWidget* parent, int minimum, int maximum) : QSlider(Qt::Horizontal, parent) {
    setRange(minimum, maximum);
    setTracking(true);
    connect(this, &QSlider::sliderReleased, this, [this] { emit committed(); });
    connect(this, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove) {
            // clicks on the groove and keys: the new value is set after this signal
            QMetaObject::invokeMethod(
                this, [this] { emit committed(); }, Qt::QueuedConnection);
        }
    });
}

void Slider::SetVal(int v) {
    QSignalBlocker block(this);
    setValue(v);
}

// ---- NumDisplay -------------------------------------------------------------

NumDisplay::NumDisplay(QWidget* parent, int decimals) : QLabel(parent), decimals_(decimals) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setMinimumWidth(48);
    setAutoFillBackground(true);
    SetVal(0);
}

void NumDisplay::SetVal(double v) {
    value_ = v;
    setText(QString::number(v, 'f', decimals_));
}

void NumDisplay::SetDecimals(int d) {
    decimals_ = d;
    SetVal(value_);
}

void NumDisplay::SetColors(Rgb text, Rgb background) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(text));
    p.setColor(QPalette::Window, ToQColor(background));
    setPalette(p);
}

// ---- Led --------------------------------------------------------------------

Led::Led(QWidget* parent, Rgb onColor, Rgb offColor)
    : QWidget(parent), onColor_(onColor), offColor_(offColor) {
    setMinimumSize(16, 16);
}

void Led::SetOn(bool on) {
    if (on != on_) {
        on_ = on;
        update();
    }
}

void Led::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(width(), height()) - 2;
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(ToQColor(on_ ? onColor_ : offColor_));
    p.drawEllipse((width() - d) / 2, (height() - d) / 2, d, d);
}

// ---- ColorBox ---------------------------------------------------------------

ColorBox::ColorBox(QWidget* parent) : QWidget(parent) {
    setMinimumSize(16, 16);
}

void ColorBox::SetColor(Rgb c) {
    if (c != color_) {
        color_ = c;
        update();
    }
}

void ColorBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(color_));
    p.setPen(Qt::darkGray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- ColorField -------------------------------------------------------------

ColorField::ColorField(QWidget* parent) : QWidget(parent) {
    setMinimumSize(40, 20);
    setCursor(Qt::PointingHandCursor);
}

void ColorField::SetColor(Rgb c) {
    color_ = c & 0xFFFFFF;
    update();
}

void ColorField::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect().adjusted(2, 2, -2, -2), ToQColor(color_));
    p.setPen(isEnabled() ? Qt::black : Qt::gray);
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void ColorField::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    Rgb chosen = color_;
    if (platform::ColorPopup("Indicator colour", color_, &chosen) == 1) {
        SetColor(chosen);
        emit committed();
    }
}

// ---- U16Table ---------------------------------------------------------------

namespace {

// Edits value cells with a spin box limited to the table's value range.
class U16Delegate : public QStyledItemDelegate {
public:
    explicit U16Delegate(U16Table* table) : QStyledItemDelegate(table), table_(table) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (!table_->IsValueCell(index.row() + 1, index.column() + 1)) {
            return QStyledItemDelegate::createEditor(parent, option, index);
        }
        auto* spin = new QSpinBox(parent);
        spin->setRange(0, table_->ValueMaximum());
        spin->setFrame(false);
        spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        return spin;
    }

private:
    U16Table* table_;
};

} // namespace

U16Table::U16Table(int rows, const std::vector<ColumnKind>& columns, QWidget* parent,
                   int firstRowLabel)
    : QTableWidget(rows, static_cast<int>(columns.size()), parent), kinds_(columns) {
    setItemDelegate(new U16Delegate(this));
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    QStringList rowLabels;
    for (int r = 0; r < rows; ++r) {
        rowLabels << QString::number(firstRowLabel + r);
    }
    setVerticalHeaderLabels(rowLabels);
    settingFromCode_ = true;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem();
            if (kinds_[c] == ColumnKind::Swatch) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(Qt::white);
            } else if (kinds_[c] == ColumnKind::Value) {
                item->setData(Qt::EditRole, 0);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            setItem(r, c, item);
        }
    }
    settingFromCode_ = false;
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!settingFromCode_) {
            emit cellEdited(item->row() + 1, item->column() + 1);
        }
    });
}

void U16Table::CommitEdit() {
    QWidget* editor = state() == EditingState ? indexWidget(currentIndex()) : nullptr;
    if (editor == nullptr) {
        return;
    }
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(editor)) {
        spin->interpretText();
    }
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool U16Table::IsValueCell(int row, int col) const {
    return row >= 1 && row <= rowCount() && col >= 1 && col <= columnCount() &&
           kinds_[col - 1] == ColumnKind::Value;
}

int U16Table::Val(int row, int col) const {
    if (!IsValueCell(row, col)) {
        return 0;
    }
    return item(row - 1, col - 1)->data(Qt::EditRole).toInt();
}

void U16Table::SetVal(int row, int col, int v) {
    if (!IsValueCell(row, col)) {
        return;
    }
    settingFromCode_ = true;
    item(row - 1, col - 1)->setData(Qt::EditRole, qBound(0, v, maximum_));
    settingFromCode_ = false;
}

QString U16Table::Text(int row, int col) const {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount()) {
        return {};
    }
    return item(row - 1, col - 1)->text();
}

void U16Table::SetText(int row, int col, const QString& s) {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount() ||
        kinds_[col - 1] != ColumnKind::Text) {
        return;
    }
    settingFromCode_ = true;
    item(row - 1, col - 1)->setText(s);
    settingFromCode_ = false;
}

void U16Table::SetCellBackground(int row, int col, Rgb c) {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount()) {
        return;
    }
    settingFromCode_ = true;
    item(row - 1, col - 1)->setBackground(ToQColor(c));
    settingFromCode_ = false;
}

Rgb U16Table::CellBackground(int row, int col) const {
    if (row < 1 || row > rowCount() || col < 1 || col > columnCount()) {
        return 0xFFFFFF;
    }
    const QBrush b = item(row - 1, col - 1)->background();
    return b.style() == Qt::NoBrush ? 0xFFFFFF : FromQColor(b.color());
}

void U16Table::SetRowLabelColor(int row, Rgb c) {
    if (row < 1 || row > rowCount()) {
        return;
    }
    QTableWidgetItem* h = verticalHeaderItem(row - 1);
    if (h == nullptr) {
        h = new QTableWidgetItem(QString::number(row));
        setVerticalHeaderItem(row - 1, h);
    }
    h->setForeground(ToQColor(c));
}

Rgb U16Table::RowLabelColor(int row) const {
    const QTableWidgetItem* h =
        row >= 1 && row <= rowCount() ? verticalHeaderItem(row - 1) : nullptr;
    if (h == nullptr || h->foreground().style() == Qt::NoBrush) {
        return 0x000000;
    }
    return FromQColor(h->foreground().color());
}

void U16Table::SetColumnHeading(int col, const QString& s) {
    if (col < 1 || col > columnCount()) {
        return;
    }
    QTableWidgetItem* h = horizontalHeaderItem(col - 1);
    if (h == nullptr) {
        setHorizontalHeaderItem(col - 1, new QTableWidgetItem(s));
    } else {
        h->setText(s);
    }
}

QString U16Table::ColumnHeading(int col) const {
    const QTableWidgetItem* h =
        col >= 1 && col <= columnCount() ? horizontalHeaderItem(col - 1) : nullptr;
    return h == nullptr ? QString() : h->text();
}

void U16Table::SetColumnShown(int col, bool shown) {
    if (col >= 1 && col <= columnCount()) {
        setColumnHidden(col - 1, !shown);
    }
}

bool U16Table::ColumnShown(int col) const {
    return col >= 1 && col <= columnCount() && !isColumnHidden(col - 1);
}

bool U16Table::Selection(int* top, int* left, int* height, int* width) const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) {
        return false;
    }
    const QTableWidgetSelectionRange& r = ranges.front();
    *top = r.topRow() + 1;
    *left = r.leftColumn() + 1;
    *height = r.rowCount();
    *width = r.columnCount();
    return true;
}

void U16Table::SetActiveCell(int row, int col) {
    if (row >= 1 && row <= rowCount() && col >= 1 && col <= columnCount()) {
        setCurrentCell(row - 1, col - 1);
        scrollToItem(item(row - 1, col - 1));
    }
}

} // namespace ctl
