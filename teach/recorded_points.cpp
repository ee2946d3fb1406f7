#include "teach/recorded_points.h"

#include <algorithm>

namespace teach {

Projection ProjectionOf(const RecordedPoint& p, int view) {
    switch (view) {
    case kViewXInt:
        return {p.x, p.intensity};
    case kViewYInt:
        return {p.y, p.intensity};
    default:
        return {p.x, p.y};
    }
}

bool PointBuffer::Append(const RecordedPoint& p) {
    if (Full()) {
        return false;
    }
    if (points_.size() == points_.capacity()) {
        // Memory as the points come: doubling keeps a recording's cost per
        // point constant, and the last step stops at the most it can hold.
        const size_t grown = std::max<size_t>(kFirstReserve, 2 * points_.capacity());
        points_.reserve(std::min<size_t>(grown, kMaxRecordedPoints));
    }
    points_.push_back(p);
    return true;
}

void PointBuffer::Clear() {
    std::vector<RecordedPoint>().swap(points_); // the memory goes back too
}

int FindRecordedPoint(const PointBuffer& points, int view, double a, double b) {
    const int n = points.Count();
    if (n == 0) {
        return -1;
    }
    for (int i = 0; i < n; ++i) {
        const Projection p = ProjectionOf(points.At(i), view);
        if (p.a == a && p.b == b) {
            return i;
        }
    }
    return 0; // a cursor where no point lies selects the first one
}

} // namespace teach
