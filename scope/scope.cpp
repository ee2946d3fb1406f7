// The scope view: the cycle time, the graph axes and cursor deltas, the
// plots, and the callbacks of the scope page and panel other than the
// capture's.
#include "scope/scope.h"

#include "link/com232.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "scope/scope_print.h"
#include "scope/scope_ui.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace scope {
namespace {

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

ScopeView::ScopeView(ScopePanels& panels, com232::SensorLink& link,
                     const params::ParameterModel& model, ScopeState& state, ScanState& scan)
    : panels_(panels), link_(link), model_(model), state_(state), scan_(scan) {
    WireScopePage();
    WireScopePanel();
}

ScopeView::~ScopeView() {
    delete graphWiring_.data(); // gone already when the panel went first
}

void ScopeView::GetCycleTime() {
    const double cycle = ReadCycleTime(link_);
    state_.CycleTime = cycle;
    ScopePage& ui = panels_.scopePage;
    ui.cycleTime->SetDecimals(CycleTimeDecimals(cycle));
    ui.cycleTime->SetVal(cycle);
    ui.scanFreq->SetDecimals(ScanFrequencyDecimals(cycle));
    ui.scanFreq->SetVal(ScanFrequencyHz(cycle));
}

void ScopeView::calcScopDeltaXY() {
    ScopePanels& p = panels_;
    const auto scanRate = static_cast<uint16_t>(p.scopePage.scanRate->value());
    const QPointF c1 = p.scope.scope->CursorPosition(0);
    const QPointF c2 = p.scope.scope->CursorPosition(1);
    p.scope.digital->SetCursor(0, c1.x(), 0);
    p.scope.digital->SetCursor(1, c2.x(), 0);
    const double dx = DeltaXMs(c1.x(), c2.x(), state_.CycleTime, scanRate);
    p.scope.deltaX->SetDecimals(DeltaXDecimals(dx));
    p.scope.deltaX->SetVal(dx);
    p.scope.deltaY->SetVal(DeltaYDigits(c1.y(), c2.y()));
}

void ScopeView::initScopeGraph() {
    ScopePanels& p = panels_;
    const uint16_t mode = model_.CalculationMode();
    const auto signal = static_cast<uint16_t>(p.scopePage.recordSignal->Val());
    p.scope.scope->SetXRange(0, kScopeSamples);
    p.scope.scope->SetYRange(0, ScopeYMaximum(mode, signal));
    // The digital lines keep the same time axis as the analogue ones.
    p.scope.digital->SetXRange(0, kScopeSamples);
    calcScopDeltaXY();
}

void ScopeView::PlotScopeGraph() {
    ScopePanel& ui = panels_.scope;
    ui.scope->DeleteAllPlots();
    if (state_.haveCapture) {
        const int signal = ui.signal->Val();
        for (int line = 0; line < 3; ++line) {
            if (signal == kSignalAll || signal == line + 1) {
                AddTrace(ui.scope, ToDoubles(state_.ScopeBlocks[static_cast<size_t>(line)]),
                         kLineColours[line], false);
            }
        }
    }
    ui.scope->MarkDirty();
}

void ScopeView::PlotDigitalGraph() {
    ScopePanel& ui = panels_.scope;
    ui.digital->DeleteAllPlots();
    if (state_.haveCapture) {
        for (int j = 0; j < kDigitalTraces; ++j) {
            AddTrace(ui.digital, ToDoubles(state_.DigitalTraces[static_cast<size_t>(j)]),
                     j < 5 ? kDigitalGrey : kDigitalTeal, true);
        }
    }
    ui.digital->MarkDirty();
}

// Called by the capture once all four blocks are in.
void ScopeView::TakeCapture(const std::array<SampleBlock, kScopeBlocks>& blocks) {
    state_.TakeCapture(blocks);
    PlotScopeGraph();
    PlotDigitalGraph();
}

void ScopeView::InitTriggerControls() {
    ScopePage& ui = panels_.scopePage;
    const int mode = ui.triggerMode->Val();
    ui.triggerLevel->setEnabled(mode == kRisingEdge || mode == kFallingEdge);
    ui.preTrigger->setEnabled(mode != kSingleShot);
}

int ScopeView::CBF_ButtonGetCycleTime(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || state_.cycleTimeRunning) {
        return 0;
    }
    state_.cycleTimeRunning = true;
    shell::Shell().SetButtonsDimmed(0, 1);
    GetCycleTime();
    calcScopDeltaXY();
    shell::Shell().SetButtonsDimmed(0, 0);
    state_.cycleTimeRunning = false;
    return 0;
}

int ScopeView::CBF_ButtonPrintScopeGraph(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        PrintScopeGraph();
    }
    return 0;
}

int ScopeView::CBF_EditScopeComment(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightDoubleClick) {
        panels_.scopePage.comment->clear();
    }
    return 0;
}

int ScopeView::CBF_EditTriggerMode(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        InitTriggerControls();
    }
    return 0;
}

int ScopeView::CBF_EditScanRate(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        calcScopDeltaXY();
    }
    return 0;
}

int ScopeView::CBF_SCOPEP(QWidget*, ctl::Event) {
    return 0;
}

int ScopeView::CBF_ButtonCloseSP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().ShowChild(shell::Child::Data);
    }
    return 0;
}

int ScopeView::CBF_ButtonZoom11(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        initScopeGraph();
    }
    return 0;
}

int ScopeView::CBF_EditScopeSignal(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        PlotScopeGraph();
    }
    return 0;
}

int ScopeView::CBF_GraphScope(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        // A zoom of the analogue graph also narrows the digital one, so the
        // two keep showing the same instants.
        ScopePanel& ui = panels_.scope;
        const QCPRange x = ui.scope->xAxis->range();
        ui.digital->SetXRange(x.lower, x.upper);
        calcScopDeltaXY();
    }
    return 0;
}

} // namespace scope
