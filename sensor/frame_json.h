// A live frame for machines that read JSON (the command-line tool's
// --json, the gateway's frame topic): every field named, with its time in
// ISO 8601.
#pragma once

#include "live/live_frame.h"

#include <QJsonObject>

#include <chrono>
#include <ctime>
#include <string>

namespace sensor {

using WallClock = std::chrono::system_clock;

// The calendar fields of `t` in the local zone.
std::tm LocalTime(WallClock::time_point t);
// Local time to the millisecond, ISO 8601 without a zone
// (2026-12-08T17:57:36.250).
std::string IsoTime(WallClock::time_point t);
// The same with the local zone's offset (2026-12-08T17:57:36.250+01:00):
// a time that stays unambiguous on another machine and across the change
// of summer time.
std::string IsoTimeWithOffset(WallClock::time_point t);

// The frame's fields by name ("x", "y", "int" are s, i, M in the s i M
// calculation modes) and `time`.
QJsonObject LiveFrameJson(const live::LiveDataFrameBytes& frame, const std::string& time);

} // namespace sensor
