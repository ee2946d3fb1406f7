// The calibration page, the offset page and the password panel as the view
// of one sensor's calibration: reading and writing the three calibration
// factors and the three offsets (orders 101, 102), the white calibration
// computed on the PC from 100 live frames, the sensor's self calibration
// (order 103), the offset measurement with the receiver covered (order
// 100), the password that opens the offset page, and the raw values of
// every frame published for the calibration.
#pragma once

#include "live/live_parts.h"

#include "calib/calib_math.h"
#include "calib/calib_state.h"
#include "calib/calib_ui.h"
#include "calib/hw_info_file.h"
#include "platform/controls.h"
#include "platform/notifier.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace com232 {
class SensorLink;
}
namespace live {
class DisplayRefresh;
class FrameStream;
} // namespace live

namespace calib {

// The raw values and their spread on the calibration page: they follow
// every frame published for the calibration (GO and the white calibration),
// written at screen rate, for as long as this object lives.
class CalibDisplays {
public:
    CalibDisplays(CalibrationPage& page, live::FrameStream& frames, live::DisplayRefresh& refresh);
    ~CalibDisplays();
    CalibDisplays(const CalibDisplays&) = delete;
    CalibDisplays& operator=(const CalibDisplays&) = delete;

private:
    void WriteCalibData();

    CalibrationPage& page_;
    const live::FrameStream& frames_;
    live::DisplayRefresh& refresh_;
    platform::Subscription published_;
};

// The behaviour of the three panels on one sensor. The window makes it once
// its panels are built and ends it before they go; its controls call it
// while it lives.
class CalibrationView {
public:
    // `parts` are the sensor's that the calibration reads and runs GO on.
    CalibrationView(CalibPanels& panels, const live::LiveParts& parts,
                    live::DisplayRefresh& refresh, CalibState& state);
    ~CalibrationView();
    CalibrationView(const CalibrationView&) = delete;
    CalibrationView& operator=(const CalibrationView&) = delete;

    // Order 102: CFs and offsets into their six fields. 1 on success, -1
    // after a failure the link has reported.
    int GetCF();
    // Order 101 with the three CF fields (parameter 0) or the three offset
    // fields (parameter 1); a plausibility code in the answer is reported.
    int SendCF();
    int SendOffset();

    // The white calibration's sampling: 100 live frames, their raw values
    // shown and summed, then SetCF with the means. Returns false when a
    // frame failed to arrive (the link has reported it): no factors are
    // computed then.
    bool CalcCF();
    // Checks the means and, when they allow it, puts the new factors into
    // the CF fields. Returns the outcome.
    CfOutcome SetCF(const WhiteMeans& means);

    // Order 103: the sensor's own factors, SETVALUE and MAXIMUM DELTA shown.
    void StartSelfCalibration();
    // Order 100 (offsets measured by the sensor), then GetCF.
    void CalcOffset();

    // True while a white calibration (sampling, sending, GO mode) runs.
    bool WhiteCalibrationRunning() const { return state_.whiteRunning; }

    // The factors and offsets as the fields show them.
    void CalibrationValues(uint16_t cf[3], uint16_t offsets[3]) const;
    // What the hardware information file needs of the pages, with the
    // connection page's message box.
    conn::HwInfoHooks HardwareFileHooks(std::function<void(const std::string&)> appendMessage);

    int CBF_ButtonSendCF(QWidget*, ctl::Event);
    int CBF_ButtonGetCF(QWidget*, ctl::Event);
    int CBF_ButtonCalcCF(QWidget*, ctl::Event);
    int CBF_ButtonStartSelfCalibration(QWidget*, ctl::Event);
    int CBF_DecoCalibrate1(QWidget*, ctl::Event);
    int CBF_ButtonSendOffset(QWidget*, ctl::Event);
    int CBF_ButtonGetOffset(QWidget*, ctl::Event);
    int CBF_ButtonCalcOffset(QWidget*, ctl::Event);
    int CBF_ButtonCloseOffsetCompensation(QWidget*, ctl::Event);
    int CBF_StringEnterPW(QWidget*, ctl::Event);
    int CBF_PASSWORDP(QWidget*, ctl::Event);

private:
    void WireCalibrationPage();
    void WireOffsetPage();
    void WirePasswordPanel();
    int Exchange(uint8_t order, uint16_t param, uint16_t dataLength);
    int WriteCalibration(uint16_t which, ctl::U16Spin* const fields[3]);
    void SetCalcButtonColour(unsigned rgb);
    // Runs `command` with the command controls dimmed, unless another
    // calibration command is running.
    void Dimmed(const std::function<void()>& command);

    CalibPanels& panels_;
    live::LiveParts parts_;
    com232::SensorLink& link_;
    live::FrameStream& frames_;
    live::DisplayRefresh& refresh_;
    CalibState& state_;
    CalibDisplays displays_;
    // The context of the view's Qt connections: they end with the view.
    QObject connections_;
    std::unique_ptr<QObject> closeFilter_;
};

} // namespace calib
