// Messages and titles of the recorder, exactly as the user sees them.
#pragma once

namespace record {

inline constexpr const char* kTitleAttention = "ATTENTION!";
inline constexpr const char* kTitleInfo = "INFO!";

inline constexpr const char* kTextNoFileSelected =
    "No filename was selected! \nRecording will not be done! ";
inline constexpr const char* kTextFileExists =
    "File already exist! \nDo you want to select existing file?";
inline constexpr const char* kTextMakeSure =
    " Make sure, that the file is not opened by any other program. \n Otherwise it can not be "
    "saved.";
inline constexpr const char* kTextRightFileName =
    "Are you sure, that you have selected the right file name?";
inline constexpr const char* kTextFileSaved = "File has been saved!";
// A line error of the serial port while waiting for a triggered frame.
inline constexpr const char* kTextPortError =
    "TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM SETTINGS. \nTRY TO CONNECT "
    "AGAIN!";
// A record file that cannot be written; the path and the reason follow.
inline constexpr const char* kTextCannotWrite = "THE RECORD FILE CAN NOT BE WRITTEN! \n";
// After kTextCannotWrite when a recording ended on it.
inline constexpr const char* kTextRecordingStopped =
    "\nRECORDING HAS BEEN STOPPED. \nTHE LINES RECORDED BEFORE ARE KEPT IN THE FILE.";

// File dialog of the record file.
inline constexpr const char* kRecordFileDefaultName = "RecordFile.dat";
inline constexpr const char* kRecordFileFilter = "*.dat";
inline constexpr const char* kRecordFileDialogTitle = "FILENAME!";

} // namespace record
