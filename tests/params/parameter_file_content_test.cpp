// The parameter file's content without any panel: what is written, in which
// order, how it reads back, and what a damaged or foreign file gives.
#include "params/parameter_file_content.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace params;
namespace fs = std::filesystem;

namespace {

class ParameterFileContent : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir_ = fs::temp_directory_path() /
               ("c3-parafile-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

    // Writes a complete parameter file of `block` and `table` to `path`.
    static void WriteFile(const std::string& path, const ParameterBlockBytes& block,
                          const TeachTableBytes& table) {
        ini::IniStorePtr store = ini::MakeIniStore();
        ASSERT_EQ(0, PutParameterFileHeader(store.get()));
        ASSERT_EQ(0, AppendParaToIniHandle(store.get(), block));
        ASSERT_EQ(0, AppendTechVecToIniHandle(store.get(), table));
        ASSERT_EQ(0, ini::Ini_WriteToFile(store.get(), path));
    }
    static ini::IniStorePtr Read(const std::string& path) {
        ini::IniStorePtr store = ini::MakeIniStore();
        ini::Ini_ReadFromFile(store.get(), path);
        return store;
    }
    // A file with the header and the given body text.
    std::string FileWith(const std::string& body) {
        const std::string path = File("p.ini");
        testfiles::WriteBytes(
            path, "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\nSCOPE VERSION: = "
                  "\"CHROMIK3 Scope V4.3\"\r\n\r\n" +
                      body);
        return path;
    }

    fs::path dir_;
};

ParameterBlockBytes SampleBlock() {
    ParameterBlockBytes b;
    for (int f = 0; f < kParaFieldCount; ++f) {
        b.set(static_cast<ParaField>(f), static_cast<uint16_t>(1000 * f + 7));
    }
    b.set(kPower, 65535); // the full unsigned range travels
    return b;
}

TeachTableBytes SampleTable() {
    TeachTableBytes t;
    for (int r = 0; r < kTeachRows; ++r) {
        for (int f = 0; f < kTeachFieldCount; ++f) {
            t.set(r, static_cast<TeachField>(f), static_cast<uint16_t>(r * 100 + f + 1));
        }
    }
    return t;
}

} // namespace

TEST_F(ParameterFileContent, WrittenFileReadsBackCompletelyAndLeavesReservedAlone) {
    const std::string path = File("Parameter.ini");
    WriteFile(path, SampleBlock(), SampleTable());
    ini::IniStorePtr store = Read(path);
    EXPECT_EQ(kParameterFileType, FileTypeOf(store.get()));
    EXPECT_EQ(kParameterFileVersion, ScopeVersionOf(store.get()));

    ParameterBlockBytes block;
    TeachTableBytes table;
    for (int r = 0; r < kTeachRows; ++r) {
        table.set(r, kReserved, static_cast<uint16_t>(0xA500 + r));
    }
    EXPECT_EQ("", AcquireParaFromIniHandle(store.get(), &block));
    EXPECT_EQ("", AcquireTechVecFromIniHandle(store.get(), &table));
    EXPECT_EQ(0, std::memcmp(SampleBlock().bytes, block.bytes, kParameterBlockSize));
    const TeachTableBytes expected = SampleTable();
    for (int r = 0; r < kTeachRows; ++r) {
        for (int f = 0; f < kReserved; ++f) {
            EXPECT_EQ(expected.get(r, static_cast<TeachField>(f)),
                      table.get(r, static_cast<TeachField>(f)))
                << "row " << r << " field " << f;
        }
        EXPECT_EQ(0xA500 + r, table.get(r, kReserved)) << "reserved is not in the file";
    }
}

TEST_F(ParameterFileContent, SectionsAndKeysAreWrittenInFileOrder) {
    const std::string path = File("Parameter.ini");
    WriteFile(path, DefaultParameterBlock(), SampleTable());
    const std::string text = testfiles::ReadBytes(path);
    const std::string head = "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                             "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"\r\n\r\n"
                             "[PARAMETER]\r\nPOWER = 500\r\nPOWER MODE = 0\r\nAVERAGE = 1\r\n"
                             "EVALUATION MODE = 1\r\nHOLD FAIL = 10\r\nINTLIM = 0\r\n"
                             "MAX VEC NO = 1\r\nDIGITAL OUTMODE = 0\r\nTRIGGER = 0\r\n"
                             "EXTERN TEACH = 0\r\nCALCULATION MODE = 0\r\nDYNWIN LO = 3200\r\n"
                             "DYNWIN HI = 3300\r\nCOLOR GROUP = 0\r\nLED MODE = 0\r\nGAIN = 5\r\n"
                             "INTEGRAL = 1\r\n\r\n"
                             "[TEACH VECTOR 0]\r\nCELL 0 = 1\r\nCELL 1 = 2\r\nCELL 2 = 3\r\n"
                             "CELL 3 = 4\r\nCELL 4 = 5\r\nGROUP = 6\r\nHOLD = 7\r\n\r\n"
                             "[TEACH VECTOR 1]\r\n";
    EXPECT_EQ(head, text.substr(0, head.size()));
    const std::string tail = "[TEACH VECTOR 30]\r\nCELL 0 = 3001\r\nCELL 1 = 3002\r\n"
                             "CELL 2 = 3003\r\nCELL 3 = 3004\r\nCELL 4 = 3005\r\nGROUP = 3006\r\n"
                             "HOLD = 3007\r\n\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(tail, text.substr(text.size() - tail.size()));
    EXPECT_EQ(std::string::npos, text.find("3008")) << "reserved must not be written";
}

