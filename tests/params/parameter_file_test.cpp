// SEND and GET with the transfer target FILE, in the running program: the
// round trip, the file dialog and the remembered path, the two questions,
// the missing-keys report with the mode rules after it, and failures.
#include "app/panel_settings.h"
#include "app/panels.h"
#include "params/mode_rules.h"
#include "params/parameter_file.h"
#include "params/parameter_file_content.h"
#include "params/parameter_model.h"
#include "params/transfer.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"
#include "tests/support/file_bytes.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

using app::P;
using namespace params;
using platform::PopupKind;

namespace {

class ParaFile : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartConnected());
        P().main.file->click();
        ASSERT_EQ(kTargetFile, app::P().sensor.transfer.TransferTarget);
        Received();
        user_->Clear();
    }

    // A parameter set that the mode rules leave as it is, in the model and
    // so in the panels.
    void ShowDistinctiveSet() {
        ParameterBlockBytes b = DefaultParameterBlock();
        TeachTableBytes t;
        b.set(kPower, 777);
        b.set(kAverage, 9);
        b.set(kEvaluationMode, kBestHit);
        b.set(kHoldFail, 44);
        b.set(kIntLim, 33);
        b.set(kMaxVecNo, 7);
        b.set(kDigitalOutmode, kOutBinary);
        b.set(kTrigger, kTrigSelf);
        b.set(kCalculationMode, kSiM2D);
        b.set(kDynWinLo, 1000);
        b.set(kDynWinHi, 2000);
        b.set(kColorGroup, 1);
        b.set(kLedMode, kLedAc);
        b.set(kGain, 2);
        b.set(kIntegral, 12);
        for (int r = 0; r < kTeachRows; ++r) {
            for (int c = 0; c < 5; ++c) {
                t.set(r, static_cast<TeachField>(c), static_cast<uint16_t>(r * 10 + c));
            }
            t.set(r, kGroup, static_cast<uint16_t>(r));
            t.set(r, kHold, static_cast<uint16_t>(100 + r));
        }
        app::P().sensor.model.Replace(b, t);
        app::P().paramViews->rules.InitPanelCtrlAttr();
        user_->Clear();
    }
    // The set as the model holds it now.
    static std::pair<ParameterBlockBytes, TeachTableBytes> PanelBlocks() {
        return {app::P().sensor.model.Block(), app::P().sensor.model.Table()};
    }
    // Equal in everything the panels show (the rows' reserved words are not).
    static bool SameSet(const std::pair<ParameterBlockBytes, TeachTableBytes>& a,
                        const std::pair<ParameterBlockBytes, TeachTableBytes>& b) {
        bool same = std::memcmp(a.first.bytes, b.first.bytes, kParameterBlockSize) == 0;
        for (int r = 0; r < kTeachRows; ++r) {
            for (int f = 0; f < kReserved; ++f) {
                const auto field = static_cast<TeachField>(f);
                same &= a.second.get(r, field) == b.second.get(r, field);
            }
        }
        return same;
    }
    void SendTo(const std::string& path) {
        user_->Answer(platform::kExistingFileSelected, path);
        P().main.send->click();
    }
    void GetFrom(const std::string& path) {
        user_->Answer(platform::kExistingFileSelected, path);
        P().main.get->click();
    }
    size_t Messages(const std::string& title) const {
        size_t n = 0;
        for (const platform::PopupRecord& r : user_->Records()) {
            n += (r.kind == PopupKind::Message && r.title == title) ? 1 : 0;
        }
        return n;
    }
};

} // namespace

