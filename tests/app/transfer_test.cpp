// SEND and GET against the simulated sensor: order sequences, plausibility
// reports, a time-out in the middle, and the wire layout of the blocks.
#include "app/panels.h"
#include "link/link_texts.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "params/transfer.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>

using app::P;
using namespace params;

namespace {

class Transfer : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartConnected());
    }
    std::string Messages() { return P().connect.messages->toPlainText().toStdString(); }
    // Makes the main window the active one, with the keyboard in `w`.
    void Focus(QWidget* w) {
        P().main.window->activateWindow();
        for (int i = 0; i < 100 && QApplication::activeWindow() != P().main.window; ++i) {
            Settle(1);
        }
        w->setFocus();
        Settle(1);
    }
    // Replaces the text of a number box as typing does.
    static void Type(QWidget* box, const QString& text) {
        QLineEdit* edit = qobject_cast<QLineEdit*>(box);
        edit = edit != nullptr ? edit : box->findChild<QLineEdit*>();
        ASSERT_NE(nullptr, edit);
        edit->selectAll();
        edit->insert(text);
    }
    // A key pressed where the keyboard is, as the window system delivers it.
    void PressKey(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
};

} // namespace

TEST_F(Transfer, SendToRamWithSetOneSendsBothBlocksAndNothingElse) {
    app::P().sensor.model.SetValue(params::kTrigger,
                                   kTrigPara); // the set selectors need TRIGGER PARA
    app::P().paramViews->rules.InitPanelCtrlAttr();
    P().main.set1->click();
    ASSERT_EQ(1, app::P().sensor.transfer.SelectedParaSet);
    P().main.send->click();
    EXPECT_EQ((std::vector<std::string>{"1 1 34", "1 3 496"}), Received());
}

TEST_F(Transfer, EepromSequencesForSendAndGet) {
    P().main.eeprom->click();
    ASSERT_EQ(kTargetEeprom, app::P().sensor.transfer.TransferTarget);
    EXPECT_TRUE(P().main.eeprom->isChecked());
    EXPECT_FALSE(P().main.ram->isChecked());
    P().main.send->click();
    EXPECT_EQ((std::vector<std::string>{"1 0 34", "1 2 496", "3 0 0"}), Received());
    P().main.get->click();
    EXPECT_EQ((std::vector<std::string>{"4 0 0", "2 0 0", "2 2 0"}), Received());
    // clicking the selector that is on leaves it on
    P().main.eeprom->click();
    EXPECT_TRUE(P().main.eeprom->isChecked());
    EXPECT_EQ(kTargetEeprom, app::P().sensor.transfer.TransferTarget);
}

TEST_F(Transfer, WhatIsSentReadsBackIncludingReservedWords) {
    app::P().sensor.model.SetValue(params::kPower, 777);
    app::P().sensor.model.SetCell(30, params::kCell4, 4321);
    app::P().sensor.model.SetCell(30, params::kHold, 99);
    app::P().sensor.model.SetValue(params::kHoldFail, 55);
    const uint16_t reservedRow3 = app::P().sensor.model.Table().get(3, kReserved);
    EXPECT_EQ(0xA503, reservedRow3); // as the sensor delivered it
    P().main.send->click();
    app::P().sensor.model.SetValue(params::kPower, 100);
    app::P().sensor.model.SetCell(30, params::kCell4, 1);
    P().main.get->click();
    EXPECT_EQ(777, P().para.power->value());
    EXPECT_EQ(777, P().para.powerValue->value());
    EXPECT_EQ(4321, P().teachPage.grid->Val(31, 5));
    EXPECT_EQ(99, P().groupHold.holdTable->Val(32, 1));
    EXPECT_EQ(55, P().groupHold.holdTable->Val(1, 1));
    EXPECT_EQ(reservedRow3, app::P().sensor.model.Table().get(3, kReserved));
    // row 30 lies at bytes 480..495, its hold at 492..493
    EXPECT_EQ(99, app::P().sensor.model.Table().bytes[492]);
    EXPECT_EQ(55, app::P().sensor.model.Block().bytes[8]); // holdFail
}

