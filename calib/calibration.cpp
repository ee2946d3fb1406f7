// The calibration view's orders and commands: the factors and offsets read
// and written, the white and the self calibration, the offset measurement
// and the password panel.
#include "calib/calib_view.h"

#include "calib/calib_orders.h"
#include "calib/calib_wire.h"
#include "calib/calibration.h"
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"

#include <QColor>
#include <QDialog>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWindow>

#include <string>

namespace calib {
namespace {

// Marks the calibration busy for its lifetime, unless a calibration command
// runs already (Entered() is false then).
class BusyGuard {
public:
    explicit BusyGuard(CalibState& state) : state_(state), entered_(!state.busy) {
        state_.busy = true;
    }
    ~BusyGuard() {
        if (entered_) {
            state_.busy = false;
        }
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    CalibState& state_;
    bool entered_;
};

constexpr QRgb kButtonRed = 0xFF0000;
constexpr QRgb kButtonLightGrey = 0xCCCCCC;

} // namespace

int CalibrationView::Exchange(uint8_t order, uint16_t param, uint16_t dataLength) {
    link_.FillTxBuf(order, param, dataLength);
    return link_.DataExchange(static_cast<int>(com232::kHeaderSize + dataLength));
}

// Order 101 with the three values of `fields`.
int CalibrationView::WriteCalibration(uint16_t which, ctl::U16Spin* const fields[3]) {
    uint8_t* data = link_.TxData();
    for (int c = 0; c < 3; ++c) {
        com232::PutU16(data + 2 * c, static_cast<uint16_t>(fields[c]->value()));
    }
    const int result =
        Exchange(com232::kOrderWriteCalib, which, static_cast<uint16_t>(kWriteCalibSize));
    if (result == 1 && link_.AnswerParam != 0) {
        link_.StatusText = "INFO!\n" + std::to_string(link_.AnswerParam) + kTextCalibPlausibility;
        link_.SetTimeout();
    }
    return result;
}

void CalibrationView::SetCalcButtonColour(unsigned rgb) {
    QPushButton* button = panels_.calibration.calcCF;
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, QColor(static_cast<QRgb>(rgb)));
    button->setPalette(palette);
}

void CalibrationView::Dimmed(const std::function<void()>& command) {
    BusyGuard guard(state_);
    if (!guard.Entered()) {
        return;
    }
    shell::Shell().SetButtonsDimmed(0, 1);
    command();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
}

// ---- orders -------------------------------------------------------------------

int CalibrationView::GetCF() {
    uint16_t cf[3] = {};
    uint16_t offsets[3] = {};
    if (ReadCalibration(link_, cf, offsets) != 1) {
        return -1;
    }
    for (int i = 0; i < 3; ++i) {
        panels_.calibration.cf[i]->SetVal(cf[i]);
        panels_.offset.offset[i]->SetVal(offsets[i]);
    }
    return 1;
}

int CalibrationView::SendCF() {
    return WriteCalibration(kWriteCalibFactors, panels_.calibration.cf);
}

int CalibrationView::SendOffset() {
    return WriteCalibration(kWriteCalibOffsets, panels_.offset.offset);
}

void CalibrationView::StartSelfCalibration() {
    link_.LinkOk = 1;
    if (Exchange(com232::kOrderSelfCalib, 0, 0) != 1 || link_.LinkOk != 1) {
        return;
    }
    const uint8_t* d = link_.RxData();
    CalibrationPage& c = panels_.calibration;
    for (int i = 0; i < 3; ++i) {
        c.cf[i]->SetVal(com232::GetU16(d + 2 * i));
    }
    c.setValue->SetVal(com232::GetU16(d + 6));
    c.maxDelta->SetVal(com232::GetU16(d + 8));
    platform::MessagePopup("ATTENTION!", kTextConfirmSelfCalibration);
}

void CalibrationView::CalcOffset() {
    if (Exchange(com232::kOrderCalcOffset, 1, 0) == 1) {
        GetCF();
    }
}

void CalibrationView::CalibrationValues(uint16_t cf[3], uint16_t offsets[3]) const {
    for (int c = 0; c < 3; ++c) {
        cf[c] = static_cast<uint16_t>(panels_.calibration.cf[c]->value());
        offsets[c] = static_cast<uint16_t>(panels_.offset.offset[c]->value());
    }
}

conn::HwInfoHooks
CalibrationView::HardwareFileHooks(std::function<void(const std::string&)> appendMessage) {
    conn::HwInfoHooks hooks;
    hooks.getCalibration = [this] { return GetCF(); };
    hooks.calibrationValues = [this](uint16_t cf[3], uint16_t offsets[3]) {
        CalibrationValues(cf, offsets);
    };
    hooks.appendMessage = std::move(appendMessage);
    return hooks;
}

// ---- white calibration ------------------------------------------------------------

CfOutcome CalibrationView::SetCF(const WhiteMeans& means) {
    CalibrationPage& c = panels_.calibration;
    const auto setValue = static_cast<uint16_t>(c.setValue->value());
    const auto maxDelta = static_cast<uint16_t>(c.maxDelta->value());
    const CfResult r = ComputeCalibrationFactors(setValue, maxDelta, means);
    switch (r.outcome) {
    case CfOutcome::kDeltaTooHigh:
        platform::MessagePopup("ATTENTION!", kTextDeltaTooHigh);
        break;
    case CfOutcome::kOutOfRange:
        platform::MessagePopup("ATTENTION!", kTextCfOutOfRange);
        break;
    case CfOutcome::kOk:
        for (int i = 0; i < 3; ++i) {
            c.cf[i]->SetVal(static_cast<int>(r.cf[i]));
        }
        platform::MessagePopup("CALIBRATION PASSED!", kTextCalibrationPassed);
        break;
    }
    return r.outcome;
}

bool CalibrationView::CalcCF() {
    link_.AcquisitionRunning = 0;
    link_.DropReceived();
    if (platform::ConfirmPopup("CONFIRM CALCULATION!", kTextConfirmCalculation) != 1) {
        platform::MessagePopup("INFO!", kTextInsertRightValues);
        return true;
    }
    WhiteSums sums;
    bool complete = true;
    for (int i = 0; i < kWhiteSamples; ++i) {
        if (BlinkBefore(i)) {
            SetCalcButtonColour(RedPhase(i) ? kButtonRed : kButtonLightGrey);
            link_.ServeEventsAtNextAnswer();
        }
        // A frame that does not arrive ends the sampling: means over fewer
        // frames than the divisor would give factors that are too high, and
        // a sensor that has gone would otherwise cost a time-out per frame.
        if (Exchange(com232::kOrderLiveData, 0, 0) != 1 || platform::QuitRequested()) {
            complete = false;
            break;
        }
        frames_.Publish(live::FrameFromAnswer(link_), live::kUseCalibration,
                        parts_.model.EvaluationMode());
        const live::LiveDataFrameBytes& f = frames_.Current();
        sums.Add(f.get(live::kRawRed), f.get(live::kRawGreen), f.get(live::kRawBlue),
                 frames_.RawDelta());
    }
    SetCalcButtonColour(kButtonLightGrey);
    refresh_.Flush();
    if (!complete) {
        return false;
    }
    SetCF(MeansOf(sums, kWhiteSamples));
    return true;
}

// ---- callbacks of the calibration page ------------------------------------------

int CalibrationView::CBF_ButtonSendCF(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([this] { SendCF(); });
    }
    return 0;
}

