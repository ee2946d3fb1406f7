// Every file the program writes, saved through its own controls while a
// step of the write fails as on a full disk (ENOSPC while writing), in a
// read-only directory (EROFS when the file is created) or when the finished
// file cannot replace the old one (EIO at the rename): the user is told,
// nothing is announced as saved, the old file keeps every byte and no
// temporary file is left. The same save without the fault then works.
#include "app/panels.h"
#include "inifile/file_write_hook.h"
#include "inifile/ini_store.h"
#include "params/parameter_file.h"
#include "platform/widgets.h"
#include "tests/app/app_fixture.h"
#include "tests/reliability/save_flows.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <cerrno>
#include <cstring>

using app::P;
using filewrite::Step;
using reliability::FileKind;
using reliability::KindInfo;

namespace {

// Fails `step` of every write of `target` with `error` while it lives, and
// counts how often it did.
class FailStep {
public:
    FailStep(Step step, int error, const std::string& target) {
        filewrite::SetHook([this, step, error, target](Step s, const std::string& t) {
            if (s != step || t != target) {
                return 0;
            }
            ++hits_;
            return error;
        });
    }
    ~FailStep() { filewrite::SetHook({}); }
    FailStep(const FailStep&) = delete;
    FailStep& operator=(const FailStep&) = delete;
    int Hits() const { return hits_; }

private:
    int hits_ = 0;
};

struct Fault {
    const char* name;
    Step step;
    int error;
    int iniResult; // what the INI store returns for it
};

const Fault kDiskFull{"disk full", Step::Write, ENOSPC, ini::kIniErrWrite};
const Fault kReadOnly{"read-only directory", Step::Create, EROFS, ini::kIniErrCreate};
const Fault kNoReplace{"rename fails", Step::Replace, EIO, ini::kIniErrReplace};

class FileFaults : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        StartSensor();
        WriteSettingsText(reliability::OldContent(FileKind::Settings, sensor_->TcpPort()));
        StartProgram();
        ASSERT_EQ(1, app::P().sensor.link.LinkOk);
        ASSERT_TRUE(P().connect.hwInfo->isEnabled());
    }

    // The reason the report must give for `fault` on a file of `kind`.
    static std::string ExpectedReason(const KindInfo& kind, const Fault& fault) {
        const bool record =
            kind.kind == FileKind::RecordHeader || kind.kind == FileKind::RecordLine;
        return record ? std::strerror(fault.error) : params::IniWriteFailureReason(fault.iniResult);
    }

    // Saves a file of `kind` over an old one while `fault` hits; then once
    // more without it.
    void ExpectOldFileKept(const KindInfo& kind, const Fault& fault) {
        SCOPED_TRACE(std::string(kind.name) + ", " + fault.name);
        const std::string path = reliability::TargetPath(kind, dir_);
        const std::string old = reliability::OldContent(kind.kind, sensor_->TcpPort());
        reliability::WriteBytes(path, old);
        user_->Clear();
        P().connect.messages->clear();
        {
            FailStep failing(fault.step, fault.error, path);
            reliability::RunSave(kind, path, *user_);
            ASSERT_GT(failing.Hits(), 0) << "the save never reached the failing step";
        }
        const std::string report = reliability::FailureReport(kind, path, *user_);
        EXPECT_FALSE(report.empty()) << "no message names " << path;
        EXPECT_NE(std::string::npos, report.find(ExpectedReason(kind, fault))) << report;
        EXPECT_FALSE(reliability::AnnouncedAsSaved(kind, path));
        EXPECT_EQ(old, reliability::ReadBytes(path));
        EXPECT_TRUE(reliability::TemporaryFiles(dir_).empty());

        // Without the fault the same save goes through, so the check above
        // was not passed by a save that never ran.
        user_->Clear();
        P().connect.messages->clear();
        reliability::RunSave(kind, path, *user_);
        EXPECT_EQ("", reliability::FailureReport(kind, path, *user_));
        const std::string now = reliability::ReadBytes(path);
        EXPECT_NE(old, now);
        if (kind.kind == FileKind::RecordLine) {
            EXPECT_EQ(0u, now.find(old)); // appended to
        }
        EXPECT_TRUE(reliability::TemporaryFiles(dir_).empty());
    }
};

} // namespace

TEST_F(FileFaults, ADiskFullWhileWritingKeepsEveryOldFile) {
    for (const KindInfo& kind : reliability::AllKinds()) {
        ExpectOldFileKept(kind, kDiskFull);
    }
}

TEST_F(FileFaults, AReadOnlyDirectoryKeepsEveryOldFile) {
    for (const KindInfo& kind : reliability::AllKinds()) {
        ExpectOldFileKept(kind, kReadOnly);
    }
}

TEST_F(FileFaults, ANewFileThatCannotReplaceTheOldOneKeepsTheOldOne) {
    for (const KindInfo& kind : reliability::AllKinds()) {
        if (kind.replaced) {
            ExpectOldFileKept(kind, kNoReplace);
        }
    }
}

TEST_F(FileFaults, SettingsThatCannotBeSavedAtCloseAreReportedAndTheOldOnesStillConnect) {
    const std::string path = dir_ + "/PanelSettings.cfg";
    const std::string old = ReadSettingsText();
    P().connect.id->setText("NEW LINE 9");
    {
        FailStep failing(Step::Write, ENOSPC, path);
        CloseProgram();
        ASSERT_EQ(1, failing.Hits());
    }
    const std::string report = user_->LastText("ATTENTION!");
    EXPECT_EQ(0u, report.find("The panel settings could not be written: \n" + path + "\n"))
        << report;
    EXPECT_NE(std::string::npos, report.find("disk full")) << report;
    EXPECT_EQ(old, ReadSettingsText());
    EXPECT_TRUE(reliability::TemporaryFiles(dir_).empty());

    // The next start finds the old settings whole: it connects and shows the old ID.
    user_->Clear();
    platform::ResetQuitRequest();
    StartProgram();
    EXPECT_EQ(1, app::P().sensor.link.LinkOk);
    EXPECT_EQ("OLD LINE 7", P().connect.id->text().toStdString());
}
