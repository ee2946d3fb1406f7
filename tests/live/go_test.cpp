// GO against the simulated sensor: polling, STOP, SEND and GET served
// between two requests, a lost sensor, the child panel rule, and what the
// displays show at the end of a loop.
#include "app/panels.h"
#include "link/link_texts.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/graphs.h"
#include "live/live_math.h"
#include "live/live_state.h"
#include "live/live_views.h"
#include "params/parameter_model.h"
#include "params/transfer.h"
#include "params/transfer_state.h"
#include "platform/graph.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

using app::P;
using namespace live;

namespace {

class Go : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartConnected(false, {}, SteadyScene()));
    }

    // Presses GO; `during` runs (nested in the loop) every millisecond and
    // returns true once it has pressed STOP or wants the loop ended.
    // Returns the frames the loop showed.
    unsigned long long RunGo(std::function<bool()> during, double limitSeconds = 10) {
        const auto before = app::P().sensor.live.GoLoopCounters.frames;
        const double start = platform::Timer();
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (app::P().sensor.link.AcquisitionRunning != 1) {
                return; // the loop has not begun yet
            }
            if (during() || platform::Timer() - start > limitSeconds) {
                poll.stop();
                P().main.stop->click();
            }
        });
        poll.start();
        P().main.go->click();
        poll.stop();
        return app::P().sensor.live.GoLoopCounters.frames - before;
    }
    // GO; after three frames `button` is pressed (nested in the loop), and
    // five frames after its transfer went out, STOP.
    void PressDuringGo(QPushButton* button, const std::function<void()>& afterPress = {}) {
        const auto base = app::P().sensor.live.GoLoopCounters.frames;
        bool pressed = false;
        unsigned long long doneAt = 0;
        RunGo([&] {
            const params::TransferState& t = app::P().sensor.transfer;
            if (!pressed && FramesSince(base) >= 3) {
                pressed = true;
                button->click();
                if (afterPress) {
                    afterPress();
                }
            }
            if (pressed && doneAt == 0 && t.SendPending == 0 && t.GetPending == 0) {
                doneAt = FramesSince(base);
            }
            return doneAt > 0 && FramesSince(base) >= doneAt + 5;
        });
    }
    unsigned long long FramesSince(unsigned long long base) {
        return app::P().sensor.live.GoLoopCounters.frames - base;
    }
    static unsigned long long Count(const std::vector<std::string>& lines, const std::string& l) {
        return static_cast<unsigned long long>(std::count(lines.begin(), lines.end(), l));
    }
    std::string Messages() { return P().connect.messages->toPlainText().toStdString(); }
    // The program's live state.
    static LiveState& Live() { return app::P().sensor.live; }
};

} // namespace

TEST_F(Go, PollsUntilStopAndEndsOnTheLastFrame) {
    const auto base = app::P().sensor.live.GoLoopCounters.frames;
    const auto frames = RunGo([&] { return FramesSince(base) >= 20; });
    EXPECT_GE(frames, 20u);
    EXPECT_FALSE(app::P().sensor.live.GoRunning);
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning);
    const auto lines = Received();
    EXPECT_EQ(frames, Count(lines, "8 0 0"));
    EXPECT_EQ(lines.size(), Count(lines, "8 0 0")); // nothing but order 8
    // The sensor's frame for 1000 2000 3000 at the reference setting.
    const LiveDataFrameBytes& f = app::P().sensor.frames.Current();
    EXPECT_EQ(1000, f.get(kRed));
    EXPECT_EQ(2000, f.get(kGreen));
    EXPECT_EQ(3000, f.get(kBlue));
    // The displays hold that frame.
    DataPanel& d = P().data;
    EXPECT_EQ(1000, d.rgb.red->Val());
    EXPECT_EQ(3000, d.page2D.blue->Val());
    EXPECT_EQ(f.get(kX), d.x->Val());
    EXPECT_EQ(f.get(kInt), d.intensity->Val());
    EXPECT_EQ(f.get(kColor), d.color->Val());
    EXPECT_EQ(f.get(kExtreme2Blue), d.extreme[5]->Val());
    EXPECT_EQ(2000, d.bar[1]->value());
    EXPECT_EQ(ColourOfRgb(1000, 2000, 3000), d.colorPatch->Color());
    EXPECT_EQ(f.get(kTemp), P().attributes.temp->Val());
    EXPECT_EQ(f.get(kColor), P().colBig.value->Val());
    EXPECT_EQ(1000, P().teachMean.red->Val());
    EXPECT_EQ(f.get(kRawGreen), P().calibration.raw[1]->Val());
    EXPECT_EQ(RawDeltaOf(f), P().calibration.rawDelta->Val());
    EXPECT_EQ(RawDeltaOf(f), app::P().sensor.frames.RawDelta());
    // The histories hold the last frames, newest last.
    EXPECT_EQ(1000, Live().RgbHistory.At(99, 0));
    EXPECT_EQ(3000, Live().RgbHistory.At(98, 2));
    EXPECT_EQ(f.get(kInt), Live().IntHistory.At(99, 0));
    // Commands are usable again.
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_TRUE(P().main.send->isEnabled());
    EXPECT_TRUE(P().connect.tryToConnect->isEnabled());
}

