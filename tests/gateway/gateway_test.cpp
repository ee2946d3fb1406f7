// chromik3-gateway run as the plant runs it: against a real mosquitto broker
// started here on a free loopback port, with simulated sensors, watched by a
// subscriber.
#include "sim/simulator.h"
#include "tests/gateway/mqtt_rig.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

using testfiles::WriteBytes;

namespace {

QJsonObject Json(const rig::Received& r) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.payload)).object();
}

QJsonObject Last(const std::vector<rig::Received>& found) {
    return found.empty() ? QJsonObject() : Json(found.back());
}

class GatewayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (rig::BrokerProgram().empty()) {
            GTEST_SKIP() << "mosquitto is not installed (make deps installs it): the gateway "
                            "is not tested";
        }
        char name[] = "/tmp/c3-gateway-XXXXXX";
        dir_ = ::mkdtemp(name);
        // The broker drops root's rights for its own account, which reads
        // the test's certificates and password file.
        ::chmod(dir_.c_str(), 0755);
        broker_ = std::make_unique<rig::Broker>(dir_, rig::FreePort());
        ASSERT_TRUE(broker_->Running()) << broker_->Log();
    }
    void TearDown() override {
        sensors_.clear();
        broker_.reset();
        if (!dir_.empty()) {
            std::filesystem::remove_all(dir_);
        }
    }

    // A simulated sensor with serial number `serial` (on `port`, or any).
    sim::Simulator& AddSensor(uint16_t serial, uint16_t port = 0) {
        sim::Options o;
        o.tcpPort = port;
        o.serialNumber = serial;
        sensors_.push_back(std::make_unique<sim::Simulator>(o));
        std::string error;
        EXPECT_TRUE(sensors_.back()->Start(&error)) << error;
        return *sensors_.back();
    }
    static std::string Address(const sim::Simulator& s) {
        return "127.0.0.1:" + std::to_string(s.TcpPort());
    }
    // line.txt naming the sensors, and the options of a quick test run.
    std::vector<std::string> Args(const std::vector<std::string>& more = {}) {
        std::string targets;
        for (const auto& s : sensors_) {
            targets += Address(*s) + "\n";
        }
        WriteBytes(dir_ + "/line.txt", targets);
        std::vector<std::string> args{
            "--broker",         "127.0.0.1:" + std::to_string(broker_->Port()),
            "--prefix",         "c3/test",
            "--targets",        "line.txt",
            "--reconnect-max",  "0.5",
            "--stats-interval", "1",
            "--answer-timeout", "1"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::unique_ptr<rig::Subscriber> Subscribe(const std::string& pattern = "c3/#") {
        auto s = std::make_unique<rig::Subscriber>(broker_->Port(), pattern);
        EXPECT_TRUE(s->Connected());
        return s;
    }

    std::string dir_;
    std::unique_ptr<rig::Broker> broker_;
    std::vector<std::unique_ptr<sim::Simulator>> sensors_;
};

} // namespace

