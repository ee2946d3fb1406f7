// The hardware information file's content without any panel: the DATA text
// of the hardware block and the file's sections in order.
#include "calib/hw_info_content.h"
#include "params/parameter_file_content.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

using namespace hwinfo;
namespace fs = std::filesystem;

TEST(HwInfoContent, BlockTextIsFourUpperCaseDigitsPerLittleEndianWord) {
    std::vector<uint8_t> block(kHardwareBlockSize, 0);
    block[0] = 0x34;
    block[1] = 0x12;
    block[2] = 0x0A;
    block[3] = 0x00;
    block[510] = 0xEF;
    block[511] = 0xBE;
    const std::string text = HardwareBlockText(block.data(), block.size());
    ASSERT_EQ(kHardwareTextSize, text.size());
    EXPECT_EQ("1234000A0000", text.substr(0, 12));
    EXPECT_EQ("BEEF", text.substr(1020));

    uint8_t back[kHardwareBlockSize] = {};
    ASSERT_TRUE(HardwareBlockFromText(text, back));
    EXPECT_EQ(0, std::memcmp(block.data(), back, kHardwareBlockSize));
    // readers accept lower case too, and refuse anything but 1024 digits
    std::string lower = text;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ASSERT_TRUE(HardwareBlockFromText(lower, back));
    EXPECT_EQ(0xEF, back[510]);
    EXPECT_FALSE(HardwareBlockFromText(text.substr(1), back));
    EXPECT_FALSE(HardwareBlockFromText(text.substr(0, 1023) + "G", back));
}

TEST(HwInfoContent, ZeroAndShortBlocksGiveZerosForWhatIsMissing) {
    const std::vector<uint8_t> zeros(kHardwareBlockSize, 0);
    EXPECT_EQ(std::string(1024, '0'), HardwareBlockText(zeros.data(), zeros.size()));
    const uint8_t three[3] = {0x01, 0x02, 0x03};
    const std::string shortText = HardwareBlockText(three, sizeof three);
    EXPECT_EQ("02010003" + std::string(1016, '0'), shortText);
    EXPECT_EQ(std::string(1024, '0'), HardwareBlockText(nullptr, 0));
}

TEST(HwInfoContent, FileHoldsEverySectionInOrderAndReadsBack) {
    static std::atomic<int> counter{0};
    const fs::path dir = fs::temp_directory_path() / ("c3-hwinfo-" + std::to_string(::getpid()) +
                                                      "-" + std::to_string(counter++));
    fs::create_directories(dir);
    const std::string path = (dir / kDefaultFileName).string();

    HardwareInfo info;
    info.firmwareVersion = "CHROMIK3 V4.3.0  SIMULATED SENSOR";
    std::vector<uint8_t> block(kHardwareBlockSize);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7);
    }
    info.dataText = HardwareBlockText(block.data(), block.size());
    info.cf[0] = 1024;
    info.cf[1] = 2048;
    info.cf[2] = 4096;
    info.offset[0] = 48;
    info.offset[1] = 40;
    info.offset[2] = 56;
    info.para = params::DefaultParameterBlock();
    info.teach.set(30, params::kHold, 99);
    {
        ini::IniStorePtr store = ini::MakeIniStore();
        ASSERT_EQ(0, PutHardwareInfoFile(store.get(), info));
        ASSERT_EQ(0, ini::Ini_WriteToFile(store.get(), path));
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream raw;
    raw << in.rdbuf();
    const std::string text = raw.str();
    const std::string head = "[GENERAL INFO]\r\nFILE TYPE: = \"Hardware Initial File\"\r\n"
                             "SCOPE VERSION: = \"CHROMIK3 Scope V4.3.1\"\r\n"
                             "FIRMWARE VERSION: = \"CHROMIK3 V4.3.0  SIMULATED SENSOR\"\r\n\r\n"
                             "[HARDWARE INFO]\r\nDATA Line0001 = \"" +
                             info.dataText.substr(0, 80) + "\"\r\n";
    EXPECT_EQ(head, text.substr(0, head.size()));
    EXPECT_NE(std::string::npos,
              text.find("DATA Line0013 = \"" + info.dataText.substr(960) +
                        "\"\r\n\r\n"
                        "[CALIBRATION FACTOR]\r\nRED = 1024\r\nGREEN = 2048\r\nBLUE = 4096\r\n\r\n"
                        "[OFFSET]\r\nRED = 48\r\nGREEN = 40\r\nBLUE = 56\r\n\r\n"
                        "[PARAMETER]\r\nPOWER = 500\r\n"));
    EXPECT_EQ(std::string::npos, text.find("Line0014"));
    EXPECT_NE(std::string::npos, text.find("[TEACH VECTOR 30]\r\nCELL 0 = 0\r\n"));

    ini::IniStorePtr back = ini::MakeIniStore();
    ASSERT_EQ(0, ini::Ini_ReadFromFile(back.get(), path));
    std::string data;
    ASSERT_EQ(1, ini::Ini_GetString(back.get(), "HARDWARE INFO", "DATA", &data, 4096));
    EXPECT_EQ(info.dataText, data); // the 13 lines join into one value
    params::TeachTableBytes teach;
    EXPECT_EQ("", params::AcquireTechVecFromIniHandle(back.get(), &teach));
    EXPECT_EQ(99, teach.get(30, params::kHold));
    std::error_code ec;
    fs::remove_all(dir, ec);
}
