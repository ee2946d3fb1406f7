// The record viewer window: the ways in (VIEW RECORD..., --view, a file
// dropped on the main window), one window per file, a refused file, FOLLOW
// on a file a recording still writes, the span and its figures, closing
// during a load, and the export.
#include "app/instance.h"
#include "app/panels.h"
#include "app/shell.h"
#include "params/parameter_file_io.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "record/record_file.h"
#include "record/record_viewer.h"
#include "record/recorder_ui.h"

#include "tests/support/file_bytes.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace record;

namespace {

constexpr const char* kTitle = "CHROMIK3 Scope V4.3";

std::tm At(int second) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 10 + second / 3600;
    t.tm_min = (second / 60) % 60;
    t.tm_sec = second % 60;
    return t;
}

std::string Line(int red, int color, int second) {
    live::LiveDataFrameBytes f;
    f.set(live::kRed, static_cast<int16_t>(red));
    f.set(live::kX, static_cast<int16_t>(300 + red % 100));
    f.set(live::kY, 400);
    f.set(live::kColor, static_cast<int16_t>(color));
    f.set(live::kGroup, static_cast<int16_t>(color == 255 ? 255 : 1));
    return RecordLine(f, At(second));
}

class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("c3-viewer-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        CloseRecordViewers();
        fs::remove_all(dir_);
    }
    // A record file of `lines` frames, four a second, each tenth without a match.
    std::string WriteRun(const std::string& name, int lines) {
        std::string text = RecordFileHeader(kTitle, "LINE 1");
        for (int i = 0; i < lines; ++i) {
            text += Line(1000 + i, i % 10 == 9 ? 255 : i % 5, i / 4);
        }
        const std::string path = (dir_ / name).string();
        testfiles::WriteBytes(path, text);
        return path;
    }
    static RecordViewer* Loaded(RecordViewer* v) {
        for (int i = 0; i < 2000 && v != nullptr && v->Loading(); ++i) {
            platform::ProcessSystemEvents();
        }
        for (int i = 0; i < 5; ++i) {
            platform::ProcessSystemEvents(); // the queued redraw
        }
        return v;
    }
    fs::path dir_;
    platform::ScriptedPopups popups_;
};

TEST_F(Viewer, OpensEachFileInAWindowOfItsOwnTitledWithItsName) {
    const std::string a = WriteRun("a.dat", 40);
    const std::string b = WriteRun("b.dat", 8);
    RecordViewer* va = Loaded(OpenRecordViewer(a));
    RecordViewer* vb = Loaded(OpenRecordViewer(b));
    ASSERT_NE(va, vb);
    EXPECT_EQ("a.dat", va->windowTitle());
    EXPECT_EQ(40u, va->Run().Frames());
    EXPECT_EQ(8u, vb->Run().Frames());
    EXPECT_EQ("LINE 1", va->Run().panelId);
    // The same file again raises its window.
    EXPECT_EQ(va, OpenRecordViewer((dir_ / "." / "a.dat").string()));
    EXPECT_EQ(2u, RecordViewers().size());
    EXPECT_TRUE(popups_.Records().empty());

    // The frame cursor shows every field of its frame.
    va->SetFrameCursor(9);
    const QString cursor = va->CursorText();
    EXPECT_TRUE(cursor.startsWith("FRAME 9   12-08-2026 10:00:02")) << cursor.toStdString();
    EXPECT_TRUE(cursor.contains("RED 1009")) << cursor.toStdString();
    EXPECT_TRUE(cursor.contains("COLOR 255")) << cursor.toStdString();

    va->close();
    platform::ProcessSystemEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(1u, RecordViewers().size());
}

TEST_F(Viewer, ASpanShowsItsFramesAndTheirFiguresOnEitherAxis) {
    RecordViewer* v = Loaded(OpenRecordViewer(WriteRun("span.dat", 40)));
    ASSERT_EQ(40u, v->Run().Frames());
    // Frames 4..11 lie in seconds 1 and 2 (four a second, spread over it).
    const int64_t second1 = v->Run().seconds[4];
    v->SelectSpan(static_cast<double>(second1), static_cast<double>(second1) + 1.9);
    EXPECT_EQ(4u, v->ShownFrames().first);
    EXPECT_EQ(12u, v->ShownFrames().last);
    const QString summary = v->SummaryText();
    EXPECT_TRUE(summary.startsWith("SELECTED SPAN: 8 FRAMES")) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QRegularExpression("RED +1007.5 +1004 +1011")))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains("NO MATCH (255): 1")) << summary.toStdString();
    // The span is frames, whatever the axis shows.
    v->SetTimeAxis(false);
    EXPECT_EQ(4u, v->ShownFrames().first);
    v->SelectSpan(30, 100);
    EXPECT_EQ(30u, v->ShownFrames().first);
    EXPECT_EQ(40u, v->ShownFrames().last);
    v->ClearSpan();
    EXPECT_TRUE(v->SummaryText().startsWith("IN VIEW: 40 FRAMES"));
}

