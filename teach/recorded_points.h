// The points of the graph teach assistant, free of any panel: the buffer of
// up to 60 000 recorded measurements and the search for the point under a
// graph cursor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace teach {

constexpr int kMaxRecordedPoints = 60000;

// One recorded measurement: X, Y, INT (or s, i, M), and the colour patch
// colour of the frame it came from (0x00RRGGBB).
struct RecordedPoint {
    double x = 0;
    double y = 0;
    double intensity = 0;
    uint32_t colour = 0;
};

// The three side views of the assistant.
enum TeachView : int { kViewXY = 0, kViewXInt = 1, kViewYInt = 2 };

// The projection of a point into a view: (X, Y), (X, INT) or (Y, INT).
struct Projection {
    double a = 0;
    double b = 0;
};
Projection ProjectionOf(const RecordedPoint& p, int view);

// Recorded points in recording order, at most kMaxRecordedPoints.
class PointBuffer {
public:
    int Count() const { return static_cast<int>(points_.size()); }
    bool Full() const { return Count() >= kMaxRecordedPoints; }
    // Stores a point; false (nothing stored) when the buffer is full.
    bool Append(const RecordedPoint& p);
    const RecordedPoint& At(int i) const { return points_[static_cast<size_t>(i)]; }
    // Empties the buffer and gives its memory back.
    void Clear();
    // Points the memory held now has room for (grows with the recording).
    size_t Reserved() const { return points_.capacity(); }

private:
    static constexpr size_t kFirstReserve = 1024;
    std::vector<RecordedPoint> points_;
};

// Index of the first of points[0..n-1] whose projection into `view` is
// exactly (a, b); 0 when none matches, -1 when n is 0 (nothing to select).
int FindRecordedPoint(const PointBuffer& points, int view, double a, double b);

} // namespace teach
