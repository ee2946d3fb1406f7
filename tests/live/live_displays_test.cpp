// The live displays without a running loop, and bad frames during GO:
// short answers, values a sensor should not send, failed exchanges; the
// signal graphs, the zoom clicks of the strip charts and the big panels.
#include "app/panels.h"
#include "live/big_panels.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/graphs.h"
#include "live/live_state.h"
#include "live/live_views.h"
#include "live/signal_graph.h"
#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

#include <cmath>
#include <cstring>

using app::P;
using namespace live;

namespace {

class LiveDisplays : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartConnected(false, {}, {"scene noise 0"}));
    }
    // The program's live state and the window's live views.
    static LiveState& Live() { return app::P().sensor.live; }
    static LiveViews& Views() { return *P().liveViews; }
    // One frame through the display path, written at once.
    void Show(const LiveDataFrameBytes& f) {
        app::P().sensor.frames.Publish(f, kUseGo, app::P().sensor.model.EvaluationMode());
        app::P().refresh.Flush();
    }
    static bool Finite(ctl::Graph* g) {
        return std::isfinite(g->xAxis->range().lower) && std::isfinite(g->xAxis->range().upper) &&
               std::isfinite(g->yAxis->range().lower) && std::isfinite(g->yAxis->range().upper) &&
               g->xAxis->range().size() > 0 && g->yAxis->range().size() > 0;
    }
    // GO until `frames` frames were shown (the sensor answers them all).
    void GoFor(unsigned long long frames) {
        const auto base = app::P().sensor.live.GoLoopCounters.frames;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (app::P().sensor.link.AcquisitionRunning == 1 &&
                app::P().sensor.live.GoLoopCounters.frames - base >= frames) {
                P().main.stop->click();
            }
        });
        poll.start();
        P().main.go->click();
    }
};

} // namespace

TEST_F(LiveDisplays, AShortAnswerShowsZerosInTheMissingFields) {
    // 20 data bytes with a good CRC: the first ten words, then nothing.
    sensor_->Command("fault oversize 20 order=8 count=0");
    GoFor(3);
    for (int w = 10; w < kLiveFieldCount; ++w) {
        EXPECT_EQ(0, app::P().sensor.frames.Current().get(static_cast<LiveField>(w))) << w;
    }
    EXPECT_EQ(0, P().attributes.temp->Val());
    EXPECT_EQ(0, P().calibration.raw[0]->Val());
    EXPECT_EQ(0, P().data.extreme[5]->Val());
}

TEST_F(LiveDisplays, ValuesASensorShouldNotSendAreShownAndDrawnWithFiniteAxes) {
    for (const uint16_t mode : {params::kXyInt2D, params::kSiM2D, params::kXyInt3D}) {
        app::P().sensor.model.SetValue(params::kCalculationMode, mode);
        LiveDataFrameBytes f;
        f.set(kRed, 32767);
        f.set(kGreen, -32768);
        f.set(kX, -5);
        f.set(kY, 32767);
        f.set(kInt, 32767);
        f.set(kColor, -1);
        Show(f);
        DataPanel& d = P().data;
        EXPECT_EQ(-5, d.x->Val());
        EXPECT_EQ(32767, d.intensity->Val());
        EXPECT_EQ(4095, d.bar[0]->value());
        EXPECT_EQ(0, d.bar[1]->value());
        for (ctl::Graph* g : {d.colorPlane, d.view[0], d.view[1], d.view[2], d.rgbChart}) {
            EXPECT_TRUE(Finite(g)) << mode;
        }
        if (mode == params::kSiM2D) {
            EXPECT_EQ(1200, d.intensityBar->CursorPosition(0).x()); // M shown at most 1200
        } else if (mode == params::kXyInt2D) {
            EXPECT_EQ(32767, d.intensityBar->CursorPosition(0).x());
            EXPECT_EQ(QPointF(-5, 32767), d.colorPlane->CursorPosition(0));
        } else {
            EXPECT_EQ(QPointF(-5, 32767), d.view[1]->CursorPosition(0));
        }
    }
}

TEST_F(LiveDisplays, AFailedExchangeLeavesTheFrameTheDisplaysAndTheHistories) {
    LiveDataFrameBytes marker;
    marker.set(kRed, 1234);
    marker.set(kInt, 777);
    Show(marker);
    const History rgb = Live().RgbHistory;
    const History ints = Live().IntHistory;
    sensor_->Command("fault corrupt-data order=8");
    P().main.go->click(); // the first answer fails and ends GO
    EXPECT_FALSE(app::P().sensor.live.GoRunning);
    EXPECT_EQ(0, std::memcmp(marker.bytes, app::P().sensor.frames.Current().bytes, kLiveFrameSize));
    EXPECT_EQ(0, std::memcmp(rgb.v, Live().RgbHistory.v, sizeof rgb.v));
    EXPECT_EQ(0, std::memcmp(ints.v, Live().IntHistory.v, sizeof ints.v));
    EXPECT_EQ(1234, P().data.rgb.red->Val());
    EXPECT_EQ("TIMEOUT!", P().data.status->text().toStdString());
}

