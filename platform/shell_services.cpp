#include "platform/shell_services.h"

namespace shell {
namespace {

class NoShell final : public Services {
public:
    void SetButtonsDimmed(int, int) override {}
    bool PanelsLoaded() const override { return false; }
    void ShowChild(Child child) override { child_ = child; }
    Child CurrentChild() const override { return child_; }
    void ShowPage(Page) override {}
    void SetPageVisible(Page, bool) override {}
    Directories& Paths() override { return paths_; }
    std::string DocumentsDir() const override { return {}; }
    void PrepareFolderOf(const std::string&) override {}
    void StoreSettings() override {}
    std::string PanelId() const override { return {}; }

private:
    Child child_ = Child::Data;
    Directories paths_;
};

NoShell gNoShell;
Services* gShell = &gNoShell;

} // namespace

Services& Shell() {
    return *gShell;
}

void SetShell(Services* services) {
    gShell = services != nullptr ? services : &gNoShell;
}

} // namespace shell
