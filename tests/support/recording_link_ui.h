// A LinkUi that records what the link does to the user interface.
#pragma once

#include "link/com232.h"
#include "link/link_texts.h"
#include "link/link_ui.h"

#include <string>
#include <vector>

struct RecordingLinkUi : com232::LinkUi {
    std::string status;
    std::string toolTip;
    std::string messages;
    int dimCalls = 0;
    bool linkButtonsDimmed = true;
    int connectionPageShown = 0;
    int getParaCalls = 0;
    int disconnectCalls = 0;
    std::vector<int> quitCodes;

    void ShowConnectionStatus(const std::string& text) override { status = text; }
    void SetConnectionStatusToolTip(const std::string& text) override { toolTip = text; }
    void AppendMessage(const std::string& text) override { messages += text; }
    void DimLinkButtons(bool dim) override {
        ++dimCalls;
        linkButtonsDimmed = dim;
    }
    void ShowConnectionPage() override { ++connectionPageShown; }
    void GetPara() override { ++getParaCalls; }
    void Disconnect() override { ++disconnectCalls; }
    void QuitUserInterface(int code) override { quitCodes.push_back(code); }

    // Shows what `link` tells as the program's window does: a failure as
    // "TIMEOUT!", in the message box, with the link buttons dimmed and the
    // connection page in front; other texts in the message box.
    void Watch(com232::SensorLink& link) {
        watched = link.failed.Connect([this](const std::string& text) {
            ShowConnectionStatus(com232::kTextTimeout);
            AppendMessage(text.substr(0, 255) + "\n\n");
            DimLinkButtons(true);
            ShowConnectionPage();
        });
        told = link.message.Connect([this](const std::string& text) { AppendMessage(text); });
    }
    platform::Subscription watched;
    platform::Subscription told;
};
