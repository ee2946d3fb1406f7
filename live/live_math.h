// Arithmetic of the live displays, free of widgets: the values the program
// derives from a LiveDataFrame (raw spread, colour patch, output LEDs), the
// strip-chart histories, the intensity band of a teach row, the extents of
// the taught tolerance shapes and the centring of the colour-space views.
#pragma once

#include "live/live_frame.h"
#include "params/parameter_layout.h"

#include <cstdint>

namespace live {

// ---- values derived from one frame ------------------------------------------

// Peak-to-peak spread of RAW RED/GREEN/BLUE (compared as signed values).
uint16_t RawDeltaOf(const LiveDataFrameBytes& frame);

// Colour patch 0x00RRGGBB from RED/16, GREEN/16, BLUE/16 (truncating toward
// zero); a channel outside 0..255 is clamped, so wild values never bleed
// into a neighbouring channel.
uint32_t ColourOfRgb(int16_t red, int16_t green, int16_t blue);

// OUT0..OUT4 (bit 0..4) lit by a COLOR word in the output-pattern modes: the
// word taken as unsigned is broken down by successive subtraction of 16, 8,
// 4, 2, and OUT0 lights if anything remains (255 lights all five).
uint8_t OutputLedPattern(int16_t colorWord);

// ---- strip-chart histories --------------------------------------------------

constexpr int kHistoryFrames = 100;
constexpr int kHistorySize = 3 * kHistoryFrames; // interleaved triples

// The last 100 triples, oldest first; a push shifts everything left by one
// triple and puts the new one last.
struct History {
    double v[kHistorySize] = {};
    void Push(double a, double b, double c);
    // Trace `t` (0..2) of frame `i` (0 oldest .. 99 newest).
    double At(int i, int t) const { return v[3 * i + t]; }
};

// ---- teach rows in the colour space -----------------------------------------

// One teach row as the graphs read it: colour centre (x, y) with radius r,
// intensity centre i with radius t. In the 2D modes the row holds X, Y, CTO,
// INT, ITO; in the 3D modes X, Y, INT, TOL and TOL serves as both radii.
struct RowShape {
    int32_t x = 0;
    int32_t y = 0;
    int32_t r = 0;
    int32_t i = 0;
    int32_t t = 0;
};
RowShape ShapeOfRow(const params::TeachTableBytes& table, int row, uint16_t calculationMode);

// Intensity and its tolerance of a teach row (INT, ITO in 2D; INT, TOL in 3D).
struct IntensityOfRow {
    uint16_t centre = 0;
    uint16_t tolerance = 0;
};
IntensityOfRow IntensityOf(const params::TeachTableBytes& table, int row, uint16_t calculationMode);

// Upper and lower band of the INT strip chart: centre + tolerance capped at
// 4095, centre - tolerance floored at 0.
struct Band {
    int32_t lo = 0;
    int32_t hi = 0;
};
Band StripChartBand(uint16_t centre, uint16_t tolerance);
// The band drawn on the 2D page's intensity bar: capped at 4096, floored at 0.
Band IntensityBarBand(uint16_t centre, uint16_t tolerance);

// Smallest and largest X, Y and INT covered by the taught rows.
struct Extents {
    int32_t minX = 0, maxX = 0;
    int32_t minY = 0, maxY = 0;
    int32_t minI = 0, maxI = 0;
};
// A row widens the extents only when X is above 10 or Y is 11 or more (rows
// left at the reset value 1 do not count); with no such row each coordinate
// spans 0..10000.
Extents ExtentsOf(const params::TeachTableBytes& table, uint16_t calculationMode);

// ---- centring of the colour-space views -------------------------------------

struct Centred {
    int32_t span = 0;
    int32_t centre = 0;
};
// Keeps both the value v and the extents lo..hi in view.
Centred CentreOf(int32_t v, int32_t lo, int32_t hi);

struct ViewAxes {
    double xLo = 0, xHi = 0;
    double yLo = 0, yHi = 0;
};
// Axes of a view showing a (horizontal) and b (vertical): both get the same
// length, so circles stay round; 25 units of margin on each side.
ViewAxes AxesOf(int32_t a, int32_t aLo, int32_t aHi, int32_t b, int32_t bLo, int32_t bHi);

// ---- signal graphs ------------------------------------------------------------

constexpr int kSignalCount = 7; // RED GREEN BLUE X Y INT TEMP
// The frame field behind signal s.
LiveField SignalField(int s);

// One segment per signal from the previous to the current frame; the first
// frame after Start gives segments of length zero.
struct SignalSeries {
    struct Segment {
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    int16_t previous[kSignalCount] = {};
    int16_t current[kSignalCount] = {};
    uint32_t previousX = 0;
    uint32_t currentX = 0;
    uint32_t counter = 0;

    void Start(const LiveDataFrameBytes& frame);
    // Takes the next frame; fills `segments` (kSignalCount entries).
    void Add(const LiveDataFrameBytes& frame, Segment* segments);
};

} // namespace live
