#include "platform/widgets.h"

#include "platform/popups.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QStyleOption>
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

void SetBarValue(QProgressBar* bar, int value) {
    if (bar->value() == value) {
        return;
    }
    const bool enabled = bar->updatesEnabled();
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(enabled); // and so marks the bar for the next repaint
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
    const QString next = QString::number(v, 'f', decimals_);
    const bool own = QLabel::text() == laidOut_; // nobody else set a text
    if (own && next == shown_) {
        return;
    }
    const QFontMetrics fm = fontMetrics();
    if (!own || laidOut_.isNull() || QAccessible::isActive() ||
        fm.horizontalAdvance(next) != fm.horizontalAdvance(laidOut_)) {
        setText(next); // another width: the layout may place it anew
        laidOut_ = next;
    } else {
        update(contentsRect());
    }
    shown_ = next;
}

void NumDisplay::paintEvent(QPaintEvent* e) {
    if (QLabel::text() != laidOut_ || shown_ == laidOut_) {
        QLabel::paintEvent(e);
        return;
    }
    // What the label draws for its plain text, with the text on display.
    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect();
    const int m = margin();
    area.adjust(m, m, -m, -m);
    const Qt::LayoutDirection direction =
        shown_.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::Alignment align = QStyle::visualAlignment(direction, alignment());
    int ind = indent();
    if (ind < 0 && frameWidth() != 0) {
        ind = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - m;
    }
    if (ind > 0) {
        if (align & Qt::AlignLeft) {
            area.setLeft(area.left() + ind);
        }
        if (align & Qt::AlignRight) {
            area.setRight(area.right() - ind);
        }
        if (align & Qt::AlignTop) {
            area.setTop(area.top() + ind);
        }
        if (align & Qt::AlignBottom) {
            area.setBottom(area.bottom() - ind);
        }
    }
    QStyleOption option;
    option.initFrom(this);
    const int flags =
        static_cast<int>(align) |
        (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    style()->drawItemText(&painter, area, flags, option.palette, isEnabled(), shown_,
                          foregroundRole());
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

} // namespace ctl
