// Layout of the calibration page (calibration factors, white and self
// calibration, raw values), the password-protected offset page and the
// password panel that opens it.
#include "calib/calib_ui.h"

#include "platform/layout_kit.h"
#include "platform/widgets.h"

#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace calib {
namespace {

using ctl::Caption;

constexpr int kCfMax = 4096;
constexpr int kCfDefault = 1024;
constexpr int kSetValueDefault = 1000;
constexpr int kMaxDeltaDefault = 2000;
constexpr int kRawMax = 4095;
constexpr int kFieldWidth = 72;

ctl::U16Spin* Field(int minimum, int maximum, int value) {
    auto* s = new ctl::U16Spin(nullptr, minimum, maximum);
    s->SetVal(value);
    s->setAlignment(Qt::AlignRight);
    s->setFixedWidth(kFieldWidth);
    return s;
}

ctl::NumDisplay* Display() {
    auto* d = new ctl::NumDisplay();
    d->setFixedWidth(kFieldWidth);
    d->setFixedHeight(20);
    return d;
}

QGridLayout* FieldGrid() {
    auto* grid = new QGridLayout();
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    return grid;
}

// A titled group; `body` receives the contents.
QGroupBox* Section(const QString& title, QVBoxLayout** body) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 3, 6, 5);
    layout->setSpacing(3);
    *body = layout;
    return box;
}

QHBoxLayout* ButtonRow(QPushButton* a, QPushButton* b) {
    auto* row = new QHBoxLayout();
    row->setSpacing(6);
    row->addWidget(a);
    row->addWidget(b);
    return row;
}

} // namespace

void BuildCalibrationPage(QWidget* page, CalibrationPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    // Calibration factors. The frame around them is also the hidden way to
    // the password panel (its right double click).
    QVBoxLayout* body = nullptr;
    auto* deco = new QFrame(page);
    deco->setFrameShape(QFrame::NoFrame);
    auto* decoLayout = new QVBoxLayout(deco);
    decoLayout->setContentsMargins(0, 0, 0, 0);
    decoLayout->addWidget(Section("CALIBRATION FACTORS", &body));
    ui->decoration = deco;
    auto* cfGrid = FieldGrid();
    for (int c = 0; c < 3; ++c) {
        ui->cf[c] = Field(0, kCfMax, kCfDefault);
        cfGrid->addWidget(Caption(QStringLiteral("CF %1").arg(ctl::kChannelNames[c]), c), c, 0);
        cfGrid->addWidget(ui->cf[c], c, 2);
    }
    body->addLayout(cfGrid);
    ui->sendCF = new QPushButton("SEND CF");
    ui->getCF = new QPushButton("GET CF");
    body->addLayout(ButtonRow(ui->sendCF, ui->getCF));
    root->addWidget(ui->decoration);

    // White calibration on the PC and the sensor's own calibration.
    QGroupBox* white = Section("WHITE CALIBRATION", &body);
    auto* whiteGrid = FieldGrid();
    ui->setValue = Field(0, 65535, kSetValueDefault);
    ui->maxDelta = Field(0, 65535, kMaxDeltaDefault);
    whiteGrid->addWidget(Caption("SETVALUE"), 0, 0);
    whiteGrid->addWidget(ui->setValue, 0, 2);
    whiteGrid->addWidget(Caption("MAXIMUM DELTA"), 1, 0);
    whiteGrid->addWidget(ui->maxDelta, 1, 2);
    body->addLayout(whiteGrid);
    ui->calcCF = new QPushButton("CALC CF");
    ui->selfCalibration = new QPushButton("SELF CALIBRATION");
    body->addLayout(ButtonRow(ui->calcCF, ui->selfCalibration));
    root->addWidget(white);

    // Raw values: a bar and a number per channel, then their spread.
    QGroupBox* raw = Section("RAW DATA", &body);
    auto* rawGrid = FieldGrid();
    rawGrid->setVerticalSpacing(3);
    for (int c = 0; c < 3; ++c) {
        ui->rawBar[c] = ctl::ChannelBar(c, kRawMax, 14);
        ui->raw[c] = Display();
        rawGrid->addWidget(Caption(ctl::kChannelNames[c], c), c, 0);
        rawGrid->addWidget(ui->rawBar[c], c, 1);
        rawGrid->addWidget(ui->raw[c], c, 2);
    }
    ui->rawDelta = Display();
    rawGrid->addWidget(Caption("RAW DELTA"), 3, 0, 1, 2);
    rawGrid->addWidget(ui->rawDelta, 3, 2);
    body->addLayout(rawGrid);
    root->addWidget(raw);
    root->addStretch(1);
}

void BuildOffsetPage(QWidget* page, OffsetPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(4);

    QVBoxLayout* body = nullptr;
    QGroupBox* box = Section("OFFSET COMPENSATION", &body);
    auto* grid = FieldGrid();
    for (int c = 0; c < 3; ++c) {
        ui->offset[c] = Field(0, 65535, 0);
        grid->addWidget(Caption(QStringLiteral("OFFSET %1").arg(ctl::kChannelNames[c]), c), c, 0);
        grid->addWidget(ui->offset[c], c, 2);
    }
    body->addLayout(grid);
    ui->send = new QPushButton("SEND OFFSET");
    ui->get = new QPushButton("GET OFFSET");
    body->addLayout(ButtonRow(ui->send, ui->get));
    ui->calc = new QPushButton("CALC OFFSET");
    body->addWidget(ui->calc);
    root->addWidget(box);

    auto* closeRow = new QHBoxLayout();
    closeRow->addStretch(1);
    ui->close = new QPushButton("CLOSE");
    ui->close->setMinimumWidth(80);
    closeRow->addWidget(ui->close);
    root->addLayout(closeRow);
    root->addStretch(1);
}

void BuildPasswordPanel(QDialog* panel, PasswordPanel* ui) {
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(new QLabel("PASSWORD:"));
    // The password is checked on Enter only (not when the field loses the
    // focus); what is typed shows as asterisks.
    auto* field = new QLineEdit(panel);
    field->setMaxLength(20);
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet("QLineEdit { lineedit-password-character: 42; }");
    field->setMinimumWidth(160);
    ui->password = field;
    layout->addWidget(field, 1);
    panel->setFixedSize(panel->sizeHint().expandedTo(QSize(280, 0)));
}

} // namespace calib
