// One sensor of the line as the gateway serves it, on a worker thread of
// its own: it keeps the link up (reconnecting with a back-off when the
// sensor vanishes), polls one frame after another, carries out the
// commands between two frames, and publishes the sensor's topics through a
// broker connection of its own, whose last will marks the sensor
// "gateway-lost".
#pragma once

#include "gateway/broker_client.h"
#include "gateway/config.h"
#include "gateway/outbox.h"
#include "gateway/payloads.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace sensor {
class Sensor;
}

namespace gateway {

// What every sensor's service shares.
struct ServiceContext {
    const Config* config = nullptr;
    std::string clientId; // the gateway's
    // A line for the journal (thread-safe).
    std::function<void(const std::string&)> log;
    // The broker refused the gateway: the process ends.
    std::function<void(const std::string&)> refused;
};

class SensorService {
public:
    SensorService(const ServiceContext& context, const SensorConfig& sensor);
    ~SensorService();
    SensorService(const SensorService&) = delete;
    SensorService& operator=(const SensorService&) = delete;

    // The worker's body: returns after Stop, with the state "offline"
    // published and the sensor's automatic sending stopped.
    void Run();
    // From any thread.
    void Stop();

private:
    // ---- the link ------------------------------------------------------
    bool ConnectSensor(sensor::Sensor& s);
    bool ReadSets(sensor::Sensor& s);
    void PollFrames(sensor::Sensor& s);
    void Shutdown(sensor::Sensor& s);

    // ---- the topics ----------------------------------------------------
    void StartBroker();
    void SetState(const std::string& state, const std::string& reason);
    void Push(const std::string& topic, const std::string& payload, bool retain, int qos = 1);
    void Republish();
    void Flush();
    void StatsWhenDue();
    // Waits `seconds` while offline, answering commands meanwhile.
    void Wait(double seconds);
    std::string Topic(const std::string& leaf) const;
    void Log(const std::string& text) const;

    // ---- commands (service_commands.cpp) --------------------------------
    void OnIncoming(const Incoming& in);
    void Reply(const Command& c, const QJsonObject& reply);
    void RunWaitingCommand(sensor::Sensor* s);

    const ServiceContext context_;
    const SensorConfig config_;
    Outbox outbox_;
    std::unique_ptr<BrokerClient> broker_;
    std::string topicId_; // set once, before the broker connection starts
    SensorFacts facts_;

    // What a (re)connected broker is given again (retained topics).
    std::string statePayload_;
    std::string colorPayload_;
    std::string paramsPayload_;
    std::string state_;
    bool haveColor_ = false;
    int color_ = -1;
    int group_ = -1;
    uint16_t evaluationMode_ = 0;
    uint64_t frameNumber_ = 0;
    std::chrono::steady_clock::time_point nextStats_;

    std::atomic<bool> stop_{false};
    std::atomic<bool> republish_{false};
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool woken_ = false;
    std::mutex sensorMutex_;
    sensor::Sensor* sensor_ = nullptr; // while Run holds it (Stop cancels its wait)
};

} // namespace gateway