TEST_F(LiveDisplays, HistoriesCarryTheSelectedRowsBandAndContinueAcrossGo) {
    // Row 2 of the factory table: INT 1107, ITO 400.
    app::P().sensor.model.SetTeachRowNo(2);
    LiveDataFrameBytes f;
    f.set(kInt, 1000);
    Show(f);
    EXPECT_EQ(1000, Live().IntHistory.At(99, 0));
    EXPECT_EQ(1507, Live().IntHistory.At(99, 1));
    EXPECT_EQ(707, Live().IntHistory.At(99, 2));
    // A new GO continues the histories: the frame shown before GO moves left
    // (STOP pressed as the second frame comes; the sensor answers slowly, so
    // only a few frames are on their way by then).
    sensor_->Command("fault delay-header 5 order=8 count=0");
    const auto base = app::P().sensor.live.GoLoopCounters.frames;
    const int stopper =
        app::P().sensor.frames.published.Subscribe([&](const LiveDataFrameBytes&, unsigned) {
            if (app::P().sensor.live.GoLoopCounters.frames - base >= 1) {
                P().main.stop->click();
            }
        });
    GoFor(2);
    app::P().sensor.frames.published.Unsubscribe(stopper);
    const int shown = static_cast<int>(app::P().sensor.live.GoLoopCounters.frames - base);
    ASSERT_LT(shown, 99);
    EXPECT_EQ(1000, Live().IntHistory.At(99 - shown, 0));
    EXPECT_EQ(1507, Live().IntHistory.At(99 - shown, 1));
}

TEST_F(LiveDisplays, SignalGraphsStartWithAZeroLengthSegmentAndShowTheChosenSignal) {
    LiveDataFrameBytes f;
    f.set(kRed, 100);
    f.set(kTemp, 350);
    app::P().sensor.frames.Publish(f, 0, 0); // the current frame, for no display
    Views().signalGraph.InitPanelGraph();
    for (int i = 0; i < 3; ++i) {
        f.set(kRed, static_cast<int16_t>(200 + i));
        app::P().sensor.frames.Publish(f, kUseSignalGraph, 0);
    }
    app::ShowChildPanelDisp(P().signalGraph.panel);
    app::P().refresh.Flush();
    SignalGraphPanel& ui = P().signalGraph;
    QCPGraph* red = ui.graph[0]->graph(0);
    ASSERT_EQ(4, red->dataCount()); // (0,200) twice, then frames 1 and 2
    EXPECT_EQ(0, red->data()->at(0)->key);
    EXPECT_EQ(200, red->data()->at(1)->value);
    EXPECT_EQ(2, red->data()->at(3)->key);
    EXPECT_EQ(202, red->data()->at(3)->value);
    EXPECT_EQ(QColor(255, 0, 0), red->pen().color());
    EXPECT_EQ(QColor(0, 128, 128), ui.graph[6]->graph(0)->pen().color());
    EXPECT_EQ(202, ui.value[0]->Val());
    EXPECT_EQ(350, ui.value[6]->Val());
    ui.signal->SetVal(5);
    Views().signalGraph.CBF_EditSignal(ui.signal, ctl::Event::Commit);
    for (int s = 0; s < kSignalCount; ++s) {
        EXPECT_EQ(s == 5, ui.graph[s]->isVisible()) << s;
    }
    // A new series starts over.
    Views().signalGraph.InitPanelGraph();
    EXPECT_EQ(0, ui.graph[0]->graphCount());
    app::P().sensor.frames.Publish(f, kUseSignalGraph, 0);
    EXPECT_EQ(0, ui.graph[0]->graph(0)->data()->at(0)->key);
    // CLOSE returns to the data panel.
    ui.close->click();
    EXPECT_EQ(P().data.panel, app::CurrentChildPanel());
    P().data.showGraph->click();
    EXPECT_EQ(P().signalGraph.panel, app::CurrentChildPanel());
}

TEST_F(LiveDisplays, StripChartZoomClicks) {
    DataPanel& d = P().data;
    Views().graphs.CBF_GraphRGB(d.rgbChart, ctl::Event::LeftDoubleClick);
    EXPECT_TRUE(d.rgbChart->YAutoScale());
    Views().graphs.CBF_GraphRGB(d.rgbChart, ctl::Event::LeftClick);
    EXPECT_FALSE(d.rgbChart->YAutoScale());
    EXPECT_EQ(4096, d.rgbChart->yAxis->range().upper);
    app::P().sensor.model.SetValue(params::kCalculationMode, params::kSiM2D);
    Views().graphs.CBF_GraphINT1(d.intChart, ctl::Event::LeftClick);
    EXPECT_EQ(1200, d.intChart->yAxis->range().upper);
    app::P().sensor.model.SetValue(params::kCalculationMode, params::kXyInt3D);
    Views().graphs.CBF_GraphINT1(d.intChart, ctl::Event::LeftClick);
    EXPECT_EQ(4096, d.intChart->yAxis->range().upper);
}

