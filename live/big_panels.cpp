#include "live/big_panels.h"

#include "live/display_refresh.h"
#include "live/live_ui.h"

namespace live {
namespace {

void Open(QWidget* panel) {
    panel->show();
    panel->raise();
    RequestDisplay(kShowPanelData);
}

} // namespace

int CBF_DispCOL(QWidget*, ctl::Event e) {
    if (e == ctl::Event::LeftDoubleClick) {
        Open(Panels().colBig.panel);
    }
    return 0;
}

int CBF_DispGroup(QWidget*, ctl::Event e) {
    if (e == ctl::Event::LeftDoubleClick) {
        Open(Panels().grpBig.panel);
    }
    return 0;
}

int CBF_COLBIGP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightClick || e == ctl::Event::Close) {
        Panels().colBig.panel->hide();
    }
    return 0;
}

int CBF_GRPBIGP(QWidget*, ctl::Event e) {
    if (e == ctl::Event::RightClick || e == ctl::Event::Close) {
        Panels().grpBig.panel->hide();
    }
    return 0;
}

int CBF_DATAP(QWidget*, ctl::Event) {
    return 0;
}

} // namespace live
