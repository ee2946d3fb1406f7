#include "teach/teach_edit.h"

#include "app/panels.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "params/parameter_set.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/widgets.h"
#include "teach/int_band.h"
#include "teach/row_colours.h"
#include "teach/teach_logic.h"
#include "teach/teach_wiring.h"

#include <QAction>
#include <QCheckBox>

#include <optional>
#include <string>
#include <vector>

namespace teach {

uint16_t TeachRowNo = 0;
uint16_t TeachTolOff = 0;

namespace {

constexpr int kAutomaticColours = 1;
constexpr size_t kPromptChars = 9;

ctl::U16Table* Grid() {
    return app::P().teachPage.grid;
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

// Writes the cells and refreshes the table in memory and the graphs.
void ApplyWrites(const std::vector<CellWrite>& writes) {
    if (writes.empty()) {
        return;
    }
    ctl::U16Table* grid = Grid();
    for (const CellWrite& w : writes) {
        grid->SetVal(w.row, w.col, w.value);
    }
    params::GetPanelValues();
    live::InitGraphs();
    live::ShowGraph();
}

void SetTolMenu(bool tolerancesOff) {
    TeachPage& t = app::P().teachPage;
    TeachTolOff = tolerancesOff ? 1 : 0;
    t.menuTolOff->setEnabled(!tolerancesOff);
    t.menuTolOn->setEnabled(tolerancesOff);
}

} // namespace

void ReadTeachModes() {
    app::Panels& p = app::P();
    TeachRowNo = static_cast<uint16_t>(p.teachPage.rowNo->value());
    params::ParameterBlock.set(params::kCalculationMode,
                               static_cast<uint16_t>(p.para.calculationMode->Val()));
    params::ParameterBlock.set(params::kEvaluationMode,
                               static_cast<uint16_t>(p.para.evaluationMode->Val()));
    params::ParameterBlock.set(params::kPowerMode, static_cast<uint16_t>(p.para.powerMode->Val()));
}

void TeachDataTo() {
    app::Panels& p = app::P();
    ctl::U16Table* grid = p.teachPage.grid;
    const live::LiveDataFrameBytes& f = live::LiveDataFrame;
    const params::ParameterBlockBytes& b = params::ParameterBlock;
    TeachInput in;
    in.calculationMode = b.get(params::kCalculationMode);
    in.evaluationMode = b.get(params::kEvaluationMode);
    in.powerMode = b.get(params::kPowerMode);
    in.tolerancesOff = TeachTolOff == 1;
    in.red = f.get(live::kRed);
    in.green = f.get(live::kGreen);
    in.blue = f.get(live::kBlue);
    in.x = f.get(live::kX);
    in.y = f.get(live::kY);
    in.intensity = f.get(live::kInt);
    const int row = TeachRowNo <= kLastRowNo ? TeachRowNo : kLastRowNo;

    if (in.evaluationMode == params::kThdRgb) {
        // Thresholds of RED, GREEN and BLUE in rows 0, 1 and 2.
        grid->SetVal(1, 1, static_cast<uint16_t>(in.red));
        grid->SetVal(2, 1, static_cast<uint16_t>(in.green));
        grid->SetVal(3, 1, static_cast<uint16_t>(in.blue));
    } else {
        uint16_t cells[kValueColumns];
        for (int c = 0; c < kValueColumns; ++c) {
            cells[c] = static_cast<uint16_t>(grid->Val(row + 1, c + 1));
        }
        TeachCells(in, cells);
        for (int c = 0; c < kValueColumns; ++c) {
            grid->SetVal(row + 1, c + 1, cells[c]);
        }
        const int next = NextRowNo(row, p.teachPage.autoIncrement->isChecked());
        p.teachPage.rowNo->SetVal(next);
        TeachRowNo = static_cast<uint16_t>(next);
    }
    if (p.attributes.colorMode->Val() == kAutomaticColours) {
        RowColours[row] = live::CurrentColour;
        PaintRowColours();
    }
}

void ResetTable() {
    app::Panels& p = app::P();
    p.teachPage.rowNo->SetVal(0);
    TeachRowNo = 0;
    ctl::U16Table* grid = p.teachPage.grid;
    for (int r = 1; r <= kTableRows; ++r) {
        for (int c = 1; c <= kValueColumns; ++c) {
            grid->SetVal(r, c, 1);
        }
    }
    live::DataPanel& d = p.data;
    for (ctl::Graph* g : {d.colorPlane, d.intensityBar, d.view[0], d.view[1], d.view[2]}) {
        g->DeleteAllPlots();
    }
}

void ResetTeachEditState() {
    TeachRowNo = 0;
    TeachTolOff = 0;
    if (app::PanelsLoaded()) {
        SetTolMenu(false);
    }
}

int CBF_GridCtt(QWidget*, ctl::Event e) {
    if (e == ctl::Event::ValueChanged) {
        params::GetPanelValues();
        live::InitGraphs();
        live::ShowGraph();
    }
    return 0;
}

int CBF_EditNo(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        TeachRowNo = static_cast<uint16_t>(app::P().teachPage.rowNo->value());
        InitGraphInt2();
    }
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
    live::DataPanel& d = app::P().data;
    live::LiveDataFrameBytes& f = live::LiveDataFrame;
    f.set(live::kX, static_cast<int16_t>(d.x->Val()));
    f.set(live::kY, static_cast<int16_t>(d.y->Val()));
    f.set(live::kInt, static_cast<int16_t>(d.intensity->Val()));
    f.set(live::kRed, static_cast<int16_t>(d.rgb.red->Val()));
    f.set(live::kGreen, static_cast<int16_t>(d.rgb.green->Val()));
    f.set(live::kBlue, static_cast<int16_t>(d.rgb.blue->Val()));
    ReadTeachModes();
    TeachDataTo();
    params::GetPanelValues();
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
    const auto start = static_cast<uint16_t>(Grid()->Val(s.top, s.left));
    const std::optional<uint16_t> d = PromptCellValue(Asked::kIncrement);
    if (d) {
        ApplyWrites(IncrementSelectionWith(s, start, *d));
    }
}

void CBF_GridCttResetSelection() {
    ApplyWrites(ResetSelection(GridSelection()));
}

void CBF_GridCttTeachTolOff() {
    SetTolMenu(true);
}

void CBF_GridCttTeachTolOn() {
    SetTolMenu(false);
}

} // namespace teach
