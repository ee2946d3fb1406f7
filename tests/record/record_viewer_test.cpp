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
#include "platform/shell_services.h"
#include "record/record_file.h"
#include "record/record_viewer.h"
#include "record/record_viewers.h"
#include "record/recorder_ui.h"
#include "tests/record/record_viewer_fixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

using namespace record;
using namespace viewertest;

namespace {

TEST_F(Viewer, OpensEachFileInAWindowOfItsOwnTitledWithItsName) {
    const std::string a = WriteRun("a.dat", 40);
    const std::string b = WriteRun("b.dat", 8);
    RecordViewer* va = Loaded(viewers_.Open(a));
    RecordViewer* vb = Loaded(viewers_.Open(b));
    ASSERT_NE(va, vb);
    EXPECT_EQ("a.dat", va->windowTitle());
    EXPECT_EQ(40u, va->Run().Frames());
    EXPECT_EQ(8u, vb->Run().Frames());
    EXPECT_EQ("LINE 1", va->Run().panelId);
    // The same file again raises its window.
    EXPECT_EQ(va, viewers_.Open((dir_ / "." / "a.dat").string()));
    EXPECT_EQ(2u, viewers_.Windows().size());
    EXPECT_TRUE(popups_.Records().empty());

    // The frame cursor shows every field of its frame.
    va->SetFrameCursor(9);
    const QString cursor = va->CursorText();
    EXPECT_TRUE(cursor.startsWith("FRAME 10 (LINE 15)   12-08-2026 10:00:02"))
        << cursor.toStdString();
    EXPECT_TRUE(cursor.contains("RED 1009")) << cursor.toStdString();
    EXPECT_TRUE(cursor.contains("COLOR 255")) << cursor.toStdString();

    va->close();
    platform::ProcessSystemEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(1u, viewers_.Windows().size());
}

TEST_F(Viewer, ASpanShowsItsFramesAndTheirFiguresOnEitherAxis) {
    RecordViewer* v = Loaded(viewers_.Open(WriteRun("span.dat", 40)));
    ASSERT_EQ(40u, v->Run().Frames());
    // Frames 4..11 lie in seconds 1 and 2 (four a second, spread over it).
    const int64_t second1 = v->Run().seconds[4];
    v->SelectSpan(static_cast<double>(second1), static_cast<double>(second1) + 1.9);
    EXPECT_EQ(4u, v->ShownFrames().first);
    EXPECT_EQ(12u, v->ShownFrames().last);
    const QString summary = v->SummaryText();
    EXPECT_TRUE(summary.startsWith("SELECTED SPAN: 8 FRAMES")) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QRegularExpression("RED +1007.5 +2.45 +1004 +1011")))
        << summary.toStdString();
    // Per COLOR: frames, share, X/Y/INT mean and SD.
    EXPECT_TRUE(summary.contains(QRegularExpression("NO MATCH +1 +12.5% +309.0/0.0")))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QRegularExpression("\\n0 +2 +25.0% +307.5/3.5")))
        << summary.toStdString();
    // COPY: the same as a table.
    EXPECT_TRUE(v->SummaryTable().contains("\nRED\t1007.50\t2.45\t1004\t1011\n"))
        << v->SummaryTable().toStdString();
    // The span is frames, whatever the axis shows.
    v->SetTimeAxis(false);
    EXPECT_EQ(4u, v->ShownFrames().first);
    v->SelectSpan(30, 100); // frames count from 1
    EXPECT_EQ(29u, v->ShownFrames().first);
    EXPECT_EQ(40u, v->ShownFrames().last);
    v->ClearSpan();
    EXPECT_TRUE(v->SummaryText().startsWith("IN VIEW: 40 FRAMES"));
}

TEST_F(Viewer, RefusesWhatIsNoRecordFileAndSaysWhichLinesWereSkipped) {
    const std::string other = (dir_ / "settings.dat").string();
    testfiles::WriteBytes(other, "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n");
    Loaded(viewers_.Open(other));
    platform::ProcessSystemEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewers_.Windows().empty());
    const std::string message = popups_.LastText("ATTENTION!");
    EXPECT_NE(std::string::npos, message.find("settings.dat")) << message;
    EXPECT_NE(std::string::npos,
              message.find("the title line \"RECORD RESULTS OF: ...\" is missing"))
        << message;

    const std::string damaged = WriteRun("damaged.dat", 6);
    testfiles::WriteBytes(damaged,
                          testfiles::ReadBytes(damaged) + "12-08-2026\t10:00\r\n" + Line(5, 1, 9));
    RecordViewer* v = Loaded(viewers_.Open(damaged));
    EXPECT_EQ(7u, v->Run().Frames());
    EXPECT_TRUE(
        v->StatusText().contains("1 LINES DO NOT PARSE AND ARE SKIPPED; THE FIRST IS LINE 12 OF "
                                 "THE FILE"))
        << v->StatusText().toStdString();
}

TEST_F(Viewer, FollowTakesWhatARecordingAppendsAndWaitsForAHalfWrittenLine) {
    const std::string path = (dir_ / "growing.dat").string();
    std::string error;
    ASSERT_TRUE(StartRecordFile(path, RecordFileHeader(kTitle, ""), &error));
    RecordViewer* v = Loaded(viewers_.Open(path));
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
    RecordViewer* v = viewers_.Open(path);
    EXPECT_TRUE(v->Loading());
    v->CancelLoad(); // the worker stops after its first chunk
    Loaded(v);
    EXPECT_GT(v->Run().Frames(), 0u);
    EXPECT_LT(v->Run().Frames(), 300000u);
    EXPECT_TRUE(v->StatusText().contains("READING WAS CANCELLED")) << v->StatusText().toStdString();
    EXPECT_FALSE(v->StatusText().contains("LINE END")) << v->StatusText().toStdString();

    v = viewers_.Open(WriteRun("big2.dat", 300000));
    EXPECT_TRUE(v->Loading());
    delete v; // waits for the worker
    EXPECT_EQ(1u, viewers_.Windows().size());
    EXPECT_TRUE(popups_.Records().empty());
}

