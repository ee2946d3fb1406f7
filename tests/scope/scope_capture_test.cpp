// Scope captures against the simulated sensor, over TCP and over a
// pseudo-terminal: each trigger mode with its pre-trigger part, BREAK SCAN
// during the wait, frame errors and a sensor that goes away while the
// capture waits. A capture that does not complete leaves the previous one.
#include "app/panels.h"
#include "link/link_texts.h"
#include "tests/scope/scope_fixture.h"

#include <string>

using app::P;

namespace {

class ScopeCaptures : public ScopeFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        StartOn(GetParam());
    }
    // A first capture of a fixed colour, the one a failed capture must keep.
    void CaptureReference() {
        sensor_->Command("scene color 1111 2222 3333");
        SetScope(scope::kSingleShot, 0, 0);
        Scan();
        ASSERT_TRUE(plotted_);
        ASSERT_EQ(1111, Scope().ScopeBlocks[0][64]);
        Received();
    }
    void ExpectReferenceKept() {
        for (int k : {0, 64, 127}) {
            EXPECT_EQ(1111, Scope().ScopeBlocks[0][static_cast<size_t>(k)]);
            EXPECT_EQ(2222, Scope().ScopeBlocks[1][static_cast<size_t>(k)]);
            EXPECT_EQ(3333, Scope().ScopeBlocks[2][static_cast<size_t>(k)]);
        }
        ASSERT_EQ(3, P().scope.scope->graphCount());
        EXPECT_EQ(1111, P().scope.scope->graph(0)->data()->at(5)->value);
    }
    void ExpectNoFailureReported() {
        EXPECT_EQ(std::string::npos, Messages().find("ATTENTION")) << Messages();
        EXPECT_EQ(std::string::npos, Messages().find("TIMEOUT")) << Messages();
    }
};

// Changes the scene once, a little after the wait began.
std::function<bool(double)> SceneAfter(sim::Simulator* s, const std::string& command,
                                       double seconds = 0.03) {
    return [s, command, seconds](double t) {
        if (t < seconds) {
            return false;
        }
        s->Command(command);
        return true;
    };
}

} // namespace

TEST_P(ScopeCaptures, SingleShotPlotsTheSceneAsCaptured) {
    sensor_->Command("scene color 1000 2000 3000");
    sensor_->Command("in0 1");
    SetScope(scope::kSingleShot, 0, 20); // the pre-trigger count plays no part here
    Scan();
    EXPECT_TRUE(plotted_);
    EXPECT_EQ((std::vector<std::string>{"110 1 10"}), Received());
    for (int k = 0; k < scope::kScopeSamples; ++k) {
        const auto i = static_cast<size_t>(k);
        ASSERT_EQ(1000, Scope().ScopeBlocks[0][i]) << k;
        ASSERT_EQ(2000, Scope().ScopeBlocks[1][i]) << k;
        ASSERT_EQ(3000, Scope().ScopeBlocks[2][i]) << k;
        ASSERT_EQ(11, Scope().DigitalTraces[5][i]) << k; // IN0 high
    }
    // Three analogue traces in pure red, green and blue; six digital ones.
    scope::ScopePanel& sp = P().scope;
    ASSERT_EQ(3, sp.scope->graphCount());
    EXPECT_EQ(QColor(255, 0, 0), sp.scope->graph(0)->pen().color());
    EXPECT_EQ(QColor(0, 255, 0), sp.scope->graph(1)->pen().color());
    EXPECT_EQ(QColor(0, 0, 255), sp.scope->graph(2)->pen().color());
    EXPECT_EQ(128, sp.scope->graph(2)->data()->size());
    EXPECT_EQ(3000, sp.scope->graph(2)->data()->at(127)->value);
    ASSERT_EQ(6, sp.digital->graphCount());
    EXPECT_EQ(QColor(128, 128, 128), sp.digital->graph(0)->pen().color());
    EXPECT_EQ(QColor(0, 128, 128), sp.digital->graph(5)->pen().color());
    EXPECT_EQ(P().scope.panel, app::CurrentChildPanel());
    ExpectIdle();
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
}

TEST_P(ScopeCaptures, RisingEdgePutsThePreTriggerPartFirst) {
    sensor_->Command("scene color 1000 2000 500");
    SetScope(scope::kRisingEdge, 2000, 20);
    Scan(SceneAfter(sensor_.get(), "scene color 1000 2000 3000"));
    ASSERT_TRUE(plotted_);
    for (int k = 0; k < scope::kScopeSamples; ++k) {
        ASSERT_EQ(k < 20 ? 500 : 3000, Scope().ScopeBlocks[2][static_cast<size_t>(k)]) << k;
        ASSERT_EQ(1000, Scope().ScopeBlocks[0][static_cast<size_t>(k)]) << k;
    }
    ExpectIdle();
}

