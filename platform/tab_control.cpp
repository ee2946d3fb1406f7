#include "platform/tab_control.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ctl {

TabControl::TabControl(QWidget* parent, int buttonsPerRow)
    : QWidget(parent), group_(new QButtonGroup(this)), buttonGrid_(new QGridLayout()),
      stack_(new QStackedWidget(this)), buttonsPerRow_(buttonsPerRow) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    buttonGrid_->setSpacing(1);
    layout->addLayout(buttonGrid_);
    stack_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(stack_, 1);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != active_) {
            Show(id);
            emit activePageChanged(id);
        }
    });
}

QWidget* TabControl::AddPage(const QString& label) {
    const int index = PageCount();
    auto* button = new QToolButton(this);
    button->setText(label);
    button->setCheckable(true);
    button->setAutoRaise(false);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setFocusPolicy(Qt::TabFocus);
    group_->addButton(button, index);
    buttonGrid_->addWidget(button, index / buttonsPerRow_, index % buttonsPerRow_);
    buttons_.push_back(button);

    // Pages scroll when the window is smaller than their content.
    auto* scroll = new QScrollArea(stack_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget();
    scroll->setWidget(page);
    stack_->addWidget(scroll);
    pages_.push_back(page);
    if (active_ < 0) {
        Show(0);
    }
    return page;
}

QWidget* TabControl::Page(int index) const {
    return index >= 0 && index < PageCount() ? pages_[index] : nullptr;
}

QToolButton* TabControl::PageButton(int index) const {
    return index >= 0 && index < PageCount() ? buttons_[index] : nullptr;
}

void TabControl::SetActivePage(int index) {
    if (index >= 0 && index < PageCount()) {
        Show(index);
    }
}

void TabControl::Show(int index) {
    active_ = index;
    stack_->setCurrentIndex(index);
    buttons_[index]->setChecked(true);
}

void TabControl::SetPageVisible(int index, bool visible) {
    if (index < 0 || index >= PageCount()) {
        return;
    }
    buttons_[index]->setVisible(visible);
    // Re-flow the visible buttons so that no gap remains.
    int slot = 0;
    for (int i = 0; i < PageCount(); ++i) {
        buttonGrid_->removeWidget(buttons_[i]);
    }
    for (int i = 0; i < PageCount(); ++i) {
        if (!buttons_[i]->isHidden()) {
            buttonGrid_->addWidget(buttons_[i], slot / buttonsPerRow_, slot % buttonsPerRow_);
            ++slot;
        }
    }
}

bool TabControl::IsPageVisible(int index) const {
    return index >= 0 && index < PageCount() && !buttons_[index]->isHidden();
}

PageTabs::Placement PageTabs::Now() const {
    return {size(), tabBar()->sizeHint(), sizeHint(), minimumSizeHint(), currentIndex()};
}

bool PageTabs::event(QEvent* e) {
    if (e->type() == QEvent::LayoutRequest && isVisible()) {
        const Placement now = Now();
        if (now == laidOut_) {
            return true; // the tab bar and the pages stay where they are
        }
        laidOut_ = now;
    }
    return QTabWidget::event(e);
}

} // namespace ctl
