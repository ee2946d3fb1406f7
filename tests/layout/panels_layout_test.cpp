// Layout of the calibration, offset, table-attributes and scope pages, the
// five child display panels and the separate windows: every control exists,
// the selectors carry the codes the behaviour and the sensor use, the start
// values and ranges are right, the tables have their shape, and every help
// text reaches its control with the right popup title.
#include "app/panels.h"
#include "link/com232.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/live_state.h"
#include "live/live_views.h"
#include "params/mode_rules.h"
#include "params/parameter_model.h"
#include "params/transfer_state.h"
#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "sensor/sensor.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "tests/layout/layout_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using layout_test::Items;
using layout_test::ItemsOf;
using layout_test::Missing;

template <typename T, size_t N>
int MissingIn(T* const (&controls)[N]) {
    int n = 0;
    for (T* c : controls) {
        n += c == nullptr ? 1 : 0;
    }
    return n;
}

// A right click as the window system delivers it, through every event filter.
void ContextClick(QWidget* w) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(w, &e);
}

class PanelsLayout : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app::LoadPanels(sensor_)); }
    void TearDown() override {
        scope_.reset();
        app::DiscardPanels();
    }
    static app::Panels& P() { return app::P(); }
    sensor::Sensor sensor_;
    void WireAll() {
        app::MakeCalibView(P());
        app::MakeTeachViews(P());
        scope_ =
            std::make_unique<scope::ScopeView>(P().scopePanels, link_, model_, scopeState_, scan_);
        P().liveViews = std::make_unique<live::LiveViews>(
            P().livePanels, app::P().sensor.link, app::P().sensor.transfer, app::P().sensor.model,
            app::P().rules, app::P().sensor.frames, app::P().sensor.live, app::P().refresh);
    }

    // The scope view on sensor parts of the test's own.
    com232::SensorLink link_;
    params::ParameterModel model_;
    scope::ScopeState scopeState_;
    scope::ScanState scan_;
    std::unique_ptr<scope::ScopeView> scope_;
};

TEST_F(PanelsLayout, EveryControlIsBuilt) {
    const auto& c = P().calibration;
    EXPECT_EQ(Missing(c.setValue, c.maxDelta, c.sendCF, c.getCF, c.calcCF, c.selfCalibration,
                      c.rawDelta, c.decoration),
              0);
    EXPECT_EQ(MissingIn(c.cf) + MissingIn(c.rawBar) + MissingIn(c.raw), 0);
    const auto& o = P().offset;
    EXPECT_EQ(Missing(o.send, o.get, o.calc, o.close) + MissingIn(o.offset), 0);
    EXPECT_EQ(Missing(P().password.panel, P().password.password), 0);
    const auto& a = P().attributes;
    EXPECT_EQ(
        Missing(a.colorMode, a.row, a.color, a.setColor, a.save, a.load, a.reset, a.table, a.temp),
        0);
    const auto& s = P().scopePage;
    EXPECT_EQ(Missing(s.triggerLevel, s.triggerMode, s.preTrigger, s.scanRate, s.recordSignal,
                      s.getCycleTime, s.cycleTime, s.scanFreq, s.scan, s.breakScan, s.print,
                      s.comment),
              0);
    const auto& sp = P().scope;
    EXPECT_EQ(Missing(sp.panel, sp.scope, sp.digital, sp.busy, sp.signal, sp.zoom11, sp.close,
                      sp.deltaX, sp.deltaY),
              0);
    const auto& d = P().data;
    EXPECT_EQ(Missing(d.panel, d.status, d.comPortIndicator, d.addressIndicator, d.rgb.red,
                      d.rgb.green, d.rgb.blue, d.barsBox, d.x, d.y, d.intensity, d.xLabel, d.yLabel,
                      d.intLabel, d.deltaC, d.deltaCLabel, d.color, d.colorLabel, d.group,
                      d.groupLabel, d.trigger, d.triggerLabel, d.colorPatch, d.showGraph, d.tabs,
                      d.rgbChart, d.intChart, d.colorPlane, d.intensityBar, d.rgbChart3D),
              0);
    EXPECT_EQ(Missing(d.rgbPage.red, d.rgbPage.green, d.rgbPage.blue, d.intPage.red,
                      d.intPage.green, d.intPage.blue, d.page2D.red, d.page2D.green, d.page2D.blue),
              0);
    EXPECT_EQ(MissingIn(d.bar) + MissingIn(d.out) + MissingIn(d.outLabel) + MissingIn(d.extreme) +
                  MissingIn(d.view) + MissingIn(d.viewLabel),
              0);
    const auto& g = P().signalGraph;
    EXPECT_EQ(Missing(g.panel, g.signal, g.close) + MissingIn(g.value) + MissingIn(g.valueLabel) +
                  MissingIn(g.graph),
              0);
    for (const live::BigPanel* b : {&P().colBig, &P().grpBig}) {
        EXPECT_EQ(Missing(b->panel, b->value, b->id), 0);
    }
    const auto& m = P().teachMean;
    EXPECT_EQ(Missing(m.panel, m.red, m.green, m.blue, m.counter, m.frames, m.mean, m.maxDeltaXY,
                      m.maxDeltaXYLabel, m.maxDeltaInt, m.maxDeltaIntLabel, m.teachCtoWith,
                      m.teachCtoWithLabel, m.valueCto, m.valueCtoLabel, m.teachItoWith,
                      m.teachItoWithLabel, m.valueIto, m.valueItoLabel, m.capture, m.undo, m.reset,
                      m.teach, m.close),
              0);
    const auto& t = P().teachGraph;
    EXPECT_EQ(Missing(t.panel, t.start, t.reset, t.teach, t.close, t.counter) +
                  MissingIn(t.cursorValue) + MissingIn(t.cursorLabel) + MissingIn(t.graph) +
                  MissingIn(t.graphLabel),
              0);
}

