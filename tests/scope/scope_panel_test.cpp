// The scope page and panel: cycle time with its precisions, cursor deltas on
// both graphs, axes for the calculation mode, the trigger-mode enabling
// rule, SIGNAL, Ctrl + drag zoom and ZOOM 1:1, the comment box, CLOSE.
#include "app/panels.h"
#include "params/parameter_model.h"
#include "tests/scope/scope_fixture.h"

#include <QApplication>
#include <QMouseEvent>

using app::P;

namespace {

class ScopePanelTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        sim::Options o;
        o.cycleUs = 2000; // 2 ms a scan: T = 2000, N = 100000
        StartOn(false, o);
    }

    static void Mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent e(type, at, w->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, modifiers);
        QApplication::sendEvent(w, &e);
    }
    // Pixel position of graph coordinates.
    static QPointF At(ctl::Graph* g, double x, double y) {
        return {g->xAxis->coordToPixel(x), g->yAxis->coordToPixel(y)};
    }
};

} // namespace

TEST_F(ScopePanelTest, CycleTimeScanFrequencyAndDeltaX) {
    // The cursors' start positions are measured from the start.
    EXPECT_EQ("2000", P().scope.deltaY->text().toStdString());
    EXPECT_EQ("0.000000", P().scope.deltaX->text().toStdString());
    P().scopePage.getCycleTime->click();
    EXPECT_DOUBLE_EQ(2.0, Scope().CycleTime);
    EXPECT_EQ("2.0", P().scopePage.cycleTime->text().toStdString());
    EXPECT_EQ("500.000", P().scopePage.scanFreq->text().toStdString());
    EXPECT_EQ((std::vector<std::string>{"105 0 0"}), Received());

    // Cursors 10.7 samples apart at SCAN RATE 3: 10 x 2 ms x 3 = 60 ms.
    ctl::Graph* g = P().scope.scope;
    g->SetCursor(0, 20.2, 3100.9);
    g->SetCursor(1, 30.9, 1000.2);
    P().scopePage.scanRate->SetVal(3);
    emit P().scopePage.scanRate->committed();
    EXPECT_EQ("60.000", P().scope.deltaX->text().toStdString());
    EXPECT_EQ("2100", P().scope.deltaY->text().toStdString());
    // The digital graph's cursors stand at the same instants.
    EXPECT_DOUBLE_EQ(20.2, P().scope.digital->CursorPosition(0).x());
    EXPECT_DOUBLE_EQ(30.9, P().scope.digital->CursorPosition(1).x());

    // A failed measurement gives 0 for all three.
    sensor_->Command("fault drop order=105");
    P().scopePage.getCycleTime->click();
    EXPECT_EQ(0.0, Scope().CycleTime);
    EXPECT_EQ("0.00", P().scopePage.cycleTime->text().toStdString());
    EXPECT_EQ("0", P().scopePage.scanFreq->text().toStdString());
    EXPECT_EQ("0.000000", P().scope.deltaX->text().toStdString());
    EXPECT_TRUE(P().scopePage.getCycleTime->isEnabled());
}

TEST_F(ScopePanelTest, DraggingACursorUpdatesTheDeltas) {
    P().scopePage.getCycleTime->click();
    ctl::Graph* g = P().scope.scope;
    g->SetCursor(0, 10, 1000);
    g->SetCursor(1, 100, 1000);
    g->replot();
    // Take cursor 1 and drop it near sample 60, level 3000.
    Mouse(g, QEvent::MouseButtonPress, At(g, 10, 1000), Qt::LeftButton);
    Mouse(g, QEvent::MouseMove, At(g, 60.5, 3000), Qt::LeftButton);
    Mouse(g, QEvent::MouseButtonRelease, At(g, 60.5, 3000), Qt::LeftButton);
    const QPointF c = g->CursorPosition(0);
    EXPECT_NEAR(60.5, c.x(), 0.5);
    EXPECT_NEAR(3000, c.y(), 50);
    const int samples = scope::SampleDistance(c.x(), 100);
    EXPECT_DOUBLE_EQ(samples * 2.0, P().scope.deltaX->Val());
    EXPECT_DOUBLE_EQ(scope::DeltaYDigits(c.y(), 1000), P().scope.deltaY->Val());
    EXPECT_DOUBLE_EQ(c.x(), P().scope.digital->CursorPosition(0).x());
}

