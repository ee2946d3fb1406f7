// Calibration and offsets against the simulated sensor: reading and writing
// factors and offsets, the white calibration end to end (sampling, blinking,
// sending, GO mode), its refusals and a lost frame, self calibration, the
// offset measurement, and the password that opens the offset page.
#include "app/panels.h"
#include "calib/calib_view.h"
#include "calib/calibration.h"
#include "link/link_texts.h"
#include "live/frame_stream.h"
#include "live/live_data.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

using app::P;
using platform::PopupKind;

namespace {

class Calibration : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartConnected(false, {}, SteadyScene()));
    }

    // Presses CALC CF. Once GO mode has shown a few frames, STOP is pressed
    // (counted in frames, not time: a fast line would otherwise overrun the
    // simulated sensor's request log). Records whether the button was seen
    // red while sampling.
    void RunWhiteCalibration() {
        uint64_t goStart = 0;
        bool going = false;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!P().calibView->WhiteCalibrationRunning()) {
                return;
            }
            const uint64_t published = app::P().sensor.frames.Published();
            if (app::P().sensor.link.AcquisitionRunning == 0) {
                const QColor c = P().calibration.calcCF->palette().color(QPalette::Button);
                sawRed_ |= c == QColor(0xFF0000);
            } else if (!going) {
                going = true;
                goStart = published;
            } else if (published - goStart >= 3) {
                P().main.stop->click();
            }
        });
        poll.start();
        P().calibration.calcCF->click();
        poll.stop();
    }
    int Cf(int c) const { return P().calibration.cf[c]->value(); }
    int Offset(int c) const { return P().offset.offset[c]->value(); }
    std::string Messages() const { return P().connect.messages->toPlainText().toStdString(); }
    static long Count(const std::vector<std::string>& lines, const std::string& line) {
        return std::count(lines.begin(), lines.end(), line);
    }
    void PressEnter(QWidget* w) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
    void RightDoubleClick(QWidget* w) {
        const QPointF pos(3, 3);
        QMouseEvent e(QEvent::MouseButtonDblClick, pos, w->mapToGlobal(pos), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    bool sawRed_ = false;
};

} // namespace

TEST_F(Calibration, FactorsAndOffsetsAreReadAndWritten) {
    P().calibration.getCF->click();
    EXPECT_EQ((std::vector<std::string>{"102 0 0"}), Received());
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(1024, Cf(c));
    }
    EXPECT_EQ(48, Offset(0));
    EXPECT_EQ(40, Offset(1));
    EXPECT_EQ(56, Offset(2));

    P().calibration.cf[1]->SetVal(2000);
    P().calibration.sendCF->click();
    P().offset.offset[2]->SetVal(60);
    P().offset.send->click();
    EXPECT_EQ((std::vector<std::string>{"101 0 6", "101 1 6"}), Received());
    P().calibration.cf[1]->SetVal(1);
    P().offset.offset[2]->SetVal(1);
    P().offset.get->click();
    EXPECT_EQ(2000, Cf(1));
    EXPECT_EQ(60, Offset(2));
    EXPECT_TRUE(P().calibration.sendCF->isEnabled()) << "undimmed afterwards";
}

TEST_F(Calibration, APlausibilityCodeIsReportedAsTheLinkReportsFailures) {
    P().offset.offset[0]->SetVal(5000); // the sensor refuses offsets above 4095
    P().offset.send->click();
    EXPECT_NE(std::string::npos,
              Messages().find("INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND "
                              "WERE SET TO DEFAULT VALUE!\n\n"));
    EXPECT_EQ(0, app::P().sensor.link.LinkOk);
    P().offset.get->click();
    EXPECT_EQ(0, Offset(0));
}