TEST_F(Viewer, ExportsThePictureOrSaysItCannot) {
    RecordViewer* v = Loaded(viewers_.Open(WriteRun("e.dat", 30)));
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
    EXPECT_NE(std::string::npos, error.find("No such file or directory")) << error;
    EXPECT_EQ(3u, static_cast<size_t>(
                      std::distance(fs::directory_iterator(dir_), fs::directory_iterator{})));
}

TEST_F(Viewer, AParameterFileGivesTheViewerAloneItsTeachTable) {
    const params::ParameterBlockBytes startBlock = app::ViewerModel().Block();
    const params::TeachTableBytes startTable = app::ViewerModel().Table();
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
    EXPECT_EQ(0, std::memcmp(table.bytes, app::ViewerModel().Table().bytes, sizeof table.bytes));
    EXPECT_TRUE(app::ViewNoteOfCommandLine().empty());

    // A file read all the same, lacking a key: the viewers say so too.
    std::string text = testfiles::ReadBytes(backup);
    const size_t key = text.find('=', text.size() / 2);
    const size_t from = text.rfind('\n', key) + 1;
    text.erase(from, text.find('\n', key) + 1 - from);
    testfiles::WriteBytes(backup, text);
    ASSERT_EQ(-1, handle(backup));
    record::RecordViewers alone(app::ViewerModel());
    app::OpenViewFiles(alone, {run});
    ASSERT_EQ(1u, alone.Windows().size());
    EXPECT_TRUE(Loaded(alone.Windows()[0])
                    ->StatusText()
                    .contains("PARAMETER FILE " + QString::fromStdString(backup)))
        << alone.Windows()[0]->StatusText().toStdString();
    alone.CloseAll();

    // A file that is not there or not a parameter file: a message, the
    // program does not start, the set stays.
    app::ViewerModel().Replace(startBlock, startTable);
    EXPECT_EQ(1, handle((dir_ / "missing.ini").string()));
    EXPECT_EQ(1, handle(run));
    EXPECT_EQ(0, std::memcmp(startTable.bytes, app::ViewerModel().Table().bytes,
                             sizeof startTable.bytes));
}

TEST_F(Viewer, CommandLineRecorderPageAndDropOpenAWindow) {
    // --view: the viewer alone, one window per file named.
    const std::string a = WriteRun("cli.dat", 5);
    std::string args[] = {"chromik3-scope", "--view", a};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data()};
    ASSERT_EQ(-1, app::HandleCommandLine(3, argv));
    ASSERT_EQ(std::vector<std::string>{a}, app::ViewFilesOfCommandLine());
    record::RecordViewers alone(app::ViewerModel());
    static int lastClosed = 0;
    static bool shown = false;
    alone.SetClosedHandler([](bool wasShown, bool last) { // the viewer alone ends there
        lastClosed += last ? 1 : 0;
        shown = wasShown;
    });
    app::OpenViewFiles(alone, app::ViewFilesOfCommandLine());
    ASSERT_EQ(1u, alone.Windows().size());
    EXPECT_EQ(5u, Loaded(alone.Windows()[0])->Run().Frames());
    alone.CloseAll();
    EXPECT_EQ(1, lastClosed);
    EXPECT_TRUE(shown);
    // A file that cannot be shown closes its window as not shown.
    app::OpenViewFiles(alone, {Write("empty.dat", "")});
    Loaded(alone.Windows()[0]);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(2, lastClosed);
    EXPECT_FALSE(shown);
    EXPECT_NE(std::string::npos, popups_.LastText("ATTENTION!").find("The file is empty."));
    alone.SetClosedHandler({});

    ASSERT_TRUE(app::LoadPanels(program_));
    app::WireAllPanels();
    // VIEW RECORD... opens the file chosen in the dialog, which starts with
    // the recorder's file selected and takes only existing files.
    const std::string b = WriteRun("page.dat", 6);
    shell::Shell().Paths().recorderFile = b;
    popups_.Answer(platform::kExistingFileSelected, (dir_ / "none.dat").string());
    app::P().recorder.viewRecord->click();
    EXPECT_TRUE(app::Viewers().Windows().empty());
    ASSERT_FALSE(popups_.Records().empty());
    const platform::PopupRecord& dialog = popups_.Records().back();
    EXPECT_EQ(platform::PopupKind::FileSelect, dialog.kind);
    EXPECT_EQ(dir_.string(), dialog.file.directory);
    EXPECT_EQ("page.dat", dialog.file.defaultName);
    EXPECT_TRUE(dialog.file.existingOnly);
    popups_.Answer(platform::kExistingFileSelected, b);
    app::P().recorder.viewRecord->click();
    ASSERT_EQ(1u, app::Viewers().Windows().size());
    EXPECT_EQ("page.dat", app::Viewers().Windows()[0]->windowTitle());

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
    ASSERT_EQ(2u, app::Viewers().Windows().size());
    EXPECT_EQ(7u, Loaded(app::Viewers().Windows()[1])->Run().Frames());
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile("/tmp/notes.txt")});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &refused);
    EXPECT_FALSE(refused.isAccepted());
    const QPointer<QWidget> first = app::Viewers().Windows()[0];
    app::Shutdown(); // closes the viewers with the panels
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
}

} // namespace
