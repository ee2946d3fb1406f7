#include "link/sensor_search.h"

#include "link/com232.h"
#include "link/link_texts.h"
#include "platform/com_port_map.h"
#include "platform/serial_port.h"
#include "platform/serial_reason.h"
#include "platform/worker_thread.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace com232 {
namespace {

// Bytes of a probe on the line: the request, the answer's header and the
// identification text.
constexpr double kProbeBytes = 8 + 8 + 72;
// The serial port's own read/write time-out during a probe: a write of the
// 8 request bytes at 9600 Bd takes 8 ms.
constexpr double kProbePortTimeoutSeconds = 0.03;

double LineSeconds(double bytes, unsigned baudrateIndex) {
    return bytes * 10.0 / static_cast<double>(BaudrateOfIndex(baudrateIndex));
}

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What one identification request brought.
struct Probe {
    bool answered = false; // anything came at all
    bool sensor = false;
    std::string what; // NotSensor: what came instead
};

// Sends order 7 on the open link and looks at what comes back.
Probe Identify(SensorLink& link, SearchResult* r) {
    Probe p;
    link.FillTxBuf(kOrderIdentify, 0, 0);
    const unsigned long long before = link.BytesReceived();
    const int result = link.DataExchange(static_cast<int>(kHeaderSize));
    const unsigned long long came = link.BytesReceived() - before;
    p.answered = came > 0;
    if (result == 1 && link.AnswerOrder == kOrderIdentify && link.AnswerLength > 0) {
        p.sensor = true;
        const char* text = reinterpret_cast<const char*>(link.RxData());
        r->idText.assign(text, strnlen(text, std::min<size_t>(link.AnswerLength, 72)));
        r->id = SplitSensorId(r->idText);
        r->serialNumber = link.AnswerParam;
        r->firmwareMatches = r->id.Version() == kScopeFirmwareVersion;
        return p;
    }
    if (!p.answered) {
        return p;
    }
    if (result == 1 && std::memcmp(link.RxBuffer, link.TxBuffer, kHeaderSize) == 0) {
        p.what = "sent the request back (an echo or a loop-back plug)";
    } else if (result == 1) {
        p.what = "answered with order " + std::to_string(link.AnswerOrder) +
                 ", not with the identification";
    } else if (link.StatusText == kTextInvalidOrder || link.StatusText == kTextCommunicationError) {
        p.what = "answered with an error frame";
    } else {
        p.what = "answered " + Plural(came, "byte", "bytes") + " that are no frame of the sensor";
    }
    return p;
}

} // namespace

bool SerialTargetOfComPort(int comPort, SerialTarget* target) {
    const std::string device = platform::ComPortToDevice(comPort);
    if (device.empty()) {
        return false;
    }
    *target = {device, comPort, "com:" + std::to_string(comPort), {}};
    return true;
}

SerialTarget SerialTargetOfPath(const std::string& path) {
    SerialTarget t;
    t.device = platform::CanonicalDevicePath(path);
    t.comPort = std::max(0, platform::DeviceToComPort(t.device));
    t.name = path;
    return t;
}

std::vector<SerialTarget> ListedSerialTargets() {
    std::vector<SerialTarget> list;
    for (const platform::SerialPortDescription& d : platform::ListSerialPorts()) {
        list.push_back({d.device, d.comPort, "com:" + std::to_string(d.comPort), d.description});
    }
    return list;
}

std::vector<unsigned> AllBaudrateIndicesFastestFirst() {
    return {7, 6, 5, 4, 3, 2, 1, 0};
}

double SerialAnswerTimeout(unsigned baudrateIndex, double marginSeconds) {
    return 2 * LineSeconds(kProbeBytes, baudrateIndex) + marginSeconds;
}

std::string SearchResult::Name() const {
    return serial ? port.name : TcpTargetName(tcp);
}

std::string SearchResult::TargetLine() const {
    return serial ? port.name + "@" + std::to_string(BaudrateOfIndex(baudrateIndex))
                  : TcpTargetName(tcp);
}

