#include "tests/faults/matrix_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace faults {

MatrixUser::MatrixUser(std::string directory) : directory_(std::move(directory)) {
    platform::SetPopupHook([this](const platform::PopupRecord& r) {
        records_.push_back(r);
        platform::PopupAnswer a;
        switch (r.kind) {
        case platform::PopupKind::Confirm:
            a.result = 1;
            break;
        case platform::PopupKind::Generic:
            a.result = 1;
            for (size_t i = 0; i < r.buttons.size(); ++i) {
                if (r.buttons[i] == "OFFLINE") {
                    a.result = static_cast<int>(i) + 1;
                }
            }
            break;
        case platform::PopupKind::FileSelect:
            a.result = platform::kNewFileSelected;
            a.text = directory_ + "/" + r.file.defaultName;
            break;
        default:
            break;
        }
        return a;
    });
}

MatrixUser::~MatrixUser() {
    platform::SetPopupHook(nullptr);
}

size_t MatrixUser::Count(platform::PopupKind kind) const {
    size_t n = 0;
    for (const platform::PopupRecord& r : records_) {
        n += r.kind == kind ? 1 : 0;
    }
    return n;
}

bool MatrixUser::Saw(const std::string& title, const std::string& text) const {
    for (const platform::PopupRecord& r : records_) {
        if (r.title == title && r.text == text) {
            return true;
        }
    }
    return false;
}

HangWatch::HangWatch(std::string cell, double seconds) {
    thread_ = std::thread([this, cell = std::move(cell), seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!done_.wait_for(lock, std::chrono::duration<double>(seconds),
                            [this] { return finished_; })) {
            std::fprintf(stderr, "fault matrix: cell %s still running after %.0f s: hang\n",
                         cell.c_str(), seconds);
            std::fflush(stderr);
            std::abort();
        }
    });
}

HangWatch::~HangWatch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

} // namespace faults
