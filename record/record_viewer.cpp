// The viewer window: its controls, the load by a worker thread with progress
// and cancel, FOLLOW, export, and the list of open viewers.
#include "record/record_viewer.h"

#include "params/parameter_model.h"
#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "record/record_texts.h"
#include "record/recorder_ui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {

// Every field in a colour of its own, the three channels in theirs.
constexpr ctl::Rgb kFieldColour[kRecordFieldCount] = {0xE00000, 0x00A000, 0x0000FF, 0xE07000,
                                                      0x8000C0, 0x000000, 0x906030, 0xE000E0,
                                                      0x008080, 0x909090, 0x708000};
constexpr int kFollowMs = 250;
constexpr int kLoadPollMs = 30;

std::vector<RecordViewer*>& Open() {
    static std::vector<RecordViewer*> viewers;
    return viewers;
}

void (*gLastViewerClosed)() = nullptr;

QString Absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

RecordViewer* OpenRecordViewer(const std::string& path) {
    const QString file = Absolute(QString::fromStdString(path));
    for (RecordViewer* v : Open()) {
        if (v->Path() == file) {
            v->showNormal();
            v->raise();
            v->activateWindow();
            return v;
        }
    }
    auto* v = new RecordViewer(file);
    v->setAttribute(Qt::WA_DeleteOnClose);
    v->show();
    return v;
}

std::vector<RecordViewer*> RecordViewers() {
    return Open();
}

void SetLastViewerClosedHandler(void (*handler)()) {
    gLastViewerClosed = handler;
}

void CloseRecordViewers() {
    // Each window leaves the list as it goes.
    while (!Open().empty()) {
        delete Open().back();
    }
}

int CBF_ButtonViewRecord(QWidget*, ctl::Event event) {
    if (event != ctl::Event::Commit) {
        return 0;
    }
    // The dialog starts where the record file lies.
    const std::string recordFile = shell::Shell().Paths().recorderFile;
    platform::FileSelectRequest request;
    request.directory = QFileInfo(QString::fromStdString(recordFile)).absolutePath().toStdString();
    if (recordFile.empty()) {
        request.directory.clear();
    }
    request.defaultName = kRecordFileDefaultName;
    request.filter = kRecordFileFilter;
    request.title = "VIEW RECORD FILE";
    request.allowMakeDirectory = false;
    std::string path;
    if (platform::FileSelectPopup(request, &path) != platform::kNoFileSelected) {
        OpenRecordViewer(path);
    }
    return 0;
}

RecordViewer::RecordViewer(const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window), path_(Absolute(path)) {
    setWindowTitle(QFileInfo(path_).fileName());
    Open().push_back(this);
    for (int f : {0, 1, 2}) {
        shown_[f] = true; // RED, GREEN, BLUE at first
    }
    BuildWindow();
    params::ParameterModel& model = params::Model();
    auto shapes = [this]() {
        shapesDirty_ = true;
        QueueRedraw(kPlane);
    };
    modelSubscriptions_[0] = model.replaced.Subscribe(shapes);
    modelSubscriptions_[1] =
        model.cellChanged.Subscribe([shapes](int, params::TeachField) { shapes(); });
    modelSubscriptions_[2] = model.rowAttributesChanged.Subscribe([shapes](int) { shapes(); });
    StartLoad();
}

RecordViewer::~RecordViewer() {
    cancel_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    params::ParameterModel& model = params::Model();
    model.replaced.Unsubscribe(modelSubscriptions_[0]);
    model.cellChanged.Unsubscribe(modelSubscriptions_[1]);
    model.rowAttributesChanged.Unsubscribe(modelSubscriptions_[2]);
    std::erase(Open(), this);
    if (Open().empty() && gLastViewerClosed != nullptr) {
        gLastViewerClosed();
    }
}