TEST_F(ScopePanelTest, CtrlDragZoomsBothGraphsAndZoomOneToOneRestores) {
    ctl::Graph* g = P().scope.scope;
    g->replot();
    // A plain drag moves a cursor, it does not zoom.
    Mouse(g, QEvent::MouseButtonPress, At(g, 40, 2000), Qt::LeftButton);
    Mouse(g, QEvent::MouseMove, At(g, 80, 1000), Qt::LeftButton);
    Mouse(g, QEvent::MouseButtonRelease, At(g, 80, 1000), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(128, g->xAxis->range().upper);

    Mouse(g, QEvent::MouseButtonPress, At(g, 40, 3000), Qt::LeftButton, Qt::ControlModifier);
    Mouse(g, QEvent::MouseMove, At(g, 60, 1000), Qt::LeftButton, Qt::ControlModifier);
    Mouse(g, QEvent::MouseButtonRelease, At(g, 80, 1000), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_NEAR(40, g->xAxis->range().lower, 1);
    EXPECT_NEAR(80, g->xAxis->range().upper, 1);
    EXPECT_NEAR(1000, g->yAxis->range().lower, 40);
    EXPECT_NEAR(3000, g->yAxis->range().upper, 40);
    EXPECT_DOUBLE_EQ(g->xAxis->range().lower, P().scope.digital->xAxis->range().lower);
    EXPECT_DOUBLE_EQ(g->xAxis->range().upper, P().scope.digital->xAxis->range().upper);

    // A Ctrl click without a drag leaves the axes alone.
    const QCPRange before = g->xAxis->range();
    Mouse(g, QEvent::MouseButtonPress, At(g, 50, 2000), Qt::LeftButton, Qt::ControlModifier);
    Mouse(g, QEvent::MouseButtonRelease, At(g, 50, 2000), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(before, g->xAxis->range());

    P().scope.zoom11->click();
    EXPECT_DOUBLE_EQ(0, g->xAxis->range().lower);
    EXPECT_DOUBLE_EQ(128, g->xAxis->range().upper);
    EXPECT_DOUBLE_EQ(0, g->yAxis->range().lower);
    EXPECT_DOUBLE_EQ(4100, g->yAxis->range().upper);
    EXPECT_DOUBLE_EQ(128, P().scope.digital->xAxis->range().upper);
}

TEST_F(ScopePanelTest, YAxisForRecordSignalAndCalculationMode) {
    ctl::Graph* g = P().scope.scope;
    P().scopePage.recordSignal->SetVal(1);
    app::P().sensor.model.SetValue(params::kCalculationMode, 3);
    P().scope.zoom11->click();
    EXPECT_DOUBLE_EQ(10000, g->yAxis->range().upper);
    app::P().sensor.model.SetValue(params::kCalculationMode, 2);
    P().scope.zoom11->click();
    EXPECT_DOUBLE_EQ(4100, g->yAxis->range().upper);
    app::P().sensor.model.SetValue(params::kCalculationMode, 1);
    P().scopePage.recordSignal->SetVal(0);
    P().scope.zoom11->click();
    EXPECT_DOUBLE_EQ(4100, g->yAxis->range().upper);
}

TEST_F(ScopePanelTest, TriggerModeEnablesLevelAndPreTrigger) {
    scope::ScopePage& s = P().scopePage;
    const struct {
        int mode;
        bool level;
        bool preTrigger;
    } cases[] = {
        {1, true, true}, {2, true, true}, {3, false, true}, {4, false, true}, {0, false, false}};
    for (const auto& c : cases) {
        s.triggerMode->SetVal(c.mode);
        emit s.triggerMode->committed();
        EXPECT_EQ(c.level, s.triggerLevel->isEnabled()) << c.mode;
        EXPECT_EQ(c.preTrigger, s.preTrigger->isEnabled()) << c.mode;
    }
}

TEST_F(ScopePanelTest, SignalSelectorShowsAllOrOneLine) {
    sensor_->Command("scene color 1000 2000 3000");
    SetScope(scope::kSingleShot, 0, 0);
    Scan();
    ASSERT_TRUE(plotted_);
    scope::ScopePanel& sp = P().scope;
    const std::pair<int, QColor> one[] = {
        {1, QColor(255, 0, 0)}, {2, QColor(0, 255, 0)}, {3, QColor(0, 0, 255)}};
    for (const auto& [signal, colour] : one) {
        sp.signal->SetVal(signal);
        emit sp.signal->committed();
        ASSERT_EQ(1, sp.scope->graphCount()) << signal;
        EXPECT_EQ(colour, sp.scope->graph(0)->pen().color()) << signal;
        EXPECT_EQ(1000.0 * signal, sp.scope->graph(0)->data()->at(0)->value);
    }
    sp.signal->SetVal(0);
    emit sp.signal->committed();
    EXPECT_EQ(3, sp.scope->graphCount());
    EXPECT_EQ(6, sp.digital->graphCount()); // the digital lines stay
}

TEST_F(ScopePanelTest, CommentRightDoubleClickEmptiesIt) {
    QPlainTextEdit* c = P().scopePage.comment;
    c->setPlainText("line one\nline two");
    QWidget* viewport = c->viewport();
    Mouse(viewport, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton);
    EXPECT_FALSE(c->toPlainText().isEmpty());
    Mouse(viewport, QEvent::MouseButtonDblClick, {5, 5}, Qt::RightButton);
    EXPECT_TRUE(c->toPlainText().isEmpty());
}

TEST_F(ScopePanelTest, CloseShowsTheDataPanelAndTheScopePageBringsItBack) {
    EXPECT_EQ(P().scope.panel, app::CurrentChildPanel());
    P().scope.close->click();
    EXPECT_EQ(P().data.panel, app::CurrentChildPanel());
    P().main.tabs->PageButton(app::kPageParameter)->click();
    P().main.tabs->PageButton(app::kPageScope)->click();
    EXPECT_EQ(P().scope.panel, app::CurrentChildPanel());
}
