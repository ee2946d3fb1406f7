#include "gateway/sensor_service.h"

#include "link/com232.h"
#include "live/go_loop.h"
#include "params/transfer_ops.h"
#include "record/record_run.h"
#include "sensor/frame_json.h"
#include "sensor/sensor.h"

#include <algorithm>

namespace gateway {
namespace {

using Steady = std::chrono::steady_clock;

// The first wait before the sensor is tried again; it doubles up to the
// configured longest.
constexpr double kFirstBackoff = 0.5;
// Failed exchanges in a row that make a sensor offline (a single corrupted
// answer does not).
constexpr int kFailuresOffline = 2;
// How long the last state may take to reach the broker at the end.
constexpr double kFinishSeconds = 2.0;

std::string Now() {
    return sensor::IsoTimeWithOffset(WallClock::now());
}

Steady::duration Seconds(double s) {
    return std::chrono::duration_cast<Steady::duration>(std::chrono::duration<double>(s));
}

} // namespace

SensorService::SensorService(const ServiceContext& context, const SensorConfig& sensor)
    : context_(context), config_(sensor), outbox_(context.config->queueFrames, sensor.rate, [this] {
          {
              const std::lock_guard<std::mutex> lock(wakeMutex_);
              woken_ = true;
          }
          wake_.notify_one();
      }) {
    facts_.address = config_.address.name;
    facts_.name = config_.name;
    facts_.gateway = context_.clientId;
    nextStats_ = Steady::now() + Seconds(context_.config->statsInterval);
}

SensorService::~SensorService() = default;

void SensorService::Log(const std::string& text) const {
    context_.log((topicId_.empty() ? config_.address.name : topicId_) + ": " + text);
}

std::string SensorService::Topic(const std::string& leaf) const {
    return context_.config->prefix + "/" + topicId_ + "/" + leaf;
}

void SensorService::Stop() {
    stop_ = true;
    {
        const std::lock_guard<std::mutex> lock(sensorMutex_);
        if (sensor_ != nullptr) {
            sensor_->link.RequestCancel();
        }
    }
    {
        const std::lock_guard<std::mutex> lock(wakeMutex_);
        woken_ = true;
    }
    wake_.notify_one();
}

void SensorService::Run() {
    sensor::Sensor s(com232::WaitPolicy::Block);
    s.link.SetAnswerTimeout(context_.config->answerTimeout);
    {
        const std::lock_guard<std::mutex> lock(sensorMutex_);
        sensor_ = &s;
    }
    if (!config_.name.empty()) {
        topicId_ = config_.name;
        StartBroker();
    }
    const double longest = context_.config->reconnectMax;
    double backoff = std::min(kFirstBackoff, longest);
    bool everOnline = false;
    while (!stop_) {
        if (!ConnectSensor(s)) {
            Wait(backoff);
            backoff = std::min(backoff * 2, longest);
            continue;
        }
        if (everOnline) {
            outbox_.CountReconnect();
        }
        everOnline = true;
        backoff = std::min(kFirstBackoff, longest);
        PollFrames(s);
        if (!stop_) {
            outbox_.CountLinkError();
            SetState("offline",
                     s.link.StatusText.empty() ? "the sensor does not answer" : s.link.StatusText);
            s.link.CloseLink();
            Wait(backoff);
        }
    }
    Shutdown(s);
    const std::lock_guard<std::mutex> lock(sensorMutex_);
    sensor_ = nullptr;
}

bool SensorService::ConnectSensor(sensor::Sensor& s) {
    s.link.CloseLink();
    s.link.ClearCancel();
    const sensor::Connection c = sensor::Connect(s.link, config_.address);
    if (stop_) {
        return false;
    }
    if (c.result != sensor::ConnectResult::Connected) {
        s.link.CloseLink();
        SetState("offline", c.message);
        return false;
    }
    facts_.identified = true;
    facts_.identity = c.identity;
    if (topicId_.empty()) {
        topicId_ = std::to_string(c.identity.serialNumber);
        StartBroker();
    }
    if (!ReadSets(s)) {
        s.link.CloseLink();
        SetState("offline", s.link.StatusText);
        return false;
    }
    SetState("online", "");
    return true;
}

bool SensorService::ReadSets(sensor::Sensor& s) {
    sensor::SetWords sets[2];
    for (uint16_t set = 0; set < 2; ++set) {
        const params::TransferResult r =
            params::ReadParaSet(s.link, set, false, &sets[set].block, &sets[set].table);
        if (!r.ok) {
            s.link.StatusText = r.message;
            return false;
        }
    }
    // The sensor evaluates colours with set 0 unless switched by its input.
    evaluationMode_ = sets[0].block.get(params::kEvaluationMode);
    paramsPayload_ = ParamsPayload(sets, Now());
    Push("params", paramsPayload_, true);
    return true;
}

void SensorService::PollFrames(sensor::Sensor& s) {
    int failures = 0;
    while (!stop_) {
        RunWaitingCommand(&s);
        if (republish_.exchange(false)) {
            Republish();
        }
        s.link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        if (s.link.DataExchange(static_cast<int>(com232::kHeaderSize)) != 1) {
            if (stop_ || ++failures >= kFailuresOffline || !s.link.LinkOpen()) {
                return;
            }
            outbox_.CountLinkError();
            continue;
        }
        failures = 0;
        const live::LiveDataFrameBytes frame = live::FrameFromAnswer(s.link);
        const WallClock::time_point received = WallClock::now();
        outbox_.PushFrame({frame, received, ++frameNumber_});
        const int color = frame.get(live::kColor);
        const int group = frame.get(live::kGroup);
        if (!haveColor_ || color != color_ || group != group_) {
            haveColor_ = true;
            color_ = color;
            group_ = group;
            colorPayload_ = ColorPayload(frame, evaluationMode_, config_.rowTexts,
                                         sensor::IsoTimeWithOffset(received));
            Push("color", colorPayload_, true);
        }
        Flush();
        StatsWhenDue();
    }
}

void SensorService::Shutdown(sensor::Sensor& s) {
    // The link may have been cancelled in the middle of an exchange; what
    // it holds is dropped before the last order.
    s.link.ClearCancel();
    if (s.link.LinkOpen()) {
        s.link.DropReceived();
        record::StopAutoSend(s.link);
    }
    s.link.CloseLink();
    if (!broker_) {
        return;
    }
    // What waits goes first; the last state is published and acknowledged
    // before the connection ends, so the will is not sent.
    Flush();
    statePayload_ = StatePayload("offline", "the gateway was stopped", Now(), facts_);
    broker_->Finish(Topic("state"), statePayload_, kFinishSeconds);
    Log("stopped");
}

void SensorService::StartBroker() {
    outbox_.SetTopicId(topicId_);
    BrokerHandlers h;
    h.connected = [this] {
        republish_ = true;
        const std::lock_guard<std::mutex> lock(wakeMutex_);
        woken_ = true;
        wake_.notify_one();
    };
    h.refused = context_.refused;
    h.log = [this](const std::string& text) { Log(text); };
    h.message = [this](const Incoming& in) { OnIncoming(in); };
    const std::string id = context_.clientId + "/" + context_.config->prefix + "/" + topicId_;
    broker_ = std::make_unique<BrokerClient>(context_.config->broker, id,
                                             context_.config->reconnectMax, std::move(h));
    broker_->SetSubscription(Topic("cmd/+"));
    std::string error;
    if (!broker_->Start(Topic("state"), StatePayload("gateway-lost", "", "", facts_), &error)) {
        Log(error);
    }
}

void SensorService::SetState(const std::string& state, const std::string& reason) {
    const std::string shown = state + (reason.empty() ? "" : " (" + reason + ")");
    if (shown == state_) {
        return;
    }
    state_ = shown;
    outbox_.SetOnline(state == "online", reason);
    statePayload_ = StatePayload(state, reason, Now(), facts_);
    Log(shown);
    Push("state", statePayload_, true);
}

void SensorService::Push(const std::string& topic, const std::string& payload, bool retain,
                         int qos) {
    if (topicId_.empty()) {
        return; // no topic yet: given to the broker once the sensor is known
    }
    Message m;
    m.topic = topic;
    m.payload = payload;
    m.retain = retain;
    m.qos = qos;
    outbox_.PushMessage(std::move(m));
}

void SensorService::Republish() {
    // A broker that restarted without its store has lost the retained
    // topics; they are given again on every connection.
    Push("state", statePayload_, true);
    if (!paramsPayload_.empty()) {
        Push("params", paramsPayload_, true);
    }
    if (!colorPayload_.empty()) {
        Push("color", colorPayload_, true);
    }
}

void SensorService::Flush() {
    if (!broker_ || !broker_->Connected()) {
        return;
    }
    Message m;
    while (outbox_.TakeMessage(&m)) {
        const std::string topic = m.wholeTopic ? m.topic : Topic(m.topic);
        if (!broker_->Publish(topic, m.payload, m.qos, m.retain, m.correlation)) {
            outbox_.PutBack(std::move(m));
            return;
        }
    }
    const std::string frameTopic = Topic("frame");
    QueuedFrame f;
    uint64_t published = 0;
    while (!broker_->Busy() && outbox_.TakeFrame(&f, Steady::now())) {
        if (!broker_->Publish(frameTopic, FramePayload(f), 0, false)) {
            outbox_.PutBack(f);
            break;
        }
        ++published;
    }
    outbox_.CountPublished(published);
}

void SensorService::StatsWhenDue() {
    const Steady::time_point now = Steady::now();
    if (now < nextStats_) {
        return;
    }
    const double interval = context_.config->statsInterval;
    nextStats_ = now + Seconds(interval);
    Push("stats", StatsPayload(outbox_.Snapshot(), interval, Now()), false, 0);
    Flush();
}

void SensorService::Wait(double seconds) {
    const Steady::time_point until = Steady::now() + Seconds(seconds);
    while (!stop_) {
        RunWaitingCommand(nullptr);
        if (republish_.exchange(false)) {
            Republish();
        }
        Flush();
        StatsWhenDue();
        const Steady::time_point now = Steady::now();
        if (now >= until) {
            return;
        }
        std::unique_lock<std::mutex> lock(wakeMutex_);
        wake_.wait_until(lock, std::min(until, nextStats_), [this] { return woken_; });
        woken_ = false;
    }
}

} // namespace gateway