TEST_F(ParameterFileContent, MissingExternTeachIsReportedAsExteachAndDefaultsToOff) {
    std::string body = "[PARAMETER]\r\n";
    for (int f = 0; f < kParaFieldCount; ++f) {
        if (f != kExternTeach) {
            body += std::string(kParaFieldInfo[f].fileKey) + " = 3\r\n";
        }
    }
    ini::IniStorePtr store = Read(FileWith(body));
    ParameterBlockBytes block;
    block.set(kExternTeach, 2);
    EXPECT_EQ("Following parameter could not be read \nand where set to default value:\n\n"
              "EXTEACH\n",
              AcquireParaFromIniHandle(store.get(), &block));
    EXPECT_EQ(kExTeachOff, block.get(kExternTeach));
    EXPECT_EQ(3, block.get(kTrigger));
}

TEST_F(ParameterFileContent, AllTeachSectionsMissingGiveDefaultsAndNameEveryRow) {
    ini::IniStorePtr store = Read(FileWith("[PARAMETER]\r\nPOWER = 1\r\n"));
    TeachTableBytes table = SampleTable();
    std::string expected = "Following teach vectors could not be read \nand where set to default "
                           "value:\n\n";
    for (int r = 0; r < kTeachRows; ++r) {
        expected += "TEACH VECTOR " + std::to_string(r) + "\n";
    }
    EXPECT_EQ(expected, AcquireTechVecFromIniHandle(store.get(), &table));
    for (int r = 0; r < kTeachRows; ++r) {
        for (int c = kCell0; c <= kCell4; ++c) {
            EXPECT_EQ(1, table.get(r, static_cast<TeachField>(c)));
        }
        EXPECT_EQ(0, table.get(r, kGroup));
        EXPECT_EQ(10, table.get(r, kHold));
        EXPECT_EQ(SampleTable().get(r, kReserved), table.get(r, kReserved));
    }
    // A row missing only one key is named once.
    ini::IniStorePtr one = Read(FileWith("[TEACH VECTOR 4]\r\nCELL 0 = 9\r\n"));
    const std::string report = AcquireTechVecFromIniHandle(one.get(), &table);
    EXPECT_EQ(1u, [&] {
        size_t n = 0;
        for (size_t p = report.find("TEACH VECTOR 4\n"); p != std::string::npos;
             p = report.find("TEACH VECTOR 4\n", p + 1)) {
            ++n;
        }
        return n;
    }());
    EXPECT_EQ(9, table.get(4, kCell0));
}

// What is read as an integer keeps its low 16 bits; what is not an integer,
// or is given twice, takes its default and is reported, whatever the text.
TEST_F(ParameterFileContent, ValuesWrapTo16BitsAndUnreadableValuesTakeTheirDefault) {
    const std::string path = FileWith("[PARAMETER]\r\n"
                                      "POWER = 65541\r\n"
                                      "POWER MODE = -1\r\n"
                                      "AVERAGE = +7\r\n"
                                      "EVALUATION MODE =   3   \r\n"
                                      "HOLD FAIL = 12345678901234567890\r\n"
                                      "INTLIM = 1 2\r\n"
                                      "MAX VEC NO = 12abc\r\n"
                                      "DIGITAL OUTMODE = \"2\"\r\n"
                                      "TRIGGER = 2147483648\r\n"
                                      "EXTERN TEACH = --1\r\n"
                                      "CALCULATION MODE = 0x2\r\n"
                                      "DYNWIN LO = -2147483648\r\n"
                                      "DYNWIN LO = 77\r\n"
                                      "DYNWIN HI =\r\n"
                                      "[PARAMETER]\r\nCOLOR GROUP = 1\r\n");
    ini::IniStorePtr store = Read(path);
    ParameterBlockBytes block;
    const std::string report = AcquireParaFromIniHandle(store.get(), &block);
    EXPECT_EQ(5, block.get(kPower));
    EXPECT_EQ(65535, block.get(kPowerMode));
    EXPECT_EQ(7, block.get(kAverage));
    EXPECT_EQ(3, block.get(kEvaluationMode));
    EXPECT_EQ(2, block.get(kDigitalOutmode)); // a quoted number is still a number
    EXPECT_EQ(3200, block.get(kDynWinLo));    // given twice: neither value, the default
    EXPECT_EQ(10, block.get(kHoldFail));      // 20 digits: default
    EXPECT_EQ(0, block.get(kIntLim));
    EXPECT_EQ(1, block.get(kMaxVecNo));
    EXPECT_EQ(0, block.get(kTrigger));
    EXPECT_EQ(0, block.get(kExternTeach));
    EXPECT_EQ(0, block.get(kCalculationMode));
    EXPECT_EQ(3300, block.get(kDynWinHi));
    EXPECT_EQ(0, block.get(kColorGroup)); // a duplicate section is not searched
    EXPECT_EQ(std::string(kReportParaHeading) +
                  "HOLD FAIL\nINTLIM\nMAX VEC NO\nTRIGGER\nEXTEACH\nCALCULATION MODE\n"
                  "DYNWIN LO\nDYNWIN HI\nCOLOR GROUP\nLED MODE\nGAIN\nINTEGRAL\n",
              report);
}

