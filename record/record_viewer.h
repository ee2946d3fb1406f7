// The record viewer: one window per record file, titled with the file's
// name. It shows the run's fields over time or over the frame number, the
// recorded points in the colour plane (and the X/INT and Y/INT views in the
// 3D modes) over the taught tolerance shapes of the parameter model, the
// figures of the shown span, marks with notes kept beside the record file,
// a second run laid over the first for comparison, and follows a file that
// a recording still writes. The window exports as an A4 report (PDF, vector
// graphics), as a PNG picture or the shown frames as CSV, and prints.
//
// The file is read by a worker thread that touches no widget: it fills a run
// of its own and the window takes the finished columns over, so a large file
// never holds up the event loop (nor a recording waiting on the link in it).
// Closing the window during the load cancels the reading and waits for the
// worker before the window goes.
#pragma once

#include "platform/notifier.h"
#include "record/record_reader.h"
#include "record/record_series.h"
#include "record/record_viewer_files.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPagedPaintDevice;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QCPGraph;
class QCPItemRect;
class QCPItemText;
class QCPPainter;
class QCPAbstractItem;
namespace ctl {
class Graph;
}

namespace params {
class ParameterModel;
}

namespace record {

class RecordViewers;

// Writes the report of `recordPath` to `outPath` (PDF, PNG or CSV by its
// ending) without a window on screen, over the taught shapes of `model`:
// the frames of `span` ("FROM:TO", see ParseSpan; empty for all). Returns
// 0, or 1 with the reason in *error.
int ExportRecordWithoutWindow(params::ParameterModel& model, const std::string& recordPath,
                              const std::string& outPath, const std::string& span,
                              std::string* error);

class RecordViewer : public QWidget {
public:
    // The window of `path` over the taught shapes of `model`, one of
    // `viewers` (none: a window of its own, such as an export's).
    // `quiet`: a refused file is reported through RefusalText() instead of
    // a message (the report of a script).
    RecordViewer(params::ParameterModel& model, const QString& path, QWidget* parent = nullptr,
                 bool quiet = false, RecordViewers* viewers = nullptr);
    ~RecordViewer() override;

    const QString& Path() const { return path_; }
    bool Loading() const { return worker_.joinable(); }
    bool Shown() const { return shown_; }
    const std::string& RefusalText() const { return refusal_; }
    const RecordRun& Run() const { return run_; }
    const RecordReader& Reader() const { return reader_; }
    const TimeAxis& Times() const { return times_; }
    // CANCEL of the progress bar: the load stops and shows what it has read.
    void CancelLoad() { cancel_ = true; }
    // A note shown in the status line (what --params reported).
    void SetNote(const QString& note);

    // The X axis: the time of each line, or the frame number (from 1).
    void SetTimeAxis(bool time);
    // Shows or hides field 0..10 on the time series.
    void ShowField(int field, bool on);
    // Selects the frames whose axis value lies in lo..hi (the colour plane
    // shows only them, the summary is theirs); ClearSpan shows all again.
    void SelectSpan(double lo, double hi);
    void SelectFrames(FrameRange frames);
    void ClearSpan();
    // The frames of one COLOR or GROUP only, in the series, the plane, the
    // summary and the CSV.
    void SetFilter(const FrameFilter& filter);
    const FrameFilter& Filter() const { return filter_; }
    // Shows or hides the frames without a match in the plane.
    void ShowNoMatch(bool on);
    // ZOOM 1:1: the whole run on the time axis, Y and the colour views
    // fitted to it.
    void ZoomAll();
    // The wheel's step around the frame cursor: factor < 1 zooms in.
    void ZoomTime(double factor);
    // The frames the summary is about: the selected span, else the frames
    // in view.
    FrameRange ShownFrames() const;
    // Puts the frame cursor on `frame` (from 0), marks it in the plane and
    // shows its fields; the time axis moves to show it unless told not to.
    void SetFrameCursor(size_t frame, bool bringIntoView = true);
    size_t CursorFrame() const { return cursorFrame_; }
    // The next (+1) or previous (-1) frame without a match from the cursor;
    // false when there is none.
    bool FindNoMatch(int direction);
    // The shown frame whose point in plane view `view` lies nearest to the
    // pixel `pixel` (within a few pixels), as a click there finds it.
    bool FrameAtPlanePixel(int view, const QPointF& pixel, size_t* frame) const;
    QString CursorText() const;
    QString SummaryText() const;
    // The summary as a tab-separated table for a spreadsheet (COPY).
    QString SummaryTable() const;
    QString StatusText() const;
    // FOLLOW: reads what a recording appends to the file.
    void SetFollow(bool on);
    void FollowNow();

