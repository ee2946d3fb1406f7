#include "cli/report.h"

#include "cli/options.h"

#include <QJsonDocument>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace cli {
namespace {

std::atomic<bool> gJson{false};
// Guards both standard streams and the failure kept.
std::mutex gOutput;
std::string gOutputFailure;

} // namespace

void SetJsonOutput(bool json) {
    gJson = json;
}

bool JsonOutput() {
    return gJson;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool WriteOut(const std::string& text) {
    const std::lock_guard<std::mutex> lock(gOutput);
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
    const std::lock_guard<std::mutex> lock(gOutput);
    return gOutputFailure;
}

bool EmitJson(const char* event, QJsonObject fields) {
    if (!gJson) {
        return true;
    }
    fields.insert("event", event);
    return WriteOut(QJsonDocument(fields).toJson(QJsonDocument::Compact).toStdString() + "\n");
}

bool Say(const std::string& text) {
    return gJson || WriteOut(text + "\n");
}

void Warn(const std::string& text) {
    const std::lock_guard<std::mutex> lock(gOutput);
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int UsageError(const std::string& reason, const std::string& help) {
    Warn("chromik3-cli: " + reason + "\n\n" + help);
    EmitJson("result", {{"address", QString()}, {"status", kExitUsage}, {"message", Q(reason)}});
    return kExitUsage;
}

} // namespace cli
