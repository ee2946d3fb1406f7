// Texts in the program's files (inifile/file_text.h): reading UTF-8 or
// Windows-1252, writing Windows-1252 where it fits, counting characters, and
// the INI store applying these rules to every string value.
#include "inifile/file_text.h"
#include "inifile/ini_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace filetext;

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

bool HasReplacement(const std::string& s) {
    return s.find(kReplacement) != std::string::npos;
}

std::string Repeat(const std::string& piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += piece;
    }
    return s;
}

ini::IniStorePtr StoreFromText(const std::string& text) {
    ini::IniStorePtr store = ini::MakeIniStore();
    EXPECT_EQ(0, ini::Ini_ReadFromMemory(store.get(), text.data(), text.size()));
    return store;
}

std::string Written(ini::IniStore* store) {
    std::string text;
    EXPECT_EQ(0, ini::Ini_WriteToString(store, &text));
    return text;
}

} // namespace

TEST(FileText, ReadingKeepsUtf8AndTakesEveryOtherTextAsWindows1252) {
    // What the sensor program on a Windows PC writes, and the same in UTF-8.
    EXPECT_EQ("Pr\xC3\xBC"
              "fstand K\xC3\xBC"
              "hlung",
              FromFile("Pr\xFC"
                       "fstand K\xFC"
                       "hlung"));
    EXPECT_EQ("Gr\xC3\xBCn gl\xC3\xA4nzend", FromFile("Gr\xFCn gl\xE4nzend"));
    EXPECT_EQ("Gr\xC3\xBCn gl\xC3\xA4nzend", FromFile("Gr\xC3\xBCn gl\xC3\xA4nzend"));
    EXPECT_EQ("plain", FromFile("plain"));
    EXPECT_EQ("", FromFile(""));

    // The block 0x80..0x9F, the five bytes Windows-1252 leaves undefined as
    // their C1 controls, and the Latin-1 half.
    EXPECT_EQ("\xE2\x82\xAC", FromFile("\x80")); // euro sign
    EXPECT_EQ("\xE2\x80\x9E"
              "a\xE2\x80\x9C",
              FromFile("\x84"
                       "a\x93"));            // quotes
    EXPECT_EQ("\xC5\xB8", FromFile("\x9F")); // Y diaeresis
    EXPECT_EQ("\xC2\x81", FromFile("\x81"));
    EXPECT_EQ("\xC2\x8D", FromFile("\x8D"));
    EXPECT_EQ("\xC2\x8F", FromFile("\x8F"));
    EXPECT_EQ("\xC2\x90", FromFile("\x90"));
    EXPECT_EQ("\xC2\x9D", FromFile("\x9D"));
    EXPECT_EQ("\xC2\xA0", FromFile("\xA0"));
    EXPECT_EQ("\xC3\x9F", FromFile("\xDF")); // sharp s
    EXPECT_EQ("\xC3\xBF", FromFile("\xFF"));

    // Broken UTF-8 (cut, overlong, surrogate, beyond U+10FFFF) is no UTF-8:
    // the whole text is Windows-1252.
    EXPECT_EQ("a\xC3\x83", FromFile("a\xC3"));
    EXPECT_EQ("\xC3\x80\xC2\xAF", FromFile("\xC0\xAF"));
    EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));
    EXPECT_TRUE(IsUtf8("\xF0\x9F\x98\x80"));
    // One UTF-8 letter and one Windows-1252 letter in one text: Windows-1252.
    EXPECT_EQ("\xC3\x83\xC2\xBC\xC3\xBC", FromFile("\xC3\xBC\xFC"));

    // Every byte from 0x80 up is a character of its own, never U+FFFD, and
    // goes back to the same byte.
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string text = FromFile(byte);
        ASSERT_TRUE(IsUtf8(text)) << b;
        ASSERT_FALSE(HasReplacement(text)) << b;
        ASSERT_EQ(1u, CharCount(text)) << b;
        ASSERT_EQ(byte, ToFile(text)) << b;
    }
}

TEST(FileText, WritingUsesWindows1252WhereEveryCharacterFitsAndUtf8Otherwise) {
    EXPECT_EQ("Pr\xFC"
              "fstand K\xFC"
              "hlung",
              ToFile("Pr\xC3\xBC"
                     "fstand K\xC3\xBC"
                     "hlung"));
    EXPECT_EQ("\x80 5 \x96 \x84x\x93", // euro, en dash and quotes are in Windows-1252
              ToFile("\xE2\x82\xAC 5 \xE2\x80\x93 \xE2\x80\x9Ex\xE2\x80\x9C"));
    EXPECT_EQ("plain", ToFile("plain"));
    // A character beyond Windows-1252 (an arrow, a Greek letter, an emoji):
    // the whole text stays UTF-8.
    const std::string arrow = "Gr\xC3\xBCn \xE2\x86\x92 blau";
    EXPECT_EQ(arrow, ToFile(arrow));
    EXPECT_EQ("\xCE\xB1\xC3\xBC", ToFile("\xCE\xB1\xC3\xBC"));
    EXPECT_EQ("\xF0\x9F\x98\x80", ToFile("\xF0\x9F\x98\x80"));
    // U+0080 has no Windows-1252 byte (0x80 is the euro sign).
    EXPECT_EQ("\xC2\x80", ToFile("\xC2\x80"));
    // "Ã¼" in Windows-1252 would be the bytes C3 BC, which read as "ü":
    // written as UTF-8 instead.
    EXPECT_EQ("\xC3\x83\xC2\xBC", ToFile("\xC3\x83\xC2\xBC"));
    // Bytes that are no UTF-8 are written as they are.
    EXPECT_EQ("a\xFC\x81@", ToFile("a\xFC\x81@"));

    // Every text reads back as it was written; a file's Windows-1252 text is
    // written back byte for byte. All one- and two-byte files:
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
            const std::string text = FromFile(bytes);
            const std::string out = ToFile(text);
            ASSERT_EQ(text, FromFile(out)) << a << " " << b;
            ASSERT_FALSE(HasReplacement(out)) << a << " " << b;
            if (!IsUtf8(bytes)) {
                ASSERT_EQ(bytes, out) << a << " " << b;
            }
        }
    }
    for (const std::string& text :
         {std::string("Gr\xC3\xBCn gl\xC3\xA4nzend"), arrow, std::string("\xC3\x83\xC2\xBC"),
          std::string("\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"), Repeat("\xC3\xBC", 60)}) {
        EXPECT_EQ(text, FromFile(ToFile(text)));
    }
}

