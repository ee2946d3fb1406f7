#include "cli/report.h"

#include "cli/options.h"

#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {
namespace {

bool gJson = false;
std::string gAddress;
unsigned gSerial = 0;
std::string gOutputFailure;
bool gResultOnStderr = true;

} // namespace

void SetJsonOutput(bool json) {
    gJson = json;
}

bool JsonOutput() {
    return gJson;
}

void SetJsonSensor(const std::string& address, unsigned serial) {
    gAddress = address;
    gSerial = serial;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool WriteOut(const std::string& text) {
    if (!gOutputFailure.empty()) {
        return false;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        const int error = errno;
        gOutputFailure = std::string("standard output could not be written: ") +
                         (error != 0 ? std::strerror(error) : "write error");
        std::clearerr(stdout);
        return false;
    }
    return true;
}

std::string OutputFailure() {
    return gOutputFailure;
}

bool EmitJson(const char* event, QJsonObject fields) {
    if (!gJson) {
        return true;
    }
    fields.insert("event", event);
    if (!fields.contains("address")) {
        fields.insert("address", Q(gAddress));
    }
    if (!fields.contains("serial") && gSerial != 0) {
        fields.insert("serial", static_cast<int>(gSerial));
    }
    return WriteOut(QJsonDocument(fields).toJson(QJsonDocument::Compact).toStdString() + "\n");
}

bool Say(const std::string& text) {
    return gJson || WriteOut(text + "\n");
}

void Warn(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void EmitResult(const std::string& address, unsigned serial, int status,
                const std::string& message) {
    if (gResultOnStderr && status != 0 && !message.empty()) {
        Warn(address + ": " + message);
    }
    QJsonObject o{{"address", Q(address)}, {"status", status}, {"message", Q(message)}};
    if (serial != 0) {
        o.insert("serial", static_cast<int>(serial));
    }
    EmitJson("result", o);
}

void SetResultOnStderr(bool on) {
    gResultOnStderr = on;
}

int UsageError(const std::string& reason, const std::string& help) {
    Warn("chromik3-cli: " + reason + "\n\n" + help);
    EmitJson("result", {{"status", kExitUsage}, {"message", Q(reason)}});
    return kExitUsage;
}

} // namespace cli
