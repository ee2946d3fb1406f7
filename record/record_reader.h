// Reading a record file back: the header is checked, every data line becomes
// one frame of the run, kept column by column (the time of each line and
// the eleven fields), so a run of a million lines stays small. Bytes are
// fed in pieces of any size, as a file is read in chunks or as a recording
// appends to it; a line is taken only once its line end (LF or CR LF) has
// arrived, so a line still being written waits.
//
// Data lines that do not parse (an impossible date such as 02-31 included)
// are skipped and counted, with the number of the first one; empty lines are
// passed over. Lines are numbered from 1 counting every line of the file,
// frames from 1 counting the data lines read. A UTF-8 byte order mark before
// the first line is passed over. A file whose header lacks the title line or
// the column line is refused with a text naming what is missing, an empty
// file as empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace record {

constexpr int kRecordFieldCount = 11;
// Captions of the eleven fields (RED .. TEMP), as the column line has them.
const char* RecordFieldName(int field);
// Field numbers of the columns the viewer reads specially.
constexpr int kFieldX = 3;
constexpr int kFieldY = 4;
constexpr int kFieldInt = 5;
constexpr int kFieldColor = 7;
constexpr int kFieldGroup = 8;

// A recorded run, column by column.
struct RecordRun {
    std::string title;   // after "RECORD RESULTS OF: "
    std::string panelId; // after "PANEL ID: " (UTF-8), empty without that line
    // Date and time of each line as seconds of a day count (days since
    // 1970-01-01 of the written date, times 86400, plus the time of day);
    // no time zone is involved, the file holds local time.
    std::vector<int64_t> seconds;
    std::vector<int32_t> field[kRecordFieldCount];
    // Where the file's line numbers jump (after a skipped or empty line):
    // from frame lineJumps[k].frame on (counted from 0), frame f stands in
    // line lineJumps[k].line + (f - lineJumps[k].frame).
    struct LineJump {
        size_t frame = 0;
        size_t line = 0;
    };
    std::vector<LineJump> lineJumps;

    size_t Frames() const { return seconds.size(); }
    int32_t Value(int f, size_t frame) const { return field[f][frame]; }
    // The file's line number (from 1) of frame `frame` (counted from 0).
    size_t LineOfFrame(size_t frame) const;
};

class RecordReader {
public:
    enum class State { Header, Data, Refused };

    // Parses the complete lines in `data` (with what an earlier call left
    // of an unfinished line) into `run`. Returns false once the file is
    // refused.
    bool Feed(const char* data, size_t length, RecordRun* run);

    State state() const { return state_; }
    // Why the file was refused.
    const std::string& refusal() const { return refusal_; }
    // Data lines skipped because they do not parse, and the line number
    // (from 1, counting every line of the file) of the first of them.
    size_t skippedLines() const { return skipped_; }
    size_t firstSkippedLine() const { return firstSkipped_; }
    // Lines seen so far, and bytes taken (up to the last complete line).
    size_t lines() const { return lineNo_; }
    uint64_t consumedBytes() const { return consumed_; }
    // Bytes fed so far (taken ones and those of an unfinished line).
    uint64_t fedBytes() const { return fed_; }
    // An unfinished last line is waiting for its line end.
    bool pendingLine() const { return !carry_.empty(); }
    // The header was read to its end and no data line has come yet: a file
    // ending here is a record file without records.
    bool headerComplete() const { return state_ == State::Data; }
    // Called when the whole file has been fed: a file still in its header
    // is refused naming what is missing (an empty one as empty).
    void Finish();
    // The file is complete (not being written): its last line is read even
    // without a line end, as a frame or as a skipped line.
    void TakeUnfinishedLine(RecordRun* run);

private:
    void Line(const char* begin, const char* end, RecordRun* run);
    void HeaderLine(const std::string& line, RecordRun* run);
    void Refuse(const std::string& why);

    State state_ = State::Header;
    std::string refusal_;
    std::string carry_; // bytes of a line whose end has not arrived
    size_t lineNo_ = 0;
    uint64_t consumed_ = 0;
    uint64_t fed_ = 0;
    size_t skipped_ = 0;
    size_t firstSkipped_ = 0;
    size_t lastFrameLine_ = 0; // the line of the last frame taken
    bool sawTitle_ = false;
};

// Parses one data line (without its line end). False when it is not
// "MM-DD-YYYY<TAB>HH:MM:SS" followed by eleven signed integers separated by
// tabs.
bool ParseRecordLine(const char* begin, const char* end, int64_t* seconds,
                     int32_t fields[kRecordFieldCount]);

// Reads the file at `path` into `run` from where `reader` stopped (its fed
// bytes) to the file's current end, in chunks of a few megabytes. The file is
// opened read-only and never changed. After each chunk `progress(done,
// total)` (bytes) is asked whether to go on; false cancels. False with a
// reason in *error when the file cannot be opened or read; a cancel is no
// error (true, with *cancelled set).
bool ReadRecordBytes(const std::string& path, RecordReader* reader, RecordRun* run,
                     const std::function<bool(uint64_t, uint64_t)>& progress, bool* cancelled,
                     std::string* error);

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysOfDate(int year, int month, int day);

} // namespace record
