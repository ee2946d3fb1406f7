#include "cli/report.h"

#include <QJsonDocument>

#include <cstdio>

namespace cli {
namespace {

bool gJson = false;

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

void EmitJson(const char* event, QJsonObject fields) {
    if (!gJson) {
        return;
    }
    fields.insert("event", event);
    const QByteArray line = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Say(const std::string& text) {
    if (gJson) {
        return;
    }
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Warn(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void EmitResult(const std::string& address, unsigned serial, int status,
                const std::string& message) {
    if (status != 0 && !message.empty()) {
        Warn(address + ": " + message);
    }
    QJsonObject o{{"address", Q(address)}, {"status", status}, {"message", Q(message)}};
    if (serial != 0) {
        o.insert("serial", static_cast<int>(serial));
    }
    EmitJson("result", o);
}

} // namespace cli