TEST_F(Transfer, EveryKindOfPanelEditIsInTheSetAtOnceAndTheSetShowsOnThePanels) {
    ParameterPage& u = P().para;
    GroupHoldPage& g = P().groupHold;
    u.power->setValue(640); // dragging the slider
    EXPECT_EQ(640, app::P().sensor.model.Block().get(kPower));
    u.powerValue->setValue(650); // the numeric twin, committed
    emit u.powerValue->committed();
    EXPECT_EQ(650, app::P().sensor.model.Block().get(kPower));
    EXPECT_EQ(650, u.power->value());
    u.gain->setCurrentIndex(u.gain->IndexOfValue(6));
    EXPECT_EQ(6, app::P().sensor.model.Block().get(kGain));
    u.dynWinHi->setValue(3456);
    EXPECT_EQ(3456, app::P().sensor.model.Block().get(kDynWinHi));
    g.colorGroup->click();
    EXPECT_EQ(g.colorGroup->isChecked() ? 1 : 0, app::P().sensor.model.Block().get(kColorGroup));
    g.holdTable->item(0, 0)->setData(Qt::EditRole, 12); // the fail state
    g.holdTable->item(31, 0)->setData(Qt::EditRole, 13);
    g.groupTable->item(30, 0)->setData(Qt::EditRole, 3);
    EXPECT_EQ(12, app::P().sensor.model.Block().get(kHoldFail));
    EXPECT_EQ(13, app::P().sensor.model.Table().get(30, kHold));
    EXPECT_EQ(3, app::P().sensor.model.Table().get(30, kGroup));
    // and the other way: a changed set shows at once
    app::P().sensor.model.SetValue(kIntegral, 77);
    app::P().sensor.model.SetValue(kGain, 2);
    app::P().sensor.model.SetCell(29, kHold, 21);
    EXPECT_EQ(77, u.integral->value());
    EXPECT_EQ(2, u.gain->Val());
    EXPECT_EQ(21, g.holdTable->Val(31, 1));
    // a value a selector does not have leaves the selector, and the set takes it
    app::P().sensor.model.SetValue(kGain, 9);
    EXPECT_EQ(2, u.gain->Val());
    EXPECT_EQ(2, app::P().sensor.model.Block().get(kGain));
}

// A shortcut key takes no focus: SEND by F9 still sends what is typed into
// the box or the table cell being edited, as a click on SEND does.
TEST_F(Transfer, TheShortcutKeySendsWhatIsStillBeingTyped) {
    P().main.eeprom->click();
    ctl::U16Spin* box = P().para.powerValue;
    const int before = box->value();
    ASSERT_NE(800, before);
    Focus(box);
    ASSERT_TRUE(box->hasFocus());
    Type(box, "800"); // no Enter
    ASSERT_EQ(before, app::P().sensor.model.Block().get(kPower));
    PressKey(Qt::Key_F9);
    EXPECT_EQ((std::vector<std::string>{"1 0 34", "1 2 496", "3 0 0"}), Received());
    P().main.get->click(); // back from the EEPROM
    EXPECT_EQ(800, box->value());
    Received();

    ctl::U16Table* grid = P().teachPage.grid;
    Focus(grid);
    grid->setCurrentCell(4, 0);
    grid->editItem(grid->item(4, 0));
    QWidget* cell = QApplication::focusWidget();
    ASSERT_TRUE(cell != nullptr && grid->isAncestorOf(cell));
    Type(cell, "4321");
    PressKey(Qt::Key_F9);
    EXPECT_EQ((std::vector<std::string>{"1 0 34", "1 2 496", "3 0 0"}), Received());
    P().main.get->click();
    EXPECT_EQ(4321, grid->Val(5, 1));
}

TEST_F(Transfer, PlausibilityCodeOfTheParameterBlockIsReportedAndTheTableStillSent) {
    app::P().sensor.model.SetValue(params::kAverage, 1500); // the sensor allows 0..1000
    app::P().sensor.model.SetValue(params::kIntLim, 5000);  // and 0..4095
    app::P().sensor.link.AcquisitionRunning = 1;
    params::SendPara(app::P().sensor.link, app::P().sensor.model, app::P().sensor.transfer);
    EXPECT_EQ((std::vector<std::string>{"1 0 34", "1 2 496"}), Received());
    EXPECT_EQ(std::string("INFO!\n2") + kTextRamPlausibility, app::P().sensor.link.StatusText);
    EXPECT_NE(std::string::npos,
              Messages().find(std::string("INFO!\n2") + kTextRamPlausibility + "\n\n"));
    EXPECT_EQ("TIMEOUT!", P().data.status->text().toStdString());
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning); // a running loop ends
    EXPECT_EQ(0, app::P().sensor.transfer.SendPending);
}

TEST_F(Transfer, EepromPlausibilityIsShownWithoutEndingTheSequence) {
    // The sensor answers order 4 with the code 3 in its parameter word.
    sensor_->Command("fault error 3 order=4");
    P().main.eeprom->click();
    app::P().sensor.link.LinkOk = 1;
    P().main.get->click();
    EXPECT_EQ((std::vector<std::string>{"4 0 0", "2 0 0", "2 2 0"}), Received());
    EXPECT_NE(std::string::npos,
              Messages().find(std::string("INFO!\n3") + kTextEepromPlausibility));
    EXPECT_EQ(app::kPageConnection, P().main.tabs->ActivePage());
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", P().data.status->text().toStdString());
    EXPECT_EQ(1, app::P().sensor.link.LinkOk); // not a link failure
}

