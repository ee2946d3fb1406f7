#include "teach/teach_panels_wiring.h"

#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/widgets.h"
#include "teach/graph_teach.h"
#include "teach/mean_teach.h"
#include "teach/teach_displays.h"
#include "teach/teach_ui.h"

#include <QPushButton>
#include <QVariant>

namespace teach {
namespace {

constexpr const char* kHelpClose = "Close PANEL and return to MAIN PANEL. ";

// Releasing a view's cursor commits the view, once however often the panel
// is wired.
void CommitOnCursorRelease(ctl::Graph* g, int (*callback)(QWidget*, ctl::Event)) {
    const char* kWired = "c3CursorWired";
    if (g->property(kWired).toBool()) {
        return;
    }
    g->setProperty(kWired, true);
    QObject::connect(g, &ctl::Graph::cursorReleased, g,
                     [g, callback](int) { callback(g, ctl::Event::Commit); });
}

} // namespace

void WireTeachMeanPanel() {
    // The mean-value numerics and the attributes page's TEMP show the
    // current frame with the data panel.
    AddTeachDisplayWriters();
    TeachMeanPanel& ui = Panels().teachMean;
    ctl::Bind(ui.capture,
              "Get frame of R,G,B,X,Y,INT \nrespectively R,G,B,s,i,M \nand assign to "
              "table. ",
              CBF_ButtonTP1Capture);
    ctl::Bind(ui.undo, "Remove the last frame from table. ", CBF_ButtonTP1Undo);
    ctl::Bind(ui.reset, "Set all table cells to 0.", CBF_ButtonTP1ResetTable);
    ctl::Bind(ui.teach,
              "Mean values are assigned to the \nTEACH TABLE row selected \nin the ROW No.: "
              "function field.",
              CBF_ButtonTP1Teach);
    ctl::Bind(ui.frames, "Table to list the captured values. ", CBF_GridTP1Values);
    ctl::Bind(ui.mean, "Table to list the mean values. ", CBF_GridTP1Mean);
    ctl::Bind(ui.counter, "Displays the amount of captured frames. ", CBF_DispTP1Counter);
    ctl::Bind(ui.maxDeltaXY, "Displays the maximum distance to the mean values.",
              CBF_DispTP1MaxDeltaXY);
    ctl::Bind(ui.maxDeltaInt, "Displays the maximum intensity distance to mean value.",
              CBF_DispTP1MaxDeltaInt);
    const char* choiceHelp =
        "Choose to which value the tolerance \nshould be set in the TEACH TABLE.";
    ctl::Bind(ui.teachCtoWith, choiceHelp, CBF_EditTP1TeachCtoWith);
    ctl::Bind(ui.teachItoWith, choiceHelp, CBF_EditTP1TeachItoWith);
    ctl::Bind(ui.valueCto, "Select CTO respectively siTO respectively TOL. ", CBF_EditTP1ValueCto);
    ctl::Bind(ui.valueIto, "Select ITO respectively MTO. ", CBF_EditTP1ValueIto);
    ctl::Bind(ui.close, kHelpClose, CBF_ButtonCloseTeachPanel);
}

void WireTeachGraphPanel() {
    TeachGraphPanel& ui = Panels().teachGraph;
    ctl::Bind(ui.start, "Start recording of values \nand displaying in the graphs.",
              CBF_ButtonTP2Start);
    ctl::Bind(ui.reset, "Reset graphs and counter.", CBF_ButtonTP2Reset);
    ctl::Bind(ui.teach,
              "Teach cursor position to the \nTEACH TABLE row selected \nin the ROW No.: function "
              "field.",
              CBF_ButtonTP2Teach);
    int (*const graphCallbacks[3])(QWidget*, ctl::Event) = {CBF_GraphXYTP2, CBF_GraphXIntTP2,
                                                            CBF_GraphYIntTP2};
    for (int v = 0; v < 3; ++v) {
        ctl::Bind(ui.graph[v],
                  "Display for recorded values. \nMove cursor to select a position \nwhich should "
                  "be teached to the table.",
                  graphCallbacks[v]);
        CommitOnCursorRelease(ui.graph[v], graphCallbacks[v]);
    }
    ctl::Bind(ui.counter, "Displays the amount of recorded values. ", CBF_DispTP2Counter);
    ctl::Bind(ui.close, kHelpClose, CBF_ButtonCloseTeachPanel);
    InstallGraphTeachDisplays();
}

} // namespace teach
