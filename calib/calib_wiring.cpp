#include "calib/calib_wiring.h"

#include "app/panels.h"
#include "platform/controls.h"
#include "platform/widgets.h"

#include <QFrame>
#include <QProgressBar>
#include <QPushButton>

namespace calib {
namespace {

constexpr const char* kHelpCf = "Edit Box for the calibration factor.\nDefault value is 1024. "
                                "\nMinimum value is 0. \nMaximum value is 4096.";
constexpr const char* kHelpRaw = "Displays the RAW values of RED, GREEN and BLUE.";

} // namespace

void WireCalibrationPage() {
    CalibrationPage& ui = app::P().calibration;
    ctl::Bind(ui.sendCF,
              "Calibration factors for RED,GREEN and BLUE will be send to the EEPROM of the "
              "sensor.",
              {});
    ctl::Bind(ui.getCF, "Calibration factors for RED,GREEN and BLUE will be read from the sensor.",
              {});
    ctl::Bind(ui.calcCF, "Calculate the calibration factors for RED, GREEN and BLUE. ", {});
    ctl::Bind(ui.selfCalibration,
              " Sensor calculates the calibration factors for RED, GREEN and BLUE. ", {});
    for (int c = 0; c < 3; ++c) {
        ctl::Bind(ui.cf[c], kHelpCf, {});
        ctl::Bind(ui.rawBar[c], kHelpRaw, {});
        ctl::Bind(ui.raw[c], kHelpRaw, {});
    }
    ctl::Bind(ui.setValue, "Choose the setvalue for RED,GREEN and BLUE. ", {});
    ctl::Bind(ui.maxDelta, "Choose the maximum DELTA value of RED,GREEN and BLUE. ", {});
    ctl::Bind(ui.rawDelta,
              "Displays the delta of the raw values of RED, GREEN and BLUE. \nDelta is the peak "
              "to peak value of the lowest number of RED, GREEN or BLUE \nand the highest number "
              "of RED, GREEN or BLUE of the RAW-DATAS.",
              {});
    // The decoration frame has no help text; its right double click (the way
    // to the password panel) is bound by the behaviour.
}

void WireOffsetPage() {
    OffsetPage& ui = app::P().offset;
    ctl::Bind(ui.send,
              "Offset values for RED,GREEN and BLUE will be send to the EEPROM of the sensor.", {});
    ctl::Bind(ui.get, "Offset values for RED,GREEN and BLUE will be read from the sensor.", {});
    ctl::Bind(ui.calc, "Detect the offset values for RED, GREEN and BLUE. ", {});
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ", {});
    for (ctl::U16Spin* field : ui.offset) {
        ctl::Bind(field, "Edit Box for the offset values. ", {});
    }
}

} // namespace calib
