// The viewer window: its controls and keys.
#include "record/record_viewer.h"

#include "params/parameter_model.h"
#include "platform/controls.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "record/record_texts.h"
#include "record/record_viewer_parts.h"
#include "record/record_viewers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace record {
namespace {

constexpr int kFollowMs = 250;
constexpr int kLoadPollMs = 30;

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

// The file dialog for a record file to read: only existing files.
bool ChooseRecordFile(const std::string& directory, const std::string& name,
                      const std::string& title, std::string* path) {
    platform::FileSelectRequest request;
    request.directory = directory;
    request.defaultName = name;
    request.filter = kRecordFileFilter;
    request.title = title;
    request.allowMakeDirectory = false;
    request.existingOnly = true;
    return platform::FileSelectPopup(request, path) == platform::kExistingFileSelected;
}

RecordViewer::RecordViewer(params::ParameterModel& model, const QString& path, QWidget* parent,
                           bool quiet, RecordViewers* viewers)
    : QWidget(parent, Qt::Window), model_(model), viewers_(viewers), path_(Absolute(path)),
      quiet_(quiet) {
    setWindowTitle(QFileInfo(path_).fileName());
    if (viewers_ != nullptr) {
        viewers_->Add(this);
    }
    for (int f : {0, 1, 2}) {
        shownField_[f] = true; // RED, GREEN, BLUE at first
    }
    BuildWindow();
    auto shapes = [this]() {
        shapesDirty_ = true;
        PlaneChanged();
    };
    modelSubscriptions_ += model_.replaced.Connect(shapes);
    modelSubscriptions_ +=
        model_.cellChanged.Connect([shapes](int, params::TeachField) { shapes(); });
    modelSubscriptions_ += model_.rowAttributesChanged.Connect([shapes](int) { shapes(); });
    std::string error;
    ReadMarks(MarksPathOf(path_.toStdString()), &marks_, &error);
    if (!error.empty()) {
        note_ = QString("THE MARKS FILE CAN NOT BE READ: %1").arg(QString::fromStdString(error));
    }
    StartLoad(false);
}

RecordViewer::~RecordViewer() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    modelSubscriptions_.Clear();
    if (viewers_ != nullptr) {
        viewers_->Closed(this, shown_);
    }
}

QWidget* RecordViewer::BuildControls() {
    auto* box = new QWidget(this);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* fields = new QHBoxLayout();
    fields->setSpacing(6);
    for (int f = 0; f < kRecordFieldCount; ++f) {
        fieldBox_[f] = new QCheckBox(RecordFieldName(f), box);
        fieldBox_[f]->setChecked(shownField_[f]);
        QPalette p = fieldBox_[f]->palette();
        p.setColor(QPalette::WindowText, ctl::ToQColor(kFieldColour[f]));
        fieldBox_[f]->setPalette(p);
        connect(fieldBox_[f], &QCheckBox::toggled, this, [this, f](bool on) { ShowField(f, on); });
        fields->addWidget(fieldBox_[f]);
    }
    fields->addStretch(1);
    fields->addWidget(new QLabel("X AXIS", box));
    axis_ = new QComboBox(box);
    axis_->addItems({"TIME", "FRAME"});
    connect(axis_, &QComboBox::currentIndexChanged, this, [this](int i) { SetTimeAxis(i == 0); });
    fields->addWidget(axis_);
    fields->addWidget(new QLabel("SHOW", box));
    filterBox_ = new QComboBox(box);
    filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(filterBox_, &QComboBox::activated, this, [this](int i) {
        const int code = filterBox_->itemData(i).toInt();
        SetFilter({code < 0      ? FrameFilter::Kind::All
                   : code < 1000 ? FrameFilter::Kind::Color
                                 : FrameFilter::Kind::Group,
                   code < 0 ? 0 : code % 1000});
    });
    fields->addWidget(filterBox_);
    noMatchBox_ = new QCheckBox("NO MATCH", box);
    noMatchBox_->setChecked(true);
    connect(noMatchBox_, &QCheckBox::toggled, this, [this](bool on) { ShowNoMatch(on); });
    fields->addWidget(noMatchBox_);
    follow_ = new QCheckBox("FOLLOW", box);
    connect(follow_, &QCheckBox::toggled, this, [this](bool on) { SetFollow(on); });
    fields->addWidget(follow_);
    rows->addLayout(fields);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(6);
    auto button = [this, box, buttons](const char* text, auto action) {
        auto* b = new QPushButton(text, box);
        connect(b, &QPushButton::clicked, this, action);
        buttons->addWidget(b);
        return b;
    };
    open_ = button("OPEN", [this]() { FillOpenMenu(); });
    open_->setMenu(new QMenu(open_));
    connect(open_->menu(), &QMenu::aboutToShow, this, [this]() { FillOpenMenu(); });
    all_ = button("ALL FRAMES", [this]() { ClearSpan(); });
    zoomAll_ = button("ZOOM 1:1", [this]() { ZoomAll(); });
    previousNoMatch_ = button("< NO MATCH", [this]() { FindNoMatch(-1); });
    nextNoMatch_ = button("NO MATCH >", [this]() { FindNoMatch(1); });
    mark_ = button("MARK...", [this]() { MarkDialog(); });
    buttons->addStretch(1);
    copy_ = button("COPY SUMMARY", [this]() { CopySummary(); });
    export_ = button("EXPORT...", [this]() { ExportDialog(); });
    print_ = button("PRINT...", [this]() { PrintDialog(); });
    rows->addLayout(buttons);
    return box;
}

