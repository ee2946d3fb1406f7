#include "app/panels.h"

#include "app/main_panel_layout.h"
#include "app/main_window.h"
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

} // namespace

Panels& P() {
    static sensor::Sensor none;
    static Panels empty(none); // no window: every control null
    return gPanels != nullptr ? *gPanels : empty;
}

bool PanelsLoaded() {
    return gPanels != nullptr;
}

live::LiveViewHooks LiveHooks(Panels& p) {
    live::LiveViewHooks hooks;
    hooks.initGraphs = [&p] {
        if (p.liveViews) {
            p.liveViews->graphs.InitGraphs();
        }
    };
    hooks.showGraphs = [&p] { p.refresh.Request(live::kShowGraphs); };
    hooks.initPanelGraph = [&p] {
        if (p.liveViews) {
            p.liveViews->signalGraph.InitPanelGraph();
        }
    };
    return hooks;
}

void MakeTeachViews(Panels& p) {
    p.teachViews.reset(); // one view on the panels at a time
    p.teachViews = std::make_unique<teach::TeachViews>(p.teachPanels, p.data, p.sensor.teach,
                                                       p.Live(), p.rules, p.refresh, LiveHooks(p));
}

void MakeCalibView(Panels& p) {
    p.calibView.reset();
    p.calibView = std::make_unique<calib::CalibrationView>(p.calibPanels, p.Live(), p.refresh,
                                                           p.sensor.calib);
}

bool LoadPanels(sensor::Sensor& sensor) {
    DiscardPanels();
    auto* p = new Panels(sensor);
    // main panel with its pages
    if (BuildMainPanel(&p->main) == nullptr) {
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
    p->refresh.DiscardPending();
    p->connectView.reset();
    p->recorderView.reset();
    p->scopeView.reset();
    p->teachViews.reset();
    p->calibView.reset();
    p->liveViews.reset();
    p->paramViews.reset();
    delete p->colBig.panel;
    delete p->grpBig.panel;
    delete p->main.window; // with its pages, child panels and the password panel
    delete p;
}

} // namespace app