TEST_P(ScopeCaptures, FallingEdgeAndExternalInputAtOtherPreTriggerCounts) {
    sensor_->Command("scene color 1000 2000 3000");
    // 100 samples at every second scan are in after 50 ms; an edge before
    // that would be missed.
    SetScope(scope::kFallingEdge, 2000, 100, 2);
    Scan(SceneAfter(sensor_.get(), "scene color 1000 2000 500", 0.12));
    ASSERT_TRUE(plotted_);
    EXPECT_EQ(3000, Scope().ScopeBlocks[2][99]);
    EXPECT_EQ(500, Scope().ScopeBlocks[2][100]);
    EXPECT_EQ(500, Scope().ScopeBlocks[2][127]);

    // EXTERNAL IN0: the digital line of IN0 (trace 5) rises at the trigger.
    sensor_->Command("in0 0");
    SetScope(scope::kExternalIn0, 0, 5);
    Scan(SceneAfter(sensor_.get(), "in0 1"));
    ASSERT_TRUE(plotted_);
    EXPECT_EQ(10, Scope().DigitalTraces[5][4]);
    EXPECT_EQ(11, Scope().DigitalTraces[5][5]);
    EXPECT_EQ(11, Scope().DigitalTraces[5][127]);
}

TEST_P(ScopeCaptures, InternalColourZeroTriggersOnTheTaughtBelt) {
    // Row 0 of the factory table is the belt's colour; red is row 1.
    sensor_->Command("scene color 2600 500 420");
    SetScope(scope::kInternalColor0, 0, 10, 1, 0);
    Scan(SceneAfter(sensor_.get(), "scene color 900 880 820"));
    ASSERT_TRUE(plotted_);
    EXPECT_EQ(2600, Scope().ScopeBlocks[0][9]);
    EXPECT_EQ(900, Scope().ScopeBlocks[0][10]);
}

TEST_P(ScopeCaptures, BreakScanEndsTheWaitAndKeepsThePreviousCapture) {
    CaptureReference();
    SetScope(scope::kRisingEdge, 4095, 20); // the blue line never passes 4095
    bool breakUsable = false;
    bool scanDimmed = false;
    Scan([&](double t) {
        if (t < 0.1) {
            return false;
        }
        breakUsable = P().scopePage.breakScan->isEnabled();
        scanDimmed = !P().scopePage.scan->isEnabled() && !P().scopePage.getCycleTime->isEnabled();
        EXPECT_TRUE(P().scope.busy->isVisible());
        // A second SCAN inside the running one starts nothing.
        View().CBF_ButtonScan(nullptr, ctl::Event::Commit);
        P().scopePage.breakScan->click();
        return true;
    });
    EXPECT_FALSE(hung_);
    EXPECT_FALSE(plotted_);
    EXPECT_TRUE(breakUsable);
    EXPECT_TRUE(scanDimmed);
    EXPECT_EQ((std::vector<std::string>{"110 1 10", "110 0 0"}), Received());
    ExpectReferenceKept();
    ExpectIdle();
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    ExpectNoFailureReported();
}

TEST_P(ScopeCaptures, FewerThanFourBlocksThenBreakScan) {
    CaptureReference();
    sensor_->Command("scene color 500 600 700");
    // Acknowledgment and the first two blocks pass, the other two are lost.
    sensor_->Command("fault drop order=110 skip=3 count=2");
    SetScope(scope::kSingleShot, 0, 0);
    Scan([&](double t) {
        if (t < 0.3) {
            return false;
        }
        P().scopePage.breakScan->click();
        return true;
    });
    EXPECT_FALSE(hung_);
    EXPECT_FALSE(plotted_);
    ExpectReferenceKept();
    ExpectIdle();
    // The link goes on: the next capture is whole.
    Scan();
    EXPECT_TRUE(plotted_);
    EXPECT_EQ(600, Scope().ScopeBlocks[1][0]);
}

