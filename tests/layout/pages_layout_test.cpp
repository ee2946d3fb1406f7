// Layout of the connection, parameter, group/hold, teach table and recorder
// pages: every control exists, the selectors carry the codes that the sensor
// and the files use, the initial values are the parameter file defaults, the
// POWER slider and its number stay in step, and the help texts are bound.
#include "app/panels.h"
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "params/parameter_layout.h"
#include "params/parameter_model.h"
#include "platform/controls.h"
#include "platform/popups.h"
#include "platform/widgets.h"
#include "record/record_viewers.h"
#include "record/recorder.h"
#include "sensor/sensor.h"
#include "teach/teach_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "tests/layout/layout_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using layout_test::Items;
using layout_test::ItemsOf;
using layout_test::Missing;

class PagesLayout : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app::LoadPanels(sensor_)); }
    void TearDown() override { app::DiscardPanels(); }
    sensor::Sensor sensor_;
    // The panels of the current test (built in SetUp).
    static app::Panels& P() { return app::P(); }
};

// Every control the behaviour dereferences is there.
TEST_F(PagesLayout, EveryControlIsBuilt) {
    const auto& c = P().connect;
    EXPECT_EQ(Missing(c.protocol, c.comPort, c.baudrate, c.address, c.addressLabel, c.portNumber,
                      c.portNumberLabel, c.comPortLabel, c.baudrateLabel, c.id, c.tryToConnect,
                      c.disconnect, c.accept, c.changeBaudrate, c.hwInfo, c.messages),
              0);
    const auto& a = P().para;
    EXPECT_EQ(Missing(a.power, a.powerValue, a.powerMode, a.ledMode, a.gain, a.dynWinLo, a.dynWinHi,
                      a.average, a.integral, a.maxVecNo, a.digitalOutmode, a.intLim,
                      a.evaluationMode, a.calculationMode, a.externTeach, a.trigger),
              0);
    const auto& g = P().groupHold;
    EXPECT_EQ(Missing(g.colorGroup, g.groupTable, g.resetGroups, g.holdTable, g.holdLabel,
                      g.resetHold, g.resetHoldTable),
              0);
    const auto& t = P().teachPage;
    EXPECT_EQ(Missing(t.rowNo, t.rowNoLabel, t.autoIncrement, t.grid, t.teachDataTo, t.resetTable,
                      t.teachMeanValues, t.teachRecordedValues, t.gridMenu, t.menuHelp,
                      t.menuSetSelection, t.menuIncrementSelection, t.menuResetSelection,
                      t.menuTolOff, t.menuTolOn),
              0);
    const auto& r = P().recorder;
    EXPECT_EQ(Missing(r.mode, r.interval, r.count, r.days, r.hours, r.minutes, r.seconds,
                      r.recorded, r.remaining, r.runCounter, r.intervalRow, r.countRow,
                      r.recordTimeRow, r.recordedRow, r.remainingRow, r.runCounterRow,
                      r.startRecord, r.stopRecord, r.startTrigRec, r.manualRecord, r.selectFile,
                      r.filePath, r.id, r.viewRecord),
              0);
}

