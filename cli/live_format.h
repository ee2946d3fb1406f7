// Live frames as a script wants them: the record file's line (the
// default), with LF line ends or one ISO 8601 time column instead of the
// date and time columns; the JSON object with every field named is
// sensor/frame_json.h.
#pragma once

#include "live/live_frame.h"
#include "sensor/frame_json.h"

#include <chrono>
#include <string>

namespace cli {

struct LineFormat {
    bool lf = false;      // LF instead of CR LF
    bool isoTime = false; // 2026-12-08T17:57:36.250 instead of the date and time
};

using sensor::IsoTime;
using sensor::WallClock;

std::string LiveHeader(const std::string& panelId, const LineFormat& f);
std::string LiveLine(const live::LiveDataFrameBytes& frame, WallClock::time_point t,
                     const LineFormat& f);
} // namespace cli
