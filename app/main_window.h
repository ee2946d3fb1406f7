// The main panel's window: forwards its close box and right double click to
// the main panel callback and carries the F9..F12 shortcuts.
#pragma once

#include <QWidget>

#include <functional>

namespace app {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    std::function<void()> onClose;
    std::function<void()> onRightDoubleClick;

protected:
    void closeEvent(QCloseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

} // namespace app
