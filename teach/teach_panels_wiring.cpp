#include "teach/teach_panels_wiring.h"

#include "app/panels.h"
#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/widgets.h"

#include <QPushButton>

namespace teach {
namespace {

constexpr const char* kHelpClose = "Close PANEL and return to MAIN PANEL. ";

} // namespace

void WireTeachMeanPanel() {
    TeachMeanPanel& ui = app::P().teachMean;
    ctl::Bind(ui.capture,
              "Get frame of R,G,B,X,Y,INT \nrespectively R,G,B,s,i,M \nand assign to "
              "table. ",
              {});
    ctl::Bind(ui.undo, "Remove the last frame from table. ", {});
    ctl::Bind(ui.reset, "Set all table cells to 0.", {});
    ctl::Bind(ui.teach,
              "Mean values are assigned to the \nTEACH TABLE row selected \nin the ROW No.: "
              "function field.",
              {});
    ctl::Bind(ui.frames, "Table to list the captured values. ", {});
    ctl::Bind(ui.mean, "Table to list the mean values. ", {});
    ctl::Bind(ui.counter, "Displays the amount of captured frames. ", {});
    ctl::Bind(ui.maxDeltaXY, "Displays the maximum distance to the mean values.", {});
    ctl::Bind(ui.maxDeltaInt, "Displays the maximum intensity distance to mean value.", {});
    const char* choiceHelp =
        "Choose to which value the tolerance \nshould be set in the TEACH TABLE.";
    ctl::Bind(ui.teachCtoWith, choiceHelp, {});
    ctl::Bind(ui.teachItoWith, choiceHelp, {});
    ctl::Bind(ui.valueCto, "Select CTO respectively siTO respectively TOL. ", {});
    ctl::Bind(ui.valueIto, "Select ITO respectively MTO. ", {});
    ctl::Bind(ui.close, kHelpClose, {});
}

void WireTeachGraphPanel() {
    TeachGraphPanel& ui = app::P().teachGraph;
    ctl::Bind(ui.start, "Start recording of values \nand displaying in the graphs.", {});
    ctl::Bind(ui.reset, "Reset graphs and counter.", {});
    ctl::Bind(ui.teach,
              "Teach cursor position to the \nTEACH TABLE row selected \nin the ROW No.: function "
              "field.",
              {});
    for (ctl::Graph* g : ui.graph) {
        ctl::Bind(g,
                  "Display for recorded values. \nMove cursor to select a position \nwhich should "
                  "be teached to the table.",
                  {});
    }
    ctl::Bind(ui.counter, "Displays the amount of recorded values. ", {});
    ctl::Bind(ui.close, kHelpClose, {});
}

} // namespace teach
