// INI text store: creation, putting and getting items, name lookup.
#include "inifile/file_text.h"
#include "inifile/ini_internal.h"

#include <cstring>
#include <new>
#include <utility>

namespace ini {

namespace detail {

std::string_view Trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && IsWhite(s[b])) {
        ++b;
    }
    while (e > b && IsWhite(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

std::string Normalise(std::string_view s) {
    const std::string_view t = Trim(s);
    std::string out(t);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

void AppendCommentLine(std::string& block, std::string_view line) {
    if (!block.empty()) {
        block += kCrLf;
    }
    block += line;
}

} // namespace detail

using detail::Normalise;

void IniSection::RebuildIndex() {
    indexValid = false;
    index.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        auto [it, inserted] = index.try_emplace(Normalise(items[i].tag), Slot{i, 1});
        if (!inserted) {
            ++it->second.count;
        }
    }
    indexValid = true;
}

const IniItem* IniSection::Find(const std::string& key) {
    if (!indexValid) {
        RebuildIndex();
    }
    const auto it = index.find(key);
    return it == index.end() ? nullptr : &items[it->second.first];
}

void IniSection::Put(IniItem&& item, const std::string& key) {
    if (!indexValid) {
        RebuildIndex();
    }
    const auto it = index.find(key);
    if (it == index.end()) {
        index.emplace(key, Slot{items.size(), 1});
        try {
            items.push_back(std::move(item));
        } catch (...) {
            index.erase(key);
            throw;
        }
        return;
    }
    const Slot slot = it->second;
    // The new item takes the place (and the comment) of the first old one.
    item.comment.swap(items[slot.first].comment);
    if (slot.count == 1) {
        items[slot.first] = std::move(item);
        return;
    }
    // Several items carry the tag (only possible after reading a file): drop
    // all but the first. Everything that may throw happens before the move.
    std::vector<char> drop(items.size(), 0);
    for (size_t i = slot.first + 1; i < items.size(); ++i) {
        drop[i] = Normalise(items[i].tag) == key ? 1 : 0;
    }
    std::vector<IniItem> kept;
    kept.reserve(items.size() - slot.count + 1);
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == slot.first) {
            kept.push_back(std::move(item));
        } else if (drop[i] == 0) {
            kept.push_back(std::move(items[i]));
        }
    }
    items.swap(kept);
    indexValid = false;
}

void IniStore::RebuildSectionIndex() {
    sectionIndexValid = false;
    sectionIndex.clear();
    for (size_t i = 0; i < sections.size(); ++i) {
        sectionIndex.try_emplace(Normalise(sections[i].name), i);
    }
    sectionIndexValid = true;
}

IniSection* IniStore::FindSection(const std::string& key) {
    if (!sectionIndexValid) {
        RebuildSectionIndex();
    }
    const auto it = sectionIndex.find(key);
    return it == sectionIndex.end() ? nullptr : &sections[it->second];
}

size_t IniStore::AppendSection(std::string name) {
    std::string key = Normalise(name);
    sections.emplace_back();
    sections.back().name = std::move(name);
    const size_t pos = sections.size() - 1;
    if (sectionIndexValid) {
        try {
            sectionIndex.try_emplace(std::move(key), pos);
        } catch (...) {
            sectionIndexValid = false;
            throw;
        }
    }
    return pos;
}

namespace {

// After an allocation failure the indexes may disagree with the lists; they
// are rebuilt on the next lookup.
void InvalidateIndexes(IniStore& store) {
    store.sectionIndexValid = false;
    for (IniSection& s : store.sections) {
        s.indexValid = false;
    }
}

bool IsLineBreakOrNul(char c) {
    return c == '\r' || c == '\n' || c == '\0';
}

bool ValidSectionName(std::string_view name) {
    for (char c : name) {
        if (IsLineBreakOrNul(c)) {
            return false;
        }
    }
    return true;
}

// A tag must come back as the same tag when its line is read: no line break,
// no "=" (the first "=" separates tag and value), and it must not make the line
// look like a section or comment line.
bool ValidTag(std::string_view tag) {
    if (tag.empty() || tag.front() == '[' || tag.front() == ';') {
        return false;
    }
    for (char c : tag) {
        if (IsLineBreakOrNul(c) || c == '=') {
            return false;
        }
    }
    return true;
}

std::string Escape(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 0x0F];
            } else {
                out += ch;
            }
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Undoes Escape. A backslash before any other character stands for that
// character; "\x" without two hex digits gives "x"; a backslash at the very
// end is kept.
std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i++];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i == s.size()) {
            out += '\\';
            break;
        }
        const char d = s[i++];
        switch (d) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x':
            if (i + 1 < s.size() && HexDigit(s[i]) >= 0 && HexDigit(s[i + 1]) >= 0) {
                out += static_cast<char>(HexDigit(s[i]) * 16 + HexDigit(s[i + 1]));
                i += 2;
            } else {
                out += 'x';
            }
            break;
        default:
            out += d;
        }
    }
    return out;
}

