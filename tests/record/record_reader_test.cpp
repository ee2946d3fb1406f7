// Reading record files back as the viewer does, and the figures it draws
// from them: the files the recorder writes in every mode, header variants,
// line ends, damaged lines, big files, a file that grows, the reduction to
// pixel columns, the span summary and the colour of each frame's point.
#include "record/record_file.h"
#include "record/record_reader.h"
#include "record/record_series.h"
#include "record/record_viewer_files.h"
#include "record/recorder_logic.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace record;

namespace {

constexpr const char* kTitle = "CHROMIK3 Scope V4.3";

std::tm Moment(int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11; // December
    t.tm_mday = 8;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

live::LiveDataFrameBytes Frame(int16_t base, int16_t color) {
    live::LiveDataFrameBytes f;
    for (int i = 0; i < live::kLiveFieldCount; ++i) {
        f.set(static_cast<live::LiveField>(i), static_cast<int16_t>(base + i));
    }
    f.set(live::kDeltaC, -1);
    f.set(live::kColor, color);
    f.set(live::kGroup, 255);
    return f;
}

RecordRun Parse(const std::string& text, RecordReader* reader) {
    RecordRun run;
    reader->Feed(text.data(), text.size(), &run);
    reader->Finish();
    return run;
}

// The lines of one record mode as its loop writes them: timed ones a
// second or more apart, the manual one starting with the all-zero frame
// held before any measurement, triggered ones several within one second.
std::string ModeFile(int mode, const std::string& panelId, int lines) {
    std::string text = RecordFileHeader(kTitle, panelId);
    for (int i = 0; i < lines; ++i) {
        const int second = mode == kModeTriggered ? i / 4 : i * 2;
        const live::LiveDataFrameBytes frame =
            (mode == kModeManual && i == 0) ? live::LiveDataFrameBytes{}
                                            : Frame(static_cast<int16_t>(100 * (i + 1)), i % 6);
        text += RecordLine(frame, Moment(10, second / 60, second % 60));
    }
    return text;
}

} // namespace

TEST(RecordReader, ReadsBackEveryModesFileAsTheRecorderWroteIt) {
    for (int mode : {kModeTimedCount, kModeTimedEndless, kModeManual, kModeTriggered}) {
        for (const std::string panelId : {"", "LINE 3 \xC4"}) { // Windows-1252 in the file
            SCOPED_TRACE(testing::Message() << "mode " << mode << " id '" << panelId << "'");
            RecordReader reader;
            const RecordRun run = Parse(ModeFile(mode, panelId, 9), &reader);
            ASSERT_EQ(RecordReader::State::Data, reader.state()) << reader.refusal();
            EXPECT_EQ(kTitle, run.title);
            EXPECT_EQ(panelId.empty() ? "" : "LINE 3 \u00C4", run.panelId);
            ASSERT_EQ(9u, run.Frames());
            EXPECT_EQ(0u, reader.skippedLines());
            for (size_t i = 1; i < 9; ++i) {
                const live::LiveDataFrameBytes f =
                    Frame(static_cast<int16_t>(100 * (i + 1)), i % 6);
                for (int field = 0; field < kRecordFieldCount; ++field) {
                    EXPECT_EQ(f.get(kRecordFields[field]), run.Value(field, i));
                }
            }
            EXPECT_EQ(mode == kModeManual ? 0 : 100, run.Value(0, 0));
            const int64_t tenOClock = DaysOfDate(2026, 12, 8) * 86400 + 10 * 3600;
            EXPECT_EQ(tenOClock, run.seconds[0]);
            EXPECT_EQ(tenOClock + (mode == kModeTriggered ? 2 : 16), run.seconds[8]);
        }
    }
    EXPECT_EQ(0, DaysOfDate(1970, 1, 1));
    EXPECT_EQ(11016, DaysOfDate(2000, 2, 29));
}

TEST(RecordReader, LineEndsAndPiecesDoNotChangeWhatIsRead) {
    const std::string crlf = ModeFile(kModeTriggered, "ID", 40);
    std::string lf;
    for (char c : crlf) {
        if (c != '\r') {
            lf += c;
        }
    }
    RecordReader whole;
    const RecordRun expected = Parse(crlf, &whole);
    RecordReader plain;
    const RecordRun fromLf = Parse(lf, &plain);
    // Fed a byte at a time, as a slow writer would leave it.
    RecordReader bytewise;
    RecordRun fromBytes;
    for (char c : crlf) {
        bytewise.Feed(&c, 1, &fromBytes);
    }
    for (const RecordRun* run : std::initializer_list<const RecordRun*>{&fromLf, &fromBytes}) {
        EXPECT_EQ(expected.seconds, run->seconds);
        for (int f = 0; f < kRecordFieldCount; ++f) {
            EXPECT_EQ(expected.field[f], run->field[f]);
        }
    }
    EXPECT_EQ(crlf.size(), bytewise.consumedBytes());
    EXPECT_EQ(0u, plain.skippedLines() + bytewise.skippedLines());
}

TEST(RecordReader, SkipsAndCountsLinesThatDoNotParseAndWaitsForAnUnfinishedOne) {
    const std::string header = RecordFileHeader(kTitle, ""); // 4 lines
    const std::string good = "12-08-2026\t10:00:00\t1\t2\t3\t4\t5\t6\t-1\t255\t255\t0\t30\r\n";
    const std::string text =
        header + good + "12-08-2026\t10:00:01\t1\t2\t3\t4\t5\t6\t7\t8\r\n" + // cut short
        "\r\n" +                                                             // empty: no frame
        good + "13-08-2026\t10:00:00\t1\t2\t3\t4\t5\t6\t7\t8\t9\t0\t1\r\n" + // month
        "12-08-2026\t10:00:00\t1\t2\t3\t4\t5\t6\t7\t8\t9\t0\t1\t2\r\n" +
        "12-08-2026\t10:00:00\t1\t2\t3\t4\t5\tx\t7\t8\t9\t0\t1\r\n" +
        "12-08-2026\t10:00:00\t1\t2\t3\t4\t5\t6\t7\t8\t9\t0\t99999999999\r\n" +
        "02-31-2026\t10:00:00\t1\t2\t3\t4\t5\t6\t7\t8\t9\t0\t1\r\n" + // no such day
        std::string(5000, 'A') + "\r\n" + good + "12-08-2026\t10:00";
    RecordReader reader;
    RecordRun run;
    ASSERT_TRUE(reader.Feed(text.data(), text.size(), &run));
    EXPECT_EQ(3u, run.Frames());
    EXPECT_EQ(-1, run.Value(6, 0));
    EXPECT_EQ(255, run.Value(kFieldColor, 2));
    EXPECT_EQ(7u, reader.skippedLines());
    EXPECT_EQ(6u, reader.firstSkippedLine()); // the header's four lines, then the good one
    // Frames know their lines: 5, then 8 after a skipped and an empty one.
    EXPECT_EQ(5u, run.LineOfFrame(0));
    EXPECT_EQ(8u, run.LineOfFrame(1));
    EXPECT_EQ(15u, run.LineOfFrame(2));
    // The last line has no end yet: it is neither a frame nor skipped, and
    // its end arriving later completes it.
    EXPECT_TRUE(reader.pendingLine());
    RecordReader finished = reader;
    RecordRun complete = run;
    const std::string rest = ":02\t7\t2\t3\t4\t5\t6\t7\t8\t9\t0\t1\r\n";
    reader.Feed(rest.data(), rest.size(), &run);
    EXPECT_FALSE(reader.pendingLine());
    ASSERT_EQ(4u, run.Frames());
    EXPECT_EQ(7, run.Value(0, 3));
    EXPECT_EQ(7u, reader.skippedLines());
    // A finished file's last line without a line end: read when it is
    // whole, counted as skipped when it is not.
    finished.TakeUnfinishedLine(&complete);
    EXPECT_EQ(3u, complete.Frames());
    EXPECT_EQ(8u, finished.skippedLines());
    const std::string last = header + good.substr(0, good.size() - 2);
    RecordReader whole;
    RecordRun one;
    whole.Feed(last.data(), last.size(), &one);
    whole.TakeUnfinishedLine(&one);
    EXPECT_EQ(1u, one.Frames());
    EXPECT_FALSE(whole.pendingLine());
    // A UTF-8 byte order mark before the first line is passed over.
    RecordReader marked;
    EXPECT_EQ(1u, Parse("\xEF\xBB\xBF" + header + good, &marked).Frames());
    EXPECT_EQ(RecordReader::State::Data, marked.state()) << marked.refusal();
}

TEST(RecordReader, RefusesWhatIsNoRecordFileNamingWhatIsMissing) {
    const std::string columns = "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\t"
                                "GROUP\tTRIGGER\tTEMP\r\n";
    const struct {
        std::string text;
        std::string names;
    } cases[] = {
        {"", "The file is empty."},
        {"\n" + columns, "the title line \"RECORD RESULTS OF: ...\" is missing"},
        {"[PANEL]\r\nKEY = 1\r\n", "the title line \"RECORD RESULTS OF: ...\" is missing"},
        {std::string(3000, '\x01'), "the title line \"RECORD RESULTS OF: ...\" is missing"},
        {"\nRECORD RESULTS OF: X\r\n\r\n", "the column line \"DATE TIME RED"},
        {"\nRECORD RESULTS OF: X\r\n\r\n12-08-2026\t10:00:00\t1\t2\r\n",
         "the column line \"DATE TIME RED"},
        {"\nRECORD RESULTS OF: X\r\n\r\nDATE\tTIME\tRED\tGREEN\tBLUE\tX\tY\tINT M\tdelta "
         "C\tCOLOR\tGROUP\tTRIGGER\r\n",
         "the column line lacks \"X s\", \"Y i\", \"TEMP\""},
    };
    for (const auto& c : cases) {
        RecordReader reader;
        Parse(c.text, &reader);
        EXPECT_EQ(RecordReader::State::Refused, reader.state()) << c.text;
        EXPECT_NE(std::string::npos, reader.refusal().find(c.names)) << reader.refusal();
    }
    // A record file without records yet is a record file.
    RecordReader empty;
    Parse(RecordFileHeader(kTitle, ""), &empty);
    EXPECT_EQ(RecordReader::State::Data, empty.state());
}

TEST(RecordReader, ReadsAMillionLinesIntoColumns) {
    const std::string line = "12-08-2026\t10:00:00\t2805\t2497\t491\t484\t431\t1931\t1\t4\t255\t1\t"
                             "329\r\n";
    std::string text = RecordFileHeader(kTitle, "");
    text.reserve(text.size() + 1000000 * line.size());
    for (int i = 0; i < 1000000; ++i) {
        text += line;
    }
    text.replace(text.size() - line.size() + 20, 4, "-7"); // the last RED
    RecordReader reader;
    RecordRun run;
    reader.Feed(text.data(), text.size(), &run);
    ASSERT_EQ(1000000u, run.Frames());
    EXPECT_EQ(-7, run.Value(0, 999999));
    EXPECT_EQ(329, run.Value(10, 500000));
    EXPECT_EQ(0u, reader.skippedLines());
}

TEST(RecordReader, ReadingLeavesTheFileAsItIsAndFollowsItAsItGrows) {
    const fs::path dir = fs::temp_directory_path() / ("c3-view-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "run.dat").string();
    std::string error;
    ASSERT_TRUE(StartRecordFile(path, RecordFileHeader(kTitle, ""), &error));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(AppendRecordLine(path, RecordLine(Frame(10, 1), Moment(9, 0, i)), &error));
    }
    ::chmod(path.c_str(), 0444); // reading needs no more than this
    const std::string before = testfiles::ReadBytes(path);
    RecordReader reader;
    RecordRun run;
    bool cancelled = false;
    uint64_t seen = 0;
    auto progress = [&](uint64_t done, uint64_t total) {
        seen = done;
        return done <= total;
    };
    ASSERT_TRUE(ReadRecordBytes(path, &reader, &run, progress, &cancelled, &error)) << error;
    EXPECT_EQ(3u, run.Frames());
    EXPECT_EQ(before.size(), seen);
    EXPECT_EQ(before, testfiles::ReadBytes(path));

    // The recording goes on: the next read takes only what was appended.
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(AppendRecordLine(path, RecordLine(Frame(20, 2), Moment(9, 0, 5)), &error));
    ASSERT_TRUE(ReadRecordBytes(path, &reader, &run, progress, &cancelled, &error));
    ASSERT_EQ(4u, run.Frames());
    EXPECT_EQ(2, run.Value(kFieldColor, 3));
    // A cancel stops after the chunk in hand and is no failure.
    RecordReader again;
    RecordRun other;
    EXPECT_TRUE(ReadRecordBytes(
        path, &again, &other, [](uint64_t, uint64_t) { return false; }, &cancelled, &error));
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(
        ReadRecordBytes((dir / "none.dat").string(), &again, &other, progress, &cancelled, &error));
    EXPECT_NE(std::string::npos, error.find("cannot open the file"));
    fs::remove_all(dir);
}

TEST(RecordSeries, LinesOfOneSecondSpreadOverItAndAClockSetBackRunsOnByFrame) {
    std::vector<int64_t> seconds = {100, 100, 100, 101};
    TimeAxis axis;
    ExtendTimeAxis(seconds, &axis);
    EXPECT_EQ((std::vector<double>{100, 100 + 1.0 / 3, 100 + 2.0 / 3, 101}), axis.x);
    // Lines appended to the last second spread it anew.
    seconds = {100, 100, 101};
    axis.Clear();
    ExtendTimeAxis(seconds, &axis);
    seconds.push_back(101);
    seconds.push_back(102);
    ExtendTimeAxis(seconds, &axis);
    EXPECT_EQ((std::vector<double>{100, 100.5, 101, 101.5, 102}), axis.x);

    // The end of summer time: an hour of lines one a second, then the same
    // hour again. The second hour follows the first instead of lying on it.
    seconds.clear();
    for (int pass = 0; pass < 2; ++pass) {
        for (int s = 0; s < 3600; ++s) {
            seconds.push_back(7200 + s);
        }
    }
    axis.Clear();
    ExtendTimeAxis(std::vector<int64_t>(seconds.begin(), seconds.begin() + 3601), &axis);
    ExtendTimeAxis(seconds, &axis); // as FOLLOW reads it on
    ASSERT_EQ(1u, axis.stepsBack.size());
    EXPECT_EQ(3600u, axis.stepsBack[0].frame);
    EXPECT_EQ(3599, axis.stepsBack[0].seconds);
    EXPECT_EQ(7200 + 3600, axis.x[3600]);
    EXPECT_EQ(7200 + 7199, axis.x.back());
    EXPECT_TRUE(std::is_sorted(axis.x.begin(), axis.x.end()));
}

TEST(RecordSeries, ColumnsKeepTheirExtremesSoASpikeSurvives) {
    std::vector<int32_t> values(100000, 50);
    values[54321] = 4000; // one frame's spike
    values[77777] = -300;
    // On the frame axis frames count from 1.
    std::vector<PlotPoint> points =
        ReduceToColumns(nullptr, values.data(), values.size(), 1, 100000, 500);
    EXPECT_LE(points.size(), 4u * 500 + 2);
    bool spike = false;
    bool dip = false;
    for (size_t i = 0; i < points.size(); ++i) {
        spike |= points[i].x == 54322 && points[i].y == 4000;
        dip |= points[i].x == 77778 && points[i].y == -300;
        if (i > 0) {
            EXPECT_LT(points[i - 1].x, points[i].x); // in frame order
        }
    }
    EXPECT_TRUE(spike);
    EXPECT_TRUE(dip);
    EXPECT_EQ(1, points.front().x);
    EXPECT_EQ(100000, points.back().x);
    EXPECT_EQ(9u, FramesIn(nullptr, values.size(), 10, 20).first); // frame 10 is the tenth

    // Zoomed in: every point shown, and one either side so the line reaches the edges.
    std::vector<double> x(values.size());
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = 1000.0 + 0.5 * static_cast<double>(i);
    }
    points = ReduceToColumns(x.data(), values.data(), values.size(), 28160, 28161, 500);
    ASSERT_EQ(5u, points.size());
    EXPECT_EQ(28159.5, points.front().x);
    EXPECT_EQ(4000, points[2].y);
    EXPECT_EQ(28161.5, points.back().x);
    const FrameRange r = FramesIn(x.data(), x.size(), 28160, 28161);
    EXPECT_EQ(54320u, r.first);
    EXPECT_EQ(54323u, r.last);
    EXPECT_EQ(0u, ReduceToColumns(nullptr, values.data(), 0, 0, 10, 5).size());
}

