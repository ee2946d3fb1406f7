// What the link does to the user interface and to the rest of the program,
// behind a narrow interface: the main panel implements it; tests observe it.
#pragma once

#include <string>

namespace com232 {

class LinkUi {
public:
    virtual ~LinkUi() = default;
    // Connection status indicator of the data panel.
    virtual void ShowConnectionStatus(const std::string& text) = 0;
    virtual void SetConnectionStatusToolTip(const std::string& text) = 0;
    // Appends to the message box of the connection page.
    virtual void AppendMessage(const std::string& text) = 0;
    // Dims (or enables) ACCEPT, CHANGE BAUDRATE and the hardware-information button.
    virtual void DimLinkButtons(bool dim) = 0;
    // Brings the connection page to the front of the main tab control.
    virtual void ShowConnectionPage() = 0;
    // Reads the parameter set from the sensor into the panels.
    virtual void GetPara() = 0;
    // Offline mode.
    virtual void Disconnect() = 0;
    // Ends the program without saving the panel settings.
    virtual void QuitUserInterface(int code) = 0;
};

// The interface in use; until one is installed every call does nothing.
LinkUi& Ui();
// Installs `ui` (nullptr restores the one that does nothing).
void SetLinkUi(LinkUi* ui);

} // namespace com232