int CalibrationView::CBF_ButtonGetCF(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([this] { GetCF(); });
    }
    return 0;
}

int CalibrationView::CBF_ButtonCalcCF(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || state_.busy) {
        return 0;
    }
    if (platform::ConfirmPopup("SEND POWER", kTextWhiteTarget) != 1) {
        return 0;
    }
    Dimmed([this] {
        state_.whiteRunning = true;
        // The factors as they now stand (new, or the old ones after a
        // refused calculation) go to the sensor, then GO mode shows the
        // result until STOP.
        if (CalcCF()) {
            SendCF();
            live::GetData(parts_);
            refresh_.Flush();
        }
        state_.whiteRunning = false;
    });
    return 0;
}

int CalibrationView::CBF_ButtonStartSelfCalibration(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || state_.busy) {
        return 0;
    }
    if (platform::ConfirmPopup("SEND POWER", kTextWhiteTarget) == 1) {
        Dimmed([this] { StartSelfCalibration(); });
    }
    return 0;
}

int CalibrationView::CBF_DecoCalibrate1(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightDoubleClick) {
        PasswordPanel& pw = panels_.password;
        pw.password->clear();
        // Modal, but the callback returns at once, as an installed popup does.
        pw.panel->open();
        pw.password->setFocus();
    }
    return 0;
}

// ---- callbacks of the offset page and the password panel ----------------------------

int CalibrationView::CBF_ButtonSendOffset(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([this] { SendOffset(); });
    }
    return 0;
}

int CalibrationView::CBF_ButtonGetOffset(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([this] { GetCF(); });
    }
    return 0;
}

int CalibrationView::CBF_ButtonCalcOffset(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || state_.busy) {
        return 0;
    }
    if (platform::ConfirmPopup("CALCULATE OFFSET", kTextCoverReceiver) == 1) {
        Dimmed([this] { CalcOffset(); });
    }
    return 0;
}

int CalibrationView::CBF_ButtonCloseOffsetCompensation(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetPageVisible(shell::kPageOffset, false);
        shell::Shell().ShowPage(shell::kPageParameter);
    }
    return 0;
}

int CalibrationView::CBF_StringEnterPW(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    PasswordPanel& pw = panels_.password;
    // Case-sensitive, the whole text.
    if (pw.password->text() == QLatin1String(kPassword)) {
        shell::Shell().SetPageVisible(shell::kPageOffset, true);
        shell::Shell().ShowPage(shell::kPageOffset);
        pw.panel->hide();
    } else {
        platform::MessagePopup("ATTENTION!", kTextWrongPassword);
        pw.password->clear();
        // The message window took the keyboard and, closing, leaves no window
        // active: the panel asks for it again (it still counts as active while
        // the message is on its way out, so activateWindow() would not ask)
        // and the emptied field takes it, so the next try can be typed at once.
        pw.password->setFocus(Qt::OtherFocusReason);
        if (QWindow* window = pw.panel->windowHandle()) {
            window->requestActivate();
        }
    }
    return 0;
}

int CalibrationView::CBF_PASSWORDP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Close) {
        panels_.password.panel->hide();
    }
    return 0;
}

} // namespace calib
