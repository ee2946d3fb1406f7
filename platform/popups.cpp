#include "platform/popups.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <stdexcept>
#include <string>

namespace platform {
namespace {

PopupHook gHook;

QWidget* ParentWindow() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return nullptr;
    }
    return QApplication::activeWindow();
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

bool HaveGui() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

void SetPopupHook(PopupHook hook) {
    gHook = std::move(hook);
}

void MessagePopup(const std::string& title, const std::string& text) {
    if (gHook) {
        gHook(PopupRecord{PopupKind::Message, title, text, {}, {}});
        return;
    }
    if (!HaveGui()) {
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Ok, ParentWindow());
    box.exec();
}

int ConfirmPopup(const std::string& title, const std::string& text) {
    if (gHook) {
        return gHook(PopupRecord{PopupKind::Confirm, title, text, {}, {}}).result == 1 ? 1 : 0;
    }
    if (!HaveGui()) {
        return 0;
    }
    QMessageBox box(QMessageBox::Question, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                    ParentWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? 1 : 0;
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
    if (!HaveGui()) {
        return 1;
    }
    QMessageBox box(QMessageBox::Warning, Q(title), Q(text), QMessageBox::NoButton, ParentWindow());
    std::vector<QPushButton*> buttons;
    for (const std::string& label : labels) {
        buttons.push_back(box.addButton(Q(label), QMessageBox::ActionRole));
    }
    box.setDefaultButton(buttons.front());
    box.setEscapeButton(buttons.front());
    buttons.front()->setFocus();
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return static_cast<int>(i) + 1;
        }
    }
    return 1;
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
    if (!HaveGui()) {
        return 0;
    }
    QInputDialog dialog(ParentWindow());
    dialog.setWindowTitle(Q(title));
    dialog.setLabelText(Q(message));
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(maxLength);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return 0;
    }
    *response = dialog.textValue().left(maxLength).toStdString();
    return 1;
}

int FileSelectPopup(const FileSelectRequest& request, std::string* path) {
    if (gHook) {
        PopupRecord record{PopupKind::FileSelect, request.title, request.defaultName, {}, request};
        const PopupAnswer a = gHook(record);
        if (a.result == kNoFileSelected || a.text.empty()) {
            return kNoFileSelected;
        }
        *path = a.text;
        return QFileInfo::exists(Q(a.text)) ? kExistingFileSelected : kNewFileSelected;
    }
    if (!HaveGui()) {
        return kNoFileSelected;
    }
    QFileDialog dialog(ParentWindow(), Q(request.title), Q(request.directory));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!request.filter.empty()) {
        dialog.setNameFilters({Q(request.filter), QStringLiteral("*")});
    }
    if (!request.buttonLabel.empty()) {
        dialog.setLabelText(QFileDialog::Accept, Q(request.buttonLabel));
    }
    if (!request.defaultName.empty()) {
        dialog.selectFile(Q(request.defaultName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return kNoFileSelected;
    }
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().front());
    if (QFileInfo(chosen).isDir()) {
        return kNoFileSelected;
    }
    *path = chosen.toStdString();
    return QFileInfo::exists(chosen) ? kExistingFileSelected : kNewFileSelected;
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
    if (!HaveGui()) {
        return 0;
    }
    const QColor start((initial >> 16) & 0xFF, (initial >> 8) & 0xFF, initial & 0xFF);
    const QColor c =
        QColorDialog::getColor(start, ParentWindow(), Q(title), QColorDialog::DontUseNativeDialog);
    if (!c.isValid()) {
        return 0;
    }
    *colour = (static_cast<uint32_t>(c.red()) << 16) | (static_cast<uint32_t>(c.green()) << 8) |
              static_cast<uint32_t>(c.blue());
    return 1;
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
