// The one mechanism that wires a control to its callback: a right click
// shows the control's help text in a message popup, and the user's actions
// (commit, value change, double clicks) reach the callback.
#pragma once

#include <QWidget>

#include <functional>

namespace ctl {

enum class Event {
    Commit,       // the user committed a value or pressed a button
    ValueChanged, // a table cell edited by the user
    RightClick,   // after the help popup, if any
    LeftClick,
    LeftDoubleClick,
    RightDoubleClick,
    Close,             // panel close box
    ActivePageChanged, // a tab control: the user chose another page
};

using Callback = std::function<void(QWidget* control, Event event)>;

inline constexpr const char* kInfoTitle = "INFO!";
// The table-attributes page titles its help popups differently.
inline constexpr const char* kAttrInfoTitle = "Info";

// True the first time a control is bound to a model, false ever after: the
// pages are wired again on every start-up, but a control writes its edits
// into the model through one connection only.
bool FirstModelBinding(QObject* control);

// Wires `control`: `helpText` (nullptr = none) is shown on a right click,
// and `callback` (may be empty) receives the events. Binding again replaces
// the earlier help and callback.
void Bind(QWidget* control, const char* helpText, Callback callback,
          const char* helpTitle = kInfoTitle);

// Commits the value still being typed into the control that has the
// keyboard focus (a number box, a text field, a table cell), as leaving it
// does. Every bound button runs this before its action, so an action started
// by a shortcut key, which takes no focus, uses what the user typed.
void CommitFocusedEditor();

// The help text bound to a control (nullptr when none); for tests.
const char* HelpTextOf(QWidget* control);

// Simulates a right click on a bound control (tests, keyboard help).
void RightClick(QWidget* control);

} // namespace ctl
