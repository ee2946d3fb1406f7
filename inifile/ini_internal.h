// In-memory layout of the INI text store, shared by the put/get, read and write
// parts. Not for callers outside inifile/.
#pragma once

#include "inifile/ini_store.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ini {

struct IniItem {
    std::string tag;
    std::string value;   // stored text; escaped form when quoted
    std::string comment; // comment lines before the item, joined by CR LF
    bool quoted = false;
};

struct IniSection {
    std::string name;
    std::string comment; // comment lines before the section line, joined by CR LF
    std::vector<IniItem> items;

    // Normalised tag -> position of the first item with that tag and how many
    // items carry it. Rebuilt lazily after reads, joins and removals.
    struct Slot {
        size_t first;
        size_t count;
    };
    std::unordered_map<std::string, Slot> index;
    bool indexValid = true;

    void RebuildIndex();
    // First item with the normalised tag, or nullptr.
    const IniItem* Find(const std::string& key);
    // Stores the item under the duplicate-checking rule.
    void Put(IniItem&& item, const std::string& key);
};

struct IniStore {
    bool autoSort = false;
    std::vector<IniSection> sections;
    // Normalised section name -> position of the first section with that name.
    std::unordered_map<std::string, size_t> sectionIndex;
    bool sectionIndexValid = true;
    std::string leadingComment;  // comment lines before the first section
    std::string trailingComment; // comment lines after the last item

    void RebuildSectionIndex();
    IniSection* FindSection(const std::string& key);
    // Appends a section (duplicates allowed) and returns its position.
    size_t AppendSection(std::string name);
};

namespace detail {

constexpr size_t kMaxLine = 1024;     // characters kept of one line read
constexpr size_t kMaxPiece = 80;      // value characters per written line
constexpr size_t kMaxTag = 255;       // tag characters written
constexpr const char* kCrLf = "\r\n"; // line end written

inline bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
std::string_view Trim(std::string_view s);
// Trimmed and ASCII lower case: the form in which names are compared.
std::string Normalise(std::string_view s);
// Appends one comment line to a block of comment lines.
void AppendCommentLine(std::string& block, std::string_view line);
// Joins the pieces of split values in a section into single items.
void JoinContinuationRuns(IniSection& section);
// True when the tag ends in " Line" and decimal digits (a piece of a split
// value); base receives the tag without that suffix, first whether the
// number is 1 (leading zeros allowed).
bool SplitPieceTag(std::string_view tag, std::string_view* base, bool* first);

} // namespace detail
} // namespace ini
