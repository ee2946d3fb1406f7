// Renders the main panel with each tab page, every child display panel and
// the separate windows to PNG files, for reviewing layouts without a display:
//   QT_QPA_PLATFORM=offscreen c3-panel-shots OUTPUT_DIR [WIDTH HEIGHT] [--frames]
// With --frames the live displays are first fed with made-up measurements
// (a colour sweep), so the graphs and the signal-graph panel show content.
#include "app/frame_services.h"
#include "app/panels.h"
#include "app/shell.h"
#include "calib/calib_view.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/graphs.h"
#include "live/live_data.h"
#include "live/live_state.h"
#include "live/live_views.h"
#include "live/signal_graph.h"
#include "params/mode_rules.h"
#include "params/transfer_state.h"
#include "platform/runtime.h"
#include "platform/shell_services.h"
#include "platform/tab_control.h"
#include "sensor/sensor.h"

#include "teach/teach_displays.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QStackedWidget>
#include <QTabWidget>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

bool Save(QWidget* w, const QString& path) {
    Settle();
    const bool ok = w->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.toUtf8().constData());
    return ok;
}

// The calibration page's and the teach panels' displays of the frames.
struct FrameDisplays {
    std::unique_ptr<calib::CalibDisplays> calib;
    std::unique_ptr<teach::TeachDisplays> teach;
};

// A colour sweep through the display path, as a loop would show it; the
// displays follow the frames while the result lives.
FrameDisplays FeedFrames() {
    app::Panels& p = app::P();
    p.liveViews = std::make_unique<live::LiveViews>(
        p.livePanels, app::P().sensor.link, app::P().sensor.transfer, app::P().sensor.model,
        app::P().rules, app::P().sensor.frames, app::P().sensor.live, app::P().refresh);
    FrameDisplays displays;
    displays.calib = std::make_unique<calib::CalibDisplays>(p.calibration, app::P().sensor.frames,
                                                            app::P().refresh);
    displays.teach = std::make_unique<teach::TeachDisplays>(p.teachPanels, app::P().sensor.frames,
                                                            app::P().refresh);
    app::P().liveViews->graphs.InitGraphs();
    app::P().liveViews->signalGraph.InitPanelGraph();
    for (int i = 0; i < 300; ++i) {
        const double t = i / 40.0;
        live::LiveDataFrameBytes f;
        const auto red = static_cast<int16_t>(1800 + 1200 * std::sin(t));
        const auto green = static_cast<int16_t>(1600 + 900 * std::sin(t * 0.7 + 1));
        const auto blue = static_cast<int16_t>(1400 + 700 * std::cos(t * 1.3));
        const int sum = red + green + blue;
        f.set(live::kRed, red);
        f.set(live::kGreen, green);
        f.set(live::kBlue, blue);
        f.set(live::kX, static_cast<int16_t>(1000 * red / sum));
        f.set(live::kY, static_cast<int16_t>(1000 * green / sum));
        f.set(live::kInt, static_cast<int16_t>(sum / 3));
        f.set(live::kColor, static_cast<int16_t>(i / 60));
        f.set(live::kGroup, static_cast<int16_t>(i / 120));
        f.set(live::kTemp, static_cast<int16_t>(300 + i / 10));
        f.set(live::kRawRed, red);
        f.set(live::kRawGreen, green);
        f.set(live::kRawBlue, blue);
        app::P().sensor.frames.Publish(f, live::kUseGo | live::kUseSignalGraph,
                                       app::P().sensor.model.EvaluationMode());
    }
    app::P().refresh.Flush();
    return displays;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    platform::InitRuntime(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    sensor::Sensor sensor;
    if (!app::LoadPanels(sensor)) {
        std::fprintf(stderr, "a panel could not be built\n");
        return 1;
    }
    // The frame services and the panels' parameter state, as the program
    // installs them with its panels.
    app::InstallFrameServices();
    app::Panels& p = app::P();
    app::ShowLogo();
    QWidget* main = p.main.window;
    if (argc >= 4 && std::strcmp(argv[2], "--frames") != 0) {
        main->resize(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    FrameDisplays displays;
    if (std::strcmp(argv[argc - 1], "--frames") == 0) {
        displays = FeedFrames();
    }
    main->show();
    bool ok = true;
    p.main.childArea->setCurrentWidget(p.data.panel);
    for (int page = 0; page < p.main.tabs->PageCount(); ++page) {
        p.main.tabs->SetActivePage(page);
        ok &= Save(main, QStringLiteral("%1/main_page%2.png").arg(dir).arg(page));
    }
    p.main.tabs->SetActivePage(app::kPageParameter);
    const struct {
        QWidget* panel;
        const char* name;
    } children[] = {{p.data.panel, "child_data"},
                    {p.signalGraph.panel, "child_signalgraph"},
                    {p.teachMean.panel, "child_teachmean"},
                    {p.teachGraph.panel, "child_teachgraph"},
                    {p.scope.panel, "child_scope"}};
    for (const auto& c : children) {
        p.main.childArea->setCurrentWidget(c.panel);
        app::P().refresh.Request(live::kShowSignalGraph);
        app::P().refresh.Flush();
        ok &= Save(main, QStringLiteral("%1/%2.png").arg(dir, c.name));
    }
    p.main.childArea->setCurrentWidget(p.data.panel);
    for (int tab = 0; tab < p.data.tabs->count(); ++tab) {
        p.data.tabs->setCurrentIndex(tab);
        ok &= Save(main, QStringLiteral("%1/data_tab%2.png").arg(dir).arg(tab));
    }
    p.colBig.panel->show();
    ok &= Save(p.colBig.panel, dir + "/window_colbig.png");
    p.grpBig.panel->show();
    ok &= Save(p.grpBig.panel, dir + "/window_grpbig.png");
    ok &= Save(p.password.panel, dir + "/window_password.png");
    displays = {};
    app::UninstallFrameServices();
    shell::SetShell(nullptr);
    app::DiscardPanels();
    platform::ShutdownRuntime();
    return ok ? 0 : 1;
}
