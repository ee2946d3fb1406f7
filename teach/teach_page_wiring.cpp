#include "teach/teach_wiring.h"

#include "platform/controls.h"
#include "platform/widgets.h"
#include "teach/graph_teach.h"
#include "teach/mean_teach.h"
#include "teach/teach_edit.h"
#include "teach/teach_labels.h"
#include "teach/teach_ui.h"
#include "teach/teach_view.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QVariant>

namespace teach {

const char* const kGridHelpText =
    "Change cell value with a left double click or with F2. \n\n"
    "Select a range of cells by holding down the left mouse button and dragging the mouse "
    "over the cells to select. \n\n"
    "Set selection to: Set the selection to an adjustable value. \n"
    "Increment selection with: Selected cells will be incremented with an adjustable value "
    "beginning with the first cell. \n"
    "Reset selection: Reset the selected range.\n"
    "Teach tolerance off: Tolerance will not be changed. \n"
    "Teach tolerance on: Tolerance will be set automatically to a default value.";

namespace {

// Connects a menu entry to its handler once, however often the page is wired.
void ConnectOnce(QAction* action, void (*handler)()) {
    const char* kWired = "c3MenuWired";
    if (action == nullptr || action->property(kWired).toBool()) {
        return;
    }
    action->setProperty(kWired, true);
    QObject::connect(action, &QAction::triggered, action, [handler] { handler(); });
}

} // namespace

void WireTeachPage() {
    // The page follows the model before any callback is bound, so that a
    // callback finds its edit in the model already.
    BindTeachPage();
    FollowModeRules();
    TeachPage& t = Panels().teachPage;
    ctl::Bind(t.rowNo, "Select the current number of a row in the TEACH TABLE for TEACH DATA TO.",
              CBF_EditNo);
    ctl::Bind(t.autoIncrement, "Auto increment of Edit Field No.:", CBF_RadioInc);
    ctl::Bind(t.resetTable, "Reset the TEACH TABLE. \nAll cells are set to 1.",
              CBF_ButtonResetTable);
    ctl::Bind(t.teachDataTo,
              "Current measured values (X,Y,INT respectively s,i,M) are assigned \n"
              "to the TEACH TABLE row selected in the No.: function field.",
              CBF_ButtonTeachDataTo);
    ctl::Bind(t.teachMeanValues, "Opens a panel to teach mean values. ", CBF_ButtonTeachMeanVal);
    ctl::Bind(t.teachRecordedValues,
              "Opens a panel to teach, with help \nfrom a graph, recorded values. ",
              CBF_ButtonTeachRecVal);
    // The grid has no help of its own on a right click: that opens its menu.
    ctl::Bind(t.grid, nullptr, CBF_GridCtt);
    ConnectOnce(t.menuHelp, CBF_GridCttHelp);
    ConnectOnce(t.menuSetSelection, CBF_GridCttSetSelectionTo);
    ConnectOnce(t.menuIncrementSelection, CBF_GridCttIncrementSelectionWith);
    ConnectOnce(t.menuResetSelection, CBF_GridCttResetSelection);
    ConnectOnce(t.menuTolOff, CBF_GridCttTeachTolOff);
    ConnectOnce(t.menuTolOn, CBF_GridCttTeachTolOn);
}

} // namespace teach
