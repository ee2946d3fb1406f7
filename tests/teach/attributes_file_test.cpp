// Content of the table-attributes file: what a save writes, what a load
// takes back, and how missing, malformed or foreign content is handled.
#include "inifile/ini_store.h"
#include "params/row_palette.h"
#include "teach/attributes_file.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace teach;
namespace fs = std::filesystem;

namespace {

class AttributesFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("c3-attr-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    // Reads a file into a new store and takes the row attributes from it.
    static int Load(const std::string& path, RowAttributes* rows, std::string* failed) {
        ini::IniStorePtr s = ini::MakeIniStore();
        ini::Ini_ReadFromFile(s.get(), path);
        return GetRowAttributes(s.get(), rows, failed);
    }
    fs::path dir_;
};

} // namespace

TEST_F(AttributesFile, DefaultPaletteIsWrittenAsDecimalColoursInRowOrder) {
    RowAttributes rows = DefaultRowAttributes();
    rows.rowText[4] = "dark \"blue\" cap";
    ini::IniStorePtr s = ini::MakeIniStore();
    PutTableAttributesHeader(s.get());
    PutRowAttributes(s.get(), rows);
    ASSERT_EQ(0, ini::Ini_WriteToFile(s.get(), Path("a.ini")));
    const std::string text = testfiles::ReadBytes(Path("a.ini"));
    EXPECT_EQ(0u, text.find("[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\"\r\n"
                            "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"\r\n\r\n"
                            "[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = 16711680\r\n"
                            "Row specification = \"\"\r\n\r\n"
                            "[TABLE ATTR OF TEACH VECTOR 1]\r\n"));
    EXPECT_NE(std::string::npos, text.find("[TABLE ATTR OF TEACH VECTOR 3]\r\nRow color = 0\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("[TABLE ATTR OF TEACH VECTOR 15]\r\nRow color = 16711680\r\n"));
    EXPECT_NE(std::string::npos, text.find("[TABLE ATTR OF TEACH VECTOR 18]\r\nRow color = 0\r\n"));
    EXPECT_NE(std::string::npos, text.find("[TABLE ATTR OF TEACH VECTOR 30]\r\n"
                                           "Row color = 16711680\r\nRow specification = \"\"\r\n"
                                           "\r\n"));
    EXPECT_NE(std::string::npos, text.find("Row specification = \"dark \\\"blue\\\" cap\""));
    EXPECT_LT(text.find("VECTOR 9]"), text.find("VECTOR 10]"));
    // and back
    RowAttributes back;
    std::string failed;
    EXPECT_EQ(0, Load(Path("a.ini"), &back, &failed));
    EXPECT_TRUE(failed.empty());
    for (int r = 0; r < kAttributeRows; ++r) {
        EXPECT_EQ(params::DefaultRowColour(r), back.colour[r]) << r;
    }
    EXPECT_EQ("dark \"blue\" cap", back.rowText[4]);
}

TEST_F(AttributesFile, MissingOrMalformedColoursTakeTheDefaultAndAreListed) {
    RowAttributes rows;
    for (int r = 0; r < kAttributeRows; ++r) {
        rows.colour[r] = 0x102030 + static_cast<uint32_t>(r);
        rows.rowText[r] = "row " + std::to_string(r);
    }
    ini::IniStorePtr s = ini::MakeIniStore();
    PutTableAttributesHeader(s.get());
    PutRowAttributes(s.get(), rows);
    ini::Ini_PutString(s.get(), RowSection(5), "Row color", "red");  // not an integer
    ini::Ini_PutInt(s.get(), RowSection(6), "Row color", 0x1000000); // above 0xFFFFFF
    ini::Ini_PutInt(s.get(), RowSection(8), "Row color", -1);        // negative
    ASSERT_EQ(0, ini::Ini_WriteToFile(s.get(), Path("b.ini")));
    // row 7 loses its colour key
    std::string text = testfiles::ReadBytes(Path("b.ini"));
    const size_t at = text.find("[TABLE ATTR OF TEACH VECTOR 7]\r\n") + 32;
    text.erase(at, text.find("\r\n", at) + 2 - at);
    testfiles::WriteBytes(Path("b.ini"), text);

    RowAttributes back;
    std::string failed;
    EXPECT_EQ(4, Load(Path("b.ini"), &back, &failed));
    EXPECT_EQ("TABLE ATTR OF TEACH VECTOR 5\nTABLE ATTR OF TEACH VECTOR 6\n"
              "TABLE ATTR OF TEACH VECTOR 7\nTABLE ATTR OF TEACH VECTOR 8\n",
              failed);
    EXPECT_EQ(0x800080u, back.colour[7]);
    EXPECT_EQ(params::DefaultRowColour(5), back.colour[5]);
    EXPECT_EQ(0x102030u + 9, back.colour[9]); // the other rows are applied
    EXPECT_EQ("row 7", back.rowText[7]);      // the row text still comes in
}

TEST_F(AttributesFile, LongRowTextsAreCutAndForeignFilesHaveNoRows) {
    testfiles::WriteBytes(Path("c.ini"), "[TABLE ATTR OF TEACH VECTOR 2]\r\nRow color = 255\r\n"
                                         "Row specification = \"" +
                                             std::string(150, 'x') + "\"\r\n");
    RowAttributes back;
    std::string failed;
    EXPECT_EQ(30, Load(Path("c.ini"), &back, &failed));
    EXPECT_EQ(255u, back.colour[2]);
    EXPECT_EQ(std::string(99, 'x'), back.rowText[2]);
    EXPECT_EQ(std::string(), back.rowText[3]);

    // a parameter file: every row missing, empty row texts, header differs
    testfiles::WriteBytes(Path("p.ini"), "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n\r\n"
                                         "[PARAMETER]\r\nPOWER = 500\r\n");
    ini::IniStorePtr s = ini::MakeIniStore();
    ini::Ini_ReadFromFile(s.get(), Path("p.ini"));
    EXPECT_EQ("Parameter File", FileTypeOf(s.get()));
    EXPECT_EQ("", VersionOf(s.get()));
    failed.clear();
    EXPECT_EQ(31, GetRowAttributes(s.get(), &back, &failed));
    EXPECT_EQ(params::DefaultRowColour(30), back.colour[30]);
    EXPECT_EQ("", back.rowText[2]);
}

// Row texts are counted in characters by the writer and the reader alike,
// whatever their letters and whichever code page the file holds them in.
TEST_F(AttributesFile, RowTextsKeepEveryLetterAndTheLimitCountsCharacters) {
    const auto repeat = [](const std::string& piece, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            s += piece;
        }
        return s;
    };
    const std::string ue = "\xC3\xBC"; // u-umlaut in UTF-8
    RowAttributes rows = DefaultRowAttributes();
    rows.rowText[0] = repeat(ue, 60);
    rows.rowText[1] = repeat(ue, 120);                   // longer than the editor allows
    rows.rowText[2] = "Gr" + ue + "n \xE2\x86\x92 blau"; // an arrow: beyond Windows-1252
    ini::IniStorePtr s = ini::MakeIniStore();
    PutTableAttributesHeader(s.get());
    PutRowAttributes(s.get(), rows);
    ASSERT_EQ(0, ini::Ini_WriteToFile(s.get(), Path("u.ini")));
    const std::string text = testfiles::ReadBytes(Path("u.ini"));
    // in Windows-1252 where every letter fits, in UTF-8 otherwise
    EXPECT_NE(std::string::npos, text.find("[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = "
                                           "16711680\r\nRow specification = \"" +
                                           std::string(60, '\xFC') + "\"\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("Row specification Line0001 = \"" + std::string(80, '\xFC') +
                        "\"\r\nRow specification Line0002 = \"" + std::string(19, '\xFC') +
                        "\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("\"Gr" + ue + "n \xE2\x86\x92 blau\""));
    EXPECT_EQ(std::string::npos, text.find("\xEF\xBF\xBD"));
    RowAttributes back;
    std::string failed;
    EXPECT_EQ(0, Load(Path("u.ini"), &back, &failed));
    EXPECT_EQ(repeat(ue, 60), back.rowText[0]);
    EXPECT_EQ(repeat(ue, 99), back.rowText[1]);
    EXPECT_EQ(rows.rowText[2], back.rowText[2]);

    // 60 u-umlauts as UTF-8 in two pieces (as an earlier version wrote them)
    // and 150 as Windows-1252 bytes: 60 and 99 characters
    testfiles::WriteBytes(Path("w.ini"), "[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = 1\r\n"
                                         "Row specification Line0001 = \"" +
                                             repeat(ue, 40) +
                                             "\"\r\nRow specification Line0002 = \"" +
                                             repeat(ue, 20) +
                                             "\"\r\n[TABLE ATTR OF TEACH VECTOR 1]\r\n"
                                             "Row color = 2\r\nRow specification = \"" +
                                             std::string(150, '\xFC') + "\"\r\n");
    Load(Path("w.ini"), &back, &failed);
    EXPECT_EQ(repeat(ue, 60), back.rowText[0]);
    EXPECT_EQ(repeat(ue, 99), back.rowText[1]);
}

TEST_F(AttributesFile, TruncatedOrBinaryFilesLoseNothingButTheirMissingRows) {
    // cut in the middle of row 1's colour line
    testfiles::WriteBytes(Path("t.ini"),
                          "[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\"\r\n\r\n"
                          "[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = 65280\r\n\r\n"
                          "[TABLE ATTR OF TEACH VECTOR 1]\r\nRow col");
    RowAttributes back;
    std::string failed;
    EXPECT_EQ(30, Load(Path("t.ini"), &back, &failed));
    EXPECT_EQ(0x00FF00u, back.colour[0]);
    EXPECT_EQ(params::DefaultRowColour(1), back.colour[1]);

    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
    }
    testfiles::WriteBytes(Path("bin.ini"), binary);
    EXPECT_EQ(31, Load(Path("bin.ini"), &back, &failed));
    EXPECT_EQ(31, Load(Path("missing.ini"), &back, &failed));
}
