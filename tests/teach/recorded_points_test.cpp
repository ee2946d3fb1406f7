// The graph teach assistant's point buffer and the search for the point
// under a cursor.
#include "teach/recorded_points.h"

#include <gtest/gtest.h>

using namespace teach;

namespace {

RecordedPoint P(double x, double y, double i) {
    RecordedPoint p;
    p.x = x;
    p.y = y;
    p.intensity = i;
    return p;
}

} // namespace

TEST(RecordedPoints, SearchFindsTheFirstExactMatchInEachView) {
    PointBuffer b;
    b.Append(P(500, 400, 800));
    b.Append(P(510, 405, 810));
    b.Append(P(520, 410, 820));
    EXPECT_EQ(1, FindRecordedPoint(b, kViewXInt, 510, 810));
    EXPECT_EQ(2, FindRecordedPoint(b, kViewYInt, 410, 820));
    EXPECT_EQ(0, FindRecordedPoint(b, kViewXY, 500, 400));
    // no exact match: the first point
    EXPECT_EQ(0, FindRecordedPoint(b, kViewXY, 510.5, 405));
    EXPECT_EQ(0, FindRecordedPoint(b, kViewXInt, 510, 405)); // the X/Y projection, not X/INT
    const Projection yi = ProjectionOf(b.At(1), kViewYInt);
    EXPECT_EQ(405, yi.a);
    EXPECT_EQ(810, yi.b);
}

TEST(RecordedPoints, DuplicatesSelectTheEarlierPointAndAnEmptyBufferNothing) {
    PointBuffer b;
    EXPECT_EQ(-1, FindRecordedPoint(b, kViewXY, 0, 0));
    b.Append(P(1, 1, 1));
    b.Append(P(300, 200, 900));
    b.Append(P(300, 200, 1000)); // same X and Y, other INT
    EXPECT_EQ(1, FindRecordedPoint(b, kViewXY, 300, 200));
    EXPECT_EQ(2, FindRecordedPoint(b, kViewXInt, 300, 1000));
}

TEST(RecordedPoints, BufferStopsAtSixtyThousandAndHoldsMemoryOnlyForWhatCame) {
    PointBuffer b;
    EXPECT_EQ(0u, b.Reserved()); // nothing held before the first point
    for (int i = 0; i < kMaxRecordedPoints; ++i) {
        ASSERT_TRUE(b.Append(P(i % 1000, i / 1000, i)));
        if (i == 99) {
            EXPECT_LT(b.Reserved(), 5000u);
        }
    }
    EXPECT_EQ(static_cast<size_t>(kMaxRecordedPoints), b.Reserved()); // never beyond the most
    EXPECT_TRUE(b.Full());
    EXPECT_FALSE(b.Append(P(1, 2, 3)));
    EXPECT_EQ(kMaxRecordedPoints, b.Count());
    EXPECT_EQ(59999, b.At(kMaxRecordedPoints - 1).intensity);
    // the search covers every recorded point, the last one included
    EXPECT_EQ(kMaxRecordedPoints - 1, FindRecordedPoint(b, kViewXInt, 999, 59999));
    b.Clear();
    EXPECT_EQ(0, b.Count());
    EXPECT_EQ(0u, b.Reserved());
    EXPECT_TRUE(b.Append(P(1, 2, 3)));
}
