#include "link/sensor_id.h"

namespace com232 {
namespace {

// Reads the next token delimited by any of `delims` starting at `pos`, skipping
// leading delimiters (empty tokens are skipped). Moves `pos` past the
// delimiter that ended the token. Returns false when no token is left.
bool NextToken(const std::string& s, size_t& pos, const char* delims, std::string* token) {
    size_t start = s.find_first_not_of(delims, pos);
    if (start == std::string::npos) {
        pos = s.size();
        return false;
    }
    size_t end = s.find_first_of(delims, start);
    if (end == std::string::npos) {
        *token = s.substr(start);
        pos = s.size();
    } else {
        *token = s.substr(start, end - start);
        pos = end + 1;
    }
    return true;
}

} // namespace

SensorIdParts SplitSensorId(const std::string& text) {
    SensorIdParts parts;
    size_t pos = 0;
    std::string dropped;
    if (NextToken(text, pos, ".", &parts.a) && NextToken(text, pos, ".", &parts.b) &&
        NextToken(text, pos, " ", &dropped) && pos < text.size()) {
        parts.c = text.substr(pos);
    }
    return parts;
}

} // namespace com232
