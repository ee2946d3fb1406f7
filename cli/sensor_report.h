// What the command on one sensor tells. For the tool's one sensor: its
// lines and data on standard output, its JSON lines naming the sensor, its
// messages on standard error. For one sensor of a line (--targets): every
// message line on standard error starts with the sensor's name, its JSON
// lines go out as they come (with --json), and its text results are left to
// the line's run, which reports each sensor's result and the summary.
#pragma once

#include <QJsonObject>

#include <string>

namespace cli {

class SensorReport {
public:
    // `lineName` empty: the tool's one sensor; otherwise one sensor of a
    // line, as the targets file names it.
    explicit SensorReport(std::string lineName = {});

    // The sensor every JSON line names from now on (serial 0: not known).
    void SetSensor(const std::string& address, unsigned serial);
    bool OfLine() const { return !lineName_.empty(); }
    const std::string& LineName() const { return lineName_; }
    // True when the results go out as JSON lines instead of text: with
    // --json, and for a sensor of a line (whose text is the line's).
    bool Json() const;

    bool EmitJson(const char* event, QJsonObject fields);
    // A line of text results (nothing when Json()).
    bool Say(const std::string& text);
    // Data on standard output; for a sensor of a line (which has none
    // there) its lines become messages.
    bool WriteOut(const std::string& text);
    void Warn(const std::string& text);

    // The closing result of the tool's one sensor: a JSON "result" line,
    // and the message on standard error when the command failed.
    void Result(int status, const std::string& message);

private:
    std::string lineName_;
    std::string address_;
    unsigned serial_ = 0;
};

} // namespace cli
