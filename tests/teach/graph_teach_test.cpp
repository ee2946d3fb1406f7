// The graph teach panel: recording against the simulated sensor, the
// cursor that selects a recorded point in all three views, teaching it,
// RESET, the stop at 60 000 points, and the dots on screen.
#include "app/panels.h"
#include "live/display_refresh.h"
#include "live/live_data.h"
#include "live/live_math.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/widgets.h"
#include "teach/point_cloud.h"
#include "tests/teach/teach_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

using app::P;
using Row = std::array<int, 5>;

namespace {

class GraphTeachTest : public TeachFixture {
protected:
    void SetUp() override {
        TeachFixture::SetUp();
        P().teachPage.teachRecordedValues->click();
        Settle();
    }
    teach::TeachGraphPanel& Ui() { return P().teachGraph; }
    // A frame as the sensor would send it, stored and plotted.
    static void Frame(int x, int y, int i, int red = 1600, int green = 800, int blue = 160) {
        live::LiveDataFrameBytes& f = app::P().sensor.frames.CurrentForEdit();
        f.set(live::kX, static_cast<int16_t>(x));
        f.set(live::kY, static_cast<int16_t>(y));
        f.set(live::kInt, static_cast<int16_t>(i));
        f.set(live::kRed, static_cast<int16_t>(red));
        f.set(live::kGreen, static_cast<int16_t>(green));
        f.set(live::kBlue, static_cast<int16_t>(blue));
        Views().Graph().SetTP2Data();
    }
    std::array<int, 3> Shown() {
        return {static_cast<int>(Ui().cursorValue[0]->Val()),
                static_cast<int>(Ui().cursorValue[1]->Val()),
                static_cast<int>(Ui().cursorValue[2]->Val())};
    }
    QPointF Cursor(int view) { return Ui().graph[view]->CursorPosition(0); }
    // Drags cursor 1 of a view and releases it at (x, y) in graph coordinates.
    void DragCursorTo(int view, double x, double y) {
        ctl::Graph* g = Ui().graph[view];
        g->replot();
        const QPointF from(g->xAxis->coordToPixel(Cursor(view).x()),
                           g->yAxis->coordToPixel(Cursor(view).y()));
        const QPointF to(g->xAxis->coordToPixel(x), g->yAxis->coordToPixel(y));
        QMouseEvent press(QEvent::MouseButtonPress, from, g->mapToGlobal(from), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, g->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, to, g->mapToGlobal(to), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(g, &press);
        QApplication::sendEvent(g, &move);
        QApplication::sendEvent(g, &release);
    }
};

} // namespace

TEST_F(GraphTeachTest, RecordsFramesWithOrderEightOnlyAndEndsOnTheNewestPoint) {
    EXPECT_EQ(Ui().panel, app::CurrentChildPanel());
    bool dimmed = false;
    RunLoop([&] { Ui().start->click(); },
            [&] {
                dimmed = !Ui().start->isEnabled() && !P().main.go->isEnabled() &&
                         !P().main.send->isEnabled();
                if (Views().Graph().RecordCount() < 40) {
                    return false;
                }
                P().main.stop->click();
                return true;
            });
    EXPECT_TRUE(dimmed);
    EXPECT_FALSE(Views().Graph().GraphTeachRunning());
    EXPECT_TRUE(Ui().start->isEnabled());
    const int n = Views().Graph().RecordCount();
    EXPECT_GE(n, 40);
    const auto lines = Received();
    EXPECT_EQ(static_cast<size_t>(n), lines.size());
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](auto& l) { return l == "8 0 0"; }));
    // the panel ends on the newest point
    EXPECT_EQ(n, Ui().counter->Val());
    const live::LiveDataFrameBytes& f = app::P().sensor.frames.CurrentForEdit();
    EXPECT_EQ((std::array<int, 3>{f.get(live::kX), f.get(live::kY), f.get(live::kInt)}), Shown());
    EXPECT_EQ(QPointF(f.get(live::kX), f.get(live::kInt)), Cursor(teach::kViewXInt));
    EXPECT_EQ(QPointF(f.get(live::kY), f.get(live::kInt)), Cursor(teach::kViewYInt));
    for (ctl::Graph* g : Ui().graph) {
        auto* cloud = dynamic_cast<teach::PointCloud*>(g->plottable(0));
        ASSERT_NE(nullptr, cloud);
        EXPECT_EQ(n, cloud->PointCount());
    }
    // START again goes on where the last recording ended
    RunLoop([&] { Ui().start->click(); }, [&] { return Views().Graph().RecordCount() >= n + 5; });
    EXPECT_GE(Views().Graph().RecordCount(), n + 5);
    EXPECT_EQ(f.get(live::kX), app::P().sensor.teach.RecordedPoints.At(0).x);
}

