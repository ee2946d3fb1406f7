#include "params/parameter_file.h"

#include "params/mode_rules.h"
#include "params/parameter_file_io.h"
#include "params/parameter_model.h"
#include "platform/popups.h"
#include "platform/shell_services.h"

#include <filesystem>
#include <system_error>

namespace params {
namespace {

class BusyGuard {
public:
    explicit BusyGuard(bool& busy) : busy_(busy), entered_(!busy) { busy_ = true; }
    ~BusyGuard() {
        if (entered_) {
            busy_ = false;
        }
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    bool Entered() const { return entered_; }

private:
    bool& busy_;
    bool entered_;
};

// The same dialog for both directions.
platform::FileSelectRequest ParameterFileRequest() {
    const std::string& last = shell::Shell().Paths().parameterFile;
    shell::Shell().PrepareFolderOf(last);
    platform::FileSelectRequest r;
    r.directory = DialogDirectoryOf(last);
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

void ParameterFileCommands::SendParaToFile() {
    BusyGuard guard(busy_);
    if (!guard.Entered()) {
        return;
    }
    std::string path;
    if (platform::FileSelectPopup(ParameterFileRequest(), &path) == platform::kNoFileSelected) {
        platform::MessagePopup("ATTENTION!", kTextNoFileSelected);
        return;
    }
    shell::Shell().Paths().parameterFile = path;

    // Written beside the target and renamed over it: a failed write leaves
    // an existing file as it was.
    const int rc = WriteParameterFile(path, model_.Block(), model_.Table());
    if (rc < 0) {
        platform::MessagePopup("ATTENTION!", FileWriteFailureText("The parameter file", path, rc));
    }
}

void ParameterFileCommands::ReadParaFromFile() {
    BusyGuard guard(busy_);
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

    ParameterBlockBytes block = model_.Block();
    TeachTableBytes table = model_.Table();
    const ParameterFileRead file = ReadParameterFile(path, block, table);
    bool proceed = file.storeMade;
    if (proceed && !file.isParameterFile) {
        proceed = platform::ConfirmPopup("ATTENTION!", kTextNotParameterFile) == 1;
    }
    if (proceed && !file.versionMatches) {
        proceed = platform::ConfirmPopup("ATTENTION!", kTextVersionMismatch) == 1;
    }
    if (proceed) {
        block = file.block;
        table = file.table;
        if (!file.paraReport.empty()) {
            platform::MessagePopup("Attention!", file.paraReport);
        }
        if (!file.teachReport.empty()) {
            platform::MessagePopup("Attention!", file.teachReport);
        }
    } else {
        platform::MessagePopup("ATTENTION!", kTextNoParameterRead);
    }
    // Read or not, the panels show the set again and the mode rules correct
    // what they cover.
    model_.Replace(block, table);
    rules_.ApplyRulesAfterRead();
}

} // namespace params