TEST(RecordSeries, SummaryOfASpanCountsFramesPerColorAndGroup) {
    RecordRun run;
    const int32_t red[] = {10, 20, 30, 40, 1000};
    const int32_t color[] = {2, 255, 2, 0, 7};
    const int32_t group[] = {1, 255, 1, 1, 1};
    for (int i = 0; i < 5; ++i) {
        run.seconds.push_back(i);
        for (int f = 0; f < kRecordFieldCount; ++f) {
            run.field[f].push_back(f == 0             ? red[i]
                                   : f == kFieldColor ? color[i]
                                   : f == kFieldGroup ? group[i]
                                                      : -i);
        }
    }
    const SpanSummary s = Summarize(run, {0, 4});
    EXPECT_EQ(4u, s.frames);
    EXPECT_DOUBLE_EQ(25.0, s.field[0].mean);
    EXPECT_NEAR(12.9099, s.field[0].sd, 1e-4); // sample standard deviation
    EXPECT_EQ(10, s.field[0].min);
    EXPECT_EQ(40, s.field[0].max);
    EXPECT_EQ(-3, s.field[10].min);
    EXPECT_DOUBLE_EQ(-1.5, s.field[10].mean);
    EXPECT_EQ((std::map<int32_t, size_t>{{0, 1}, {2, 2}, {255, 1}}), s.perColor);
    EXPECT_EQ((std::map<int32_t, size_t>{{1, 3}, {255, 1}}), s.perGroup);
    EXPECT_EQ(0u, Summarize(run, {3, 3}).frames);
    EXPECT_EQ(1u, Summarize(run, {4, 99}).frames);

    // Per COLOR: count, share, X/Y/INT and the distance to the row's
    // taught centre; only the frames of the filter count.
    for (int i = 0; i < 5; ++i) {
        run.field[kFieldX][i] = 100 + 3 * i;
        run.field[kFieldY][i] = 200 + 4 * i;
    }
    RowCentre centres[3] = {};
    centres[2] = {true, 100, 200, 0};
    const SpanSummary rows = Summarize(run, {0, 5}, {}, centres, 3, false);
    ASSERT_EQ(4u, rows.perColorFigures.size());
    const ColorFigures& two = rows.perColorFigures[1];
    EXPECT_EQ(2, two.color);
    EXPECT_EQ(2u, two.frames);
    EXPECT_DOUBLE_EQ(0.4, two.share);
    EXPECT_DOUBLE_EQ(103, two.xyi[0].mean); // frames 0 and 2: X 100 and 106
    EXPECT_TRUE(two.hasCentre);
    EXPECT_DOUBLE_EQ(10, two.maxDistance); // (6, 8) from the centre
    EXPECT_DOUBLE_EQ(5, two.meanDistance);
    EXPECT_FALSE(rows.perColorFigures[0].hasCentre); // row 0 is not taught
    const SpanSummary only = Summarize(run, {0, 5}, {FrameFilter::Kind::Color, 2});
    EXPECT_EQ(2u, only.frames);
    EXPECT_DOUBLE_EQ(20, only.field[0].mean);
}

