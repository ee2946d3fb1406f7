// What the tool tells its caller: plain lines for people, or JSON lines
// (one object a line, "event" naming it, and the sensor's "address" and
// "serial" in every one) for line-control scripts. The sensors' workers
// write at once: every write goes out whole under one lock, so lines never
// mix. Every write to standard output is checked and flushed: the first
// that fails is kept, later ones are skipped, and the run ends with status
// 4 (OutputFailure). What one sensor's command tells goes through its
// SensorReport (cli/sensor_report.h).
#pragma once

#include <QJsonObject>

#include <string>

namespace cli {

// Set once, before any worker starts.
void SetJsonOutput(bool json);
bool JsonOutput();

// Writes `text` to standard output and flushes it; false when it (or an
// earlier write) failed.
bool WriteOut(const std::string& text);
// Why standard output could not be written; empty while it could.
std::string OutputFailure();

// A JSON line of the tool itself (with --json only): `fields` name the
// address ("" for a usage error, the targets file for a line's summary).
bool EmitJson(const char* event, QJsonObject fields);
// A line on standard output (without --json only).
bool Say(const std::string& text);
// Lines on standard error (always), written whole.
void Warn(const std::string& text);

// A usage error: the reason (and the help) on standard error, and with
// --json a "result" line with status 1.
int UsageError(const std::string& reason, const std::string& help);

QString Q(const std::string& text);

} // namespace cli
