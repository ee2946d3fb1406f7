// Calibration and offset compensation: reading and writing the three
// calibration factors and the three offsets (orders 101, 102), the white
// calibration computed on the PC from 100 live frames, the sensor's self
// calibration (order 103), the offset measurement with the receiver
// covered (order 100), and the password that opens the offset page.
#pragma once

#include "calib/calib_math.h"
#include "platform/controls.h"

namespace calib {

// Order 102: CFs and offsets into their six fields. 1 on success, -1 after
// a failure the link has reported.
int GetCF();
// Order 101 with the three CF fields (parameter 0) or the three offset
// fields (parameter 1); a plausibility code in the answer is reported.
int SendCF();
int SendOffset();

// The white calibration's sampling: 100 live frames, their raw values shown
// and summed, then SetCF with the means. Returns false when a frame failed
// to arrive (the link has reported it): no factors are computed then.
bool CalcCF();
// Checks the means and, when they allow it, puts the new factors into the
// CF fields. Returns the outcome.
CfOutcome SetCF(const WhiteMeans& means);

// Order 103: the sensor's own factors, SETVALUE and MAXIMUM DELTA shown.
void StartSelfCalibration();
// Order 100 (offsets measured by the sensor), then GetCF.
void CalcOffset();

int CBF_ButtonSendCF(QWidget*, ctl::Event);
int CBF_ButtonGetCF(QWidget*, ctl::Event);
int CBF_ButtonCalcCF(QWidget*, ctl::Event);
int CBF_ButtonStartSelfCalibration(QWidget*, ctl::Event);
int CBF_DecoCalibrate1(QWidget*, ctl::Event);
int CBF_ButtonSendOffset(QWidget*, ctl::Event);
int CBF_ButtonGetOffset(QWidget*, ctl::Event);
int CBF_ButtonCalcOffset(QWidget*, ctl::Event);
int CBF_ButtonCloseOffsetCompensation(QWidget*, ctl::Event);
int CBF_StringEnterPW(QWidget*, ctl::Event);
int CBF_PASSWORDP(QWidget*, ctl::Event);

// True while a white calibration (sampling, sending, GO mode) runs.
bool WhiteCalibrationRunning();
// Start state of the module (start-up, tests).
void ResetCalibrationState();

inline constexpr const char* kPassword = "tarvik";
inline constexpr const char* kTextWhiteTarget =
    "Make sure, that the sensor shines on a WHITE target! \nSelect a proper POWER value that the "
    "RAW DATAS are within the dynamic range.  \nRepeat as long as the intensity for the RAW DATAS "
    "is NOT OK.";
inline constexpr const char* kTextConfirmCalculation =
    "Are you sure, that you have selected the right calibration parameters? ";
inline constexpr const char* kTextInsertRightValues =
    "Please insert the right values and press \n CALCULATE CALIBRATION FACTORS again.";
inline constexpr const char* kTextDeltaTooHigh =
    "The maximum delta of the raw data values RED,GREEN and BLUE is to high. \nCalibration is not "
    "possible. \nVerify, that the sensor shines on a WHITE target! \nIncrease MAXIMUM DELTA OF RAW "
    "DATAS! ";
inline constexpr const char* kTextCfOutOfRange =
    "One of the calibration factor is out of range. \nCalibration is not possible. \nVerify, that "
    "the senor shines on a WHITE target! \nChoose a proper POWER value. ";
inline constexpr const char* kTextCalibrationPassed =
    "Calibration successful! \nCalibration factors were sent to the EEPROM of the sensor. \nGO "
    "mode will be activated. ";
inline constexpr const char* kTextConfirmSelfCalibration =
    "Confirm calibration factors with SEND CF.";
inline constexpr const char* kTextCoverReceiver =
    "Make sure, that the receiver of the sensor is covered!";
inline constexpr const char* kTextWrongPassword = "Wrong password. \nPlease try again.";
inline constexpr const char* kTextCalibPlausibility =
    " PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT VALUE!";

} // namespace calib
