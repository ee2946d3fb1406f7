#include "calib/calibration.h"

#include "calib/calib_orders.h"
#include "calib/calib_ui.h"
#include "calib/calib_wire.h"
#include "link/com232.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "live/live_params.h"
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

// Module state: a calibration command is running (they are dimmed while one
// runs; the flag also keeps a second one from starting inside the first's
// waits), and whether it is the white calibration.
struct State {
    bool busy = false;
    bool whiteRunning = false;
};
State gState;

class BusyGuard {
public:
    BusyGuard() : entered_(!gState.busy) { gState.busy = true; }
    ~BusyGuard() {
        if (entered_) {
            gState.busy = false;
        }
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    bool entered_;
};

constexpr QRgb kButtonRed = 0xFF0000;
constexpr QRgb kButtonLightGrey = 0xCCCCCC;

CalibrationPage& Page() {
    return Panels().calibration;
}

int Exchange(uint8_t order, uint16_t param, uint16_t dataLength) {
    com232::ProgramLink().FillTxBuf(order, param, dataLength);
    return com232::ProgramLink().DataExchange(static_cast<int>(com232::kHeaderSize + dataLength));
}

// Order 101 with the three values of `fields`.
int WriteCalibration(uint16_t which, ctl::U16Spin* const fields[3]) {
    uint8_t* data = com232::ProgramLink().TxData();
    for (int c = 0; c < 3; ++c) {
        com232::PutU16(data + 2 * c, static_cast<uint16_t>(fields[c]->value()));
    }
    const int result =
        Exchange(com232::kOrderWriteCalib, which, static_cast<uint16_t>(kWriteCalibSize));
    if (result == 1 && com232::ProgramLink().AnswerParam != 0) {
        com232::ProgramLink().StatusText =
            "INFO!\n" + std::to_string(com232::ProgramLink().AnswerParam) + kTextCalibPlausibility;
        com232::ProgramLink().SetTimeout();
    }
    return result;
}

void SetCalcButtonColour(QRgb colour) {
    QPushButton* button = Page().calcCF;
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, QColor(colour));
    button->setPalette(palette);
}

// Runs `command` with the command controls dimmed, unless another
// calibration command is running.
template <typename F>
void Dimmed(F command) {
    BusyGuard guard;
    if (!guard.Entered()) {
        return;
    }
    shell::Shell().SetButtonsDimmed(0, 1);
    command();
    if (shell::Shell().PanelsLoaded()) {
        shell::Shell().SetButtonsDimmed(0, 0);
    }
}

} // namespace

// ---- orders -------------------------------------------------------------------

int GetCF() {
    uint16_t cf[3] = {};
    uint16_t offsets[3] = {};
    if (ReadCalibration(com232::ProgramLink(), cf, offsets) != 1) {
        return -1;
    }
    CalibrationPage& c = Page();
    OffsetPage& o = Panels().offset;
    for (int i = 0; i < 3; ++i) {
        c.cf[i]->SetVal(cf[i]);
        o.offset[i]->SetVal(offsets[i]);
    }
    return 1;
}

int SendCF() {
    return WriteCalibration(kWriteCalibFactors, Page().cf);
}

int SendOffset() {
    return WriteCalibration(kWriteCalibOffsets, Panels().offset.offset);
}

void StartSelfCalibration() {
    com232::ProgramLink().LinkOk = 1;
    if (Exchange(com232::kOrderSelfCalib, 0, 0) != 1 || com232::ProgramLink().LinkOk != 1) {
        return;
    }
    const uint8_t* d = com232::ProgramLink().RxData();
    CalibrationPage& c = Page();
    for (int i = 0; i < 3; ++i) {
        c.cf[i]->SetVal(com232::GetU16(d + 2 * i));
    }
    c.setValue->SetVal(com232::GetU16(d + 6));
    c.maxDelta->SetVal(com232::GetU16(d + 8));
    platform::MessagePopup("ATTENTION!", kTextConfirmSelfCalibration);
}

void CalcOffset() {
    if (Exchange(com232::kOrderCalcOffset, 1, 0) == 1) {
        GetCF();
    }
}

// ---- white calibration ------------------------------------------------------------

