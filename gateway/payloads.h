// The JSON the gateway publishes: a sensor's state, its matched colour,
// its parameter sets, its counters and its frames; and a parameter set
// given as JSON, read back into words.
#pragma once

#include "gateway/config.h"
#include "gateway/outbox.h"
#include "link/identify.h"
#include "sensor/set_compare.h"

#include <QJsonObject>

#include <string>

namespace gateway {

std::string Compact(const QJsonObject& o);

// What the state topic tells about a sensor besides its state.
struct SensorFacts {
    std::string address;
    std::string name;
    std::string gateway; // the gateway's client id
    bool identified = false;
    com232::SensorIdentity identity;
};

// "online", "offline" (with the reason) or "gateway-lost" (the will: no
// time, as the broker sends it when the gateway is gone).
std::string StatePayload(const std::string& state, const std::string& reason,
                         const std::string& since, const SensorFacts& facts);

// The matched row (COLOR, GROUP) and its row text; in the output-pattern
// evaluation modes COL5 and THD RGB, COLOR is the pattern of OUT0..OUT4.
std::string ColorPayload(const live::LiveDataFrameBytes& frame, uint16_t evaluationMode,
                         const std::vector<std::string>& rowTexts, const std::string& time);

// One set: {"set": N, "parameters": {"POWER": 500, ...}, "teach": [{"row":
// 0, "cells": [..5..], "group": 0, "hold": 10}, ...]}.
QJsonObject SetJson(int set, const sensor::SetWords& words);
std::string ParamsPayload(const sensor::SetWords sets[2], const std::string& time);

std::string StatsPayload(const Counters& c, double interval, const std::string& time);

std::string FramePayload(const QueuedFrame& f);

// Applies "parameters" and "teach" of `o` (either may be left out; the
// words not named keep their values) to *words. False with the first fault
// (an unknown key, a value that is no whole number from 0 to 65535, a row
// outside 0..30).
bool ApplySetJson(const QJsonObject& o, sensor::SetWords* words, std::string* error);

} // namespace gateway
