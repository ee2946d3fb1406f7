// A LinkUi that records what the link does to the user interface.
#pragma once

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
};