bool SearchOrder(const SearchResult& a, const SearchResult& b) {
    if (a.serial != b.serial) {
        return a.serial;
    }
    if (a.serial) {
        // Ports without a COM number after the numbered ones, by name.
        const int ka = a.port.comPort > 0 ? a.port.comPort : 1 << 30;
        const int kb = b.port.comPort > 0 ? b.port.comPort : 1 << 30;
        return ka != kb ? ka < kb : a.port.name < b.port.name;
    }
    // Dotted addresses by their numbers, then the port.
    const auto key = [](const TcpTarget& t) {
        std::vector<long> parts;
        size_t at = 0;
        while (at <= t.host.size()) {
            const size_t dot = std::min(t.host.find('.', at), t.host.size());
            const std::string part = t.host.substr(at, dot - at);
            const bool digits = !part.empty() && part.size() < 4 &&
                                part.find_first_not_of("0123456789") == std::string::npos;
            parts.push_back(digits ? std::stol(part) : -1);
            at = dot + 1;
        }
        return parts;
    };
    const auto ka = key(a.tcp);
    const auto kb = key(b.tcp);
    if (ka != kb) {
        return ka < kb;
    }
    return a.tcp.host != b.tcp.host ? a.tcp.host < b.tcp.host : a.tcp.port < b.tcp.port;
}

SensorSearch::SensorSearch(SearchSettings settings) : settings_(std::move(settings)) {
    // A device named twice (com:3 and /dev/ttyS2) is probed once.
    std::set<std::string> devices;
    std::vector<SerialTarget> ports;
    for (SerialTarget& t : settings_.serial) {
        if (devices.insert(t.device).second) {
            ports.push_back(std::move(t));
        }
    }
    settings_.serial = std::move(ports);
    if (settings_.baudrateIndices.empty()) {
        settings_.baudrateIndices = AllBaudrateIndicesFastestFirst();
    }
    settings_.parallel = std::max(1u, settings_.parallel);
    progress_.total =
        settings_.serial.size() * settings_.baudrateIndices.size() + settings_.tcp.size();
}

SensorSearch::~SensorSearch() {
    Cancel();
    workers_.clear(); // each waits for its thread
}

void SensorSearch::Start() {
    const size_t units = settings_.serial.size() + settings_.tcp.size();
    const size_t count = std::min<size_t>(settings_.parallel, units);
    for (size_t i = 0; i < count; ++i) {
        workers_.push_back(std::make_unique<platform::WorkerThread>([this] {
            Work();
            ++finishedWorkers_;
        }));
    }
}

void SensorSearch::Cancel() {
    cancelled_ = true;
    std::lock_guard<std::mutex> lock(mutex_);
    for (SensorLink* link : links_) {
        link->RequestCancel();
    }
}

bool SensorSearch::Wait(int ms) {
    for (auto& w : workers_) {
        if (!w->Wait(ms)) {
            return false;
        }
    }
    return true;
}

std::vector<SearchResult> SensorSearch::Results() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<SearchResult> sorted = results_;
    std::sort(sorted.begin(), sorted.end(), SearchOrder);
    return sorted;
}

SearchProgress SensorSearch::Progress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
}

void SensorSearch::Register(SensorLink* link, bool active) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (active) {
        links_.push_back(link);
        if (cancelled_) {
            link->RequestCancel(); // cancelled while the link was being made
        }
    } else {
        links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    }
}

void SensorSearch::Probed(size_t probes) {
    SearchProgress now;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        progress_.done = std::min(progress_.total, progress_.done + probes);
        now = progress_;
    }
    std::lock_guard<std::mutex> calls(callbackMutex_);
    if (onProgress) {
        onProgress(now);
    }
}

void SensorSearch::Report(const SearchResult& result) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        results_.push_back(result);
    }
    std::lock_guard<std::mutex> calls(callbackMutex_);
    if (onResult) {
        onResult(result);
    }
}

void SensorSearch::Work() {
    const size_t serialCount = settings_.serial.size();
    const size_t units = serialCount + settings_.tcp.size();
    for (size_t i = next_++; i < units && !cancelled_; i = next_++) {
        const SearchResult r = i < serialCount ? ProbeSerial(settings_.serial[i])
                                               : ProbeTcp(settings_.tcp[i - serialCount]);
        // A probe cut short by a cancel proves nothing about its port.
        if (!cancelled_) {
            Report(r);
        }
    }
}

