#include "gateway/broker_client.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <chrono>
#include <thread>

namespace gateway {
namespace {

// Messages libmosquitto may hold unwritten before frames wait in the
// sensor's own bounded queue instead.
constexpr long kMaxUnsent = 1000;

// The first wait before reconnecting to the broker; it doubles up to the
// configured longest.
constexpr unsigned kFirstReconnectSeconds = 1;

bool Refusal(int rc) {
    // MQTT 3.1.1 return codes 4 and 5; MQTT 5 reason codes for a client id,
    // user name, password or account the broker does not accept.
    return rc == 4 || rc == 5 || rc == MQTT_RC_CLIENTID_NOT_VALID ||
           rc == MQTT_RC_BAD_USERNAME_OR_PASSWORD || rc == MQTT_RC_NOT_AUTHORIZED ||
           rc == MQTT_RC_BANNED || rc == MQTT_RC_BAD_AUTHENTICATION_METHOD;
}

} // namespace

void BrokerLibraryInit() {
    mosquitto_lib_init();
}

void BrokerLibraryCleanup() {
    mosquitto_lib_cleanup();
}

BrokerClient::BrokerClient(const BrokerConfig& broker, const std::string& clientId,
                           double reconnectMax, BrokerHandlers handlers)
    : broker_(broker), clientId_(clientId), reconnectMax_(reconnectMax),
      handlers_(std::move(handlers)) {
    mosq_ = mosquitto_new(clientId_.c_str(), true, this);
    if (mosq_ != nullptr) {
        mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
        // Each frame goes out as it comes: small messages are not held back
        // for the acknowledgement of the one before (Nagle's algorithm).
        mosquitto_int_option(mosq_, MOSQ_OPT_TCP_NODELAY, 1);
        mosquitto_connect_v5_callback_set(mosq_, &BrokerClient::OnConnect);
        mosquitto_disconnect_v5_callback_set(mosq_, &BrokerClient::OnDisconnect);
        mosquitto_publish_v5_callback_set(mosq_, &BrokerClient::OnPublish);
        mosquitto_message_v5_callback_set(mosq_, &BrokerClient::OnMessage);
        mosquitto_log_callback_set(mosq_, &BrokerClient::OnLog);
    }
}

BrokerClient::~BrokerClient() {
    if (mosq_ == nullptr) {
        return;
    }
    if (started_) {
        mosquitto_disconnect(mosq_);
        mosquitto_loop_stop(mosq_, true);
    }
    mosquitto_destroy(mosq_);
}

bool BrokerClient::Start(const std::string& willTopic, const std::string& willPayload,
                         std::string* error) {
    if (mosq_ == nullptr) {
        *error = "no memory for a broker connection";
        return false;
    }
    int rc = mosquitto_will_set_v5(mosq_, willTopic.c_str(), static_cast<int>(willPayload.size()),
                                   willPayload.data(), 1, true, nullptr);
    if (rc == MOSQ_ERR_SUCCESS && !broker_.username.empty()) {
        rc = mosquitto_username_pw_set(mosq_, broker_.username.c_str(),
                                       broker_.passwordFile.empty() ? nullptr
                                                                    : broker_.password.c_str());
    }
    if (rc == MOSQ_ERR_SUCCESS && broker_.Tls()) {
        rc =
            mosquitto_tls_set(mosq_, broker_.caFile.c_str(), nullptr,
                              broker_.certFile.empty() ? nullptr : broker_.certFile.c_str(),
                              broker_.keyFile.empty() ? nullptr : broker_.keyFile.c_str(), nullptr);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        *error = std::string("the broker connection cannot be set up: ") + mosquitto_strerror(rc);
        return false;
    }
    const auto longest = static_cast<unsigned>(reconnectMax_ < 1 ? 1 : reconnectMax_);
    mosquitto_reconnect_delay_set(mosq_, std::min(kFirstReconnectSeconds, longest), longest, true);
    // A broker that is not there yet is tried again by the network thread.
    rc = mosquitto_connect_async(mosq_, broker_.host.c_str(), static_cast<int>(broker_.port),
                                 broker_.keepalive);
    if (rc != MOSQ_ERR_SUCCESS && handlers_.log) {
        handlers_.log("the broker " + broker_.host + ":" + std::to_string(broker_.port) +
                      " is not reached yet (" + mosquitto_strerror(rc) + "); trying again");
    }
    rc = mosquitto_loop_start(mosq_);
    if (rc != MOSQ_ERR_SUCCESS) {
        *error =
            std::string("the broker connection's thread cannot start: ") + mosquitto_strerror(rc);
        return false;
    }
    started_ = true;
    return true;
}

bool BrokerClient::Busy() const {
    return unsent_ > kMaxUnsent;
}

bool BrokerClient::Publish(const std::string& topic, const std::string& payload, int qos,
                           bool retain, const std::string& correlation) {
    if (!connected_) {
        return false;
    }
    mosquitto_property* props = nullptr;
    if (!correlation.empty()) {
        mosquitto_property_add_binary(&props, MQTT_PROP_CORRELATION_DATA, correlation.data(),
                                      static_cast<uint16_t>(correlation.size()));
    }
    ++unsent_;
    const int rc =
        mosquitto_publish_v5(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), qos, retain, props);
    mosquitto_property_free_all(&props);
    if (rc != MOSQ_ERR_SUCCESS) {
        --unsent_;
        return false;
    }
    return true;
}

