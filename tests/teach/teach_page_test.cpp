// The teach table page: TEACH DATA TO from the data panel's displays, the
// grid's context menu, RESET, the refresh after a grid edit, and the row
// conversion when the calculation mode changes.
#include "app/panels.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "params/param_callbacks.h"
#include "params/parameter_model.h"
#include "params/row_palette.h"
#include "platform/graph.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "teach/teach_edit.h"
#include "tests/teach/teach_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>

using app::P;
using Row = std::array<int, 5>;
using platform::PopupKind;

namespace {

class TeachPageTest : public TeachFixture {
protected:
    // What the data panel shows, as the last frame left it.
    static void ShowOnDataPanel(int x, int y, int i, int r = 0, int g = 0, int b = 0) {
        live::DataPanel& d = P().data;
        d.x->SetVal(x);
        d.y->SetVal(y);
        d.intensity->SetVal(i);
        d.rgb.red->SetVal(r);
        d.rgb.green->SetVal(g);
        d.rgb.blue->SetVal(b);
    }
    static void Select(int top, int left, int height, int width) {
        ctl::U16Table* g = P().teachPage.grid;
        g->clearSelection();
        g->setRangeSelected(
            QTableWidgetSelectionRange(top - 1, left - 1, top + height - 2, left + width - 2),
            true);
    }
};

} // namespace

TEST_F(TeachPageTest, TeachDataToAcrossPowerModesAndTheToleranceSwitch) {
    teach::TeachPage& t = P().teachPage;
    SetModes(params::kXyInt2D, params::kBestHit, params::kPowerStat);
    app::P().sensor.model.SetTeachRowNo(3);
    t.autoIncrement->setChecked(true);
    ShowOnDataPanel(500, 400, 2000);
    t.teachDataTo->click();
    EXPECT_EQ((Row{500, 400, 200, 2000, 200}), GridRow(3));
    EXPECT_EQ(4, t.rowNo->value());
    // the table in memory and the graphs follow
    EXPECT_EQ(2000, app::P().sensor.model.Table().get(3, params::kCell3));
    EXPECT_EQ(31, P().data.colorPlane->itemCount() - 2); // 31 shapes and the cursor's two lines

    // DYN: ITO 100
    SetModes(params::kXyInt2D, params::kBestHit, params::kPowerDyn);
    t.teachDataTo->click();
    EXPECT_EQ((Row{500, 400, 200, 2000, 100}), GridRow(4));

    // tolerance off: only X, Y and INT are written; the menu offers "on" again
    t.menuTolOff->trigger();
    EXPECT_FALSE(t.menuTolOff->isEnabled());
    EXPECT_TRUE(t.menuTolOn->isEnabled());
    SetGridRow(5, {1, 1, 33, 1, 44});
    ShowOnDataPanel(510, 410, 2100);
    t.teachDataTo->click();
    EXPECT_EQ((Row{510, 410, 33, 2100, 44}), GridRow(5));
    t.menuTolOn->trigger();
    EXPECT_TRUE(t.menuTolOff->isEnabled());
    EXPECT_FALSE(t.menuTolOn->isEnabled());
    EXPECT_EQ(0, app::P().sensor.model.TeachTolOff());

    // 3D MIN DIST: X, Y, INT, 40, 1
    SetModes(params::kXyInt3D, params::kMinDist, params::kPowerStat);
    t.teachDataTo->click();
    EXPECT_EQ((Row{510, 410, 2100, 40, 1}), GridRow(6));

    // row 30 with auto increment: taught, and the No. field stays at 30
    app::P().sensor.model.SetTeachRowNo(30);
    t.teachDataTo->click();
    EXPECT_EQ((Row{510, 410, 2100, 40, 1}), GridRow(30));
    EXPECT_EQ(30, t.rowNo->value());
    // without auto increment the No. field stays
    t.autoIncrement->setChecked(false);
    app::P().sensor.model.SetTeachRowNo(8);
    t.teachDataTo->click();
    EXPECT_EQ(8, t.rowNo->value());
}

TEST_F(TeachPageTest, ThdRgbTeachesTheThreeThresholdsAndKeepsTheRowNumber) {
    teach::TeachPage& t = P().teachPage;
    SetModes(params::kXyInt2D, params::kThdRgb, params::kPowerStat);
    app::P().sensor.model.SetTeachRowNo(9);
    SetGridRow(0, {7, 7, 7, 7, 7});
    ShowOnDataPanel(500, 400, 2000, 1000, 2000, 3000);
    t.teachDataTo->click();
    EXPECT_EQ((Row{1000, 7, 7, 7, 7}), GridRow(0));
    EXPECT_EQ(2000, GridRow(1)[0]);
    EXPECT_EQ(3000, GridRow(2)[0]);
    EXPECT_EQ((Row{1, 1, 1, 1, 1}), GridRow(9));
    EXPECT_EQ(9, t.rowNo->value());
}