TEST_F(GraphTeachTest, ACursorSelectsTheRecordedPointInAllThreeViews) {
    Frame(500, 400, 800);
    Frame(510, 405, 810);
    Frame(520, 410, 820);
    app::P().refresh.Flush();
    EXPECT_EQ((std::array<int, 3>{520, 410, 820}), Shown());
    EXPECT_EQ(3, Ui().counter->Val());

    // the X/INT cursor released at (510, 810)
    Ui().graph[teach::kViewXInt]->SetCursor(0, 510, 810);
    Views().Graph().CBF_GraphXIntTP2(nullptr, ctl::Event::Commit);
    EXPECT_EQ((std::array<int, 3>{510, 405, 810}), Shown());
    EXPECT_EQ(QPointF(510, 405), Cursor(teach::kViewXY));
    EXPECT_EQ(QPointF(405, 810), Cursor(teach::kViewYInt));

    // dragged by the mouse: the cursor snaps to the nearest recorded point
    // and the release selects it
    for (ctl::Graph* g : Ui().graph) {
        g->SetXRange(300, 700);
        g->SetYRange(300, 1000);
    }
    DragCursorTo(teach::kViewXY, 521, 409);
    EXPECT_EQ(QPointF(520, 410), Cursor(teach::kViewXY));
    EXPECT_EQ((std::array<int, 3>{520, 410, 820}), Shown());
    EXPECT_EQ(QPointF(520, 820), Cursor(teach::kViewXInt));
    DragCursorTo(teach::kViewYInt, 401, 799);
    EXPECT_EQ((std::array<int, 3>{500, 400, 800}), Shown());

    // a cursor where no point lies selects the first point
    Ui().graph[teach::kViewXY]->SetCursor(0, 650, 650);
    Views().Graph().CBF_GraphXYTP2(nullptr, ctl::Event::Commit);
    EXPECT_EQ((std::array<int, 3>{500, 400, 800}), Shown());
    EXPECT_EQ(QPointF(500, 400), Cursor(teach::kViewXY));

    // equal X and Y: the X/Y view selects the earlier point
    Frame(300, 200, 900);
    Frame(300, 200, 1000);
    Ui().graph[teach::kViewXY]->SetCursor(0, 300, 200);
    Views().Graph().CBF_GraphXYTP2(nullptr, ctl::Event::Commit);
    EXPECT_EQ((std::array<int, 3>{300, 200, 900}), Shown());
}

TEST_F(GraphTeachTest, TeachTheSelectedPointLikeTeachDataTo) {
    SetModes(params::kXyInt2D, params::kFirstHit, params::kPowerStat);
    P().attributes.colorMode->SetVal(1); // automatic row colours
    Frame(500, 400, 800, 100, 100, 100);
    Frame(510, 405, 810, 4095, 0, 2048);
    Frame(520, 410, 820, 16, 16, 16);
    app::P().refresh.Flush();
    Ui().graph[teach::kViewXInt]->SetCursor(0, 510, 810);
    Views().Graph().CBF_GraphXIntTP2(nullptr, ctl::Event::Commit);
    app::P().sensor.model.SetTeachRowNo(2);
    P().teachPage.autoIncrement->setChecked(true);
    Ui().teach->click();
    EXPECT_EQ((Row{510, 405, 100, 810, 100}), GridRow(2));
    EXPECT_EQ(3, P().teachPage.rowNo->value());
    EXPECT_EQ(810, app::P().sensor.model.Table().get(2, params::kCell3));
    // the row takes the colour of the point taught
    EXPECT_EQ(live::ColourOfRgb(4095, 0, 2048), app::P().sensor.model.RowColour(2));
    EXPECT_EQ(app::P().sensor.model.RowColour(2), P().teachPage.grid->CellBackground(3, 6));

    // without a selection since the last frame, the last frame is taught
    Frame(530, 415, 830);
    app::P().refresh.Flush();
    Ui().teach->click();
    EXPECT_EQ((Row{530, 415, 100, 830, 100}), GridRow(3));
}

TEST_F(GraphTeachTest, ResetClearsAndACommitWithNothingRecordedChangesNothing) {
    Frame(500, 400, 800);
    Frame(510, 405, 810);
    app::P().refresh.Flush();
    user_->Answer(0);
    Ui().reset->click(); // declined
    EXPECT_EQ(2, Views().Graph().RecordCount());
    Ui().reset->click();
    EXPECT_EQ("Do you really want to reset the table?", user_->LastText("ATTENTION!"));
    EXPECT_EQ(0, Views().Graph().RecordCount());
    EXPECT_EQ(0, Ui().counter->Val());
    for (ctl::Graph* g : Ui().graph) {
        EXPECT_EQ(0, g->plottableCount());
    }
    const auto shown = Shown();
    const QPointF xy = Cursor(teach::kViewXY);
    Ui().graph[teach::kViewXY]->SetCursor(0, 123, 456); // as a drag leaves it
    Views().Graph().CBF_GraphXYTP2(nullptr, ctl::Event::Commit);
    EXPECT_EQ(shown, Shown());
    EXPECT_EQ(xy, Cursor(teach::kViewXY));
    // recording after RESET starts at index 0 again
    Frame(700, 100, 50);
    EXPECT_EQ(700, app::P().sensor.teach.RecordedPoints.At(0).x);
    EXPECT_EQ(1, Ui().graph[0]->plottableCount());
}

