// The program against the simulated sensor for scope tests, over TCP or
// over a pseudo-terminal, with helpers to set the capture settings and to
// press SCAN while acting on the sensor during the wait.
#pragma once

#include "app/panels.h"
#include "platform/graph.h"
#include "platform/tab_control.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "tests/app/app_fixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>

class ScopeFixture : public AppFixture {
protected:
    // The program's scope view, and the scope state it shows.
    static scope::ScopeView& View() { return *app::P().scopeView; }
    static const scope::ScopeState& Scope() { return View().State(); }

    void StartOn(bool serial, sim::Options options = {}) {
        options.noise = 0;
        ASSERT_NO_FATAL_FAILURE(StartConnected(serial, options, {"scene noise 0"}));
        app::P().main.tabs->PageButton(app::kPageScope)->click(); // as the user does
        Received();
        user_->Clear();
    }

    void SetScope(int mode, int level, int preTrigger, int scanRate = 1, int recordSignal = 0) {
        scope::ScopePage& s = app::P().scopePage;
        s.triggerMode->SetVal(mode);
        s.triggerLevel->SetVal(level);
        s.preTrigger->SetVal(preTrigger);
        s.scanRate->SetVal(scanRate);
        s.recordSignal->SetVal(recordSignal);
    }

    // Presses SCAN. While the capture waits for its blocks, `during` runs
    // every few milliseconds with the seconds since the wait began, until it
    // returns true. A capture still waiting after `limit` seconds is broken
    // off and counted as hung.
    void Scan(std::function<bool(double)> during = {}, double limit = 8) {
        hung_ = false;
        bool done = !during;
        double waitStart = -1;
        QTimer poll;
        poll.setInterval(2);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (View().Scan().ScanActive == 0) {
                return;
            }
            const double now = platform::Timer();
            if (waitStart < 0) {
                waitStart = now;
            }
            if (!done) {
                done = during(now - waitStart);
            }
            if (now - waitStart > limit) {
                hung_ = true;
                scope::BreakDataScan(app::P().sensor.link, View().Scan());
            }
        });
        poll.start();
        const auto before = Scope().captures;
        app::P().scopePage.scan->click();
        poll.stop();
        plotted_ = Scope().captures > before;
    }

    // True once the sensor has taken the capture order (its acknowledgment is in).
    static bool Waiting() { return View().Scan().ScanActive == 1; }

    std::string Messages() { return app::P().connect.messages->toPlainText().toStdString(); }

    // After any capture: nothing left running, the busy indicator gone,
    // the commands usable again.
    void ExpectIdle() {
        EXPECT_FALSE(Scope().scanRunning);
        EXPECT_EQ(0, View().Scan().ScanActive);
        EXPECT_FALSE(app::P().scope.busy->isVisible());
        EXPECT_TRUE(app::P().scopePage.scan->isEnabled());
        EXPECT_TRUE(app::P().scopePage.getCycleTime->isEnabled());
        EXPECT_TRUE(app::P().main.go->isEnabled());
    }

    bool hung_ = false;
    bool plotted_ = false;
};
