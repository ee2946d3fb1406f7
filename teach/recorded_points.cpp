#include "teach/recorded_points.h"

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

PointBuffer::PointBuffer() {
    // The whole buffer at once, so recording never moves it.
    points_.reserve(kMaxRecordedPoints);
}

bool PointBuffer::Append(const RecordedPoint& p) {
    if (Full()) {
        return false;
    }
    points_.push_back(p);
    return true;
}

void PointBuffer::Clear() {
    points_.clear();
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
