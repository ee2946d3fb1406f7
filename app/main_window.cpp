#include "app/main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace app {

namespace {

// The local record files among what is dragged.
std::vector<std::string> RecordFilesOf(const QMimeData* mime) {
    std::vector<std::string> files;
    for (const QUrl& url : mime->urls()) {
        const QString file = url.toLocalFile();
        if (!file.isEmpty() && file.endsWith(".dat", Qt::CaseInsensitive)) {
            files.push_back(file.toStdString());
        }
    }
    return files;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
    if (!RecordFilesOf(e->mimeData()).empty()) {
        e->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* e) {
    const std::vector<std::string> files = RecordFilesOf(e->mimeData());
    if (files.empty()) {
        return;
    }
    e->acceptProposedAction();
    if (onDropFiles) {
        onDropFiles(files);
    }
}

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
