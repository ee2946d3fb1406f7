// The request/answer exchange against the simulated sensor over TCP loopback.
#include "link/com232.h"
#include "link/connect_test.h"
#include "link/identify.h"
#include "link/link_texts.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "sim/simulator.h"
#include "tests/support/recording_link_hooks.h"
#include "tests/support/short_link_timeouts.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

using namespace com232;

namespace {

// The shortened answer time-out of these tests; the delays below stay under
// it with room for a loaded machine.
constexpr double kAnswerTimeout = 0.5;

class TcpLink : public ::testing::Test {
protected:
    void SetUp() override { Connect(sim::Options{}); }

    void Connect(sim::Options options) {
        sim_.reset();
        options.tcp = true;
        options.tcpPort = 0;
        sim_ = std::make_unique<sim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        link_.Reset();
        ui_.Watch(link_);
        link_.ComProtocol = kProtocolTcp;
        link_.ServerAddress = "127.0.0.1";
        link_.ServerPort = sim_->TcpPort();
        link_.InitTCP_IP();
        ASSERT_GE(link_.LinkResult, 0);
        ASSERT_EQ(1, link_.TcpConnected);
    }

    void TearDown() override {
        link_.CloseLink();
        sim_.reset();
    }

    // Sends a request without data and times the exchange.
    int Exchange(uint8_t order, uint16_t param = 0, double* seconds = nullptr) {
        link_.FillTxBuf(order, param, 0);
        const double t0 = platform::Timer();
        const int r = link_.DataExchange(8);
        if (seconds != nullptr) {
            *seconds = platform::Timer() - t0;
        }
        return r;
    }

    std::string Fault(const std::string& f) { return sim_->Command("fault " + f); }

    SensorLink link_;
    ShortLinkTimeouts timeouts_{link_, kAnswerTimeout};
    RecordingLinkHooks ui_;
    std::unique_ptr<sim::Simulator> sim_;
};

} // namespace

TEST(LinkTimeouts, TheProgramWaitsThreeSecondsAndTestsMayShortenIt) {
    SensorLink link_;
    EXPECT_EQ(3.0, link_.AnswerTimeoutSeconds());
    EXPECT_EQ(2.0, link_.SerialPortTimeoutSeconds());
    {
        ShortLinkTimeouts shortened(link_, 0.4, 0.1);
        EXPECT_EQ(0.4, link_.AnswerTimeoutSeconds());
        EXPECT_EQ(0.1, link_.SerialPortTimeoutSeconds());
    }
    EXPECT_EQ(3.0, link_.AnswerTimeoutSeconds());
    EXPECT_EQ(2.0, link_.SerialPortTimeoutSeconds());
}

TEST_F(TcpLink, LiveDataExchangeFillsTheAnswerFieldsAndBuffer) {
    ASSERT_EQ(1, Exchange(kOrderLiveData));
    EXPECT_EQ(kOrderLiveData, link_.AnswerOrder);
    EXPECT_EQ(40, link_.AnswerLength);
    EXPECT_EQ(0x55, link_.RxBuffer[0]);
    EXPECT_EQ(48, link_.RxCount);
    EXPECT_EQ("", ui_.messages);
    const std::string log = sim_->Command("received");
    EXPECT_NE(std::string::npos, log.find("8 0 0")) << log;
}

TEST_F(TcpLink, RequestWithDataArrivesIntact) {
    for (size_t i = 0; i < 34; ++i) {
        link_.TxData()[i] = static_cast<uint8_t>(i);
    }
    link_.FillTxBuf(kOrderWritePara, 1, 34);
    ASSERT_EQ(1, link_.DataExchange(42));
    link_.FillTxBuf(kOrderReadPara, 1, 0);
    ASSERT_EQ(1, link_.DataExchange(8));
    ASSERT_EQ(34, link_.AnswerLength);
    // fields the sensor accepts come back as written (word 0 = power 256)
    EXPECT_EQ(0, link_.RxData()[0]);
    EXPECT_EQ(1, link_.RxData()[1]);
}

TEST_F(TcpLink, AnswerWithoutDataCompletesAfterTheHeader) {
    ASSERT_EQ(1, Exchange(kOrderStoreEeprom));
    EXPECT_EQ(0, link_.AnswerLength);
    EXPECT_EQ(8, link_.RxCount);
}

// The one test that waits the program's own 3.0 s.
TEST_F(TcpLink, NoAnswerFailsAfterThreeSecondsWithTheTimeoutReport) {
    link_.SetAnswerTimeout(0); // the program's time-out
    Fault("drop");
    link_.AcquisitionRunning = 1;
    link_.LinkOk = 1;
    double s = 0;
    EXPECT_EQ(-1, Exchange(kOrderLiveData, 0, &s));
    EXPECT_GE(s, 3.0);
    EXPECT_LT(s, 3.5);
    EXPECT_EQ(std::string(kTextNoAnswer) + "\n\n", ui_.messages);
    EXPECT_EQ("TIMEOUT!", ui_.status);
    EXPECT_EQ(1, ui_.connectionPageShown);
    EXPECT_TRUE(ui_.linkButtonsDimmed);
    EXPECT_EQ(0, link_.AcquisitionRunning);
    EXPECT_EQ(0, link_.LinkOk);
}

