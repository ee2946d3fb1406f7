#include "calib/calib_wiring.h"

#include "calib/calib_ui.h"
#include "calib/calib_view.h"
#include "calib/calibration.h"
#include "platform/controls.h"
#include "platform/widgets.h"

#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace calib {
namespace {

constexpr const char* kHelpCf = "Edit Box for the calibration factor.\nDefault value is 1024. "
                                "\nMinimum value is 0. \nMaximum value is 4096.";
constexpr const char* kHelpRaw = "Displays the RAW values of RED, GREEN and BLUE.";

// Hands the close box (and Escape) of the password panel to its panel
// callback; the panel is only hidden, so it can be shown again.
class PanelCloseFilter : public QObject {
public:
    explicit PanelCloseFilter(QDialog* panel) : QObject(panel), panel_(panel) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == panel_ && event->type() == QEvent::Close) {
            CBF_PASSWORDP(panel_, ctl::Event::Close);
            event->accept();
            return true;
        }
        return false;
    }

private:
    QDialog* panel_;
};

} // namespace

void WireCalibrationPage() {
    CalibrationPage& ui = Panels().calibration;
    // The decoration first: its binding also filters the widgets inside it,
    // and the filters installed later (the controls' own) are asked first,
    // so every control keeps its help text and its right double click.
    ctl::Bind(ui.decoration, nullptr, CBF_DecoCalibrate1);
    ctl::Bind(ui.sendCF,
              "Calibration factors for RED,GREEN and BLUE will be send to the EEPROM of the "
              "sensor.",
              CBF_ButtonSendCF);
    ctl::Bind(ui.getCF, "Calibration factors for RED,GREEN and BLUE will be read from the sensor.",
              CBF_ButtonGetCF);
    ctl::Bind(ui.calcCF, "Calculate the calibration factors for RED, GREEN and BLUE. ",
              CBF_ButtonCalcCF);
    ctl::Bind(ui.selfCalibration,
              " Sensor calculates the calibration factors for RED, GREEN and BLUE. ",
              CBF_ButtonStartSelfCalibration);
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
    InstallCalibrationDisplays();

    // The password panel: the field is checked on Enter. Wired once per
    // panel, however often the pages are wired.
    PasswordPanel& pw = Panels().password;
    if (pw.panel->property("c3Wired").toBool()) {
        return;
    }
    pw.panel->setProperty("c3Wired", true);
    QObject::connect(pw.password, &QLineEdit::returnPressed, pw.password,
                     [field = pw.password] { CBF_StringEnterPW(field, ctl::Event::Commit); });
    pw.panel->installEventFilter(new PanelCloseFilter(pw.panel));
}

void WireOffsetPage() {
    OffsetPage& ui = Panels().offset;
    ctl::Bind(ui.send,
              "Offset values for RED,GREEN and BLUE will be send to the EEPROM of the sensor.",
              CBF_ButtonSendOffset);
    ctl::Bind(ui.get, "Offset values for RED,GREEN and BLUE will be read from the sensor.",
              CBF_ButtonGetOffset);
    ctl::Bind(ui.calc, "Detect the offset values for RED, GREEN and BLUE. ", CBF_ButtonCalcOffset);
    ctl::Bind(ui.close, "Close PANEL and return to MAIN PANEL. ",
              CBF_ButtonCloseOffsetCompensation);
    for (ctl::U16Spin* field : ui.offset) {
        ctl::Bind(field, "Edit Box for the offset values. ", {});
    }
}

} // namespace calib
