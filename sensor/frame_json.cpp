#include "sensor/frame_json.h"

#include <QJsonArray>

#include <cstdio>
#include <ctime>

namespace sensor {

std::tm LocalTime(WallClock::time_point t) {
    const std::time_t seconds = WallClock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

namespace {

std::string Iso(WallClock::time_point t, bool withOffset) {
    const std::tm local = LocalTime(t);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000;
    char text[128];
    int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d",
                          local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec, static_cast<int>(ms));
    if (withOffset && n > 0) {
        const long offset = local.tm_gmtoff / 60; // minutes east of UTC
        const long minutes = offset < 0 ? -offset : offset;
        std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "%c%02ld:%02ld",
                      offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    }
    return text;
}

} // namespace

std::string IsoTime(WallClock::time_point t) {
    return Iso(t, false);
}

std::string IsoTimeWithOffset(WallClock::time_point t) {
    return Iso(t, true);
}

QJsonObject LiveFrameJson(const live::LiveDataFrameBytes& frame, const std::string& time) {
    static constexpr const char* kNames[] = {"red",  "green",  "blue",     "x",      "y",
                                             "int",  "deltaC", "color",    "group",  "trigger",
                                             "temp", "rawRed", "rawGreen", "rawBlue"};
    QJsonObject o{{"time", QString::fromStdString(time)}};
    for (int i = 0; i <= live::kRawBlue; ++i) {
        o.insert(kNames[i], frame.get(static_cast<live::LiveField>(i)));
    }
    o.insert("extreme1", QJsonArray{frame.get(live::kExtreme1Red), frame.get(live::kExtreme1Green),
                                    frame.get(live::kExtreme1Blue)});
    o.insert("extreme2", QJsonArray{frame.get(live::kExtreme2Red), frame.get(live::kExtreme2Green),
                                    frame.get(live::kExtreme2Blue)});
    return o;
}

} // namespace sensor
