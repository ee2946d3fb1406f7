// GO on a window's link, whose exchanges run on a worker while the window's
// thread serves its events and publishes the frames: over TCP and over a
// serial line, a GET pressed during GO goes out between two requests and
// polling goes on, every frame reaches the subscribers on the window's
// thread, and a connection the sensor closes is reported there as the
// window reports it. Built with ThreadSanitizer: what the window's thread
// and the worker touch of the link without handing it over is a data race.
#include "link/com232.h"
#include "link/link_texts.h"
#include "live/go_loop.h"
#include "sensor/sensor.h"
#include "sim/simulator.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

class GoLent : public ::testing::TestWithParam<bool> {
protected:
    // One application object for the whole run: the window's event loop.
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "go_lent";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) {
            new QCoreApplication(argc, argv);
        }
    }
    void SetUp() override {
        sim::Options o;
        o.tcpPort = 0;
        o.pty = !Tcp();
        o.tcp = Tcp();
        simulator_ = std::make_unique<sim::Simulator>(o);
        std::string error;
        ASSERT_TRUE(simulator_->Start(&error)) << error;
        com232::SensorLink& link = sensor_.link;
        link.SetAnswerTimeout(0.3);
        link.SetSerialPortTimeout(0.2);
        if (Tcp()) {
            link.ComProtocol = com232::kProtocolTcp;
            link.ServerAddress = "127.0.0.1";
            link.ServerPort = simulator_->TcpPort();
            link.InitTCP_IP();
        } else {
            link.InitRS232(simulator_->PtyPath());
        }
        ASSERT_TRUE(link.LinkOpen());
        published_ = sensor_.frames.published.Connect([this](const auto&, unsigned) {
            ++frames_;
            offThread_ += std::this_thread::get_id() != window_;
        });
        failed_ = link.failed.Connect([this](const std::string& text) {
            failures_.push_back(text);
            offThread_ += std::this_thread::get_id() != window_;
        });
    }
    bool Tcp() const { return GetParam(); }
    std::vector<std::string> Received() {
        std::vector<std::string> lines;
        std::istringstream in(simulator_->Command("received"));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty()) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    // GO until `during`, run on the window's thread every millisecond,
    // returns true (then STOP) or a failure ends it.
    void Go(const std::function<bool()>& during) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (during()) {
                sensor_.link.AcquisitionRunning = 0;
            }
        });
        poll.start(1);
        live::GetData(live::LiveParts{sensor_.link, sensor_.transfer, sensor_.model, sensor_.frames,
                                      sensor_.live});
    }

    std::unique_ptr<sim::Simulator> simulator_;
    sensor::Sensor sensor_;
    const std::thread::id window_ = std::this_thread::get_id();
    unsigned long long frames_ = 0;
    int offThread_ = 0;
    std::vector<std::string> failures_;
    platform::Subscription published_;
    platform::Subscription failed_;
};

TEST_P(GoLent, GetDuringGoGoesOutBetweenTwoRequestsAndFramesReachTheWindowsThread) {
    unsigned long long doneAt = 0;
    Go([&] {
        params::TransferState& t = sensor_.transfer;
        if (frames_ >= 20 && doneAt == 0 && t.GetPending == 0) {
            t.GetPending = 1; // as GET pressed during GO
            doneAt = 1;
        } else if (doneAt == 1 && t.GetPending == 0) {
            doneAt = frames_;
        }
        return doneAt > 1 && frames_ >= doneAt + 20;
    });
    EXPECT_TRUE(failures_.empty()) << failures_.front();
    EXPECT_EQ(0, offThread_);
    EXPECT_FALSE(sensor_.link.Lent());
    EXPECT_EQ(frames_, sensor_.live.GoLoopCounters.frames);
    const std::vector<std::string> lines = Received();
    const auto get = std::find(lines.begin(), lines.end(), "2 0 0");
    ASSERT_NE(lines.end(), get);
    ASSERT_NE(lines.end(), get + 1);
    EXPECT_EQ("2 2 0", *(get + 1));
    EXPECT_GE(std::count(get + 2, lines.end(), "8 0 0"), 20);
    EXPECT_EQ(frames_, static_cast<unsigned long long>(
                           std::count(lines.begin(), lines.end(), std::string("8 0 0"))));
    // The link is the window's again: an exchange from here goes through.
    sensor_.link.FillTxBuf(com232::kOrderLiveData, 0, 0);
    EXPECT_EQ(1, sensor_.link.DataExchange(static_cast<int>(com232::kHeaderSize)));
}

TEST_P(GoLent, ALostSensorIsReportedOnTheWindowsThreadAsTheWindowReportsIt) {
    simulator_->Command(Tcp() ? "fault close order=8 skip=5" : "fault drop order=8 skip=5");
    Go([] { return false; });
    if (Tcp()) {
        EXPECT_EQ((std::vector<std::string>{com232::kTextServerClosed, com232::kTextNoAnswer}),
                  failures_);
        EXPECT_EQ(0, sensor_.link.TcpConnected);
        EXPECT_FALSE(sensor_.link.LinkOpen());
    } else {
        EXPECT_EQ(std::vector<std::string>{com232::kTextNoAnswer}, failures_);
    }
    EXPECT_EQ(0, offThread_);
    EXPECT_EQ(5u, frames_);
    EXPECT_EQ(1u, sensor_.live.GoLoopCounters.failures);
    EXPECT_EQ(0, sensor_.link.LinkOk);
}

INSTANTIATE_TEST_SUITE_P(Links, GoLent, ::testing::Values(true, false),
                         [](const auto& p) { return p.param ? "Tcp" : "Serial"; });

} // namespace