TEST_F(GatewayTest, TwoSensorsPublishEveryTopicAndALateSubscriberGetsTheRetainedOnes) {
    AddSensor(1001);
    sim::Simulator& named = AddSensor(1002);
    std::vector<std::string> args = Args({"--config", "gw.conf"});
    // The second sensor by its name from the configuration file, the first
    // from the targets file by its serial number.
    WriteBytes(dir_ + "/line.txt", Address(*sensors_[0]) + "\n");
    WriteBytes(dir_ + "/gw.conf",
               "[sensor]\naddress = " + Address(named) + "\nname = press-2\nrate = 5\n");
    auto early = Subscribe();
    rig::Gateway gateway(dir_, args);

    const QJsonObject online = Last(early->Wait("c3/test/press-2/state", "online"));
    EXPECT_EQ(1002, online.value("serial").toInt()) << gateway.Err();
    EXPECT_EQ(QString::fromStdString(Address(named)), online.value("address").toString());
    EXPECT_FALSE(online.value("since").toString().isEmpty());
    const QJsonObject frame = Last(early->Wait("c3/test/1001/frame"));
    for (const char* key : {"red", "x", "color", "group", "time", "number"}) {
        EXPECT_TRUE(frame.contains(key)) << key;
    }
    EXPECT_FALSE(early->Wait("c3/test/1001/frame").front().retained);
    const QJsonObject params = Last(early->Wait("c3/test/1001/params"));
    EXPECT_EQ(2, params.value("sets").toArray().size());
    EXPECT_TRUE(params["sets"][0]["parameters"].toObject().contains("POWER"));
    EXPECT_EQ(31, params["sets"][1]["teach"].toArray().size());
    // At most 5 frames a second of the named sensor, the newest winning.
    const QJsonObject stats = early->Wait("c3/test/press-2/stats", "", 3).empty()
                                  ? QJsonObject()
                                  : Json(early->Wait("c3/test/press-2/stats").front());
    EXPECT_GT(stats.value("framesPublished").toDouble(), 0);
    EXPECT_LE(stats.value("framesPublished").toDouble(), 7);
    EXPECT_GT(stats.value("framesDropped").toDouble(), 0);
    EXPECT_EQ(stats.value("framesRead").toDouble(), stats.value("framesPublished").toDouble() +
                                                        stats.value("framesDropped").toDouble() +
                                                        stats.value("framesWaiting").toDouble());

    // A late subscriber gets what a dashboard needs at once.
    auto late = Subscribe();
    for (const std::string topic : {"press-2/state", "press-2/color", "1001/params"}) {
        const std::vector<rig::Received> got = late->Wait("c3/test/" + topic, "", 2);
        ASSERT_FALSE(got.empty()) << topic;
        EXPECT_TRUE(got.front().retained) << topic;
    }
    EXPECT_TRUE(Last(late->Wait("press-2/color")).contains("match"));

    // SIGTERM: every sensor offline, its automatic sending stopped, status 0.
    named.Command("received clear");
    EXPECT_EQ(0, gateway.Stop(SIGTERM)) << gateway.Err();
    for (const std::string id : {"1001", "press-2"}) {
        const QJsonObject last = Last(late->Wait("c3/test/" + id + "/state", "offline", 2));
        EXPECT_EQ("the gateway was stopped", last.value("reason").toString()) << id;
    }
    EXPECT_NE(std::string::npos, named.Command("received").find("30 0 0"));
}

TEST_F(GatewayTest, AVanishedSensorIsOfflineWithinFiveSecondsAndOnlineAgainWhenBack) {
    const uint16_t port = AddSensor(1001).TcpPort();
    auto sub = Subscribe();
    rig::Gateway gateway(dir_, Args());
    ASSERT_FALSE(sub->Wait("1001/state", "online").empty()) << gateway.Err();

    sensors_.clear();
    const auto lost = std::chrono::steady_clock::now();
    ASSERT_FALSE(sub->Wait("1001/state", "offline", 5).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - lost, std::chrono::seconds(5));

    sub->Clear();
    AddSensor(1001, port);
    ASSERT_FALSE(sub->Wait("1001/state", "online", 5).empty()) << gateway.Err();
    EXPECT_FALSE(sub->Wait("1001/frame").empty());
    EXPECT_EQ(1, Last(sub->Wait("1001/stats", "\"reconnects\":1", 3)).value("reconnects").toInt());

    // A sensor that stops answering (the connection stays open) too.
    sub->Clear();
    sensors_[0]->Command("fault drop count=0");
    const auto silent = std::chrono::steady_clock::now();
    ASSERT_FALSE(sub->Wait("1001/state", "offline", 5).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - silent, std::chrono::seconds(5));
    EXPECT_EQ(0, gateway.Stop());
}

TEST_F(GatewayTest, ABrokerThatRestartsGetsEveryRetainedTopicBackAndTheSensorStaysUp) {
    AddSensor(1001);
    rig::Gateway gateway(dir_, Args({"--queue", "200000"}));
    {
        auto sub = Subscribe();
        ASSERT_FALSE(sub->Wait("1001/color", "", 5).empty()) << gateway.Err();
    }
    broker_->Kill();
    ::usleep(800 * 1000);
    ASSERT_TRUE(broker_->Start());
    // The broker kept nothing; the gateway gives it everything again.
    auto sub = Subscribe();
    for (const std::string topic : {"state", "color", "params"}) {
        const std::vector<rig::Received> got = sub->Wait("1001/" + topic, "", 6);
        ASSERT_FALSE(got.empty()) << topic << "\n" << gateway.Err();
    }
    EXPECT_EQ("online", Last(sub->Wait("1001/state")).value("state").toString());
    // The sensor's link stayed up, and the frames read meanwhile waited.
    const QJsonObject stats = Last(sub->Wait("1001/stats", "", 3));
    EXPECT_EQ(0, stats.value("reconnects").toInt());
    EXPECT_EQ(0, stats.value("framesDropped").toInt());
    EXPECT_EQ(0, gateway.Stop());
}