void RecordViewer::BuildWindow() {
    resize(1200, 760);
    setFocusPolicy(Qt::StrongFocus);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);
    root->addWidget(BuildControls());

    auto* loadRow = new QHBoxLayout();
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    cancelLoad_ = new QPushButton("CANCEL", this);
    connect(cancelLoad_, &QPushButton::clicked, this, [this]() { CancelLoad(); });
    loadRow->addWidget(progress_, 1);
    loadRow->addWidget(cancelLoad_);
    root->addLayout(loadRow);

    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(split);
    auto* leftRows = new QVBoxLayout(left);
    leftRows->setContentsMargins(0, 0, 0, 0);
    series_ = new ctl::Graph(left);
    series_->setMinimumSize(400, 300);
    series_->SetCtrlDragZoom(true);
    series_->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    series_->axisRect()->setRangeDrag(Qt::Horizontal);
    series_->axisRect()->setRangeZoom(Qt::Horizontal);
    series_->yAxis->setLabel("VALUE");
    leftRows->addWidget(series_, 1);
    cursor_ = new QLabel(left);
    cursor_->setWordWrap(true);
    cursor_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cursor_->setMinimumHeight(36);
    leftRows->addWidget(cursor_);

    auto* right = new QWidget(split);
    auto* rightRows = new QVBoxLayout(right);
    rightRows->setContentsMargins(0, 0, 0, 0);
    auto* planes = new QGridLayout();
    for (int v = 0; v < 3; ++v) {
        plane_[v] = new ctl::Graph(right);
        plane_[v]->setMinimumSize(200, 200);
        plane_[v]->SetSquarePlotArea(true);
        plane_[v]->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
        plane_[v]->SetCtrlDragZoom(true);
        planeBox_[v] = plane_[v];
        planes->addWidget(plane_[v], v == 0 ? 0 : 1, v == 0 ? 0 : v - 1, 1, v == 0 ? 2 : 1);
        connect(plane_[v]->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
                [this]() {
                    planeFitted_ = planeFitted_ && fitting_;
                    QueueRedraw(kPlane);
                });
        connect(plane_[v], &QCustomPlot::mousePress, this,
                [this, v](QMouseEvent* e) { PlaneMousePress(v, e); });
        connect(plane_[v], &QCustomPlot::mouseRelease, this,
                [this, v](QMouseEvent* e) { PlaneMouseRelease(v, e); });
    }
    rightRows->addLayout(planes, 3);
    summary_ = new QPlainTextEdit(right);
    summary_->setReadOnly(true);
    summary_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("DejaVu Sans Mono");
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(8);
    summary_->setFont(mono);
    rightRows->addWidget(summary_, 2);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    root->addWidget(split, 1);

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    root->addWidget(status_);

    connect(series_->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this]() { QueueRedraw(kSeries); });
    connect(series_, &ctl::Graph::zoomed, this, [this]() { yAuto_ = false; });
    connect(series_, &QCustomPlot::mousePress, this,
            [this](QMouseEvent* e) { SeriesMousePress(e); });
    connect(series_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* e) { SeriesMouseMove(e); });
    connect(series_, &QCustomPlot::mouseRelease, this,
            [this](QMouseEvent* e) { SeriesMouseRelease(e); });
    for (int f = 0; f < kRecordFieldCount; ++f) {
        trace_[f] = series_->addGraph();
        trace_[f]->setPen(QPen(ctl::ToQColor(kFieldColour[f])));
        trace_[f]->setName(RecordFieldName(f));
        trace_[f]->setVisible(shownField_[f]);
        trace_[f]->setAdaptiveSampling(false); // the columns are reduced already
    }
    for (int f = 0; f < kRecordFieldCount; ++f) {
        overlayTrace_[f] = series_->addGraph();
        QPen pen(ctl::ToQColor(kFieldColour[f]));
        pen.setStyle(Qt::DashLine);
        overlayTrace_[f]->setPen(pen);
        overlayTrace_[f]->setAdaptiveSampling(false);
        overlayTrace_[f]->setVisible(false);
    }
    loadTimer_ = new QTimer(this);
    loadTimer_->setInterval(kLoadPollMs);
    connect(loadTimer_, &QTimer::timeout, this, [this]() { PollLoad(); });
    followTimer_ = new QTimer(this);
    followTimer_->setInterval(kFollowMs);
    connect(followTimer_, &QTimer::timeout, this, [this]() { FollowNow(); });
    BuildShortcuts();
    BindHelpTexts();
    UpdateFilterChoices();
    SetTimeAxis(true);
}

