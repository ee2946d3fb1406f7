// The command on one sensor as a worker thread runs it: the options, the
// sensor it works on (its own link, whose waits block on the transport),
// what it tells, what it found, and the stop passed to it by the thread
// that watches for signals, --timeout and a failed standard output.
#pragma once

#include "cli/options.h"
#include "cli/sensor_link.h"
#include "cli/sensor_report.h"
#include "sensor/sensor.h"
#include "sensor/set_compare.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace cli {

// The set comparison is shared with the gateway (sensor/set_compare.h).
using sensor::AllKeys;
using sensor::CompareSets;
using sensor::Difference;
using sensor::DifferencesJson;
using sensor::DifferencesText;
using sensor::SetWords;

struct ParameterInputs;

struct Outcome {
    int status = kExitDone;
    std::string message; // why not done
};

class Job {
public:
    // `lineName` empty: the tool's one sensor; otherwise one sensor of a
    // line, as the targets file names it.
    Job(Options options, std::string lineName = {});
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    const Options o;
    sensor::Sensor sensor{com232::WaitPolicy::Block};
    SensorReport report;
    Address address;
    unsigned serial = 0; // as the sensor told it; 0 until then
    // The parameter files of send and diff, read before the job starts.
    const ParameterInputs* inputs = nullptr;

    // What the command ended with, and diff's differences (first: the
    // reference's value), for the line's summary and table.
    Outcome outcome;
    std::vector<Difference> differences;

    com232::SensorLink& Link() { return sensor.link; }

    // From the watching thread, again and again until the job ends: ends
    // the wait in progress and every later one as STOP does (the link's
    // cancel, a capture's scan flag), unless the clean-up has begun.
    void PassStop();
    // The stop has been passed to this job.
    bool Stopped() const { return stopped_; }
    // From the command, once its run has ended: the exchanges that leave
    // the sensor as it was (stopping its automatic sending, breaking a
    // capture off) reach it again, bounded by the link's answer time-out.
    void AllowCleanUp();

private:
    std::mutex stopMutex_;
    bool cleaningUp_ = false;
    std::atomic<bool> stopped_{false};
};

} // namespace cli
