// The mean-value teach panel: opening it starts the live loop, capture and
// undo against the simulated sensor, means and distances recomputed on
// every change, reset, and teaching with the four tolerance choices.
#include "app/panels.h"
#include "live/display_refresh.h"
#include "live/frame_stream.h"
#include "live/go_loop.h"
#include "live/live_data.h"
#include "params/parameter_model.h"
#include "platform/widgets.h"
#include "tests/teach/teach_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

using app::P;
using Row = std::array<int, 5>;

namespace {

class MeanTeachTest : public TeachFixture {
protected:
    teach::TeachMeanPanel& Ui() { return P().teachMean; }
    // Captured frames as (X, Y, INT), RED/GREEN/BLUE 10/20/30, as if captured.
    void Captured(const std::vector<std::array<int, 3>>& frames) {
        Views().Mean().ResetTeachMeanPanelTable();
        for (const auto& f : frames) {
            app::P().sensor.frames.CurrentForEdit().set(live::kRed, 10);
            app::P().sensor.frames.CurrentForEdit().set(live::kGreen, 20);
            app::P().sensor.frames.CurrentForEdit().set(live::kBlue, 30);
            app::P().sensor.frames.CurrentForEdit().set(live::kX, static_cast<int16_t>(f[0]));
            app::P().sensor.frames.CurrentForEdit().set(live::kY, static_cast<int16_t>(f[1]));
            app::P().sensor.frames.CurrentForEdit().set(live::kInt, static_cast<int16_t>(f[2]));
            Ui().capture->click();
        }
    }
    int Mean(int column) { return Ui().mean->Val(1, column); }
};

} // namespace

TEST_F(MeanTeachTest, OpeningStartsTheLoopCapturingTakesTheCurrentFrameAndCloseStopsIt) {
    int captured = 0;
    bool dimmed = false;
    RunLoop([&] { P().teachPage.teachMeanValues->click(); },
            [&] {
                if (app::P().sensor.frames.CurrentForEdit().get(live::kRed) != 1000) {
                    return false; // no frame yet
                }
                dimmed = !P().main.go->isEnabled() && !P().main.send->isEnabled();
                EXPECT_EQ(Ui().panel, app::CurrentChildPanel());
                Ui().capture->click();
                if (++captured == 3) {
                    Ui().close->click();
                    return true;
                }
                return false;
            });
    EXPECT_TRUE(dimmed);
    EXPECT_EQ(0, app::P().sensor.link.AcquisitionRunning);
    EXPECT_FALSE(Views().Mean().MeanPanelLoopRunning());
    EXPECT_EQ(P().data.panel, app::CurrentChildPanel());
    EXPECT_TRUE(P().main.go->isEnabled());
    const auto lines = Received();
    EXPECT_FALSE(lines.empty());
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](auto& l) { return l == "8 0 0"; }));

    EXPECT_EQ(3, Ui().counter->Val());
    const live::LiveDataFrameBytes& f = app::P().sensor.frames.CurrentForEdit();
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(1000, Ui().frames->Val(r, 1));
        EXPECT_EQ(3000, Ui().frames->Val(r, 3));
        EXPECT_EQ(f.get(live::kX), Ui().frames->Val(r, 4));
        EXPECT_EQ(f.get(live::kInt), Ui().frames->Val(r, 6));
    }
    EXPECT_EQ(0, Ui().frames->Val(4, 1));
    EXPECT_EQ(f.get(live::kY), Mean(5));
    EXPECT_EQ(f.get(live::kY), app::P().sensor.teach.MeanValues[4]);
    EXPECT_EQ(0, Ui().maxDeltaXY->Val()); // noise-free sensor
    EXPECT_EQ(1000, Ui().red->Val());     // the live displays followed
}

TEST_F(MeanTeachTest, OpeningWhileGoRunsLeavesGoInCharge) {
    bool checked = false;
    RunLoop([&] { P().main.go->click(); },
            [&] {
                if (!app::P().sensor.live.GoRunning ||
                    app::P().sensor.live.GoLoopCounters.frames == 0) {
                    return false;
                }
                P().teachPage.teachMeanValues->click(); // returns at once
                EXPECT_FALSE(Views().Mean().MeanPanelLoopRunning());
                EXPECT_EQ(Ui().panel, app::CurrentChildPanel());
                checked = true;
                return true;
            });
    EXPECT_TRUE(checked);
    EXPECT_FALSE(app::P().sensor.live.GoRunning);
}

