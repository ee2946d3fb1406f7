// The text the store writes and the way it reads and looks up items.
#include "ini_test_util.h"

#include <cstdio>
#include <cstring>

using namespace ini;
using namespace ini_test;

namespace {

// Writes the store and returns the exact file bytes.
std::string Written(IniStore* store) {
    TempDir dir;
    const std::string path = dir.File("out.ini");
    EXPECT_EQ(0, Ini_WriteToFile(store, path));
    return ReadBytes(path);
}

} // namespace

TEST(IniFormat, EscapedStringExactBytesAndRoundTrip) {
    IniStorePtr store = MakeIniStore();
    ASSERT_NE(nullptr, store);
    const std::string text = "a\"b\\c";
    ASSERT_EQ(0, Ini_PutString(store.get(), "S", "T", text));
    const std::string bytes = Written(store.get());
    EXPECT_EQ("[S]\r\nT = \"a\\\"b\\\\c\"\r\n\r\n", bytes);

    IniStorePtr back = StoreFromText(bytes);
    int r = 0;
    EXPECT_EQ(text, GetString(back.get(), "S", "T", &r));
    EXPECT_EQ(1, r);
}

TEST(IniFormat, ControlCharactersAndMultiByteText) {
    IniStorePtr store = MakeIniStore();
    // u-umlaut and U+0081 in UTF-8: written as the Windows-1252 bytes FC 81
    // (inifile/file_text.h), read back as the same text
    const std::string text =
        std::string("\t\n\r") + '\x01' + '\x7f' + '\0' + "\xc3\xbc\xc2\x81\x40";
    ASSERT_EQ(0, Ini_PutString(store.get(), "S", "T", text));
    ASSERT_EQ(0, Ini_PutString(store.get(), "S", "EMPTY", ""));
    // bytes that are no UTF-8 are written as they are
    ASSERT_EQ(0, Ini_PutString(store.get(), "S", "RAW", "\x81\x40"));
    const std::string bytes = Written(store.get());
    EXPECT_EQ("[S]\r\nT = \"\\t\\n\\r\\x01\\x7f\\x00\xfc\x81\x40\"\r\nEMPTY = \"\"\r\n"
              "RAW = \"\x81\x40\"\r\n\r\n",
              bytes);

    IniStorePtr back = StoreFromText(bytes);
    EXPECT_EQ(text, GetString(back.get(), "S", "T"));
    EXPECT_EQ("\xc2\x81\x40", GetString(back.get(), "S", "RAW")); // and read as Windows-1252
    int r = 0;
    EXPECT_EQ("", GetString(back.get(), "S", "EMPTY", &r));
    EXPECT_EQ(1, r);
}

TEST(IniFormat, NamesAreTrimmedAndMatchedWithoutCase) {
    IniStorePtr store = MakeIniStore();
    ASSERT_EQ(0, Ini_PutInt(store.get(), "TEACH VECTOR 0", "GROUP ", 3));
    ASSERT_EQ(0, Ini_PutInt(store.get(), "\tTEACH VECTOR 0 ", "HOLD ", 10));
    EXPECT_EQ("[TEACH VECTOR 0]\r\nGROUP = 3\r\nHOLD = 10\r\n\r\n", Written(store.get()));

    int v = 0;
    EXPECT_EQ(1, Ini_GetInt(store.get(), "TEACH VECTOR 0", "GROUP", &v));
    EXPECT_EQ(3, v);
    EXPECT_EQ(1, Ini_GetInt(store.get(), " teach vector 0", "group", &v));
    EXPECT_EQ(3, v);
    v = 42;
    EXPECT_EQ(0, Ini_GetInt(store.get(), "TEACH VECTOR 1", "GROUP", &v));
    EXPECT_EQ(0, Ini_GetInt(store.get(), "TEACH VECTOR 0", "CELL 0", &v));
    EXPECT_EQ(42, v);
}

TEST(IniFormat, PutReplacesDuplicatesInPlace) {
    IniStorePtr store = MakeIniStore();
    Ini_PutInt(store.get(), "S", "A", 1);
    Ini_PutInt(store.get(), "S", "B", 2);
    Ini_PutInt(store.get(), "S2", "X", 0);
    Ini_PutInt(store.get(), "S", "C", 3);
    Ini_PutString(store.get(), "s", "b", "two");
    EXPECT_EQ("[S]\r\nA = 1\r\nb = \"two\"\r\nC = 3\r\n\r\n[S2]\r\nX = 0\r\n\r\n",
              Written(store.get()));

    // Duplicates read from a file: a put keeps only one, at the first place.
    IniStorePtr read = StoreFromText("[S]\nT=1\nU=2\nt=3\n[S]\nT=4\n");
    ASSERT_EQ(0, Ini_PutInt(read.get(), "S", "T", 9));
    EXPECT_EQ("[S]\r\nT = 9\r\nU = 2\r\n\r\n[S]\r\nT = 4\r\n\r\n", Written(read.get()));
}