TEST_F(PagesLayout, SelectorsCarryTheSensorCodes) {
    EXPECT_EQ(ItemsOf(P().connect.protocol), (Items{{"RS232", 0}, {"TCP/IP", 1}}));
    EXPECT_EQ(ItemsOf(P().connect.baudrate), (Items{{"9600", 0},
                                                    {"19200", 1},
                                                    {"38400", 2},
                                                    {"57600", 3},
                                                    {"115200", 4},
                                                    {"230400", 5},
                                                    {"460800", 6},
                                                    {"921600", 7}}));
    const auto& a = P().para;
    EXPECT_EQ(ItemsOf(a.powerMode), (Items{{"STAT", 0}, {"DYN", 1}}));
    EXPECT_EQ(ItemsOf(a.ledMode), (Items{{"DC", 0}, {"AC", 1}, {"PULSE", 2}, {"OFF", 3}}));
    Items gains;
    for (int i = 0; i < 8; ++i) {
        gains.emplace_back("AMP" + std::to_string(i + 1), i);
    }
    EXPECT_EQ(ItemsOf(a.gain), gains);
    EXPECT_EQ(ItemsOf(a.digitalOutmode),
              (Items{{"DIRECT HI", 0}, {"BINARY", 1}, {"DIRECT LO", 2}}));
    EXPECT_EQ(
        ItemsOf(a.evaluationMode),
        (Items{{"FIRST HIT", 0}, {"BEST HIT", 1}, {"MIN DIST", 2}, {"COL5", 3}, {"THD RGB", 4}}));
    EXPECT_EQ(ItemsOf(a.calculationMode),
              (Items{{"X Y INT 2D", 0}, {"s i M 2D", 1}, {"X Y INT 3D", 2}, {"s i M 3D", 3}}));
    EXPECT_EQ(ItemsOf(a.externTeach), (Items{{"OFF", 0}, {"ON", 1}, {"STAT1", 2}, {"DYN1", 3}}));
    EXPECT_EQ(ItemsOf(a.trigger), (Items{{"CONT", 0},
                                         {"SELF", 1},
                                         {"EXT1", 2},
                                         {"EXT2", 3},
                                         {"EXT3", 4},
                                         {"TRANS", 5},
                                         {"PARA", 6}}));
    EXPECT_EQ(
        ItemsOf(P().recorder.mode),
        (Items{{"TIMED, FIXED COUNT", 0}, {"TIMED, ENDLESS", 1}, {"MANUAL", 2}, {"TRIGGERED", 3}}));
}

// The panels start with the parameter file defaults, so the blocks read from
// them at start-up equal a file without keys.
TEST_F(PagesLayout, InitialValuesAreTheParameterFileDefaults) {
    using namespace params;
    const ParameterBlockBytes d = DefaultParameterBlock();
    const auto& a = P().para;
    const auto& g = P().groupHold;
    EXPECT_EQ(a.power->value(), d.get(kPower));
    EXPECT_EQ(a.powerValue->value(), d.get(kPower));
    EXPECT_EQ(a.powerMode->Val(), d.get(kPowerMode));
    EXPECT_EQ(a.average->value(), d.get(kAverage));
    EXPECT_EQ(a.evaluationMode->Val(), d.get(kEvaluationMode));
    EXPECT_EQ(g.holdTable->Val(1, 1), d.get(kHoldFail));
    EXPECT_EQ(a.intLim->value(), d.get(kIntLim));
    EXPECT_EQ(a.maxVecNo->value(), d.get(kMaxVecNo));
    EXPECT_EQ(a.digitalOutmode->Val(), d.get(kDigitalOutmode));
    EXPECT_EQ(a.trigger->Val(), d.get(kTrigger));
    EXPECT_EQ(a.externTeach->Val(), d.get(kExternTeach));
    EXPECT_EQ(a.calculationMode->Val(), d.get(kCalculationMode));
    EXPECT_EQ(a.dynWinLo->value(), d.get(kDynWinLo));
    EXPECT_EQ(a.dynWinHi->value(), d.get(kDynWinHi));
    EXPECT_EQ(g.colorGroup->isChecked() ? 1 : 0, d.get(kColorGroup));
    EXPECT_EQ(a.ledMode->Val(), d.get(kLedMode));
    EXPECT_EQ(a.gain->Val(), d.get(kGain));
    EXPECT_EQ(a.integral->value(), d.get(kIntegral));
    // Values read from a sensor or a file are never clipped by a field range,
    // except INTEGRAL (0..250) and POWER (0..1000).
    EXPECT_EQ(a.maxVecNo->maximum(), 65535);
    EXPECT_EQ(a.integral->maximum(), 250);
    EXPECT_EQ(a.power->maximum(), 1000);
    for (int r = 1; r <= kTeachRows; ++r) {
        EXPECT_EQ(g.groupTable->Val(r, 1), kDefaultGroup) << r;
        EXPECT_EQ(g.holdTable->Val(r + 1, 1), kDefaultHold) << r;
        for (int c = 1; c <= 5; ++c) {
            EXPECT_EQ(P().teachPage.grid->Val(r, c), kDefaultCell) << r << "," << c;
        }
    }
    EXPECT_EQ(g.resetHold->value(), 10);
}

