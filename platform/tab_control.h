// A tab control whose page selectors are laid out as a grid of buttons, so
// that many pages fit into a narrow column. Pages can be hidden.
#pragma once

#include <QSize>
#include <QTabWidget>
#include <QWidget>

#include <vector>

class QButtonGroup;
class QGridLayout;
class QStackedWidget;
class QToolButton;

namespace ctl {

// A tab widget for pages whose values change many times a second. A plain
// one lays itself out anew and repaints itself whole whenever a label on a
// page changes its text, as a page's layout always passes its request on;
// this one does so only when its own size or what it holds would place
// the tab bar or the pages differently.
class PageTabs : public QTabWidget {
    Q_OBJECT
public:
    using QTabWidget::QTabWidget;

protected:
    bool event(QEvent* e) override;

private:
    struct Placement {
        QSize size, barHint, hint, minimumHint;
        int index = -1;
        bool operator==(const Placement&) const = default;
    };
    Placement Now() const;
    Placement laidOut_;
};

class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr, int buttonsPerRow = 3);
    // Adds a page and returns it (a new empty widget for the page's controls).
    QWidget* AddPage(const QString& label);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    QWidget* Page(int index) const;
    int ActivePage() const { return active_; }
    // Changes the page from code: no activePageChanged signal.
    void SetActivePage(int index);
    void SetPageVisible(int index, bool visible);
    bool IsPageVisible(int index) const;
    QToolButton* PageButton(int index) const;
signals:
    // The user chose another page.
    void activePageChanged(int index);

private:
    void Show(int index);
    std::vector<QWidget*> pages_;
    std::vector<QToolButton*> buttons_;
    QButtonGroup* group_;
    QGridLayout* buttonGrid_;
    QStackedWidget* stack_;
    int buttonsPerRow_;
    int active_ = -1;
};

} // namespace ctl
