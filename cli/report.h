// What the tool tells its caller: plain lines for people, or JSON lines
// (one object a line, "event" naming it, and the sensor's "address" and
// "serial" in every one) for line-control scripts. Every write to standard
// output is checked and flushed: the first that fails is kept, later ones
// are skipped, and the command ends with status 4 (OutputFailure).
#pragma once

#include <QJsonObject>

#include <string>

namespace cli {

void SetJsonOutput(bool json);
bool JsonOutput();

// The sensor every JSON line names from now on (serial 0: not known).
void SetJsonSensor(const std::string& address, unsigned serial);

// Writes `text` to standard output and flushes it; false when it (or an
// earlier write) failed.
bool WriteOut(const std::string& text);
// Why standard output could not be written; empty while it could.
std::string OutputFailure();

// A JSON line on standard output (with --json only).
bool EmitJson(const char* event, QJsonObject fields);
// A line on standard output (without --json only).
bool Say(const std::string& text);
// A message on standard error (always).
void Warn(const std::string& text);

// The closing result of one sensor: a JSON "result" line, and the message
// on standard error when the command failed.
void EmitResult(const std::string& address, unsigned serial, int status,
                const std::string& message);

// Whether EmitResult also writes a failure to standard error (not in the
// run for one sensor of a line, whose result line carries it).
void SetResultOnStderr(bool on);

// A usage error: the reason (and the help) on standard error, and with
// --json a "result" line with status 1.
int UsageError(const std::string& reason, const std::string& help);

QString Q(const std::string& text);

} // namespace cli