TEST_F(Calibration, WhiteCalibrationSamplesSendsTheFactorsAndEndsInGoMode) {
    RunWhiteCalibration();
    const std::vector<std::string> got = Received();
    ASSERT_GE(got.size(), 102u);
    EXPECT_EQ(100, std::count(got.begin(), got.begin() + 100, std::string("8 0 0")));
    EXPECT_EQ("101 0 6", got[100]);
    EXPECT_EQ("8 0 0", got[101]) << "GO mode after sending";
    // SETVALUE 1000 on raw 1000, 2000, 3000 (delta 2000 = MAXIMUM DELTA)
    EXPECT_EQ(1024, Cf(0));
    EXPECT_EQ(512, Cf(1));
    EXPECT_EQ(341, Cf(2));
    EXPECT_EQ(calib::kTextCalibrationPassed, user_->LastText("CALIBRATION PASSED!"));
    ASSERT_EQ(2u, user_->Count(PopupKind::Confirm));
    EXPECT_EQ("SEND POWER", user_->Records()[0].title);
    EXPECT_EQ(calib::kTextWhiteTarget, user_->Records()[0].text);
    EXPECT_EQ("CONFIRM CALCULATION!", user_->Records()[1].title);
    // The sensor calibrates with the new factors: GO shows about 1000 each.
    EXPECT_EQ(1000, app::P().sensor.frames.Current().get(live::kRed));
    EXPECT_EQ(1000, app::P().sensor.frames.Current().get(live::kGreen));
    EXPECT_EQ(999, app::P().sensor.frames.Current().get(live::kBlue));
    EXPECT_EQ(2000, P().calibration.rawDelta->text().toInt());
    // The button blinked and ends light grey; the commands are back.
    EXPECT_TRUE(sawRed_);
    EXPECT_EQ(QColor(0xCCCCCC), P().calibration.calcCF->palette().color(QPalette::Button));
    EXPECT_TRUE(P().calibration.calcCF->isEnabled());
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_FALSE(P().calibView->WhiteCalibrationRunning());
}

TEST_F(Calibration, RefusedCalculationsKeepTheFactorsButStillSendAndGo) {
    P().calibration.maxDelta->SetVal(500);
    RunWhiteCalibration();
    EXPECT_EQ(calib::kTextDeltaTooHigh, user_->LastText("ATTENTION!"));
    std::vector<std::string> got = Received();
    ASSERT_GE(got.size(), 102u);
    EXPECT_EQ("101 0 6", got[100]);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(1024, Cf(c));
    }

    // SETVALUE 4000 on a raw 1000: 4096 is accepted; on 999 it is out of range.
    P().calibration.maxDelta->SetVal(2000);
    sensor_->Command("scene color 999 1000 1000");
    P().calibration.setValue->SetVal(4000);
    user_->Clear();
    RunWhiteCalibration();
    EXPECT_EQ(calib::kTextCfOutOfRange, user_->LastText("ATTENTION!"));
    EXPECT_EQ(1u, user_->Count(PopupKind::Message)) << "no success text";
    EXPECT_EQ(1024, Cf(0));
    EXPECT_EQ(1, Count(Received(), "101 0 6"));

    // Declining the second question: nothing sampled, the old factors sent.
    user_->Clear();
    user_->Answer(1); // SEND POWER: yes
    user_->Answer(0); // CONFIRM CALCULATION!: no
    RunWhiteCalibration();
    EXPECT_EQ(calib::kTextInsertRightValues, user_->LastText("INFO!"));
    got = Received();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ("101 0 6", got[0]);

    // Declining the first: nothing at all.
    user_->Clear();
    user_->Answer(0);
    P().calibration.calcCF->click();
    EXPECT_TRUE(Received().empty());
}

// A frame that does not arrive ends the calibration: no factors from a
// partial mean, nothing sent, and the link's own report of the failure.
TEST_F(Calibration, ALostFrameStopsTheWhiteCalibrationWithoutSending) {
    sensor_->Command("fault corrupt-data order=8 skip=10");
    RunWhiteCalibration();
    const std::vector<std::string> got = Received();
    EXPECT_EQ((std::vector<std::string>(11, "8 0 0")), got);
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextBadData));
    EXPECT_EQ("", user_->LastText("CALIBRATION PASSED!"));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(1024, Cf(c));
    }
    EXPECT_EQ(QColor(0xCCCCCC), P().calibration.calcCF->palette().color(QPalette::Button));
    EXPECT_TRUE(P().calibration.calcCF->isEnabled());
}

