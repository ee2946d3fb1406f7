// The program against the simulated sensor (offscreen): time from start to
// the parameters shown, and the time of one SEND and one GET to RAM.
#include "app/panels.h"
#include "app/shell.h"
#include "link/com232.h"
#include "params/transfer.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "sensor/sensor.h"
#include "sim/simulator.h"

#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("c3-bench-app-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "PanelSettings.cfg", std::ios::binary);
        out << "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n[COMMUNICATION "
               "SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = \"127.0.0.1\"\r\nPORT NUMBER = \""
            << sensor.TcpPort() << "\"\r\n\r\n";
    }
    app::SetProjectDir(dir.string());
    platform::ScriptedPopups user; // none expected; recorded if any

    sensor::Sensor& program = *new sensor::Sensor; // outlives the window
    const int starts = 5;
    std::vector<double> startTimes;
    for (int i = 0; i < starts; ++i) {
        const double t0 = platform::Timer();
        if (!app::LoadAndPreparePanels(program)) {
            return 1;
        }
        app::InitAll();
        startTimes.push_back(platform::Timer() - t0);
        if (app::P().sensor.link.LinkOk != 1) {
            std::fprintf(stderr, "not connected\n");
            return 1;
        }
        if (i + 1 < starts) {
            app::Shutdown();
        }
    }
    std::printf("start to parameters shown (panels built, connected, set read): median %.1f ms "
                "over %d starts\n",
                Median(startTimes) * 1e3, starts);

    const int n = 200;
    std::vector<double> sendTimes;
    std::vector<double> getTimes;
    for (int i = 0; i < n; ++i) {
        double t0 = platform::Timer();
        app::P().main.send->click();
        sendTimes.push_back(platform::Timer() - t0);
        t0 = platform::Timer();
        app::P().main.get->click();
        getTimes.push_back(platform::Timer() - t0);
    }
    std::printf("SEND to RAM (34 + 496 bytes): median %.2f ms; GET from RAM with panels and "
                "rules refreshed: median %.2f ms (%d each)\n",
                Median(sendTimes) * 1e3, Median(getTimes) * 1e3, n);
    if (!user.Records().empty()) {
        std::printf("note: %zu popups appeared, first: %s\n", user.Records().size(),
                    user.Records().front().text.c_str());
    }
    app::Shutdown();
    std::filesystem::remove_all(dir);
    return 0;
}
