// The scope's view: capture of 128 samples of the three analogue lines and
// the digital word around a trigger (order 110), the sensor's cycle time
// (order 105) for the time scale, the two graphs with their cursors, the
// printout, and the callbacks of the scope page and the scope panel, on one
// sensor.
#pragma once

#include "platform/controls.h"
#include "scope/scope_logic.h"
#include "scope/scope_print.h"
#include "scope/scope_run.h"
#include "scope/scope_state.h"
#include "scope/scope_ui.h"

#include <QPointer>

#include <array>

class QImage;
class QPrinter;
namespace com232 {
class SensorLink;
}
namespace params {
class ParameterModel;
}

namespace scope {

// Result of a capture.
enum class ScanResult { Plotted, Broken, Failed };

class ScopeView {
public:
    // Binds the controls of the page and the panel (help texts and
    // callbacks) to this view; the axes read the calculation mode of
    // `model`; the capture runs on `link` with `scan`.
    ScopeView(ScopePanels& panels, com232::SensorLink& link, const params::ParameterModel& model,
              ScopeState& state, ScanState& scan);
    ~ScopeView();
    ScopeView(const ScopeView&) = delete;
    ScopeView& operator=(const ScopeView&) = delete;

    // Order 105: cycle time and scan frequency, shown with their precisions.
    void GetCycleTime();
    // Delta X (ms) and delta Y (digits) between the scope graph's two
    // cursors; the digital graph's cursors follow them.
    void calcScopDeltaXY();
    // Scope graph axes at "zoom 1:1" for the calculation mode and RECORD
    // SIGNAL, then the deltas.
    void initScopeGraph();
    // Sends the settings, waits for the four blocks (no time-out: the
    // sensor may take any time to trigger), orders and plots them.
    ScanResult GetScopeData();
    // Takes the four time-ordered blocks of a complete capture as the new
    // capture, derives the digital traces and plots everything.
    void TakeCapture(const std::array<SampleBlock, kScopeBlocks>& blocks);
    // Re-plots the analogue traces chosen by SIGNAL, and the digital traces.
    void PlotScopeGraph();
    void PlotDigitalGraph();
    // Enables TRIGGER LEVEL and PRE-TRIGGER VALUES for the trigger mode shown.
    void InitTriggerControls();

    // Builds the report, lets the user choose the printer and prints.
    // Cancelling the dialog prints nothing and shows nothing.
    void PrintScopeGraph();
    // Shows the print dialog for `printer`; true when the user confirmed.
    bool SelectPrinter(QPrinter& printer);
    // Test hook: replaces the print dialog (see PrintDialogHook); an empty
    // function shows the real dialog again.
    void SetPrintDialogHook(PrintDialogHook hook) { dialogHook_ = std::move(hook); }

    const ScopeState& State() const { return state_; }
    // The state of the capture on the link (what BREAK SCAN ends).
    ScanState& Scan() const { return scan_; }

    // ---- callbacks ----------------------------------------------------------
    int CBF_ButtonGetCycleTime(QWidget*, ctl::Event);
    int CBF_ButtonScan(QWidget*, ctl::Event);
    int CBF_ButtonBreakScan(QWidget*, ctl::Event);
    int CBF_ButtonPrintScopeGraph(QWidget*, ctl::Event);
    int CBF_EditScopeComment(QWidget*, ctl::Event);
    int CBF_EditTriggerMode(QWidget*, ctl::Event);
    int CBF_EditScanRate(QWidget*, ctl::Event);
    int CBF_SCOPEP(QWidget*, ctl::Event);
    int CBF_ButtonCloseSP(QWidget*, ctl::Event);
    int CBF_ButtonZoom11(QWidget*, ctl::Event);
    int CBF_EditScopeSignal(QWidget*, ctl::Event);
    // ValueChanged: a cursor was moved or the user zoomed the graph.
    int CBF_GraphScope(QWidget*, ctl::Event);

private:
    void WireScopePage();
    void WireScopePanel();
    // The main window the scope panel shows in: the print dialog's parent.
    QWidget* MainWindow() const;
    QImage GrabScopePanel();

    ScopePanels& panels_;
    com232::SensorLink& link_;
    const params::ParameterModel& model_;
    ScopeState& state_;
    ScanState& scan_;
    PrintDialogHook dialogHook_;
    // The graph's cursor and zoom connections, which go with the view.
    QPointer<QObject> graphWiring_;
};

} // namespace scope
