// The recorder page against the simulated sensor: the record file and its
// header, timed recording with a count and without end, stopping, a failed
// exchange, manual records, and a file that cannot be written.
#include "app/panels.h"
#include "tests/record/record_fixture.h"

#include "link/link_texts.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "live/signal_graph.h"
#include "platform/widgets.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <regex>

using app::P;
using platform::PopupKind;
namespace fs = std::filesystem;

namespace {

const std::string kColumns =
    "DATE\tTIME\tRED\tGREEN\tBLUE\tX s\tY i\tINT M\tdelta C\tCOLOR\tGROUP\tTRIGGER\tTEMP\r\n";

} // namespace

TEST_F(RecordTest, ChoosingTheFileWritesItsHeaderAndAnExistingFileStartsAfresh) {
    StartRecorder();
    EXPECT_EQ("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\n\r\n" + kColumns, ReadFile(path_));
    EXPECT_EQ(path_, P().recorder.filePath->text().toStdString());

    // The existing file, with an identification entered: Yes starts it afresh.
    std::ofstream(path_, std::ios::app) << "old line\r\n";
    P().connect.id->SetText("LINE 3 / STATION 7");
    user_->Answer(platform::kExistingFileSelected, path_);
    Recorder().SelRecFile();
    EXPECT_EQ("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\nPANEL ID: LINE 3 / STATION 7\r\n\r\n" +
                  kColumns,
              ReadFile(path_));
    ASSERT_EQ(3u, user_->Records().size());
    const platform::PopupRecord& dialog = user_->Records()[0];
    EXPECT_EQ(PopupKind::FileSelect, dialog.kind);
    EXPECT_EQ("FILENAME!", dialog.title);
    EXPECT_EQ("RecordFile.dat", dialog.file.defaultName);
    EXPECT_EQ("*.dat", dialog.file.filter);
    EXPECT_EQ(dir_, dialog.file.directory); // the record file's directory
    EXPECT_EQ(PopupKind::Confirm, user_->Records()[1].kind);
    EXPECT_EQ(record::kTextFileExists, user_->Records()[1].text);
    EXPECT_EQ(record::kTextMakeSure, user_->Records()[2].text);

    // No: nothing is written, the record file stays the one shown.
    const std::string other = dir_ + "/other.dat";
    std::ofstream(other) << "keep";
    user_->Clear();
    user_->Answer(platform::kExistingFileSelected, other);
    user_->Answer(0);
    Recorder().SelRecFile();
    EXPECT_EQ("keep", ReadFile(other));
    EXPECT_EQ(path_, Recorder().RecordPath());
    EXPECT_EQ(path_, P().recorder.filePath->text().toStdString());

    // Cancelled: the message, and nothing changes.
    user_->Clear();
    Recorder().SelRecFile();
    EXPECT_EQ(record::kTextNoFileSelected, user_->LastText("ATTENTION!"));
    EXPECT_EQ(path_, Recorder().RecordPath());

    // The record path is remembered in the settings file.
    CloseProgram();
    EXPECT_NE(std::string::npos, ReadSettingsText().find(path_));
}

