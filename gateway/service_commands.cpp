// The commands of a sensor's service: read and checked on the broker
// connection's thread (a malformed or refused command is answered there and
// never reaches the worker), carried out by the worker between two frames.
#include "gateway/commands.h"
#include "gateway/sensor_service.h"
#include "sensor/sensor.h"

namespace gateway {
namespace {

const char* const kNotAllowed =
    "commands are not allowed on this gateway (allow-commands = yes in [gateway]); nothing "
    "was done";

} // namespace

void SensorService::OnIncoming(const Incoming& in) {
    const std::string prefix = Topic("cmd/");
    if (in.topic.rfind(prefix, 0) != 0) {
        return;
    }
    Command c;
    std::string error;
    const bool parsed = ParseCommand(in.topic.substr(prefix.size()), in.payload, &c, &error);
    c.replyTopic = in.responseTopic;
    c.correlation = in.correlation;
    if (!context_.config->allowCommands) {
        Log(c.kind + " refused: commands are not allowed");
        Reply(c, ErrorReply(c, kNotAllowed));
    } else if (!parsed) {
        Log(c.kind + " refused: " + error);
        Reply(c, ErrorReply(c, error + "; nothing was done"));
    } else if (!outbox_.PostCommand(c)) {
        Reply(c, ErrorReply(c, "too many commands wait for this sensor; nothing was done"));
    }
}

void SensorService::Reply(const Command& c, const QJsonObject& reply) {
    Message m;
    m.wholeTopic = true;
    m.topic = c.replyTopic.empty() ? Topic("reply") : c.replyTopic;
    m.payload = Compact(reply);
    m.correlation = c.correlation;
    outbox_.PushMessage(std::move(m));
}

void SensorService::RunWaitingCommand(sensor::Sensor* s) {
    Command c;
    if (!outbox_.TakeCommand(&c)) {
        return;
    }
    std::string reason;
    if (s == nullptr || !outbox_.Online(&reason)) {
        Reply(c, ErrorReply(c, "the sensor is offline (" + reason + "); nothing was done"));
        return;
    }
    bool changed = false;
    const QJsonObject reply = RunCommand(*s, c, &changed);
    Log(c.kind + (reply.value("ok").toBool() ? " done" : " failed"));
    if (changed && !ReadSets(*s)) {
        Log("the parameter sets could not be read back: " + s->link.StatusText);
    }
    Reply(c, reply);
}

} // namespace gateway
