// The commands a plant's engineering account may publish to a sensor
// (…/cmd/get, …/cmd/send) when the gateway allows them: read on the
// publisher's thread and refused there when malformed, so nothing reaches
// the sensor; carried out by the sensor's worker between two frames and
// answered on …/reply (or the request's response topic) with its
// correlation data and request id.
#pragma once

#include "sensor/set_compare.h"

#include <QJsonObject>
#include <QJsonValue>

#include <string>

namespace sensor {
class Sensor;
}

namespace gateway {

struct Command {
    std::string kind; // "get" or "send"
    int set = 0;
    bool eeprom = false;
    // send: a whole set from a parameter file's text, or words to change
    // in the set the sensor holds.
    bool wholeSet = false;
    sensor::SetWords words;
    QJsonObject changes;
    // Where the reply goes and what it carries back.
    std::string replyTopic; // empty: the sensor's reply topic
    std::string correlation;
    QJsonValue id;
};

// Reads a command from its topic's last level and payload: an empty
// payload or a JSON object for get; for send a JSON object with "file"
// (the parameter file's text) or "parameters" / "teach", or the parameter
// file's text alone (to RAM, set 0). False with the reason.
bool ParseCommand(const std::string& kind, const std::string& payload, Command* c,
                  std::string* error);

// The reply to a command that was not carried out.
QJsonObject ErrorReply(const Command& c, const std::string& error);

// Carries the command out on the sensor's link: get reads the set; send
// reads the set the sensor holds, writes the new one (to the EEPROM too
// with "eeprom") and reads it back from each memory written. *changed is
// set when anything was written.
QJsonObject RunCommand(sensor::Sensor& s, const Command& c, bool* changed);

} // namespace gateway
