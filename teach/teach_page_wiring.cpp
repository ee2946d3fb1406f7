#include "teach/teach_wiring.h"

#include "app/panels.h"
#include "platform/controls.h"
#include "platform/popups.h"
#include "platform/widgets.h"

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

void WireTeachPage() {
    TeachPage& t = app::P().teachPage;
    ctl::Bind(t.rowNo, "Select the current number of a row in the TEACH TABLE for TEACH DATA TO.",
              {});
    ctl::Bind(t.autoIncrement, "Auto increment of Edit Field No.:", {});
    ctl::Bind(t.resetTable, "Reset the TEACH TABLE. \nAll cells are set to 1.", {});
    ctl::Bind(t.teachDataTo,
              "Current measured values (X,Y,INT respectively s,i,M) are assigned \n"
              "to the TEACH TABLE row selected in the No.: function field.",
              {});
    ctl::Bind(t.teachMeanValues, "Opens a panel to teach mean values. ", {});
    ctl::Bind(t.teachRecordedValues,
              "Opens a panel to teach, with help \nfrom a graph, recorded values. ", {});

    // The menu's Help entry; connected once however often the page is wired.
    const char* kWired = "c3HelpWired";
    if (t.menuHelp != nullptr && !t.menuHelp->property(kWired).toBool()) {
        t.menuHelp->setProperty(kWired, true);
        QObject::connect(t.menuHelp, &QAction::triggered, t.menuHelp,
                         [] { platform::MessagePopup(ctl::kInfoTitle, kGridHelpText); });
    }
}

} // namespace teach
