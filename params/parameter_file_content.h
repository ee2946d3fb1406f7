// Content of the parameter file: the sections and keys of a parameter set
// put into an INI store in file order, and taken back out of one with the
// file defaults for what is missing. Free of any panel.
//
//   [GENERAL INFO]      FILE TYPE: = "Parameter File", SCOPE VERSION: = "CHROMIK3 Scope V4.3"
//   [PARAMETER]         the 17 ParameterBlock fields in wire order
//   [TEACH VECTOR 0] .. [TEACH VECTOR 30]
//                       CELL 0 .. CELL 4, GROUP, HOLD
//
// Every value is the field's unsigned 16-bit value in decimal; on reading the
// low 16 bits of the integer are taken (65541 gives 5, -1 gives 65535). The
// `reserved` word of the rows is never in the file and never touched.
#pragma once

#include "inifile/ini_store.h"
#include "params/parameter_layout.h"

#include <string>

namespace params {

inline constexpr const char* kParameterFileType = "Parameter File";
inline constexpr const char* kParameterFileVersion = "CHROMIK3 Scope V4.3";
inline constexpr const char* kGeneralInfoSection = "GENERAL INFO";
inline constexpr const char* kFileTypeKey = "FILE TYPE:";
inline constexpr const char* kScopeVersionKey = "SCOPE VERSION:";
inline constexpr const char* kParameterSection = "PARAMETER";

// Headings of the two missing-items reports.
inline constexpr const char* kReportParaHeading =
    "Following parameter could not be read \nand where set to default value:\n\n";
inline constexpr const char* kReportTeachHeading =
    "Following teach vectors could not be read \nand where set to default value:\n\n";

// "TEACH VECTOR " followed by the row number.
std::string TeachVectorSection(int row);

// Puts "FILE TYPE:" and "SCOPE VERSION:" into "GENERAL INFO".
// Each Put function returns 0, or the store's negative result when an item
// could not be stored (memory exhausted).
int PutParameterFileHeader(ini::IniStore* store);
// The 17 keys of "PARAMETER".
int AppendParaToIniHandle(ini::IniStore* store, const ParameterBlockBytes& block);
// The 31 "TEACH VECTOR" sections; "GROUP " and "HOLD " carry a trailing blank
// that the store drops, so they read back under "GROUP" and "HOLD".
int AppendTechVecToIniHandle(ini::IniStore* store, const TeachTableBytes& table);

// The identification items as the file holds them (empty when missing).
std::string FileTypeOf(ini::IniStore* store);
std::string ScopeVersionOf(ini::IniStore* store);

// Takes the 17 fields; a key that is missing, not an integer or given twice
// gets its default. Returns the missing-items report (heading plus one report name per
// key), or an empty text when every key was read.
std::string AcquireParaFromIniHandle(ini::IniStore* store, ParameterBlockBytes* block);
// Takes the 31 rows (cells, group, hold; reserved stays); a row with any key
// missing (or given twice) is reported once by its section name. Empty text when all was read.
std::string AcquireTechVecFromIniHandle(ini::IniStore* store, TeachTableBytes* table);

} // namespace params