TEST_F(GatewayTest, AnAccountAndTlsAreUsedAndABadPasswordEndsTheGateway) {
    // An account with a password file.
    const std::string passwd = "/usr/bin/mosquitto_passwd";
    ASSERT_EQ(0, std::system((passwd + " -c -b " + dir_ + "/users line3 s3cret").c_str()));
    ::chmod((dir_ + "/users").c_str(), 0644);
    rig::Broker secured(dir_, rig::FreePort(),
                        "allow_anonymous false\npassword_file " + dir_ + "/users\n");
    ASSERT_TRUE(secured.Running()) << secured.Log();
    AddSensor(1001);
    std::vector<std::string> args = Args({"--username", "line3", "--password-file", "pw"});
    args[1] = "127.0.0.1:" + std::to_string(secured.Port());
    WriteBytes(dir_ + "/pw", "wrong\n");
    rig::Gateway refused(dir_, args);
    EXPECT_EQ(2, refused.Wait());
    EXPECT_NE(std::string::npos, refused.Err().find("the broker refused the gateway"))
        << refused.Err();
    WriteBytes(dir_ + "/pw", "s3cret\n");
    rig::Subscriber account(secured.Port(), "c3/#", "line3", "s3cret");
    ASSERT_TRUE(account.Connected());
    rig::Gateway accepted(dir_, args);
    EXPECT_FALSE(account.Wait("1001/state", "online").empty()) << accepted.Err();
    EXPECT_EQ(0, accepted.Stop());

    // TLS to a broker whose certificate a CA made here signed.
    const std::string d = dir_ + "/";
    const std::string ec = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes ";
    WriteBytes(d + "ext.cnf", "subjectAltName=IP:127.0.0.1\n");
    const std::string make =
        "(cd " + dir_ + " && openssl req -x509" + ec + "-keyout ca.key -out ca.crt -days 2 " +
        "-subj /CN=c3-test-ca && openssl req" + ec + "-keyout server.key -out server.csr " +
        "-subj /CN=127.0.0.1 && openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key " +
        "-CAcreateserial -out server.crt -days 2 -extfile ext.cnf && chmod 644 *.key)";
    ASSERT_EQ(0, std::system((make + " > " + d + "openssl.log 2>&1").c_str()));
    const unsigned tlsPort = rig::FreePort();
    broker_ = std::make_unique<rig::Broker>(
        dir_, rig::FreePort(),
        "allow_anonymous true\nlistener " + std::to_string(tlsPort) + " 127.0.0.1\ncafile " + d +
            "ca.crt\ncertfile " + d + "server.crt\nkeyfile " + d + "server.key\n");
    ASSERT_TRUE(broker_->Running()) << broker_->Log();
    auto sub = Subscribe();
    std::vector<std::string> tls = Args({"--ca-file", "ca.crt"});
    tls[1] = "127.0.0.1:" + std::to_string(tlsPort);
    rig::Gateway overTls(dir_, tls);
    EXPECT_FALSE(sub->Wait("1001/state", "online").empty()) << overTls.Err() << broker_->Log();
    EXPECT_EQ(0, overTls.Stop());
}

