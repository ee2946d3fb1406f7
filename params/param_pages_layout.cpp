#include "params/param_pages_ui.h"

#include <QDialog>

namespace params {

void BuildParameterPage(QWidget* page, ParameterPage* ui) {
    (void)ui;
    (void)page;
}

void BuildGroupHoldPage(QWidget* page, GroupHoldPage* ui) {
    (void)ui;
    (void)page;
}

} // namespace params