// Damaged and foreign files: nothing crashes, the identification is missing
// or wrong, and every key takes its default.
TEST_F(ParameterFileContent, DamagedFilesReadWithoutHarm) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>((i * 131 + 7) & 0xFF);
    }
    const std::string longLine(100000, 'x');
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""},
        {"binary", binary},
        {"truncated", "[GENERAL INFO]\r\nFILE TYPE: = \"Param"},
        {"truncated key", "[PARAMETER]\r\nPOWER = 12\r\nPOW"},
        {"long lines", "[PARAMETER]\r\nPOWER = " + longLine + "\r\n" + longLine + "\r\n[" +
                           longLine + "]\r\nGAIN = 3\r\n"},
        {"no line ends", "[PARAMETER]" + longLine},
    };
    for (const auto& [name, text] : files) {
        SCOPED_TRACE(name);
        const std::string path = File("damaged.ini");
        testfiles::WriteBytes(path, text);
        ini::IniStorePtr store = Read(path);
        EXPECT_NE(kParameterFileType, FileTypeOf(store.get()));
        ParameterBlockBytes block;
        TeachTableBytes table;
        EXPECT_NE("", AcquireParaFromIniHandle(store.get(), &block));
        EXPECT_NE("", AcquireTechVecFromIniHandle(store.get(), &table));
        EXPECT_EQ(1, table.get(30, kCell4));
    }
    // A file that cannot be opened at all reads as an empty one.
    ini::IniStorePtr none = Read(File("does-not-exist.ini"));
    EXPECT_EQ("", FileTypeOf(none.get()));
    ParameterBlockBytes block;
    AcquireParaFromIniHandle(none.get(), &block);
    EXPECT_EQ(0, std::memcmp(DefaultParameterBlock().bytes, block.bytes, kParameterBlockSize));
}

// A parameter file from a Windows PC keeps its header texts in Windows-1252:
// they come out as the program's UTF-8, every letter kept (inifile/file_text.h).
TEST_F(ParameterFileContent, HeaderTextsInWindows1252AreReadAsTheirLetters) {
    const std::string path = File("p.ini");
    testfiles::WriteBytes(path, "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                                "SCOPE VERSION: = \"CHROMIK3 Scope V4.3 \x96 Pr\xFC"
                                "fstand "
                                "K\xFChlung\"\r\n\r\n[PARAMETER]\r\nPOWER = 321\r\n");
    ini::IniStorePtr store = Read(path);
    EXPECT_EQ(kParameterFileType, FileTypeOf(store.get()));
    // the en dash and the u-umlauts in UTF-8, no replacement character
    EXPECT_EQ("CHROMIK3 Scope V4.3 \xE2\x80\x93 Pr\xC3\xBC"
              "fstand K\xC3\xBChlung",
              ScopeVersionOf(store.get()));
    ParameterBlockBytes block;
    AcquireParaFromIniHandle(store.get(), &block);
    EXPECT_EQ(321, block.get(kPower));

    // the same header in UTF-8 reads the same
    testfiles::WriteBytes(path, "[GENERAL INFO]\r\nSCOPE VERSION: = \"CHROMIK3 Scope V4.3 "
                                "\xE2\x80\x93 Pr\xC3\xBC"
                                "fstand K\xC3\xBChlung\"\r\n");
    EXPECT_EQ("CHROMIK3 Scope V4.3 \xE2\x80\x93 Pr\xC3\xBC"
              "fstand K\xC3\xBChlung",
              ScopeVersionOf(Read(path).get()));
}