TEST_F(Go, CommandsAreDimmedForGoModeButSendAndGetStayUsable) {
    bool checked = false;
    RunGo([&] {
        if (!checked && app::P().sensor.live.GoLoopCounters.frames > 0) {
            checked = true;
            EXPECT_FALSE(P().main.go->isEnabled());
            EXPECT_TRUE(P().main.send->isEnabled());
            EXPECT_TRUE(P().main.get->isEnabled());
            EXPECT_FALSE(P().connect.tryToConnect->isEnabled());
            EXPECT_FALSE(P().calibration.calcCF->isEnabled());
            EXPECT_TRUE(app::P().sensor.live.GoRunning);
            // a second GO inside the loop starts nothing
            P().liveViews->go.CBF_ButtonGo(nullptr, ctl::Event::Commit);
        }
        return checked;
    });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(app::P().sensor.live.GoRunning);
}

TEST_F(Go, StopDuringAnExchangeStillShowsItsAnswer) {
    const auto base = app::P().sensor.live.GoLoopCounters.frames;
    bool armed = false;
    bool stopped = false;
    double stopAt = 0;
    unsigned long long colourAt = 0;
    RunGo([&] {
        if (colourAt == 0 && FramesSince(base) >= 3) {
            sensor_->Command("scene color 3000 300 300");
            colourAt = FramesSince(base);
        }
        // Frames reach the window in batches: armed once the new colour has
        // been shown, so the frames on their way carry it too.
        if (!armed && colourAt > 0 && FramesSince(base) >= colourAt + 10 &&
            app::P().sensor.frames.Current().get(kRed) == 3000) {
            armed = true;
            sensor_->Command("fault delay-header 300 order=8");
            stopAt = platform::Timer() + 0.1;
        }
        if (armed && !stopped && platform::Timer() >= stopAt) {
            stopped = true;
            return true; // STOP while the delayed answer is awaited
        }
        return false;
    });
    ASSERT_TRUE(stopped);
    EXPECT_EQ(Messages().find(com232::kTextNoAnswer), std::string::npos);
    const auto lines = Received();
    EXPECT_EQ(FramesSince(base), Count(lines, "8 0 0")); // every request answered and shown
    EXPECT_EQ(3000, app::P().sensor.frames.Current().get(kRed));
    EXPECT_EQ(3000, P().data.rgb.red->Val());
}

TEST_F(Go, SendDuringGoGoesOutBetweenTwoRequests) {
    PressDuringGo(P().main.send, [] { EXPECT_EQ(1, app::P().sensor.transfer.SendPending); });
    EXPECT_EQ(0, app::P().sensor.transfer.SendPending);
    const auto lines = Received();
    const auto it = std::find(lines.begin(), lines.end(), "1 0 34");
    ASSERT_NE(it, lines.end());
    ASSERT_NE(it + 1, lines.end());
    EXPECT_EQ("1 2 496", *(it + 1));
    EXPECT_NE(it, lines.begin());
    EXPECT_EQ("8 0 0", *(it - 1));
    EXPECT_GE(Count(std::vector<std::string>(it + 2, lines.end()), "8 0 0"), 4u);
}

TEST_F(Go, GetDuringGoRefreshesThePanelsAndPollingGoesOn) {
    // The sensor's set differs from the panel: GET must bring its value in.
    app::P().sensor.model.SetValue(params::kAverage, 77);
    PressDuringGo(P().main.get);
    EXPECT_EQ(0, app::P().sensor.transfer.GetPending);
    EXPECT_NE(77, P().para.average->value());
    const auto lines = Received();
    const auto it = std::find(lines.begin(), lines.end(), "2 0 0");
    ASSERT_NE(it, lines.end());
    EXPECT_EQ("2 2 0", *(it + 1));
    EXPECT_GE(Count(std::vector<std::string>(it + 2, lines.end()), "8 0 0"), 4u);
}

TEST_F(Go, ALostSensorEndsGoWithTheTimeoutReport) {
    const auto base = app::P().sensor.live.GoLoopCounters.frames;
    bool armed = false;
    const auto frames = RunGo([&] {
        if (!armed && FramesSince(base) >= 3) {
            armed = true;
            sensor_->Command("fault drop order=8");
        }
        return false; // the time-out, not STOP, ends the loop
    });
    EXPECT_GE(frames, 3u);
    EXPECT_FALSE(app::P().sensor.live.GoRunning);
    EXPECT_EQ("TIMEOUT!", P().data.status->text().toStdString());
    EXPECT_NE(Messages().find(com232::kTextNoAnswer), std::string::npos);
    EXPECT_EQ(app::kPageConnection, P().main.tabs->ActivePage());
    EXPECT_EQ(0, app::P().sensor.link.LinkOk);
    // the previous frame stays on display
    EXPECT_EQ(1000, P().data.rgb.red->Val());
}

