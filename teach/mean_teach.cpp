#include "teach/mean_teach.h"

#include "link/com232.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/go_loop.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "teach/mean_stats.h"
#include "teach/teach_edit.h"
#include "teach/teach_labels.h"
#include "teach/teach_logic.h"
#include "teach/teach_ui.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>

#include <algorithm>

namespace teach {

uint16_t MeanValues[6] = {};

namespace {

bool gLoopRunning = false;

TeachMeanPanel& Ui() {
    return Panels().teachMean;
}

// The counter, kept within the table's rows.
int CapturedCount() {
    const int n = static_cast<int>(Ui().counter->Val());
    return std::clamp(n, 0, kMaxCapturedFrames);
}

// Rows 1..n of the captured-values table.
void ReadFrames(int n, CapturedFrame* frames) {
    ctl::U16Table* t = Ui().frames;
    for (int k = 0; k < n; ++k) {
        for (int c = 0; c < kFrameColumns; ++c) {
            frames[k].v[c] = static_cast<uint16_t>(t->Val(k + 1, c + 1));
        }
    }
}

void ShowMaxDeltas(int32_t colour, int32_t intensity) {
    Ui().maxDeltaXY->SetVal(colour);
    Ui().maxDeltaInt->SetVal(intensity);
}

} // namespace

void CaptureFrame() {
    TeachMeanPanel& ui = Ui();
    const int n = CountAfterCapture(CapturedCount());
    ui.counter->SetVal(n);
    ui.frames->SetActiveCell(n, 1);
    const live::LiveDataFrameBytes& f = live::LiveDataFrame;
    const live::LiveField fields[kFrameColumns] = {live::kRed, live::kGreen, live::kBlue,
                                                   live::kX,   live::kY,     live::kInt};
    for (int c = 0; c < kFrameColumns; ++c) {
        ui.frames->SetVal(n, c + 1, static_cast<uint16_t>(f.get(fields[c])));
    }
    CalcMeanValues();
}

void UndoCapture() {
    TeachMeanPanel& ui = Ui();
    const int n = CountAfterUndo(CapturedCount());
    ui.counter->SetVal(n);
    ui.frames->SetActiveCell(std::max(n - 5, 1), 1);
    for (int c = 1; c <= kFrameColumns; ++c) {
        ui.frames->SetVal(n + 1, c, 0); // the removed frame
    }
    CalcMeanValues();
}

void CalcMeanValues() {
    TeachMeanPanel& ui = Ui();
    const int n = CapturedCount();
    if (n == 0) {
        for (int c = 1; c <= kFrameColumns; ++c) {
            ui.mean->SetVal(1, c, 0);
        }
        ShowMaxDeltas(0, 0);
        return;
    }
    CapturedFrame frames[kMaxCapturedFrames];
    ReadFrames(n, frames);
    const Means m = MeanOf(frames, n);
    for (int c = 0; c < kFrameColumns; ++c) {
        MeanValues[c] = m.v[c];
        ui.mean->SetVal(1, c + 1, m.v[c]);
    }
    CalcMaxDelta();
}

void CalcMaxDelta() {
    const int n = CapturedCount();
    if (n == 0) {
        ShowMaxDeltas(0, 0);
        return;
    }
    const auto mode = params::Model().CalculationMode();
    CapturedFrame frames[kMaxCapturedFrames];
    ReadFrames(n, frames);
    Means m;
    std::copy(std::begin(MeanValues), std::end(MeanValues), m.v);
    const MaxDistances d = MaxDeltaOf(frames, n, m, mode);
    ShowMaxDeltas(d.colour, d.intensity);
}

void ResetTeachMeanPanelTable() {
    TeachMeanPanel& ui = Ui();
    ui.counter->SetVal(0);
    for (int r = 1; r <= kMaxCapturedFrames; ++r) {
        for (int c = 1; c <= kFrameColumns; ++c) {
            ui.frames->SetVal(r, c, 0);
        }
    }
    ui.frames->SetActiveCell(1, 1);
    for (int c = 1; c <= kFrameColumns; ++c) {
        ui.mean->SetVal(1, c, 0);
    }
    ShowMaxDeltas(0, 0);
}

void TeachToTable() {
    TeachPanels& p = Panels();
    TeachMeanPanel& ui = p.teachMean;
    params::ParameterModel& m = params::Model();
    MeanTeachInput in;
    in.calculationMode = m.CalculationMode();
    in.evaluationMode = m.EvaluationMode();
    in.meanX = static_cast<uint16_t>(ui.mean->Val(1, 4));
    in.meanY = static_cast<uint16_t>(ui.mean->Val(1, 5));
    in.meanInt = static_cast<uint16_t>(ui.mean->Val(1, 6));
    in.dMax = static_cast<int32_t>(ui.maxDeltaXY->Val());
    in.dIMax = static_cast<int32_t>(ui.maxDeltaInt->Val());
    in.firstChoice = ui.teachCtoWith->Val();
    in.secondChoice = ui.teachItoWith->Val();
    in.firstValue = static_cast<uint16_t>(ui.valueCto->value());
    in.secondValue = static_cast<uint16_t>(ui.valueIto->value());

    const int row = std::min<int>(m.TeachRowNo(), kLastRowNo);
    uint16_t cells[kValueColumns];
    for (int c = 0; c < kValueColumns; ++c) {
        cells[c] = m.Cell(row, static_cast<params::TeachField>(c));
    }
    TeachMeanCells(in, cells);
    for (int c = 0; c < kValueColumns; ++c) {
        m.SetCell(row, static_cast<params::TeachField>(c), cells[c]);
    }
    m.SetTeachRowNo(static_cast<uint16_t>(NextRowNo(row, p.teachPage.autoIncrement->isChecked())));
}

bool MeanPanelLoopRunning() {
    return gLoopRunning;
}

void ResetMeanTeachState() {
    std::fill(std::begin(MeanValues), std::end(MeanValues), 0);
    gLoopRunning = false;
}

int CBF_ButtonTeachMeanVal(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    shell::Shell().ShowChild(shell::Child::TeachMean);
    InitTeachPanel();
    if (gLoopRunning) {
        // Reopened while the loop it started is still finishing its last
        // exchange: that loop simply goes on.
        com232::ProgramLink().AcquisitionRunning = 1;
        return 0;
    }
    if (com232::ProgramLink().AcquisitionRunning != 0 || live::GoRunning() ||
        com232::ProgramLink().ExchangeRunning()) {
        return 0; // another loop feeds the displays
    }
    gLoopRunning = true;
    shell::Shell().SetButtonsDimmed(0, 1);
    live::InitGraphs();
    live::GetData();
    live::FlushDisplays();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    gLoopRunning = false;
    return 0;
}

int CBF_ButtonTP1Capture(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CaptureFrame();
    }
    return 0;
}

