#include "link/link_ui.h"

namespace com232 {
namespace {

// Used until the main panel installs its own: the link then has no visible effects.
class SilentLinkUi final : public LinkUi {
public:
    void ShowConnectionStatus(const std::string&) override {}
    void SetConnectionStatusToolTip(const std::string&) override {}
    void AppendMessage(const std::string&) override {}
    void DimLinkButtons(bool) override {}
    void ShowConnectionPage() override {}
    void GetPara() override {}
    void Disconnect() override {}
    void QuitUserInterface(int) override {}
};

SilentLinkUi gSilent;
LinkUi* gUi = &gSilent;

} // namespace

LinkUi& Ui() {
    return *gUi;
}

void SetLinkUi(LinkUi* ui) {
    gUi = ui != nullptr ? ui : &gSilent;
}

} // namespace com232