TEST_F(RecordTest, TimedRecordingWritesTheCountOfFramesLineByLine) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    SelectMode(record::kModeTimedCount);
    r.interval->SetVal(0.1); // below the minimum
    r.count->SetVal(3);
    Recorder().CBF_EditRecVal(r.count, ctl::Event::Commit);
    EXPECT_DOUBLE_EQ(0.25, r.interval->value());
    EXPECT_DOUBLE_EQ(0.75, r.seconds->Val());

    bool checked = false;
    const double start = platform::Timer();
    RunRecording(r.startRecord, [&] {
        if (!checked) {
            checked = true;
            EXPECT_FALSE(r.startRecord->isEnabled());
            EXPECT_EQ(Qt::red, r.startRecord->palette().color(QPalette::Button));
            EXPECT_TRUE(r.interval->isReadOnly());
            EXPECT_TRUE(r.count->isReadOnly());
            EXPECT_FALSE(P().main.go->isEnabled());
            EXPECT_FALSE(r.mode->isEnabled());
            EXPECT_TRUE(r.stopRecord->isEnabled());
        }
        return false; // the count ends it
    });
    const double took = platform::Timer() - start;
    EXPECT_TRUE(checked);
    EXPECT_GE(took, 0.45); // three requests 0.25 s apart
    EXPECT_LT(took, 2.0);

    const std::vector<std::string> requests = Received();
    EXPECT_EQ(3u, requests.size());
    EXPECT_EQ(3u, CountOf(requests, "8 0 0"));
    const std::vector<std::string> lines = DataLines(path_);
    ASSERT_EQ(3u, lines.size());
    const std::regex format(R"(\d\d-\d\d-\d{4}\t\d\d:\d\d:\d\d(\t-?\d+){11}\r\n)");
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, format)) << line;
        EXPECT_EQ(FieldsOfCurrentFrame(), FieldsOf(line)); // the fixed colour every time
    }
    EXPECT_EQ(0u, FieldsOf(lines[0]).find("1000\t2000\t3000\t"));

    EXPECT_EQ(3, Recording().recorded);
    EXPECT_EQ(3, r.recorded->Val());
    EXPECT_EQ(0, r.remaining->Val());
    // Each frame reached the live displays and the signal graphs.
    EXPECT_EQ(1000, P().data.rgb.red->Val());
    EXPECT_EQ(3, app::P().sensor.live.SignalGraphSeries.counter);
    // Confirmation, warning, and the end.
    ASSERT_EQ(3u, user_->Records().size());
    EXPECT_EQ(record::kTextRightFileName, user_->Records()[0].text);
    EXPECT_EQ(record::kTextMakeSure, user_->Records()[1].text);
    EXPECT_EQ(record::kTextFileSaved, user_->LastText("INFO!"));
    EXPECT_TRUE(r.startRecord->isEnabled());
    EXPECT_EQ("#e0e0e0", r.startRecord->palette().color(QPalette::Button).name().toStdString());
    EXPECT_FALSE(r.interval->isReadOnly());
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_FALSE(Recording().running);
}

TEST_F(RecordTest, NoAtTheQuestionRecordsNothing) {
    StartRecorder();
    user_->Answer(0);
    P().recorder.startRecord->click();
    EXPECT_TRUE(Received().empty());
    EXPECT_TRUE(DataLines(path_).empty());
    EXPECT_EQ(1u, user_->Records().size());
    EXPECT_TRUE(P().recorder.startRecord->isEnabled());
}

TEST_F(RecordTest, StopRecordAndAModeChangeEndARun) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    SelectMode(record::kModeTimedEndless);
    r.interval->SetVal(0.25);
    RunRecording(r.startRecord, [&] { return Recording().runCounter >= 2; });
    const auto runs = static_cast<size_t>(Recording().runCounter);
    EXPECT_EQ(2u, runs);
    EXPECT_EQ(runs, DataLines(path_).size());
    EXPECT_EQ(runs, Received().size());
    EXPECT_EQ(2, r.runCounter->Val());

    // A change of the record mode ends the next run and resets the recorded count.
    SelectMode(record::kModeTimedCount);
    r.count->SetVal(100);
    RunRecording(r.startRecord, [&] {
        if (Recording().recorded >= 1) {
            r.mode->SetVal(record::kModeManual);
            Recorder().CBF_EditSelectDataRec(r.mode, ctl::Event::Commit);
        }
        return false;
    });
    EXPECT_EQ(0, Recording().recorded);
    EXPECT_EQ(0, r.recorded->Val());
    EXPECT_EQ(runs + 1, DataLines(path_).size());
    EXPECT_TRUE(r.manualRecord->isVisibleTo(r.manualRecord->parentWidget()));
}

TEST_F(RecordTest, AFailedExchangeIsCountedButNotWritten) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    r.interval->SetVal(0.25);
    r.count->SetVal(5);
    RunRecording(r.startRecord, [&] {
        if (Recording().recorded == 2) {
            sensor_->Command("fault drop order=8");
        }
        return false; // the time-out ends it
    });
    EXPECT_EQ(3, Recording().recorded); // the failed request counts
    EXPECT_EQ(2, r.remaining->Val());
    EXPECT_EQ(2u, DataLines(path_).size());
    const std::string messages = P().connect.messages->toPlainText().toStdString();
    EXPECT_NE(std::string::npos, messages.find(com232::kTextNoAnswer));
    EXPECT_TRUE(r.startRecord->isEnabled());
}