TEST_F(Transfer, ImplausibleValuesComeBackAsTheSensorsDefaults) {
    app::P().sensor.model.SetValue(params::kAverage, 1500);
    P().main.send->click();
    P().main.get->click();
    EXPECT_EQ(1, P().para.average->value());
}

TEST_F(Transfer, TimeoutOnTheFirstReadLeavesBlocksAndPanelsUnchanged) {
    app::P().sensor.model.SetValue(params::kPower, 321);
    const ParameterBlockBytes blockBefore = app::P().sensor.model.Block();
    const TeachTableBytes tableBefore = app::P().sensor.model.Table();
    sensor_->Command("fault drop order=2");
    P().main.get->click();
    EXPECT_EQ(0, std::memcmp(blockBefore.bytes, app::P().sensor.model.Block().bytes,
                             sizeof blockBefore.bytes));
    EXPECT_EQ(0, std::memcmp(tableBefore.bytes, app::P().sensor.model.Table().bytes,
                             sizeof tableBefore.bytes));
    EXPECT_EQ(321, P().para.power->value());
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextNoAnswer));
    EXPECT_EQ(app::kPageConnection, P().main.tabs->ActivePage());
    EXPECT_TRUE(P().main.get->isEnabled()); // the command ended, the buttons are back
}

TEST_F(Transfer, TimeoutOnTheTableReadKeepsTheSetAndThePanels) {
    app::P().sensor.model.SetValue(params::kPower, 321);
    sensor_->Command("fault drop order=2 skip=1");
    P().main.get->click();
    EXPECT_EQ(321, P().para.power->value());
    EXPECT_EQ(321, app::P().sensor.model.Block().get(kPower)); // a half-read set is not taken
}

TEST_F(Transfer, SendAndGetDuringAcquisitionOnlySetThePendingFlags) {
    app::P().sensor.link.AcquisitionRunning = 1;
    P().main.send->click();
    P().main.get->click();
    P().main.send->click();
    EXPECT_EQ(1, app::P().sensor.transfer.SendPending);
    EXPECT_EQ(1, app::P().sensor.transfer.GetPending);
    EXPECT_TRUE(Received().empty());
    params::SendPara(app::P().sensor.link, app::P().sensor.model, app::P().sensor.transfer);
    params::GetPara(app::P().sensor.link, app::P().sensor.model, app::P().sensor.transfer);
    EXPECT_EQ(0, app::P().sensor.transfer.SendPending);
    EXPECT_EQ(0, app::P().sensor.transfer.GetPending);
    app::P().sensor.link.AcquisitionRunning = 0;
}

TEST_F(Transfer, AReadSetWithExternTeachCutsTheTriggerList) {
    ParameterBlockBytes b = app::P().sensor.model.Block();
    b.set(kExternTeach, kExTeachOn);
    b.set(kTrigger, kTrigSelf);
    app::P().sensor.model.Replace(b, app::P().sensor.model.Table());
    EXPECT_EQ(2, P().para.trigger->count());
    EXPECT_EQ(kTrigSelf, P().para.trigger->Val());
    EXPECT_EQ(kExTeachOn, P().para.externTeach->Val());
    // a trigger the cut list lacks shows CONT
    b.set(kTrigger, kTrigExt2);
    app::P().sensor.model.Replace(b, app::P().sensor.model.Table());
    EXPECT_EQ(kTrigCont, P().para.trigger->Val());
    EXPECT_EQ(kTrigCont,
              app::P().sensor.model.Block().get(kTrigger)); // the set takes what the panel shows
}

TEST(ParameterLayout, WireImageOfTheBlocks) {
    ParameterBlockBytes b;
    b.set(kPower, 500);
    const uint8_t expected[34] = {0xF4, 0x01};
    EXPECT_EQ(0, std::memcmp(expected, b.bytes, 34));
    b.set(kPower, 1000);
    EXPECT_EQ(0xE8, b.bytes[0]);
    EXPECT_EQ(0x03, b.bytes[1]);
    TeachTableBytes t;
    t.set(30, kHold, 0x1234);
    EXPECT_EQ(0x34, t.bytes[492]);
    EXPECT_EQ(0x12, t.bytes[493]);
    EXPECT_EQ(kTeachTableSize, sizeof t.bytes);
    const ParameterBlockBytes d = DefaultParameterBlock();
    EXPECT_EQ(3200, d.get(kDynWinLo));
    EXPECT_EQ(5, d.get(kGain));
    EXPECT_STREQ("EXTEACH\n", kParaFieldInfo[kExternTeach].reportName);
}
