// The operating-mode rules on the real panels, as the user triggers them.
#include "app/panels.h"
#include "params/mode_rules.h"
#include "params/transfer.h"
#include "platform/graph.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using app::P;
using namespace params;

namespace {

// The program without a sensor (offline), popups recorded.
class Rules : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        WriteTcpSettings(1);
        user_->Answer(2); // OFFLINE
        StartProgram();
        user_->Clear();
    }
    // As the user does it: the control changes, then commits.
    static void Choose(ctl::Ring* ring, int value) {
        const int index = ring->IndexOfValue(value);
        ASSERT_GE(index, 0) << value;
        ring->setCurrentIndex(index);
        emit ring->committed();
    }
    static void Enter(ctl::U16Spin* spin, int value) {
        spin->setValue(value);
        emit spin->committed();
    }
    static void Toggle(QCheckBox* box, bool on) {
        if (box->isChecked() != on) {
            box->click();
        }
    }
    static std::vector<int> TriggerValues() {
        std::vector<int> v;
        for (int i = 0; i < P().para.trigger->count(); ++i) {
            v.push_back(P().para.trigger->itemData(i).toInt());
        }
        return v;
    }
    std::vector<std::string> Headings() {
        std::vector<std::string> h;
        for (int c = 1; c <= 5; ++c) {
            h.push_back(P().teachPage.grid->ColumnHeading(c).toStdString());
        }
        return h;
    }
};

} // namespace

TEST_F(Rules, LedOffWithDyn1SwitchesExternTeachOffAndLocksThePower) {
    ParameterPage& u = P().para;
    Choose(u.externTeach, kExTeachDyn1);
    EXPECT_FALSE(u.powerMode->isEnabled());
    EXPECT_FALSE(u.power->isEnabled());
    EXPECT_TRUE(u.dynWinLo->isEnabled());
    Choose(u.ledMode, kLedOff);
    EXPECT_EQ(kExTeachOff, u.externTeach->Val());
    EXPECT_EQ(kPowerStat, u.powerMode->Val());
    EXPECT_FALSE(u.powerMode->isEnabled());
    EXPECT_EQ(0, u.power->value());
    EXPECT_EQ(0, u.powerValue->value());
    EXPECT_FALSE(u.power->isEnabled());
    EXPECT_FALSE(u.dynWinLo->isEnabled());
    EXPECT_FALSE(u.dynWinHi->isEnabled());
    // with STAT1 the external teach stays
    Choose(u.ledMode, kLedDc);
    Choose(u.externTeach, kExTeachStat1);
    Choose(u.ledMode, kLedOff);
    EXPECT_EQ(kExTeachStat1, u.externTeach->Val());
    // DYN power mode: power locked, window open
    Choose(u.ledMode, kLedDc);
    Choose(u.externTeach, kExTeachOff);
    Choose(u.powerMode, kPowerDyn);
    EXPECT_TRUE(u.powerMode->isEnabled());
    EXPECT_FALSE(u.power->isEnabled());
    EXPECT_TRUE(u.dynWinHi->isEnabled());
}

TEST_F(Rules, ExternTeachAndExternalTriggersExcludeEachOther) {
    ParameterPage& u = P().para;
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6}), TriggerValues());
    Choose(u.externTeach, kExTeachOn);
    EXPECT_EQ((std::vector<int>{0, 1}), TriggerValues());
    EXPECT_EQ(kTrigCont, u.trigger->Val());
    Choose(u.externTeach, kExTeachOff);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6}), TriggerValues());
    EXPECT_EQ("EXT1", u.trigger->itemText(2).toStdString());
    EXPECT_EQ("PARA", u.trigger->itemText(6).toStdString());

    Choose(u.trigger, kTrigExt2);
    EXPECT_FALSE(u.externTeach->isEnabled());
    EXPECT_EQ(kExTeachOff, u.externTeach->Val());
    EXPECT_FALSE(P().main.set0->isEnabled());
    EXPECT_FALSE(P().main.set1->isEnabled());
    EXPECT_TRUE(P().main.set0->isChecked());
    EXPECT_EQ(0, app::P().sensor.transfer.SelectedParaSet);
    EXPECT_TRUE(P().data.trigger->isVisibleTo(P().data.panel));

    Choose(u.trigger, kTrigPara);
    EXPECT_TRUE(P().main.set0->isEnabled());
    EXPECT_TRUE(P().main.set1->isEnabled());
    P().main.set1->click();
    EXPECT_EQ(1, app::P().sensor.transfer.SelectedParaSet);
    Choose(u.trigger, kTrigCont);
    EXPECT_EQ(0, app::P().sensor.transfer.SelectedParaSet);
    EXPECT_TRUE(u.externTeach->isEnabled());
    EXPECT_FALSE(P().data.trigger->isVisibleTo(P().data.panel));
}