TEST_F(Viewer, RefusesWhatIsNoRecordFileAndSaysWhichLinesWereSkipped) {
    const std::string other = (dir_ / "settings.dat").string();
    testfiles::WriteBytes(other, "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n");
    Loaded(OpenRecordViewer(other));
    platform::ProcessSystemEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(RecordViewers().empty());
    const std::string message = popups_.LastText("ATTENTION!");
    EXPECT_NE(std::string::npos, message.find("settings.dat")) << message;
    EXPECT_NE(std::string::npos,
              message.find("the title line \"RECORD RESULTS OF: ...\" is missing"))
        << message;

    const std::string damaged = WriteRun("damaged.dat", 6);
    testfiles::WriteBytes(damaged,
                          testfiles::ReadBytes(damaged) + "12-08-2026\t10:00\r\n" + Line(5, 1, 9));
    RecordViewer* v = Loaded(OpenRecordViewer(damaged));
    EXPECT_EQ(7u, v->Run().Frames());
    EXPECT_TRUE(
        v->StatusText().contains("1 LINES DO NOT PARSE AND ARE SKIPPED; THE FIRST IS LINE 12."))
        << v->StatusText().toStdString();
}

TEST_F(Viewer, FollowTakesWhatARecordingAppendsAndWaitsForAHalfWrittenLine) {
    const std::string path = (dir_ / "growing.dat").string();
    std::string error;
    ASSERT_TRUE(StartRecordFile(path, RecordFileHeader(kTitle, ""), &error));
    RecordViewer* v = Loaded(OpenRecordViewer(path));
    EXPECT_EQ(0u, v->Run().Frames());
    v->SetFollow(true);
    ASSERT_TRUE(AppendRecordLine(path, Line(11, 2, 0), &error));
    ASSERT_TRUE(AppendRecordLine(path, Line(12, 2, 1), &error));
    v->FollowNow();
    EXPECT_EQ(2u, v->Run().Frames());
    // Half a line: nothing yet, and no skipped line either.
    const std::string next = Line(13, 3, 2);
    testfiles::WriteBytes(path, testfiles::ReadBytes(path) + next.substr(0, 20));
    v->FollowNow();
    EXPECT_EQ(2u, v->Run().Frames());
    EXPECT_TRUE(v->StatusText().contains("NO LINE END YET"));
    testfiles::WriteBytes(path, testfiles::ReadBytes(path) + next.substr(20));
    // The timer reads it by itself.
    for (int i = 0; i < 200 && v->Run().Frames() < 3; ++i) {
        platform::ProcessSystemEvents();
    }
    ASSERT_EQ(3u, v->Run().Frames());
    EXPECT_EQ(3, v->Run().Value(kFieldColor, 2));
    EXPECT_EQ(0u, v->Reader().skippedLines());
    // The file started afresh is read from its beginning.
    ASSERT_TRUE(StartRecordFile(path, RecordFileHeader(kTitle, "") + Line(99, 1, 5), &error));
    v->FollowNow();
    ASSERT_EQ(1u, v->Run().Frames());
    EXPECT_EQ(99, v->Run().Value(0, 0));
}

TEST_F(Viewer, CancelOrCloseDuringTheLoadStopsTheReading) {
    const std::string path = WriteRun("big.dat", 300000);
    RecordViewer* v = OpenRecordViewer(path);
    EXPECT_TRUE(v->Loading());
    v->CancelLoad(); // the worker stops after its first chunk
    Loaded(v);
    EXPECT_GT(v->Run().Frames(), 0u);
    EXPECT_LT(v->Run().Frames(), 300000u);
    EXPECT_TRUE(v->StatusText().contains("READING WAS CANCELLED")) << v->StatusText().toStdString();

    v = OpenRecordViewer(WriteRun("big2.dat", 300000));
    EXPECT_TRUE(v->Loading());
    delete v; // waits for the worker
    EXPECT_EQ(1u, RecordViewers().size());
    EXPECT_TRUE(popups_.Records().empty());
}

