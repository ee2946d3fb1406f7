#include "app/panels.h"

#include "app/main_panel_layout.h"
#include "app/main_window.h"
#include "link/program_link.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "platform/tab_control.h"

#include <QDialog>
#include <QStackedWidget>

namespace app {
namespace {

Panels* gPanels = nullptr;

QWidget* NewChildPanel(Panels& p) {
    auto* w = new QWidget();
    p.main.childArea->addWidget(w);
    return w;
}

QWidget* NewTopLevelPanel(const QString& title) {
    auto* w = new QWidget(nullptr, Qt::Window);
    w->setWindowTitle(title);
    return w;
}

// transitional: names the window's panels to the subsystems not yet given
// them by their views (nullptr: none).
void NameProgramPanels(Panels* /*p*/) {
}

} // namespace

Panels& P() {
    static Panels empty;
    return gPanels != nullptr ? *gPanels : empty;
}

bool PanelsLoaded() {
    return gPanels != nullptr;
}

void MakeTeachViews(Panels& p) {
    p.teachViews.reset(); // one view on the panels at a time
    p.teachViews = std::make_unique<teach::TeachViews>(
        p.teachPanels, p.data, ProgramTeach(), com232::ProgramLink(), params::Model(),
        params::RulesApplied(), live::Frames(), live::ProgramRefresh());
}

void MakeCalibView(Panels& p) {
    p.calibView.reset();
    p.calibView = std::make_unique<calib::CalibrationView>(p.calibPanels, com232::ProgramLink(),
                                                           live::Frames(), live::ProgramRefresh(),
                                                           ProgramCalib());
}

calib::CalibState& ProgramCalib() {
    static calib::CalibState calib;
    return calib;
}

teach::TeachState& ProgramTeach() {
    static teach::TeachState teach;
    return teach;
}

bool LoadPanels() {
    DiscardPanels();
    auto* p = new Panels();
    NameProgramPanels(p);
    // main panel with its pages
    if (BuildMainPanel(&p->main) == nullptr) {
        NameProgramPanels(nullptr);
        delete p;
        return false;
    }
    ctl::TabControl* tabs = p->main.tabs;
    conn::BuildConnectPage(tabs->Page(kPageConnection), &p->connect);
    params::BuildParameterPage(tabs->Page(kPageParameter), &p->para);
    params::BuildGroupHoldPage(tabs->Page(kPageGroupHold), &p->groupHold);
    teach::BuildTeachPage(tabs->Page(kPageTeachTable), &p->teachPage);
    record::BuildRecorderPage(tabs->Page(kPageRecorder), &p->recorder);
    calib::BuildCalibrationPage(tabs->Page(kPageCalibration), &p->calibration);
    teach::BuildAttributesPage(tabs->Page(kPageTableAttributes), &p->attributes);
    scope::BuildScopePage(tabs->Page(kPageScope), &p->scopePage);
    calib::BuildOffsetPage(tabs->Page(kPageOffset), &p->offset);
    // child display panels, in the main panel
    p->data.panel = NewChildPanel(*p);
    live::BuildDataPanel(p->data.panel, &p->data);
    p->signalGraph.panel = NewChildPanel(*p);
    live::BuildSignalGraphPanel(p->signalGraph.panel, &p->signalGraph);
    p->teachMean.panel = NewChildPanel(*p);
    teach::BuildTeachMeanPanel(p->teachMean.panel, &p->teachMean);
    p->teachGraph.panel = NewChildPanel(*p);
    teach::BuildTeachGraphPanel(p->teachGraph.panel, &p->teachGraph);
    p->scope.panel = NewChildPanel(*p);
    scope::BuildScopePanel(p->scope.panel, &p->scope);
    // separate windows
    p->colBig.panel = NewTopLevelPanel("COLOR");
    live::BuildBigPanel(p->colBig.panel, &p->colBig, "C-No.:");
    p->grpBig.panel = NewTopLevelPanel("GROUP");
    live::BuildBigPanel(p->grpBig.panel, &p->grpBig, "GROUP:");
    auto* password = new QDialog(p->main.window);
    password->setWindowTitle("PASSWORD");
    password->setModal(true);
    p->password.panel = password;
    calib::BuildPasswordPanel(password, &p->password);
    gPanels = p;
    return true;
}

void DiscardPanels() {
    if (gPanels == nullptr) {
        return;
    }
    Panels* p = gPanels;
    gPanels = nullptr;
    live::ClearAddedDisplayWriters(); // they write into the panels going now
    p->recorderView.reset();
    p->scopeView.reset();
    p->teachViews.reset();
    p->calibView.reset();
    p->liveViews.reset();
    p->paramViews.reset();
    delete p->colBig.panel;
    delete p->grpBig.panel;
    delete p->main.window; // with its pages, child panels and the password panel
    NameProgramPanels(nullptr);
    delete p;
}

} // namespace app

// transitional: the program window's panels and views for the subsystems
// not yet given them.
namespace live {
LivePanels& Panels() {
    return app::P().livePanels;
}
LiveViews* ProgramViews() {
    return app::P().liveViews.get();
}
} // namespace live

namespace params {
ParamViews* ProgramViews() {
    return app::P().paramViews.get();
}
} // namespace params
