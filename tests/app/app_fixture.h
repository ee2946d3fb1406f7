// The whole program built headless (offscreen), with popups answered by a
// script and, unless a test asks otherwise, the simulated sensor on TCP.
#pragma once

#include "app/panels.h"
#include "app/shell.h"
#include "link/com232.h"
#include "platform/popups.h"
#include "platform/runtime.h"
#include "sensor/sensor.h"
#include "sim/simulator.h"
#include "tests/support/short_link_timeouts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulated sensor (TCP on a free port; a pseudo-terminal too
    // when the options ask for one).
    void StartSensor(sim::Options options = {});
    // Writes PanelSettings.cfg selecting RS-232 on the sensor's pseudo-terminal.
    void WriteSerialSettings(const std::string& baudrateLine = "BAUDRATE = 4");
    // Writes PanelSettings.cfg selecting TCP/IP to the sensor (or to `port`).
    void WriteTcpSettings(unsigned port = 0, const std::string& extra = "");
    void WriteSettingsText(const std::string& text);
    std::string ReadSettingsText() const;
    // Builds the panels and runs the start-up sequence.
    void StartProgram();
    // Starts the sensor with `options` and `scene` (simulator commands), the
    // program connected to it over TCP or, with `serial`, its pseudo-terminal,
    // and forgets what start-up sent and showed. Fails the test when the
    // program does not connect (wrap in ASSERT_NO_FATAL_FAILURE).
    void StartConnected(bool serial = false, sim::Options options = {},
                        const std::vector<std::string>& scene = {});
    // The scene of most tests: no noise, one steady colour.
    static std::vector<std::string> SteadyScene() {
        return {"scene noise 0", "scene color 1000 2000 3000"};
    }
    // Ends the program as its close box does, and discards the panels.
    void CloseProgram();
    // Requests the sensor received since the last call, as "ORDER PARAM LENGTH" lines.
    std::vector<std::string> Received();
    void Settle(int passes = 5);
    // Processes events for the given time.
    void SettleFor(double seconds);
    // Offline mode as every way into it must leave it: no link, target FILE,
    // only TRY TO CONNECT, the baud-rate selector, SEND, GET and MANUAL RECORD
    // (the last frame received can still be appended) usable.
    void ExpectOfflineMode();

    // The program's sensor, which the window is built for.
    sensor::Sensor program_;
    // A silent sensor costs a fraction of a second, not 3 s per request.
    ShortLinkTimeouts timeouts_{program_.link};

    std::string dir_;
    std::unique_ptr<sim::Simulator> sensor_;
    std::unique_ptr<platform::ScriptedPopups> user_;
    bool programRunning_ = false;
};
