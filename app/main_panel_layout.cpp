// Layout of the main panel: the dark banner strip, the command strip with
// the transfer selectors and SEND, GET, GO, STOP, the nine-page tab control
// in a column on the left and the child display area on the right.
#include "app/main_panel_layout.h"

#include "app/main_window.h"
#include "platform/layout_kit.h"
#include "platform/tab_control.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace app {
namespace {

QRadioButton* Selector(const QString& text, QWidget* parent) {
    auto* r = new QRadioButton(text, parent);
    r->setAutoExclusive(false); // the callbacks keep exactly one selector on
    return r;
}

QPushButton* Command(const QString& text, const QString& key, QWidget* window) {
    auto* b = new QPushButton(text);
    b->setMinimumWidth(64);
    b->setToolTip(QStringLiteral("Shortcut Key: %1").arg(key));
    // A dimmed button's shortcut does nothing.
    auto* shortcut = new QShortcut(QKeySequence(key), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, b, [b] {
        if (b->isEnabled() && b->isVisible()) {
            b->click();
        }
    });
    return b;
}

QFrame* Separator() {
    auto* line = new QFrame();
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

constexpr const char* kPageLabels[kMainPageCount] = {"CONNECTION",  "PARAMETER", "GROUP/HOLD",
                                                     "TEACH TABLE", "RECORDER",  "CALIBRATION",
                                                     "TABLE ATTR.", "SCOPE",     "OFFSET"};

MainWindow* BuildMainPanel(MainPanel* ui) {
    auto* window = new MainWindow();
    window->resize(kMainPanelWidth, kMainPanelHeight);
    ui->window = window;

    auto* root = new QVBoxLayout(window);
    root->setContentsMargins(0, 0, 0, 4);
    root->setSpacing(4);

    // Banner: texts are placed on it by the banner routine at fixed positions.
    auto* banner = new QWidget(window);
    banner->setObjectName("banner");
    banner->setFixedHeight(kBannerHeight);
    banner->setAutoFillBackground(true);
    banner->setStyleSheet("#banner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                          "stop:0 #0b2447, stop:0.6 #19376d, stop:1 #0b2447); }");
    ui->banner = banner;
    auto* bannerLayout = new QHBoxLayout(banner);
    bannerLayout->setContentsMargins(0, 4, 8, 4);
    bannerLayout->addStretch(1);
    ui->logo = new QLabel(banner);
    ui->logo->setScaledContents(false);
    ui->logo->setVisible(false);
    bannerLayout->addWidget(ui->logo);
    root->addWidget(banner);

    // Command strip.
    auto* strip = new QHBoxLayout();
    strip->setContentsMargins(6, 0, 6, 0);
    strip->setSpacing(6);
    ui->set0 = Selector("SET 0", window);
    ui->set1 = Selector("SET 1", window);
    ui->ram = Selector("RAM", window);
    ui->eeprom = Selector("EEPROM", window);
    ui->file = Selector("FILE", window);
    ui->send = Command("SEND", "F9", window);
    ui->get = Command("GET", "F10", window);
    ui->go = Command("GO", "F11", window);
    ui->stop = Command("STOP", "F12", window);
    ctl::MakeCommandButton(ui->go, "#006400");
    ui->stop->setStyleSheet("QPushButton { color: #b00000; font-weight: bold; }");
    strip->addWidget(new QLabel("PARA SET:"));
    strip->addWidget(ui->set0);
    strip->addWidget(ui->set1);
    strip->addWidget(Separator());
    strip->addWidget(new QLabel("TRANSFER:"));
    strip->addWidget(ui->ram);
    strip->addWidget(ui->eeprom);
    strip->addWidget(ui->file);
    strip->addWidget(Separator());
    strip->addStretch(1);
    strip->addWidget(ui->send);
    strip->addWidget(ui->get);
    strip->addSpacing(8);
    strip->addWidget(ui->go);
    strip->addWidget(ui->stop);
    root->addLayout(strip);

    // Tab control on the left, child display area on the right.
    auto* splitter = new QSplitter(Qt::Horizontal, window);
    splitter->setChildrenCollapsible(false);
    ui->tabs = new ctl::TabControl(splitter, 3);
    ui->tabs->setMinimumWidth(kTabColumnWidth);
    for (const char* label : kPageLabels) {
        ui->tabs->AddPage(label);
    }
    ui->childArea = new QStackedWidget(splitter);
    ui->childArea->setMinimumWidth(420);
    splitter->addWidget(ui->tabs);
    splitter->addWidget(ui->childArea);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kTabColumnWidth, kMainPanelWidth - kTabColumnWidth});
    auto* body = new QHBoxLayout();
    body->setContentsMargins(4, 0, 4, 0);
    body->addWidget(splitter);
    root->addLayout(body, 1);
    return window;
}

} // namespace app