TEST(IniFormat, LongValuesAreSplitAndJoined) {
    IniStorePtr store = MakeIniStore();
    const std::string v80(80, 'a');
    const std::string v81 = std::string(80, 'b') + "c";
    Ini_PutString(store.get(), "S", "EIGHTY", v80);
    Ini_PutString(store.get(), "S", "LONG", v81);
    EXPECT_EQ("[S]\r\nEIGHTY = \"" + v80 + "\"\r\nLONG Line0001 = \"" + std::string(80, 'b') +
                  "\"\r\nLONG Line0002 = \"c\"\r\n\r\n",
              Written(store.get()));

    // The 1024-character hardware block: 13 quoted lines, read back as one value.
    std::string hex;
    for (int i = 0; i < 256; ++i) {
        char word[5];
        std::snprintf(word, sizeof word, "%04X", (i * 2654435761u) & 0xFFFF);
        hex += word;
    }
    IniStorePtr hw = MakeIniStore();
    Ini_PutString(hw.get(), "HARDWARE INFO", "DATA", hex);
    Ini_PutInt(hw.get(), "HARDWARE INFO", "AFTER", 5);
    const std::string bytes = Written(hw.get());
    EXPECT_NE(std::string::npos, bytes.find("DATA Line0013 = \"" + hex.substr(960) + "\"\r\n"));
    EXPECT_EQ(std::string::npos, bytes.find("Line0014"));

    IniStorePtr back = StoreFromText(bytes);
    EXPECT_EQ(hex, GetString(back.get(), "HARDWARE INFO", "DATA"));
    int r = 0;
    GetString(back.get(), "HARDWARE INFO", "DATA Line0001", &r);
    EXPECT_EQ(0, r);
    EXPECT_EQ("[HARDWARE INFO]\r\nDATA Line0001", Written(back.get()).substr(0, 30));
}

TEST(IniFormat, ContinuationRunsOnlyFromPieceOne) {
    IniStorePtr store = StoreFromText("[S]\n"
                                      "A Line0002 = \"orphan\"\n"
                                      "B Line0001 = \"b1\"\n"
                                      "B Line0002 = \"b2\"\n"
                                      "C Line0002 = \"c2\"\n"
                                      "D Line1 = d1\n"
                                      "D Line0001 = \"d-new\"\n"
                                      "D Line0002 = \"d2\"\n");
    EXPECT_EQ("orphan", GetString(store.get(), "S", "A Line0002"));
    EXPECT_EQ("b1b2", GetString(store.get(), "S", "B"));
    EXPECT_EQ("c2", GetString(store.get(), "S", "C Line0002"));
    EXPECT_EQ("d1", GetString(store.get(), "S", "D")); // first of two runs
}

TEST(IniFormat, ReadingRulesFromHandWrittenFiles) {
    IniStorePtr store = StoreFromText("ORPHAN = 1\n"
                                      "[  PARAMETER  ]  \n"
                                      "power=500\n"
                                      "EMPTY =   \n"
                                      "no equals sign here\n"
                                      "  QUOTED = \"  keep blanks  \"  \n"
                                      "HALF = \"x\n"
                                      "[PARAMETER]\n"
                                      "POWER = 1\n"
                                      "OTHER = 2\n"
                                      "[NOT A SECTION] junk\n"
                                      "LATE = 3\n");
    int v = 0;
    EXPECT_EQ(1, Ini_GetInt(store.get(), "PARAMETER", "POWER", &v));
    EXPECT_EQ(500, v);
    EXPECT_EQ(0, Ini_GetInt(store.get(), "PARAMETER", "EMPTY", &v));
    EXPECT_EQ(0, Ini_GetInt(store.get(), "PARAMETER", "OTHER", &v)); // only in the duplicate
    EXPECT_EQ("  keep blanks  ", GetString(store.get(), "PARAMETER", "QUOTED"));
    EXPECT_EQ("\"x", GetString(store.get(), "PARAMETER", "HALF"));
    // The damaged section line ends the section before it.
    EXPECT_EQ(0, Ini_GetInt(store.get(), "PARAMETER", "LATE", &v));
    EXPECT_EQ(0, Ini_GetInt(store.get(), "", "ORPHAN", &v));
}

TEST(IniFormat, EveryLineEndForm) {
    IniStorePtr store =
        StoreFromText(std::string("[S]\nA=1\rB=2\r\nC=3\n\rD=4") + '\0' + "E=5\r\r\n\n\rF=6");
    const char* tags[] = {"A", "B", "C", "D", "E", "F"};
    for (int i = 0; i < 6; ++i) {
        int v = 0;
        EXPECT_EQ(1, Ini_GetInt(store.get(), "S", tags[i], &v)) << tags[i];
        EXPECT_EQ(i + 1, v);
    }
}

