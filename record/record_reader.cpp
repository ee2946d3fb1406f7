#include "record/record_reader.h"

#include "inifile/file_text.h"
#include "record/record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {

// The header is a handful of lines; a file that has not shown its column
// line by then is something else.
constexpr size_t kMaxHeaderLines = 16;
// A data line is under 100 bytes; anything much longer is no data line and
// is not kept while its end is awaited.
constexpr size_t kMaxLineBytes = 1024;

std::string ColumnLine() {
    std::string line;
    for (const char* caption : kRecordColumns) {
        if (!line.empty()) {
            line += '\t';
        }
        line += caption;
    }
    return line;
}

const std::string& TitleMissing() {
    static const std::string text =
        std::string("the title line \"") + kRecordFileTitle + "...\" is missing";
    return text;
}

const std::string& ColumnsMissing() {
    static const std::string text =
        "the column line \"DATE TIME RED GREEN BLUE X s Y i INT M delta C COLOR GROUP TRIGGER "
        "TEMP\" is missing";
    return text;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// Drops spaces and tabs at the end (a spreadsheet may leave them).
std::string TrimEnd(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.pop_back();
    }
    return s;
}

// Reads `digits` decimal digits at p.
bool Digits(const char*& p, const char* end, int digits, int* value) {
    int v = 0;
    for (int i = 0; i < digits; ++i, ++p) {
        if (p >= end || *p < '0' || *p > '9') {
            return false;
        }
        v = v * 10 + (*p - '0');
    }
    *value = v;
    return true;
}

bool Expect(const char*& p, const char* end, char c) {
    if (p >= end || *p != c) {
        return false;
    }
    ++p;
    return true;
}

bool SignedInt(const char*& p, const char* end, int32_t* value) {
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    if (p >= end || *p < '0' || *p > '9') {
        return false;
    }
    int64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        v = v * 10 + (*p - '0');
        if (v > 2147483648LL) {
            return false;
        }
        ++p;
    }
    v = negative ? -v : v;
    if (v > 2147483647LL) {
        return false;
    }
    *value = static_cast<int32_t>(v);
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

size_t RecordRun::LineOfFrame(size_t frame) const {
    auto after = std::upper_bound(lineJumps.begin(), lineJumps.end(), frame,
                                  [](size_t f, const LineJump& j) { return f < j.frame; });
    if (after == lineJumps.begin()) {
        return frame + 1;
    }
    --after;
    return after->line + (frame - after->frame);
}

const char* RecordFieldName(int field) {
    return kRecordColumns[2 + field];
}

int64_t DaysOfDate(int year, int month, int day) {
    // Days from civil: years counted from March, so the leap day ends a year.
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool ParseRecordLine(const char* p, const char* end, int64_t* seconds,
                     int32_t fields[kRecordFieldCount]) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (!Digits(p, end, 2, &month) || !Expect(p, end, '-') || !Digits(p, end, 2, &day) ||
        !Expect(p, end, '-') || !Digits(p, end, 4, &year) || !Expect(p, end, '\t') ||
        !Digits(p, end, 2, &hour) || !Expect(p, end, ':') || !Digits(p, end, 2, &minute) ||
        !Expect(p, end, ':') || !Digits(p, end, 2, &second)) {
        return false;
    }
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 60) {
        return false;
    }
    for (int f = 0; f < kRecordFieldCount; ++f) {
        if (!Expect(p, end, '\t') || !SignedInt(p, end, &fields[f])) {
            return false;
        }
    }
    while (p < end && (*p == ' ' || *p == '\t')) {
        ++p;
    }
    if (p != end) {
        return false;
    }
    *seconds = DaysOfDate(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

bool RecordReader::Feed(const char* data, size_t length, RecordRun* run) {
    const char* p = data;
    const char* end = data + length;
    fed_ += length;
    while (p < end && state_ != State::Refused) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (nl == nullptr) {
            // The rest waits for its line end; an overlong piece is kept short,
            // it will not parse anyway.
            const size_t room = kMaxLineBytes + 1 - std::min(carry_.size(), kMaxLineBytes + 1);
            carry_.append(p, std::min(room, static_cast<size_t>(end - p)));
            if (state_ == State::Header && carry_.size() > kMaxLineBytes) {
                Refuse(sawTitle_ ? ColumnsMissing() : TitleMissing());
            }
            break;
        }
        const uint64_t taken = carry_.size() + static_cast<uint64_t>(nl + 1 - p);
        if (carry_.empty()) {
            Line(p, nl, run);
        } else {
            const size_t room = kMaxLineBytes + 1 - std::min(carry_.size(), kMaxLineBytes + 1);
            carry_.append(p, std::min(room, static_cast<size_t>(nl - p)));
            Line(carry_.data(), carry_.data() + carry_.size(), run);
            carry_.clear();
        }
        consumed_ += taken;
        p = nl + 1;
    }
    return state_ != State::Refused;
}

