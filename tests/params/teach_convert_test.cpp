// The teach rows' conversion between the 2D and the 3D calculation modes:
// one row, a whole table, and a mode change in the parameter model.
#include "params/parameter_model.h"
#include "params/teach_convert.h"

#include <gtest/gtest.h>

#include <array>

using Cells = std::array<uint16_t, 5>;

namespace {

TEST(RowConversion, TwoDToThreeDAndBack) {
    using namespace params;
    Cells row{500, 400, 200, 2000, 200};
    params::ConvertRow(kXyInt2D, kXyInt3D, row.data());
    EXPECT_EQ((Cells{500, 400, 2000, 200, 1}), row);
    params::ConvertRow(kXyInt3D, kXyInt2D, row.data());
    EXPECT_EQ((Cells{500, 400, 200, 2000, 200}), row);
    // the former TOL becomes both tolerances
    Cells three{10, 20, 3000, 77, 9};
    params::ConvertRow(kSiM3D, kSiM2D, three.data());
    EXPECT_EQ((Cells{10, 20, 77, 3000, 77}), three);
    // within 2D, within 3D, or an unknown mode: nothing changes
    Cells same{500, 400, 200, 2000, 200};
    params::ConvertRow(kXyInt2D, kSiM2D, same.data());
    params::ConvertRow(kXyInt3D, kSiM3D, same.data());
    params::ConvertRow(kXyInt2D, 7, same.data());
    EXPECT_EQ((Cells{500, 400, 200, 2000, 200}), same);
}

TEST(RowConversion, WholeTableKeepsGroupAndHold) {
    params::TeachTableBytes t;
    for (int r = 0; r < params::kTeachRows; ++r) {
        const uint16_t cells[5] = {uint16_t(r), 2, 3, 4, 5};
        for (int c = 0; c < 5; ++c) {
            t.set(r, static_cast<params::TeachField>(c), cells[c]);
        }
        t.set(r, params::kGroup, 9);
        t.set(r, params::kHold, 11);
    }
    params::ConvertTable(params::kXyInt2D, params::kSiM3D, &t);
    EXPECT_EQ(30, t.get(30, params::kCell0));
    EXPECT_EQ(4, t.get(30, params::kCell2));
    EXPECT_EQ(3, t.get(30, params::kCell3));
    EXPECT_EQ(1, t.get(30, params::kCell4));
    EXPECT_EQ(9, t.get(30, params::kGroup));
    EXPECT_EQ(11, t.get(0, params::kHold));
}

TEST(RowConversion, ModelConvertsFromTheModeItHoldsInOneAnnouncement) {
    using namespace params;
    ParameterModel m;
    m.SetValue(kCalculationMode, kXyInt2D);
    const uint16_t row[5] = {500, 400, 200, 2000, 200};
    for (int c = 0; c < 5; ++c) {
        m.SetCell(7, static_cast<TeachField>(c), row[c]);
    }
    m.SetCell(7, kGroup, 3);
    int replaced = 0;
    int single = 0;
    m.replaced.Subscribe([&] { ++replaced; });
    m.valueChanged.Subscribe([&](ParaField) { ++single; });
    m.cellChanged.Subscribe([&](int, TeachField) { ++single; });
    SortTableTolerance(m, kSiM3D);
    EXPECT_EQ(kSiM3D, m.CalculationMode());
    EXPECT_EQ(2000, m.Cell(7, kCell2));
    EXPECT_EQ(200, m.Cell(7, kCell3));
    EXPECT_EQ(1, m.Cell(7, kCell4));
    EXPECT_EQ(3, m.Cell(7, kGroup));
    EXPECT_EQ(1, replaced);
    EXPECT_EQ(0, single);
    // the same mode again changes nothing
    SortTableTolerance(m, kXyInt3D);
    EXPECT_EQ(2000, m.Cell(7, kCell2));
}

} // namespace
