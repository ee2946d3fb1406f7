// The popup windows on Qt Widgets, installed by InitRuntime.
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

#include <string>
#include <vector>

namespace platform {
namespace {

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

void Message(const std::string& title, const std::string& text) {
    if (!HaveGui()) {
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, Q(title), Q(text), QMessageBox::Ok, ParentWindow());
    box.exec();
}

int Confirm(const std::string& title, const std::string& text) {
    if (!HaveGui()) {
        return 0;
    }
    QMessageBox box(QMessageBox::Question, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                    ParentWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? 1 : 0;
}

int Generic(const std::string& title, const std::string& text,
            const std::vector<std::string>& labels) {
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

int Prompt(const std::string& title, const std::string& message, std::string* response,
           int maxLength) {
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

int FileSelect(const FileSelectRequest& request, std::string* path) {
    if (!HaveGui()) {
        return kNoFileSelected;
    }
    QFileDialog dialog(ParentWindow(), Q(request.title), Q(request.directory));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setFileMode(request.existingOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
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

int Color(const std::string& title, uint32_t initial, uint32_t* colour) {
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

const PopupWindows kWindows = {Message, Confirm, Generic, Prompt, FileSelect, Color};

} // namespace

const PopupWindows* PopupWindowFunctions() {
    return &kWindows;
}

} // namespace platform
