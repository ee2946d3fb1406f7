// The record file: a text file a spreadsheet opens directly. A header
// (title, optional panel identification, an empty line, the tab-separated
// column captions), then one line per recorded frame with date and time and
// the eleven frame fields. Every line ends in CR LF.
//
// Lines are appended one write at a time to a file opened for appending and
// closed again, so every completed line is in the file at once, another
// program may open the file between two lines, and a program that is killed
// leaves a file whose last line is complete or absent. The steps of both
// writes pass the test hook of inifile/file_write_hook.h.
#pragma once

#include "live/live_frame.h"

#include <ctime>
#include <string>

namespace record {

inline constexpr const char* kRecordFileTitle = "RECORD RESULTS OF: ";
inline constexpr const char* kPanelIdCaption = "PANEL ID: ";
// The thirteen column captions, in file order.
inline constexpr const char* kRecordColumns[] = {"DATE",  "TIME",    "RED",   "GREEN",   "BLUE",
                                                 "X s",   "Y i",     "INT M", "delta C", "COLOR",
                                                 "GROUP", "TRIGGER", "TEMP"};
// The frame fields of a data line, in file order (after date and time).
inline constexpr live::LiveField kRecordFields[] = {
    live::kRed,    live::kGreen, live::kBlue,  live::kX,       live::kY,   live::kInt,
    live::kDeltaC, live::kColor, live::kGroup, live::kTrigger, live::kTemp};

// The header: a line feed, the title line, the "PANEL ID: " line only when
// `panelId` is not empty, an empty line and the column line. The panel ID
// (UTF-8) is written as the settings file writes texts (filetext::ToFile:
// Windows-1252 where it fits, UTF-8 otherwise).
std::string RecordFileHeader(const std::string& programTitle, const std::string& panelId);

// Date as month-day-year ("07-04-2025") and time as hours:minutes:seconds
// ("09:05:03").
std::string RecordDateText(const std::tm& local);
std::string RecordClockText(const std::tm& local);

// One data line: date, tab, time, tab, the eleven fields as signed decimals
// separated by tabs, CR LF.
std::string RecordLine(const live::LiveDataFrameBytes& frame, const std::tm& local);

// Starts the file at `path` afresh with `text`: written to a temporary file
// beside it and renamed over it, so an old file is either replaced whole or
// left as it was. False with a reason in *error when it cannot be written.
bool StartRecordFile(const std::string& path, const std::string& text, std::string* error);

// Appends `line` to the file (created when missing) in a single write and
// closes it again. A write that does not complete is taken back, so the file
// never ends in half a line. False with a reason in *error.
// A file that is empty (just created) gets `headerIfEmpty` in front of the
// line, in the same write.
bool AppendRecordLine(const std::string& path, const std::string& line, std::string* error,
                      const std::string& headerIfEmpty = "");

// Appends the line of `frame` stamped with the local time now, as
// AppendRecordLine does (with `headerIfEmpty` in front in a new file).
bool AppendFrameLine(const std::string& path, const live::LiveDataFrameBytes& frame,
                     const std::string& headerIfEmpty, std::string* error);

} // namespace record