int CBF_ButtonTP1Undo(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        UndoCapture();
    }
    return 0;
}

int CBF_ButtonTP1ResetTable(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    QPushButton* button = Ui().reset;
    const QString normal = button->styleSheet();
    // The button turns red while the question is open.
    button->setStyleSheet("QPushButton { background-color: #ff0000; }");
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") == 1) {
        ResetTeachMeanPanelTable();
    }
    button->setStyleSheet(normal);
    return 0;
}

int CBF_ButtonTP1Teach(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        TeachToTable();
        live::InitGraphs();
    }
    return 0;
}

int CBF_GridTP1Values(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        CalcMeanValues();
    }
    return 0;
}

int CBF_GridTP1Mean(QWidget*, ctl::Event) {
    return 0;
}
int CBF_DispTP1Counter(QWidget*, ctl::Event) {
    return 0;
}
int CBF_DispTP1MaxDeltaXY(QWidget*, ctl::Event) {
    return 0;
}
int CBF_DispTP1MaxDeltaInt(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditTP1TeachCtoWith(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditTP1TeachItoWith(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditTP1ValueCto(QWidget*, ctl::Event) {
    return 0;
}
int CBF_EditTP1ValueIto(QWidget*, ctl::Event) {
    return 0;
}

int CBF_ButtonCloseTeachPanel(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        com232::ProgramLink().AcquisitionRunning = 0; // ends any polling loop
        shell::Shell().ShowChild(shell::Child::Data);
    }
    return 0;
}

int CBF_TEACHP1(QWidget*, ctl::Event) {
    return 0;
}

} // namespace teach
