#include "link/connect_page_ui.h"

#include <QDialog>

namespace conn {

void BuildConnectPage(QWidget* page, ConnectPage* ui) {
    (void)ui;
    (void)page;
}

} // namespace conn
