// Live frames as a script wants them: the record file's line (the
// default), with LF line ends or one ISO 8601 time column instead of the
// date and time columns, or a JSON object with every field named.
#pragma once

#include "live/live_frame.h"

#include <QJsonObject>

#include <chrono>
#include <string>

namespace cli {

struct LineFormat {
    bool lf = false;      // LF instead of CR LF
    bool isoTime = false; // 2026-12-08T17:57:36.250 instead of the date and time
};

using WallClock = std::chrono::system_clock;

// Local time to the millisecond, ISO 8601 without a zone.
std::string IsoTime(WallClock::time_point t);

std::string LiveHeader(const std::string& panelId, const LineFormat& f);
std::string LiveLine(const live::LiveDataFrameBytes& frame, WallClock::time_point t,
                     const LineFormat& f);
// The frame's fields by name ("x", "y", "int" are s, i, M in the s i M
// calculation modes) and its time.
QJsonObject LiveFrameJson(const live::LiveDataFrameBytes& frame, WallClock::time_point t);

} // namespace cli
