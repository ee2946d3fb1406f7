// chromik3-gateway: a line's sensors on the plant's MQTT broker. Each
// sensor is served by a worker thread of its own with a broker connection
// of its own; this thread waits for the signal that ends the service.
#include "gateway/config.h"
#include "gateway/sensor_service.h"
#include "platform/runtime.h"

#include <QThread>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace {

// One line at a time on standard error (the journal under systemd).
void LogLine(const std::string& text) {
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    std::fprintf(stderr, "chromik3-gateway: %s\n", text.c_str());
    std::fflush(stderr);
}

bool Write(const std::string& text) {
    std::cout << text << std::flush;
    return static_cast<bool>(std::cout);
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    return name;
}

} // namespace

int main(int argc, char** argv) {
    gateway::CommandLine cl;
    std::string problems;
    if (!gateway::ParseCommandLine(argc, argv, &cl, &problems)) {
        std::cerr << problems << "chromik3-gateway: nothing was started (see --help)\n";
        return gateway::kExitUsage;
    }
    if (cl.help || cl.version) {
        if (!Write(cl.help ? gateway::HelpText() : gateway::VersionText())) {
            LogLine("standard output could not be written");
            return gateway::kExitUsage;
        }
        return gateway::kExitDone;
    }
    gateway::Config& config = cl.config;
    if (config.broker.clientId.empty()) {
        config.broker.clientId = "chromik3-" + HostName();
    }
    if (cl.check) {
        const std::string text = "configuration ok: " + std::to_string(config.sensors.size()) +
                                 " sensor(s), broker " + config.broker.host + ":" +
                                 std::to_string(config.broker.port) + ", prefix " + config.prefix +
                                 "\n";
        return Write(text) ? gateway::kExitDone : gateway::kExitUsage;
    }

    // The stop signals are taken by this thread alone (sigtimedwait); every
    // thread started from here inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP); // a closed terminal
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    platform::InitCoreRuntime(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    gateway::BrokerLibraryInit();

    std::atomic<bool> refused{false};
    std::mutex refusalMutex;
    std::string refusal;
    gateway::ServiceContext context;
    context.config = &config;
    context.clientId = config.broker.clientId;
    context.log = LogLine;
    context.refused = [&](const std::string& reason) {
        {
            const std::lock_guard<std::mutex> lock(refusalMutex);
            refusal = reason;
        }
        refused = true;
    };

    std::vector<std::unique_ptr<gateway::SensorService>> services;
    std::vector<std::unique_ptr<QThread>> workers;
    for (const gateway::SensorConfig& s : config.sensors) {
        services.push_back(std::make_unique<gateway::SensorService>(context, s));
        gateway::SensorService* service = services.back().get();
        workers.emplace_back(QThread::create([service] { service->Run(); }));
        workers.back()->start();
    }
    LogLine("serving " + std::to_string(services.size()) + " sensor(s) on " + config.broker.host +
            ":" + std::to_string(config.broker.port) + " under " + config.prefix);

    int status = gateway::kExitDone;
    for (;;) {
        const timespec tick{0, 100 * 1000 * 1000};
        const int signal = sigtimedwait(&stopSignals, nullptr, &tick);
        if (signal > 0) {
            LogLine(std::string("stopping (") + strsignal(signal) + ")");
            break;
        }
        if (refused) {
            const std::lock_guard<std::mutex> lock(refusalMutex);
            LogLine("the broker refused the gateway: " + refusal);
            status = gateway::kExitBroker;
            break;
        }
    }
    for (auto& s : services) {
        s->Stop();
    }
    for (auto& w : workers) {
        w->wait();
    }
    workers.clear();
    services.clear();
    gateway::BrokerLibraryCleanup();
    platform::ShutdownCoreRuntime();
    return status;
}
