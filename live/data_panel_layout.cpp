#include "live/live_ui.h"

#include <QDialog>

namespace live {

void BuildDataPanel(QWidget* panel, DataPanel* ui) {
    (void)ui;
    (void)panel;
}

} // namespace live
