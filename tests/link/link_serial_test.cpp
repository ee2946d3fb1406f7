// The exchange over a serial line: the simulated sensor on a pseudo-terminal.
#include "link/com232.h"
#include "link/connect_test.h"
#include "link/link_texts.h"
#include "platform/com_port_map.h"
#include "platform/runtime.h"
#include "platform/serial_port.h"
#include "sim/simulator.h"
#include "tests/support/recording_link_hooks.h"
#include "tests/support/short_link_timeouts.h"

#include <QSerialPort>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace com232;

namespace {

// Shortened time-outs: the wait for an answer part and the port's own.
constexpr double kAnswerTimeout = 0.5;
constexpr double kPortTimeout = 0.25;

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Options o;
        o.tcp = false;
        o.pty = true;
        sim_ = std::make_unique<sim::Simulator>(o);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        link_.Reset();
        ui_.Watch(link_);
        link_.ComProtocol = kProtocolRs232;
        link_.ComPort = static_cast<uint16_t>(sim_->PtyComPort());
        link_.BaudrateIndex = 4;
        link_.InitRS232();
        ASSERT_GE(link_.LinkResult, 0) << ui_.messages;
    }
    void TearDown() override {
        link_.CloseLink();
        sim_.reset();
    }
    int Exchange(uint8_t order, double* seconds = nullptr) {
        link_.FillTxBuf(order, 0, 0);
        const double t0 = platform::Timer();
        const int r = link_.DataExchange(8);
        if (seconds != nullptr) {
            *seconds = platform::Timer() - t0;
        }
        return r;
    }

    SensorLink link_;
    ShortLinkTimeouts timeouts_{link_, kAnswerTimeout, kPortTimeout};
    RecordingLinkHooks ui_;
    std::unique_ptr<sim::Simulator> sim_;
};

} // namespace

TEST_F(SerialLink, NormalExchangesAndTheConnectionTest) {
    ASSERT_EQ(1, Exchange(kOrderLiveData));
    EXPECT_EQ(40, link_.AnswerLength);
    ASSERT_EQ(1, Exchange(kOrderReadCalib));
    EXPECT_EQ(12, link_.AnswerLength);
    CheckComLine(link_, ui_.Hooks());
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", ui_.status);
    EXPECT_EQ(1, ui_.getParaCalls);
}

// With the program's time-outs: 3 s, then 2 s, about 5 s in all.
TEST_F(SerialLink, NoAnswerFailsAfterTheAnswerWaitAndThePortTimeOut) {
    sim_->Command("fault drop");
    double s = 0;
    EXPECT_EQ(-1, Exchange(kOrderLiveData, &s));
    // the answer wait, then the read of 8 bytes runs into the port time-out
    EXPECT_GE(s, kAnswerTimeout + kPortTimeout - 0.02);
    EXPECT_LT(s, kAnswerTimeout + kPortTimeout + 0.5);
    EXPECT_EQ(std::string(kTextNoAnswer) + "\n\n", ui_.messages);
}

TEST_F(SerialLink, LateDataAndBadFramesOnTheSerialLine) {
    sim_->Command("fault delay-data 350");
    EXPECT_EQ(1, Exchange(kOrderLiveData));
    sim_->Command("fault corrupt-data");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextBadData) + "\n\n", ui_.messages);
    ui_.messages.clear();
    sim_->Command("fault error 2");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextCommunicationError) + "\n\n", ui_.messages);
    // the line recovers: the next request is answered
    EXPECT_EQ(1, Exchange(kOrderLiveData));
}

// The port number may change in the settings while the port is open; the
// link closes the port it opened.
TEST_F(SerialLink, CloseLinkClosesThePortItOpened) {
    const std::string pty = platform::ComPortToDevice(link_.ComPort);
    ASSERT_TRUE(platform::IsComDeviceOpen(pty));
    EXPECT_TRUE(link_.LinkOpen());
    link_.ComPort = 7;
    link_.CloseLink();
    EXPECT_FALSE(platform::IsComDeviceOpen(pty));
    EXPECT_FALSE(link_.LinkOpen());
    EXPECT_EQ(0, link_.OpenedComPort);
}

TEST_F(SerialLink, PortsThatCannotBeOpenedAreReported) {
    link_.CloseLink();
    ui_.messages.clear();
    link_.ComPort = 0;
    link_.InitRS232();
    EXPECT_EQ(platform::kComInvalidPortNumber, link_.LinkResult);
    EXPECT_EQ("Invalid port number\n\n", ui_.messages);
    ui_.messages.clear();
    link_.ComPort = 9998; // a pseudo-terminal number that does not exist
    link_.InitRS232();
    EXPECT_EQ(platform::kComNoSerialPortFound, link_.LinkResult);
    // the code's text, then why on a line of its own
    EXPECT_EQ("No serial port found\n/dev/pts/8998 is not there: is the adapter plugged in?\n\n",
              ui_.messages);
    EXPECT_EQ(115200, BaudrateOfIndex(9));
    EXPECT_EQ(9600, BaudrateOfIndex(0));
    EXPECT_EQ(921600, BaudrateOfIndex(7));
}

TEST_F(SerialLink, APortHeldByAnotherOpenIsReportedBusy) {
    const int pty = sim_->PtyComPort();
    link_.CloseLink();
    ui_.messages.clear();
    QSerialPort holder(QString::fromStdString(sim_->PtyPath()));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();
    link_.ComPort = static_cast<uint16_t>(pty);
    link_.InitRS232();
    EXPECT_EQ(platform::kComCannotOpenPort, link_.LinkResult);
    EXPECT_EQ("Cannot open port\n" + sim_->PtyPath() +
                  " is busy: another program holds it open.\n\n",
              ui_.messages);
    holder.close();
    ui_.messages.clear();
    link_.InitRS232(); // free again
    EXPECT_GE(link_.LinkResult, 0) << ui_.messages;
}

TEST_F(SerialLink, SensorVanishingMidExchangeIsALineError) {
    sim_->Command("fault delay-header 500");
    link_.FillTxBuf(kOrderLiveData, 0, 0);
    // the simulator goes away while the program waits for the header
    std::thread killer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sim_->Stop();
    });
    double t0 = platform::Timer();
    EXPECT_EQ(-1, link_.DataExchange(8));
    killer.join();
    EXPECT_LT(platform::Timer() - t0, kAnswerTimeout + kPortTimeout + 0.5);
    EXPECT_NE(std::string::npos, ui_.messages.find(kTextNoAnswer));
}
