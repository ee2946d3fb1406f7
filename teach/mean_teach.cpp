#include "teach/mean_teach.h"

#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/graphs.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "teach/teach_logic.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>

#include <algorithm>

namespace teach {

namespace {

// A control's callback: the view's member of that name.
ctl::Callback Call(MeanTeachView* view, int (MeanTeachView::*member)(QWidget*, ctl::Event)) {
    return [view, member](QWidget* w, ctl::Event e) { (view->*member)(w, e); };
}

} // namespace

void CloseTeachPanel(com232::SensorLink& link) {
    link.AcquisitionRunning = 0; // ends any polling loop
    shell::Shell().ShowChild(shell::Child::Data);
}

MeanTeachView::MeanTeachView(TeachPanels& panels, TeachState& state, const live::LiveParts& parts,
                             live::DisplayRefresh& refresh, const live::LiveViewHooks& hooks,
                             std::function<void()> initTeachPanel)
    : panels_(panels), ui_(panels.teachMean), state_(state), parts_(parts), link_(parts.link),
      model_(parts.model), frames_(parts.frames), refresh_(refresh), hooks_(hooks),
      initTeachPanel_(std::move(initTeachPanel)) {
    Wire();
}

void MeanTeachView::Wire() {
    TeachMeanPanel& ui = ui_;
    ctl::Bind(panels_.teachPage.teachMeanValues, "Opens a panel to teach mean values. ",
              Call(this, &MeanTeachView::CBF_ButtonTeachMeanVal));
    ctl::Bind(ui.capture,
              "Get frame of R,G,B,X,Y,INT \nrespectively R,G,B,s,i,M \nand assign to "
              "table. ",
              Call(this, &MeanTeachView::CBF_ButtonTP1Capture));
    ctl::Bind(ui.undo, "Remove the last frame from table. ",
              Call(this, &MeanTeachView::CBF_ButtonTP1Undo));
    ctl::Bind(ui.reset, "Set all table cells to 0.",
              Call(this, &MeanTeachView::CBF_ButtonTP1ResetTable));
    ctl::Bind(ui.teach,
              "Mean values are assigned to the \nTEACH TABLE row selected \nin the ROW No.: "
              "function field.",
              Call(this, &MeanTeachView::CBF_ButtonTP1Teach));
    ctl::Bind(ui.frames, "Table to list the captured values. ",
              Call(this, &MeanTeachView::CBF_GridTP1Values));
    ctl::Bind(ui.mean, "Table to list the mean values. ",
              Call(this, &MeanTeachView::CBF_GridTP1Mean));
    ctl::Bind(ui.counter, "Displays the amount of captured frames. ",
              Call(this, &MeanTeachView::CBF_DispTP1Counter));
    ctl::Bind(ui.maxDeltaXY, "Displays the maximum distance to the mean values.",
              Call(this, &MeanTeachView::CBF_DispTP1MaxDeltaXY));
    ctl::Bind(ui.maxDeltaInt, "Displays the maximum intensity distance to mean value.",
              Call(this, &MeanTeachView::CBF_DispTP1MaxDeltaInt));
    const char* choiceHelp =
        "Choose to which value the tolerance \nshould be set in the TEACH TABLE.";
    ctl::Bind(ui.teachCtoWith, choiceHelp, Call(this, &MeanTeachView::CBF_EditTP1TeachCtoWith));
    ctl::Bind(ui.teachItoWith, choiceHelp, Call(this, &MeanTeachView::CBF_EditTP1TeachItoWith));
    ctl::Bind(ui.valueCto, "Select CTO respectively siTO respectively TOL. ",
              Call(this, &MeanTeachView::CBF_EditTP1ValueCto));
    ctl::Bind(ui.valueIto, "Select ITO respectively MTO. ",
              Call(this, &MeanTeachView::CBF_EditTP1ValueIto));
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ",
              Call(this, &MeanTeachView::CBF_ButtonCloseTeachPanel));
}

// The counter, kept within the table's rows.
int MeanTeachView::CapturedCount() const {
    const int n = static_cast<int>(ui_.counter->Val());
    return std::clamp(n, 0, kMaxCapturedFrames);
}

// Rows 1..n of the captured-values table.
void MeanTeachView::ReadFrames(int n, CapturedFrame* frames) const {
    ctl::U16Table* t = ui_.frames;
    for (int k = 0; k < n; ++k) {
        for (int c = 0; c < kFrameColumns; ++c) {
            frames[k].v[c] = static_cast<uint16_t>(t->Val(k + 1, c + 1));
        }
    }
}

