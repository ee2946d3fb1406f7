// INI text store: holds a sectioned key/value text file in memory, writes it and
// reads it back. Every settings file of the program (panel settings, parameter
// file, table attributes, hardware information) goes through this store.
//
// File syntax as written:
//   [SECTION]                     section line
//   TAG = 123                     integer item (unquoted)
//   TAG = "escaped text"          string item (quoted, escaped)
//   TAG Line0001 = "..."          a value longer than 80 characters is split into
//   TAG Line0002 = "..."          pieces of at most 80 characters each
//   ; comment                     comment lines, kept and written back in place
// Lines end with CR LF. On reading every line-end form is accepted (LF, CR,
// CR LF, LF CR, NUL byte) and characters beyond 1024 in one line are dropped.
//
// Lookups ignore letter case (ASCII) and surrounding white space of section
// names and tags; duplicate sections and tags read from a file are kept and the
// first one is found.
//
// Strings are escaped when put: tab, LF, CR, double quote and backslash become
// \t \n \r \" \\, other control characters \xhh (lower-case hex); bytes from
// 0x80 up are copied unchanged.
//
// String values are the program's UTF-8 text on the outside and the file's
// bytes inside: Ini_PutString stores a text in Windows-1252 where all its
// characters fit and as UTF-8 otherwise, and Ini_GetString gives a value that
// is valid UTF-8 as it is and any other value read as Windows-1252 (the
// rules of inifile/file_text.h). Section names, tags and comments are bytes
// and are written back as they were read.
//
// Result codes: all operations return a negative number on failure.
//   Ini_PutInt / Ini_PutString        0 stored
//   Ini_WriteToFile / Ini_ReadFromFile 0 done
//   Ini_GetInt                        1 found and converted, 0 absent or blank
//   Ini_GetStringIntoBuffer           1 found, 0 absent (buffer set to "")
//   Ini_GetString                     as Ini_GetStringIntoBuffer
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ini {

// File could not be opened for reading (missing, no permission, not a regular
// file such as a directory, pipe or device).
constexpr int kIniErrOpen = -5001;
// An input error occurred while reading; what was read before stays in the store.
constexpr int kIniErrRead = -5002;
// The target exists but is not a writable regular file; nothing was written.
constexpr int kIniErrNotWritable = -5003;
// No temporary file could be created beside the target (directory missing or
// not writable); nothing was written.
constexpr int kIniErrCreate = -5004;
// Writing, flushing or syncing the temporary file failed (e.g. disk full); the
// temporary file is removed and the target is untouched.
constexpr int kIniErrWrite = -5005;
// The finished temporary file could not replace the target; it is removed and
// the target is untouched.
constexpr int kIniErrReplace = -5006;
// Memory exhausted; the store stays valid but may be incomplete.
constexpr int kIniErrNoMemory = -5007;
// A null store, null destination or a buffer size of 0.
constexpr int kIniErrArgument = -5008;
// A section name or tag that could not be read back as written: a line break
// or NUL inside it, or a tag that is empty, contains "=" or begins with "["
// or ";". (Reading likewise skips lines with nothing before the "=".)
constexpr int kIniErrBadName = -5009;
// Ini_GetInt: the value is not a decimal integer.
constexpr int kIniErrNotInteger = -5010;
// Ini_GetInt: the value is a decimal integer outside the 32-bit signed range.
constexpr int kIniErrRange = -5011;

struct IniStore; // opaque

// autoSort 0 keeps sections and items in the order they were put or read (the
// program always passes 0); non-zero writes sections and the items of each
// section sorted by name. Returns nullptr when memory is exhausted.
IniStore* Ini_New(int autoSort);
// Releases the store and everything in it; nullptr is harmless.
void Ini_Dispose(IniStore* store);

// Names are stored without surrounding white space. A new section is appended
// at the end; in an existing section every item with the same tag is removed
// and the new item takes the position of the first one removed, otherwise it
// is appended at the end of the section.
int Ini_PutInt(IniStore* store, const std::string& section, const std::string& tag, int32_t value);
int Ini_PutString(IniStore* store, const std::string& section, const std::string& tag,
                  const std::string& text);

// Writes the whole store to a temporary file "ini$$XXXXXX.tmp" in the target's
// directory, syncs it and renames it over the target, so the target is either
// the old file or the complete new one. A symbolic link is followed and the
// file it points to is replaced; the permission bits of an existing target are
// kept. Its steps pass the test hook of inifile/file_write_hook.h.
int Ini_WriteToFile(IniStore* store, const std::string& path);
// Appends the file's sections and items to the store, then joins the pieces of
// split values ("TAG Line0001", "TAG Line0002", ...) back into one item "TAG".
// kIniErrOpen when the file cannot be opened.
int Ini_ReadFromFile(IniStore* store, const std::string& path);

// The same two operations on text in memory: the whole file content as it
// would be written, and the file bytes as they would be read.
int Ini_WriteToString(IniStore* store, std::string* text);
int Ini_ReadFromMemory(IniStore* store, const char* data, size_t size);

// Strict conversion: optional blanks, at most one sign, one or more decimal
// digits, optional blanks, nothing else, 32-bit signed range. *dest is changed
// only when the result is 1. A value of white space only counts as absent.
int Ini_GetInt(IniStore* store, const std::string& section, const std::string& tag, int* dest);
// Copies the value as UTF-8 text, unescaped when it is a quoted string, cut to
// bufferSize - 1 bytes (never in the middle of a UTF-8 sequence) and
// terminated. Integer and other unquoted values come back as their text.
int Ini_GetStringIntoBuffer(IniStore* store, const std::string& section, const std::string& tag,
                            char* buffer, size_t bufferSize);
// Convenience for C++ callers: same result codes; *out receives at most
// maxChars characters (Unicode code points, filetext::CharCount) of the UTF-8
// text and is cleared when the item is absent.
int Ini_GetString(IniStore* store, const std::string& section, const std::string& tag,
                  std::string* out, size_t maxChars);

// How many items carry the tag in all sections of that name (a file may
// give a section or a key twice; the getters find the first). 0 when
// absent.
int Ini_ItemCount(IniStore* store, const std::string& section, const std::string& tag);

// RAII owner so callers cannot leak a store on an early return.
struct IniStoreDeleter {
    void operator()(IniStore* s) const { Ini_Dispose(s); }
};
using IniStorePtr = std::unique_ptr<IniStore, IniStoreDeleter>;
inline IniStorePtr MakeIniStore() {
    return IniStorePtr(Ini_New(0));
}

} // namespace ini
