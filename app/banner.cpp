// The banner of the main panel: program title, maker and contact lines, logo.
#include "app/panels.h"
#include "app/shell.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

namespace app {

QWidget* ShowInfoText(const std::string& text, const std::string& toolTip, int left, int top,
                      int pointSize) {
    QWidget* banner = P().main.banner;
    if (banner == nullptr) {
        return nullptr;
    }
    auto* label = new QLabel(QString::fromStdString(text), banner);
    QFont f = label->font();
    f.setPixelSize(pointSize + 2); // the banner is laid out in pixels
    label->setFont(f);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet("QLabel { color: white; background: transparent; }");
    if (!toolTip.empty()) {
        label->setToolTip(QString::fromStdString(toolTip));
    }
    label->adjustSize();
    label->move(left, top);
    label->show();
    return label;
}

void ShowLogo() {
    ShowInfoText(kProgramTitle, "CHROMIK3 Scope V4.3.1", 323, 29, 19);
    ShowInfoText("Korvath", "", 15, 6, 11);
    ShowInfoText("Tel. +49 (0)7000 555 01 90", "", 15, 22, 11);
    ShowInfoText("www.korvath-sensorik.example", "", 15, 36, 11);
    // The logo is optional: a missing or unreadable picture leaves it empty.
    QLabel* logo = P().main.logo;
    if (logo == nullptr) {
        return;
    }
    QPixmap picture;
    if (QFile::exists("logoKV.bmp") && picture.load("logoKV.bmp")) {
        logo->setPixmap(picture.scaledToHeight(55, Qt::SmoothTransformation));
    }
    logo->setVisible(true);
}

} // namespace app