TEST_F(MeanTeachTest, MeansAndDistancesFollowEveryChange) {
    SetModes(params::kXyInt2D, params::kBestHit, params::kPowerStat);
    Captured({{100, 50, 500}, {101, 50, 500}, {103, 50, 500}});
    EXPECT_EQ(101, Mean(4));
    EXPECT_EQ(2, Ui().maxDeltaXY->Val());
    EXPECT_EQ(0, Ui().maxDeltaInt->Val());
    // editing a captured value recomputes at once
    Ui().frames->item(2, 5)->setData(Qt::EditRole, 520); // row 3, INT
    EXPECT_EQ(506, Mean(6));
    EXPECT_EQ(14, Ui().maxDeltaInt->Val());

    // 2D plane distance; 3D space distance
    Captured({{100, 100, 1000}, {103, 104, 1000}});
    EXPECT_EQ(101, Mean(4));
    EXPECT_EQ(102, Mean(5));
    EXPECT_EQ(2, Ui().maxDeltaXY->Val());
    SetModes(params::kXyInt3D, params::kBestHit, params::kPowerStat);
    Captured({{100, 100, 1000}, {100, 100, 1010}});
    EXPECT_EQ(1005, Mean(6));
    EXPECT_EQ(5, Ui().maxDeltaXY->Val());
    EXPECT_EQ(5, Ui().maxDeltaInt->Val());

    // undo of the last frame
    Ui().undo->click();
    EXPECT_EQ(1, Ui().counter->Val());
    EXPECT_EQ(0, Ui().frames->Val(2, 6));
    EXPECT_EQ(1000, Mean(6));
    Ui().undo->click();
    Ui().undo->click(); // nothing left: stays at 0
    EXPECT_EQ(0, Ui().counter->Val());
    EXPECT_EQ(0, Mean(6));
    EXPECT_EQ(0, Ui().maxDeltaXY->Val());
}

TEST_F(MeanTeachTest, TheHundredAndFirstCaptureOverwritesRowHundred) {
    std::vector<std::array<int, 3>> frames;
    for (int k = 1; k <= 101; ++k) {
        frames.push_back({k, 7, 7});
    }
    Captured(frames);
    EXPECT_EQ(100, Ui().counter->Val());
    EXPECT_EQ(101, Ui().frames->Val(100, 4));
    EXPECT_EQ(99, Ui().frames->Val(99, 4));
    Ui().undo->click();
    EXPECT_EQ(99, Ui().counter->Val());
    EXPECT_EQ(0, Ui().frames->Val(100, 4));
    EXPECT_EQ(50, Mean(4)); // 1..99
}

TEST_F(MeanTeachTest, ResetTurnsTheButtonRedWhileItAsks) {
    Captured({{100, 50, 500}, {110, 50, 500}});
    user_.reset();
    std::string colourWhileAsked;
    int asked = 0;
    platform::SetPopupHook([&](const platform::PopupRecord& r) {
        ++asked;
        colourWhileAsked = Ui().reset->styleSheet().toStdString();
        EXPECT_EQ("Do you really want to reset the table?", r.text);
        return platform::PopupAnswer{asked == 1 ? 0 : 1, {}};
    });
    const QString normal = Ui().reset->styleSheet();
    Ui().reset->click(); // no
    EXPECT_NE(std::string::npos, colourWhileAsked.find("#ff0000"));
    EXPECT_EQ(normal, Ui().reset->styleSheet());
    EXPECT_EQ(2, Ui().counter->Val());
    Ui().reset->click(); // yes
    platform::SetPopupHook(nullptr);
    user_ = std::make_unique<platform::ScriptedPopups>();
    EXPECT_EQ(normal, Ui().reset->styleSheet());
    EXPECT_EQ(0, Ui().counter->Val());
    EXPECT_EQ(0, Ui().frames->Val(2, 4));
    EXPECT_EQ(0, Mean(4));
    EXPECT_EQ(0, Ui().maxDeltaXY->Val());
}

