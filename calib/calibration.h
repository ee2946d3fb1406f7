// The calibration's texts: the password that opens the offset page, and
// the questions and reports of the white calibration, the self calibration
// and the offset measurement, as the user reads them. The behaviour is the
// calibration view's (calib/calib_view.h).
#pragma once

namespace calib {

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
