// The scope page's capture: SCAN sends the page's five settings and waits
// for the four blocks (scope/scope_run.h), then plots them; BREAK SCAN
// breaks the capture off. While the capture waits, BREAK SCAN stays usable
// and the other commands are dimmed.
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "scope/scope_run.h"
#include "scope/scope_ui.h"

#include <QPushButton>

namespace scope {

ScanResult ScopeView::GetScopeData() {
    ScopePanels& p = panels_;
    const std::array<uint16_t, kScopeSettingCount> settings = {
        static_cast<uint16_t>(p.scopePage.triggerLevel->value()),
        static_cast<uint16_t>(p.scopePage.triggerMode->Val()),
        static_cast<uint16_t>(p.scopePage.preTrigger->value()),
        static_cast<uint16_t>(p.scopePage.scanRate->value()),
        static_cast<uint16_t>(p.scopePage.recordSignal->Val())};
    std::array<SampleBlock, kScopeBlocks> blocks{};
    const CaptureEnd end = CaptureScope(link_, scan_, settings, &blocks,
                                        [&p] { p.scopePage.breakScan->setEnabled(true); });
    if (end == CaptureEnd::Failed) {
        return ScanResult::Failed;
    }
    if (end == CaptureEnd::Broken) {
        return ScanResult::Broken;
    }
    TakeCapture(blocks);
    ++state_.captures;
    return ScanResult::Plotted;
}

int ScopeView::CBF_ButtonScan(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || state_.scanRunning) {
        return 0; // a capture is running: a second one must not start inside it
    }
    state_.scanRunning = true;
    ScopePanels& p = panels_;
    shell::Shell().SetButtonsDimmed(0, 1);
    initScopeGraph();
    p.scope.busy->setVisible(true);
    shell::Shell().ShowChild(shell::Child::Scope);
    GetScopeData();
    if (shell::Shell().PanelsLoaded()) {
        p.scope.busy->setVisible(false);
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    state_.scanRunning = false;
    return 0;
}

int ScopeView::CBF_ButtonBreakScan(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    shell::Shell().SetButtonsDimmed(0, 1);
    BreakDataScan(link_, scan_);
    // Inside a running capture the commands come back when the capture has
    // ended, not before: nothing may start while it is still unwinding.
    if (!state_.scanRunning) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    return 0;
}

} // namespace scope
