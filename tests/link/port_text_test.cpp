// The port-number text of the connection page and the settings file.
#include "link/port_text.h"

#include <gtest/gtest.h>

TEST(PortNumber, DigitsAfterBlanks) {
    EXPECT_EQ(0u, conn::PortNumberOfText("abc"));
    EXPECT_EQ(0u, conn::PortNumberOfText(""));
    EXPECT_EQ(502u, conn::PortNumberOfText(" 502x"));
    EXPECT_EQ(10001u, conn::PortNumberOfText("10001"));
}
