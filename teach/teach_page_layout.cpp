#include "teach/teach_ui.h"

#include <QDialog>

namespace teach {

void BuildTeachPage(QWidget* page, TeachPage* ui) {
    (void)ui;
    (void)page;
}

} // namespace teach