// 1 converted, 0 blank, negative not an integer or out of range.
int ParseInt(std::string_view v, int* dest) {
    size_t i = 0;
    while (i < v.size() && detail::IsWhite(v[i])) {
        ++i;
    }
    if (i == v.size()) {
        return 0;
    }
    bool negative = false;
    if (v[i] == '+' || v[i] == '-') {
        negative = v[i] == '-';
        ++i;
    }
    const size_t digitsStart = i;
    int64_t magnitude = 0;
    bool tooBig = false;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') {
        if (!tooBig) {
            magnitude = magnitude * 10 + (v[i] - '0');
            tooBig = magnitude > 2147483648LL;
        }
        ++i;
    }
    if (i == digitsStart) {
        return kIniErrNotInteger;
    }
    while (i < v.size() && detail::IsWhite(v[i])) {
        ++i;
    }
    if (i != v.size()) {
        return kIniErrNotInteger;
    }
    if (tooBig || (!negative && magnitude > 2147483647LL)) {
        return kIniErrRange;
    }
    *dest = static_cast<int>(negative ? -magnitude : magnitude);
    return 1;
}

int PutItem(IniStore* store, const std::string& section, const std::string& tag, std::string value,
            bool quoted) {
    if (store == nullptr) {
        return kIniErrArgument;
    }
    const std::string_view name = detail::Trim(section);
    const std::string_view tagName = detail::Trim(tag);
    if (!ValidSectionName(name) || !ValidTag(tagName)) {
        return kIniErrBadName;
    }
    try {
        IniSection* sec = store->FindSection(Normalise(name));
        if (sec == nullptr) {
            sec = &store->sections[store->AppendSection(std::string(name))];
        }
        IniItem item;
        item.tag = std::string(tagName);
        item.value = std::move(value);
        item.quoted = quoted;
        sec->Put(std::move(item), Normalise(tagName));
        return 0;
    } catch (const std::bad_alloc&) {
        InvalidateIndexes(*store);
        return kIniErrNoMemory;
    }
}

const IniItem* Lookup(IniStore& store, const std::string& section, const std::string& tag) {
    IniSection* sec = store.FindSection(Normalise(section));
    return sec == nullptr ? nullptr : sec->Find(Normalise(tag));
}

} // namespace

IniStore* Ini_New(int autoSort) {
    IniStore* store = new (std::nothrow) IniStore;
    if (store != nullptr) {
        store->autoSort = autoSort != 0;
    }
    return store;
}

void Ini_Dispose(IniStore* store) {
    delete store;
}

int Ini_PutInt(IniStore* store, const std::string& section, const std::string& tag, int32_t value) {
    try {
        return PutItem(store, section, tag, std::to_string(value), false);
    } catch (const std::bad_alloc&) {
        return kIniErrNoMemory;
    }
}

int Ini_PutString(IniStore* store, const std::string& section, const std::string& tag,
                  const std::string& text) {
    try {
        return PutItem(store, section, tag, Escape(filetext::ToFile(text)), true);
    } catch (const std::bad_alloc&) {
        return kIniErrNoMemory;
    }
}

int Ini_GetInt(IniStore* store, const std::string& section, const std::string& tag, int* dest) {
    if (store == nullptr || dest == nullptr) {
        return kIniErrArgument;
    }
    try {
        const IniItem* item = Lookup(*store, section, tag);
        return item == nullptr ? 0 : ParseInt(item->value, dest);
    } catch (const std::bad_alloc&) {
        InvalidateIndexes(*store);
        return kIniErrNoMemory;
    }
}

int Ini_ItemCount(IniStore* store, const std::string& section, const std::string& tag) {
    if (store == nullptr) {
        return kIniErrArgument;
    }
    try {
        const std::string sectionKey = Normalise(section);
        const std::string tagKey = Normalise(tag);
        int count = 0;
        for (const IniSection& sec : store->sections) {
            if (Normalise(sec.name) != sectionKey) {
                continue;
            }
            for (const IniItem& item : sec.items) {
                count += Normalise(item.tag) == tagKey ? 1 : 0;
            }
        }
        return count;
    } catch (const std::bad_alloc&) {
        return kIniErrNoMemory;
    }
}

namespace {

// The item's text as the program's UTF-8, whole; 1 found, 0 absent.
int GetText(IniStore* store, const std::string& section, const std::string& tag, std::string* out) {
    if (store == nullptr || out == nullptr) {
        return kIniErrArgument;
    }
    out->clear();
    try {
        const IniItem* item = Lookup(*store, section, tag);
        if (item == nullptr) {
            return 0;
        }
        *out = filetext::FromFile(item->quoted ? Unescape(item->value) : item->value);
        return 1;
    } catch (const std::bad_alloc&) {
        InvalidateIndexes(*store);
        out->clear();
        return kIniErrNoMemory;
    }
}

} // namespace

int Ini_GetString(IniStore* store, const std::string& section, const std::string& tag,
                  std::string* out, size_t maxChars) {
    const int found = GetText(store, section, tag, out);
    if (found == 1) {
        out->resize(filetext::CutToChars(*out, maxChars).size());
    }
    return found;
}

int Ini_GetStringIntoBuffer(IniStore* store, const std::string& section, const std::string& tag,
                            char* buffer, size_t bufferSize) {
    if (buffer == nullptr || bufferSize == 0) {
        return kIniErrArgument;
    }
    buffer[0] = '\0';
    std::string text;
    const int found = GetText(store, section, tag, &text);
    if (found == 1) {
        const std::string_view kept = filetext::CutToBytes(text, bufferSize - 1);
        std::memcpy(buffer, kept.data(), kept.size());
        buffer[kept.size()] = '\0';
    }
    return found;
}

} // namespace ini
