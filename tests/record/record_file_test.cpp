// The record file's text, its writing, and the recorder's rules free of
// panels: record time, the pace of a timed recording, frames taken from a
// stream.
#include "record/record_file.h"
#include "record/recorder_logic.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace record;

namespace {

class TempDir {
public:
    TempDir() {
        static int n = 0;
        path_ = fs::temp_directory_path() /
                ("c3-rec-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::tm Moment(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

} // namespace

TEST(RecordText, HeaderCarriesThePanelIdOnlyWhenThereIsOne) {
    const std::string columns = "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\t"
                                "GROUP\tTRIGGER\tTEMP\r\n";
    EXPECT_EQ("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\n\r\n" + columns,
              RecordFileHeader("CHROMIK3 Scope V4.3", ""));
    EXPECT_EQ("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\nPANEL ID: LINE 3\r\n\r\n" + columns,
              RecordFileHeader("CHROMIK3 Scope V4.3", "LINE 3"));
    // the panel ID as the settings file writes texts: Windows-1252 where it
    // fits, UTF-8 otherwise
    EXPECT_EQ("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\nPANEL ID: Pr\xFC"
              "fstand\r\n\r\n" +
                  columns,
              RecordFileHeader("CHROMIK3 Scope V4.3", "Pr\xC3\xBC"
                                                      "fstand"));
    EXPECT_EQ("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\nPANEL ID: \xE2\x86\x92 7\r\n\r\n" +
                  columns,
              RecordFileHeader("CHROMIK3 Scope V4.3", "\xE2\x86\x92 7"));
}

TEST(RecordText, DataLineHasDateTimeAndElevenSignedFields) {
    live::LiveDataFrameBytes f;
    const int16_t values[] = {4095, 0, 2048, 346, 338, 867, -1, 255, 255, 1, -12};
    for (int i = 0; i < 11; ++i) {
        f.set(kRecordFields[i], values[i]);
    }
    f.set(live::kRawRed, 777); // raw values and extremes are not recorded
    f.set(live::kExtreme2Blue, 888);
    EXPECT_EQ("07-04-2025\t09:05:03\t4095\t0\t2048\t346\t338\t867\t-1\t255\t255\t1\t-12\r\n",
              RecordLine(f, Moment(2025, 7, 4, 9, 5, 3)));
    EXPECT_EQ("12-31-1999", RecordDateText(Moment(1999, 12, 31, 0, 0, 0)));
    EXPECT_EQ("23:59:59", RecordClockText(Moment(1999, 12, 31, 23, 59, 59)));
    // The word is signed: 0xFFFF is -1, 0x8000 the most negative value.
    live::LiveDataFrameBytes g;
    g.set(live::kRed, -32768);
    const std::string line = RecordLine(g, Moment(2025, 1, 2, 3, 4, 5));
    EXPECT_EQ(0u, line.find("01-02-2025\t03:04:05\t-32768\t0\t"));
}

TEST(RecordFile, StartReplacesTheFileWholeAndLinesAreAppended) {
    TempDir dir;
    const fs::path file = dir.path() / "RecordFile.dat";
    std::string error;
    ASSERT_TRUE(AppendRecordLine(file.string(), "old line\r\n", &error)) << error; // created
    ASSERT_TRUE(StartRecordFile(file.string(), "HEADER\r\n", &error)) << error;
    ASSERT_TRUE(AppendRecordLine(file.string(), "one\r\n", &error)) << error;
    ASSERT_TRUE(AppendRecordLine(file.string(), "two\r\n", &error)) << error;
    EXPECT_EQ("HEADER\r\none\r\ntwo\r\n", testfiles::ReadBytes(file));
    // Nothing is left beside it.
    EXPECT_EQ(1, std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

TEST(RecordFile, FailuresAreReportedAndLeaveTheFileAsItWas) {
    TempDir dir;
    const fs::path missing = dir.path() / "gone" / "RecordFile.dat";
    std::string error;
    EXPECT_FALSE(AppendRecordLine(missing.string(), "x\r\n", &error));
    EXPECT_NE(std::string::npos, error.find("cannot open"));
    error.clear();
    EXPECT_FALSE(StartRecordFile(missing.string(), "HEADER\r\n", &error));
    EXPECT_FALSE(error.empty());

    // A directory in the way of the new file: the rename fails, the
    // directory and its content stay, no temporary file remains.
    const fs::path blocked = dir.path() / "blocked.dat";
    fs::create_directories(blocked / "inside");
    error.clear();
    EXPECT_FALSE(StartRecordFile(blocked.string(), "HEADER\r\n", &error));
    EXPECT_NE(std::string::npos, error.find("cannot replace"));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(1, std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

TEST(RecordFile, AWriteThatStopsHalfWayIsTakenBack) {
    TempDir dir;
    const fs::path file = dir.path() / "RecordFile.dat";
    std::string error;
    ASSERT_TRUE(StartRecordFile(file.string(), "HEADER\r\n", &error));
    ASSERT_TRUE(AppendRecordLine(file.string(), "complete line\r\n", &error));
    const auto size = static_cast<rlim_t>(fs::file_size(file));
    // A file size limit a few bytes beyond the file: the next line only half fits.
    struct rlimit old {};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = old;
    tight.rlim_cur = size + 5;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &tight));
    const bool written = AppendRecordLine(file.string(), "a line too long\r\n", &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ("HEADER\r\ncomplete line\r\n", testfiles::ReadBytes(file));
}

TEST(RecorderRules, RecordTimeOfTheUsualSettings) {
    // 0.25 s x 100 frames, 3600 s x 48 frames
    RecordTime t = SplitRecordTime(kMinRecordInterval * 100);
    EXPECT_EQ(0, t.days + t.hours + t.minutes);
    EXPECT_DOUBLE_EQ(25.0, t.seconds);
    t = SplitRecordTime(3600.0 * 48);
    EXPECT_EQ(2, t.days);
    EXPECT_EQ(0, t.hours + t.minutes);
    EXPECT_DOUBLE_EQ(0.0, t.seconds);
}

TEST(RecorderRules, ThePaceIsKeptFromRequestStartToRequestStart) {
    // A wait that ends late does not push the following requests back.
    EXPECT_DOUBLE_EQ(10.25, NextCycleStart(10.0, 0.25, 10.002));
    EXPECT_DOUBLE_EQ(10.25, NextCycleStart(10.0, 0.25, 10.2499));
    // An exchange longer than the interval: the next request at once.
    EXPECT_DOUBLE_EQ(10.7, NextCycleStart(10.0, 0.25, 10.7));
}

TEST(RecorderRules, AShortLiveFrameLeavesTheFieldsItDoesNotReachZero) {
    // A short live frame: the fields it does not reach are 0.
    uint8_t data[50];
    for (int i = 0; i < 50; ++i) {
        data[i] = 0x11;
    }
    const live::LiveDataFrameBytes shortFrame = FrameOfData(data, 6);
    EXPECT_EQ(0x1111, shortFrame.get(live::kBlue));
    EXPECT_EQ(0, shortFrame.get(live::kX));
    const live::LiveDataFrameBytes longFrame = FrameOfData(data, 50);
    EXPECT_EQ(0x1111, longFrame.get(live::kExtreme2Blue));
}
