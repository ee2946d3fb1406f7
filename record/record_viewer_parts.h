// What the record viewer's source files share inside the viewer: the
// second run laid over the first, the colours and the timings.
#pragma once

#include "platform/widgets.h"
#include "record/record_viewer.h"

#include <QString>

namespace record {

struct RecordViewer::Overlay {
    QString path;
    RecordRun run;
    TimeAxis times;
    // Added to the overlay's axis values to lay it over the run.
    double timeShift = 0;
    double frameShift = 0;
    size_t frame = 0;        // this run's frame the overlay is aligned at
    size_t overlayFrame = 0; // and the overlay's frame laid on it
};

// Every field in a colour of its own, the three channels in theirs.
inline constexpr ctl::Rgb kFieldColour[kRecordFieldCount] = {0xE00000, 0x00A000, 0x0000FF, 0xE07000,
                                                             0x8000C0, 0x000000, 0x906030, 0xE000E0,
                                                             0x008080, 0x909090, 0x708000};
inline constexpr ctl::Rgb kSpanColour = 0x4080FF;
inline constexpr ctl::Rgb kCursorColour = 0x404040;
inline constexpr ctl::Rgb kMarkColour = 0xC06000;
inline constexpr int kFrameRedrawMs = 16; // at most one redraw per screen refresh

// The three views of the colour space: horizontal and vertical field.
inline constexpr int kViewFields[3][2] = {
    {kFieldX, kFieldY}, {kFieldX, kFieldInt}, {kFieldY, kFieldInt}};

// "FRAME 12 (LINE 16)": frames count from 1 as the file's lines do.
QString FrameAndLine(const RecordRun& run, size_t frame);
// The file dialog for a record file to read (only existing files); true
// with *path set when one was chosen.
bool ChooseRecordFile(const std::string& directory, const std::string& name,
                      const std::string& title, std::string* path);
// The frame's date and time as the record file has it.
QString FrameTime(const RecordRun& run, size_t frame);

} // namespace record
