// The program connected to the simulated sensor (one fixed colour, no
// noise), with helpers to read teach rows from the grid.
#pragma once

#include "teach/teach_view.h"
#include "tests/app/app_fixture.h"

#include <array>
#include <functional>

class TeachFixture : public AppFixture {
protected:
    void SetUp() override;

    // The program's teach views.
    static teach::TeachViews& Views() { return *app::P().teachViews; }
    // Cells 0..4 of teach row r as the grid shows them.
    static std::array<int, 5> GridRow(int r);
    static void SetGridRow(int r, const std::array<int, 5>& cells);
    // Sets the mode selectors without running the rules.
    static void SetModes(int calculationMode, int evaluationMode, int powerMode);

    // Runs `start` (a button that runs a loop); `during` runs every
    // millisecond inside the loop and returns true when it has ended it.
    void RunLoop(const std::function<void()>& start, const std::function<bool()>& during,
                 double limitSeconds = 10);
};
