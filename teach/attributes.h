// The table-attributes page: row indicator colours set by hand or taken
// from the measured colour, row texts, and their file.
#pragma once

#include "inifile/ini_store.h"
#include "platform/controls.h"

namespace teach {

// Puts the 31 row sections (the model's row colours and row texts) into an
// open store.
void AppendTableSetToIniHandle(ini::IniStore* store);
// Reads the 31 row sections into the model's row colours and row texts;
// with showPopup 1 rows whose colour could not be read are listed in a
// popup.
void AcquireTableSetFromIniHandle(ini::IniStore* store, int showPopup);

// Save and load through a file dialog.
void SaveTableSettings();
void GetTableSettings();
// Gives the row in the row selector the colour of the colour field.
void SetRowColor();
// Manually: colour controls usable, colour patch of the data panel hidden;
// Automatically: the reverse.
void InitSrcPanel();

int CBF_EditSetColor(QWidget*, ctl::Event);
int CBF_EditRow(QWidget*, ctl::Event);
int CBF_EditColorNumericRow(QWidget*, ctl::Event);
int CBF_ButtonSetRowColor(QWidget*, ctl::Event);
int CBF_ButtonSaveArray(QWidget*, ctl::Event);
int CBF_ButtonGetArray(QWidget*, ctl::Event);
int CBF_ButtonTableAttrReset(QWidget*, ctl::Event);

} // namespace teach
