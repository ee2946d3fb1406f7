// What the tool tells its caller: plain lines for people, or JSON lines
// (one object a line, "event" naming it) for line-control scripts.
#pragma once

#include <QJsonObject>

#include <string>

namespace cli {

void SetJsonOutput(bool json);
bool JsonOutput();

// A JSON line on standard output (with --json only).
void EmitJson(const char* event, QJsonObject fields);
// A line on standard output (without --json only).
void Say(const std::string& text);
// A message on standard error (always).
void Warn(const std::string& text);

// The closing result of one sensor: a JSON "result" line, or the message
// on standard error when the command failed.
void EmitResult(const std::string& address, unsigned serial, int status,
                const std::string& message);

QString Q(const std::string& text);

} // namespace cli