TEST_F(PanelsLayout, SelectorsCarryTheirCodes) {
    EXPECT_EQ(ItemsOf(P().scopePage.triggerMode), (Items{{"SINGLE SHOT", 0},
                                                         {"RISING EDGE", 1},
                                                         {"FALLING EDGE", 2},
                                                         {"INTERNAL C-No.0", 3},
                                                         {"EXTERNAL IN0", 4}}));
    EXPECT_EQ(ItemsOf(P().scopePage.recordSignal),
              (Items{{"RED, GREEN, BLUE", 0}, {"X, Y, INT", 1}}));
    EXPECT_EQ(ItemsOf(P().scope.signal),
              (Items{{"ALL", 0}, {"RED", 1}, {"GREEN", 2}, {"BLUE", 3}}));
    EXPECT_EQ(
        ItemsOf(P().signalGraph.signal),
        (Items{
            {"RED", 0}, {"GREEN", 1}, {"BLUE", 2}, {"X", 3}, {"Y", 4}, {"INT", 5}, {"TEMP", 6}}));
    EXPECT_EQ(ItemsOf(P().attributes.colorMode), (Items{{"Manually", 0}, {"Automatically", 1}}));
    EXPECT_EQ(P().attributes.colorMode->Val(), 0);
    EXPECT_EQ(ItemsOf(P().teachMean.teachCtoWith), (Items{{"VALUE CTO", 0},
                                                          {"d (X/Y)", 1},
                                                          {"d (X/Y)+VALUE CTO", 2},
                                                          {"KEEP ROW TOLERANCE", 3}}));
    EXPECT_EQ(
        ItemsOf(P().teachMean.teachItoWith),
        (Items{{"VALUE ITO", 0}, {"d INT", 1}, {"d INT+VALUE ITO", 2}, {"KEEP ROW TOLERANCE", 3}}));
}

