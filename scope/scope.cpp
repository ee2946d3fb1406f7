// Scope state, the cycle time, the graph axes and cursor deltas, the plots,
// and the callbacks of the scope page and panel other than the capture's.
#include "scope/scope.h"
#include "link/program_link.h"

#include "link/com232.h"
#include "live/live_params.h"
#include "platform/graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "scope/scope_print.h"
#include "scope/scope_ui.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace scope {

ScanState& ProgramScan() {
    static ScanState scan;
    return scan;
}

std::array<SampleBlock, kScopeBlocks> ScopeBlocks{};
DigitalTraceSet DigitalTraces{};
double CycleTime = 0;

namespace {

bool gCycleTimeRunning = false;
bool gHaveCapture = false;

// Trace colours: the analogue lines in pure red, green and blue; digital
// lines 0..4 grey, line 5 teal.
constexpr ctl::Rgb kLineColours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
constexpr ctl::Rgb kDigitalGrey = 0x808080;
constexpr ctl::Rgb kDigitalTeal = 0x008080;

// SIGNAL selector: 0 all three lines, 1 red, 2 green, 3 blue.
constexpr int kSignalAll = 0;

void AddTrace(ctl::Graph* g, const QVector<double>& y, ctl::Rgb colour, bool digital) {
    QVector<double> x(y.size());
    for (int k = 0; k < x.size(); ++k) {
        x[k] = k;
    }
    QCPGraph* trace = g->addGraph();
    trace->setPen(QPen(ctl::ToQColor(colour), 1));
    trace->setLineStyle(digital ? QCPGraph::lsStepLeft : QCPGraph::lsLine);
    trace->setData(x, y, true);
}

template <typename Array>
QVector<double> ToDoubles(const Array& a) {
    QVector<double> v;
    v.reserve(static_cast<int>(a.size()));
    for (auto s : a) {
        v.push_back(static_cast<double>(s));
    }
    return v;
}

} // namespace

void ResetScopeState() {
    ScopeBlocks = {};
    DigitalTraces = {};
    CycleTime = 0;
    ProgramScan().ScanActive = 0;
    gCycleTimeRunning = false;
    gHaveCapture = false;
    ResetCaptureFlags();
}

void GetCycleTime() {
    const double cycle = ReadCycleTime(com232::ProgramLink());
    CycleTime = cycle;
    ScopePage& ui = Panels().scopePage;
    ui.cycleTime->SetDecimals(CycleTimeDecimals(cycle));
    ui.cycleTime->SetVal(cycle);
    ui.scanFreq->SetDecimals(ScanFrequencyDecimals(cycle));
    ui.scanFreq->SetVal(ScanFrequencyHz(cycle));
}

void calcScopDeltaXY() {
    ScopePanels& p = Panels();
    const auto scanRate = static_cast<uint16_t>(p.scopePage.scanRate->value());
    const QPointF c1 = p.scope.scope->CursorPosition(0);
    const QPointF c2 = p.scope.scope->CursorPosition(1);
    p.scope.digital->SetCursor(0, c1.x(), 0);
    p.scope.digital->SetCursor(1, c2.x(), 0);
    const double dx = DeltaXMs(c1.x(), c2.x(), CycleTime, scanRate);
    p.scope.deltaX->SetDecimals(DeltaXDecimals(dx));
    p.scope.deltaX->SetVal(dx);
    p.scope.deltaY->SetVal(DeltaYDigits(c1.y(), c2.y()));
}

void initScopeGraph() {
    ScopePanels& p = Panels();
    const uint16_t mode = live::Parameters().CalculationMode();
    const auto signal = static_cast<uint16_t>(p.scopePage.recordSignal->Val());
    p.scope.scope->SetXRange(0, kScopeSamples);
    p.scope.scope->SetYRange(0, ScopeYMaximum(mode, signal));
    // The digital lines keep the same time axis as the analogue ones.
    p.scope.digital->SetXRange(0, kScopeSamples);
    calcScopDeltaXY();
}

void PlotScopeGraph() {
    ScopePanel& ui = Panels().scope;
    ui.scope->DeleteAllPlots();
    if (gHaveCapture) {
        const int signal = ui.signal->Val();
        for (int line = 0; line < 3; ++line) {
            if (signal == kSignalAll || signal == line + 1) {
                AddTrace(ui.scope, ToDoubles(ScopeBlocks[static_cast<size_t>(line)]),
                         kLineColours[line], false);
            }
        }
    }
    ui.scope->MarkDirty();
}

void PlotDigitalGraph() {
    ScopePanel& ui = Panels().scope;
    ui.digital->DeleteAllPlots();
    if (gHaveCapture) {
        for (int j = 0; j < kDigitalTraces; ++j) {
            AddTrace(ui.digital, ToDoubles(DigitalTraces[static_cast<size_t>(j)]),
                     j < 5 ? kDigitalGrey : kDigitalTeal, true);
        }
    }
    ui.digital->MarkDirty();
}

// Called by the capture once all four blocks are in.
void TakeCapture(const std::array<SampleBlock, kScopeBlocks>& blocks) {
    ScopeBlocks = blocks;
    DigitalTraces = DigitalTracesOf(ScopeBlocks[3]);
    gHaveCapture = true;
    PlotScopeGraph();
    PlotDigitalGraph();
}

void InitTriggerControls() {
    ScopePage& ui = Panels().scopePage;
    const int mode = ui.triggerMode->Val();
    ui.triggerLevel->setEnabled(mode == kRisingEdge || mode == kFallingEdge);
    ui.preTrigger->setEnabled(mode != kSingleShot);
}

int CBF_ButtonGetCycleTime(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gCycleTimeRunning) {
        return 0;
    }
    gCycleTimeRunning = true;
    shell::Shell().SetButtonsDimmed(0, 1);
    GetCycleTime();
    calcScopDeltaXY();
    shell::Shell().SetButtonsDimmed(0, 0);
    gCycleTimeRunning = false;
    return 0;
}

int CBF_ButtonPrintScopeGraph(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        PrintScopeGraph();
    }
    return 0;
}

int CBF_EditScopeComment(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightDoubleClick) {
        Panels().scopePage.comment->clear();
    }
    return 0;
}

int CBF_EditTriggerMode(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitTriggerControls();
    }
    return 0;
}

int CBF_EditScanRate(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        calcScopDeltaXY();
    }
    return 0;
}

int CBF_SCOPEP(QWidget*, ctl::Event) {
    return 0;
}

int CBF_ButtonCloseSP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::Data);
    }
    return 0;
}

int CBF_ButtonZoom11(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        initScopeGraph();
    }
    return 0;
}

int CBF_EditScopeSignal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        PlotScopeGraph();
    }
    return 0;
}

int CBF_GraphScope(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        // A zoom of the analogue graph also narrows the digital one, so the
        // two keep showing the same instants.
        ScopePanel& ui = Panels().scope;
        const QCPRange x = ui.scope->xAxis->range();
        ui.digital->SetXRange(x.lower, x.upper);
        calcScopDeltaXY();
    }
    return 0;
}

} // namespace scope