TEST_F(RecordTest, ManualRecordsTakeTheFrameHeldIncludingTheEmptyOneAtStart) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    SelectMode(record::kModeManual);
    EXPECT_TRUE(r.manualRecord->isEnabled());
    // Before any measurement the frame held is all zero.
    r.manualRecord->click();
    std::vector<std::string> lines = DataLines(path_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\r\n", FieldsOf(lines[0]));
    EXPECT_EQ(1, r.recorded->Val());
    EXPECT_TRUE(Received().empty()); // nothing is asked of the sensor

    // During GO each press records the frame received last.
    int pressed = 0;
    std::string expected;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!app::P().sensor.live.GoRunning ||
            app::P().sensor.frames.Current().get(live::kRed) == 0) {
            return;
        }
        if (pressed < 2) {
            EXPECT_TRUE(r.manualRecord->isEnabled());
            r.manualRecord->click();
            expected = FieldsOfCurrentFrame();
            ++pressed;
        } else {
            poll.stop();
            P().main.stop->click();
        }
    });
    poll.start();
    P().main.go->click();
    poll.stop();
    lines = DataLines(path_);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(expected, FieldsOf(lines[2]));
    EXPECT_EQ(0u, FieldsOf(lines[2]).find("1000\t2000\t3000\t"));
    EXPECT_EQ(3, r.recorded->Val());
    for (const std::string& request : Received()) {
        EXPECT_EQ("8 0 0", request); // GO's requests only
    }
}

TEST_F(RecordTest, ARecordFileThatIsNotThereStartsWithItsHeader) {
    // The path is remembered from an earlier session, but the file is gone:
    // the first line brings the header with it; later lines only append.
    StartRecorder();
    std::filesystem::remove(path_);
    SelectMode(record::kModeManual);
    P().recorder.manualRecord->click();
    P().recorder.manualRecord->click();
    const std::string text = ReadFile(path_);
    EXPECT_EQ(0u, text.find("\nRECORD RESULTS OF: CHROMIK3 Scope V4.3\r\n\r\n" + kColumns));
    EXPECT_EQ(2u, DataLines(path_).size());
}

TEST_F(RecordTest, ALineThatCannotBeWrittenEndsTheRecordingAndKeepsTheLinesBefore) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    const std::string sub = dir_ + "/records";
    fs::create_directories(sub);
    const std::string file = sub + "/run.dat";
    ChooseNewFile(file);
    user_->Clear();
    SelectMode(record::kModeTimedEndless);
    r.interval->SetVal(0.25);
    // After two lines the file's directory is taken away.
    RunRecording(r.startRecord, [&] {
        if (Recording().runCounter >= 2 && fs::exists(sub)) {
            fs::rename(sub, dir_ + "/moved");
        }
        return false; // the failed line ends it
    });
    EXPECT_EQ(2, Recording().runCounter);
    EXPECT_EQ(2u, DataLines(dir_ + "/moved/run.dat").size());
    const std::string text = user_->LastText("ATTENTION!");
    EXPECT_EQ(0u, text.find(record::kTextCannotWrite));
    EXPECT_NE(std::string::npos, text.find(file));
    EXPECT_NE(std::string::npos, text.find(record::kTextRecordingStopped));
    EXPECT_EQ("", user_->LastText("INFO!")); // not announced as saved
    EXPECT_TRUE(r.startRecord->isEnabled());

    // A manual record into the missing file is refused with the message and not counted.
    SelectMode(record::kModeManual);
    user_->Clear();
    r.manualRecord->click();
    EXPECT_EQ(0, r.recorded->Val());
    EXPECT_NE(std::string::npos, user_->LastText("ATTENTION!").find(file));
    EXPECT_TRUE(r.manualRecord->isEnabled());
}
