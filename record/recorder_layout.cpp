// Layout of the recorder page: the record mode, one row per setting or
// display (each row a widget of its own, so that the mode can hide the rows
// it does not use), the record commands, the record file and the sensor
// identification. The initial state is the one of mode 0 (timed recording of
// a fixed count).
#include "record/recorder_ui.h"

#include "platform/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace record {
namespace {

constexpr double kMaxInterval = 86400.0; // one day between two records
constexpr int kInitialCount = 100;

// Width of the captions of all rows, so the controls form one column.
constexpr int kCaptionWidth = 96;

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setFixedWidth(kCaptionWidth);
    return l;
}

QLabel* SmallCaption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setPointSize(7);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// A row: caption, the control, space on the right.
QWidget* Row(const QString& caption, QWidget* control, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    h->addWidget(Caption(caption, row));
    control->setParent(row);
    h->addWidget(control);
    h->addStretch(1);
    return row;
}

ctl::NumDisplay* Display(QWidget* parent, int decimals, int width) {
    auto* d = new ctl::NumDisplay(parent, decimals);
    d->setMinimumWidth(width);
    return d;
}

// Record time: days, hours, minutes, seconds, each with a small caption.
QWidget* RecordTimeRow(RecorderPage* ui, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* g = new QGridLayout(row);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(0);
    auto* caption = Caption("RECORD TIME", row);
    g->addWidget(caption, 1, 0);
    g->setColumnMinimumWidth(0, kCaptionWidth + 2);
    ui->days = Display(row, 0, 34);
    ui->hours = Display(row, 0, 34);
    ui->minutes = Display(row, 0, 34);
    ui->seconds = Display(row, 2, 48);
    const struct {
        ctl::NumDisplay* display;
        const char* caption;
    } parts[] = {
        {ui->days, "DAYS"}, {ui->hours, "HOURS"}, {ui->minutes, "MIN."}, {ui->seconds, "SEC."}};
    int column = 1;
    for (const auto& p : parts) {
        g->addWidget(SmallCaption(p.caption, row), 0, column);
        g->addWidget(p.display, 1, column);
        ++column;
    }
    g->setColumnStretch(column, 1);
    return row;
}

QPushButton* Command(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

constexpr ctl::Rgb kStartButtonColour = 0xE0E0E0; // light grey
constexpr ctl::Rgb kRecordingColour = 0xFF0000;

} // namespace

void ColourStartButton(QPushButton* button, bool recording) {
    QPalette p = button->palette();
    p.setColor(QPalette::Button, ctl::ToQColor(recording ? kRecordingColour : kStartButtonColour));
    button->setPalette(p);
}