void BrokerClient::Finish(const std::string& topic, const std::string& payload, double seconds) {
    if (!started_) {
        return;
    }
    int mid = 0;
    if (connected_ &&
        mosquitto_publish_v5(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                             payload.data(), 1, true, nullptr) == MOSQ_ERR_SUCCESS) {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (lastAcked_ != mid && connected_ && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    started_ = false;
}

void BrokerClient::OnConnect(mosquitto* m, void* self, int rc, int, const mosquitto_property*) {
    auto* c = static_cast<BrokerClient*>(self);
    if (rc != 0) {
        const std::string reason = mosquitto_reason_string(rc);
        if (Refusal(rc) && c->handlers_.refused) {
            c->handlers_.refused(reason);
        } else if (c->handlers_.log) {
            c->handlers_.log("the broker refused the connection: " + reason);
        }
        return;
    }
    if (!c->subscription_.empty()) {
        mosquitto_subscribe_v5(m, nullptr, c->subscription_.c_str(), 1, 0, nullptr);
    }
    c->unsent_ = 0;
    c->connected_ = true;
    if (c->handlers_.connected) {
        c->handlers_.connected();
    }
}

void BrokerClient::OnDisconnect(mosquitto*, void* self, int rc, const mosquitto_property*) {
    auto* c = static_cast<BrokerClient*>(self);
    const bool was = c->connected_.exchange(false);
    if (was && rc != 0 && c->handlers_.log) {
        c->handlers_.log("the broker connection is lost (" + std::string(mosquitto_strerror(rc)) +
                         "); reconnecting");
    }
}

void BrokerClient::OnPublish(mosquitto*, void* self, int mid, int, const mosquitto_property*) {
    auto* c = static_cast<BrokerClient*>(self);
    if (c->unsent_ > 0) {
        --c->unsent_;
    }
    c->lastAcked_ = mid;
}

void BrokerClient::OnMessage(mosquitto*, void* self, const mosquitto_message* m,
                             const mosquitto_property* props) {
    auto* c = static_cast<BrokerClient*>(self);
    if (!c->handlers_.message || m == nullptr || m->topic == nullptr) {
        return;
    }
    Incoming in;
    in.topic = m->topic;
    if (m->payloadlen > 0) {
        in.payload.assign(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen));
    }
    char* topic = nullptr;
    if (mosquitto_property_read_string(props, MQTT_PROP_RESPONSE_TOPIC, &topic, false) != nullptr) {
        in.responseTopic = topic;
        free(topic);
    }
    void* data = nullptr;
    uint16_t length = 0;
    if (mosquitto_property_read_binary(props, MQTT_PROP_CORRELATION_DATA, &data, &length, false) !=
        nullptr) {
        in.correlation.assign(static_cast<const char*>(data), length);
        free(data);
    }
    c->handlers_.message(in);
}

void BrokerClient::OnLog(mosquitto*, void* self, int level, const char* text) {
    auto* c = static_cast<BrokerClient*>(self);
    if ((level & MOSQ_LOG_ERR) != 0 && c->handlers_.log && text != nullptr) {
        c->handlers_.log(text);
    }
}

} // namespace gateway
