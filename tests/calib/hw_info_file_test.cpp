// The hardware information file against the simulated sensor: a full run
// compared key by key, the requests it makes, the cancelled dialog, a sensor
// that does not answer, and a file that cannot be written.
#include "app/panel_settings.h"
#include "app/panels.h"
#include "calib/hw_info_content.h"
#include "calib/hw_info_file.h"
#include "link/link_texts.h"
#include "params/parameter_file_content.h"
#include "params/transfer.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>
#include <filesystem>

using app::P;
using platform::PopupKind;

namespace {

class HwInfoFile : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartConnected());
        ASSERT_TRUE(P().connect.hwInfo->isEnabled());
    }
    std::string Messages() const { return P().connect.messages->toPlainText().toStdString(); }
    static int Int(ini::IniStore* s, const char* section, const std::string& key) {
        int v = -1;
        EXPECT_EQ(1, ini::Ini_GetInt(s, section, key, &v)) << section << " / " << key;
        return v;
    }
    static std::string Text(ini::IniStore* s, const char* section, const char* key) {
        std::string v;
        EXPECT_EQ(1, ini::Ini_GetString(s, section, key, &v, 4096)) << section << " / " << key;
        return v;
    }
};

// The hardware block the simulated sensor returns for serial number 4711.
std::vector<uint16_t> ExpectedHardwareWords() {
    std::vector<uint16_t> w(256, 0);
    const uint16_t head[10] = {1, 4711, 0x0304, 0x0403, 12, 3, 48, 40, 56, 250};
    std::copy(head, head + 10, w.begin());
    const std::string text = "SIMULATED COLOUR SENSOR";
    for (size_t i = 0; i < text.size(); ++i) {
        w[16 + i / 2] |= static_cast<uint16_t>(static_cast<uint8_t>(text[i]) << (8 * (i % 2)));
    }
    for (int i = 32; i < 256; ++i) {
        w[static_cast<size_t>(i)] = static_cast<uint16_t>(i);
    }
    return w;
}

} // namespace

