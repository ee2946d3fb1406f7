#include "teach/point_cloud.h"

#include <cmath>

namespace teach {
namespace {

constexpr int kDotPixels = 2; // a dot is 2 x 2 device pixels

} // namespace

PointCloud::PointCloud(QCPAxis* keyAxis, QCPAxis* valueAxis, QRgb colour)
    : QCPCurve(keyAxis, valueAxis), colour_(colour | 0xFF000000u) {
    setLineStyle(QCPCurve::lsNone);
    setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDot, QColor::fromRgb(colour_), 2));
    setSelectable(QCP::stNone);
    setAntialiased(false);
}

void PointCloud::AddPoint(double x, double y) {
    addData(x, y); // appended behind the last point, nothing is re-added
}

void PointCloud::PaintNewPoints() {
    const int n = data()->size();
    if (painted_ > n) {
        painted_ = 0; // points were removed: paint the rest anew
        cache_.fill(Qt::transparent);
    }
    const int w = cache_.width();
    const int h = cache_.height();
    const double left = area_.left();
    const double top = area_.top();
    auto it = data()->constBegin() + painted_;
    for (; painted_ < n; ++painted_, ++it) {
        const double px = (keyAxis()->coordToPixel(it->key) - left) * pixelRatio_;
        const double py = (valueAxis()->coordToPixel(it->value) - top) * pixelRatio_;
        if (!std::isfinite(px) || !std::isfinite(py)) {
            continue;
        }
        const int x0 = static_cast<int>(std::floor(px)) - kDotPixels / 2;
        const int y0 = static_cast<int>(std::floor(py)) - kDotPixels / 2;
        for (int y = std::max(y0, 0); y < std::min(y0 + kDotPixels, h); ++y) {
            auto* line = reinterpret_cast<QRgb*>(cache_.scanLine(y));
            for (int x = std::max(x0, 0); x < std::min(x0 + kDotPixels, w); ++x) {
                line[x] = colour_;
            }
        }
    }
}

void PointCloud::draw(QCPPainter* painter) {
    if (keyAxis() == nullptr || valueAxis() == nullptr) {
        return;
    }
    if (painter->modes().testFlag(QCPPainter::pmVectorized)) {
        QCPCurve::draw(painter); // vector output (PDF) gets real dots
        return;
    }
    const QRect area = keyAxis()->axisRect()->rect();
    const qreal ratio = parentPlot()->bufferDevicePixelRatio();
    const bool stale = area != area_ || ratio != pixelRatio_ || keyAxis()->range() != keyRange_ ||
                       valueAxis()->range() != valueRange_ || cache_.isNull();
    if (stale) {
        area_ = area;
        pixelRatio_ = ratio;
        keyRange_ = keyAxis()->range();
        valueRange_ = valueAxis()->range();
        const QSize size(std::max(1, static_cast<int>(std::ceil(area.width() * ratio))),
                         std::max(1, static_cast<int>(std::ceil(area.height() * ratio))));
        cache_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        cache_.setDevicePixelRatio(ratio);
        cache_.fill(Qt::transparent);
        painted_ = 0;
    }
    PaintNewPoints();
    painter->drawImage(area.topLeft(), cache_);
}

} // namespace teach