void BuildRecorderPage(QWidget* page, RecorderPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);

    // Record mode and its settings and displays.
    auto* settings = new QGroupBox("RECORD", page);
    auto* rows = new QVBoxLayout(settings);
    rows->setContentsMargins(6, 4, 6, 6);
    rows->setSpacing(4);

    ui->mode = new ctl::Ring(settings);
    ui->mode->AddItem("TIMED, FIXED COUNT", 0);
    ui->mode->AddItem("TIMED, ENDLESS", 1);
    ui->mode->AddItem("MANUAL", 2);
    ui->mode->AddItem("TRIGGERED", 3);
    ui->mode->SetVal(0);
    auto* modeRow = new QHBoxLayout();
    modeRow->setSpacing(6);
    modeRow->addWidget(Caption("RECORD MODE", settings));
    modeRow->addWidget(ui->mode, 1);
    rows->addLayout(modeRow);

    // The box takes intervals below the recorder's minimum, so that one
    // typed reaches CalcRecTime, which raises it to the minimum; a box whose
    // own minimum refused it would put the previous interval back instead.
    ui->interval = new ctl::DSpin(settings, 0, kMaxInterval, 2);
    ui->interval->SetVal(1.0);
    ui->interval->setSingleStep(0.25);
    ui->interval->setAlignment(Qt::AlignRight);
    ui->interval->setMinimumWidth(80);
    ui->intervalRow = Row("INTERVAL [s]", ui->interval, settings);
    rows->addWidget(ui->intervalRow);

    // At least one frame: a timed recording of no frames has nothing to stop it.
    ui->count = new ctl::U16Spin(settings, 1);
    ui->count->SetVal(kInitialCount);
    ui->count->setAlignment(Qt::AlignRight);
    ui->count->setMinimumWidth(80);
    ui->countRow = Row("VALUES", ui->count, settings);
    rows->addWidget(ui->countRow);

    ui->recordTimeRow = RecordTimeRow(ui, settings);
    rows->addWidget(ui->recordTimeRow);

    ui->recorded = Display(settings, 0, 80);
    ui->recordedRow = Row("RECORDED", ui->recorded, settings);
    rows->addWidget(ui->recordedRow);

    ui->remaining = Display(settings, 0, 80);
    ui->remainingRow = Row("REMAINING", ui->remaining, settings);
    rows->addWidget(ui->remainingRow);

    ui->runCounter = Display(settings, 0, 80);
    ui->runCounterRow = Row("RUN COUNTER", ui->runCounter, settings);
    rows->addWidget(ui->runCounterRow);
    root->addWidget(settings);

    // The record time and remaining count that the settings above give.
    ui->remaining->SetVal(kInitialCount);
    ui->minutes->SetVal(1);
    ui->seconds->SetVal(40);

    // Commands. Each mode shows one start button beside STOP RECORD (manual
    // recording shows its button alone), so they share one row.
    auto* commands = new QHBoxLayout();
    commands->setSpacing(6);
    ui->startRecord = Command("START RECORD", page);
    ui->startTrigRec = Command("START TRIG REC", page);
    ui->manualRecord = Command("MANUAL RECORD", page);
    ui->stopRecord = Command("STOP RECORD", page);
    for (QPushButton* b : {ui->startRecord, ui->startTrigRec, ui->manualRecord, ui->stopRecord}) {
        commands->addWidget(b, 1);
    }
    ColourStartButton(ui->startRecord, false);
    ColourStartButton(ui->startTrigRec, false);
    root->addLayout(commands);

    // Record file, and the sensor identification that its header carries.
    auto* file = new QGroupBox("RECORD FILE", page);
    auto* fileRows = new QVBoxLayout(file);
    fileRows->setContentsMargins(6, 4, 6, 6);
    fileRows->setSpacing(4);
    auto* pathRow = new QHBoxLayout();
    pathRow->setSpacing(4);
    ui->filePath = new QLineEdit(file);
    ui->filePath->setReadOnly(true);
    ui->filePath->setPlaceholderText("no record file selected");
    ui->selectFile = Command("...", file);
    ui->selectFile->setFixedWidth(32);
    pathRow->addWidget(ui->filePath, 1);
    pathRow->addWidget(ui->selectFile);
    fileRows->addLayout(pathRow);

    auto* idRow = new QHBoxLayout();
    idRow->setSpacing(6);
    idRow->addWidget(Caption("SENSOR ID", file));
    ui->id = new QLabel(file);
    ui->id->setFrameShape(QFrame::Panel);
    ui->id->setFrameShadow(QFrame::Sunken);
    ui->id->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui->id->setMinimumHeight(22);
    ui->id->setWordWrap(true); // a long identification wraps instead of widening the page
    idRow->addWidget(ui->id, 1);
    fileRows->addLayout(idRow);

    // The viewer, on a row of its own below the others so none of them moves.
    auto* viewRow = new QHBoxLayout();
    ui->viewRecord = Command("VIEW RECORD...", file);
    viewRow->addWidget(ui->viewRecord);
    viewRow->addStretch(1);
    fileRows->addLayout(viewRow);
    root->addWidget(file);
    root->addStretch(1);

    // Mode 0 neither counts runs nor records by hand or on trigger.
    ui->runCounterRow->setVisible(false);
    ui->manualRecord->setVisible(false);
    ui->startTrigRec->setVisible(false);
}

} // namespace record
