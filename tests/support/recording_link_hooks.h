// Records what a link and its connection test do to the window.
#pragma once

#include "link/com232.h"
#include "link/connect_test.h"
#include "link/link_texts.h"

#include <string>
#include <vector>

struct RecordingLinkHooks {
    std::string status;
    std::string toolTip;
    std::string messages;
    int dimCalls = 0;
    bool linkButtonsDimmed = true;
    int connectionPageShown = 0;
    int getParaCalls = 0;
    int disconnectCalls = 0;
    std::vector<int> quitCodes;

    // The connection test's effects, recorded.
    com232::ConnectionTestUi Hooks() {
        com232::ConnectionTestUi ui;
        ui.showStatus = [this](const std::string& text) { status = text; };
        ui.setStatusToolTip = [this](const std::string& text) { toolTip = text; };
        ui.appendMessage = [this](const std::string& text) { messages += text; };
        ui.getPara = [this] { ++getParaCalls; };
        ui.dimLinkButtons = [this](bool dim) { DimLinkButtons(dim); };
        ui.close = [this] { quitCodes.push_back(0); };
        ui.offline = [this] { ++disconnectCalls; };
        return ui;
    }

    // Shows what `link` tells as the program's window does: a failure as
    // "TIMEOUT!", in the message box, with the link buttons dimmed and the
    // connection page in front; other texts in the message box.
    void Watch(com232::SensorLink& link) {
        watched = link.failed.Connect([this](const std::string& text) {
            status = com232::kTextTimeout;
            messages += text.substr(0, 255) + "\n\n";
            DimLinkButtons(true);
            ++connectionPageShown;
        });
        told = link.message.Connect([this](const std::string& text) { messages += text; });
    }

    void DimLinkButtons(bool dim) {
        ++dimCalls;
        linkButtonsDimmed = dim;
    }

    platform::Subscription watched;
    platform::Subscription told;
};