CfOutcome SetCF(const WhiteMeans& means) {
    CalibrationPage& c = Page();
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

bool CalcCF() {
    com232::ProgramLink().AcquisitionRunning = 0;
    com232::ProgramLink().DropReceived();
    if (platform::ConfirmPopup("CONFIRM CALCULATION!", kTextConfirmCalculation) != 1) {
        platform::MessagePopup("INFO!", kTextInsertRightValues);
        return true;
    }
    WhiteSums sums;
    bool complete = true;
    for (int i = 0; i < kWhiteSamples; ++i) {
        if (BlinkBefore(i)) {
            SetCalcButtonColour(RedPhase(i) ? kButtonRed : kButtonLightGrey);
        }
        // A frame that does not arrive ends the sampling: means over fewer
        // frames than the divisor would give factors that are too high, and
        // a sensor that has gone would otherwise cost a time-out per frame.
        if (Exchange(com232::kOrderLiveData, 0, 0) != 1 || platform::QuitRequested()) {
            complete = false;
            break;
        }
        live::FrameStream& stream = live::Frames();
        stream.Publish(live::FrameFromAnswer(), live::kUseCalibration,
                       live::Parameters().EvaluationMode());
        const live::LiveDataFrameBytes& f = stream.Current();
        sums.Add(f.get(live::kRawRed), f.get(live::kRawGreen), f.get(live::kRawBlue),
                 stream.RawDelta());
    }
    SetCalcButtonColour(kButtonLightGrey);
    live::FlushDisplays();
    if (!complete) {
        return false;
    }
    SetCF(MeansOf(sums, kWhiteSamples));
    return true;
}

bool WhiteCalibrationRunning() {
    return gState.whiteRunning;
}

void ResetCalibrationState() {
    gState = State{};
}

// ---- callbacks of the calibration page ------------------------------------------

int CBF_ButtonSendCF(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([] { SendCF(); });
    }
    return 0;
}

int CBF_ButtonGetCF(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([] { GetCF(); });
    }
    return 0;
}

int CBF_ButtonCalcCF(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gState.busy) {
        return 0;
    }
    if (platform::ConfirmPopup("SEND POWER", kTextWhiteTarget) != 1) {
        return 0;
    }
    Dimmed([] {
        gState.whiteRunning = true;
        // The factors as they now stand (new, or the old ones after a
        // refused calculation) go to the sensor, then GO mode shows the
        // result until STOP.
        if (CalcCF()) {
            SendCF();
            live::GetData();
            live::FlushDisplays();
        }
        gState.whiteRunning = false;
    });
    return 0;
}

int CBF_ButtonStartSelfCalibration(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gState.busy) {
        return 0;
    }
    if (platform::ConfirmPopup("SEND POWER", kTextWhiteTarget) == 1) {
        Dimmed([] { StartSelfCalibration(); });
    }
    return 0;
}

int CBF_DecoCalibrate1(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightDoubleClick) {
        PasswordPanel& pw = Panels().password;
        pw.password->clear();
        // Modal, but the callback returns at once, as an installed popup does.
        pw.panel->open();
        pw.password->setFocus();
    }
    return 0;
}

// ---- callbacks of the offset page and the password panel ----------------------------

int CBF_ButtonSendOffset(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([] { SendOffset(); });
    }
    return 0;
}

int CBF_ButtonGetOffset(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        Dimmed([] { GetCF(); });
    }
    return 0;
}

int CBF_ButtonCalcOffset(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit || gState.busy) {
        return 0;
    }
    if (platform::ConfirmPopup("CALCULATE OFFSET", kTextCoverReceiver) == 1) {
        Dimmed([] { CalcOffset(); });
    }
    return 0;
}

int CBF_ButtonCloseOffsetCompensation(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Commit) {
        shell::Shell().SetPageVisible(shell::kPageOffset, false);
        shell::Shell().ShowPage(shell::kPageParameter);
    }
    return 0;
}

int CBF_StringEnterPW(QWidget*, ctl::Event e) {
    if (e != ctl::Event::Commit) {
        return 0;
    }
    CalibPanels& p = Panels();
    // Case-sensitive, the whole text.
    if (p.password.password->text() == QLatin1String(kPassword)) {
        shell::Shell().SetPageVisible(shell::kPageOffset, true);
        shell::Shell().ShowPage(shell::kPageOffset);
        p.password.panel->hide();
    } else {
        platform::MessagePopup("ATTENTION!", kTextWrongPassword);
        p.password.password->clear();
        // The message window took the keyboard and, closing, leaves no window
        // active: the panel asks for it again (it still counts as active while
        // the message is on its way out, so activateWindow() would not ask)
        // and the emptied field takes it, so the next try can be typed at once.
        p.password.password->setFocus(Qt::OtherFocusReason);
        if (QWindow* window = p.password.panel->windowHandle()) {
            window->requestActivate();
        }
    }
    return 0;
}

int CBF_PASSWORDP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::Close) {
        Panels().password.panel->hide();
    }
    return 0;
}

} // namespace calib