TEST_F(Go, TheMeanValuePanelStaysInFrontOtherPanelsGiveWayToTheDataPanel) {
    app::ShowChildPanelDisp(P().teachMean.panel);
    RunGo([] { return app::P().sensor.live.GoLoopCounters.frames > 0; });
    EXPECT_EQ(P().teachMean.panel, app::CurrentChildPanel());
    app::ShowChildPanelDisp(P().signalGraph.panel);
    RunGo([] { return true; });
    EXPECT_EQ(P().data.panel, app::CurrentChildPanel());
}

TEST_F(Go, OutputLedsFollowTheColourWordOnlyInTheOutputPatternModes) {
    app::P().sensor.model.SetValue(params::kEvaluationMode, params::kCol5);
    P().main.send->click();
    sensor_->Command("scene color 900 880 820"); // the belt, taught in row 0
    RunGo([] { return app::P().sensor.live.GoLoopCounters.frames > 0; });
    const uint8_t pattern = OutputLedPattern(app::P().sensor.frames.Current().get(kColor));
    EXPECT_EQ(pattern, app::P().sensor.frames.OutputLeds());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ((pattern >> i) & 1, P().data.out[i]->IsOn() ? 1 : 0) << i;
    }
    // Below COL5 the LEDs keep their state whatever the colour word says.
    app::P().sensor.model.SetValue(params::kEvaluationMode, params::kFirstHit);
    P().main.send->click();
    sensor_->Command("scene color 3100 3050 2950");
    RunGo([] { return true; });
    EXPECT_EQ(pattern, app::P().sensor.frames.OutputLeds());
}

TEST_F(Go, ClosingTheWindowDuringGoEndsTheLoopAndWritesTheSettings) {
    std::remove((dir_ + "/PanelSettings.cfg").c_str());
    RunGo([] {
        if (app::P().sensor.live.GoLoopCounters.frames > 0) {
            app::CBF_MAINP(P().main.window, ctl::Event::Close);
        }
        return false;
    });
    EXPECT_FALSE(app::P().sensor.live.GoRunning);
    EXPECT_TRUE(platform::QuitRequested());
    EXPECT_NE(ReadSettingsText().find("COMPROTOCOL"), std::string::npos);
}

TEST_F(Go, GraphsShowTheTaughtRowsAndCentreOnTheMeasurement) {
    RunGo([] { return app::P().sensor.live.GoLoopCounters.frames > 5; });
    DataPanel& d = P().data;
    // 31 tolerance shapes on each colour-space view, besides the cursor lines.
    auto shapes = [](ctl::Graph* g) {
        int n = 0;
        for (int i = 0; i < g->itemCount(); ++i) {
            n += qobject_cast<QCPItemEllipse*>(g->item(i)) != nullptr;
        }
        return n;
    };
    EXPECT_EQ(31, shapes(d.colorPlane));
    EXPECT_EQ(31, shapes(d.view[1]));
    const Extents e = ExtentsOf(app::P().sensor.model.Table(), params::kXyInt2D);
    EXPECT_EQ(e.minX, Live().GraphExtents.minX);
    EXPECT_EQ(e.maxI, Live().GraphExtents.maxI);
    const int16_t x = app::P().sensor.frames.Current().get(kX);
    const int16_t y = app::P().sensor.frames.Current().get(kY);
    const ViewAxes a = AxesOf(x, e.minX, e.maxX, y, e.minY, e.maxY);
    EXPECT_EQ(a.xLo, d.colorPlane->xAxis->range().lower);
    EXPECT_EQ(a.yHi, d.colorPlane->yAxis->range().upper);
    EXPECT_EQ(QPointF(x, y), d.colorPlane->CursorPosition(0));
    EXPECT_EQ(app::P().sensor.frames.Current().get(kInt), d.intensityBar->CursorPosition(0).x());
    // strip charts: the latest 100 frames
    ASSERT_EQ(3, d.rgbChart->graphCount());
    EXPECT_EQ(100, d.rgbChart->graph(0)->dataCount());
    EXPECT_EQ(1000, d.rgbChart->graph(0)->data()->at(99)->value);
}

TEST_F(Go, DisplaysAreWrittenAndEventsServedAtScreenRateNotPerFrame) {
    app::P().refresh.ResetCounters();
    const auto base = app::P().sensor.live.GoLoopCounters.frames;
    const double start = platform::Timer();
    unsigned long long passes = 0; // of the event loop: the 1 ms timer fires once in each
    RunGo([&] {
        ++passes;
        return platform::Timer() - start > 0.5;
    });
    const auto frames = FramesSince(base);
    const RefreshCounters c = app::P().refresh.Counters();
    EXPECT_GE(c.requests, frames);
    // about 60 a second, with room for a slow machine; never one per frame
    EXPECT_LE(c.refreshes, 60u);
    // The window is served every few milliseconds (STOP within a screen
    // refresh), not after every exchange whose answer was already there.
    EXPECT_GE(passes, 20u);
    if (frames > 200) {
        EXPECT_LT(c.refreshes * 4, frames);
        EXPECT_LT(passes * 2, frames);
    }
}