void RecordReader::Line(const char* begin, const char* end, RecordRun* run) {
    ++lineNo_;
    if (end > begin && end[-1] == '\r') {
        --end;
    }
    if (lineNo_ == 1 && end - begin >= 3 && std::memcmp(begin, kByteOrderMark, 3) == 0) {
        begin += 3; // written by an editor that marks UTF-8
    }
    if (state_ == State::Header) {
        HeaderLine(std::string(begin, end), run);
        return;
    }
    if (begin == end) {
        return; // an empty line carries no frame
    }
    int64_t seconds = 0;
    int32_t fields[kRecordFieldCount];
    if (static_cast<size_t>(end - begin) > kMaxLineBytes ||
        !ParseRecordLine(begin, end, &seconds, fields)) {
        if (skipped_++ == 0) {
            firstSkipped_ = lineNo_;
        }
        return;
    }
    const size_t frame = run->Frames();
    if (frame == 0 || lineNo_ != lastFrameLine_ + 1) {
        run->lineJumps.push_back({frame, lineNo_});
    }
    lastFrameLine_ = lineNo_;
    run->seconds.push_back(seconds);
    for (int f = 0; f < kRecordFieldCount; ++f) {
        run->field[f].push_back(fields[f]);
    }
}

void RecordReader::HeaderLine(const std::string& raw, RecordRun* run) {
    const std::string line = TrimEnd(raw);
    static const std::string columns = ColumnLine();
    if (line.empty()) {
        // The file's first line feed and the line before the captions.
    } else if (StartsWith(line, kRecordFileTitle)) {
        sawTitle_ = true;
        run->title = line.substr(std::strlen(kRecordFileTitle));
    } else if (StartsWith(line, kPanelIdCaption)) {
        run->panelId = filetext::FromFile(line.substr(std::strlen(kPanelIdCaption)));
    } else if (StartsWith(line, "DATE\t")) {
        if (!sawTitle_) {
            Refuse(TitleMissing());
        } else if (line != columns) {
            // Name the captions that are not where they belong.
            std::string missing;
            size_t at = 0;
            for (const char* caption : kRecordColumns) {
                const size_t tab = line.find('\t', at);
                const std::string got = line.substr(at, tab == std::string::npos ? tab : tab - at);
                if (got != caption) {
                    missing += std::string(missing.empty() ? "" : ", ") + "\"" + caption + "\"";
                }
                at = tab == std::string::npos ? line.size() : tab + 1;
            }
            Refuse("the column line lacks " + missing);
        } else {
            state_ = State::Data;
        }
        return;
    } else {
        Refuse(sawTitle_ ? ColumnsMissing() : TitleMissing());
        return;
    }
    if (lineNo_ >= kMaxHeaderLines) {
        Refuse(sawTitle_ ? ColumnsMissing() : TitleMissing());
    }
}

void RecordReader::Refuse(const std::string& why) {
    state_ = State::Refused;
    refusal_ = "This is no record file: " + why + ".";
    carry_.clear();
}

void RecordReader::Finish() {
    if (state_ == State::Header && fed_ == 0) {
        state_ = State::Refused;
        refusal_ = "The file is empty.";
    } else if (state_ == State::Header) {
        Refuse(sawTitle_ ? ColumnsMissing() : TitleMissing());
    }
}

void RecordReader::TakeUnfinishedLine(RecordRun* run) {
    if (carry_.empty() || state_ == State::Refused) {
        return;
    }
    const std::string line = std::move(carry_);
    carry_.clear();
    consumed_ = fed_;
    Line(line.data(), line.data() + line.size(), run);
}

bool ReadRecordBytes(const std::string& path, RecordReader* reader, RecordRun* run,
                     const std::function<bool(uint64_t, uint64_t)>& progress, bool* cancelled,
                     std::string* error) {
    *cancelled = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = std::string("cannot open the file: ") + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        *error = S_ISDIR(st.st_mode) ? "it is a directory" : std::strerror(errno);
        ::close(fd);
        return false;
    }
    const uint64_t total = static_cast<uint64_t>(st.st_size);
    uint64_t offset = reader->fedBytes();
    if (run->Frames() == 0 && total > offset) {
        // A data line is 50 to 70 bytes: room for all without regrowing.
        const size_t expected = static_cast<size_t>((total - offset) / 48);
        run->seconds.reserve(expected);
        for (auto& column : run->field) {
            column.reserve(expected);
        }
    }
    constexpr size_t kChunk = 4 << 20;
    std::vector<char> buffer(kChunk);
    bool ok = true;
    while (reader->state() != RecordReader::State::Refused) {
        const ssize_t n = ::pread(fd, buffer.data(), kChunk, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *error = std::string("cannot read the file: ") + std::strerror(errno);
            ok = false;
            break;
        }
        if (n == 0) {
            break;
        }
        offset += static_cast<uint64_t>(n);
        reader->Feed(buffer.data(), static_cast<size_t>(n), run);
        if (progress && !progress(offset, std::max(total, offset))) {
            *cancelled = true;
            break;
        }
    }
    ::close(fd);
    return ok;
}

} // namespace record
