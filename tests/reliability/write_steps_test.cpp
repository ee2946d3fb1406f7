// The two writers of the core library, the INI store and the record file,
// with each step of a write failing through the file-write hook: the
// result says so, the old file keeps every byte and nothing is left beside
// it, also when the failure comes after part of a large file is written.
#include "inifile/file_write_hook.h"
#include "inifile/ini_store.h"
#include "record/record_file.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using filewrite::Step;

namespace {

class WriteSteps : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = fs::temp_directory_path() /
               ("c3-steps-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        filewrite::SetHook({});
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Fails the `nth` call (1 = first) of `step` with `error`; counts the calls.
    void FailAt(Step step, int nth, int error) {
        calls_ = 0;
        filewrite::SetHook([this, step, nth, error](Step s, const std::string&) {
            return s == step && ++calls_ == nth ? error : 0;
        });
    }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    size_t FilesInDir() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
    int calls_ = 0;
};

} // namespace

TEST_F(WriteSteps, TheIniStoreKeepsTheOldFileWhicheverStepFails) {
    // Larger than the store's 16 KB output buffer: written in several calls.
    ini::IniStorePtr store = ini::MakeIniStore();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(0, ini::Ini_PutInt(store.get(), "PARAMETER", "KEY " + std::to_string(i), i));
    }
    const std::string path = Path("p.ini");
    const struct {
        Step step;
        int nth;
        int error;
        int result;
    } cases[] = {{Step::Create, 1, EROFS, ini::kIniErrCreate},
                 {Step::Write, 1, ENOSPC, ini::kIniErrWrite},
                 {Step::Write, 2, ENOSPC, ini::kIniErrWrite}, // part of the file written
                 {Step::Replace, 1, EIO, ini::kIniErrReplace}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step) * 10 + c.nth);
        testfiles::WriteBytes(path, "old\r\n");
        FailAt(c.step, c.nth, c.error);
        EXPECT_EQ(c.result, ini::Ini_WriteToFile(store.get(), path));
        EXPECT_EQ(c.nth, calls_);
        EXPECT_EQ("old\r\n", testfiles::ReadBytes(path));
        EXPECT_EQ(1u, FilesInDir());
    }
    filewrite::SetHook({});
    ASSERT_EQ(0, ini::Ini_WriteToFile(store.get(), path));
    EXPECT_NE(std::string::npos, testfiles::ReadBytes(path).find("KEY 1999 = 1999\r\n"));
    EXPECT_EQ(1u, FilesInDir());
}

TEST_F(WriteSteps, TheRecordFileKeepsItsLinesWhicheverStepFails) {
    const std::string path = Path("RecordFile.dat");
    const std::string old = "HEADER\r\nline 1\r\n";
    const struct {
        Step step;
        int error;
        const char* reason;
    } starts[] = {{Step::Create, EROFS, "cannot create the file: Read-only file system"},
                  {Step::Write, ENOSPC, "cannot write the file: No space left on device"},
                  {Step::Replace, EIO, "cannot replace the file: Input/output error"}};
    for (const auto& c : starts) {
        SCOPED_TRACE(static_cast<int>(c.step));
        testfiles::WriteBytes(path, old);
        FailAt(c.step, 1, c.error);
        std::string error;
        EXPECT_FALSE(record::StartRecordFile(path, "NEW HEADER\r\n", &error));
        EXPECT_EQ(c.reason, error);
        EXPECT_EQ(old, testfiles::ReadBytes(path));
        EXPECT_EQ(1u, FilesInDir());
    }
    const struct {
        Step step;
        int error;
        const char* reason;
    } appends[] = {{Step::Create, EROFS, "cannot open the file: Read-only file system"},
                   {Step::Write, ENOSPC, "cannot write the file: No space left on device"}};
    for (const auto& c : appends) {
        SCOPED_TRACE(static_cast<int>(c.step));
        FailAt(c.step, 1, c.error);
        std::string error;
        EXPECT_FALSE(record::AppendRecordLine(path, "line 2\r\n", &error));
        EXPECT_EQ(c.reason, error);
        EXPECT_EQ(old, testfiles::ReadBytes(path));
    }
    filewrite::SetHook({});
    std::string error;
    ASSERT_TRUE(record::AppendRecordLine(path, "line 2\r\n", &error)) << error;
    EXPECT_EQ(old + "line 2\r\n", testfiles::ReadBytes(path));
}
