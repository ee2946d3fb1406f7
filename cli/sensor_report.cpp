#include "cli/sensor_report.h"

#include "cli/report.h"

#include <utility>

namespace cli {
namespace {

// `text` with every line (each piece between line ends) prefixed; empty
// lines too when `keepEmpty`.
std::string Prefixed(const std::string& prefix, const std::string& text, bool keepEmpty) {
    std::string out;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (keepEmpty || !line.empty()) {
            out += (out.empty() ? "" : "\n") + prefix + line;
        }
        if (end == std::string::npos) {
            return out;
        }
        start = end + 1;
    }
}

} // namespace

SensorReport::SensorReport(std::string lineName) : lineName_(std::move(lineName)) {}

void SensorReport::SetSensor(const std::string& address, unsigned serial) {
    address_ = address;
    serial_ = serial;
}

bool SensorReport::Json() const {
    return OfLine() || JsonOutput();
}

bool SensorReport::EmitJson(const char* event, QJsonObject fields) {
    if (!fields.contains("address")) {
        fields.insert("address", Q(address_));
    }
    if (!fields.contains("serial") && serial_ != 0) {
        fields.insert("serial", static_cast<int>(serial_));
    }
    return cli::EmitJson(event, fields);
}

bool SensorReport::Say(const std::string& text) {
    return Json() || cli::WriteOut(text + "\n");
}

bool SensorReport::WriteOut(const std::string& text) {
    if (!OfLine()) {
        return cli::WriteOut(text);
    }
    const std::string lines = Prefixed(lineName_ + ": ", text, false);
    if (!lines.empty()) {
        cli::Warn(lines);
    }
    return true;
}

void SensorReport::Warn(const std::string& text) {
    cli::Warn(OfLine() ? Prefixed(lineName_ + ": ", text, true) : text);
}

void SensorReport::Result(int status, const std::string& message) {
    if (status != 0 && !message.empty()) {
        Warn(address_ + ": " + message);
    }
    QJsonObject o{{"address", Q(address_)}, {"status", status}, {"message", Q(message)}};
    if (serial_ != 0) {
        o.insert("serial", static_cast<int>(serial_));
    }
    EmitJson("result", o);
}

} // namespace cli