    // Marks with notes, kept in the marks file beside the record file.
    const std::vector<FrameMark>& Marks() const { return marks_; }
    bool SetMark(size_t frame, const std::string& note, std::string* error);
    bool RemoveMark(size_t frame, std::string* error);

    // A second run laid over this one: its fields on the time axis (dashed)
    // and its points in the plane (open squares), aligned at the start.
    void CompareWith(const QString& path);
    bool HasOverlay() const { return overlay_ != nullptr; }
    const RecordRun* OverlayRun() const;
    // Aligns the overlay's frame `overlayFrame` with this run's `frame`.
    void AlignOverlay(size_t frame, size_t overlayFrame);

    // Writes a PDF report, a PNG picture of the window or the shown frames
    // as CSV, by the name's ending; false with the reason in *error.
    bool ExportTo(const QString& file, std::string* error);
    // Paints the report pages (A4 landscape) on `device`.
    bool PaintReport(QPagedPaintDevice* device);
    // What a redraw covers: a move of the time axis redraws the series and
    // the figures, a move of a colour view only its points.
    enum Part { kSeries = 1, kPlane = 2, kAll = 3 };
    // Draws now instead of at the next screen refresh.
    void RedrawNow(int parts = kAll);
    ctl::Graph* SeriesGraph() const { return series_; }
    ctl::Graph* PlaneGraph(int view) const { return plane_[view]; }
    // The points the plane view holds now (what its last picture drew):
    // matched frames, frames without a match, frames of the overlay.
    struct PlaneCounts {
        size_t matched = 0;
        size_t noMatch = 0;
        size_t overlay = 0;
    };
    PlaneCounts PlanePoints(int view) const { return planeCounts_[view]; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    friend class PlaneDots;
    struct Overlay;
    struct PlaneCache {
        QImage points; // the crosses of no match below the matched points
        QImage overlay;
        QSize size;
        double range[4] = {};
        uint64_t generation = 0;
    };

    void BuildWindow();
    QWidget* BuildControls();
    void BuildShortcuts();
    void BindHelpTexts();
    void StartLoad(bool overlay);
    void PollLoad();
    void TakeOverLoad();
    void Refuse(const std::string& text);
    void RunGrew(bool rescale);
    void QueueRedraw(int parts = kAll);
    void MarkSpan();
    void Redraw();
    void DrawSeries();
    void DrawOverlaySeries();
    void DrawMarks();
    void FitYToView(double lo, double hi);
    void DrawPlane();
    void DrawTeachShapes();
    void UpdateLegend();
    void PlaceLegend();
    void FitPlanes();
    void FitSeriesX();
    void UpdateSummary();
    void UpdateStatus();
    void UpdateFilterChoices();
    void ShowFrameInView(size_t frame);
    SpanSummary ShownSummary() const;
    const double* AxisKeys() const;
    double KeyOf(size_t frame) const;
    size_t FrameAt(double key) const;
    void SeriesMousePress(QMouseEvent* e);
    void SeriesMouseMove(QMouseEvent* e);
    void SeriesMouseRelease(QMouseEvent* e);
    void PlaneMousePress(int view, QMouseEvent* e);
    void PlaneMouseRelease(int view, QMouseEvent* e);
    void PaintPoints(QCPPainter* painter, int view);
    void RenderPlane(int view, QSize size, double scale, PlaneCache* cache);
    void PlaneChanged();
    void ExportDialog();
    void OpenDialog();
    // Another record file in a window of this one's viewers.
    void OpenAnother(const std::string& path);
    void CompareDialog();
    void MarkDialog();
    void AlignDialog();
    void PrintDialog();
    void CopySummary();
    void RememberRecent();
    QString RecentListPath() const;
    void FillOpenMenu();

    params::ParameterModel& model_;
    RecordViewers* viewers_ = nullptr;
    QString path_;
    bool quiet_ = false;
    bool shown_ = false;
    std::string refusal_;
    QString note_;
    RecordRun run_;
    RecordReader reader_;
    TimeAxis times_;
    bool timeAxis_ = true;
    bool shownField_[kRecordFieldCount] = {};
    bool hasSpan_ = false;
    FrameRange span_; // the selected frames, whatever the axis
    FrameFilter filter_;
    bool showNoMatch_ = true;
    double dragFrom_ = 0;
    bool selecting_ = false;
    QPointF planePress_;
    size_t cursorFrame_ = 0;
    bool cursorSet_ = false;
    bool yAuto_ = true;       // Y follows the frames in view
    bool planeFitted_ = true; // the colour views show all (FOLLOW refits them)
    bool fitting_ = false;    // the viewer itself moves the axes
    bool redrawQueued_ = false;
    int dirtyParts_ = 0;
    bool shapesDirty_ = true;
    bool closing_ = false;
    bool cancelled_ = false; // the load was cancelled: the run is the file's beginning
    bool following_ = false;
    platform::Subscriptions modelSubscriptions_;
    uint64_t planeGeneration_ = 1;
    PlaneCache planeCache_[3];
    PlaneCounts planeCounts_[3];
    uint64_t legendGeneration_ = 0;
    std::vector<bool> valuesSeen_; // COLOR 0..999, then GROUP 0..999 of the run
    size_t valuesSeenUpTo_ = 0;
    std::vector<FrameMark> marks_;
    std::unique_ptr<Overlay> overlay_;

    // The worker's own run and reader, handed over when it has finished.
    std::thread worker_;
    bool loadOverlay_ = false;
    QString loadPath_;
    std::unique_ptr<RecordRun> loadRun_;
    std::unique_ptr<RecordReader> loadReader_;
    std::string loadError_;
    bool loadCancelled_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> done_{false};
    std::atomic<uint64_t> loadDone_{0};
    std::atomic<uint64_t> loadTotal_{0};

    QTimer* loadTimer_ = nullptr;
    QTimer* followTimer_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelLoad_ = nullptr;
    QCheckBox* fieldBox_[kRecordFieldCount] = {};
    QComboBox* axis_ = nullptr;
    QComboBox* filterBox_ = nullptr;
    QCheckBox* noMatchBox_ = nullptr;
    QCheckBox* follow_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* all_ = nullptr;
    QPushButton* zoomAll_ = nullptr;
    QPushButton* previousNoMatch_ = nullptr;
    QPushButton* nextNoMatch_ = nullptr;
    QPushButton* mark_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* print_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* cursor_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    ctl::Graph* series_ = nullptr;
    QCPGraph* trace_[kRecordFieldCount] = {};
    QCPGraph* overlayTrace_[kRecordFieldCount] = {};
    QCPItemRect* spanMark_ = nullptr;
    QCPItemText* emptyText_ = nullptr;
    std::vector<QCPAbstractItem*> markItems_;
    ctl::Graph* plane_[3] = {};
    QCPAbstractItem* dots_[3] = {};
    std::vector<QCPGraph*> legendRows_;
    QWidget* planeBox_[3] = {};
};

} // namespace record
