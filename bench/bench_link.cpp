// The sensor link against the simulated sensor on TCP loopback:
//  - median and spread of one order-8 DataExchange over 10,000 exchanges;
//  - CPU time of the process while DataExchange waits 3 s for an answer
//    that never comes (the wait must not spin).
#include "link/com232.h"
#include "platform/runtime.h"
#include "sim/simulator.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::InitRuntime(argc, argv);
    sim::Options options;
    options.tcpPort = 0;
    sim::Simulator sensor(options);
    std::string error;
    if (!sensor.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    com232::SensorLink link;
    link.ComProtocol = com232::kProtocolTcp;
    link.ServerAddress = "127.0.0.1";
    link.ServerPort = sensor.TcpPort();
    link.InitTCP_IP();
    if (link.LinkResult < 0) {
        std::fprintf(stderr, "connect failed: %s\n", link.StatusText.c_str());
        return 1;
    }

    const int n = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;
    std::vector<double> times;
    times.reserve(n);
    int failures = 0;
    const double wall0 = platform::Timer();
    const double cpu0 = CpuSeconds();
    for (int i = 0; i < n; ++i) {
        link.FillTxBuf(com232::kOrderLiveData, 0, 0);
        const double t0 = platform::Timer();
        failures += link.DataExchange(8) == 1 ? 0 : 1;
        times.push_back(platform::Timer() - t0);
    }
    const double wall = platform::Timer() - wall0;
    const double cpu = CpuSeconds() - cpu0;
    std::sort(times.begin(), times.end());
    std::printf("DataExchange order 8 over TCP loopback, %d exchanges (%d failed):\n", n, failures);
    std::printf("  median %.1f us, 90%% %.1f us, 99%% %.1f us, max %.1f us\n", times[n / 2] * 1e6,
                times[n * 9 / 10] * 1e6, times[n * 99 / 100] * 1e6, times.back() * 1e6);
    std::printf(
        "  %.0f exchanges/s, process CPU %.2f s for %.2f s wall (both ends in this process)\n",
        n / wall, cpu, wall);

    // A sensor that stays silent: the wait must sleep, not spin.
    sensor.Command("fault drop");
    link.FillTxBuf(com232::kOrderLiveData, 0, 0);
    const double c0 = CpuSeconds();
    const double w0 = platform::Timer();
    const int r = link.DataExchange(8);
    const double waited = platform::Timer() - w0;
    const double used = CpuSeconds() - c0;
    std::printf(
        "Waiting for an answer that never comes: result %d after %.2f s, CPU %.3f s = %.1f%% "
        "of one core (target < 5%%)\n",
        r, waited, used, 100.0 * used / waited);
    link.CloseLink();
    return 0;
}
