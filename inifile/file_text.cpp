#include "inifile/file_text.h"

#include <cstdint>

namespace filetext {
namespace {

// The characters of the bytes 0x80..0x9F in Windows-1252; the five bytes it
// leaves undefined stand for the C1 control of the same number. 0xA0..0xFF
// are U+00A0..U+00FF.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

char32_t CharOfByte(unsigned char b) {
    if (b < 0x80 || b >= 0xA0) {
        return b;
    }
    return kHigh[b - 0x80];
}

// The Windows-1252 byte of a character; false when it has none.
bool ByteOfChar(char32_t c, unsigned char* b) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *b = static_cast<unsigned char>(c);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kHigh[i] == c) {
            *b = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at s[i] with its character in
// *c, or 0 when none starts there.
size_t Sequence(std::string_view s, size_t i, char32_t* c) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        *c = lead;
        return 1;
    }
    size_t len = 0;
    char32_t value = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
        value = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        value = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        value = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len) {
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (b & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *c = value;
    return len;
}

// The length of the character at s[i] as CharCount counts it.
size_t CharLength(std::string_view s, size_t i) {
    char32_t c = 0;
    const size_t len = Sequence(s, i, &c);
    return len == 0 ? 1 : len;
}

bool IsAscii(std::string_view s) {
    for (char ch : s) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t c = 0;
        const size_t len = Sequence(bytes, i, &c);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string FromFile(std::string_view bytes) {
    if (IsUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char ch : bytes) {
        AppendUtf8(out, CharOfByte(static_cast<unsigned char>(ch)));
    }
    return out;
}

std::string ToFile(std::string_view text) {
    if (IsAscii(text) || !IsUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        i += Sequence(text, i, &c);
        unsigned char b = 0;
        if (!ByteOfChar(c, &b)) {
            return std::string(text); // a character beyond Windows-1252
        }
        out += static_cast<char>(b);
    }
    // Bytes that would read as UTF-8 would come back as other characters.
    return IsUtf8(out) ? std::string(text) : out;
}

size_t CharCount(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        ++count;
    }
    return count;
}

std::string_view CutToChars(std::string_view text, size_t maxChars) {
    size_t i = 0;
    for (size_t n = 0; n < maxChars && i < text.size(); ++n) {
        i += CharLength(text, i);
    }
    return text.substr(0, i);
}

std::string_view CutToBytes(std::string_view text, size_t maxBytes) {
    size_t i = 0;
    while (i < text.size()) {
        const size_t len = CharLength(text, i);
        if (i + len > maxBytes) {
            break;
        }
        i += len;
    }
    return text.substr(0, i);
}

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

} // namespace filetext
