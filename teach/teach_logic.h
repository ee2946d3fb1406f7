// Teaching and editing of teach rows, free of any panel: the default
// tolerances, TEACH DATA TO on the five cells of a row, the auto increment
// of the row number, and the grid menu's operations on a selection of cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace teach {

constexpr int kTableRows = 31;   // teach rows 0..30
constexpr int kValueColumns = 5; // cell0..cell4 in grid columns 1..5
constexpr int kLastRowNo = kTableRows - 1;

// The two tolerances TEACH DATA TO writes: in the 2D modes CTO (siTO) and
// ITO (MTO); in the 3D modes TOL and the unused fifth cell (1).
struct Tolerances {
    uint16_t first = 0;
    uint16_t second = 0;
};
Tolerances DefaultTolerances(uint16_t evaluationMode, uint16_t calculationMode, uint16_t powerMode);

// What TEACH DATA TO works with: the modes and the live values last shown.
struct TeachInput {
    uint16_t calculationMode = 0;
    uint16_t evaluationMode = 0;
    uint16_t powerMode = 0;
    bool tolerancesOff = false; // the grid menu's "Teach tolerance off"
    int16_t red = 0;
    int16_t green = 0;
    int16_t blue = 0;
    int16_t x = 0;         // X or s
    int16_t y = 0;         // Y or i
    int16_t intensity = 0; // INT or M
};

// Writes the measurement into `cells` (cell0..cell4 of one row, not THD
// RGB): X and Y into cell0 and cell1, the intensity into cell3 (2D) or
// cell2 (3D), and unless tolerances are off the default tolerances into
// cell2 and cell4 (2D) or TOL into cell3 and 1 into cell4 (3D).
// Live values are stored as the grid's unsigned 16-bit cells.
void TeachCells(const TeachInput& in, uint16_t cells[kValueColumns]);

// The row number after a teach into the table: one more with auto
// increment, never past 30.
int NextRowNo(int row, bool autoIncrement);

// ---- the grid menu's selection operations -------------------------------

// A selection rectangle of the grid, rows and columns counted from 1.
struct Selection {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};

struct CellWrite {
    int row = 0; // 1-based grid row
    int col = 0; // 1-based grid column
    uint16_t value = 0;
};

// True for the grid's value cells (columns 1..5 of rows 1..31).
bool IsValueCell(int row, int col);

// Cells to write for "Set selection to": every value cell of the selection,
// rows from the top, columns from the left. Nothing for no selection.
std::vector<CellWrite> SetSelectionTo(const Selection& s, uint16_t value);
// "Increment selection with": value cells in visiting order get start,
// start + increment, ... held as unsigned 16-bit (wrapping, so an
// increment of 65535 counts down by one).
std::vector<CellWrite> IncrementSelectionWith(const Selection& s, uint16_t start,
                                              uint16_t increment);
// "Reset selection": every value cell becomes 1.
std::vector<CellWrite> ResetSelection(const Selection& s);
// A selection of at least one cell whose top-left corner is on the grid.
bool HasSelection(const Selection& s);

// The prompt's text as one decimal integer: optional blanks, an optional
// sign, digits, optional blanks and nothing else. No value otherwise.
std::optional<int32_t> ScanCellValue(const std::string& text);

} // namespace teach
