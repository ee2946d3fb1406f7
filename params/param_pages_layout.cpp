// Layout of the parameter page (the scalar sensor settings, grouped by the
// part of the sensor they set) and of the group/hold page (colour-group
// switch, group table and hold table with their reset controls). The
// initial values are the parameter file defaults, so that a program that
// starts without a sensor holds a sound parameter set.
#include "params/param_pages_ui.h"

#include "platform/widgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace params {
namespace {

constexpr int kPowerMax = 1000;
constexpr int kIntegralMax = 250;
constexpr int kTeachRowCount = 31;
constexpr int kHoldRowCount = kTeachRowCount + 1; // row 1 is the fail state
constexpr int kMinColumnWidth = 36;               // of the six field columns

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

// A caption shown above its control; it is dimmed together with the control,
// so the settings that the current modes do not use read as inactive.
class CaptionFollower : public QObject {
public:
    CaptionFollower(QWidget* control, QLabel* caption) : QObject(control), caption_(caption) {
        control->installEventFilter(this);
        caption->setEnabled(control->isEnabled());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::EnabledChange) {
            caption_->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        }
        return false;
    }

private:
    QLabel* caption_;
};

// A group box whose fields sit on a six-column grid, each with its caption
// above it: two fields to a row span three columns each, three span two.
// Every group uses the same grid, so the fields line up down the page.
struct FieldGrid {
    QGroupBox* box;
    QGridLayout* grid;

    FieldGrid(const QString& title, QWidget* parent)
        : box(new QGroupBox(title, parent)), grid(new QGridLayout(box)) {
        grid->setContentsMargins(4, 0, 4, 4);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(1);
        for (int c = 0; c < 6; ++c) {
            grid->setColumnStretch(c, 1);
        }
    }

    void Add(int row, int column, int span, const QString& caption, QWidget* control) {
        auto* label = new QLabel(caption, box);
        QFont f = label->font();
        f.setPointSize(7);
        label->setFont(f);
        label->setMinimumWidth(1); // captions never widen the grid
        new CaptionFollower(control, label);
        grid->addWidget(label, 2 * row, column, 1, span);
        grid->addWidget(control, 2 * row + 1, column, 1, span);
        // Equal columns in every group: a field may shrink to its share of
        // the grid instead of widening its columns to its own size hint.
        control->setMinimumWidth(kMinColumnWidth * span);
    }
};

ctl::U16Spin* Spin(QWidget* parent, int value, int maximum = 65535) {
    auto* s = new ctl::U16Spin(parent, 0, maximum);
    s->SetVal(value);
    s->setAlignment(Qt::AlignRight);
    return s;
}

ctl::Ring* NewRing(QWidget* parent, std::initializer_list<const char*> labels, int value) {
    auto* r = new ctl::Ring(parent);
    // The list shows the full labels; the closed selector may be narrower.
    r->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    r->setMinimumContentsLength(5);
    int code = 0;
    for (const char* label : labels) {
        r->AddItem(label, code++);
    }
    r->SetVal(value);
    return r;
}

// Keeps the numeric twin of the POWER slider in step with the slider, which
// holds the parameter value. Program code sets the slider with its signals
// blocked, so the twin also follows the slider's repaint after such a set,
// and it is dimmed and enabled together with the slider.
class PowerTwin : public QObject {
public:
    PowerTwin(ctl::Slider* slider, ctl::U16Spin* twin)
        : QObject(slider), slider_(slider), twin_(twin) {
        slider->installEventFilter(this);
        connect(slider, &QSlider::valueChanged, this, [this](int v) { twin_->SetVal(v); });
        connect(twin, &ctl::U16Spin::committed, this, [this] { slider_->SetVal(twin_->value()); });
        Follow();
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint || e->type() == QEvent::EnabledChange) {
            Follow();
        }
        return false;
    }

private:
    void Follow() {
        if (twin_->value() != slider_->value() && !twin_->hasFocus()) {
            twin_->SetVal(slider_->value());
        }
        twin_->setEnabled(slider_->isEnabled());
    }
    ctl::Slider* slider_;
    ctl::U16Spin* twin_;
};

void SetSwatchColumn(ctl::U16Table* t, int swatchWidth) {
    QHeaderView* h = t->horizontalHeader();
    h->setMinimumSectionSize(24);
    h->setSectionResizeMode(0, QHeaderView::Stretch);
    h->setSectionResizeMode(1, QHeaderView::Fixed);
    t->setColumnWidth(1, swatchWidth);
}

ctl::U16Table* SmallTable(int rows, QWidget* parent) {
    using Kind = ctl::U16Table::ColumnKind;
    auto* t = new ctl::U16Table(rows, {Kind::Value, Kind::Swatch}, parent);
    QFont f = t->font();
    f.setPointSize(8);
    t->setFont(f);
    t->horizontalHeader()->setFont(f);
    t->verticalHeader()->setFont(f);
    t->verticalHeader()->setDefaultSectionSize(18);
    t->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetSwatchColumn(t, 40);
    t->setMinimumHeight(120);
    return t;
}

} // namespace

