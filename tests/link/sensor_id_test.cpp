#include "link/sensor_id.h"

#include <gtest/gtest.h>

using com232::SplitSensorId;

TEST(SensorId, VersionAndDisplayText) {
    auto p = SplitSensorId("CHROMIK3 V4.3.0  SIMULATED SENSOR");
    EXPECT_EQ("CHROMIK3 V4.3", p.Version());
    EXPECT_EQ("CHROMIK3 V4.3 SIMULATED SENSOR", p.Display());

    p = SplitSensorId("CHROMIK3 V4.3.1 REV B");
    EXPECT_EQ("CHROMIK3 V4.3", p.Version());
    EXPECT_EQ("REV B", p.c);
}

TEST(SensorId, MissingTokensAreEmptyAndEmptyTokensAreSkipped) {
    EXPECT_EQ(".", SplitSensorId("").Version());
    EXPECT_EQ("CHROMIK3 V4.", SplitSensorId("CHROMIK3 V4").Version());
    auto p = SplitSensorId("..CHROMIK3 V4..3");
    EXPECT_EQ("CHROMIK3 V4.3", p.Version());
    EXPECT_EQ("", p.c);
    // no blank after the dropped token: nothing is left for C
    EXPECT_EQ("", SplitSensorId("CHROMIK3 V4.3.7").c);
    EXPECT_EQ("CHROMIK3 V4.30", SplitSensorId("CHROMIK3 V4.30.1 X").Version());
}
