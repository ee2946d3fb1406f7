#include "app/main_window.h"

#include <QCloseEvent>
#include <QMouseEvent>

namespace app {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {}

void MainWindow::closeEvent(QCloseEvent* e) {
    // The program decides when the window goes: the callback ends the event loop.
    e->ignore();
    if (onClose) {
        onClose();
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton && onRightDoubleClick) {
        onRightDoubleClick();
        return;
    }
    QWidget::mouseDoubleClickEvent(e);
}

} // namespace app
