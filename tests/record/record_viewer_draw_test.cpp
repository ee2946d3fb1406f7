// What the record viewer draws, looked at in its pixels and in the data its
// graphs hold: a dense run's plane, dots drawn at the plane's real size, a
// run started afresh under FOLLOW, one frame, the time ticks, the PDF report
// and the exports, and finding, marking, filtering and comparing frames.
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "tests/record/record_viewer_fixture.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QShortcut>

#include <cstdio>

using namespace record;
using namespace viewertest;

namespace {

// Pixels of `image` for which `take` holds.
template <class F>
int Count(const QImage& image, F take) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += take(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// The colour `rgb` laid over white with some strength (as the plane's
// density picture draws a frame's point).
bool OfColour(const QColor& c, uint32_t rgb) {
    const int want[3] = {int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)};
    const int got[3] = {c.red(), c.green(), c.blue()};
    double strength = -1;
    for (int k = 0; k < 3; ++k) {
        if (want[k] == 255) {
            if (got[k] < 250) {
                return false;
            }
            continue;
        }
        const double s = (255.0 - got[k]) / (255.0 - want[k]);
        if (strength >= 0 && std::abs(s - strength) > 0.03) {
            return false;
        }
        strength = s;
    }
    return strength >= 0.6 && strength <= 1.01;
}

bool Dark(const QColor& c) {
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

std::string Shell(const std::string& command) {
    std::string out;
    FILE* f = ::popen((command + " 2>&1").c_str(), "r");
    char buf[4096];
    for (size_t n; f != nullptr && (n = std::fread(buf, 1, sizeof buf, f)) > 0;) {
        out.append(buf, n);
    }
    if (f != nullptr) {
        ::pclose(f);
    }
    return out;
}

QImage PlaneArea(RecordViewer* v) {
    // The plot area without its ticks and without the legend.
    ctl::Graph* g = v->PlaneGraph(0);
    const QRect area = g->axisRect()->rect().adjusted(8, 8, -8, -8);
    QImage image = g->grab(area).toImage();
    QPainter painter(&image);
    painter.fillRect(g->legend->outerRect().translated(-area.topLeft()), Qt::white);
    painter.end();
    if (qEnvironmentVariableIsSet("C3_SHOTS")) {
        static int shot = 0;
        image.save(QString("/tmp/vf/plane-%1.png").arg(shot++));
    }
    return image;
}

} // namespace

TEST_F(Viewer, ADenseRunShowsItsMatchedPointsAboveTheNoMatchesAtTheRealSize) {
    // 60 000 frames of one row in a cloud, one in a hundred without a match
    // among them.
    std::string text = RecordFileHeader(kTitle, "");
    for (int i = 0; i < 60000; ++i) {
        text +=
            Line(1000, i % 100 == 7 ? 255 : 2, i / 10, 400 + (i * 37) % 61, 300 + (i * 53) % 47);
    }
    RecordViewer* v = Loaded(viewers_.Open(Write("dense.dat", text)));
    v->RedrawNow();
    EXPECT_EQ(59400u, v->PlanePoints(0).matched);
    EXPECT_EQ(600u, v->PlanePoints(0).noMatch);
    const uint32_t row = model_.RowColour(2) & 0xFFFFFF;
    auto ofRow = [row](QColor c) { return OfColour(c, row); };
    QImage image = PlaneArea(v);
    const int matched = Count(image, ofRow);
    EXPECT_GT(matched, 2000);
    EXPECT_GT(Count(image, Dark), 100);
    // NO MATCH hidden: its layer is gone, the legend says so, and not one
    // pixel of the matched points was under it.
    v->ShowNoMatch(false);
    v->RedrawNow();
    image = PlaneArea(v);
    EXPECT_EQ(0, Count(image, Dark));
    EXPECT_EQ(matched, Count(image, ofRow));
    bool legend = false;
    for (int i = 0; i < v->PlaneGraph(0)->legend->itemCount(); ++i) {
        auto* item = qobject_cast<QCPPlottableLegendItem*>(v->PlaneGraph(0)->legend->item(i));
        legend |= item && item->plottable()->name() == "NO MATCH (255): 600 (1.0 %), HIDDEN";
    }
    EXPECT_TRUE(legend);

    // Three frames far apart: three dots of 4 x 4 pixels at the first
    // picture and after a resize alike (drawn anew, not stretched).
    text = RecordFileHeader(kTitle, "") + Line(1, 2, 0, 100, 100) + Line(2, 2, 1, 500, 500) +
           Line(3, 2, 2, 900, 900);
    v = Loaded(viewers_.Open(Write("three.dat", text)));
    v->RedrawNow();
    auto exact = [row](QColor c) { return (c.rgb() & 0xFFFFFF) == row; };
    EXPECT_EQ(48, Count(PlaneArea(v), exact));
    v->resize(1700, 1100);
    QCoreApplication::processEvents();
    v->RedrawNow();
    EXPECT_EQ(48, Count(PlaneArea(v), exact));
    // A click on a point finds its frame.
    ctl::Graph* g = v->PlaneGraph(0);
    size_t frame = 0;
    ASSERT_TRUE(v->FrameAtPlanePixel(
        0, QPointF(g->xAxis->coordToPixel(500) + 2, g->yAxis->coordToPixel(500)), &frame));
    EXPECT_EQ(1u, frame);
}

TEST_F(Viewer, FollowShowsARunStartedAfreshWholeAsItGrows) {
    const std::string path = (dir_ / "restart.dat").string();
    std::string error;
    ASSERT_TRUE(StartRecordFile(path, RecordFileHeader(kTitle, "") + Line(10, 1, 0), &error));
    RecordViewer* v = Loaded(viewers_.Open(path));
    v->SetFollow(true);
    ASSERT_TRUE(StartRecordFile(path, RecordFileHeader(kTitle, "") + Line(20, 1, 600), &error));
    v->FollowNow();
    ASSERT_EQ(1u, v->Run().Frames());
    v->RedrawNow();
    // One frame: a point of its own, and ticks that tell their times apart.
    EXPECT_EQ(QCPScatterStyle::ssDisc, v->SeriesGraph()->graph(0)->scatterStyle().shape());
    const QVector<QString> labels = v->SeriesGraph()->xAxis->tickVectorLabels();
    ASSERT_GT(labels.size(), 1);
    EXPECT_EQ(labels.size(), QSet<QString>(labels.begin(), labels.end()).size());
    EXPECT_TRUE(labels[0].contains('.')) << labels[0].toStdString();
    for (int i = 1; i <= 200; ++i) {
        ASSERT_TRUE(AppendRecordLine(path, Line(5000 + i, 1, 600 + i / 4, 900, 700), &error));
    }
    v->FollowNow();
    v->RedrawNow();
    ASSERT_EQ(201u, v->Run().Frames());
    EXPECT_TRUE(v->SummaryText().startsWith("IN VIEW: 201 FRAMES"))
        << v->SummaryText().toStdString();
    EXPECT_TRUE(v->SeriesGraph()->yAxis->range().contains(5200));
    EXPECT_TRUE(v->SeriesGraph()->yAxis->range().contains(20));
    EXPECT_TRUE(v->PlaneGraph(0)->xAxis->range().contains(900));
    EXPECT_TRUE(v->PlaneGraph(0)->yAxis->range().contains(700));
}

TEST_F(Viewer, OneFrameAClockSetBackAndFilesWithoutFramesSayWhatTheyHold) {
    // One frame, its line without a line end: read, and drawn as a point.
    const std::string one = RecordFileHeader(kTitle, "") + Line(1500, 1, 0);
    RecordViewer* v =
        Loaded(viewers_.Open(Write("one.dat", "\xEF\xBB\xBF" + one.substr(0, one.size() - 2))));
    ASSERT_EQ(1u, v->Run().Frames());
    EXPECT_FALSE(v->StatusText().contains("LINE END")) << v->StatusText().toStdString();
    v->RedrawNow();
    ctl::Graph* s = v->SeriesGraph();
    const QImage series = s->grab(s->axisRect()->rect()).toImage();
    EXPECT_GT(Count(series, [](QColor c) { return c == QColor(0xE0, 0, 0); }), 8);

    // The clock set back by an hour: the axis runs on, the status says where.
    std::string text = RecordFileHeader(kTitle, "");
    for (int i = 0; i < 8; ++i) {
        text += Line(i, 1, 7195 + i % 4 - (i >= 4 ? 3600 : 0));
    }
    text += "02-31-2026\t10:00:00\t1\t2\t3\t4\t5\t6\t7\t8\t9\t0\t1\r\n";
    v = Loaded(viewers_.Open(Write("clock.dat", text)));
    EXPECT_TRUE(std::is_sorted(v->Times().x.begin(), v->Times().x.end()));
    EXPECT_TRUE(v->StatusText().contains(
        "THE CLOCK STEPS BACK BY 3603 S AT FRAME 5 (LINE 9): THE TIME AXIS RUNS ON BY FRAME"))
        << v->StatusText().toStdString();
    EXPECT_TRUE(
        v->StatusText().contains("1 LINES DO NOT PARSE AND ARE SKIPPED; THE FIRST IS LINE 13"));

    // A header alone holds no frames; an empty file is refused as empty.
    v = Loaded(viewers_.Open(Write("header.dat", RecordFileHeader(kTitle, ""))));
    EXPECT_TRUE(v->StatusText().contains("THE FILE HOLDS NO FRAMES."))
        << v->StatusText().toStdString();
    EXPECT_FALSE(v->SeriesGraph()->xAxis->tickLabels());
    Loaded(viewers_.Open(Write("empty.dat", "")));
    EXPECT_NE(std::string::npos, popups_.LastText("ATTENTION!").find("The file is empty."));
}

TEST_F(Viewer, TheReportIsAnA4PdfOfVectorsInExactColoursAndScriptsGetIt) {
    const std::string record = WriteRun("report.dat", 400);
    RecordViewer* v = Loaded(viewers_.Open(record));
    std::string error;
    const std::string pdf = (dir_ / "report.pdf").string();
    ASSERT_TRUE(v->ExportTo(QString::fromStdString(pdf), &error)) << error;
    EXPECT_NE(std::string::npos, Shell("pdfinfo " + pdf).find("842 x 595 pts (A4)"));
    const std::string images = Shell("pdfimages -list " + pdf);
    EXPECT_EQ(2, std::count(images.begin(), images.end(), '\n')) << images; // the captions alone
    Shell("pdftoppm -r 200 -f 1 -l 1 -png " + pdf + " " + (dir_ / "page").string());
    const QImage page(QString::fromStdString((dir_ / "page-1.png").string()));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(Count(page, [](QColor c) { return c == QColor(0xE0, 0, 0); }), 100); // RED
    EXPECT_GT(Count(page, [](QColor c) { return c == QColor(0, 0, 0xFF); }), 100); // BLUE
    const std::string words = Shell("pdftotext -layout " + pdf + " -");
    EXPECT_NE(std::string::npos, words.find("report.dat"));
    EXPECT_NE(std::string::npos, words.find("400 FRAMES OF 400 (IN VIEW: FRAME 1 .. 400"));
    viewers_.CloseAll();

    // Without a window: the frames of a span as CSV, or the reason it fails.
    const std::string csv = (dir_ / "span.csv").string();
    ASSERT_EQ(0, ExportRecordWithoutWindow(model_, record, csv, "11:20", &error)) << error;
    const std::string rows = testfiles::ReadBytes(csv);
    EXPECT_EQ(11, std::count(rows.begin(), rows.end(), '\n'));
    EXPECT_EQ(0u, rows.find("FRAME,LINE,TIME,RED"));
    EXPECT_NE(std::string::npos, rows.find("\n11,16,2026-12-08T10:00:02,1010,"));
    EXPECT_EQ(1, ExportRecordWithoutWindow(model_, record, csv, "500:600", &error));
    EXPECT_NE(std::string::npos, error.find("holds no frame")) << error;
    EXPECT_EQ(1, ExportRecordWithoutWindow(model_, Write("no.dat", "x\n"), csv, "", &error));
    EXPECT_NE(std::string::npos, error.find("This is no record file")) << error;
    EXPECT_TRUE(popups_.Records().empty());
    EXPECT_TRUE(viewers_.Windows().empty());
}

TEST_F(Viewer, FindsMarksFiltersAndComparesFrames) {
    const std::string path = WriteRun("find.dat", 40);
    RecordViewer* v = Loaded(viewers_.Open(path));
    ASSERT_TRUE(v->FindNoMatch(1));
    EXPECT_EQ(9u, v->CursorFrame());
    ASSERT_TRUE(v->FindNoMatch(1));
    EXPECT_EQ(19u, v->CursorFrame());
    ASSERT_TRUE(v->FindNoMatch(-1));
    EXPECT_EQ(9u, v->CursorFrame());
    EXPECT_FALSE(v->FindNoMatch(-1));
    // The keys: arrows step the cursor, End goes to the last frame, N finds.
    auto press = [v](QKeySequence keys) {
        for (QShortcut* s : v->findChildren<QShortcut*>()) {
            if (s->key() == keys) {
                emit s->activated();
            }
        }
    };
    press(QKeySequence(Qt::Key_Right));
    EXPECT_EQ(10u, v->CursorFrame());
    press(QKeySequence(Qt::Key_End));
    EXPECT_EQ(39u, v->CursorFrame());
    press(QKeySequence(Qt::SHIFT | Qt::Key_N));
    EXPECT_EQ(29u, v->CursorFrame());
    press(QKeySequence(Qt::Key_Home));
    EXPECT_EQ(0u, v->CursorFrame());
    v->SetFrameCursor(9);

    // A mark goes to the file beside the record, which stays as it was.
    const std::string before = testfiles::ReadBytes(path);
    std::string error;
    ASSERT_TRUE(v->SetMark(9, "label missing", &error)) << error;
    EXPECT_TRUE(v->CursorText().contains("MARK: label missing"));
    EXPECT_EQ(before, testfiles::ReadBytes(path));
    viewers_.CloseAll();
    v = Loaded(viewers_.Open(path));
    ASSERT_EQ(1u, v->Marks().size());
    EXPECT_EQ(9u, v->Marks()[0].frame);
    ASSERT_TRUE(v->RemoveMark(9, &error));
    EXPECT_FALSE(fs::exists(MarksPathOf(path)));

    // Only the frames of COLOR 2: the series holds them alone, the plane too.
    v->SetFilter({FrameFilter::Kind::Color, 2});
    v->RedrawNow();
    EXPECT_EQ(8, v->SeriesGraph()->graph(0)->dataCount());
    EXPECT_EQ(1002, v->SeriesGraph()->graph(0)->data()->at(0)->value);
    EXPECT_EQ(8u, v->PlanePoints(0).matched);
    EXPECT_TRUE(v->SummaryText().startsWith("IN VIEW: 8 FRAMES OF COLOR 2"));
    v->SetFilter({});

    // A second run laid over the first from its start, then at frame 11.
    std::string text = RecordFileHeader(kTitle, "");
    for (int i = 0; i < 20; ++i) {
        text += Line(3000 + i, 1, 7200 + i);
    }
    v->CompareWith(QString::fromStdString(Write("other.dat", text)));
    Loaded(v);
    ASSERT_TRUE(v->HasOverlay());
    v->RedrawNow();
    const QCPGraph* dashed = v->SeriesGraph()->graph(kRecordFieldCount); // its RED
    ASSERT_GT(dashed->dataCount(), 0);
    EXPECT_DOUBLE_EQ(v->Times().x[0], dashed->data()->at(0)->key);
    EXPECT_EQ(3000, dashed->data()->at(0)->value);
    EXPECT_EQ(20u, v->PlanePoints(0).overlay);
    v->AlignOverlay(10, 0);
    v->SetTimeAxis(false);
    v->RedrawNow();
    EXPECT_DOUBLE_EQ(11, v->SeriesGraph()->graph(kRecordFieldCount)->data()->at(0)->key);
    EXPECT_TRUE(v->StatusText().contains("ITS FRAME 1 LAID ON FRAME 11"))
        << v->StatusText().toStdString();
}