TEST_F(HwInfoFile, FullRunWritesEverythingTheSensorHolds) {
    P().main.eeprom->click(); // the parameters still come from RAM
    const std::string path = dir_ + "/service.ini";
    user_->Answer(platform::kNewFileSelected, path);
    P().connect.hwInfo->click();

    EXPECT_EQ((std::vector<std::string>{"2 0 0", "2 2 0", "102 0 0", "194 20001 0"}), Received());
    EXPECT_EQ(params::kTargetEeprom, app::P().sensor.transfer.TransferTarget);
    ASSERT_EQ(1u, user_->Records().size());
    const platform::FileSelectRequest& req = user_->Records()[0].file;
    EXPECT_EQ("HardwareInitialFile", req.title);
    EXPECT_EQ("HardwareInitialFile.ini", req.defaultName);
    EXPECT_EQ("*.ini", req.filter);
    EXPECT_EQ(dir_, req.directory);
    EXPECT_TRUE(req.allowCancel);
    EXPECT_TRUE(req.allowMakeDirectory);
    EXPECT_EQ(path, app::Paths().hardwareIniFile);
    const std::string saved = "HARDWARE INI FILE HAS BEEN SAVED TO:\n" + path + "\n\n";
    const std::string box = Messages();
    ASSERT_GE(box.size(), saved.size() - 1);
    EXPECT_NE(std::string::npos, box.find(saved.substr(0, saved.size() - 1)));

    ini::IniStorePtr s = ini::MakeIniStore();
    ASSERT_EQ(0, ini::Ini_ReadFromFile(s.get(), path));
    EXPECT_EQ("Hardware Initial File", Text(s.get(), "GENERAL INFO", "FILE TYPE:"));
    EXPECT_EQ("CHROMIK3 Scope V4.3.1", Text(s.get(), "GENERAL INFO", "SCOPE VERSION:"));
    EXPECT_EQ("CHROMIK3 V4.3.0  SIMULATED SENSOR",
              Text(s.get(), "GENERAL INFO", "FIRMWARE VERSION:"));
    const std::string data = Text(s.get(), "HARDWARE INFO", "DATA");
    ASSERT_EQ(1024u, data.size());
    EXPECT_EQ("0001126703040403000C0003", data.substr(0, 24));
    uint8_t block[hwinfo::kHardwareBlockSize] = {};
    ASSERT_TRUE(hwinfo::HardwareBlockFromText(data, block));
    const std::vector<uint16_t> words = ExpectedHardwareWords();
    for (size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i], com232::GetU16(block + 2 * i)) << "word " << i;
    }
    for (const char* c : {"RED", "GREEN", "BLUE"}) {
        EXPECT_EQ(1024, Int(s.get(), "CALIBRATION FACTOR", c));
    }
    EXPECT_EQ(48, Int(s.get(), "OFFSET", "RED"));
    EXPECT_EQ(40, Int(s.get(), "OFFSET", "GREEN"));
    EXPECT_EQ(56, Int(s.get(), "OFFSET", "BLUE"));
    // The sensor's factory set: file defaults except MAX VEC NO 6 and BINARY.
    for (int f = 0; f < params::kParaFieldCount; ++f) {
        const params::ParaFieldInfo& info = params::kParaFieldInfo[f];
        const int expected = f == params::kMaxVecNo         ? 6
                             : f == params::kDigitalOutmode ? 1
                                                            : info.fileDefault;
        EXPECT_EQ(expected, Int(s.get(), "PARAMETER", info.fileKey)) << info.fileKey;
    }
    const int belt[7] = {346, 338, 60, 867, 400, 0, 10};
    const int yellow[7] = {483, 431, 60, 1933, 400, 1, 10};
    const char* keys[7] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3", "CELL 4", "GROUP", "HOLD"};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(belt[k], Int(s.get(), "TEACH VECTOR 0", keys[k])) << keys[k];
        EXPECT_EQ(yellow[k], Int(s.get(), "TEACH VECTOR 4", keys[k])) << keys[k];
    }
    params::TeachTableBytes table;
    EXPECT_EQ("", params::AcquireTechVecFromIniHandle(s.get(), &table));
    for (int r = 0; r < params::kTeachRows; ++r) {
        for (int f = 0; f < params::kReserved; ++f) {
            const auto field = static_cast<params::TeachField>(f);
            EXPECT_EQ(app::P().sensor.model.Table().get(r, field), table.get(r, field));
        }
    }
}

TEST_F(HwInfoFile, ACancelledDialogWritesNothing) {
    user_->Answer(platform::kNoFileSelected);
    P().connect.hwInfo->click();
    EXPECT_NE(std::string::npos, Messages().find("ATTENTION!   NO FILE WAS SELECTED!\n"));
    EXPECT_EQ(std::string::npos, Messages().find("HAS BEEN SAVED"));
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/HardwareInitialFile.ini"));
}

TEST_F(HwInfoFile, ASilentSensorStopsAfterTheFirstRequestWithoutADialog) {
    sensor_->Command("fault drop count=0");
    P().connect.hwInfo->click();
    EXPECT_EQ((std::vector<std::string>{"2 0 0"}), Received());
    EXPECT_EQ(0u, user_->Count(PopupKind::FileSelect));
    EXPECT_NE(std::string::npos, Messages().find(com232::kTextNoAnswer));
    EXPECT_EQ(std::string::npos, Messages().find("HARDWARE INI FILE"));
    EXPECT_EQ(params::kTargetRam, app::P().sensor.transfer.TransferTarget);
}

TEST_F(HwInfoFile, AFileThatCannotBeWrittenIsReportedNotAnnouncedAsSaved) {
    const std::string path = dir_ + "/missing/service.ini";
    user_->Answer(platform::kNewFileSelected, path);
    P().connect.hwInfo->click();
    EXPECT_NE(std::string::npos,
              Messages().find("ATTENTION!   HARDWARE INI FILE COULD NOT BE SAVED TO:\n" + path));
    EXPECT_EQ(std::string::npos, Messages().find("HAS BEEN SAVED TO"));
    EXPECT_FALSE(std::filesystem::exists(path));
}
