#include "teach/teach_edit.h"

#include "live/graphs.h"
#include "live/live_data.h"
#include "live/live_ui.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "teach/teach_logic.h"
#include "teach/teach_ui.h"
#include "teach/teach_wiring.h"

#include <QAction>
#include <QCheckBox>

#include <optional>
#include <string>
#include <vector>

namespace teach {

namespace {

constexpr int kAutomaticColours = 1;
constexpr size_t kPromptChars = 9;

ctl::U16Table* Grid() {
    return Panels().teachPage.grid;
}

params::ParameterModel& M() {
    return params::Model();
}

params::TeachField Field(int col) {
    return static_cast<params::TeachField>(col - 1);
}

Selection GridSelection() {
    Selection s;
    if (!Grid()->Selection(&s.top, &s.left, &s.height, &s.width)) {
        return {};
    }
    return s;
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

// Writes the cells into the table (the grid follows) and refreshes the graphs.
void ApplyWrites(const std::vector<CellWrite>& writes) {
    if (writes.empty()) {
        return;
    }
    for (const CellWrite& w : writes) {
        M().SetCell(w.row - 1, Field(w.col), w.value);
    }
    live::InitGraphs();
    live::ShowGraph();
}

} // namespace

void TeachDataTo() {
    params::ParameterModel& m = M();
    const live::LiveDataFrameBytes& f = live::LiveDataFrame;
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
            static_cast<uint16_t>(NextRowNo(row, Panels().teachPage.autoIncrement->isChecked())));
    }
    if (Panels().attributes.colorMode->Val() == kAutomaticColours) {
        m.SetRowColour(row, live::CurrentColour);
    }
}

void ResetTable() {
    params::ParameterModel& m = M();
    m.SetTeachRowNo(0);
    for (int r = 0; r < kTableRows; ++r) {
        for (int c = 0; c < kValueColumns; ++c) {
            m.SetCell(r, static_cast<params::TeachField>(c), 1);
        }
    }
    live::DataPanel& d = live::Panels().data;
    for (ctl::Graph* g : {d.colorPlane, d.intensityBar, d.view[0], d.view[1], d.view[2]}) {
        g->DeleteAllPlots();
    }
}

void ResetTeachEditState() {
    M().SetTeachRowNo(0);
    M().SetTeachTolOff(0);
    if (shell::Shell().PanelsLoaded()) {
        TeachPage& t = Panels().teachPage;
        t.menuTolOff->setEnabled(true);
        t.menuTolOn->setEnabled(false);
    }
}

int CBF_GridCtt(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        // the edited cell is in the table already
        live::InitGraphs();
        live::ShowGraph();
    }
    return 0;
}

int CBF_EditNo(QWidget*, ctl::Event) {
    // The row number is in the model already; the intensity band follows it.
    return 0;
}

int CBF_RadioInc(QWidget*, ctl::Event) {
    return 0;
}

int CBF_ButtonResetTable(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit &&
        platform::ConfirmPopup("ATTENTION!", "Do you really want to reset the table?") == 1) {
        ResetTable();
    }
    return 0;
}

int CBF_ButtonTeachDataTo(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    // The values last shown on the data panel are the ones taught.
    live::DataPanel& d = live::Panels().data;
    live::LiveDataFrameBytes& f = live::LiveDataFrame;
    f.set(live::kX, static_cast<int16_t>(d.x->Val()));
    f.set(live::kY, static_cast<int16_t>(d.y->Val()));
    f.set(live::kInt, static_cast<int16_t>(d.intensity->Val()));
    f.set(live::kRed, static_cast<int16_t>(d.rgb.red->Val()));
    f.set(live::kGreen, static_cast<int16_t>(d.rgb.green->Val()));
    f.set(live::kBlue, static_cast<int16_t>(d.rgb.blue->Val()));
    TeachDataTo();
    live::InitGraphs();
    return 0;
}

void CBF_GridCttHelp() {
    platform::MessagePopup(ctl::kInfoTitle, kGridHelpText);
}

void CBF_GridCttSetSelectionTo() {
    const Selection s = GridSelection();
    if (!HasSelection(s)) {
        return;
    }
    const std::optional<uint16_t> v = PromptCellValue(Asked::kCellValue);
    if (v) {
        ApplyWrites(SetSelectionTo(s, *v));
    }
}

void CBF_GridCttIncrementSelectionWith() {
    const Selection s = GridSelection();
    if (!HasSelection(s) || !IsValueCell(s.top, s.left)) {
        return;
    }
    const uint16_t start = M().Cell(s.top - 1, Field(s.left));
    const std::optional<uint16_t> d = PromptCellValue(Asked::kIncrement);
    if (d) {
        ApplyWrites(IncrementSelectionWith(s, start, *d));
    }
}

void CBF_GridCttResetSelection() {
    ApplyWrites(ResetSelection(GridSelection()));
}

void CBF_GridCttTeachTolOff() {
    M().SetTeachTolOff(1);
}

void CBF_GridCttTeachTolOn() {
    M().SetTeachTolOff(0);
}

} // namespace teach
