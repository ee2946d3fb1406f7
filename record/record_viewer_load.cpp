// Reading the record file into the viewer: the load by a worker thread with
// progress and cancel, FOLLOW on a file that a recording still writes, the
// second run laid over the first, and the marks kept beside the file.
#include "platform/graph.h"
#include "platform/popups.h"
#include "record/record_texts.h"
#include "record/record_viewer_parts.h"

#include <QFileInfo>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <sys/stat.h>

namespace record {

void RecordViewer::StartLoad(bool overlay) {
    loadOverlay_ = overlay;
    loadPath_ = overlay ? loadPath_ : path_;
    loadRun_ = std::make_unique<RecordRun>();
    loadReader_ = std::make_unique<RecordReader>();
    loadError_.clear();
    loadCancelled_ = false;
    cancel_ = false;
    done_ = false;
    progress_->setValue(0);
    progress_->setVisible(true);
    cancelLoad_->setVisible(true);
    status_->setText("Reading " + loadPath_ + " ...");
    const std::string file = loadPath_.toStdString();
    worker_ = std::thread([this, file]() {
        auto progress = [this](uint64_t done, uint64_t total) {
            loadDone_ = done;
            loadTotal_ = total;
            return !cancel_.load();
        };
        if (ReadRecordBytes(file, loadReader_.get(), loadRun_.get(), progress, &loadCancelled_,
                            &loadError_) &&
            !loadCancelled_ && loadReader_->state() == RecordReader::State::Header) {
            // The end of the file: a header without its column line is no
            // record file. An unfinished last line is the window's to judge.
            loadReader_->Finish();
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
    std::string refused = loadError_;
    if (refused.empty() && loadReader_->state() == RecordReader::State::Refused) {
        refused = loadReader_->refusal();
    }
    if (loadOverlay_) {
        if (refused.empty()) {
            overlay_ = std::make_unique<Overlay>();
            overlay_->path = loadPath_;
            if (!loadCancelled_) {
                loadReader_->TakeUnfinishedLine(loadRun_.get());
            }
            overlay_->run = std::move(*loadRun_);
            ExtendTimeAxis(overlay_->run.seconds, &overlay_->times);
            AlignOverlay(0, 0);
        } else {
            platform::MessagePopup(kTitleAttention, "THE RECORD FILE CAN NOT BE COMPARED! \n" +
                                                        loadPath_.toStdString() + "\n" + refused);
        }
        loadRun_.reset();
        loadReader_.reset();
        UpdateStatus();
        return;
    }
    if (!refused.empty()) {
        Refuse(refused);
        return;
    }
    // After a cancel what was read so far is shown; FOLLOW would read on.
    // A file read to its end is complete: its last line counts even
    // without a line end, unless a recording is being followed.
    cancelled_ = loadCancelled_;
    if (!cancelled_ && !following_) {
        loadReader_->TakeUnfinishedLine(loadRun_.get());
    }
    run_ = std::move(*loadRun_);
    reader_ = *loadReader_;
    loadRun_.reset();
    loadReader_.reset();
    shown_ = true;
    if (!quiet_) {
        // After the first picture: the list waits for its disk write.
        QTimer::singleShot(500, this, [this]() { RememberRecent(); });
    }
    RunGrew(true);
}

void RecordViewer::Refuse(const std::string& text) {
    refusal_ = text;
    if (quiet_) {
        return;
    }
    QPointer<RecordViewer> self(this);
    hide();
    platform::MessagePopup(kTitleAttention, "THE RECORD FILE CAN NOT BE SHOWN! \n" +
                                                path_.toStdString() + "\n" + text);
    if (self) {
        self->close();
    }
}

void RecordViewer::SetFollow(bool on) {
    if (follow_->isChecked() != on) {
        follow_->setChecked(on); // comes back here through the box
        return;
    }
    following_ = on;
    if (on) {
        followTimer_->start();
        return;
    }
    followTimer_->stop();
    if (!Loading() && reader_.pendingLine() && !cancelled_) {
        // No longer waiting for the recording: the last line is read as it is.
        const size_t before = run_.Frames();
        reader_.TakeUnfinishedLine(&run_);
        RunGrew(before == 0);
    }
    UpdateStatus();
}

void RecordViewer::FollowNow() {
    if (Loading() || closing_ || reader_.state() == RecordReader::State::Refused || !shown_) {
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
        // The file was started afresh: read it from its beginning, and show
        // the new run whole as it grows.
        run_ = RecordRun();
        reader_ = RecordReader();
        times_.Clear();
        cursorSet_ = false;
        planeFitted_ = true;
        yAuto_ = true;
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

void RecordViewer::RunGrew(bool rescale) {
    const size_t before = times_.x.size();
    const double oldFirst = before > 0 ? KeyOf(0) : 0;
    const double oldLast = before > 0 ? KeyOf(before - 1) : 0;
    ExtendTimeAxis(run_.seconds, &times_);
    UpdateFilterChoices();
    if (rescale || before == 0) {
        FitSeriesX();
        FitPlanes();
        if (overlay_) {
            AlignOverlay(overlay_->frame, overlay_->overlayFrame); // on the run read anew
        }
    } else if (run_.Frames() > before) {
        // Following: a view of the whole run stays the whole run; a view
        // that showed the newest frame moves on with it. The colour views
        // fit the points as long as nobody moved them.
        const QCPRange r = series_->xAxis->range();
        const double newLast = KeyOf(run_.Frames() - 1);
        if (r.lower <= oldFirst && r.upper >= oldLast) {
            FitSeriesX();
        } else if (r.upper >= oldLast && r.lower <= oldLast) {
            fitting_ = true;
            series_->xAxis->setRange(r.lower + (newLast - oldLast), r.upper + (newLast - oldLast));
            fitting_ = false;
        }
        if (planeFitted_) {
            FitPlanes();
        }
    }
    shapesDirty_ = true;
    PlaneChanged();
    QueueRedraw();
}

void RecordViewer::CompareWith(const QString& path) {
    if (Loading()) {
        return;
    }
    loadPath_ = QFileInfo(path).absoluteFilePath();
    StartLoad(true);
}

const RecordRun* RecordViewer::OverlayRun() const {
    return overlay_ ? &overlay_->run : nullptr;
}

void RecordViewer::AlignOverlay(size_t frame, size_t overlayFrame) {
    if (!overlay_ || run_.Frames() == 0 || overlay_->run.Frames() == 0) {
        return;
    }
    frame = std::min(frame, run_.Frames() - 1);
    overlayFrame = std::min(overlayFrame, overlay_->run.Frames() - 1);
    overlay_->frame = frame;
    overlay_->overlayFrame = overlayFrame;
    overlay_->timeShift = times_.x[frame] - overlay_->times.x[overlayFrame];
    overlay_->frameShift = static_cast<double>(frame) - static_cast<double>(overlayFrame);
    PlaneChanged();
    QueueRedraw();
}

bool RecordViewer::SetMark(size_t frame, const std::string& note, std::string* error) {
    std::vector<FrameMark> marks = marks_;
    std::erase_if(marks, [frame](const FrameMark& m) { return m.frame == frame; });
    marks.push_back({frame, note});
    std::sort(marks.begin(), marks.end(),
              [](const FrameMark& a, const FrameMark& b) { return a.frame < b.frame; });
    const std::string file = MarksPathOf(path_.toStdString());
    if (!WriteMarks(file, QFileInfo(path_).fileName().toStdString(), marks, run_, error)) {
        *error = "THE MARKS CAN NOT BE SAVED! \n" + file + "\n" + *error;
        return false;
    }
    marks_ = std::move(marks);
    QueueRedraw(kSeries);
    return true;
}

bool RecordViewer::RemoveMark(size_t frame, std::string* error) {
    std::vector<FrameMark> marks = marks_;
    std::erase_if(marks, [frame](const FrameMark& m) { return m.frame == frame; });
    const std::string file = MarksPathOf(path_.toStdString());
    if (!WriteMarks(file, QFileInfo(path_).fileName().toStdString(), marks, run_, error)) {
        *error = "THE MARKS CAN NOT BE SAVED! \n" + file + "\n" + *error;
        return false;
    }
    marks_ = std::move(marks);
    QueueRedraw(kSeries);
    return true;
}

} // namespace record