// Start values and ranges: a range narrower than the value's own would
// silently clip what the sensor sends.
TEST_F(PanelsLayout, FieldsStartWithTheirValuesAndRanges) {
    const auto& c = P().calibration;
    for (const ctl::U16Spin* cf : c.cf) {
        EXPECT_EQ(cf->value(), 1024);
        EXPECT_EQ(cf->minimum(), 0);
        EXPECT_EQ(cf->maximum(), 4096);
    }
    EXPECT_EQ(c.setValue->value(), 1000);
    EXPECT_EQ(c.maxDelta->value(), 2000);
    EXPECT_EQ(c.setValue->maximum(), 65535);
    for (const QProgressBar* bar : c.rawBar) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 4095);
    }
    for (const ctl::U16Spin* off : P().offset.offset) {
        EXPECT_EQ(off->value(), 0);
        EXPECT_EQ(off->maximum(), 65535);
    }
    const auto& s = P().scopePage;
    EXPECT_EQ(s.triggerMode->Val(), 0);
    EXPECT_EQ(s.triggerLevel->value(), 2000);
    EXPECT_EQ(s.preTrigger->value(), 20);
    EXPECT_EQ(s.preTrigger->maximum(), 127);
    EXPECT_EQ(s.scanRate->value(), 1);
    EXPECT_EQ(s.scanRate->minimum(), 1);
    EXPECT_EQ(s.scanRate->maximum(), 65535);
    EXPECT_EQ(s.recordSignal->Val(), 0);
    // SINGLE SHOT uses neither the level nor a pre-trigger part.
    EXPECT_FALSE(s.triggerLevel->isEnabled());
    EXPECT_FALSE(s.preTrigger->isEnabled());
    const auto& m = P().teachMean;
    EXPECT_EQ(m.valueCto->value(), 100);
    EXPECT_EQ(m.valueIto->value(), 100);
    EXPECT_EQ(m.valueCto->maximum(), 65535);
    EXPECT_EQ(m.teachCtoWith->Val(), 0);
    EXPECT_EQ(P().attributes.row->minimum(), 0);
    EXPECT_EQ(P().attributes.row->maximum(), 30);
    EXPECT_EQ(P().password.password->maxLength(), 20);
}

TEST_F(PanelsLayout, TablesHaveTheirShapeHeadingsAndRowLabels) {
    ctl::U16Table* attr = P().attributes.table;
    ASSERT_EQ(attr->rowCount(), 31);
    ASSERT_EQ(attr->columnCount(), 2);
    EXPECT_EQ(attr->ColumnHeading(1), "ROW SPECIFICATION");
    EXPECT_EQ(attr->ColumnHeading(2), "COLOR");
    EXPECT_EQ(attr->verticalHeaderItem(0)->text(), "0");
    EXPECT_EQ(attr->verticalHeaderItem(30)->text(), "30");
    EXPECT_FALSE(attr->IsValueCell(1, 1));
    attr->SetText(1, 1, "white paper");
    EXPECT_EQ(attr->Text(1, 1), "white paper");
    attr->SetCellBackground(31, 2, 0x408080);
    EXPECT_EQ(attr->CellBackground(31, 2), 0x408080u);

    const char* columns[] = {"RED", "GREEN", "BLUE", "X", "Y", "INT"};
    ctl::U16Table* frames = P().teachMean.frames;
    ctl::U16Table* mean = P().teachMean.mean;
    ASSERT_EQ(frames->rowCount(), 100);
    ASSERT_EQ(frames->columnCount(), 6);
    ASSERT_EQ(mean->rowCount(), 1);
    ASSERT_EQ(mean->columnCount(), 6);
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(frames->ColumnHeading(c), columns[c - 1]);
        EXPECT_EQ(mean->ColumnHeading(c), columns[c - 1]);
        EXPECT_TRUE(frames->IsValueCell(100, c));
        EXPECT_TRUE(mean->IsValueCell(1, c));
    }
    // Captured values are unsigned 16-bit.
    frames->SetVal(100, 6, 65535);
    EXPECT_EQ(frames->Val(100, 6), 65535);
}