TEST_F(MeanTeachTest, TeachWithTheFourToleranceChoices) {
    teach::TeachPage& t = P().teachPage;
    SetModes(params::kXyInt2D, params::kBestHit, params::kPowerStat);
    Captured({{505, 405, 810}, {519, 405, 810}}); // mean 512, d_max 7
    ASSERT_EQ(7, Ui().maxDeltaXY->Val());
    t.autoIncrement->setChecked(true);
    app::P().sensor.model.SetTeachRowNo(2);
    Ui().teachCtoWith->SetVal(2); // d_max + VALUE CTO
    Ui().valueCto->SetVal(50);
    Ui().teachItoWith->SetVal(0); // VALUE ITO
    Ui().valueIto->SetVal(120);
    Ui().teach->click();
    EXPECT_EQ((Row{512, 405, 57, 810, 120}), GridRow(2));
    EXPECT_EQ(3, t.rowNo->value());
    EXPECT_EQ(57,
              app::P().sensor.model.Table().get(2, params::kCell2)); // the table in memory follows

    // keep the row's tolerances: X, Y and INT replaced, CTO and ITO survive
    SetGridRow(3, {1, 1, 123, 1, 45});
    Ui().teachCtoWith->SetVal(3);
    Ui().teachItoWith->SetVal(3);
    Ui().teach->click();
    EXPECT_EQ((Row{512, 405, 123, 810, 45}), GridRow(3));

    // MIN DIST: 40 whatever the choice; the first choice is dimmed
    SetModes(params::kXyInt2D, params::kMinDist, params::kPowerStat);
    Views().InitTeachPanel();
    EXPECT_FALSE(Ui().teachCtoWith->isEnabled());
    app::P().sensor.model.SetTeachRowNo(4);
    Ui().teach->click();
    EXPECT_EQ(40, GridRow(4)[2]);

    // 3D: INT third, TOL fourth from the distance, the fifth cell untouched
    SetModes(params::kXyInt3D, params::kFirstHit, params::kPowerStat);
    SetGridRow(5, {1, 1, 1, 1, 9});
    app::P().sensor.model.SetTeachRowNo(5);
    Ui().teachCtoWith->SetVal(1);
    Ui().teach->click();
    EXPECT_EQ((Row{512, 405, 810, 7, 9}), GridRow(5));

    // teaching with nothing captured teaches zeros
    Views().Mean().ResetTeachMeanPanelTable();
    app::P().sensor.model.SetTeachRowNo(6);
    Ui().teach->click();
    EXPECT_EQ((Row{0, 0, 0, 0, 1}), GridRow(6));
}

TEST_F(MeanTeachTest, ACalculationModeChangeRecomputesTheDistancesThatTeachUses) {
    teach::TeachPage& t = P().teachPage;
    ctl::Ring* mode = P().para.calculationMode;
    SetModes(params::kXyInt2D, params::kBestHit, params::kPowerStat);
    Views().InitTeachPanel();
    Captured({{100, 100, 1000}, {100, 100, 1100}});
    ASSERT_EQ(0, Ui().maxDeltaXY->Val());
    ASSERT_EQ(50, Ui().maxDeltaInt->Val());

    // X Y INT 3D chosen on the parameter page: the distance is in space now
    mode->SetVal(params::kXyInt3D);
    emit mode->committed();
    EXPECT_EQ("d (X/Y/INT)", Ui().maxDeltaXYLabel->text().toStdString());
    EXPECT_EQ(50, Ui().maxDeltaXY->Val());
    EXPECT_EQ(1050, Mean(6));
    t.autoIncrement->setChecked(false);
    app::P().sensor.model.SetTeachRowNo(7);
    Ui().teachCtoWith->SetVal(1); // d (X/Y/INT)
    Ui().teach->click();
    EXPECT_EQ((Row{100, 100, 1050, 50, 1}), GridRow(7));

    // back in 2D the plane distance returns
    mode->SetVal(params::kXyInt2D);
    emit mode->committed();
    EXPECT_EQ("d (X/Y)", Ui().maxDeltaXYLabel->text().toStdString());
    EXPECT_EQ(0, Ui().maxDeltaXY->Val());
    EXPECT_EQ(50, Ui().maxDeltaInt->Val());
}

TEST_F(MeanTeachTest, NumericsAndTemperatureShowTheFramePublishedLast) {
    live::LiveDataFrameBytes f;
    f.set(live::kRed, 1234);
    f.set(live::kGreen, 567);
    f.set(live::kBlue, 89);
    f.set(live::kTemp, 41);
    app::P().sensor.frames.Publish(f, live::kUseDisplays, params::kFirstHit);
    app::P().refresh.Request(live::kShowPanelData);
    app::P().refresh.Flush();
    const int shown[4] = {static_cast<int>(Ui().red->Val()), static_cast<int>(Ui().green->Val()),
                          static_cast<int>(Ui().blue->Val()),
                          static_cast<int>(P().attributes.temp->Val())};
    app::P().sensor.frames.Reset(); // later tests take their frames from the loops
    EXPECT_EQ(1234, shown[0]);
    EXPECT_EQ(567, shown[1]);
    EXPECT_EQ(89, shown[2]);
    EXPECT_EQ(41, shown[3]);
}
