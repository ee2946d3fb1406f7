// The search for the sensors that answer: serial ports at every baud rate
// and TCP/IP addresses, each probed on a link of its own with nothing but
// the identification order (order 7). Ports and addresses are probed side
// by side on worker threads (a bounded number at once), the rates of one
// port one after another, the fastest first; each probe waits only as long
// as a sensor needs to answer at that rate. Free of widgets: the program's
// connection page and chromik3-cli find both run it.
#pragma once

#include "link/search_range.h"
#include "link/sensor_id.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {
class WorkerThread;
}

namespace com232 {

class SensorLink;

// A serial port to probe.
struct SerialTarget {
    std::string device;      // the device opened (links followed)
    int comPort = 0;         // its COM number; 0 for a device without one
    std::string name;        // how results name it: "com:N", or the path as given
    std::string description; // what the system says it is (adapter, driver)
};

// COM N (false for a number in no device range).
bool SerialTargetOfComPort(int comPort, SerialTarget* target);
// A device by its path (/dev/serial/by-id/..., /dev/ttyAMA0), named so.
SerialTarget SerialTargetOfPath(const std::string& path);
// Every serial port the system lists (pseudo-terminals are not listed).
std::vector<SerialTarget> ListedSerialTargets();

// The baud-rate indices of a search: fastest first.
std::vector<unsigned> AllBaudrateIndicesFastestFirst();

struct SearchSettings {
    std::vector<SerialTarget> serial; // probed at each rate of baudrateIndices
    // Baud-rate indices in the order tried; empty: all eight, fastest first.
    std::vector<unsigned> baudrateIndices;
    std::vector<TcpTarget> tcp;
    unsigned parallel = 32; // ports and addresses probed at once
    // A probe waits for the answer as long as the request and the answer
    // take on the line at its rate, twice over, plus this margin (TCP: the
    // margin alone, doubled). See SerialAnswerTimeout.
    double answerMarginSeconds = 0.15;
    unsigned connectTimeoutMs = 1000;
};

// How long a probe at the baud-rate index waits for the answer.
double SerialAnswerTimeout(unsigned baudrateIndex, double marginSeconds);

enum class ProbeVerdict {
    Sensor,      // answered the identification order
    NotSensor,   // answered something else at every rate it answered at
    Unavailable, // could not be probed (the port would not open, the address
                 // took the connection but did not answer)
    Silent,      // nothing answered (no connection, or no byte at any rate)
};

struct SearchResult {
    ProbeVerdict verdict = ProbeVerdict::Silent;
    bool serial = true;
    SerialTarget port;          // serial
    unsigned baudrateIndex = 0; // serial: the rate it answered at
    TcpTarget tcp;              // TCP/IP
    // A sensor's identification: its text, split as the connection test
    // splits it, the serial number, and whether its firmware is this program's.
    std::string idText;
    SensorIdParts id;
    uint16_t serialNumber = 0;
    bool firmwareMatches = false;
    // NotSensor: what came instead; Unavailable: why it could not be probed.
    std::string reason;

    // "com:5", "/dev/ttyAMA0", "192.168.0.21:10001".
    std::string Name() const;
    // The line of a targets file that addresses the sensor: the name, and
    // for a serial port its rate ("com:5@9600").
    std::string TargetLine() const;
};

// Serial ports before TCP addresses, each in the order of its number.
bool SearchOrder(const SearchResult& a, const SearchResult& b);

struct SearchProgress {
    size_t done = 0; // probes made (or no longer needed)
    size_t total = 0;
};

class SensorSearch {
public:
    // Ports named twice (the same device) are probed once.
    explicit SensorSearch(SearchSettings settings);
    // Cancels a search still running and waits for it.
    ~SensorSearch();
    SensorSearch(const SensorSearch&) = delete;
    SensorSearch& operator=(const SensorSearch&) = delete;

    // Called on the search's threads, one call at a time; set before Start.
    // onResult gets each port's and address's verdict as soon as it is
    // known (Silent ones too), onProgress every probe made.
    std::function<void(const SearchResult&)> onResult;
    std::function<void(const SearchProgress&)> onProgress;

    void Start();
    // From any thread: ends the probes in progress at once (a TCP connect
    // within its connect time-out) and starts no more.
    void Cancel();
    bool Cancelled() const { return cancelled_; }
    // Waits up to `ms` milliseconds (negative: until it has ended); true
    // once every probe has ended.
    bool Wait(int ms = -1);
    bool Finished() const { return finishedWorkers_ == workers_.size(); }

    // The verdicts known so far, in SearchOrder.
    std::vector<SearchResult> Results() const;
    SearchProgress Progress() const;
    const SearchSettings& Settings() const { return settings_; }

private:
    void Work();
    SearchResult ProbeSerial(const SerialTarget& port);
    SearchResult ProbeTcp(const TcpTarget& target);
    void Probed(size_t probes);
    void Register(SensorLink* link, bool active);
    void Report(const SearchResult& result);

    SearchSettings settings_;
    std::atomic<bool> cancelled_{false};
    std::atomic<size_t> next_{0};
    std::atomic<size_t> finishedWorkers_{0};
    mutable std::mutex mutex_; // the results, the progress and the links in use
    std::mutex callbackMutex_; // one callback at a time
    std::vector<SearchResult> results_;
    SearchProgress progress_;
    std::vector<SensorLink*> links_;
    std::vector<std::unique_ptr<platform::WorkerThread>> workers_;
};

} // namespace com232