void RecordViewer::BuildShortcuts() {
    auto key = [this](QKeySequence keys, auto action) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    auto step = [this](long delta) {
        const long n = static_cast<long>(run_.Frames());
        if (n > 0) {
            SetFrameCursor(static_cast<size_t>(
                std::clamp(static_cast<long>(cursorFrame_) + delta, 0L, n - 1)));
        }
    };
    key(Qt::Key_Left, [step]() { step(-1); });
    key(Qt::Key_Right, [step]() { step(1); });
    key(Qt::SHIFT | Qt::Key_Left, [step]() { step(-100); });
    key(Qt::SHIFT | Qt::Key_Right, [step]() { step(100); });
    key(Qt::Key_Home, [this]() { SetFrameCursor(0); });
    key(Qt::Key_End, [this]() { SetFrameCursor(run_.Frames() - 1); });
    key(Qt::Key_Plus, [this]() { ZoomTime(0.5); });
    key(Qt::Key_Equal, [this]() { ZoomTime(0.5); });
    key(Qt::Key_Minus, [this]() { ZoomTime(2.0); });
    key(Qt::Key_F, [this]() { SetFollow(!follow_->isChecked()); });
    key(Qt::Key_N, [this]() { FindNoMatch(1); });
    key(Qt::SHIFT | Qt::Key_N, [this]() { FindNoMatch(-1); });
    key(Qt::Key_M, [this]() { MarkDialog(); });
    key(QKeySequence::Open, [this]() { OpenDialog(); });
    key(QKeySequence::Print, [this]() { PrintDialog(); });
    key(QKeySequence::Copy, [this]() { CopySummary(); });
    key(Qt::CTRL | Qt::Key_E, [this]() { ExportDialog(); });
}

void RecordViewer::BindHelpTexts() {
    // A right click shows what a control does, as everywhere in the program.
    for (QCheckBox* box : fieldBox_) {
        ctl::Bind(box, "Show or hide this field on the time graph. ", nullptr);
    }
    ctl::Bind(axis_, "Show the frames over their date and time \nor over the frame number. ",
              nullptr);
    ctl::Bind(filterBox_, "Show all frames, or only those \nof one COLOR or one GROUP. ", nullptr);
    ctl::Bind(noMatchBox_,
              "Show or hide the frames without a match \n(COLOR 255) in the colour "
              "plane. ",
              nullptr);
    ctl::Bind(open_,
              "Open another record file (Ctrl+O), \na recent one, or compare a second run "
              "\nwith this one. ",
              nullptr);
    ctl::Bind(all_, "Show every frame again \nafter a span was selected. ", nullptr);
    ctl::Bind(zoomAll_, "Show the whole record \nand fit the colour views to it. ", nullptr);
    ctl::Bind(previousNoMatch_, "Go to the previous frame without a match (Shift+N). ", nullptr);
    ctl::Bind(nextNoMatch_, "Go to the next frame without a match (N). ", nullptr);
    ctl::Bind(mark_,
              "Mark the cursor frame with a note (M). \nThe marks are kept beside the "
              "record file. ",
              nullptr);
    ctl::Bind(copy_, "Copy the summary as a table \nfor a spreadsheet (Ctrl+C). ", nullptr);
    ctl::Bind(follow_, "Read the lines a recording appends to the file \nwhile it is shown (F). ",
              nullptr);
    ctl::Bind(export_, "Save a PDF report, a PNG picture \nor the shown frames as CSV (Ctrl+E). ",
              nullptr);
    ctl::Bind(print_, "Print the report (Ctrl+P). ", nullptr);
    ctl::Bind(series_,
              "Wheel: zoom in time. Drag: pan. \nCtrl + drag: zoom into a rectangle. \nShift + "
              "drag: select a span. \nThe frame cursor follows the mouse; \narrow keys step it, "
              "Home and End go to the ends, \n+ and - zoom. ",
              nullptr);
    for (ctl::Graph* g : plane_) {
        ctl::Bind(g, "Wheel: zoom. Drag: pan. \nA click on a point shows its frame. ", nullptr);
    }
}

void RecordViewer::closeEvent(QCloseEvent* e) {
    cancel_ = true; // the worker stops after its chunk; the destructor waits for it
    closing_ = true;
    followTimer_->stop();
    QWidget::closeEvent(e);
}

void RecordViewer::SetNote(const QString& note) {
    note_ = note;
    UpdateStatus();
}

} // namespace record
