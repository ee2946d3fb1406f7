// The decisions of the operating-mode rules, free of any panel: which
// controls a mode enables or forces, the limits of MAXCOL-No. and of the
// group numbers, and the teach grid headings of each mode.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace params {

// Consequences of LED mode, external teach and power mode for the
// transmitter controls.
struct PowerModeDecision {
    bool externTeachToOff = false; // DYN1 is impossible with the LED off
    bool powerModeToStat = false;
    bool powerModeEnabled = true;
    bool powerToZero = false;
    bool powerEnabled = true;
    bool dynWindowEnabled = false;
};
PowerModeDecision DecidePowerMode(uint16_t ledMode, uint16_t externTeach, uint16_t powerMode);

// What an evaluation mode makes of the controls and displays. FIRST HIT,
// BEST HIT and MIN DIST use the colour distance; COL5 and THD RGB put an
// output pattern on the digital outputs instead: no delta C or colour
// number, no colour groups, a fixed number of rows and BINARY output.
struct EvalModeDecision {
    bool known = true;          // an unknown mode leaves everything as it is
    bool distanceShown = true;  // delta C and colour number on the data panel
    int outputLeds = 0;         // output LEDs shown on the data panel
    bool outputPattern = false; // COL5, THD RGB
    uint16_t forcedRows = 0;    // MAXCOL-No. with an output pattern
    bool intLimEnabled = true;
    bool intLimToZero = false;
    bool calculationModeEnabled = true;
    bool triggerEnabled = true;
    bool triggerToCont = false;
    bool colourBigPanelHidden = false;
};
EvalModeDecision DecideEvalMode(uint16_t evaluationMode);

// What a TRIGGER mode makes of external teach and the parameter-set
// selectors: external teach only with CONT or SELF, set 1 only with PARA.
struct TriggerDecision {
    bool externTeachEnabled = true;
    bool externTeachToOff = false;
    bool paraSetSelectable = false; // otherwise set 0 is selected
};
TriggerDecision DecideTrigger(uint16_t trigger);

// Highest MAXCOL-No. the output mode and colour groups allow: 31 with BINARY
// output or with colour groups on, 5 with a direct output mode.
int MaxVecNoLimit(uint16_t digitalOutmode, bool colorGroupsOn);
// Highest group number: 30 with BINARY output, 4 with a direct output mode.
int HighestGroup(uint16_t digitalOutmode);

// Teach grid column headings (columns 1..5) for the modes; false when the
// calculation mode is unknown (the headings are then left as they are).
bool TeachGridHeadings(uint16_t calculationMode, uint16_t evaluationMode,
                       std::array<std::string, 5>* headings);

// Column of the teach grid (1-based) that MIN DIST does not use: CTO/siTO in
// the 2D modes, TOL in the 3D modes; 0 in the other evaluation modes.
int UnusedToleranceColumn(uint16_t calculationMode, uint16_t evaluationMode);

// Row label colours of the active rows and the others.
constexpr uint32_t kActiveRowColor = 0x008000;
constexpr uint32_t kInactiveRowColor = 0xFF0000;
constexpr uint32_t kResetGroupCellColor = 0xFF0000;
constexpr uint32_t kGroupCellColor = 0xFFFFFF;

// Colours (text, background) of the first and second value displays: X and
// Y, or s and i.
constexpr uint32_t kXyValueColours[2][2] = {{0xE0E0E0, 0xFF0000}, {0xE0E0E0, 0x00FF00}};
constexpr uint32_t kSiValueColours[2][2] = {{0x00FF00, 0xFF0000}, {0x80FFFF, 0xFFFF00}};

// Label colour of teach row `row` (0..30): the first `maxVecNo` rows are
// checked by the sensor.
constexpr uint32_t RowLabelColour(int row, int maxVecNo) {
    return row < maxVecNo ? kActiveRowColor : kInactiveRowColor;
}

} // namespace params