TEST_F(TeachPageTest, AutomaticRowColourPaintsAllFourTables) {
    app::Panels& p = P();
    SetModes(params::kXyInt2D, params::kFirstHit, params::kPowerStat);
    app::P().sensor.model.SetTeachRowNo(5);
    app::P().sensor.frames.ColourForEdit() = 0x123456;
    p.teachPage.teachDataTo->click(); // manual mode: colours untouched
    EXPECT_EQ(params::DefaultRowColour(5), app::P().sensor.model.RowColour(5));
    EXPECT_EQ(params::DefaultRowColour(5), p.teachPage.grid->CellBackground(6, 6));

    p.attributes.colorMode->SetVal(1);
    app::P().sensor.model.SetTeachRowNo(5);
    p.teachPage.teachDataTo->click();
    EXPECT_EQ(0x123456u, app::P().sensor.model.RowColour(5));
    EXPECT_EQ(0x123456u, p.teachPage.grid->CellBackground(6, 6));
    EXPECT_EQ(0x123456u, p.attributes.table->CellBackground(6, 2));
    EXPECT_EQ(0x123456u, p.groupHold.groupTable->CellBackground(6, 2));
    EXPECT_EQ(0x123456u, p.groupHold.holdTable->CellBackground(7, 2));
    EXPECT_EQ(params::DefaultRowColour(6), app::P().sensor.model.RowColour(6));
}

TEST_F(TeachPageTest, MenuOperationsOnSelections) {
    teach::TeachPage& t = P().teachPage;
    for (int r = 0; r < 31; ++r) {
        SetGridRow(r, {1, 1, 1, 1, 1}); // not the sensor's table
    }
    // increment from 65535 by 10 over two rows reaching into the colour column
    SetGridRow(0, {1, 1, 1, 65535, 1});
    Select(1, 4, 2, 3);
    user_->Answer(1, "10");
    t.menuIncrementSelection->trigger();
    EXPECT_EQ((Row{1, 1, 1, 65535, 9}), GridRow(0));
    EXPECT_EQ((Row{1, 1, 1, 19, 29}), GridRow(1));
    EXPECT_EQ(params::DefaultRowColour(0), t.grid->CellBackground(1, 6));
    EXPECT_EQ("VALUE!", user_->Records().back().title);
    EXPECT_EQ("Insert a cell value!", user_->Records().back().text);
    EXPECT_EQ(29,
              app::P().sensor.model.Table().get(1, params::kCell4)); // the table in memory follows

    // set a rectangle to one value
    Select(3, 1, 2, 2);
    user_->Answer(1, "42");
    t.menuSetSelection->trigger();
    EXPECT_EQ((Row{42, 42, 1, 1, 1}), GridRow(2));
    EXPECT_EQ((Row{42, 42, 1, 1, 1}), GridRow(3));

    // reset selection: no prompt
    user_->Clear();
    Select(3, 2, 1, 5);
    t.menuResetSelection->trigger();
    EXPECT_EQ((Row{42, 1, 1, 1, 1}), GridRow(2));
    EXPECT_TRUE(user_->Records().empty());

    // increment whose top-left cell is the colour column: no prompt, nothing changes
    Select(1, 6, 3, 1);
    t.menuIncrementSelection->trigger();
    EXPECT_TRUE(user_->Records().empty());

    // no selection: nothing happens and nothing is asked
    t.grid->clearSelection();
    t.menuSetSelection->trigger();
    t.menuIncrementSelection->trigger();
    t.menuResetSelection->trigger();
    EXPECT_TRUE(user_->Records().empty());
    EXPECT_EQ((Row{42, 1, 1, 1, 1}), GridRow(2));

    // Help shows the grid help
    t.menuHelp->trigger();
    EXPECT_EQ(teach::kGridHelpText, user_->LastText("INFO!"));
}