void RecordViewer::BuildWindow() {
    resize(1200, 720);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(4);

    auto* controls = new QHBoxLayout();
    controls->setSpacing(6);
    for (int f = 0; f < kRecordFieldCount; ++f) {
        fieldBox_[f] = new QCheckBox(RecordFieldName(f), this);
        fieldBox_[f]->setChecked(shown_[f]);
        QPalette p = fieldBox_[f]->palette();
        p.setColor(QPalette::WindowText, ctl::ToQColor(kFieldColour[f]));
        fieldBox_[f]->setPalette(p);
        connect(fieldBox_[f], &QCheckBox::toggled, this, [this, f](bool on) { ShowField(f, on); });
        controls->addWidget(fieldBox_[f]);
    }
    controls->addStretch(1);
    controls->addWidget(new QLabel("X AXIS", this));
    axis_ = new QComboBox(this);
    axis_->addItems({"TIME", "FRAME"});
    connect(axis_, &QComboBox::currentIndexChanged, this, [this](int i) { SetTimeAxis(i == 0); });
    controls->addWidget(axis_);
    all_ = new QPushButton("ALL FRAMES", this);
    connect(all_, &QPushButton::clicked, this, [this]() { ClearSpan(); });
    controls->addWidget(all_);
    zoomAll_ = new QPushButton("ZOOM 1:1", this);
    connect(zoomAll_, &QPushButton::clicked, this, [this]() { ZoomAll(); });
    controls->addWidget(zoomAll_);
    follow_ = new QCheckBox("FOLLOW", this);
    connect(follow_, &QCheckBox::toggled, this, [this](bool on) { SetFollow(on); });
    controls->addWidget(follow_);
    export_ = new QPushButton("EXPORT...", this);
    connect(export_, &QPushButton::clicked, this, [this]() { ExportDialog(); });
    controls->addWidget(export_);
    root->addLayout(controls);

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
                [this]() { QueueRedraw(kPlane); });
    }
    rightRows->addLayout(planes, 3);
    summary_ = new QPlainTextEdit(right);
    summary_->setReadOnly(true);
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
    connect(series_, &QCustomPlot::mousePress, this,
            [this](QMouseEvent* e) { SeriesMousePress(e); });
    connect(series_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* e) { SeriesMouseMove(e); });
    connect(series_, &QCustomPlot::mouseRelease, this,
            [this](QMouseEvent* e) { SeriesMouseRelease(e); });
    for (int f = 0; f < kRecordFieldCount; ++f) {
        trace_[f] = series_->addGraph();
        trace_[f]->setPen(QPen(ctl::ToQColor(kFieldColour[f])));
        trace_[f]->setName(RecordFieldName(f));
        trace_[f]->setVisible(shown_[f]);
        trace_[f]->setAdaptiveSampling(false); // the columns are reduced already
    }
    loadTimer_ = new QTimer(this);
    loadTimer_->setInterval(kLoadPollMs);
    connect(loadTimer_, &QTimer::timeout, this, [this]() { PollLoad(); });
    followTimer_ = new QTimer(this);
    followTimer_->setInterval(kFollowMs);
    connect(followTimer_, &QTimer::timeout, this, [this]() { FollowNow(); });
    BindHelpTexts();
    SetTimeAxis(true);
}

void RecordViewer::BindHelpTexts() {
    // A right click shows what a control does, as everywhere in the program.
    for (QCheckBox* box : fieldBox_) {
        ctl::Bind(box, "Show or hide this field on the time graph. ", nullptr);
    }
    ctl::Bind(axis_, "Show the frames over their date and time \nor over the frame number. ",
              nullptr);
    ctl::Bind(all_, "Show every frame again \nafter a span was selected. ", nullptr);
    ctl::Bind(zoomAll_, "Show the whole record \nand fit the colour views to it. ", nullptr);
    ctl::Bind(follow_, "Read the lines a recording appends to the file \nwhile it is shown. ",
              nullptr);
    ctl::Bind(export_, "Save this window as a PNG or PDF file. ", nullptr);
    ctl::Bind(series_,
              "Wheel: zoom in time. Drag: pan. \nCtrl + drag: zoom into a rectangle. \nShift + "
              "drag: select a span. \nThe frame cursor follows the mouse. ",
              nullptr);
}

void RecordViewer::StartLoad() {
    loadRun_ = std::make_unique<RecordRun>();
    loadReader_ = std::make_unique<RecordReader>();
    cancel_ = false;
    done_ = false;
    progress_->setValue(0);
    progress_->setVisible(true);
    cancelLoad_->setVisible(true);
    status_->setText("Reading " + path_ + " ...");
    const std::string file = path_.toStdString();
    worker_ = std::thread([this, file]() {
        auto progress = [this](uint64_t done, uint64_t total) {
            loadDone_ = done;
            loadTotal_ = total;
            return !cancel_.load();
        };
        if (ReadRecordBytes(file, loadReader_.get(), loadRun_.get(), progress, &loadCancelled_,
                            &loadError_)) {
            if (!loadCancelled_) {
                // The end of the file: a header without its column line is
                // no record file. An unfinished last line stays waiting.
                if (loadReader_->state() == RecordReader::State::Header) {
                    loadReader_->Finish();
                }
            }
        }
        done_ = true;
    });
    loadTimer_->start();
}

