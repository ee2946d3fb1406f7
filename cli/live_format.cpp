#include "cli/live_format.h"

#include "platform/shell_services.h"
#include "record/record_file.h"

#include <ctime>

namespace cli {
namespace {

std::string Shaped(std::string text, const LineFormat& f) {
    if (f.lf) {
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
            text.erase(at, 1);
        }
    }
    return text;
}

} // namespace

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
    std::string line = record::RecordLine(frame, sensor::LocalTime(t));
    if (f.isoTime) {
        line.replace(0, line.find('\t', line.find('\t') + 1), IsoTime(t));
    }
    return Shaped(line, f);
}

} // namespace cli