TEST_F(GraphTeachTest, RecordingStopsAtSixtyThousandPoints) {
    for (int i = 0; i < teach::kMaxRecordedPoints - 1; ++i) {
        Frame(i % 1000, (i / 1000) * 10, i % 4000);
    }
    EXPECT_EQ(59999, Views().Graph().RecordCount());
    RunLoop([&] { Ui().start->click(); }, [] { return false; }, 5);
    EXPECT_EQ(teach::kMaxRecordedPoints, Views().Graph().RecordCount());
    EXPECT_EQ(1u, Received().size()); // one frame, then the loop stopped by itself
    EXPECT_EQ(60000, Ui().counter->Val());
    // START with a full buffer stores nothing and asks the sensor nothing
    Ui().start->click();
    EXPECT_EQ(teach::kMaxRecordedPoints, Views().Graph().RecordCount());
    EXPECT_TRUE(Received().empty());
    EXPECT_NE(std::string::npos, user_->LastText("INFO!").find("60000"));
    // a cursor search covers the whole buffer
    const teach::RecordedPoint& last = app::P().sensor.teach.RecordedPoints.At(59999);
    Ui().graph[teach::kViewXY]->SetCursor(0, last.x, last.y);
    Views().Graph().CBF_GraphXYTP2(nullptr, ctl::Event::Commit);
    EXPECT_EQ(static_cast<int>(last.intensity), Shown()[2]);
}

TEST_F(GraphTeachTest, DotsAppearWhereThePointsAreAndSurviveARangeChange) {
    ctl::Graph* g = Ui().graph[teach::kViewXY];
    Frame(250, 250, 100);
    g->replot();
    auto redAt = [&](double x, double y) {
        const QImage img = g->grab().toImage();
        const QPoint px(static_cast<int>(g->xAxis->coordToPixel(x)),
                        static_cast<int>(g->yAxis->coordToPixel(y)));
        int red = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                red += img.pixelColor(px + QPoint(dx, dy)) == QColor(255, 0, 0) ? 1 : 0;
            }
        }
        return red > 0;
    };
    EXPECT_TRUE(redAt(250, 250));
    EXPECT_FALSE(redAt(750, 750));
    Frame(750, 750, 100); // only the new dot is painted, the old one stays
    g->replot();
    EXPECT_TRUE(redAt(750, 750));
    EXPECT_TRUE(redAt(250, 250));
    g->SetXRange(0, 2000); // all dots anew at their new places
    g->replot();
    EXPECT_TRUE(redAt(250, 250));
    EXPECT_TRUE(redAt(750, 750));
}

TEST_F(GraphTeachTest, AxesFollowTheCalculationModeWhileThePanelIsOpen) {
    using Names = std::array<std::string, 3>;
    const Names xyInt[3] = {{"X/Y", "X", "Y"}, {"X/INT", "X", "INT"}, {"Y/INT", "Y", "INT"}};
    const Names siM[3] = {{"s/i", "s", "i"}, {"s/M", "s", "M"}, {"i/M", "i", "M"}};
    ctl::Ring* mode = P().para.calculationMode;
    for (int calc : {params::kSiM2D, params::kXyInt2D, params::kSiM3D, params::kXyInt3D}) {
        mode->SetVal(calc);
        emit mode->committed(); // chosen on the parameter page
        const bool sim = calc == params::kSiM2D || calc == params::kSiM3D;
        for (int v = 0; v < 3; ++v) {
            const Names& want = sim ? siM[v] : xyInt[v];
            ctl::Graph* g = Ui().graph[v];
            EXPECT_EQ(want[0], Ui().graphLabel[v]->text().toStdString()) << calc;
            EXPECT_EQ(want[1], g->xAxis->label().toStdString()) << calc << " view " << v;
            EXPECT_EQ(want[2], g->yAxis->label().toStdString()) << calc << " view " << v;
        }
        // M runs to 1200, INT to 4096
        EXPECT_DOUBLE_EQ(sim ? 1200 : 4096, Ui().graph[teach::kViewYInt]->yAxis->range().upper)
            << calc;
    }
}
