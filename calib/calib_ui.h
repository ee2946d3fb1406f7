// Controls of the calibration page (main tab page 5), the offset page
// (page 8, hidden until the password is given) and the password panel.
#pragma once

#include <QWidget>

class QFrame;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QDialog;
namespace ctl {
class NumDisplay;
class U16Spin;
} // namespace ctl

namespace calib {

struct CalibrationPage {
    ctl::U16Spin* cf[3] = {};         // CF RED GREEN BLUE, 0..4096
    ctl::U16Spin* setValue = nullptr; // SETVALUE
    ctl::U16Spin* maxDelta = nullptr; // MAXIMUM DELTA
    QPushButton* sendCF = nullptr;
    QPushButton* getCF = nullptr;
    QPushButton* calcCF = nullptr;
    QPushButton* selfCalibration = nullptr;
    QProgressBar* rawBar[3] = {}; // RAW RED GREEN BLUE as bars
    ctl::NumDisplay* raw[3] = {}; // and as numbers
    ctl::NumDisplay* rawDelta = nullptr;
    QFrame* decoration = nullptr; // right double click asks for the password
};

struct OffsetPage {
    ctl::U16Spin* offset[3] = {}; // OFFSET RED GREEN BLUE
    QPushButton* send = nullptr;
    QPushButton* get = nullptr;
    QPushButton* calc = nullptr;
    QPushButton* close = nullptr;
};

struct PasswordPanel {
    QDialog* panel = nullptr;
    QLineEdit* password = nullptr; // at most 20 characters, shown as "*"
};

void BuildCalibrationPage(QWidget* page, CalibrationPage* ui);
void BuildOffsetPage(QWidget* page, OffsetPage* ui);
void BuildPasswordPanel(QDialog* panel, PasswordPanel* ui);

// The panels of this subsystem. The window owns them and gives them to the
// calibration view.
struct CalibPanels {
    CalibrationPage calibration;
    OffsetPage offset;
    PasswordPanel password;
};

} // namespace calib