TEST_F(Rules, MaxColNumberIsLimitedByTheOutputMode) {
    ParameterPage& u = P().para;
    Choose(u.digitalOutmode, kOutDirectLo);
    P().main.tabs->SetActivePage(app::kPageTeachTable);
    Enter(u.maxVecNo, 8);
    ASSERT_EQ(1u, user_->Records().size());
    EXPECT_EQ("INFO!", user_->Records()[0].title);
    EXPECT_EQ(kTextMaxVecNoTooHigh, user_->Records()[0].text);
    EXPECT_EQ(5, u.maxVecNo->value());
    EXPECT_EQ(app::kPageParameter, P().main.tabs->ActivePage());
    user_->Clear();
    Choose(u.digitalOutmode, kOutBinary);
    Enter(u.maxVecNo, 31);
    EXPECT_TRUE(user_->Records().empty());
    EXPECT_EQ(31, u.maxVecNo->value());
    Enter(u.maxVecNo, 32);
    EXPECT_EQ(1u, user_->Records().size());
    EXPECT_EQ(31, u.maxVecNo->value());
    // with colour groups on the limit is 31 too, as the warning says
    user_->Clear();
    Toggle(P().groupHold.colorGroup, true);
    Choose(u.digitalOutmode, kOutDirectHi);
    Enter(u.maxVecNo, 40);
    EXPECT_EQ(31, u.maxVecNo->value());
}

TEST_F(Rules, GroupNumbersAboveTheLimitAreResetOnceWithOneWarning) {
    GroupHoldPage& g = P().groupHold;
    Choose(P().para.digitalOutmode, kOutDirectHi);
    g.groupTable->SetVal(1, 1, 3);
    g.groupTable->SetVal(2, 1, 5);
    g.groupTable->SetVal(3, 1, 30);
    user_->Clear();
    Toggle(g.colorGroup, true);
    ASSERT_EQ(1u, user_->Records().size());
    EXPECT_EQ(kTextGroupTooHigh, user_->Records()[0].text);
    EXPECT_EQ(3, g.groupTable->Val(1, 1));
    EXPECT_EQ(0, g.groupTable->Val(2, 1));
    EXPECT_EQ(0, g.groupTable->Val(3, 1));
    EXPECT_EQ(0xFFFFFFu, g.groupTable->CellBackground(1, 1));
    EXPECT_EQ(0xFF0000u, g.groupTable->CellBackground(2, 1));
    EXPECT_EQ(0xFF0000u, g.groupTable->CellBackground(3, 1));
    EXPECT_EQ(app::kPageGroupHold, P().main.tabs->ActivePage());
    EXPECT_TRUE(P().data.group->isVisibleTo(P().data.panel));
    // BINARY allows 0..30
    user_->Clear();
    Choose(P().para.digitalOutmode, kOutBinary);
    g.groupTable->SetVal(4, 1, 30);
    app::P().paramViews->rules.InitPanelCtrlAttr();
    EXPECT_TRUE(user_->Records().empty());
    EXPECT_EQ(30, g.groupTable->Val(4, 1));
    EXPECT_EQ(0xFFFFFFu, g.groupTable->CellBackground(2, 1));
    Toggle(g.colorGroup, false);
    EXPECT_FALSE(P().data.group->isVisibleTo(P().data.panel));
}

TEST_F(Rules, ActiveRowsAreLabelledGreen) {
    Choose(P().para.digitalOutmode, kOutBinary);
    Enter(P().para.maxVecNo, 4);
    ctl::U16Table* grid = P().teachPage.grid;
    ctl::U16Table* hold = P().groupHold.holdTable;
    EXPECT_EQ(0x008000u, grid->RowLabelColor(4));
    EXPECT_EQ(0xFF0000u, grid->RowLabelColor(5));
    EXPECT_EQ(0x008000u, P().attributes.table->RowLabelColor(1));
    EXPECT_EQ(0xFF0000u, P().groupHold.groupTable->RowLabelColor(31));
    EXPECT_EQ(0x008000u, hold->RowLabelColor(5));
    EXPECT_EQ(0xFF0000u, hold->RowLabelColor(6));
    // none active: the fail-state row keeps its colour
    Enter(P().para.maxVecNo, 0);
    EXPECT_EQ(0xFF0000u, grid->RowLabelColor(1));
    EXPECT_EQ(0x008000u, hold->RowLabelColor(1));
    EXPECT_EQ(0xFF0000u, hold->RowLabelColor(2));
}

