// A cloud of up to tens of thousands of dots in a graph. The dots are kept
// in the curve's data (so a snapping cursor finds them) and painted into a
// cached image: a replot paints only the dots added since the last one and
// copies the image, so its cost does not grow with the number of dots. Only
// a change of the plot area or of the axis ranges paints them all again.
#pragma once

#include <qcustomplot.h>

#include <QImage>

namespace teach {

class PointCloud : public QCPCurve {
public:
    PointCloud(QCPAxis* keyAxis, QCPAxis* valueAxis, QRgb colour);
    void AddPoint(double x, double y);
    int PointCount() const { return data()->size(); }

protected:
    void draw(QCPPainter* painter) override;

private:
    void PaintNewPoints();

    QRgb colour_;
    QImage cache_;
    int painted_ = 0;
    QRect area_;
    QCPRange keyRange_;
    QCPRange valueRange_;
    qreal pixelRatio_ = 1;
};

} // namespace teach