// Each part just within the time-out, together well beyond it.
TEST_F(TcpLink, HeaderAndDataEachLateByAlmostTheTimeoutAreAccepted) {
    Fault("delay-header 350");
    Fault("delay-data 350");
    double s = 0;
    EXPECT_EQ(1, Exchange(kOrderLiveData, 0, &s));
    EXPECT_GE(s, 0.69);
    EXPECT_GT(s, kAnswerTimeout);
    EXPECT_EQ("", ui_.messages);
}

TEST_F(TcpLink, BadHeaderCrcIsRefusedAndTheAnswerFieldsStay) {
    ASSERT_EQ(1, Exchange(kOrderLiveData));
    Fault("corrupt-header");
    EXPECT_EQ(-1, Exchange(kOrderIdentify));
    EXPECT_EQ(std::string(kTextBadHeader) + "\n\n", ui_.messages);
    EXPECT_EQ(kOrderLiveData, link_.AnswerOrder);
    EXPECT_EQ(40, link_.AnswerLength);
}

TEST_F(TcpLink, BadDataCrcIsRefused) {
    Fault("corrupt-data");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextBadData) + "\n\n", ui_.messages);
}

TEST_F(TcpLink, ErrorAnswersOneAndTwoFailAndThreeGoesOn) {
    Fault("error 1");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextInvalidOrder) + "\n\n", ui_.messages);
    ui_.messages.clear();
    Fault("error 2");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextCommunicationError) + "\n\n", ui_.messages);
    ui_.messages.clear();
    Fault("error 3");
    EXPECT_EQ(1, Exchange(kOrderLiveData));
    EXPECT_EQ(0, link_.AnswerOrder);
    EXPECT_EQ(3, link_.AnswerParam);
    EXPECT_EQ("", ui_.messages);
}

TEST_F(TcpLink, UnknownOrderGivesTheInvalidOrderText) {
    EXPECT_EQ(-1, Exchange(55));
    EXPECT_EQ(std::string(kTextInvalidOrder) + "\n\n", ui_.messages);
}

TEST_F(TcpLink, AnswerInPiecesIsJoined) {
    Fault("split 3 10");
    ASSERT_EQ(1, Exchange(kOrderLiveData));
    EXPECT_EQ(40, link_.AnswerLength);
    EXPECT_EQ(48, link_.RxCount);
}

TEST_F(TcpLink, OversizedLengthAnnouncementIsRefusedAsABadHeader) {
    Fault("oversize 3000");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextBadHeader) + "\n\n", ui_.messages);
    EXPECT_LE(link_.RxCount, static_cast<int>(kRxBufferSize));
}

TEST_F(TcpLink, GarbageInsteadOfAnAnswerIsABadHeader) {
    Fault("garbage 20");
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
    EXPECT_EQ(std::string(kTextBadHeader) + "\n\n", ui_.messages);
}

TEST_F(TcpLink, ALateAnswerIsNotTakenForTheNextOne) {
    Fault("delay-header 700 order=7");
    EXPECT_EQ(-1, Exchange(kOrderIdentify)); // times out; its answer comes later
    const double t0 = platform::Timer();
    while (platform::Timer() - t0 < 0.4) {
        platform::ProcessSystemEvents();
    }
    ui_.messages.clear();
    ASSERT_EQ(1, Exchange(kOrderLiveData));
    EXPECT_EQ(kOrderLiveData, link_.AnswerOrder);
    EXPECT_EQ(40, link_.AnswerLength);
}

TEST_F(TcpLink, ServerClosingTheConnectionIsReportedAtOnce) {
    ASSERT_EQ(1, Exchange(kOrderLiveData)); // the simulator has taken the client
    link_.AcquisitionRunning = 1;
    ASSERT_EQ("ok: connection closed\n", sim_->Command("close"));
    const double t0 = platform::Timer();
    while (link_.TcpConnected && platform::Timer() - t0 < 2.0) {
        platform::ProcessSystemEvents();
    }
    EXPECT_LT(platform::Timer() - t0, 0.5);
    EXPECT_EQ(0, link_.TcpConnected);
    EXPECT_FALSE(link_.LinkOpen());
    EXPECT_EQ(std::string(kTextServerClosed) + "\n\n", ui_.messages);
    EXPECT_EQ(0, link_.AcquisitionRunning);
    // a request on the closed link fails by its time-out, nothing crashes
    EXPECT_EQ(-1, Exchange(kOrderLiveData));
}