TEST_F(Rules, ThdRgbFixesTheDependentSettings) {
    ParameterPage& u = P().para;
    Enter(u.intLim, 100);
    Toggle(P().groupHold.colorGroup, true);
    Choose(u.evaluationMode, kThdRgb);
    EXPECT_EQ(3, u.maxVecNo->value());
    EXPECT_EQ(0, u.intLim->value());
    EXPECT_EQ(kOutBinary, u.digitalOutmode->Val());
    EXPECT_EQ(kTrigCont, u.trigger->Val());
    EXPECT_FALSE(P().groupHold.colorGroup->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{
             u.maxVecNo, u.intLim, u.digitalOutmode, u.trigger, u.calculationMode,
             P().groupHold.colorGroup, P().groupHold.groupTable, P().groupHold.resetGroups}) {
        EXPECT_FALSE(w->isEnabled());
    }
    EXPECT_EQ((std::vector<std::string>{"THD", "", "", "", ""}), Headings());
    EXPECT_TRUE(P().data.out[2]->isVisibleTo(P().data.panel));
    EXPECT_FALSE(P().data.out[3]->isVisibleTo(P().data.panel));
    EXPECT_FALSE(P().data.deltaC->isVisibleTo(P().data.panel));
    EXPECT_FALSE(P().data.tabs->isTabVisible(live::kDataPage2D));
    EXPECT_FALSE(P().teachPage.teachMeanValues->isEnabled());
    EXPECT_FALSE(P().teachPage.rowNo->isVisibleTo(P().teachPage.grid->parentWidget()));
    // back to BEST HIT: everything usable again
    Choose(u.evaluationMode, kBestHit);
    EXPECT_TRUE(u.maxVecNo->isEnabled());
    EXPECT_TRUE(u.calculationMode->isEnabled());
    EXPECT_TRUE(P().groupHold.groupTable->isEnabled());
    EXPECT_EQ((std::vector<std::string>{"X", "Y", "CTO", "INT", "ITO"}), Headings());
    EXPECT_TRUE(P().data.deltaC->isVisibleTo(P().data.panel));
    EXPECT_FALSE(P().data.out[0]->isVisibleTo(P().data.panel));
}

TEST_F(Rules, Col5ShowsTheOutputsAndFixesFiveRows) {
    ParameterPage& u = P().para;
    Choose(u.evaluationMode, kCol5);
    EXPECT_EQ(5, u.maxVecNo->value());
    EXPECT_FALSE(u.maxVecNo->isEnabled());
    EXPECT_TRUE(u.intLim->isEnabled());
    EXPECT_EQ(kOutBinary, u.digitalOutmode->Val());
    EXPECT_TRUE(P().data.out[4]->isVisibleTo(P().data.panel));
    EXPECT_FALSE(P().data.color->isVisibleTo(P().data.panel));
    EXPECT_FALSE(P().groupHold.colorGroup->isEnabled());
}

TEST_F(Rules, MinDistHidesTheUnusedToleranceColumn) {
    ParameterPage& u = P().para;
    Choose(u.evaluationMode, kMinDist);
    EXPECT_FALSE(P().teachPage.grid->ColumnShown(3));
    EXPECT_TRUE(P().teachPage.grid->ColumnShown(4));
    EXPECT_FALSE(P().teachMean.valueCto->isEnabled());
    Choose(u.calculationMode, kXyInt3D);
    EXPECT_TRUE(P().teachPage.grid->ColumnShown(3));
    EXPECT_FALSE(P().teachPage.grid->ColumnShown(4));
    EXPECT_EQ((std::vector<std::string>{"X", "Y", "INT", "TOL", ""}), Headings());
    Choose(u.evaluationMode, kBestHit);
    EXPECT_TRUE(P().teachPage.grid->ColumnShown(4));
}

