// Triggered recording against the simulated sensor over TCP and over a
// pseudo-terminal: every frame the sensor sends is written, frames that
// arrive together included; bad frames and a vanishing sensor end the
// recording with the link's report and keep the lines before.
#include "app/panels.h"
#include "tests/record/record_fixture.h"

#include "link/link_texts.h"
#include "platform/widgets.h"

#include <QPlainTextEdit>
#include <QPushButton>

using app::P;

namespace {

class Triggered : public RecordTest {
protected:
    void Fire(int times) {
        for (int i = 0; i < times; ++i) {
            sensor_->Command("trigger");
        }
    }
    std::string Messages() const { return P().connect.messages->toPlainText().toStdString(); }

    // Records 5 single triggers, a quiet spell longer than the link's
    // answer time-out, and a burst of 40 triggers whose frames arrive
    // together; then STOP RECORD.
    void RecordSinglesAndABurst() {
        record::RecorderPage& r = P().recorder;
        SelectMode(record::kModeTriggered);
        int fired = 0;
        double quietUntil = 0;
        bool busyChecked = false;
        RunRecording(r.startTrigRec, [&] {
            if (!busyChecked) {
                busyChecked = true;
                EXPECT_EQ(Qt::red, r.startTrigRec->palette().color(QPalette::Button));
                EXPECT_FALSE(r.startTrigRec->isEnabled());
                EXPECT_FALSE(P().main.go->isEnabled());
                // Another request meanwhile is refused; the frames stay the recorder's.
                app::P().sensor.link.FillTxBuf(com232::kOrderIdentify, 0, 0);
                EXPECT_EQ(-1,
                          app::P().sensor.link.DataExchange(static_cast<int>(com232::kHeaderSize)));
            }
            if (fired < 5) {
                if (Recording().runCounter == fired) {
                    Fire(1);
                    ++fired;
                }
                return false;
            }
            if (fired == 5 && Recording().runCounter == 5) {
                if (quietUntil == 0) {
                    quietUntil = platform::Timer() + 0.6;
                }
                if (platform::Timer() >= quietUntil) {
                    Fire(40);
                    fired += 40;
                }
                return false;
            }
            return Recording().runCounter >= fired;
        });
        EXPECT_EQ(45, fired);
    }

    void ExpectFortyFiveLinesAndTheStopOrder() {
        record::RecorderPage& r = P().recorder;
        EXPECT_EQ(45, Recording().runCounter);
        EXPECT_EQ(45, r.runCounter->Val());
        const std::vector<std::string> lines = DataLines(path_);
        ASSERT_EQ(45u, lines.size());
        for (const std::string& line : lines) {
            EXPECT_EQ(FieldsOfCurrentFrame(), FieldsOf(line)); // the fixed colour every time
        }
        EXPECT_EQ(0u, FieldsOf(lines.back()).find("1000\t2000\t3000\t"));
        const std::vector<std::string> requests = Received();
        ASSERT_EQ(2u, requests.size());
        EXPECT_EQ("30 1 0", requests.front());
        EXPECT_EQ("30 0 0", requests.back());
        EXPECT_EQ(record::kTextFileSaved, user_->LastText("INFO!"));
        EXPECT_TRUE(r.startTrigRec->isEnabled());
        EXPECT_EQ("#e0e0e0",
                  r.startTrigRec->palette().color(QPalette::Button).name().toStdString());
        EXPECT_TRUE(P().main.go->isEnabled());
        EXPECT_EQ(std::string::npos, Messages().find(com232::kTextNoAnswer));
    }
};

} // namespace

TEST_F(Triggered, OverTcpEveryFrameTheSensorSendsIsWritten) {
    StartRecorder();
    RecordSinglesAndABurst();
    ExpectFortyFiveLinesAndTheStopOrder();
}

TEST_F(Triggered, OverThePseudoTerminalEveryFrameTheSensorSendsIsWritten) {
    StartRecorder(/*serial=*/true);
    RecordSinglesAndABurst();
    ExpectFortyFiveLinesAndTheStopOrder();
}

TEST_F(Triggered, FramesWithABadHeaderOrDataAreNeverWritten) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    SelectMode(record::kModeTriggered);
    const struct {
        const char* fault;
        const char* report;
    } cases[] = {{"fault corrupt-header order=8", com232::kTextBadHeader},
                 {"fault corrupt-data order=8", com232::kTextBadData}};
    size_t before = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        P().connect.messages->clear();
        int fired = 0;
        RunRecording(r.startTrigRec, [&] {
            if (Recording().runCounter == fired && fired < 3) {
                Fire(1);
                ++fired;
            } else if (fired == 3 && Recording().runCounter == 3) {
                sensor_->Command(c.fault);
                Fire(1);
                ++fired;
            }
            return false; // the link's report ends it
        });
        EXPECT_EQ(3, Recording().runCounter);
        EXPECT_EQ(before + 3, DataLines(path_).size());
        before += 3;
        EXPECT_NE(std::string::npos, Messages().find(c.report));
        const std::vector<std::string> requests = Received();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ("30 0 0", requests.back()); // the stop order still goes out
        EXPECT_TRUE(r.startTrigRec->isEnabled());
    }
}

TEST_F(Triggered, ASensorThatNeverAcknowledgesLeavesTheButtonsUsable) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    SelectMode(record::kModeTriggered);
    sensor_->Command("fault drop order=30");
    r.startTrigRec->click();
    EXPECT_EQ(0, Recording().runCounter);
    EXPECT_TRUE(DataLines(path_).empty());
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextNoAnswer));
    const std::vector<std::string> requests = Received();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ("30 1 0", requests[0]);
    EXPECT_EQ("30 0 0", requests[1]);
    EXPECT_TRUE(r.startTrigRec->isEnabled());
    EXPECT_TRUE(P().main.go->isEnabled());
    EXPECT_FALSE(Recording().running);
}

TEST_F(Triggered, ASensorThatVanishesLeavesTheFileCompleteAndTheButtonsUsable) {
    StartRecorder();
    record::RecorderPage& r = P().recorder;
    SelectMode(record::kModeTriggered);
    int fired = 0;
    const double start = platform::Timer();
    RunRecording(r.startTrigRec, [&] {
        if (Recording().runCounter == fired && fired < 2) {
            Fire(1);
            ++fired;
        } else if (fired == 2 && Recording().runCounter == 2) {
            // Last frames, then the connection closes right behind them.
            Fire(10);
            sensor_->Command("close");
            fired += 10;
        }
        return false;
    });
    EXPECT_LT(platform::Timer() - start, 5.0);
    EXPECT_EQ(12, Recording().runCounter);
    const std::vector<std::string> lines = DataLines(path_);
    ASSERT_EQ(12u, lines.size());
    EXPECT_EQ("\r\n", lines.back().substr(lines.back().size() - 2));
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextServerClosed));
    EXPECT_TRUE(r.startTrigRec->isEnabled());
    EXPECT_TRUE(r.stopRecord->isEnabled());
    EXPECT_FALSE(Recording().running);
}