TEST_F(ParaFile, SendThenGetReproducesEveryPanelValueWithoutReportOrQuestion) {
    ShowDistinctiveSet();
    const auto sent = PanelBlocks();
    const std::string path = dir_ + "/set.ini";
    SendTo(path);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(0u, user_->Count(PopupKind::Message));
    // The dialog as both directions show it, starting in the directory of the
    // last parameter file; the chosen path is remembered.
    ASSERT_EQ(1u, user_->Count(PopupKind::FileSelect));
    const platform::FileSelectRequest& req = user_->Records()[0].file;
    EXPECT_EQ("Parameter", req.title);
    EXPECT_EQ("Parameter.ini", req.defaultName);
    EXPECT_EQ("*.ini", req.filter);
    EXPECT_EQ(dir_, req.directory);
    EXPECT_TRUE(req.allowCancel);
    EXPECT_TRUE(req.allowMakeDirectory);
    EXPECT_EQ(path, app::Paths().parameterFile);

    // Other values in the panels, then GET from the file.
    app::P().sensor.model.Reset();
    app::P().paramViews->rules.InitPanelCtrlAttr();
    ASSERT_FALSE(SameSet(sent, PanelBlocks()));
    user_->Clear();
    GetFrom(path);
    EXPECT_TRUE(SameSet(sent, PanelBlocks()));
    EXPECT_EQ(1u, user_->Records().size()) << "only the file dialog: no report, no question";
    EXPECT_EQ(user_->Records()[0].file.directory, dir_);
    EXPECT_EQ(1, P().para.trigger->Val());
    EXPECT_TRUE(P().groupHold.colorGroup->isChecked());
    // A file target never talks to the sensor.
    EXPECT_TRUE(Received().empty());

    // The path survives a restart through the settings file.
    CloseProgram();
    EXPECT_NE(std::string::npos, ReadSettingsText().find("PARAMETER FILE = \"" + path + "\""));
}

TEST_F(ParaFile, CancelledDialogOrANewNameReadsNothing) {
    ShowDistinctiveSet();
    const auto before = PanelBlocks();
    const std::string remembered = app::Paths().parameterFile;
    user_->Answer(platform::kNoFileSelected);
    P().main.send->click();
    EXPECT_EQ(kTextNoFileSelected, user_->LastText("ATTENTION!"));
    user_->Clear();
    GetFrom(dir_ + "/not-there.ini");
    EXPECT_EQ(kTextNoFileSelected, user_->LastText("ATTENTION!"));
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/not-there.ini"));
    EXPECT_TRUE(SameSet(before, PanelBlocks()));
    EXPECT_EQ(remembered, app::Paths().parameterFile);
}

TEST_F(ParaFile, AnotherVersionLoadsAfterYesAndNoLeavesTheBlocks) {
    ShowDistinctiveSet();
    const auto sent = PanelBlocks();
    const std::string path = dir_ + "/old.ini";
    SendTo(path);
    std::string text = testfiles::ReadBytes(path);
    const size_t v = text.find("CHROMIK3 Scope V4.3");
    ASSERT_NE(std::string::npos, v);
    text.replace(v, 19, "CHROMIK3 Scope V4.2");
    testfiles::WriteBytes(path, text);

    app::P().sensor.model.Reset();
    app::P().paramViews->rules.InitPanelCtrlAttr();
    user_->Clear();
    GetFrom(path); // the question is answered Yes (the scripted default)
    ASSERT_EQ(1u, user_->Count(PopupKind::Confirm));
    EXPECT_EQ(kTextVersionMismatch, user_->LastText("ATTENTION!"));
    EXPECT_TRUE(SameSet(sent, PanelBlocks()));

    // No to the file-type question: the set stays as it is, with the edit
    // made since.
    const std::string foreign = dir_ + "/foreign.ini";
    testfiles::WriteBytes(foreign, "[GENERAL INFO]\r\nFILE TYPE: = \"Panel Settings\"\r\n\r\n"
                                   "[PARAMETER]\r\nPOWER = 1\r\n");
    app::P().sensor.model.SetValue(kPower, 123);
    const auto blocks = PanelBlocks();
    user_->Clear();
    user_->Answer(platform::kExistingFileSelected, foreign);
    user_->Answer(0); // No
    P().main.get->click();
    ASSERT_EQ(1u, user_->Count(PopupKind::Confirm));
    EXPECT_EQ(kTextNotParameterFile, user_->Records()[1].text);
    EXPECT_EQ(kTextNoParameterRead, user_->LastText("ATTENTION!"));
    EXPECT_EQ(123, P().para.power->value());
    EXPECT_TRUE(SameSet(blocks, PanelBlocks()));
}

