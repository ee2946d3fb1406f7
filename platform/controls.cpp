#include "platform/controls.h"

#include "platform/popups.h"
#include "platform/widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>

#include <string>

namespace ctl {
namespace {

struct Binding {
    const char* help = nullptr;
    const char* title = kInfoTitle;
    Callback callback;
};

const char* kBindingProperty = "c3Binding";

// Filters right clicks and double clicks of a bound control and of the
// widgets it is made of (a spin box's text field, a table's viewport).
class BindingFilter : public QObject {
public:
    BindingFilter(QWidget* control, Binding binding)
        : QObject(control), control_(control), binding_(std::move(binding)) {}

    void Replace(Binding b) { binding_ = std::move(b); }
    const Binding& Get() const { return binding_; }

    void Fire(Event e) {
        if (binding_.callback) {
            binding_.callback(control_, e);
        }
    }

    void ShowHelp() {
        if (binding_.help != nullptr) {
            platform::MessagePopup(binding_.title, binding_.help);
        }
        Fire(Event::RightClick);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (control_.isNull() || !control_->isEnabled()) {
            return false;
        }
        switch (event->type()) {
        case QEvent::ContextMenu:
            // A control with a menu of its own (the teach grid) keeps it; its
            // menu carries the help entry.
            if (binding_.help == nullptr &&
                control_->contextMenuPolicy() == Qt::CustomContextMenu) {
                return false;
            }
            if (binding_.help != nullptr || binding_.callback) {
                ShowHelp();
                return true;
            }
            return false;
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton) {
                Fire(Event::LeftDoubleClick);
            } else if (me->button() == Qt::RightButton) {
                Fire(Event::RightDoubleClick);
                return true;
            }
            return false;
        }
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton) {
                Fire(Event::LeftClick);
            }
            return false;
        }
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> control_;
    Binding binding_;
};

BindingFilter* FilterOf(QWidget* control) {
    return dynamic_cast<BindingFilter*>(control->property(kBindingProperty).value<QObject*>());
}

void ConnectCommit(QWidget* control, BindingFilter* f) {
    auto fire = [f] { f->Fire(Event::Commit); };
    if (auto* spin = qobject_cast<U16Spin*>(control)) {
        QObject::connect(spin, &U16Spin::committed, f, fire);
    } else if (auto* dspin = qobject_cast<DSpin*>(control)) {
        QObject::connect(dspin, &DSpin::committed, f, fire);
    } else if (auto* ring = qobject_cast<Ring*>(control)) {
        QObject::connect(ring, &Ring::committed, f, fire);
    } else if (auto* text = qobject_cast<TextField*>(control)) {
        QObject::connect(text, &TextField::committed, f, fire);
    } else if (auto* slider = qobject_cast<Slider*>(control)) {
        QObject::connect(slider, &Slider::committed, f, fire);
    } else if (auto* color = qobject_cast<ColorField*>(control)) {
        QObject::connect(color, &ColorField::committed, f, fire);
    } else if (auto* table = qobject_cast<U16Table*>(control)) {
        QObject::connect(table, &U16Table::cellEdited, f,
                         [f](int, int) { f->Fire(Event::ValueChanged); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        // A click with the mouse takes the focus and so commits the field
        // being edited; a shortcut key does not, so commit it here.
        QObject::connect(button, &QAbstractButton::clicked, f, [f] {
            CommitFocusedEditor();
            f->Fire(Event::Commit);
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QObject::connect(combo, &QComboBox::activated, f, [f](int) { f->Fire(Event::Commit); });
    }
}

} // namespace

void Bind(QWidget* control, const char* helpText, Callback callback, const char* helpTitle) {
    if (control == nullptr) {
        return;
    }
    Binding b{helpText, helpTitle, std::move(callback)};
    if (BindingFilter* existing = FilterOf(control)) {
        existing->Replace(std::move(b));
        return;
    }
    auto* f = new BindingFilter(control, std::move(b));
    control->setProperty(kBindingProperty, QVariant::fromValue(static_cast<QObject*>(f)));
    control->installEventFilter(f);
    for (QWidget* child : control->findChildren<QWidget*>()) {
        child->installEventFilter(f);
    }
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
        area->viewport()->installEventFilter(f);
    }
    ConnectCommit(control, f);
}

void CommitFocusedEditor() {
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* spin = qobject_cast<U16Spin*>(w)) {
            spin->CommitTyped();
            return;
        }
        if (auto* dspin = qobject_cast<DSpin*>(w)) {
            dspin->CommitTyped();
            return;
        }
        if (auto* text = qobject_cast<TextField*>(w)) {
            text->CommitTyped();
            return;
        }
        if (auto* table = qobject_cast<U16Table*>(w)) {
            table->CommitEdit();
            return;
        }
        if (w->isWindow()) {
            return;
        }
    }
}

const char* HelpTextOf(QWidget* control) {
    BindingFilter* f = control == nullptr ? nullptr : FilterOf(control);
    return f == nullptr ? nullptr : f->Get().help;
}

void RightClick(QWidget* control) {
    if (BindingFilter* f = control == nullptr ? nullptr : FilterOf(control)) {
        f->ShowHelp();
    }
}

bool FirstModelBinding(QObject* control) {
    const char* kBound = "c3ModelBound";
    if (control->property(kBound).toBool()) {
        return false;
    }
    control->setProperty(kBound, true);
    return true;
}

} // namespace ctl
