#include "live/big_panels.h"

#include "live/display_refresh.h"
#include "live/live_ui.h"

namespace live {

void BigPanelsView::Open(QWidget* panel) {
    panel->show();
    panel->raise();
    refresh_.Request(kShowPanelData);
}

int BigPanelsView::CBF_DispCOL(QWidget*, ctl::Event e) {
    if (e == ctl::Event::LeftDoubleClick) {
        Open(panels_.colBig.panel);
    }
    return 0;
}

int BigPanelsView::CBF_DispGroup(QWidget*, ctl::Event e) {
    if (e == ctl::Event::LeftDoubleClick) {
        Open(panels_.grpBig.panel);
    }
    return 0;
}

int BigPanelsView::CBF_COLBIGP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightClick || e == ctl::Event::Close) {
        panels_.colBig.panel->hide();
    }
    return 0;
}

int BigPanelsView::CBF_GRPBIGP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightClick || e == ctl::Event::Close) {
        panels_.grpBig.panel->hide();
    }
    return 0;
}

int BigPanelsView::CBF_DATAP(QWidget*, ctl::Event) {
    return 0;
}

} // namespace live