TEST_F(Viewer, ExportsThePictureOrSaysItCannot) {
    RecordViewer* v = Loaded(OpenRecordViewer(WriteRun("e.dat", 30)));
    std::string error;
    const QString png = QString::fromStdString((dir_ / "e.png").string());
    ASSERT_TRUE(v->ExportTo(png, &error)) << error;
    QImage image(png);
    EXPECT_EQ(v->grab().size(), image.size());
    const QString pdf = QString::fromStdString((dir_ / "e.pdf").string());
    ASSERT_TRUE(v->ExportTo(pdf, &error)) << error;
    EXPECT_EQ("%PDF", testfiles::ReadBytes(pdf.toStdString()).substr(0, 4));
    EXPECT_FALSE(v->ExportTo(QString::fromStdString((dir_ / "gone" / "e.png").string()), &error));
    EXPECT_NE(std::string::npos, error.find("CAN NOT BE WRITTEN")) << error;
    EXPECT_EQ(3u, static_cast<size_t>(
                      std::distance(fs::directory_iterator(dir_), fs::directory_iterator{})));
}

TEST_F(Viewer, AParameterFileGivesTheViewerAloneItsTeachTable) {
    const params::ParameterBlockBytes startBlock = params::Model().Block();
    const params::TeachTableBytes startTable = params::Model().Table();
    params::TeachTableBytes table = startTable;
    table.bytes[3 * params::kTeachVectorSize] ^= 0x5A; // a row the start set does not hold
    const std::string backup = (dir_ / "backup.ini").string();
    ASSERT_EQ(0, params::WriteParameterFile(backup, startBlock, table));
    const std::string run = WriteRun("desk.dat", 5);
    const auto handle = [&run](const std::string& params) {
        std::string args[] = {"chromik3-scope", "--view", run, "--params", params};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                        args[4].data()};
        return app::HandleCommandLine(5, argv);
    };
    ASSERT_EQ(-1, handle(backup));
    EXPECT_EQ(0, std::memcmp(table.bytes, params::Model().Table().bytes, sizeof table.bytes));

    // A file that is not there or not a parameter file: a message, the
    // program does not start, the set stays.
    params::Model().Replace(startBlock, startTable);
    EXPECT_EQ(1, handle((dir_ / "missing.ini").string()));
    EXPECT_EQ(1, handle(run));
    EXPECT_EQ(
        0, std::memcmp(startTable.bytes, params::Model().Table().bytes, sizeof startTable.bytes));
}

TEST_F(Viewer, CommandLineRecorderPageAndDropOpenAWindow) {
    // --view: the viewer alone, one window per file named.
    const std::string a = WriteRun("cli.dat", 5);
    std::string args[] = {"chromik3-scope", "--view", a};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data()};
    ASSERT_EQ(-1, app::HandleCommandLine(3, argv));
    ASSERT_EQ(std::vector<std::string>{a}, app::ViewFilesOfCommandLine());
    static int lastClosed = 0;
    SetLastViewerClosedHandler([]() { ++lastClosed; }); // the viewer alone ends there
    app::OpenViewFiles(app::ViewFilesOfCommandLine());
    ASSERT_EQ(1u, RecordViewers().size());
    EXPECT_EQ(5u, Loaded(RecordViewers()[0])->Run().Frames());
    CloseRecordViewers();
    SetLastViewerClosedHandler(nullptr);
    EXPECT_EQ(1, lastClosed);

    ASSERT_TRUE(app::LoadPanels());
    app::WireAllPanels();
    // VIEW RECORD... opens the file chosen in the dialog.
    const std::string b = WriteRun("page.dat", 6);
    popups_.Answer(platform::kExistingFileSelected, b);
    app::P().recorder.viewRecord->click();
    ASSERT_EQ(1u, RecordViewers().size());
    EXPECT_EQ("page.dat", RecordViewers()[0]->windowTitle());
    ASSERT_FALSE(popups_.Records().empty());
    EXPECT_EQ(platform::PopupKind::FileSelect, popups_.Records().back().kind);

    // A .dat dropped on the main window opens; anything else is not taken.
    const std::string c = WriteRun("dropped.dat", 7);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(c)),
                  QUrl::fromLocalFile(QString::fromStdString((dir_ / "notes.txt").string()))});
    QWidget* window = app::P().main.window;
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    ASSERT_EQ(2u, RecordViewers().size());
    EXPECT_EQ(7u, Loaded(RecordViewers()[1])->Run().Frames());
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile("/tmp/notes.txt")});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &refused);
    EXPECT_FALSE(refused.isAccepted());
    app::Shutdown(); // closes the viewers with the panels
    EXPECT_TRUE(RecordViewers().empty());
}

} // namespace