TEST_F(TeachPageTest, ASelectionValueOutside0To65535IsRefusedWithAMessage) {
    teach::TeachPage& t = P().teachPage;
    SetGridRow(2, {42, 42, 1, 1, 1});
    SetGridRow(3, {42, 42, 1, 1, 1});
    Select(3, 1, 2, 2);
    for (QAction* entry : {t.menuSetSelection, t.menuIncrementSelection}) {
        for (const char* bad : {"70000", "-1", "abc", "12x", ""}) {
            user_->Clear();
            user_->Answer(1, bad);
            entry->trigger();
            const auto& shown = user_->Records();
            ASSERT_EQ(2u, shown.size()) << bad;
            EXPECT_EQ(PopupKind::Message, shown[1].kind);
            EXPECT_EQ("ATTENTION!", shown[1].title);
            EXPECT_NE(std::string::npos, shown[1].text.find("0..65535")) << shown[1].text;
            EXPECT_EQ((Row{42, 42, 1, 1, 1}), GridRow(2)) << bad;
            EXPECT_EQ((Row{42, 42, 1, 1, 1}), GridRow(3)) << bad;
        }
        // a cancelled prompt is no input: nothing changes and nothing is said
        user_->Clear();
        entry->trigger();
        EXPECT_EQ(1u, user_->Records().size());
        EXPECT_EQ((Row{42, 42, 1, 1, 1}), GridRow(2));
    }
    // the top of the range is a value; as an increment it counts down by one
    user_->Answer(1, "65535");
    t.menuIncrementSelection->trigger();
    EXPECT_EQ((Row{42, 41, 1, 1, 1}), GridRow(2));
    EXPECT_EQ((Row{40, 39, 1, 1, 1}), GridRow(3));
}

TEST_F(TeachPageTest, ResetAsksAndKeepsTheRowColours) {
    teach::TeachPage& t = P().teachPage;
    SetGridRow(4, {500, 400, 200, 2000, 200});
    app::P().sensor.model.SetTeachRowNo(6);
    app::P().sensor.model.SetRowColour(4, 0x00ABCD);
    user_->Answer(0); // no
    t.resetTable->click();
    EXPECT_EQ((Row{500, 400, 200, 2000, 200}), GridRow(4));
    EXPECT_EQ("Do you really want to reset the table?", user_->LastText("ATTENTION!"));
    app::P().liveViews->graphs.InitGraphs();
    ASSERT_GT(P().data.view[0]->itemCount(), 2);
    t.resetTable->click(); // yes
    for (int r = 0; r < 31; ++r) {
        ASSERT_EQ((Row{1, 1, 1, 1, 1}), GridRow(r)) << r;
    }
    EXPECT_EQ(0, t.rowNo->value());
    EXPECT_EQ(0x00ABCDu, t.grid->CellBackground(5, 6));
    for (ctl::Graph* g : {P().data.view[0], P().data.view[1], P().data.view[2], P().data.colorPlane,
                          P().data.intensityBar}) {
        EXPECT_EQ(g->CursorCount() * 2, g->itemCount()); // only the cursors are left
    }
}

TEST_F(TeachPageTest, EditingACellRefreshesTheTableAndTheGridRefusesOutOfRangeValues) {
    ctl::U16Table* grid = P().teachPage.grid;
    grid->item(2, 1)->setData(Qt::EditRole, 777); // as the user's editor commits it
    EXPECT_EQ(777, app::P().sensor.model.Table().get(2, params::kCell1));
    // the grid's editor takes 0..65535 only
    P().main.tabs->SetActivePage(app::kPageTeachTable);
    Settle();
    grid->setCurrentCell(0, 0);
    grid->editItem(grid->item(0, 0));
    auto* editor = grid->findChild<QSpinBox*>();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(0, editor->minimum());
    EXPECT_EQ(65535, editor->maximum());
}

TEST_F(TeachPageTest, CalculationModeChangeConvertsEveryRowBothWays) {
    app::Panels& p = P();
    SetGridRow(0, {500, 400, 200, 2000, 200});
    SetGridRow(30, {10, 20, 30, 40, 50});
    // 0 -> 1 leaves every row alone
    p.para.calculationMode->SetVal(params::kSiM2D);
    app::P().paramViews->callbacks.CBF_EditCalcmode(nullptr, ctl::Event::Commit);
    EXPECT_EQ((Row{500, 400, 200, 2000, 200}), GridRow(0));
    // 1 -> 2: (X, Y, INT, CTO, 1)
    p.para.calculationMode->SetVal(params::kXyInt3D);
    app::P().paramViews->callbacks.CBF_EditCalcmode(nullptr, ctl::Event::Commit);
    EXPECT_EQ((Row{500, 400, 2000, 200, 1}), GridRow(0));
    EXPECT_EQ((Row{10, 20, 40, 30, 1}), GridRow(30));
    EXPECT_EQ(1, app::P().sensor.model.Table().get(30, params::kCell4));
    // back to 0: ITO takes the former TOL
    p.para.calculationMode->SetVal(params::kXyInt2D);
    app::P().paramViews->callbacks.CBF_EditCalcmode(nullptr, ctl::Event::Commit);
    EXPECT_EQ((Row{500, 400, 200, 2000, 200}), GridRow(0));
    EXPECT_EQ((Row{10, 20, 30, 40, 30}), GridRow(30));
}
