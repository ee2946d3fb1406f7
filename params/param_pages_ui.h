// Controls of the parameter page (main tab page 1) and the group/hold page (page 2).
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
namespace ctl {
class Ring;
class Slider;
class U16Spin;
class U16Table;
} // namespace ctl

namespace params {

struct ParameterPage {
    ctl::Slider* power = nullptr;       // POWER 0..1000
    ctl::U16Spin* powerValue = nullptr; // numeric twin of the slider (same value)
    ctl::Ring* powerMode = nullptr;     // STAT 0, DYN 1
    ctl::Ring* ledMode = nullptr;       // DC 0, AC 1, PULSE 2, OFF 3
    ctl::Ring* gain = nullptr;          // AMP1..AMP8 = 0..7
    ctl::U16Spin* dynWinLo = nullptr;
    ctl::U16Spin* dynWinHi = nullptr;
    ctl::U16Spin* average = nullptr;
    ctl::U16Spin* integral = nullptr;     // 0..250
    ctl::U16Spin* maxVecNo = nullptr;     // MAXCOL-No.
    ctl::Ring* digitalOutmode = nullptr;  // DIRECT HI 0, BINARY 1, DIRECT LO 2
    ctl::U16Spin* intLim = nullptr;       // INTLIM
    ctl::Ring* evaluationMode = nullptr;  // FIRST HIT 0 .. THD RGB 4
    ctl::Ring* calculationMode = nullptr; // X Y INT 2D 0 .. s i M 3D 3
    ctl::Ring* externTeach = nullptr;     // OFF 0, ON 1, STAT1 2, DYN1 3
    ctl::Ring* trigger = nullptr;         // CONT 0, SELF 1 [, EXT1 2 .. PARA 6]
};

struct GroupHoldPage {
    QCheckBox* colorGroup = nullptr;     // colour-group switch
    ctl::U16Table* groupTable = nullptr; // 31 rows: value, colour swatch
    QPushButton* resetGroups = nullptr;
    ctl::U16Table* holdTable = nullptr; // 32 rows: value, colour swatch (row 1 = fail state)
    QLabel* holdLabel = nullptr;        // the HOLD caption
    ctl::U16Spin* resetHold = nullptr;  // value for the hold table's RESET
    QPushButton* resetHoldTable = nullptr;
};

void BuildParameterPage(QWidget* page, ParameterPage* ui);
void BuildGroupHoldPage(QWidget* page, GroupHoldPage* ui);

// The panels of this subsystem, owned by the window that builds them and
// given to the subsystem's views.
struct ParamPanels {
    ParameterPage para;
    GroupHoldPage groupHold;
};

} // namespace params