TEST(RecordSeries, AFramesPointTakesItsRowColourAndNoMatchIsMarkedApart) {
    uint32_t rows[31];
    for (int i = 0; i < 31; ++i) {
        rows[i] = 0x010101u * static_cast<uint32_t>(i);
    }
    rows[30] = 0xFF123456; // only the colour bits count
    EXPECT_EQ(PointKind::Row, ColourOfFrame(0, rows, 31).kind);
    EXPECT_EQ(0x050505u, ColourOfFrame(5, rows, 31).rgb);
    EXPECT_EQ(0x123456u, ColourOfFrame(30, rows, 31).rgb);
    EXPECT_EQ(PointKind::NoMatch, ColourOfFrame(255, rows, 31).kind);
    for (int32_t notARow : {31, -1, 254, 256}) {
        EXPECT_EQ(PointKind::NotARow, ColourOfFrame(notARow, rows, 31).kind) << notARow;
    }
}

TEST(RecordViewerFiles, MarksBesideTheRecordCsvAndSpans) {
    const fs::path dir = fs::temp_directory_path() / ("c3-marks-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string header = RecordFileHeader(kTitle, "");
    std::string text = header;
    for (int i = 0; i < 6; ++i) {
        text += RecordLine(Frame(static_cast<int16_t>(10 * i), i == 3 ? 255 : 1),
                           Moment(23, 59, 57 + i % 3));
    }
    RecordReader reader;
    const RecordRun run = Parse(text, &reader);
    ASSERT_EQ(6u, run.Frames());

    // Marks go to a file of their own, replaced whole, and read back.
    const std::string record = (dir / "run.dat").string();
    testfiles::WriteBytes(record, text);
    const std::string marks = MarksPathOf(record);
    std::string error;
    const std::vector<FrameMark> set = {{4, "bubble\tin the web"}, {0, "start \xC3\x84"}};
    ASSERT_TRUE(WriteMarks(marks, "run.dat", set, run, &error)) << error;
    EXPECT_NE(std::string::npos, testfiles::ReadBytes(marks).find("5\t9\tbubble in the web\n"));
    std::vector<FrameMark> back;
    ASSERT_TRUE(ReadMarks(marks, &back, &error)) << error;
    EXPECT_EQ((std::vector<FrameMark>{{0, "start \xC3\x84"}, {4, "bubble in the web"}}), back);
    EXPECT_EQ(text, testfiles::ReadBytes(record));
    EXPECT_EQ(2u, static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})));
    EXPECT_FALSE(WriteMarks((dir / "gone" / "x.marks").string(), "x", set, run, &error));
    EXPECT_NE(std::string::npos, error.find("No such file or directory")) << error;
    ASSERT_TRUE(WriteMarks(marks, "run.dat", {}, run, &error)); // none left: no file
    EXPECT_FALSE(fs::exists(marks));
    EXPECT_TRUE(ReadMarks(marks, &back, &error));
    EXPECT_TRUE(back.empty());

    // CSV: frame, line, ISO 8601 time and the eleven fields.
    const std::string csv = SpanCsv(run, {2, 4});
    EXPECT_EQ("FRAME,LINE,TIME,RED,GREEN,BLUE,X s,Y i,INT M,delta C,COLOR,GROUP,TRIGGER,TEMP\n"
              "3,7,2026-12-08T23:59:59,20,21,22,23,24,25,-1,1,255,29,30\n"
              "4,8,2026-12-08T23:59:57,30,31,32,33,34,35,-1,255,255,39,40\n",
              csv);
    EXPECT_EQ("12-08-2026 23:59:59", RecordFileTime(run.seconds[2]));

    // Spans of frame numbers or of times, either end open.
    TimeAxis axis;
    ExtendTimeAxis(run.seconds, &axis);
    FrameRange r;
    ASSERT_TRUE(ParseSpan("2:4", run, axis.x, &r, &error)) << error;
    EXPECT_EQ(1u, r.first);
    EXPECT_EQ(4u, r.last);
    ASSERT_TRUE(ParseSpan(":", run, axis.x, &r, &error));
    EXPECT_EQ(6u, r.last);
    ASSERT_TRUE(ParseSpan("2026-12-08T23:59:58:", run, axis.x, &r, &error)) << error;
    EXPECT_EQ(1u, r.first);
    ASSERT_TRUE(ParseSpan(":2026-12-08T23:59:58", run, axis.x, &r, &error)) << error;
    EXPECT_EQ(2u, r.last);
    for (const char* bad : {"7:9", "3", "0:2", "x:y", "2026-12-08:1"}) {
        EXPECT_FALSE(ParseSpan(bad, run, axis.x, &r, &error)) << bad;
    }
    EXPECT_NE(std::string::npos, error.find("FROM:TO")) << error;

    // Recent files: newest first, once each, at most kRecentFiles.
    const std::string recent = (dir / "recent").string();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(AddRecentFile(recent, "/r/" + std::to_string(i % 9) + ".dat", &error));
    }
    const std::vector<std::string> files = ReadRecentFiles(recent);
    ASSERT_EQ(kRecentFiles, files.size());
    EXPECT_EQ("/r/0.dat", files[0]);
    EXPECT_EQ("/r/8.dat", files[1]);
    fs::remove_all(dir);
}
