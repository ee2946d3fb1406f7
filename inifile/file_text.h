// Texts in the program's files: how the bytes of a file become the
// program's text and back. The one place where this is decided; no Qt.
//
// Inside the program every text is UTF-8 (std::string; QString::fromStdString
// and toStdString convert it to and from the widgets). The files, though, are
// also written by the sensor program on the line's Windows PCs, which keeps
// its texts in the Windows code page (Windows-1252). So:
//
//   reading  a text that is valid UTF-8 is taken as UTF-8; any other text
//            is taken byte by byte as Windows-1252, all of 0x80..0xFF
//            (the five bytes Windows-1252 leaves undefined, 0x81, 0x8D,
//            0x8F, 0x90 and 0x9D, become the C1 controls U+0081 etc.), so
//            no byte is ever lost or replaced;
//   writing  a text whose every character has a Windows-1252 byte is written
//            in Windows-1252, so the Windows PCs read it; any other text is
//            written as UTF-8. A text whose Windows-1252 bytes would
//            themselves read as UTF-8 (such as "Ã¼") is written as UTF-8 too,
//            so every text reads back exactly as it was written.
//
// A "character" is a Unicode code point: the length limits of texts (row
// texts, panel ID: 99 characters) are counted in code points by the editors,
// the writers and the readers alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace filetext {

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut off.
bool IsUtf8(std::string_view bytes);

// A text as a file holds it, as the program's UTF-8 (see above). The result
// is always valid UTF-8.
std::string FromFile(std::string_view bytes);

// A text of the program as a file is to hold it (see above). Bytes that are
// not UTF-8 (a text that did not come from the program's own editing) are
// written as they are.
std::string ToFile(std::string_view text);

// The number of characters of a UTF-8 text; a byte that does not belong to a
// well-formed sequence counts as one character.
size_t CharCount(std::string_view text);
// `text` without the blanks, tabs and line ends around it (a line of a
// list file, a value typed by hand).
std::string Trimmed(std::string_view text);

// The longest beginning of `text` with at most maxChars characters, counted
// as CharCount does (never ends inside a UTF-8 sequence).
std::string_view CutToChars(std::string_view text, size_t maxChars);

// The longest beginning of `text` of at most maxBytes bytes that does not end
// inside a UTF-8 sequence (for fixed-size buffers).
std::string_view CutToBytes(std::string_view text, size_t maxBytes);

} // namespace filetext
