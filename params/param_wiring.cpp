// Wiring of the parameter page and the group/hold page: help texts and
// callbacks, in one place.
#include "params/param_callbacks.h"
#include "params/param_pages_ui.h"
#include "platform/widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace params {
namespace {

constexpr const char* kHelpPower =
    "Select the intensity of the transmitter LED. \n0 = no intensity,  1000 = full intensity.";
constexpr const char* kHelpPmode =
    "Select the operating mode of the transmitter unit. \n\nSTAT: Transmitter power is constantly "
    "kept at the POWER-SLIDER value. \n\nDYN : Transmitter power is dynamically tuned in "
    "accordance with the amount of radiation that \n      is diffusely reflected from the target. "
    "Sensor should not exceed the dynamic range. \n      The dynamic range can be selected with "
    "DYN WIN LO and DYN WIN HI.";
constexpr const char* kHelpLedMode =
    "Select the LED operation mode. \nDC: Light source is permanant on. \nAC: Light source is "
    "modulated. \nPULSE: Light source is pulsed. \nOFF: Light source is off.";
constexpr const char* kHelpGain =
    "Select a amplification stage of the receicer. \nAMP1 is the lowest amplification. \nAMP8 is "
    "the highest amplification. ";
constexpr const char* kHelpDynWin =
    "Select a window for dynamic \nregaluation when PMOD = DYNAMIC.";
constexpr const char* kHelpAverage = "Select the number of scanning values (measured values) "
                                     "\nover which the raw signal is averaged (meanvalue!).";
constexpr const char* kHelpIntegral =
    "Select the number (0...250) of values \nover which the raw signal is integrated.";
constexpr const char* kHelpMaxVecNo =
    "Select the number of color vectors which should be \nchecked in the TEACH TABLE beginning "
    "with row 0. \n\nAktive rows in the TEACH TABLE are \nlabelled green, inactive are labelled "
    "red.";
constexpr const char* kHelpDigOutmode =
    "Select how to control the 5 digital outputs. \n\nBINARY: \nThe detected row number "
    "(0...30) is output as a binary number at OUT0...OUT4. \nAll outputs are HI when no color is "
    "detected. \n\nDIRECT LO: \nOne output per row (rows 0...4) or per group (groups 0...4) goes "
    "LO, \nthe other outputs are HI. \nAll outputs are HI when no color is detected. \n\nDIRECT "
    "HI: \nOne output per row (rows 0...4) or per group (groups 0...4) goes HI, \nthe other "
    "outputs are LO. \nAll outputs are LO when no color is detected.";
constexpr const char* kHelpIntlim =
    "Select an intensity limit. \nColor evaluation is stopped, if the current intensity INT or M "
    "falls below this limit. \nERROR STATE is output (C-No: = 255). \n\n ATTENTION: If POWER MODE "
    "= DYN. Display INT or M shows the transmitter power. \n The sensor still calculates the real "
    "INT or M and compares it with INTLIM.";
constexpr const char* kHelpEvalmode =
    "HIT = Current detected signal lies within a taught row in the teach table. \n\nFIRST HIT: "
    "The first hit in the TEACH TABLE is output. \n\nBEST HIT: The hit with the shortest distance "
    "to the taught color is output. \n\nMIN DIST: The row whose color center is nearest is "
    "output, \nprovided that INT (or M) lies within ITO (or MTO). \n\nCOL5: Several rows can be "
    "output at the same time, \none row per digital output (rows 0...4). \n\nTHD RGB: The raw "
    "channels are compared with thresholds. \nOUT0 is HI when RED exceeds THD of row 0, \nOUT1 "
    "when GREEN exceeds THD of row 1, \nOUT2 when BLUE exceeds THD of row 2.";
constexpr const char* kHelpCalcmode =
    "Select a calculation mode: \nX Y INT - 2D = X/Y pairs and intensity. \ns i   M - 2D = s/i "
    "pairs and M. \nX Y INT - 3D = X/Y/INT pairs. \ns i   M - 3D = s/i/M pairs.";
constexpr const char* kHelpExteach =
    "Select external teach mode. \n\nOFF: No external teach. \n\nON: All rows are taught through "
    "the input IN0 \nand stored in the EEPROM of the sensor. \n\nSTAT1: Row 0 is taught into RAM "
    "\nwith the power of the POWER-SLIDER. \n\nDYN1: Row 0 is taught into RAM after the power has "
    "been \nadjusted dynamically when IN0 goes high. \nNot possible with LED MODE = OFF. "
    "\n\nEVALUATION MODE FIRST HIT: \nThe taught rows are checked in the order of the TEACH "
    "TABLE. \n\nEVALUATION MODE THD RGB: \nWhile IN0 is high the maximum and minimum of each "
    "channel are taken; \nthe threshold is set to (MAX+MIN)/2.";
constexpr const char* kHelpTrigger =
    "Select the trigger mode for the sensor. \n\nCONT: Continuous color detection (no trigger "
    "event required). \n\nSELF: The sensor triggers itself while the current color is not color "
    "0 \nand holds the most frequent color when color 0 returns. \n\nEXT1: Color detection while "
    "IN0 is high; \nthe most frequent color is held afterwards. \n\nEXT2: Color detection while "
    "IN0 is high; \nthe last color is held afterwards. \n\nEXT3: Color detection while IN0 is "
    "high; \nthe fail state is output afterwards. \n\nTRANS: The transmitter is switched on while "
    "IN0 is high. \n\nPARA: Parameter set 0 is used while IN0 is low, \nparameter set 1 while IN0 "
    "is high. \n\nLED TRIG is green when the sensor is triggered.";
constexpr const char* kHelpHold = "Select the minimum pulse length when a digital output changes.";
constexpr const char* kHelpColorGroups =
    "Activate color groups. \nNot possible when EVALMODE=COL5.";
constexpr const char* kHelpResetHold =
    "Table Hold will be set to this value \nwhen Button RESET is pressed.";
constexpr const char* kHelpResetGroups = "Reset the GROUP TABLE. \nAll cells are set to 0.";
constexpr const char* kHelpResetHoldTable =
    "Reset the HOLD TABLE. \nAll cells are set the value \nin the Edit Box.";

} // namespace

