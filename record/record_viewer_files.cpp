#include "record/record_viewer_files.h"

#include "record/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {

// Year, month, day of a day count since 1970-01-01 (civil from days).
void DateOfDays(int64_t days, int* year, int* month, int* day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

struct Clock {
    int year, month, day, hour, minute, second;
};

Clock ClockOf(int64_t seconds) {
    Clock c{};
    const int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const int64_t rest = seconds - days * 86400;
    DateOfDays(days, &c.year, &c.month, &c.day);
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest / 60 % 60);
    c.second = static_cast<int>(rest % 60);
    return c;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// One side of a span: a frame number from 1 or an ISO 8601 time.
bool SpanEnd(const std::string& text, bool isEnd, const RecordRun& run,
             const std::vector<double>& timeX, size_t* frame) {
    const size_t n = run.Frames();
    if (text.empty()) {
        *frame = isEnd ? n : 0;
        return true;
    }
    if (text.find_first_not_of("0123456789") == std::string::npos && text.size() < 10) {
        const size_t number = std::stoul(text);
        if (number == 0) {
            return false;
        }
        *frame = std::min(n, isEnd ? number : number - 1);
        return true;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char t = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &year, &month, &day, &t, &hour,
                    &minute, &second, &used) != 7 ||
        static_cast<size_t>(used) != text.size() || (t != 'T' && t != ' ') || month < 1 ||
        month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    // On the viewer's time axis (where a clock set back is carried on).
    const double at = static_cast<double>(DaysOfDate(year, month, day) * 86400 + hour * 3600 +
                                          minute * 60 + second);
    const auto it = isEnd ? std::upper_bound(timeX.begin(), timeX.end(), at + 0.999999)
                          : std::lower_bound(timeX.begin(), timeX.end(), at);
    *frame = static_cast<size_t>(it - timeX.begin());
    return true;
}

} // namespace

std::string MarksPathOf(const std::string& recordPath) {
    return recordPath + ".marks";
}

bool ReadMarks(const std::string& marksPath, std::vector<FrameMark>* marks, std::string* error) {
    marks->clear();
    std::ifstream in(marksPath, std::ios::binary);
    if (!in) {
        if (!FileExists(marksPath)) {
            return true;
        }
        *error = "cannot read the file: " + std::string(std::strerror(errno));
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos || tab == 0 ||
            line.find_first_not_of("0123456789") != tab || tab > 9) {
            continue;
        }
        const size_t number = std::stoul(line.substr(0, tab));
        // FRAME, LINE, NOTE; the line number is there for a reader of the file.
        const size_t second = line.find('\t', tab + 1);
        if (number == 0 || second == std::string::npos) {
            continue;
        }
        marks->push_back({number - 1, line.substr(second + 1)});
    }
    std::sort(marks->begin(), marks->end(),
              [](const FrameMark& a, const FrameMark& b) { return a.frame < b.frame; });
    return true;
}

bool WriteMarks(const std::string& marksPath, const std::string& recordName,
                const std::vector<FrameMark>& marks, const RecordRun& run, std::string* error) {
    if (marks.empty()) {
        if (::unlink(marksPath.c_str()) != 0 && errno != ENOENT) {
            *error = "cannot remove the file: " + std::string(std::strerror(errno));
            return false;
        }
        return true;
    }
    std::vector<FrameMark> sorted = marks;
    std::sort(sorted.begin(), sorted.end(),
              [](const FrameMark& a, const FrameMark& b) { return a.frame < b.frame; });
    std::string text = "# Marks of the record file " + recordName +
                       ": FRAME (from 1), LINE of the record file, NOTE\n";
    for (const FrameMark& m : sorted) {
        std::string note = m.note;
        std::replace_if(
            note.begin(), note.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
            ' ');
        const std::string line =
            m.frame < run.Frames() ? std::to_string(run.LineOfFrame(m.frame)) : "";
        text += std::to_string(m.frame + 1) + "\t" + line + "\t" + note + "\n";
    }
    return StartRecordFile(marksPath, text, error);
}

std::string IsoTime(int64_t seconds) {
    const Clock c = ClockOf(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day,
                  c.hour, c.minute, c.second);
    return text;
}

std::string RecordFileTime(int64_t seconds) {
    const Clock c = ClockOf(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", c.month, c.day, c.year,
                  c.hour, c.minute, c.second);
    return text;
}

std::string SpanCsv(const RecordRun& run, FrameRange frames, const FrameFilter& filter) {
    std::string text = "FRAME,LINE,TIME";
    for (int f = 0; f < kRecordFieldCount; ++f) {
        text += std::string(",") + RecordFieldName(f);
    }
    text += "\n";
    frames.last = std::min(frames.last, run.Frames());
    char number[16];
    for (size_t i = frames.first; i < frames.last; ++i) {
        if (!filter.Passes(run, i)) {
            continue;
        }
        text += std::to_string(i + 1) + "," + std::to_string(run.LineOfFrame(i)) + "," +
                IsoTime(run.seconds[i]);
        for (int f = 0; f < kRecordFieldCount; ++f) {
            std::snprintf(number, sizeof number, ",%d", run.Value(f, i));
            text += number;
        }
        text += "\n";
    }
    return text;
}

bool ParseSpan(const std::string& text, const RecordRun& run, const std::vector<double>& timeX,
               FrameRange* frames, std::string* error) {
    // An ISO time holds colons itself: the one that divides stands after a
    // whole time (19 characters) or a frame number.
    size_t colon = text.find(':');
    if (colon > 0 && colon != std::string::npos && text.find('T') < colon) {
        colon = 19;
    }
    size_t first = 0;
    size_t last = 0;
    if (colon == std::string::npos || colon >= text.size() || text[colon] != ':' ||
        !SpanEnd(text.substr(0, colon), false, run, timeX, &first) ||
        !SpanEnd(text.substr(colon + 1), true, run, timeX, &last)) {
        *error = "the span \"" + text +
                 "\" is not FROM:TO of frame numbers (from 1) or of times "
                 "(YYYY-MM-DDTHH:MM:SS)";
        return false;
    }
    if (first >= last) {
        *error = "the span \"" + text + "\" holds no frame of the record file (it has " +
                 std::to_string(run.Frames()) + " frames)";
        return false;
    }
    *frames = {first, last};
    return true;
}

std::vector<std::string> ReadRecentFiles(const std::string& listPath) {
    std::vector<std::string> files;
    std::ifstream in(listPath, std::ios::binary);
    std::string line;
    while (files.size() < kRecentFiles && std::getline(in, line)) {
        if (!line.empty() && std::find(files.begin(), files.end(), line) == files.end()) {
            files.push_back(line);
        }
    }
    return files;
}

bool AddRecentFile(const std::string& listPath, const std::string& file, std::string* error) {
    std::vector<std::string> files = ReadRecentFiles(listPath);
    std::erase(files, file);
    files.insert(files.begin(), file);
    files.resize(std::min(files.size(), kRecentFiles));
    std::string text;
    for (const std::string& f : files) {
        text += f + "\n";
    }
    return StartRecordFile(listPath, text, error);
}

} // namespace record
