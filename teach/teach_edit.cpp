#include "teach/teach_edit.h"

#include "live/frame_stream.h"
#include "live/graphs.h"
#include "live/live_ui.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/widgets.h"

#include <QCheckBox>

#include <optional>
#include <string>

namespace teach {

namespace {

constexpr int kAutomaticColours = 1;
constexpr size_t kPromptChars = 9;

params::TeachField Field(int col) {
    return static_cast<params::TeachField>(col - 1);
}

enum class Asked { kCellValue, kIncrement };

// Why a prompt text was refused. An increment has the cells' range too:
// the sums wrap at 65535, so every step up or down is one of 0..65535.
std::string RefusalText(Asked asked, const std::string& typed) {
    const bool increment = asked == Asked::kIncrement;
    std::string text = increment ? "INVALID INCREMENT: \"" : "INVALID CELL VALUE: \"";
    text += typed + "\" \n\nInsert a whole number in the range 0..65535";
    text += increment ? "; \ncells wrap at 65535, so 65535 counts down by 1. \n" : ". \n";
    return text + "The table was not changed.";
}

// Asks for a cell value or an increment. No value when the prompt is
// cancelled, nor when the text is not a whole number 0..65535, which is
// said in a message; either way the caller changes nothing.
std::optional<uint16_t> PromptCellValue(Asked asked) {
    std::string text;
    if (platform::PromptPopup("VALUE!", "Insert a cell value!", &text,
                              static_cast<int>(kPromptChars)) != 1) {
        return std::nullopt;
    }
    const std::optional<int32_t> v = ScanCellValue(text);
    if (!v || *v < 0 || *v > 65535) {
        platform::MessagePopup("ATTENTION!", RefusalText(asked, text));
        return std::nullopt;
    }
    return static_cast<uint16_t>(*v);
}

} // namespace

void TeachDataTo(const TeachPanels& panels, params::ParameterModel& m,
                 const live::FrameStream& frames) {
    const live::LiveDataFrameBytes& f = frames.Current();
    TeachInput in;
    in.calculationMode = m.CalculationMode();
    in.evaluationMode = m.EvaluationMode();
    in.powerMode = m.Value(params::kPowerMode);
    in.tolerancesOff = m.TeachTolOff() == 1;
    in.red = f.get(live::kRed);
    in.green = f.get(live::kGreen);
    in.blue = f.get(live::kBlue);
    in.x = f.get(live::kX);
    in.y = f.get(live::kY);
    in.intensity = f.get(live::kInt);
    const int row = m.TeachRowNo() <= kLastRowNo ? m.TeachRowNo() : kLastRowNo;

    if (in.evaluationMode == params::kThdRgb) {
        // Thresholds of RED, GREEN and BLUE in rows 0, 1 and 2.
        m.SetCell(0, params::kCell0, static_cast<uint16_t>(in.red));
        m.SetCell(1, params::kCell0, static_cast<uint16_t>(in.green));
        m.SetCell(2, params::kCell0, static_cast<uint16_t>(in.blue));
    } else {
        uint16_t cells[kValueColumns];
        for (int c = 0; c < kValueColumns; ++c) {
            cells[c] = m.Cell(row, static_cast<params::TeachField>(c));
        }
        TeachCells(in, cells);
        for (int c = 0; c < kValueColumns; ++c) {
            m.SetCell(row, static_cast<params::TeachField>(c), cells[c]);
        }
        m.SetTeachRowNo(
            static_cast<uint16_t>(NextRowNo(row, panels.teachPage.autoIncrement->isChecked())));
    }
    if (panels.attributes.colorMode->Val() == kAutomaticColours) {
        m.SetRowColour(row, frames.CurrentColour());
    }
}

void TeachPageView::TeachDataTo() {
    teach::TeachDataTo(panels_, model_, frames_);
}

void TeachPageView::ResetTable() {
    model_.SetTeachRowNo(0);
    for (int r = 0; r < kTableRows; ++r) {
        for (int c = 0; c < kValueColumns; ++c) {
            model_.SetCell(r, static_cast<params::TeachField>(c), 1);
        }
    }
    for (ctl::Graph* g :
         {data_.colorPlane, data_.intensityBar, data_.view[0], data_.view[1], data_.view[2]}) {
        g->DeleteAllPlots();
    }
}

Selection TeachPageView::GridSelection() const {
    Selection s;
    if (!page_.grid->Selection(&s.top, &s.left, &s.height, &s.width)) {
        return {};
    }
    return s;
}

// Writes the cells into the table (the grid follows) and refreshes the graphs.
void TeachPageView::ApplyWrites(const std::vector<CellWrite>& writes) {
    if (writes.empty()) {
        return;
    }
    for (const CellWrite& w : writes) {
        model_.SetCell(w.row - 1, Field(w.col), w.value);
    }
    hooks_.initGraphs();
    hooks_.showGraphs();
}

int TeachPageView::CBF_GridCtt(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        // the edited cell is in the table already
        hooks_.initGraphs();
        hooks_.showGraphs();
    }
    return 0;
}

int TeachPageView::CBF_EditNo(QWidget*, ctl::Event) {
    // The row number is in the model already; the intensity band follows it.
    return 0;
}

int TeachPageView::CBF_RadioInc(QWidget*, ctl::Event) {
    return 0;
}

int TeachPageView::CBF_ButtonResetTable(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit &&
        platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") == 1) {
        ResetTable();
    }
    return 0;
}

int TeachPageView::CBF_ButtonTeachDataTo(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    // The values last shown on the data panel are the ones taught.
    live::LiveDataFrameBytes& f = frames_.CurrentForEdit();
    f.set(live::kX, static_cast<int16_t>(data_.x->Val()));
    f.set(live::kY, static_cast<int16_t>(data_.y->Val()));
    f.set(live::kInt, static_cast<int16_t>(data_.intensity->Val()));
    f.set(live::kRed, static_cast<int16_t>(data_.rgb.red->Val()));
    f.set(live::kGreen, static_cast<int16_t>(data_.rgb.green->Val()));
    f.set(live::kBlue, static_cast<int16_t>(data_.rgb.blue->Val()));
    TeachDataTo();
    hooks_.initGraphs();
    return 0;
}

void TeachPageView::CBF_GridCttHelp() {
    platform::MessagePopup(ctl::kInfoTitle, kGridHelpText);
}

void TeachPageView::CBF_GridCttSetSelectionTo() {
    const Selection s = GridSelection();
    if (!HasSelection(s)) {
        return;
    }
    const std::optional<uint16_t> v = PromptCellValue(Asked::kCellValue);
    if (v) {
        ApplyWrites(SetSelectionTo(s, *v));
    }
}

void TeachPageView::CBF_GridCttIncrementSelectionWith() {
    const Selection s = GridSelection();
    if (!HasSelection(s) || !IsValueCell(s.top, s.left)) {
        return;
    }
    const uint16_t start = model_.Cell(s.top - 1, Field(s.left));
    const std::optional<uint16_t> d = PromptCellValue(Asked::kIncrement);
    if (d) {
        ApplyWrites(IncrementSelectionWith(s, start, *d));
    }
}

void TeachPageView::CBF_GridCttResetSelection() {
    ApplyWrites(ResetSelection(GridSelection()));
}

void TeachPageView::CBF_GridCttTeachTolOff() {
    model_.SetTeachTolOff(1);
}

void TeachPageView::CBF_GridCttTeachTolOn() {
    model_.SetTeachTolOff(0);
}

} // namespace teach
