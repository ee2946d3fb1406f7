// Editing of the teach table on the teach table page: TEACH DATA TO from the
// live measurement, the grid's context menu (set, increment or reset a
// selection; teach tolerance off/on), RESET of the whole table, and the
// refresh that follows every edit of the grid.
#pragma once

#include "platform/controls.h"

#include <cstdint>

namespace teach {

// Writes the current measurement (LiveDataFrame) into the teach table row
// the model's TeachRowNo selects, as the model's modes and tolerance switch
// decide; advances the row number when auto increment is on and gives the
// row the measured colour when row colours are set automatically.
void TeachDataTo();
// Sets every value cell to 1 and the row number to 0, and clears the shapes
// of the 2D and 3D graphs.
void ResetTable();

// Start values of this module's state (start-up, tests).
void ResetTeachEditState();

int CBF_GridCtt(QWidget*, ctl::Event);
int CBF_EditNo(QWidget*, ctl::Event);
int CBF_RadioInc(QWidget*, ctl::Event);
int CBF_ButtonResetTable(QWidget*, ctl::Event);
int CBF_ButtonTeachDataTo(QWidget*, ctl::Event);

// Entries of the grid's context menu.
void CBF_GridCttHelp();
void CBF_GridCttSetSelectionTo();
void CBF_GridCttIncrementSelectionWith();
void CBF_GridCttResetSelection();
void CBF_GridCttTeachTolOff();
void CBF_GridCttTeachTolOn();

} // namespace teach