TEST_F(PagesLayout, TablesHaveTheirShapeHeadingsAndRowLabels) {
    const auto& g = P().groupHold;
    ASSERT_EQ(g.groupTable->rowCount(), 31);
    ASSERT_EQ(g.holdTable->rowCount(), 32);
    EXPECT_EQ(g.groupTable->ColumnHeading(1), "GROUP");
    EXPECT_EQ(g.holdTable->ColumnHeading(1), "HOLD");
    EXPECT_EQ(g.holdTable->verticalHeaderItem(0)->text(), "F");
    for (int r = 0; r <= 30; ++r) {
        EXPECT_EQ(g.holdTable->verticalHeaderItem(r + 1)->text(), QString::number(r));
        EXPECT_EQ(g.groupTable->verticalHeaderItem(r)->text(), QString::number(r));
        EXPECT_EQ(P().teachPage.grid->verticalHeaderItem(r)->text(), QString::number(r));
    }
    ctl::U16Table* grid = P().teachPage.grid;
    ASSERT_EQ(grid->columnCount(), 6);
    const char* headings[] = {"X", "Y", "CTO", "INT", "ITO", "COLOR"};
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(grid->ColumnHeading(c), headings[c - 1]);
        EXPECT_EQ(grid->IsValueCell(1, c), c <= 5);
    }
    EXPECT_FALSE(g.holdTable->IsValueCell(1, 2));
}

// Moving the slider shows the number; typing a number moves the slider;
// neither commits the other control. A value set from code follows on the
// slider's next repaint, and dimming the slider dims the number.
TEST_F(PagesLayout, PowerSliderAndNumberStayInStep) {
    ctl::Slider* slider = P().para.power;
    ctl::U16Spin* number = P().para.powerValue;
    int sliderCommits = 0;
    int numberCommits = 0;
    QObject::connect(slider, &ctl::Slider::committed, [&] { ++sliderCommits; });
    QObject::connect(number, &ctl::U16Spin::committed, [&] { ++numberCommits; });

    slider->setValue(730); // as a drag does
    EXPECT_EQ(number->value(), 730);
    number->setValue(120);
    number->stepBy(1); // a user step commits the number: 121
    EXPECT_EQ(slider->value(), 121);
    EXPECT_EQ(sliderCommits, 0);
    EXPECT_EQ(numberCommits, 1);

    slider->SetVal(0); // a mode rule forcing POWER 0
    slider->grab();
    EXPECT_EQ(number->value(), 0);
    slider->setEnabled(false);
    EXPECT_FALSE(number->isEnabled());
    slider->setEnabled(true);
    EXPECT_TRUE(number->isEnabled());
    EXPECT_EQ(sliderCommits, 0);
}

TEST_F(PagesLayout, ConnectionPageStartsOnRs232) {
    const auto& c = P().connect;
    EXPECT_EQ(c.protocol->Val(), 0);
    EXPECT_FALSE(c.comPort->isHidden());
    EXPECT_FALSE(c.baudrate->isHidden());
    EXPECT_TRUE(c.address->isHidden());
    EXPECT_TRUE(c.addressLabel->isHidden());
    EXPECT_TRUE(c.portNumber->isHidden());
    EXPECT_TRUE(c.portNumberLabel->isHidden());
    EXPECT_TRUE(c.comPort->isEditable());
    EXPECT_TRUE(c.address->isEditable());
    EXPECT_EQ(ctl::CharLimit(c.id), 99);
    EXPECT_TRUE(c.messages->isReadOnly());
}