// The editor of a row text stops at 99 characters (code points, as the file
// counts them).
TEST_F(PanelsLayout, RowTextEditorStopsAt99Characters) {
    ctl::U16Table* attr = P().attributes.table;
    const QModelIndex cell = attr->model()->index(0, 0);
    QAbstractItemDelegate* delegate = attr->itemDelegateForColumn(0);
    ASSERT_NE(delegate, nullptr);
    std::unique_ptr<QWidget> editor(delegate->createEditor(attr->viewport(), {}, cell));
    auto* line = qobject_cast<QLineEdit*>(editor.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(ctl::CharLimit(line), 99);
    line->setText(QString(120, QLatin1Char('a')));
    EXPECT_EQ(line->text().size(), 99);
    line->setText(QString(120, QChar(0xFC)));
    EXPECT_EQ(line->text(), QString(99, QChar(0xFC)));
}

TEST_F(PanelsLayout, GraphsStartWithTheirRanges) {
    const auto& sp = P().scope;
    EXPECT_DOUBLE_EQ(sp.scope->xAxis->range().upper, 128);
    EXPECT_DOUBLE_EQ(sp.scope->yAxis->range().upper, 4100);
    EXPECT_DOUBLE_EQ(sp.digital->xAxis->range().upper, 128);
    EXPECT_DOUBLE_EQ(sp.digital->yAxis->range().upper, 12);
    const auto& d = P().data;
    EXPECT_DOUBLE_EQ(d.rgbChart->xAxis->range().upper, 100);
    EXPECT_DOUBLE_EQ(d.rgbChart->yAxis->range().upper, 4096);
    EXPECT_DOUBLE_EQ(d.intensityBar->xAxis->range().upper, 4096);
    EXPECT_DOUBLE_EQ(d.intensityBar->yAxis->range().upper, 100);
    for (const ctl::Graph* g : P().teachGraph.graph) {
        EXPECT_DOUBLE_EQ(g->xAxis->range().upper, 4096);
        EXPECT_DOUBLE_EQ(g->yAxis->range().upper, 4096);
    }
}

// What shows before any behaviour runs: one signal graph (RED), no busy
// indicator, the data panel's pages in order, the status text.
TEST_F(PanelsLayout, PanelsStartInTheirIdleState) {
    const auto& g = P().signalGraph;
    EXPECT_TRUE(g.graph[0]->isVisibleTo(g.panel));
    for (int s = 1; s < 7; ++s) {
        EXPECT_FALSE(g.graph[s]->isVisibleTo(g.panel)) << s;
    }
    // Showing another graph needs nothing but visibility: they share a place.
    g.graph[0]->hide();
    g.graph[6]->show();
    EXPECT_TRUE(g.graph[6]->isVisibleTo(g.panel));

    EXPECT_FALSE(P().scope.busy->isVisibleTo(P().scope.panel));
    const auto& d = P().data;
    ASSERT_EQ(d.tabs->count(), 4);
    EXPECT_EQ(d.tabs->tabText(live::kDataPageRgb), "RGB");
    EXPECT_EQ(d.tabs->tabText(live::kDataPageInt), "INT");
    EXPECT_EQ(d.tabs->tabText(live::kDataPage2D), "2D");
    EXPECT_EQ(d.tabs->tabText(live::kDataPage3D), "3D");
    EXPECT_EQ(d.status->text(), "NO SENSOR CONNECTED!");
    EXPECT_TRUE(d.barsBox->isAncestorOf(d.bar[0]));
    EXPECT_EQ(d.viewLabel[1]->text(), "X/INT");
    EXPECT_EQ(P().teachGraph.graphLabel[2]->text(), "Y/INT");
    EXPECT_EQ(P().teachMean.maxDeltaXYLabel->text(), "d (X/Y)");
    EXPECT_EQ(P().teachMean.valueItoLabel->text(), "VALUE ITO");
}

TEST_F(PanelsLayout, HelpTextsReachTheirControls) {
    WireAll();
    WireAll(); // wiring twice changes nothing
    EXPECT_STREQ(ctl::HelpTextOf(P().calibration.cf[2]),
                 "Edit Box for the calibration factor.\nDefault value is 1024. \nMinimum value "
                 "is 0. \nMaximum value is 4096.");
    EXPECT_STREQ(ctl::HelpTextOf(P().calibration.raw[1]),
                 ctl::HelpTextOf(P().calibration.rawBar[1]));
    EXPECT_STREQ(ctl::HelpTextOf(P().offset.close), "Close PANEL and return to MAIN PANEL. ");
    EXPECT_STREQ(ctl::HelpTextOf(P().scopePage.preTrigger),
                 "Number of recorded values \nwhich are stored before trigger occured.");
    EXPECT_STREQ(ctl::HelpTextOf(P().data.extreme[5]),
                 "Displays the minimum and maximum values of RED, GREEN and BLUE.");
    EXPECT_STREQ(ctl::HelpTextOf(P().data.page2D.blue), ctl::HelpTextOf(P().data.rgb.red));
    EXPECT_STREQ(ctl::HelpTextOf(P().teachMean.teachItoWith),
                 ctl::HelpTextOf(P().teachMean.teachCtoWith));
    EXPECT_STREQ(ctl::HelpTextOf(P().teachGraph.close), ctl::HelpTextOf(P().teachMean.close));
    EXPECT_STREQ(ctl::HelpTextOf(P().signalGraph.graph[4]),
                 "Displays the signals selected with SIGNAL. ");

    // Controls whose right click belongs to the behaviour, or that have no
    // help at all, carry none.
    for (QWidget* w : std::vector<QWidget*>{
             P().calibration.decoration, P().scopePage.comment, P().scope.busy, P().scope.digital,
             P().password.password, P().colBig.value, P().data.colorPatch, P().data.status}) {
        EXPECT_EQ(ctl::HelpTextOf(w), nullptr) << w->metaObject()->className();
    }
}

TEST_F(PanelsLayout, HelpPopupsCarryTheirPageTitle) {
    WireAll();
    platform::ScriptedPopups popups;
    ContextClick(P().attributes.reset);
    ContextClick(P().attributes.temp);
    ContextClick(P().calibration.getCF);
    const auto& r = popups.Records();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].title, "Info");
    EXPECT_EQ(r[0].text, "Set default row colors.");
    EXPECT_EQ(r[1].title, "Info");
    EXPECT_EQ(r[2].title, "INFO!");
    EXPECT_EQ(r[2].text,
              "Calibration factors for RED,GREEN and BLUE will be read from the sensor.");
}

