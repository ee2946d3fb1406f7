// Wiring of the scope page and the scope panel: each control gets its help
// text (right click) and the view's callback of its name.
#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "scope/scope_ui.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace scope {
namespace {

// A callback that calls the member `callback` of `view`.
ctl::Callback To(ScopeView* view, int (ScopeView::*callback)(QWidget*, ctl::Event)) {
    return [view, callback](QWidget* w, ctl::Event e) { (view->*callback)(w, e); };
}

} // namespace

void ScopeView::WireScopePage() {
    ScopePage& ui = panels_.scopePage;
    ctl::Bind(ui.getCycleTime,
              "Get cycle time from sensor. \nDon't interrupt the sensor for 8 seconds \nthen "
              "press the button.",
              To(this, &ScopeView::CBF_ButtonGetCycleTime));
    ctl::Bind(ui.scan, "Start data recording and display the result in the graph.",
              To(this, &ScopeView::CBF_ButtonScan));
    ctl::Bind(ui.breakScan, "Break data recording.", To(this, &ScopeView::CBF_ButtonBreakScan));
    ctl::Bind(ui.print, "Print settings,scope graph and comment.",
              To(this, &ScopeView::CBF_ButtonPrintScopeGraph));
    ctl::Bind(ui.triggerMode,
              "Select trigger mode! \nSINGLE SHOT: Data recording starts after pushing SCAN. "
              "\nRISING EDGE: Data recording starts when blue line goes higher than TRIGGER "
              "LEVEL. \nFALLING EDGE: Data recording starts when blue line goes lower than "
              "TRIGGER LEVEL. \nINTERNAL C-No.0: Data recording starts when color number 0 is "
              "detected. \nEXTERNAL IN0: Data recording starts when IN0 goes high.",
              To(this, &ScopeView::CBF_EditTriggerMode));
    ctl::Bind(ui.recordSignal, "Select the signal which should be recorded.", {});
    ctl::Bind(ui.preTrigger, "Number of recorded values \nwhich are stored before trigger occured.",
              {});
    ctl::Bind(ui.triggerLevel, "Record starts when blue line passes TRIGGER LEVEL.", {});
    ctl::Bind(ui.scanRate, "Record a value every SCAN RATE scan.",
              To(this, &ScopeView::CBF_EditScanRate));
    ctl::Bind(ui.scanFreq,
              "Sensor scanfrequency. \nDon't interrupt the sensor for 8 seconds \nthen press the "
              "button.",
              {});
    // The comment box has no help text; a right double click empties it.
    ctl::Bind(ui.comment, nullptr, To(this, &ScopeView::CBF_EditScopeComment));
}

void ScopeView::WireScopePanel() {
    ScopePanel& ui = panels_.scope;
    // The panel first: the filters of its controls, installed later, are
    // asked first, so each control keeps its own help text.
    ctl::Bind(ui.panel, nullptr, To(this, &ScopeView::CBF_SCOPEP));
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ",
              To(this, &ScopeView::CBF_ButtonCloseSP));
    ctl::Bind(ui.zoom11,
              "Zoom in: <Ctrl>+Left Mouse Button (drag to select).\nZoom out: Press ZOOM 1:1.",
              To(this, &ScopeView::CBF_ButtonZoom11));
    ctl::Bind(ui.signal, "Select a signal which should be displayed in the graph.",
              To(this, &ScopeView::CBF_EditScopeSignal));
    ctl::Bind(ui.scope,
              "Displays record results.\nRed line is RED or X or s. \nGreen line is GREEN or Y "
              "or i. \nBlue line is BLUE or INT or M. \n\nUpdate display deltaX and deltaY by "
              "moving the cursors. \nZoom in: <Ctrl>+Left Mouse Button (drag to select).\nZoom "
              "out: Press ZOOM 1:1.",
              To(this, &ScopeView::CBF_GraphScope));
    // Moving a cursor and zooming reach the graph's callback as value changes.
    // The connections hang on a context object of their own, which goes
    // with the view.
    ctl::Graph* graph = ui.scope;
    delete graphWiring_.data();
    auto* context = new QObject(graph);
    graphWiring_ = context;
    auto changed = [this, graph] { CBF_GraphScope(graph, ctl::Event::ValueChanged); };
    QObject::connect(graph, &ctl::Graph::cursorMoved, context, changed);
    QObject::connect(graph, &ctl::Graph::cursorReleased, context, changed);
    QObject::connect(graph, &ctl::Graph::zoomed, context, changed);
    ctl::Bind(ui.deltaX,
              "Show delta X in [ms]. \nThe calculation is based on the cycle time shown\nin the "
              "display [ms] and the value of ScanRate.",
              {});
    ctl::Bind(ui.deltaY, "Show delta Y in [digit].", {});
}

} // namespace scope
