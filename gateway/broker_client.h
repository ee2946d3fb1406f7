// One connection to the MQTT broker (MQTT 5, through libmosquitto), for one
// sensor's topics: its own last will (the sensor's state "gateway-lost")
// needs a connection of its own. libmosquitto's network thread
// (mosquitto_loop_start) keeps it: keep-alive pings, TLS, and reconnecting
// with an exponential back-off while the broker is away. The sensor's
// worker publishes from its own thread; what arrives (commands) is handed
// to the worker's handlers on the network thread.
#pragma once

#include "gateway/config.h"

#include <atomic>
#include <functional>
#include <string>

struct mosquitto;
struct mosquitto_message;
typedef struct mqtt5__property mosquitto_property;

namespace gateway {

struct Incoming {
    std::string topic;
    std::string payload;
    std::string responseTopic; // MQTT 5 response topic, when the request gives one
    std::string correlation;   // MQTT 5 correlation data
};

struct BrokerHandlers {
    // A connection (the first, or again after the broker was away) is up.
    std::function<void()> connected;
    // The broker refused the gateway's name, password or certificate.
    std::function<void(const std::string& reason)> refused;
    std::function<void(const Incoming&)> message;
    // An error worth a line in the journal.
    std::function<void(const std::string&)> log;
};

class BrokerClient {
public:
    BrokerClient(const BrokerConfig& broker, const std::string& clientId, double reconnectMax,
                 BrokerHandlers handlers);
    ~BrokerClient();
    BrokerClient(const BrokerClient&) = delete;
    BrokerClient& operator=(const BrokerClient&) = delete;

    // Sets the will (retained, QoS 1), the account and TLS, and starts
    // connecting in the network thread. False with the reason for a setting
    // libmosquitto refuses (a certificate file it cannot load).
    bool Start(const std::string& willTopic, const std::string& willPayload, std::string* error);

    // Subscribed to on every connection.
    void SetSubscription(const std::string& pattern) { subscription_ = pattern; }

    bool Connected() const { return connected_; }
    // Messages handed to libmosquitto and not yet written to the broker:
    // a broker that takes them slower than they come is not flooded.
    bool Busy() const;

    // False when the broker is not connected or the message could not be
    // handed over (it is then still the caller's).
    bool Publish(const std::string& topic, const std::string& payload, int qos, bool retain,
                 const std::string& correlation = {});

    // Publishes a last QoS 1 message, waits up to `seconds` for the broker
    // to acknowledge it, and disconnects (the will is not sent).
    void Finish(const std::string& topic, const std::string& payload, double seconds);

private:
    static void OnConnect(mosquitto*, void* self, int rc, int flags, const mosquitto_property*);
    static void OnDisconnect(mosquitto*, void* self, int rc, const mosquitto_property*);
    static void OnPublish(mosquitto*, void* self, int mid, int rc, const mosquitto_property*);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* m,
                          const mosquitto_property* props);
    static void OnLog(mosquitto*, void* self, int level, const char* text);

    const BrokerConfig broker_;
    const std::string clientId_;
    const double reconnectMax_;
    const BrokerHandlers handlers_;
    std::string subscription_;
    mosquitto* mosq_ = nullptr;
    bool started_ = false;
    std::atomic<bool> connected_{false};
    std::atomic<long> unsent_{0}; // handed over, not yet written
    std::atomic<int> lastAcked_{0};
};

// Once in a process, before any client, and at its end.
void BrokerLibraryInit();
void BrokerLibraryCleanup();

} // namespace gateway
