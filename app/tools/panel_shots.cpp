// Renders the main panel with each tab page, every child display panel and
// the separate windows to PNG files, for reviewing layouts without a display:
//   QT_QPA_PLATFORM=offscreen c3-panel-shots OUTPUT_DIR [WIDTH HEIGHT]
#include "app/panels.h"
#include "app/shell.h"
#include "platform/runtime.h"
#include "platform/tab_control.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QStackedWidget>

#include <cstdio>
#include <cstdlib>

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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    platform::InitRuntime(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    if (!app::LoadPanels()) {
        std::fprintf(stderr, "a panel could not be built\n");
        return 1;
    }
    app::Panels& p = app::P();
    app::ShowLogo();
    QWidget* main = p.main.window;
    if (argc >= 4) {
        main->resize(std::atoi(argv[2]), std::atoi(argv[3]));
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
        ok &= Save(main, QStringLiteral("%1/%2.png").arg(dir, c.name));
    }
    p.colBig.panel->show();
    ok &= Save(p.colBig.panel, dir + "/window_colbig.png");
    p.grpBig.panel->show();
    ok &= Save(p.grpBig.panel, dir + "/window_grpbig.png");
    ok &= Save(p.password.panel, dir + "/window_password.png");
    app::DiscardPanels();
    platform::ShutdownRuntime();
    return ok ? 0 : 1;
}