TEST_F(LiveDisplays, BigPanelsOpenOnDoubleClickAndHideOnRightClickOrClose) {
    BigPanel& col = P().colBig;
    Views().bigPanels.CBF_DispCOL(P().data.color, ctl::Event::LeftDoubleClick);
    EXPECT_TRUE(col.panel->isVisible());
    Views().bigPanels.CBF_COLBIGP(col.panel, ctl::Event::RightClick);
    EXPECT_FALSE(col.panel->isVisible());
    BigPanel& grp = P().grpBig;
    Views().bigPanels.CBF_DispGroup(P().data.group, ctl::Event::LeftDoubleClick);
    EXPECT_TRUE(grp.panel->isVisible());
    QCloseEvent close;
    QCoreApplication::sendEvent(grp.panel, &close);
    EXPECT_FALSE(grp.panel->isVisible());
    // Opened again it shows the current frame.
    LiveDataFrameBytes f;
    f.set(kGroup, 3);
    Show(f);
    Views().bigPanels.CBF_DispGroup(P().data.group, ctl::Event::LeftDoubleClick);
    app::P().refresh.Flush();
    EXPECT_EQ(3, grp.value->Val());
}

TEST_F(LiveDisplays, TheViewsTakeTheirDisplayWritersAndSubscriptionsWithThem) {
    // Views made again on the same panels replace the first ones, whose
    // going must not take the new ones' display writers.
    app::Panels& p = P();
    p.liveViews = std::make_unique<LiveViews>(
        p.livePanels, app::P().sensor.link, app::P().sensor.transfer, app::P().sensor.model,
        app::P().rules, app::P().sensor.frames, app::P().sensor.live, app::P().refresh);
    LiveDataFrameBytes f;
    f.set(kRed, 321);
    Show(f);
    EXPECT_EQ(321, p.data.rgb.red->Val());
    EXPECT_EQ(321, p.data.rgbChart->graph(0)->data()->at(99)->value);
    // Without views the panels keep what they show, while the sensor's
    // histories go on taking frames; the buttons do nothing.
    p.liveViews.reset();
    f.set(kRed, 654);
    Show(f);
    EXPECT_EQ(321, p.data.rgb.red->Val());
    EXPECT_EQ(321, p.data.rgbChart->graph(0)->data()->at(99)->value);
    EXPECT_EQ(654, Live().RgbHistory.At(99, 0));
    p.data.showGraph->click();
    EXPECT_EQ(p.data.panel, app::CurrentChildPanel());
}

TEST_F(LiveDisplays, OnlyGraphsOnScreenHoldPaintBuffersAndShownAgainLookTheSame) {
    app::Panels& p = P();
    p.main.childArea->setCurrentWidget(p.data.panel);
    LiveDataFrameBytes f;
    f.set(kRed, 1500);
    f.set(kX, 300);
    Show(f);
    Settle();
    ctl::Graph* g = nullptr; // one on screen
    int hidden = 0;
    for (ctl::Graph* each : p.main.window->findChildren<ctl::Graph*>()) {
        EXPECT_EQ(each->isVisible(), each->HoldsPaintBuffers());
        if (each->isVisible()) {
            g = each;
        } else {
            ++hidden;
        }
    }
    EXPECT_GT(hidden, 0);
    // A graph hidden and shown again draws what it drew, also when grabbed
    // before the event loop ran.
    ASSERT_NE(nullptr, g);
    const QImage before = g->grab().toImage();
    p.main.childArea->setCurrentWidget(p.signalGraph.panel);
    Settle();
    EXPECT_FALSE(g->HoldsPaintBuffers());
    p.main.childArea->setCurrentWidget(p.data.panel);
    EXPECT_EQ(before, g->grab().toImage());
    Settle();
    EXPECT_TRUE(g->HoldsPaintBuffers());
    EXPECT_EQ(before, g->grab().toImage());
}

// What the window shows after many frames (crosshairs and level bars
// redrawn in parts) is what it draws when painted afresh.
TEST_F(LiveDisplays, TheWindowAfterManyFramesLooksAsWhenPaintedAfresh) {
    app::Panels& p = P();
    p.main.childArea->setCurrentWidget(p.data.panel);
    p.data.tabs->setCurrentIndex(kDataPage2D);
    Settle();
    LiveDataFrameBytes f;
    for (int i = 0; i < 40; ++i) {
        const int16_t v = static_cast<int16_t>(200 + 97 * i);
        f.set(kRed, v);
        f.set(kGreen, static_cast<int16_t>(4000 - v));
        f.set(kBlue, static_cast<int16_t>(v / 2));
        f.set(kX, static_cast<int16_t>(100 + 17 * i));
        f.set(kY, static_cast<int16_t>(700 - 13 * i));
        f.set(kInt, v);
        Show(f);
        Settle();
    }
    QWidget* w = p.main.window;
    const QImage shown =
        w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage afresh = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(afresh.size(), shown.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            differing += shown.pixel(x, y) != afresh.pixel(x, y);
        }
    }
    EXPECT_EQ(0, differing);
}
