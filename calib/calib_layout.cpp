#include "calib/calib_ui.h"

#include <QDialog>

namespace calib {

void BuildCalibrationPage(QWidget* page, CalibrationPage* ui) {
    (void)ui;
    (void)page;
}

void BuildOffsetPage(QWidget* page, OffsetPage* ui) {
    (void)ui;
    (void)page;
}

void BuildPasswordPanel(QDialog* panel, PasswordPanel* ui) {
    (void)ui;
    (void)panel;
}

} // namespace calib
