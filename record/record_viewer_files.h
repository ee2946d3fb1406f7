// The record viewer's files beside the record, free of widgets: the marks
// kept for a record file in a small file of their own (never in the record
// file), a span of frames as CSV, a span named on the command line, and the
// list of record files opened lately.
#pragma once

#include "record/record_reader.h"
#include "record/record_series.h"

#include <cstddef>
#include <string>
#include <vector>

namespace record {

// A frame marked with a note. Frames count from 0 here; the file holds them
// counted from 1, as the viewer shows them.
struct FrameMark {
    size_t frame = 0;
    std::string note; // UTF-8, one line
    bool operator==(const FrameMark&) const = default;
};

// The marks file of a record file: its name with ".marks" appended.
std::string MarksPathOf(const std::string& recordPath);
// Reads the marks of `marksPath`; a missing file holds none (true). False
// with the reason when the file exists but cannot be read. Lines that do not
// parse are passed over.
bool ReadMarks(const std::string& marksPath, std::vector<FrameMark>* marks, std::string* error);
// Writes the marks (sorted by frame) to a temporary file that then takes
// `marksPath`'s place; no marks remove the file. False with the system's
// reason when it cannot be written.
bool WriteMarks(const std::string& marksPath, const std::string& recordName,
                const std::vector<FrameMark>& marks, const RecordRun& run, std::string* error);

// Date and time of a frame as ISO 8601 ("2026-12-08T10:00:00", the file's
// local time) and as the record file writes it ("12-08-2026 10:00:00").
std::string IsoTime(int64_t seconds);
std::string RecordFileTime(int64_t seconds);

// The frames `frames` (those passing `filter`) as CSV: a caption line, then
// per frame its number (from 1), its line in the record file, its ISO 8601
// time and the eleven fields, separated by commas.
std::string SpanCsv(const RecordRun& run, FrameRange frames, const FrameFilter& filter = {});

// A span "FROM:TO" of frame numbers (from 1, "12:400") or of ISO 8601 times
// ("2026-12-08T06:00:00:2026-12-08T14:00:00"); either side may be left
// empty for the run's first or last frame. False with the reason when the
// text is no span or selects no frame.
bool ParseSpan(const std::string& text, const RecordRun& run, const std::vector<double>& timeX,
               FrameRange* frames, std::string* error);

// Record files opened lately, newest first, kept in the text file at
// `listPath`, one name a line (at most kRecentFiles).
constexpr size_t kRecentFiles = 8;
std::vector<std::string> ReadRecentFiles(const std::string& listPath);
// Puts `file` first in the list and writes it (temporary file and rename).
bool AddRecentFile(const std::string& listPath, const std::string& file, std::string* error);

} // namespace record
