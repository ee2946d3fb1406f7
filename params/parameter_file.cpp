#include "params/parameter_file.h"

#include "params/mode_rules.h"
#include "params/parameter_file_content.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/shell_services.h"

#include <filesystem>
#include <system_error>

namespace params {
namespace {

// A dialog or a read is in progress: a second SEND or GET to the file (a
// shortcut key handled inside the first one's dialog) must not start.
bool gBusy = false;

class BusyGuard {
public:
    BusyGuard() : entered_(!gBusy) { gBusy = true; }
    ~BusyGuard() {
        if (entered_) {
            gBusy = false;
        }
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    bool entered_;
};

// The same dialog for both directions.
platform::FileSelectRequest ParameterFileRequest() {
    platform::FileSelectRequest r;
    r.directory = DialogDirectoryOf(shell::Shell().Paths().parameterFile);
    r.defaultName = "Parameter.ini";
    r.filter = "*.ini";
    r.title = "Parameter";
    r.buttonLabel = "OK";
    r.allowCancel = true;
    r.allowMakeDirectory = true;
    return r;
}

} // namespace

std::string DialogDirectoryOf(const std::string& rememberedPath) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(rememberedPath);
    if (fs::is_directory(p, ec)) {
        return p.string();
    }
    return p.parent_path().string();
}

std::string IniWriteFailureReason(int rc) {
    switch (rc) {
    case ini::kIniErrNotWritable:
        return "The file is write-protected or is not a regular file.";
    case ini::kIniErrCreate:
        return "The directory does not exist or is not writable.";
    case ini::kIniErrWrite:
        return "Writing the file failed (disk full?).";
    case ini::kIniErrReplace:
        return "The new file could not replace the old one.";
    case ini::kIniErrNoMemory:
        return "Not enough memory.";
    default:
        return "Error " + std::to_string(rc) + ".";
    }
}

std::string FileWriteFailureText(const std::string& what, const std::string& path, int rc) {
    return what + " could not be written: \n" + path + "\n" + IniWriteFailureReason(rc) +
           "\nAn existing file keeps its old contents.";
}

void ResetParameterFileState() {
    gBusy = false;
}

void SendParaToFile() {
    BusyGuard guard;
    if (!guard.Entered()) {
        return;
    }
    std::string path;
    if (platform::FileSelectPopup(ParameterFileRequest(), &path) == platform::kNoFileSelected) {
        platform::MessagePopup("ATTENTION!", kTextNoFileSelected);
        return;
    }
    shell::Shell().Paths().parameterFile = path;

    ini::IniStorePtr store = ini::MakeIniStore();
    int rc = store ? PutParameterFileHeader(store.get()) : ini::kIniErrNoMemory;
    if (rc >= 0) {
        rc = AppendParaToIniHandle(store.get(), Model().Block());
    }
    if (rc >= 0) {
        rc = AppendTechVecToIniHandle(store.get(), Model().Table());
    }
    if (rc >= 0) {
        // Written beside the target and renamed over it: a failed write
        // leaves an existing file as it was.
        rc = ini::Ini_WriteToFile(store.get(), path);
    }
    if (rc < 0) {
        platform::MessagePopup("ATTENTION!", FileWriteFailureText("The parameter file", path, rc));
    }
}

void ReadParaFromFile() {
    BusyGuard guard;
    if (!guard.Entered()) {
        return;
    }
    std::string path;
    if (platform::FileSelectPopup(ParameterFileRequest(), &path) !=
        platform::kExistingFileSelected) {
        platform::MessagePopup("ATTENTION!", kTextNoFileSelected);
        return;
    }
    shell::Shell().Paths().parameterFile = path;

    ParameterBlockBytes block = Model().Block();
    TeachTableBytes table = Model().Table();
    {
        ini::IniStorePtr store = ini::MakeIniStore();
        if (store) {
            // A file that cannot be opened or read leaves the identification
            // missing, so the file-type question decides what happens.
            ini::Ini_ReadFromFile(store.get(), path);
        }
        ini::IniStore* s = store.get();
        bool proceed = s != nullptr;
        if (proceed && FileTypeOf(s) != kParameterFileType) {
            proceed = platform::ConfirmPopup("ATTENTION!", kTextNotParameterFile) == 1;
        }
        if (proceed && ScopeVersionOf(s) != kParameterFileVersion) {
            proceed = platform::ConfirmPopup("ATTENTION!", kTextVersionMismatch) == 1;
        }
        if (proceed) {
            const std::string paraReport = AcquireParaFromIniHandle(s, &block);
            if (!paraReport.empty()) {
                platform::MessagePopup("Attention!", paraReport);
            }
            const std::string teachReport = AcquireTechVecFromIniHandle(s, &table);
            if (!teachReport.empty()) {
                platform::MessagePopup("Attention!", teachReport);
            }
        } else {
            platform::MessagePopup("ATTENTION!", kTextNoParameterRead);
        }
    }
    // Read or not, the panels show the set again and the mode rules correct
    // what they cover.
    Model().Replace(block, table);
    ApplyRulesAfterRead();
}

} // namespace params
