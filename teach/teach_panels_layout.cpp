#include "teach/teach_ui.h"

#include <QDialog>

namespace teach {

void BuildTeachMeanPanel(QWidget* panel, TeachMeanPanel* ui) {
    (void)ui;
    (void)panel;
}

void BuildTeachGraphPanel(QWidget* panel, TeachGraphPanel* ui) {
    (void)ui;
    (void)panel;
}

} // namespace teach
