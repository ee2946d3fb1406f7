// The big colour-number and big group windows, opened by a double click on
// COLOR or GROUP of the data panel.
#pragma once

#include "platform/controls.h"

namespace live {

struct LivePanels;
class DisplayRefresh;

// The two big windows of one window's data panel.
class BigPanelsView {
public:
    BigPanelsView(LivePanels& panels, DisplayRefresh& refresh)
        : panels_(panels), refresh_(refresh) {}
    BigPanelsView(const BigPanelsView&) = delete;
    BigPanelsView& operator=(const BigPanelsView&) = delete;

    int CBF_DispCOL(QWidget*, ctl::Event);
    int CBF_DispGroup(QWidget*, ctl::Event);
    // A right click on a big panel or its close box hides it.
    int CBF_COLBIGP(QWidget*, ctl::Event);
    int CBF_GRPBIGP(QWidget*, ctl::Event);
    int CBF_DATAP(QWidget*, ctl::Event);

private:
    void Open(QWidget* panel);

    LivePanels& panels_;
    DisplayRefresh& refresh_;
};

} // namespace live
