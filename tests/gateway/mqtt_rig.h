// What the gateway's tests run it with: a real mosquitto broker started on a
// free loopback port with a configuration of the test's own (never the
// system's service), a subscriber that keeps every message, and the
// gateway as a process.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;

namespace rig {

// The broker's path, or empty when mosquitto is not installed.
std::string BrokerProgram();
// A loopback TCP port on which nothing listens.
unsigned FreePort();

class Broker {
public:
    // Writes DIR/NAME.conf: a listener on `port` and `lines`, then starts it.
    Broker(const std::string& dir, unsigned port,
           const std::string& lines = "allow_anonymous true\n");
    ~Broker();
    bool Running() const { return pid_ > 0; }
    void Kill();
    bool Start(); // again, with the same configuration
    unsigned Port() const { return port_; }
    std::string Log() const;

private:
    std::string dir_;
    unsigned port_;
    int pid_ = -1;
};

struct Received {
    std::string topic;
    std::string payload;
    bool retained = false;
    std::string correlation;
};

class Subscriber {
public:
    // Connects (MQTT 5) to 127.0.0.1:port and subscribes to `pattern`.
    explicit Subscriber(unsigned port, const std::string& pattern = "#",
                        const std::string& user = "", const std::string& password = "");
    ~Subscriber();
    bool Connected();
    // The messages whose topic ends in `suffix` and whose payload holds
    // `part`, waiting up to `seconds` for at least one.
    std::vector<Received> Wait(const std::string& suffix, const std::string& part = "",
                               double seconds = 5);
    std::vector<Received> All();
    void Clear();
    // Publishes with an MQTT 5 correlation data (none when empty).
    void Publish(const std::string& topic, const std::string& payload,
                 const std::string& correlation = "");

    // The network thread's side.
    void Take(Received r);
    void SetConnected(bool connected);

private:
    mosquitto* mosq_ = nullptr;
    std::mutex mutex_;
    std::vector<Received> received_;
    bool connected_ = false;
};

// The built chromik3-gateway, run in `dir` with standard error into
// DIR/gateway-N.err.
class Gateway {
public:
    Gateway(const std::string& dir, const std::vector<std::string>& args);
    ~Gateway();
    // SIGTERM (or another signal), then the exit status (128 + N after signal N).
    int Stop(int signal = 15);
    // Waits for the end without a signal (up to 20 s).
    int Wait();
    std::string Err() const;

private:
    std::string err_;
    int pid_ = -1;
};

} // namespace rig