TEST_F(TcpLink, ASecondExchangeStartedDuringTheWaitIsRefused) {
    Fault("delay-header 300");
    int nested = 0;
    QTimer::singleShot(50, [&] {
        link_.FillTxBuf(kOrderIdentify, 0, 0);
        nested = link_.DataExchange(8);
    });
    link_.FillTxBuf(kOrderLiveData, 0, 0);
    EXPECT_EQ(1, link_.DataExchange(8));
    EXPECT_EQ(-1, nested);
    EXPECT_EQ(40, link_.AnswerLength);
    EXPECT_NE(std::string::npos, ui_.messages.find(kTextLinkBusy));
}

TEST_F(TcpLink, RefusedConnectionIsReportedWithItsText) {
    const unsigned port = link_.ServerPort;
    sim_.reset(); // nothing listens any more
    ui_.messages.clear();
    link_.CloseLink();
    link_.ServerPort = port;
    link_.InitTCP_IP();
    EXPECT_LT(link_.LinkResult, 0);
    EXPECT_EQ(0, link_.TcpConnected);
    EXPECT_EQ(std::string(TcpErrorText(link_.LinkResult)) + "\n\n", ui_.messages);
    EXPECT_EQ("UnableToEstablishConnection", std::string(TcpErrorText(link_.LinkResult)));
}

// ---- connection test --------------------------------------------------------

TEST_F(TcpLink, ConnectionTestIdentifiesTheSensorAndReadsTheParameters) {
    platform::ScriptedPopups user;
    CheckComLine(link_, ui_.Hooks());
    EXPECT_TRUE(user.Records().empty());
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", ui_.status);
    EXPECT_EQ(link_.SensorIdText, ui_.toolTip);
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR\nSERIAL NUMBER: 4711\n\n", ui_.messages);
    EXPECT_EQ(1, ui_.getParaCalls);
    EXPECT_FALSE(ui_.linkButtonsDimmed);
    EXPECT_EQ(1, link_.LinkOk);
}

TEST_F(TcpLink, ConnectionTestWithAnotherFirmwareAsksCloseOrOffline) {
    sim::Options o;
    o.firmwareId = "CHROMIK3 V4.2.5  OLD SENSOR";
    o.serialNumber = 815;
    Connect(o);
    platform::ScriptedPopups user;
    user.Answer(2); // OFFLINE
    CheckComLine(link_, ui_.Hooks());
    ASSERT_EQ(1u, user.Records().size());
    const auto& q = user.Records()[0];
    EXPECT_EQ("ATTENTION!", q.title);
    EXPECT_EQ("Sensor firmware and scope version do not match! \nFirmware of connected sensor is: "
              "CHROMIK3 V4.2\nThe serial number is: 815\n\nClose window or work in offline mode!",
              q.text);
    EXPECT_EQ((std::vector<std::string>{"CLOSE", "OFFLINE"}), q.buttons);
    EXPECT_EQ(1, ui_.disconnectCalls);
    EXPECT_EQ(0, ui_.getParaCalls);

    CheckComLine(link_, ui_.Hooks()); // Enter or Escape: CLOSE
    EXPECT_EQ((std::vector<int>{0}), ui_.quitCodes);
}

TEST_F(TcpLink, ConnectionTestWithoutAnswerAsksCloseOrOffline) {
    Fault("drop");
    platform::ScriptedPopups user;
    user.Answer(2);
    CheckComLine(link_, ui_.Hooks());
    EXPECT_EQ(kTextCouldNotConnect, user.LastText("ATTENTION!"));
    EXPECT_EQ(1, ui_.disconnectCalls);
    EXPECT_NE(std::string::npos, ui_.messages.find(kTextNoAnswer));
}

// A link on a worker thread blocks on its transport: it finds a closed
// connection by reading (no event loop tells it), and a cancel from another
// thread ends its wait at once.
TEST_F(TcpLink, AWorkersLinkFindsTheCloseByReadingAndEndsAWaitOnCancel) {
    link_.CloseLink();
    link_.SetWaitPolicy(WaitPolicy::Block);
    link_.InitTCP_IP();
    ASSERT_EQ(1, Exchange(kOrderLiveData));
    ASSERT_EQ("ok: connection closed\n", sim_->Command("close"));
    double s = 0;
    EXPECT_EQ(-1, Exchange(kOrderLiveData, 0, &s));
    EXPECT_LT(s, 0.3);
    EXPECT_EQ(std::string(kTextServerClosed) + "\n\n", ui_.messages);

    Connect(sim::Options{});
    link_.CloseLink();
    link_.InitTCP_IP();
    Fault("drop");
    std::thread stop([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        link_.RequestCancel();
    });
    EXPECT_EQ(-1, Exchange(kOrderLiveData, 0, &s));
    stop.join();
    EXPECT_LT(s, kAnswerTimeout * 0.8);
    link_.ClearCancel();
}
