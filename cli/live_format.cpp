#include "cli/live_format.h"

#include "platform/shell_services.h"
#include "record/record_file.h"

#include <QJsonArray>

#include <cstdio>
#include <ctime>

namespace cli {
namespace {

std::tm Local(WallClock::time_point t) {
    const std::time_t seconds = WallClock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

std::string Shaped(std::string text, const LineFormat& f) {
    if (f.lf) {
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
            text.erase(at, 1);
        }
    }
    return text;
}

} // namespace

std::string IsoTime(WallClock::time_point t) {
    const std::tm local = Local(t);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(ms));
    return text;
}

std::string LiveHeader(const std::string& panelId, const LineFormat& f) {
    std::string header = record::RecordFileHeader(shell::kProgramTitle, panelId);
    if (f.isoTime) {
        const size_t at = header.rfind("DATE\tTIME");
        if (at != std::string::npos) {
            header.replace(at, 9, "TIME");
        }
    }
    return Shaped(header, f);
}

std::string LiveLine(const live::LiveDataFrameBytes& frame, WallClock::time_point t,
                     const LineFormat& f) {
    std::string line = record::RecordLine(frame, Local(t));
    if (f.isoTime) {
        line.replace(0, line.find('\t', line.find('\t') + 1), IsoTime(t));
    }
    return Shaped(line, f);
}

QJsonObject LiveFrameJson(const live::LiveDataFrameBytes& frame, WallClock::time_point t) {
    static constexpr const char* kNames[] = {"red",  "green",  "blue",     "x",      "y",
                                             "int",  "deltaC", "color",    "group",  "trigger",
                                             "temp", "rawRed", "rawGreen", "rawBlue"};
    QJsonObject o{{"time", QString::fromStdString(IsoTime(t))}};
    for (int i = 0; i <= live::kRawBlue; ++i) {
        o.insert(kNames[i], frame.get(static_cast<live::LiveField>(i)));
    }
    o.insert("extreme1", QJsonArray{frame.get(live::kExtreme1Red), frame.get(live::kExtreme1Green),
                                    frame.get(live::kExtreme1Blue)});
    o.insert("extreme2", QJsonArray{frame.get(live::kExtreme2Red), frame.get(live::kExtreme2Green),
                                    frame.get(live::kExtreme2Blue)});
    return o;
}

} // namespace cli