TEST_F(Rules, CalculationModeConvertsTheRowsAndRelabels) {
    ctl::U16Table* grid = P().teachPage.grid;
    const int row[5] = {500, 400, 200, 2000, 200};
    for (int c = 0; c < 5; ++c) {
        grid->SetVal(4, c + 1, row[c]);
    }
    Choose(P().para.calculationMode, kXyInt3D);
    EXPECT_EQ(2000, grid->Val(4, 3));
    EXPECT_EQ(200, grid->Val(4, 4));
    EXPECT_EQ(1, grid->Val(4, 5));
    EXPECT_EQ(2000, app::P().sensor.model.Table().get(3, kCell2));
    EXPECT_EQ("X/INT", P().data.viewLabel[1]->text().toStdString());
    EXPECT_TRUE(P().data.tabs->isTabVisible(live::kDataPage3D));
    EXPECT_FALSE(P().data.tabs->isTabVisible(live::kDataPage2D));
    Choose(P().para.calculationMode, kSiM3D);
    EXPECT_EQ("s/M", P().data.viewLabel[1]->text().toStdString());
    EXPECT_EQ(2000, grid->Val(4, 3)); // within 3D nothing changes
    Choose(P().para.calculationMode, kXyInt2D);
    EXPECT_EQ(200, grid->Val(4, 3));
    EXPECT_EQ(2000, grid->Val(4, 4));
    EXPECT_EQ(200, grid->Val(4, 5));
    Choose(P().para.calculationMode, kSiM2D);
    EXPECT_EQ(200, grid->Val(4, 3));
    EXPECT_EQ((std::vector<std::string>{"s", "i", "siTO", "M", "MTO"}), Headings());
    EXPECT_EQ("s", P().data.xLabel->text().toStdString());
    EXPECT_EQ("VALUE siTO", P().teachMean.valueCtoLabel->text().toStdString());
}

TEST_F(Rules, IntChartRangeFollowsTheModeUnlessItAutoscales) {
    ctl::Graph* chart = P().data.intChart;
    Choose(P().para.calculationMode, kSiM2D);
    EXPECT_DOUBLE_EQ(1200, chart->yAxis->range().upper);
    Choose(P().para.calculationMode, kXyInt2D);
    EXPECT_DOUBLE_EQ(4096, chart->yAxis->range().upper);
    chart->SetYAutoScale(true);
    chart->yAxis->setRange(0, 777);
    Choose(P().para.calculationMode, kSiM2D);
    EXPECT_DOUBLE_EQ(777, chart->yAxis->range().upper);
}

TEST_F(Rules, ResetButtonsAskFirst) {
    GroupHoldPage& g = P().groupHold;
    g.groupTable->SetVal(5, 1, 7);
    g.groupTable->SetCellBackground(5, 1, 0xFF0000);
    user_->Answer(0);
    g.resetGroups->click();
    EXPECT_EQ(7, g.groupTable->Val(5, 1));
    EXPECT_EQ("Do you really want to reset the table?", user_->LastText("ATTENTION!"));
    user_->Answer(1);
    g.resetGroups->click();
    EXPECT_EQ(0, g.groupTable->Val(5, 1));
    EXPECT_EQ(0xFFFFFFu, g.groupTable->CellBackground(5, 1));
    g.resetHold->SetVal(25);
    user_->Answer(1);
    g.resetHoldTable->click();
    EXPECT_EQ(25, g.holdTable->Val(1, 1));
    EXPECT_EQ(25, g.holdTable->Val(32, 1));
    EXPECT_EQ(25, app::P().sensor.model.Block().get(kHoldFail)); // the set follows at once
    EXPECT_EQ(25, app::P().sensor.model.Table().get(30, kHold));
    EXPECT_EQ(0, app::P().sensor.model.Table().get(4, kGroup));
}

TEST_F(Rules, HelpTextsOfTheParameterPage) {
    ctl::RightClick(P().para.gain);
    ctl::RightClick(P().para.trigger);
    ctl::RightClick(P().groupHold.resetGroups);
    ASSERT_EQ(3u, user_->Records().size());
    EXPECT_EQ("Select a amplification stage of the receicer. \nAMP1 is the lowest amplification. "
              "\nAMP8 is the highest amplification. ",
              user_->Records()[0].text);
    EXPECT_EQ(0u, user_->Records()[1].text.find("Select the trigger mode for the sensor. \n\nCONT: "
                                                "Continuous color detection (no trigger event "
                                                "required). \n\n"));
    EXPECT_NE(std::string::npos,
              user_->Records()[1].text.find("LED TRIG is green when the sensor is triggered."));
    EXPECT_EQ("Reset the GROUP TABLE. \nAll cells are set to 0.", user_->Records()[2].text);
}