TEST_F(PagesLayout, TeachGridMenuHasItsEntriesInOrder) {
    const auto& t = P().teachPage;
    QStringList entries;
    for (const QAction* a : t.gridMenu->actions()) {
        entries << (a->isSeparator() ? QString("-") : a->text());
    }
    EXPECT_EQ(entries,
              (QStringList{"Help", "-", "Set selection to", "Increment selection with",
                           "Reset selection", "-", "Teach tolerance off", "Teach tolerance on"}));
    EXPECT_TRUE(t.menuTolOff->isEnabled());
    EXPECT_FALSE(t.menuTolOn->isEnabled());
    EXPECT_EQ(t.grid->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(t.rowNo->minimum(), 0);
    EXPECT_EQ(t.rowNo->maximum(), 30);
    EXPECT_EQ(t.rowNo->value(), 0);
    EXPECT_TRUE(t.autoIncrement->isChecked());
}

// Mode 0 at start: timed recording of 100 values at 1 s; each row holds its
// control, so hiding the row hides the control with its caption.
TEST_F(PagesLayout, RecorderStartsInTimedCountMode) {
    const auto& r = P().recorder;
    EXPECT_EQ(r.mode->Val(), 0);
    EXPECT_DOUBLE_EQ(r.interval->value(), 1.0);
    EXPECT_EQ(r.count->value(), 100);
    EXPECT_TRUE(r.intervalRow->isAncestorOf(r.interval));
    EXPECT_TRUE(r.countRow->isAncestorOf(r.count));
    for (const ctl::NumDisplay* part : {r.days, r.hours, r.minutes, r.seconds}) {
        EXPECT_TRUE(r.recordTimeRow->isAncestorOf(part));
    }
    EXPECT_TRUE(r.recordedRow->isAncestorOf(r.recorded));
    EXPECT_TRUE(r.remainingRow->isAncestorOf(r.remaining));
    EXPECT_TRUE(r.runCounterRow->isAncestorOf(r.runCounter));
    EXPECT_TRUE(r.runCounterRow->isHidden());
    EXPECT_TRUE(r.manualRecord->isHidden());
    EXPECT_TRUE(r.startTrigRec->isHidden());
    EXPECT_FALSE(r.startRecord->isHidden());
    EXPECT_FALSE(r.stopRecord->isHidden());
    EXPECT_TRUE(r.filePath->isReadOnly());
    EXPECT_EQ(r.remaining->Val(), 100);
}

TEST_F(PagesLayout, TeachAndRecorderHelpTextsAreBound) {
    app::MakeTeachViews(P());
    // The recorder page's view on sensor parts of the test's own.
    sensor::Sensor own;
    const live::LiveParts parts{own.link, own.transfer, own.model, own.frames, own.live};
    live::DisplayRefresh refresh;
    record::RecordViewers viewers(own.model);
    const record::RecorderView recorder(P().recorderPanels, parts, own.recorder, refresh, viewers,
                                        live::LiveViewHooks{});
    app::MakeTeachViews(P()); // a view made again replaces the first
    const auto& t = P().teachPage;
    EXPECT_STREQ(ctl::HelpTextOf(t.autoIncrement), "Auto increment of Edit Field No.:");
    EXPECT_STREQ(ctl::HelpTextOf(t.resetTable), "Reset the TEACH TABLE. \nAll cells are set to 1.");
    EXPECT_STREQ(ctl::HelpTextOf(t.teachMeanValues), "Opens a panel to teach mean values. ");
    EXPECT_EQ(ctl::HelpTextOf(t.grid), nullptr); // its right click opens the menu
    const auto& r = P().recorder;
    EXPECT_STREQ(ctl::HelpTextOf(r.interval), "Choose a interval in secondes for recording. \n"
                                              "Minimum interval is 0,25 second.");
    EXPECT_STREQ(ctl::HelpTextOf(r.minutes), ctl::HelpTextOf(r.days));
    EXPECT_STREQ(ctl::HelpTextOf(r.startTrigRec), "Start data record.");

    platform::ScriptedPopups popups;
    t.menuHelp->trigger();
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "INFO!");
    EXPECT_EQ(popups.Records()[0].text, teach::kGridHelpText);
    ctl::RightClick(t.teachDataTo);
    EXPECT_EQ(popups.LastText("INFO!"),
              "Current measured values (X,Y,INT respectively s,i,M) are assigned \n"
              "to the TEACH TABLE row selected in the No.: function field.");
}

} // namespace