SearchResult SensorSearch::ProbeSerial(const SerialTarget& port) {
    SearchResult r;
    r.serial = true;
    r.port = port;
    const std::vector<unsigned>& rates = settings_.baudrateIndices;
    if (platform::IsComDeviceOpen(port.device)) {
        // The window's own connection: opening it again here would only
        // report it busy.
        r.verdict = ProbeVerdict::Unavailable;
        r.reason = port.device + " is in use by this program.";
        Probed(rates.size());
        return r;
    }
    SensorLink link(WaitPolicy::Block);
    Register(&link, true);
    link.ComProtocol = kProtocolRs232;
    size_t made = 0;
    size_t refusedRates = 0;
    std::string notSensor; // what came at the first rate that answered
    for (const unsigned rate : rates) {
        if (cancelled_) {
            break;
        }
        if (made++ > 0) {
            Probed(1);
        }
        link.BaudrateIndex = static_cast<uint16_t>(rate);
        link.SetSerialPortTimeout(kProbePortTimeoutSeconds + 2 * LineSeconds(8, rate));
        link.SetAnswerTimeout(SerialAnswerTimeout(rate, settings_.answerMarginSeconds));
        link.InitRS232(port.device);
        if (link.LinkResult == platform::kComInvalidBaudrate) {
            ++refusedRates; // a port that cannot run at this rate
        } else if (link.LinkResult < 0) {
            const platform::SerialOpenProblem problem = platform::DiagnoseSerialOpen(port.device);
            r.verdict = ProbeVerdict::Unavailable;
            r.reason = link.LinkResult == platform::kComNoSerialPortFound ||
                               link.LinkResult == platform::kComCannotOpenPort
                           ? platform::SerialOpenReasonText(port.device, problem)
                           : std::string(Rs232ErrorText(link.LinkResult));
            break;
        } else {
            const Probe p = Identify(link, &r);
            if (p.sensor) {
                r.verdict = ProbeVerdict::Sensor;
                r.baudrateIndex = rate;
                break;
            }
            // Garbage at one rate may be a sensor's answer at another:
            // the other rates are tried before it counts as no sensor.
            if (p.answered && notSensor.empty()) {
                notSensor = "at " + std::to_string(BaudrateOfIndex(rate)) + " Bd " + p.what;
                r.baudrateIndex = rate;
            }
        }
    }
    link.CloseLink();
    Register(&link, false);
    Probed(rates.size() - std::max<size_t>(made, 1) + 1); // and the rates no longer needed
    if (r.verdict == ProbeVerdict::Silent && !notSensor.empty()) {
        r.verdict = ProbeVerdict::NotSensor;
        r.reason = notSensor;
    } else if (r.verdict == ProbeVerdict::Silent && refusedRates == rates.size()) {
        r.verdict = ProbeVerdict::Unavailable;
        r.reason = port.device + " runs at none of the sensor's baud rates.";
    }
    return r;
}

SearchResult SensorSearch::ProbeTcp(const TcpTarget& target) {
    SearchResult r;
    r.serial = false;
    r.tcp = target;
    SensorLink link(WaitPolicy::Block);
    Register(&link, true);
    link.ComProtocol = kProtocolTcp;
    link.ServerAddress = target.host;
    link.ServerPort = target.port;
    link.SetConnectTimeout(settings_.connectTimeoutMs);
    link.SetAnswerTimeout(2 * settings_.answerMarginSeconds);
    link.InitTCP_IP();
    if (link.LinkResult >= 0 && !cancelled_) {
        const Probe p = Identify(link, &r);
        if (p.sensor) {
            r.verdict = ProbeVerdict::Sensor;
        } else if (p.answered) {
            r.verdict = ProbeVerdict::NotSensor;
            r.reason = p.what;
        } else {
            // Something listens there but says nothing: a sensor serving
            // another client, or another service on that port.
            r.verdict = ProbeVerdict::Unavailable;
            r.reason = "took the connection but did not answer (a sensor busy with another "
                       "client?)";
        }
    }
    link.CloseLink();
    Register(&link, false);
    Probed(1);
    return r;
}

} // namespace com232