TEST_F(Calibration, SelfCalibrationShowsTheSensorsFactorsWithoutStoringThem) {
    sensor_->Command("scene color 1500 1500 1500");
    // The sensor sees the new colour from its next scan on; a request
    // within the same scan cycle would still get the old one.
    SettleFor(0.02);
    P().calibration.selfCalibration->click();
    EXPECT_EQ((std::vector<std::string>{"103 0 0"}), Received());
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(2048, Cf(c)); // 3000 * 1024 / 1500
    }
    EXPECT_EQ(3000, P().calibration.setValue->value());
    EXPECT_EQ(1000, P().calibration.maxDelta->value());
    EXPECT_EQ(calib::kTextConfirmSelfCalibration, user_->LastText("ATTENTION!"));
    EXPECT_EQ("SEND POWER", user_->Records()[0].title);

    // A failed exchange shows nothing.
    sensor_->Command("fault drop order=103");
    P().calibration.cf[0]->SetVal(7);
    user_->Clear();
    P().calibration.selfCalibration->click();
    EXPECT_EQ(7, Cf(0));
    EXPECT_EQ("", user_->LastText("ATTENTION!"));
}

TEST_F(Calibration, OffsetsAreMeasuredWithTheReceiverCovered) {
    P().offset.offset[0]->SetVal(1);
    P().offset.send->click();
    Received();
    user_->Answer(0); // not covered: nothing happens
    P().offset.calc->click();
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ("CALCULATE OFFSET", user_->Records()[0].title);
    EXPECT_EQ(calib::kTextCoverReceiver, user_->Records()[0].text);

    P().offset.calc->click();
    EXPECT_EQ((std::vector<std::string>{"100 1 0", "102 0 0"}), Received());
    EXPECT_EQ(48, Offset(0));
    EXPECT_EQ(40, Offset(1));
    EXPECT_EQ(56, Offset(2));
}

TEST_F(Calibration, ThePasswordOpensTheOffsetPage) {
    ctl::TabControl* tabs = P().main.tabs;
    QDialog* panel = P().password.panel;
    QLineEdit* field = P().password.password;
    EXPECT_FALSE(tabs->IsPageVisible(app::kPageOffset));
    EXPECT_EQ(QLineEdit::Password, field->echoMode());
    EXPECT_EQ(20, field->maxLength());

    field->setText("left over");
    RightDoubleClick(P().calibration.decoration);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(field->text().isEmpty());

    for (const char* wrong : {"Tarvik", "tarvik ", "tarvi", "tarvikk"}) {
        field->setText(wrong);
        PressEnter(field);
        EXPECT_EQ(calib::kTextWrongPassword, user_->LastText("ATTENTION!")) << wrong;
        EXPECT_TRUE(field->text().isEmpty()) << wrong;
        EXPECT_TRUE(panel->isVisible()) << wrong;
        EXPECT_FALSE(tabs->IsPageVisible(app::kPageOffset)) << wrong;
    }
    user_->Clear();
    field->setText("tarvik");
    PressEnter(field);
    EXPECT_EQ(0u, user_->Records().size());
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(tabs->IsPageVisible(app::kPageOffset));
    EXPECT_EQ(app::kPageOffset, tabs->ActivePage());

    P().offset.close->click();
    EXPECT_FALSE(tabs->IsPageVisible(app::kPageOffset));
    EXPECT_EQ(app::kPageParameter, tabs->ActivePage());

    // The close box only hides the panel; it opens again empty.
    RightDoubleClick(P().calibration.decoration);
    field->setText("x");
    panel->close();
    EXPECT_FALSE(panel->isVisible());
    RightDoubleClick(P().calibration.decoration);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(0u, user_->Records().size()) << "closing checks no password";
}

// After "Wrong password." the emptied field has the keyboard again: the real
// message window, closed with Enter, leaves it with the password panel.
TEST_F(Calibration, AfterAWrongPasswordTheFieldHasTheKeyboardAgain) {
    QDialog* panel = P().password.panel;
    QLineEdit* field = P().password.password;
    P().main.window->activateWindow();
    RightDoubleClick(P().calibration.decoration);
    for (int i = 0; i < 100 && QApplication::focusWidget() != field; ++i) {
        platform::ProcessSystemEvents();
    }
    ASSERT_EQ(field, QApplication::focusWidget());

    user_.reset(); // real popups
    std::string shown;
    QTimer enter;
    enter.setInterval(10);
    QObject::connect(&enter, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text().toStdString();
            PressEnter(box);
        }
    });
    enter.start();
    field->setText("tarvi");
    PressEnter(field);
    enter.stop();
    user_ = std::make_unique<platform::ScriptedPopups>();
    for (int i = 0; i < 20; ++i) {
        platform::ProcessSystemEvents();
    }
    EXPECT_EQ(calib::kTextWrongPassword, shown);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(panel, QApplication::activeWindow());
    EXPECT_EQ(field, QApplication::focusWidget());
    panel->close();
}
