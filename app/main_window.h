// The main panel's window: forwards its close box and right double click to
// the main panel callback, carries the F9..F12 shortcuts and takes record
// files dropped on it.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace app {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    std::function<void()> onClose;
    std::function<void()> onRightDoubleClick;
    // Record files (.dat) dropped on the window.
    std::function<void(const std::vector<std::string>&)> onDropFiles;

protected:
    void closeEvent(QCloseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

} // namespace app