TEST(FileText, CharactersAreCountedAndCutAsCodePoints) {
    const std::string ue = "\xC3\xBC";            // ü, two bytes
    const std::string smile = "\xF0\x9F\x98\x80"; // beyond the BMP, four bytes
    EXPECT_EQ(60u, CharCount(Repeat(ue, 60)));
    EXPECT_EQ(3u, CharCount("a" + smile + ue));
    EXPECT_EQ(3u, CharCount("a\xFC"
                            "b")); // a stray byte counts as one
    EXPECT_EQ(Repeat(ue, 99), CutToChars(Repeat(ue, 120), 99));
    EXPECT_EQ(Repeat(ue, 60), CutToChars(Repeat(ue, 60), 99));
    EXPECT_EQ("a" + smile, CutToChars("a" + smile + ue, 2));
    EXPECT_EQ("", CutToChars("abc", 0));
    EXPECT_EQ("a", CutToBytes("a" + ue, 2)); // never half a character
    EXPECT_EQ("a" + ue, CutToBytes("a" + ue, 3));
    EXPECT_EQ("a", CutToBytes("a" + smile, 4));
}

TEST(FileText, TheIniStoreReadsAndWritesStringValuesByTheseRules) {
    // A Windows PC's file: Windows-1252 comes out as UTF-8, UTF-8 stays.
    ini::IniStorePtr store = StoreFromText("[GENERAL INFO]\r\nPANEL ID: = \"Pr\xFC"
                                           "fstand K\xFC"
                                           "hlung\"\r\n"
                                           "UTF8 = \"Gr\xC3\xBCn\"\r\nBARE = Gr\xFCn\r\n");
    std::string out;
    EXPECT_EQ(1, ini::Ini_GetString(store.get(), "GENERAL INFO", "PANEL ID:", &out, 99));
    EXPECT_EQ("Pr\xC3\xBC"
              "fstand K\xC3\xBC"
              "hlung",
              out);
    EXPECT_EQ(1, ini::Ini_GetString(store.get(), "GENERAL INFO", "UTF8", &out, 99));
    EXPECT_EQ("Gr\xC3\xBCn", out);
    EXPECT_EQ(1, ini::Ini_GetString(store.get(), "GENERAL INFO", "BARE", &out, 99));
    EXPECT_EQ("Gr\xC3\xBCn", out);
    char buf[8];
    EXPECT_EQ(1, ini::Ini_GetStringIntoBuffer(store.get(), "GENERAL INFO", "BARE", buf, 4));
    EXPECT_STREQ("Gr", buf); // 3 bytes hold "Gr" and not half of "ü"

    // Putting: Windows-1252 where it fits, UTF-8 otherwise, never U+FFFD.
    ini::IniStorePtr put = ini::MakeIniStore();
    ini::Ini_PutString(put.get(), "S", "A", "Gr\xC3\xBCn gl\xC3\xA4nzend");
    ini::Ini_PutString(put.get(), "S", "B", "Gr\xC3\xBCn \xE2\x86\x92 blau");
    EXPECT_EQ("[S]\r\nA = \"Gr\xFCn gl\xE4nzend\"\r\nB = \"Gr\xC3\xBCn \xE2\x86\x92 blau\"\r\n\r\n",
              Written(put.get()));

    // 60 x "ü": 60 characters in, 60 characters back within a limit of 99;
    // the same for 60 arrows, written as UTF-8 in pieces cut anywhere.
    for (const std::string& letter : {std::string("\xC3\xBC"), std::string("\xE2\x86\x92")}) {
        ini::IniStorePtr s = ini::MakeIniStore();
        ini::Ini_PutString(s.get(), "S", "Row specification", Repeat(letter, 60));
        const std::string text = Written(s.get());
        ini::IniStorePtr back = StoreFromText(text);
        EXPECT_EQ(1, ini::Ini_GetString(back.get(), "S", "Row specification", &out, 99));
        EXPECT_EQ(Repeat(letter, 60), out) << text;
        EXPECT_EQ(1, ini::Ini_GetString(back.get(), "S", "Row specification", &out, 40));
        EXPECT_EQ(Repeat(letter, 40), out);
    }
}