void ParamPageCallbacks::WireParameterPages() {
    // Each control calls this view's callback of the same name while the
    // view lives.
    const auto to = [this](int (ParamPageCallbacks::*callback)(QWidget*, ctl::Event)) {
        return [this, alive = std::weak_ptr<void>(alive_), callback](QWidget* w, ctl::Event e) {
            if (!alive.expired()) {
                (this->*callback)(w, e);
            }
        };
    };
    ParamPanels& p = panels_;
    ParameterPage& u = p.para;
    ctl::Bind(u.power, kHelpPower, to(&ParamPageCallbacks::CBF_SlidePower));
    ctl::Bind(u.powerValue, kHelpPower, to(&ParamPageCallbacks::CBF_SlidePower));
    ctl::Bind(u.powerMode, kHelpPmode, to(&ParamPageCallbacks::CBF_EditPmode));
    ctl::Bind(u.ledMode, kHelpLedMode, to(&ParamPageCallbacks::CBF_EditLedMode));
    ctl::Bind(u.gain, kHelpGain, to(&ParamPageCallbacks::CBF_EditGain));
    ctl::Bind(u.dynWinLo, kHelpDynWin, to(&ParamPageCallbacks::CBF_EditDynWinLoHi));
    ctl::Bind(u.dynWinHi, kHelpDynWin, to(&ParamPageCallbacks::CBF_EditDynWinLoHi));
    ctl::Bind(u.average, kHelpAverage, to(&ParamPageCallbacks::CBF_EditAverage));
    ctl::Bind(u.integral, kHelpIntegral, to(&ParamPageCallbacks::CBF_EditIntegral));
    ctl::Bind(u.maxVecNo, kHelpMaxVecNo, to(&ParamPageCallbacks::CBF_EditMaxVecNo));
    ctl::Bind(u.digitalOutmode, kHelpDigOutmode, to(&ParamPageCallbacks::CBF_EditDigOutmode));
    ctl::Bind(u.intLim, kHelpIntlim, to(&ParamPageCallbacks::CBF_EditIntlim));
    ctl::Bind(u.evaluationMode, kHelpEvalmode, to(&ParamPageCallbacks::CBF_EditEvalmode));
    ctl::Bind(u.calculationMode, kHelpCalcmode, to(&ParamPageCallbacks::CBF_EditCalcmode));
    ctl::Bind(u.externTeach, kHelpExteach, to(&ParamPageCallbacks::CBF_EditExteach));
    ctl::Bind(u.trigger, kHelpTrigger, to(&ParamPageCallbacks::CBF_EditTrigger));

    GroupHoldPage& g = p.groupHold;
    ctl::Bind(g.holdLabel, kHelpHold, to(&ParamPageCallbacks::CBF_EditHold));
    ctl::Bind(g.holdTable, kHelpHold, to(&ParamPageCallbacks::CBF_EditGridHold));
    ctl::Bind(g.groupTable, nullptr, to(&ParamPageCallbacks::CBF_EditGridGroups));
    ctl::Bind(g.colorGroup, kHelpColorGroups, to(&ParamPageCallbacks::CBF_EditColorGroups));
    ctl::Bind(g.resetHold, kHelpResetHold, to(&ParamPageCallbacks::CBF_EditResetHold));
    ctl::Bind(g.resetGroups, kHelpResetGroups, to(&ParamPageCallbacks::CBF_ButtonResetGroupTable));
    ctl::Bind(g.resetHoldTable, kHelpResetHoldTable,
              to(&ParamPageCallbacks::CBF_ButtonResetHoldTable));
}

} // namespace params
