#include "teach/teach_ui.h"

#include <QDialog>

namespace teach {

void BuildAttributesPage(QWidget* page, AttributesPage* ui) {
    (void)ui;
    (void)page;
}

} // namespace teach
