// The parameter model announces what changed, once, and only real changes;
// row texts are cut by characters; the live-frame stream derives its values
// once per frame.
#include "live/frame_stream.h"
#include "params/parameter_model.h"
#include "params/row_palette.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using params::ParameterModel;

TEST(ParameterModel, AnnouncesRealChangesOnceAndBatchesAsOneReplacement) {
    ParameterModel m;
    std::vector<int> values;
    std::vector<std::pair<int, int>> cells;
    int replaced = 0;
    m.valueChanged.Subscribe([&](params::ParaField f) { values.push_back(f); });
    m.cellChanged.Subscribe([&](int row, params::TeachField f) {
        cells.push_back({row, static_cast<int>(f)});
    });
    m.replaced.Subscribe([&] { ++replaced; });

    m.SetValue(params::kPower, 500);
    m.SetValue(params::kPower, 500); // unchanged: not announced
    m.SetCell(30, params::kHold, 7);
    m.SetCell(31, params::kHold, 7); // no such row
    EXPECT_EQ((std::vector<int>{params::kPower}), values);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{30, params::kHold}}), cells);
    EXPECT_EQ(500, m.Value(params::kPower));

    m.BeginBatch();
    m.BeginBatch();
    m.SetValue(params::kGain, 5);
    m.SetCell(0, params::kCell0, 346);
    m.EndBatch();
    EXPECT_EQ(0, replaced); // the outer batch is still open
    m.EndBatch();
    EXPECT_EQ(1, replaced);
    EXPECT_EQ(1u, values.size());
    EXPECT_EQ(346, m.Table().get(0, params::kCell0));

    m.BeginBatch();
    m.EndBatch(); // nothing changed: nothing announced
    EXPECT_EQ(1, replaced);
}

TEST(ParameterModel, TeachSelectionAndRowAttributesStayInRange) {
    ParameterModel m;
    int selections = 0;
    std::vector<int> rows;
    m.teachSelectionChanged.Subscribe([&] { ++selections; });
    m.rowAttributesChanged.Subscribe([&](int row) { rows.push_back(row); });

    m.SetTeachRowNo(40);
    EXPECT_EQ(30, m.TeachRowNo());
    m.SetTeachTolOff(5);
    EXPECT_EQ(1, m.TeachTolOff());
    EXPECT_EQ(2, selections);

    EXPECT_EQ(params::DefaultRowColour(3), m.RowColour(3));
    m.SetRowColour(3, 0x123456);
    m.SetRowColour(31, 0x123456); // no such row
    std::string sixty;
    for (int i = 0; i < 120; ++i) {
        sixty += "\xC3\xBC"; // ü
    }
    m.SetRowText(4, sixty);
    EXPECT_EQ(2u * params::kRowTextMaxChars, m.RowText(4).size()); // 99 letters, none cut in half
    m.ResetRowColours(/*clearTexts=*/true);
    EXPECT_EQ(params::DefaultRowColour(3), m.RowColour(3));
    EXPECT_TRUE(m.RowText(4).empty());
    EXPECT_EQ((std::vector<int>{3, 4, -1}), rows);
}

TEST(ParameterModel, CutUtf8CountsCharactersNotBytes) {
    EXPECT_EQ("ab", params::CutUtf8("abc", 2));
    EXPECT_EQ("a\xC3\xBC", params::CutUtf8("a\xC3\xBC\xE2\x82\xAC", 2));
    EXPECT_EQ("a\xC3\xBC\xE2\x82\xAC", params::CutUtf8("a\xC3\xBC\xE2\x82\xAC", 3));
    EXPECT_EQ("", params::CutUtf8("\xF0\x9F\x98\x80", 0));
}

// Observers that come and go while a change is announced (a view closing
// itself on a frame) take effect after the announcement, and nobody is
// called twice or skipped.
TEST(Notifier, ObserversChangingDuringANotificationTakeEffectAfterIt) {
    platform::Notifier<int> n;
    std::vector<std::string> calls;
    int second = 0;
    int third = 0;
    n.Subscribe([&](int v) {
        calls.push_back("a" + std::to_string(v));
        if (v == 1) {
            n.Unsubscribe(second); // later in this round: still called
            n.Subscribe([&](int w) { calls.push_back("d" + std::to_string(w)); });
        }
    });
    second = n.Subscribe([&](int v) { calls.push_back("b" + std::to_string(v)); });
    third = n.Subscribe([&](int v) {
        calls.push_back("c" + std::to_string(v));
        n.Unsubscribe(third); // itself
    });
    n.Notify(1);
    EXPECT_EQ((std::vector<std::string>{"a1", "b1", "c1"}), calls);
    EXPECT_EQ(2u, n.Count());
    calls.clear();
    n.Notify(2);
    EXPECT_EQ((std::vector<std::string>{"a2", "d2"}), calls);
    n.Clear();
    n.Notify(3);
    EXPECT_EQ(0u, n.Count());
}

TEST(FrameStream, DerivesTheDisplayValuesOnlyForTheirUses) {
    live::FrameStream s;
    int told = 0;
    const int id = s.published.Subscribe([&](const live::LiveDataFrameBytes& f, unsigned uses) {
        ++told;
        EXPECT_EQ(1600, f.get(live::kRed));
        EXPECT_EQ(static_cast<unsigned>(live::kUseCalibration), uses);
    });
    live::LiveDataFrameBytes f;
    f.set(live::kRed, 1600);
    f.set(live::kRawRed, 100);
    f.set(live::kRawGreen, 160);
    f.set(live::kRawBlue, 130);
    f.set(live::kColor, 255);
    s.Publish(f, live::kUseCalibration, params::kCol5);
    EXPECT_EQ(60, s.RawDelta());
    EXPECT_EQ(0u, s.CurrentColour()); // not a display frame: the patch keeps its colour
    EXPECT_EQ(0, s.OutputLeds());
    s.published.Unsubscribe(id);

    s.Publish(f, live::kUseGo, params::kFirstHit);
    EXPECT_EQ(0x640000u, s.CurrentColour());
    EXPECT_EQ(0, s.OutputLeds()); // LEDs only in the output-pattern modes
    s.Publish(f, live::kUseDisplays, params::kCol5);
    EXPECT_EQ(0x1F, s.OutputLeds());
    EXPECT_EQ(1, told);
    EXPECT_EQ(3u, s.Published());
}

} // namespace