// The data panel's tab control and the graphs on its pages are all bound;
// a right click on a graph must show the graph's own text, not the tab's.
TEST_F(PanelsLayout, ControlsInsideTheDataTabsKeepTheirOwnHelp) {
    WireAll();
    platform::ScriptedPopups popups;
    ContextClick(P().data.rgbChart);
    ContextClick(P().data.view[2]);
    ContextClick(P().data.extreme[0]);
    ContextClick(P().data.tabs);
    const auto& r = popups.Records();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].text, "Displays RED, GREEN, BLUE. \nLeft double click starts zooming. \nLeft "
                         "click stops zooming.");
    EXPECT_EQ(r[1].text, ctl::HelpTextOf(P().data.rgbChart3D));
    EXPECT_EQ(r[2].text, "Displays the minimum and maximum values of RED, GREEN and BLUE.");
    EXPECT_EQ(r[3].text, "Select TAB-window.");
}

// The teach and calibration views show the parts they are given, not the
// program's, and let go of them when they end: their panels then follow
// those parts no more.
TEST_F(PanelsLayout, ViewsWorkOnTheirOwnPartsAndLetGoOfThem) {
    sensor::Sensor own;
    params::ParameterModel& model = own.model;
    live::FrameStream& frames = own.frames;
    const live::LiveParts parts{own.link, own.transfer, own.model, own.frames, own.live};
    params::RuleEvents rules;
    live::DisplayRefresh refresh;
    refresh.SetInterval(0);
    live::LiveDataFrameBytes f;
    const size_t ownWatchers = frames.published.Count(); // the sensor's live state
    {
        teach::TeachViews teach(P().teachPanels, P().data, own.teach, parts, rules, refresh,
                                live::LiveViewHooks{});
        calib::CalibrationView calibration(P().calibPanels, parts, refresh, own.calib);
        model.SetCell(4, params::kCell0, 321);
        model.SetRowColour(4, 0x123456);
        f.set(live::kRed, 77);
        frames.Publish(f, live::kUseDisplays, 0);
        refresh.Request(live::kShowPanelData);
        EXPECT_EQ(321, P().teachPage.grid->Val(5, 1));
        EXPECT_EQ(0x123456u, P().attributes.table->CellBackground(5, 2));
        EXPECT_EQ(77, P().teachMean.red->Val());
        EXPECT_EQ(ownWatchers + 1, frames.published.Count())
            << "the raw values of the calibration page";
        EXPECT_EQ(1u, rules.chain.Count());
    }
    EXPECT_EQ(0u, model.cellChanged.Count() + model.replaced.Count() +
                      model.teachSelectionChanged.Count() + model.rowAttributesChanged.Count());
    EXPECT_EQ(0u, rules.evaluationMode.Count() + rules.calculationMode.Count() +
                      rules.maxVecNo.Count() + rules.chain.Count());
    EXPECT_EQ(ownWatchers, frames.published.Count());
    model.SetCell(4, params::kCell0, 9);
    f.set(live::kRed, 88);
    frames.Publish(f, live::kUseDisplays, 0);
    refresh.Request(live::kShowPanelData);
    EXPECT_EQ(321, P().teachPage.grid->Val(5, 1));
    EXPECT_EQ(77, P().teachMean.red->Val());
}

} // namespace