void RecordViewer::PollLoad() {
    const uint64_t total = loadTotal_;
    progress_->setValue(total == 0 ? 0 : static_cast<int>(1000 * loadDone_ / total));
    if (done_) {
        loadTimer_->stop();
        worker_.join();
        TakeOverLoad();
    }
}

void RecordViewer::TakeOverLoad() {
    progress_->setVisible(false);
    cancelLoad_->setVisible(false);
    if (!loadError_.empty()) {
        Refuse(loadError_);
        return;
    }
    if (loadReader_->state() == RecordReader::State::Refused) {
        Refuse(loadReader_->refusal());
        return;
    }
    // After a cancel what was read so far is shown; FOLLOW would read on.
    cancelled_ = loadCancelled_;
    run_ = std::move(*loadRun_);
    reader_ = *loadReader_;
    loadRun_.reset();
    loadReader_.reset();
    RunGrew(true);
}

void RecordViewer::Refuse(const std::string& text) {
    QPointer<RecordViewer> self(this);
    hide();
    platform::MessagePopup(kTitleAttention, "THE RECORD FILE CAN NOT BE SHOWN! \n" +
                                                path_.toStdString() + "\n" + text);
    if (self) {
        self->close();
    }
}

void RecordViewer::closeEvent(QCloseEvent* e) {
    cancel_ = true; // the worker stops after its chunk; the destructor waits for it
    closing_ = true;
    followTimer_->stop();
    QWidget::closeEvent(e);
}

void RecordViewer::SetFollow(bool on) {
    if (follow_->isChecked() != on) {
        follow_->setChecked(on); // comes back here through the box
        return;
    }
    if (on) {
        followTimer_->start();
    } else {
        followTimer_->stop();
    }
}

void RecordViewer::FollowNow() {
    if (Loading() || closing_ || reader_.state() == RecordReader::State::Refused) {
        return;
    }
    struct stat st {};
    if (::stat(path_.toLocal8Bit().constData(), &st) != 0) {
        return; // gone for the moment (being started afresh)
    }
    if (static_cast<uint64_t>(st.st_size) == reader_.fedBytes()) {
        return;
    }
    if (static_cast<uint64_t>(st.st_size) < reader_.fedBytes()) {
        // The file was started afresh: read it from its beginning.
        run_ = RecordRun();
        reader_ = RecordReader();
        timeX_.clear();
        ClearSpan();
    }
    bool cancelled = false;
    std::string error;
    const size_t before = run_.Frames();
    if (ReadRecordBytes(path_.toStdString(), &reader_, &run_, nullptr, &cancelled, &error)) {
        cancelled_ = false; // read on to the file's end
    }
    if (run_.Frames() != before || before == 0) {
        RunGrew(before == 0);
    } else {
        UpdateStatus();
    }
}

bool RecordViewer::ExportTo(const QString& file, std::string* error) {
    const bool pdf = file.endsWith(".pdf", Qt::CaseInsensitive);
    const QString temp = file + ".new" + QString::number(::getpid());
    bool ok = false;
    if (pdf) {
        QPdfWriter writer(temp);
        writer.setResolution(96);
        writer.setPageSize(QPageSize(QSizeF(size()), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(windowTitle());
        QPainter painter;
        if (painter.begin(&writer)) {
            const double scale =
                std::min(writer.width() / double(width()), writer.height() / double(height()));
            painter.scale(scale, scale);
            render(&painter);
            ok = painter.end();
        }
        ok = ok && QFileInfo(temp).size() > 0;
    } else {
        ok = grab().save(temp, "PNG");
    }
    if (!ok || ::rename(temp.toLocal8Bit().constData(), file.toLocal8Bit().constData()) != 0) {
        ::unlink(temp.toLocal8Bit().constData());
        *error = "THE IMAGE CAN NOT BE WRITTEN! \n" + file.toStdString();
        return false;
    }
    return true;
}

void RecordViewer::ExportDialog() {
    platform::FileSelectRequest request;
    request.directory = QFileInfo(path_).absolutePath().toStdString();
    request.defaultName = QFileInfo(path_).completeBaseName().toStdString() + ".png";
    request.filter = "*.png *.pdf";
    request.title = "EXPORT AS PNG OR PDF";
    std::string file;
    if (platform::FileSelectPopup(request, &file) == platform::kNoFileSelected) {
        return;
    }
    QString name = QString::fromStdString(file);
    if (!name.endsWith(".png", Qt::CaseInsensitive) &&
        !name.endsWith(".pdf", Qt::CaseInsensitive)) {
        name += ".png";
    }
    std::string error;
    if (!ExportTo(name, &error)) {
        platform::MessagePopup(kTitleAttention, error);
    }
}

} // namespace record