TEST(IniFormat, StrictIntegerConversion) {
    IniStorePtr store = StoreFromText("[S]\n"
                                      "A = 12abc\nB =  -7 \nC = +15\nD = --5\nE = 1 2\n"
                                      "F = 2147483647\nG = -2147483648\nH = 2147483648\n"
                                      "I = -2147483649\nJ = 99999999999999999999999\n"
                                      "K = \"   \"\nL = \"33\"\nM = 0x10\nN = -\n");
    struct Case {
        const char* tag;
        int result;
        int value;
    } cases[] = {{"A", kIniErrNotInteger, 0},
                 {"B", 1, -7},
                 {"C", 1, 15},
                 {"D", kIniErrNotInteger, 0},
                 {"E", kIniErrNotInteger, 0},
                 {"F", 1, 2147483647},
                 {"G", 1, -2147483647 - 1},
                 {"H", kIniErrRange, 0},
                 {"I", kIniErrRange, 0},
                 {"J", kIniErrRange, 0},
                 {"K", 0, 0},
                 {"L", 1, 33},
                 {"M", kIniErrNotInteger, 0},
                 {"N", kIniErrNotInteger, 0}};
    for (const Case& c : cases) {
        int v = 4711;
        EXPECT_EQ(c.result, Ini_GetInt(store.get(), "S", c.tag, &v)) << c.tag;
        EXPECT_EQ(c.result == 1 ? c.value : 4711, v) << c.tag;
    }
    IniStorePtr put = MakeIniStore();
    Ini_PutInt(put.get(), "S", "MIN", INT32_MIN);
    int v = 0;
    EXPECT_EQ(1, Ini_GetInt(put.get(), "S", "MIN", &v));
    EXPECT_EQ(INT32_MIN, v);
    EXPECT_EQ("-2147483648", GetString(put.get(), "S", "MIN"));
}

TEST(IniFormat, CommentsAreKeptInPlace) {
    const std::string text = "; leading\r\n\r\n"
                             "[S]\r\n"
                             "; about A\r\n;   second line\r\nA = 1\r\n\r\n"
                             "; about T\r\n[T]\r\nB = \"x\"\r\n\r\n"
                             "; trailing\r\n";
    IniStorePtr store = StoreFromText(text);
    EXPECT_EQ(text, Written(store.get()));

    IniStorePtr plain = StoreFromText("   ; only a comment before\n[S]\nA=1\n");
    EXPECT_EQ("; only a comment before\r\n\r\n[S]\r\nA = 1\r\n\r\n", Written(plain.get()));
}

TEST(IniFormat, BufferIsCutAndTerminated) {
    IniStorePtr store = MakeIniStore();
    Ini_PutString(store.get(), "S", "T", "abcdef");
    Ini_PutString(store.get(), "S", "U", "a\xc3\xbc"); // a, u-umlaut in UTF-8
    char buf[8];
    std::memset(buf, 'z', sizeof buf);
    EXPECT_EQ(1, Ini_GetStringIntoBuffer(store.get(), "S", "T", buf, 4));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ('z', buf[4]);
    EXPECT_EQ(1, Ini_GetStringIntoBuffer(store.get(), "S", "U", buf, 3));
    EXPECT_STREQ("a", buf); // never half a character
    EXPECT_EQ(1, Ini_GetStringIntoBuffer(store.get(), "S", "U", buf, 4));
    EXPECT_STREQ("a\xc3\xbc", buf);
    EXPECT_EQ(0, Ini_GetStringIntoBuffer(store.get(), "S", "NONE", buf, sizeof buf));
    EXPECT_STREQ("", buf);
    std::string out = "old";
    EXPECT_EQ(1, Ini_GetString(store.get(), "S", "T", &out, 2));
    EXPECT_EQ("ab", out);
    EXPECT_EQ(0, Ini_GetString(store.get(), "S", "NONE", &out, 2));
    EXPECT_EQ("", out);
}

TEST(IniFormat, AutoSortWritesByName) {
    IniStorePtr store(Ini_New(1));
    Ini_PutInt(store.get(), "b", "Z", 1);
    Ini_PutInt(store.get(), "b", "y", 2);
    Ini_PutInt(store.get(), "A", "X", 3);
    EXPECT_EQ("[A]\r\nX = 3\r\n\r\n[b]\r\ny = 2\r\nZ = 1\r\n\r\n", Written(store.get()));
}

TEST(IniFormat, TextInMemoryIsWhatTheFileHolds) {
    IniStorePtr store = MakeIniStore();
    ASSERT_EQ(0, Ini_PutInt(store.get(), "A", "N", -7));
    ASSERT_EQ(0, Ini_PutString(store.get(), "A", "LONG", std::string(200, 'x')));
    std::string text;
    ASSERT_EQ(0, Ini_WriteToString(store.get(), &text));
    EXPECT_EQ(Written(store.get()), text);

    IniStorePtr back = MakeIniStore();
    ASSERT_EQ(0, Ini_ReadFromMemory(back.get(), text.data(), text.size()));
    int r = 0;
    EXPECT_EQ(std::string(200, 'x'), GetString(back.get(), "A", "LONG", &r)); // pieces joined
    int n = 0;
    EXPECT_EQ(1, Ini_GetInt(back.get(), "A", "N", &n));
    EXPECT_EQ(-7, n);
    EXPECT_EQ(kIniErrArgument, Ini_ReadFromMemory(back.get(), nullptr, 3));
    EXPECT_EQ(0, Ini_ReadFromMemory(back.get(), nullptr, 0));
    EXPECT_EQ(kIniErrArgument, Ini_WriteToString(back.get(), nullptr));
}
