// Popups: the test hook, the scripted user and the way to the windows that
// show them (platform/popup_windows.cpp, with Qt Widgets).
#include "platform/popups.h"

#include <QFileInfo>
#include <QString>

#include <stdexcept>
#include <string>

namespace platform {
namespace {

PopupHook gHook;

const PopupWindows* gWindows = nullptr;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

void SetPopupHook(PopupHook hook) {
    gHook = std::move(hook);
}

void SetPopupWindows(const PopupWindows* windows) {
    gWindows = windows;
}

void MessagePopup(const std::string& title, const std::string& text) {
    if (gHook) {
        gHook(PopupRecord{PopupKind::Message, title, text, {}, {}});
        return;
    }
    if (gWindows != nullptr) {
        gWindows->message(title, text);
    }
}

int ConfirmPopup(const std::string& title, const std::string& text) {
    if (gHook) {
        return gHook(PopupRecord{PopupKind::Confirm, title, text, {}, {}}).result == 1 ? 1 : 0;
    }
    if (gWindows == nullptr) {
        return 0;
    }
    return gWindows->confirm(title, text);
}

int GenericMessagePopup(const std::string& title, const std::string& text,
                        const std::string& button1, const std::string& button2,
                        const std::string& button3) {
    std::vector<std::string> labels = {button1, button2};
    if (!button3.empty()) {
        labels.push_back(button3);
    }
    if (gHook) {
        const int r = gHook(PopupRecord{PopupKind::Generic, title, text, labels, {}}).result;
        return (r >= 1 && r <= static_cast<int>(labels.size())) ? r : 1;
    }
    if (gWindows == nullptr) {
        return 1;
    }
    return gWindows->generic(title, text, labels);
}

int PromptPopup(const std::string& title, const std::string& message, std::string* response,
                int maxLength) {
    if (gHook) {
        const PopupAnswer a = gHook(PopupRecord{PopupKind::Prompt, title, message, {}, {}});
        if (a.result != 1) {
            return 0;
        }
        *response = maxLength >= 0 ? a.text.substr(0, static_cast<size_t>(maxLength)) : a.text;
        return 1;
    }
    if (gWindows == nullptr) {
        return 0;
    }
    return gWindows->prompt(title, message, response, maxLength);
}

int FileSelectPopup(const FileSelectRequest& request, std::string* path) {
    if (gHook) {
        PopupRecord record{PopupKind::FileSelect, request.title, request.defaultName, {}, request};
        const PopupAnswer a = gHook(record);
        if (a.result == kNoFileSelected || a.text.empty()) {
            return kNoFileSelected;
        }
        const bool exists = QFileInfo::exists(Q(a.text));
        if (request.existingOnly && !exists) {
            return kNoFileSelected; // the dialog takes no such name
        }
        *path = a.text;
        return exists ? kExistingFileSelected : kNewFileSelected;
    }
    if (gWindows == nullptr) {
        return kNoFileSelected;
    }
    return gWindows->fileSelect(request, path);
}

int ColorPopup(const std::string& title, uint32_t initial, uint32_t* colour) {
    if (gHook) {
        const PopupAnswer a = gHook(
            PopupRecord{PopupKind::Color, title, std::to_string(initial & 0xFFFFFFu), {}, {}});
        if (a.result != 1) {
            return 0;
        }
        try {
            size_t used = 0;
            const unsigned long v = std::stoul(a.text, &used, 0);
            if (used != a.text.size() || v > 0xFFFFFFul) {
                return 0;
            }
            *colour = static_cast<uint32_t>(v);
        } catch (const std::exception&) {
            return 0;
        }
        return 1;
    }
    if (gWindows == nullptr) {
        return 0;
    }
    return gWindows->color(title, initial, colour);
}

ScriptedPopups::ScriptedPopups() {
    SetPopupHook([this](const PopupRecord& record) {
        records_.push_back(record);
        if (!queue_.empty()) {
            PopupAnswer a = queue_.front();
            queue_.erase(queue_.begin());
            return a;
        }
        switch (record.kind) {
        case PopupKind::Confirm:
        case PopupKind::Generic:
            return PopupAnswer{1, {}};
        default:
            return PopupAnswer{0, {}};
        }
    });
}

ScriptedPopups::~ScriptedPopups() {
    SetPopupHook(nullptr);
}

void ScriptedPopups::Answer(int result, std::string text) {
    queue_.push_back(PopupAnswer{result, std::move(text)});
}

size_t ScriptedPopups::Count(PopupKind kind) const {
    size_t n = 0;
    for (const PopupRecord& r : records_) {
        n += r.kind == kind ? 1 : 0;
    }
    return n;
}

std::string ScriptedPopups::LastText(const std::string& title) const {
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        if (it->title == title) {
            return it->text;
        }
    }
    return {};
}

} // namespace platform