TEST_P(ScopeCaptures, BreakScanWhileTheBlocksArriveLeavesTheLinkClean) {
    CaptureReference();
    sensor_->Command("scene color 500 600 700");
    // The green line comes in three pieces 150 ms apart, the blue line and
    // the digital word behind it: BREAK SCAN falls between the first block
    // and the last, and the sensor acknowledges it behind the blocks.
    sensor_->Command("fault split 100 150 order=110 skip=2");
    SetScope(scope::kSingleShot, 0, 0);
    const unsigned long long receivedBefore = app::P().sensor.link.BytesReceived();
    long long receivedAtBreak = -1;
    Scan([&](double t) {
        if (t < 0.12) {
            return false;
        }
        receivedAtBreak =
            static_cast<long long>(app::P().sensor.link.BytesReceived() - receivedBefore);
        P().scopePage.breakScan->click();
        return true;
    });
    if (!GetParam()) { // TCP: the acknowledgment, the first block and part of the second were in
        const int frame = static_cast<int>(scope::kScopeBlockFrame);
        EXPECT_GT(receivedAtBreak, 8 + frame);
        EXPECT_LT(receivedAtBreak, 8 + 2 * frame);
    }
    EXPECT_FALSE(hung_);
    EXPECT_FALSE(plotted_);
    ExpectReferenceKept();
    ExpectIdle();
    ExpectNoFailureReported();
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ((std::vector<std::string>{"110 1 10", "110 0 0"}), Received());

    // Nothing of the broken capture is left for the next exchange.
    P().scopePage.getCycleTime->click();
    EXPECT_DOUBLE_EQ(0.25, Scope().CycleTime);
    ExpectNoFailureReported();
    Scan();
    EXPECT_TRUE(plotted_);
    EXPECT_EQ(600, Scope().ScopeBlocks[1][0]);
    ExpectNoFailureReported();
}

TEST_P(ScopeCaptures, BlocksSplitIntoManyPiecesAreJoined) {
    sensor_->Command("scene color 1234 2345 3456");
    sensor_->Command("fault split 7 1 order=110 count=5");
    SetScope(scope::kSingleShot, 0, 0);
    Scan();
    ASSERT_TRUE(plotted_);
    EXPECT_EQ(1234, Scope().ScopeBlocks[0][0]);
    EXPECT_EQ(3456, Scope().ScopeBlocks[2][127]);
    ExpectNoFailureReported();
}

TEST_P(ScopeCaptures, BadBlockDataIsReportedAndNothingIsPlotted) {
    CaptureReference();
    sensor_->Command("scene color 500 600 700");
    sensor_->Command("fault corrupt-data order=110 skip=2"); // the green line
    Scan();
    EXPECT_FALSE(plotted_);
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextBadData));
    EXPECT_EQ(0, app::P().sensor.link.LinkOk);
    EXPECT_EQ(app::kPageConnection, P().main.tabs->ActivePage());
    ExpectReferenceKept();
    ExpectIdle();
    // The link is still open, and the next capture is whole.
    Scan();
    EXPECT_TRUE(plotted_);
    EXPECT_EQ(700, Scope().ScopeBlocks[2][0]);
}

TEST_P(ScopeCaptures, BadBlockHeaderIsReportedAndNothingIsPlotted) {
    CaptureReference();
    sensor_->Command("scene color 500 600 700");
    sensor_->Command("fault corrupt-header order=110 skip=4"); // the digital word
    Scan();
    EXPECT_FALSE(plotted_);
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextBadHeader));
    ExpectReferenceKept();
    ExpectIdle();
}

TEST_P(ScopeCaptures, ClosingTheProgramBreaksTheCaptureOff) {
    SetScope(scope::kRisingEdge, 4095, 0);
    Scan([&](double t) {
        if (t < 0.05) {
            return false;
        }
        app::CBF_MAINP(P().main.window, ctl::Event::Close);
        return true;
    });
    EXPECT_FALSE(hung_);
    EXPECT_FALSE(plotted_);
    EXPECT_TRUE(platform::QuitRequested());
    EXPECT_EQ((std::vector<std::string>{"110 1 10", "110 0 0"}), Received());
}

INSTANTIATE_TEST_SUITE_P(Link, ScopeCaptures, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "Serial" : "Tcp"; });

namespace {

class ScopeLostSensor : public ScopeFixture {};

} // namespace

TEST_F(ScopeLostSensor, ServerClosingTheConnectionEndsTheWait) {
    StartOn(false);
    SetScope(scope::kRisingEdge, 4095, 0);
    Scan([&](double t) {
        if (t < 0.05) {
            return false;
        }
        sensor_->Command("close");
        return true;
    });
    EXPECT_FALSE(hung_);
    EXPECT_FALSE(plotted_);
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextServerClosed));
    EXPECT_EQ(0, app::P().sensor.link.TcpConnected);
    ExpectIdle();
}

TEST_F(ScopeLostSensor, SerialLineGoneEndsTheWaitWithThePortError) {
    StartOn(true);
    SetScope(scope::kRisingEdge, 4095, 0);
    Scan([&](double t) {
        if (t < 0.05) {
            return false;
        }
        sensor_.reset(); // the far end of the line disappears
        return true;
    });
    EXPECT_FALSE(hung_);
    EXPECT_FALSE(plotted_);
    EXPECT_NE(std::string::npos,
              Messages().find("TIMEOUT! \nCOMMUNICATION ERROR! \nCHECK POWER SUPPLY AND COM "
                              "SETTINGS. \nTRY TO CONNECT AGAIN!"));
    EXPECT_FALSE(Scope().scanRunning);
}