void BuildParameterPage(QWidget* page, ParameterPage* ui) {
    auto* root = new QVBoxLayout(page);
    root->setContentsMargins(2, 2, 2, 4);
    root->setSpacing(2);

    // Transmitter: LED intensity and how it is regulated.
    FieldGrid tx("TRANSMITTER", page);
    ui->power = new ctl::Slider(tx.box, 0, kPowerMax);
    ui->power->setSingleStep(1);
    ui->power->setPageStep(50);
    ui->power->SetVal(500);
    ui->powerValue = Spin(tx.box, 500, kPowerMax);
    new PowerTwin(ui->power, ui->powerValue);
    tx.Add(0, 0, 4, "POWER", ui->power);
    tx.Add(0, 4, 2, "", ui->powerValue);
    ui->powerMode = NewRing(tx.box, {"STAT", "DYN"}, 0);
    ui->ledMode = NewRing(tx.box, {"DC", "AC", "PULSE", "OFF"}, 0);
    tx.Add(1, 0, 3, "POWER MODE", ui->powerMode);
    tx.Add(1, 3, 3, "LED MODE", ui->ledMode);
    ui->dynWinLo = Spin(tx.box, 3200);
    ui->dynWinHi = Spin(tx.box, 3300);
    tx.Add(2, 0, 3, "DYN WIN LO", ui->dynWinLo);
    tx.Add(2, 3, 3, "DYN WIN HI", ui->dynWinHi);
    root->addWidget(tx.box);

    // Receiver: amplification and signal filtering.
    FieldGrid rx("RECEIVER", page);
    ui->gain = NewRing(rx.box, {"AMP1", "AMP2", "AMP3", "AMP4", "AMP5", "AMP6", "AMP7", "AMP8"}, 5);
    ui->average = Spin(rx.box, 1);
    ui->integral = Spin(rx.box, 1, kIntegralMax);
    rx.Add(0, 0, 2, "GAIN", ui->gain);
    rx.Add(0, 2, 2, "AVERAGE", ui->average);
    rx.Add(0, 4, 2, "INTEGRAL", ui->integral);
    root->addWidget(rx.box);

    // Evaluation: how measurements are classified against the teach table.
    FieldGrid ev("EVALUATION", page);
    ui->evaluationMode =
        NewRing(ev.box, {"FIRST HIT", "BEST HIT", "MIN DIST", "COL5", "THD RGB"}, 1);
    ui->calculationMode = NewRing(ev.box, {"X Y INT 2D", "s i M 2D", "X Y INT 3D", "s i M 3D"}, 0);
    ev.Add(0, 0, 3, "EVALUATION MODE", ui->evaluationMode);
    ev.Add(0, 3, 3, "CALCULATION MODE", ui->calculationMode);
    ui->digitalOutmode = NewRing(ev.box, {"DIRECT HI", "BINARY", "DIRECT LO"}, 0);
    ui->maxVecNo = Spin(ev.box, 1); // too-high values are corrected with a warning
    ui->intLim = Spin(ev.box, 0);
    ev.Add(1, 0, 2, "DIGITAL OUTMODE", ui->digitalOutmode);
    ev.Add(1, 2, 2, "MAXCOL-No.", ui->maxVecNo);
    ev.Add(1, 4, 2, "INTLIM", ui->intLim);
    root->addWidget(ev.box);

    // Trigger and external teach exclude each other (mode rules).
    FieldGrid tr("TRIGGER", page);
    ui->trigger = NewRing(tr.box, {"CONT", "SELF", "EXT1", "EXT2", "EXT3", "TRANS", "PARA"}, 0);
    ui->externTeach = NewRing(tr.box, {"OFF", "ON", "STAT1", "DYN1"}, 0);
    tr.Add(0, 0, 3, "TRIGGER", ui->trigger);
    tr.Add(0, 3, 3, "EXTERN TEACH", ui->externTeach);
    root->addWidget(tr.box);
    root->addStretch(1);
}

void BuildGroupHoldPage(QWidget* page, GroupHoldPage* ui) {
    auto* root = new QGridLayout(page);
    root->setContentsMargins(4, 4, 4, 4);
    root->setHorizontalSpacing(6);
    root->setVerticalSpacing(4);
    root->setColumnStretch(0, 1);
    root->setColumnStretch(1, 1);

    // Left: colour groups of the teach rows.
    ui->colorGroup = new QCheckBox("COLOR GROUP", page);
    ui->colorGroup->setChecked(false);
    ui->groupTable = SmallTable(kTeachRowCount, page);
    ui->groupTable->SetColumnHeading(1, "GROUP");
    ui->groupTable->SetColumnHeading(2, "COLOR");
    ui->resetGroups = new QPushButton("RESET", page);
    ui->resetGroups->setAutoDefault(false);
    root->addWidget(ui->colorGroup, 0, 0);
    root->addWidget(ui->groupTable, 1, 0);
    auto* groupButtons = new QHBoxLayout();
    groupButtons->addStretch(1);
    groupButtons->addWidget(ui->resetGroups);
    root->addLayout(groupButtons, 2, 0);

    // Right: minimum output pulse lengths, the fail state first.
    ui->holdLabel = Caption("HOLD [ms]", page);
    ui->holdTable = SmallTable(kHoldRowCount, page);
    ui->holdTable->SetColumnHeading(1, "HOLD");
    ui->holdTable->SetColumnHeading(2, "COLOR");
    QStringList holdRows{"F"};
    for (int r = 0; r < kTeachRowCount; ++r) {
        holdRows << QString::number(r);
    }
    ui->holdTable->setVerticalHeaderLabels(holdRows);
    for (int r = 1; r <= kHoldRowCount; ++r) {
        ui->holdTable->SetVal(r, 1, 10);
    }
    ui->resetHold = Spin(page, 10);
    ui->resetHold->setToolTip("Value the hold table's RESET sets");
    ui->resetHoldTable = new QPushButton("RESET", page);
    ui->resetHoldTable->setAutoDefault(false);
    root->addWidget(ui->holdLabel, 0, 1);
    root->addWidget(ui->holdTable, 1, 1);
    auto* holdButtons = new QHBoxLayout();
    holdButtons->setSpacing(4);
    holdButtons->addWidget(ui->resetHold, 1);
    holdButtons->addWidget(ui->resetHoldTable);
    root->addLayout(holdButtons, 2, 1);
    root->setRowStretch(1, 1);
}

} // namespace params