void MeanTeachView::ShowMaxDeltas(int32_t colour, int32_t intensity) {
    ui_.maxDeltaXY->SetVal(colour);
    ui_.maxDeltaInt->SetVal(intensity);
}

void MeanTeachView::CaptureFrame() {
    TeachMeanPanel& ui = ui_;
    const int n = CountAfterCapture(CapturedCount());
    ui.counter->SetVal(n);
    ui.frames->SetActiveCell(n, 1);
    const live::LiveDataFrameBytes& f = frames_.Current();
    const live::LiveField fields[kFrameColumns] = {live::kRed, live::kGreen, live::kBlue,
                                                   live::kX,   live::kY,     live::kInt};
    for (int c = 0; c < kFrameColumns; ++c) {
        ui.frames->SetVal(n, c + 1, static_cast<uint16_t>(f.get(fields[c])));
    }
    CalcMeanValues();
}

void MeanTeachView::UndoCapture() {
    TeachMeanPanel& ui = ui_;
    const int n = CountAfterUndo(CapturedCount());
    ui.counter->SetVal(n);
    ui.frames->SetActiveCell(std::max(n - 5, 1), 1);
    for (int c = 1; c <= kFrameColumns; ++c) {
        ui.frames->SetVal(n + 1, c, 0); // the removed frame
    }
    CalcMeanValues();
}

void MeanTeachView::CalcMeanValues() {
    TeachMeanPanel& ui = ui_;
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
        state_.MeanValues[c] = m.v[c];
        ui.mean->SetVal(1, c + 1, m.v[c]);
    }
    CalcMaxDelta();
}

void MeanTeachView::CalcMaxDelta() {
    const int n = CapturedCount();
    if (n == 0) {
        ShowMaxDeltas(0, 0);
        return;
    }
    const auto mode = model_.CalculationMode();
    CapturedFrame frames[kMaxCapturedFrames];
    ReadFrames(n, frames);
    Means m;
    std::copy(std::begin(state_.MeanValues), std::end(state_.MeanValues), m.v);
    const MaxDistances d = MaxDeltaOf(frames, n, m, mode);
    ShowMaxDeltas(d.colour, d.intensity);
}

void MeanTeachView::ResetTeachMeanPanelTable() {
    TeachMeanPanel& ui = ui_;
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

void MeanTeachView::TeachToTable() {
    TeachMeanPanel& ui = ui_;
    params::ParameterModel& m = model_;
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
    m.SetTeachRowNo(
        static_cast<uint16_t>(NextRowNo(row, panels_.teachPage.autoIncrement->isChecked())));
}

int MeanTeachView::CBF_ButtonTeachMeanVal(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    shell::Shell().ShowChild(shell::Child::TeachMean);
    initTeachPanel_();
    if (state_.meanLoopRunning) {
        // Reopened while the loop it started is still finishing its last
        // exchange: that loop simply goes on.
        link_.AcquisitionRunning = 1;
        return 0;
    }
    if (link_.AcquisitionRunning != 0 || parts_.live.GoRunning || link_.ExchangeRunning()) {
        return 0; // another loop feeds the displays
    }
    state_.meanLoopRunning = true;
    shell::Shell().SetButtonsDimmed(0, 1);
    hooks_.initGraphs();
    live::GetData(parts_);
    refresh_.Flush();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
    state_.meanLoopRunning = false;
    return 0;
}

int MeanTeachView::CBF_ButtonTP1Capture(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CaptureFrame();
    }
    return 0;
}

int MeanTeachView::CBF_ButtonTP1Undo(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        UndoCapture();
    }
    return 0;
}

int MeanTeachView::CBF_ButtonTP1ResetTable(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    QPushButton* button = ui_.reset;
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

int MeanTeachView::CBF_ButtonTP1Teach(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        TeachToTable();
        hooks_.initGraphs();
    }
    return 0;
}

int MeanTeachView::CBF_GridTP1Values(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        CalcMeanValues();
    }
    return 0;
}

int MeanTeachView::CBF_GridTP1Mean(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_DispTP1Counter(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_DispTP1MaxDeltaXY(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_DispTP1MaxDeltaInt(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_EditTP1TeachCtoWith(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_EditTP1TeachItoWith(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_EditTP1ValueCto(QWidget*, ctl::Event) {
    return 0;
}
int MeanTeachView::CBF_EditTP1ValueIto(QWidget*, ctl::Event) {
    return 0;
}

int MeanTeachView::CBF_ButtonCloseTeachPanel(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        CloseTeachPanel(link_);
    }
    return 0;
}

int MeanTeachView::CBF_TEACHP1(QWidget*, ctl::Event) {
    return 0;
}

} // namespace teach