TEST_F(GatewayTest, CommandsAreRefusedWhenOffAnsweredWhenMalformedAndSendsAreVerified) {
    sim::Simulator& s = AddSensor(1001);
    auto sub = Subscribe();
    const std::string cmd = "c3/test/1001/cmd/";
    {
        rig::Gateway off(dir_, Args());
        ASSERT_FALSE(sub->Wait("1001/state", "online").empty()) << off.Err();
        s.Command("received clear");
        sub->Publish(cmd + "get", "{\"id\":1}", "corr-1");
        const std::vector<rig::Received> reply = sub->Wait("1001/reply");
        ASSERT_FALSE(reply.empty());
        EXPECT_EQ("corr-1", reply.back().correlation);
        EXPECT_FALSE(Json(reply.back()).value("ok").toBool());
        EXPECT_NE(-1, Json(reply.back()).value("error").toString().indexOf("not allowed"));
        EXPECT_EQ(0, off.Stop());
    }
    sub->Clear();
    rig::Gateway on(dir_, Args({"--allow-commands"}));
    ASSERT_FALSE(sub->Wait("1001/state", "online").empty()) << on.Err();
    // Malformed: an error reply, and nothing but frames asked of the sensor.
    s.Command("received clear");
    sub->Publish(cmd + "send", "{\"id\":2,\"parameters\":{\"POWER\":\"high\"}}");
    sub->Publish(cmd + "send", "not a set");
    sub->Publish(cmd + "reboot", "{}");
    ASSERT_EQ(3u, [&] {
        for (int i = 0; i < 300 && sub->Wait("1001/reply", "", 0).size() < 3; ++i) {
            ::usleep(10000);
        }
        return sub->Wait("1001/reply").size();
    }());
    for (const rig::Received& r : sub->Wait("1001/reply")) {
        EXPECT_FALSE(Json(r).value("ok").toBool()) << r.payload;
    }
    EXPECT_EQ(2, Last(sub->Wait("1001/reply", "\"id\":2")).value("id").toInt());
    const std::string received = s.Command("received");
    for (size_t at = 0; at < received.size(); at = received.find('\n', at) + 1) {
        ASSERT_EQ(0u, received.compare(at, 2, "8 ")) << received;
    }

    // A send, verified, and the new set on the params topic.
    sub->Clear();
    sub->Publish(cmd + "send", "{\"id\":3,\"parameters\":{\"POWER\":700}}", "corr-3");
    const std::vector<rig::Received> sent = sub->Wait("1001/reply", "\"id\":3", 5);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ("corr-3", sent.back().correlation);
    const QJsonObject done = Json(sent.back());
    EXPECT_TRUE(done.value("ok").toBool()) << sent.back().payload;
    EXPECT_TRUE(done["verified"][0]["ok"].toBool()) << sent.back().payload;
    const QJsonObject params = Last(sub->Wait("1001/params", "\"POWER\":700"));
    EXPECT_EQ(700, params["sets"][0]["parameters"]["POWER"].toInt());
    sub->Publish(cmd + "get", "");
    const QString file =
        Last(sub->Wait("1001/reply", "\"command\":\"get\"")).value("file").toString();
    EXPECT_NE(-1, file.indexOf("POWER = 700")) << file.toStdString();
    EXPECT_EQ(0, on.Stop());
}

TEST_F(GatewayTest, TwoGatewaysShareABrokerAndALostOneLeavesItsWill) {
    AddSensor(1001);
    AddSensor(1002);
    auto sub = Subscribe();
    WriteBytes(dir_ + "/a.txt", Address(*sensors_[0]) + "\n");
    WriteBytes(dir_ + "/b.txt", Address(*sensors_[1]) + "\n");
    std::vector<std::string> a = Args({"--targets", "a.txt", "--prefix", "c3/line1"});
    std::vector<std::string> b = Args({"--targets", "b.txt", "--prefix", "c3/line2"});
    rig::Gateway first(dir_, a);
    rig::Gateway second(dir_, b);
    ASSERT_FALSE(sub->Wait("c3/line1/1001/state", "online").empty()) << first.Err();
    ASSERT_FALSE(sub->Wait("c3/line2/1002/state", "online").empty()) << second.Err();
    EXPECT_FALSE(sub->Wait("c3/line2/1002/frame").empty());

    first.Stop(SIGKILL);
    EXPECT_FALSE(sub->Wait("c3/line1/1001/state", "gateway-lost", 5).empty());
    sub->Clear();
    EXPECT_FALSE(sub->Wait("c3/line2/1002/frame").empty()) << "the other line goes on";
    EXPECT_EQ(0, second.Stop());
}

TEST_F(GatewayTest, AConfigurationIsCheckedWholeAndEveryFaultNamesItsLine) {
    WriteBytes(dir_ + "/bad.conf",
               "[gateway]\nprefix = c3/test\nrate = fast\n[sensor]\nname = a b\n[camera]\n");
    rig::Gateway bad(dir_, {"--config", "bad.conf"});
    EXPECT_EQ(1, bad.Wait());
    for (const char* fault : {"bad.conf:3: not a rate", "bad.conf:5: a sensor's name",
                              "bad.conf:6: not a section", "bad.conf:4: a [sensor] without"}) {
        EXPECT_NE(std::string::npos, bad.Err().find(fault)) << fault << "\n" << bad.Err();
    }
    // Files named in a configuration are found beside it (a service runs in /).
    std::filesystem::create_directory(dir_ + "/etc");
    WriteBytes(dir_ + "/etc/line.txt", "127.0.0.1:10001\n");
    WriteBytes(dir_ + "/etc/ok.conf", "[gateway]\ntargets = line.txt\n");
    rig::Gateway check(dir_, {"--check", "--config", "etc/ok.conf"});
    EXPECT_EQ(0, check.Wait()) << check.Err();
    rig::Gateway password(dir_, {"--password", "x", "--targets", "line.txt"});
    EXPECT_EQ(1, password.Wait());
    EXPECT_NE(std::string::npos, password.Err().find("never given on the command line"));
}
