// The record viewer: one window per record file, titled with the file's
// name. It shows the run's fields over time or over the frame number, the
// recorded points in the colour plane (and the X/INT and Y/INT views in the
// 3D modes) over the taught tolerance shapes of the parameter model, the
// figures of the shown span, and follows a file that a recording still
// writes. The window can be exported as PNG or PDF.
//
// The file is read by a worker thread that touches no widget: it fills a run
// of its own and the window takes the finished columns over, so a large file
// never holds up the event loop (nor a recording waiting on the link in it).
// Closing the window during the load cancels the reading and waits for the
// worker before the window goes.
#pragma once

#include "platform/controls.h"
#include "record/record_reader.h"
#include "record/record_series.h"

#include <QWidget>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QCPGraph;
class QCPItemPixmap;
class QCPItemRect;
namespace ctl {
class Graph;
}

namespace record {

// Opens `path` in a viewer window (or raises the window that shows it
// already). Returns the window, which deletes itself when closed.
class RecordViewer;
RecordViewer* OpenRecordViewer(const std::string& path);
// The viewer windows open now.
std::vector<RecordViewer*> RecordViewers();
// Closes every viewer window (program end).
void CloseRecordViewers();
// Called when the last viewer window has gone (the viewer alone ends with
// it); nullptr for none.
void SetLastViewerClosedHandler(void (*handler)());

// VIEW RECORD... on the recorder page: a record file chosen in the record
// file's directory opens in a viewer.
int CBF_ButtonViewRecord(QWidget* control, ctl::Event event);

class RecordViewer : public QWidget {
public:
    explicit RecordViewer(const QString& path, QWidget* parent = nullptr);
    ~RecordViewer() override;

    const QString& Path() const { return path_; }
    bool Loading() const { return worker_.joinable(); }
    const RecordRun& Run() const { return run_; }
    const RecordReader& Reader() const { return reader_; }
    // CANCEL of the progress bar: the load stops and shows what it has read.
    void CancelLoad() { cancel_ = true; }

    // The X axis: the time of each line, or the frame number.
    void SetTimeAxis(bool time);
    // Shows or hides field 0..10 on the time series.
    void ShowField(int field, bool on);
    // Selects the frames whose axis value lies in lo..hi (the colour plane
    // shows only them, the summary is theirs); ClearSpan shows all again.
    void SelectSpan(double lo, double hi);
    void ClearSpan();
    // ZOOM 1:1: the whole run on the time axis, the colour views fitted to
    // the points and the taught rows.
    void ZoomAll();
    // The frames the summary is about: the selected span, else the frames
    // in view.
    FrameRange ShownFrames() const;
    // Puts the frame cursor on `frame` and shows its fields.
    void SetFrameCursor(size_t frame);
    QString CursorText() const;
    QString SummaryText() const;
    QString StatusText() const;
    // FOLLOW: reads what a recording appends to the file.
    void SetFollow(bool on);
    void FollowNow();
    // Writes the window as a PNG or PDF image (by the name's ending).
    bool ExportTo(const QString& file, std::string* error);
    // What a redraw covers: a move of the time axis redraws the series and
    // the figures, a move of a colour view only its points.
    enum Part { kSeries = 1, kPlane = 2, kAll = 3 };
    // Draws now instead of at the next screen refresh.
    void RedrawNow(int parts = kAll);
    ctl::Graph* SeriesGraph() const { return series_; }
    ctl::Graph* PlaneGraph(int view) const { return plane_[view]; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void BuildWindow();
    void BindHelpTexts();
    void StartLoad();
    void PollLoad();
    void TakeOverLoad();
    void Refuse(const std::string& text);
    void RunGrew(bool rescale);
    void QueueRedraw(int parts = kAll);
    void MarkSpan();
    void Redraw();
    void DrawSeries();
    void DrawPlane();
    void DrawTeachShapes();
    void FitPlanes();
    void FitSeries();
    void UpdateSummary();
    void UpdateStatus();
    const double* AxisKeys() const;
    size_t FrameAt(double key) const;
    void SeriesMousePress(QMouseEvent* e);
    void SeriesMouseMove(QMouseEvent* e);
    void SeriesMouseRelease(QMouseEvent* e);
    void ExportDialog();

    QString path_;
    RecordRun run_;
    RecordReader reader_;
    std::vector<double> timeX_; // time axis of every frame
    bool timeAxis_ = true;
    bool shown_[kRecordFieldCount] = {};
    bool hasSpan_ = false;
    FrameRange span_; // the selected frames, whatever the axis
    double dragFrom_ = 0;
    bool selecting_ = false;
    size_t cursorFrame_ = 0;
    bool redrawQueued_ = false;
    int dirtyParts_ = 0;
    bool shapesDirty_ = true;
    bool closing_ = false;
    bool cancelled_ = false; // the load was cancelled: the run is the file's beginning
    int modelSubscriptions_[3] = {};

    // The worker's own run and reader, handed over when it has finished.
    std::thread worker_;
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
    QCheckBox* follow_ = nullptr;
    QPushButton* all_ = nullptr;
    QPushButton* zoomAll_ = nullptr;
    QPushButton* export_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* cursor_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    ctl::Graph* series_ = nullptr;
    QCPGraph* trace_[kRecordFieldCount] = {};
    QCPItemRect* spanMark_ = nullptr;
    ctl::Graph* plane_[3] = {};
    QCPItemPixmap* dots_[3] = {};
    QWidget* planeBox_[3] = {};
};

} // namespace record