TEST_F(ParaFile, MissingKeysAreReportedAndTheModeRulesCorrectWhatTheyCover) {
    const std::string path = dir_ + "/partial.ini";
    testfiles::WriteBytes(
        path, "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
              "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"\r\n\r\n"
              "[PARAMETER]\r\nPOWER = 65541\r\nPOWER MODE = 0\r\nAVERAGE = 1\r\n"
              "EVALUATION MODE = 1\r\nHOLD FAIL = -1\r\nINTLIM = 0\r\nMAX VEC NO = 9\r\n"
              "DIGITAL OUTMODE = 0\r\nTRIGGER = 0\r\nCALCULATION MODE = 0\r\n"
              "DYNWIN LO = 3200\r\nDYNWIN HI = 3300\r\nCOLOR GROUP = 0\r\nLED MODE = 0\r\n"
              "GAIN = 5\r\nINTEGRAL = 1\r\n\r\n"
              "[TEACH VECTOR 0]\r\nCELL 0 = 5\r\n");
    GetFrom(path);
    const auto& r = user_->Records();
    ASSERT_GE(r.size(), 4u);
    EXPECT_EQ("Attention!", r[1].title);
    EXPECT_EQ(std::string(kReportParaHeading) + "EXTEACH\n", r[1].text);
    EXPECT_EQ("Attention!", r[2].title);
    EXPECT_EQ(0u, r[2].text.find(std::string(kReportTeachHeading) + "TEACH VECTOR 0\n"));
    // MAX VEC NO 9 with a direct output mode: the rule's warning, then 5.
    EXPECT_EQ(kTextMaxVecNoTooHigh, r[3].text);
    EXPECT_EQ(5, P().para.maxVecNo->value());
    EXPECT_EQ(5, P().para.power->value());
    EXPECT_EQ(65535, P().groupHold.holdTable->Val(1, 1));
    EXPECT_EQ(5, P().teachPage.grid->Val(1, 1));
    EXPECT_EQ(1, P().teachPage.grid->Val(1, 2));
    EXPECT_EQ(10, P().groupHold.holdTable->Val(32, 1));
}

TEST_F(ParaFile, AFileThatCannotBeWrittenIsReportedWithItsPath) {
    const std::string path = dir_ + "/no-such-dir/Parameter.ini";
    SendTo(path);
    const std::string text = user_->LastText("ATTENTION!");
    EXPECT_NE(std::string::npos, text.find(path)) << text;
    EXPECT_NE(std::string::npos, text.find("could not be written")) << text;
    EXPECT_FALSE(std::filesystem::exists(path));

    // A file that cannot be read asks the file-type question.
    user_->Clear();
    user_->Answer(platform::kExistingFileSelected, dir_); // it exists but is no file
    user_->Answer(0);                                     // No
    P().main.get->click();
    ASSERT_EQ(1u, user_->Count(PopupKind::Confirm));
    EXPECT_EQ(kTextNotParameterFile, user_->Records()[1].text);
    EXPECT_EQ(kTextNoParameterRead, user_->LastText("ATTENTION!"));
}

TEST_F(ParaFile, TheDialogStartsInTheRememberedDirectory) {
    const std::string sub = dir_ + "/sets";
    std::filesystem::create_directories(sub);
    SendTo(sub + "/a.ini");
    user_->Clear();
    user_->Answer(platform::kNoFileSelected);
    P().main.get->click();
    EXPECT_EQ(sub, user_->Records()[0].file.directory);
    // A remembered path that is itself a directory (the default of a
    // settings file without the key) starts there, not in its parent.
    app::Paths().parameterFile = sub;
    user_->Clear();
    user_->Answer(platform::kNoFileSelected);
    P().main.get->click();
    EXPECT_EQ(sub, user_->Records()[0].file.directory);
    EXPECT_EQ(0u, Messages("Attention!"));
}

TEST_F(ParaFile, ThePagesFollowTheModelOnlyWhileTheirViewsLive) {
    // Dropped views take their bindings with them: the pages no longer show
    // the model, an edit no longer reaches it, and the buttons do nothing.
    P().paramViews.reset();
    const int average = P().para.average->value();
    app::P().sensor.model.SetValue(kAverage, static_cast<uint16_t>(average + 3));
    EXPECT_EQ(average, P().para.average->value());
    const uint16_t intLim = app::P().sensor.model.Value(kIntLim);
    P().para.intLim->setValue(intLim + 5);
    EXPECT_EQ(intLim, app::P().sensor.model.Value(kIntLim));
    P().main.get->click();
    P().groupHold.resetGroups->click();
    EXPECT_TRUE(user_->Records().empty());
}
