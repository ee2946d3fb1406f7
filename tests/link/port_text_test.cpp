// The port-number text of the connection page and the settings file, and
// the address ranges of a sensor search.
#include "link/port_text.h"
#include "link/search_range.h"

#include <gtest/gtest.h>

TEST(PortNumber, DigitsAfterBlanks) {
    EXPECT_EQ(0u, conn::PortNumberOfText("abc"));
    EXPECT_EQ(0u, conn::PortNumberOfText(""));
    EXPECT_EQ(502u, conn::PortNumberOfText(" 502x"));
    EXPECT_EQ(10001u, conn::PortNumberOfText("10001"));
}

// The TCP/IP ranges of a sensor search, as typed.
TEST(SearchRange, RangesNetworksAndHostsAsTyped) {
    std::vector<com232::TcpTarget> t;
    std::string error;
    ASSERT_TRUE(com232::ParseTcpRanges("192.168.0.20-22, 10.0.5.0/30:502 sensor-1", &t, &error))
        << error;
    std::vector<std::string> names;
    for (const com232::TcpTarget& x : t) {
        names.push_back(com232::TcpTargetName(x));
    }
    EXPECT_EQ(
        (std::vector<std::string>{"192.168.0.20:10001", "192.168.0.21:10001", "192.168.0.22:10001",
                                  "10.0.5.1:502", "10.0.5.2:502", "sensor-1:10001"}),
        names);
    // Across a boundary; a /32 and a repeat add nothing new twice.
    t.clear();
    ASSERT_TRUE(com232::ParseTcpRanges("10.0.0.255-10.0.1.1;10.0.1.1/32", &t, &error));
    EXPECT_EQ(3u, t.size());
    t.clear();
    ASSERT_TRUE(com232::ParseTcpRanges("10.0.0.0/16", &t, &error));
    EXPECT_EQ(65534u, t.size());
    EXPECT_EQ("10.0.255.254", t.back().host);
    // A bad entry names itself and leaves the list as it was.
    for (const char* bad : {"192.168.0.40-20", "192.168.0.1-300", "192.168.1.09", "10.0.0.0/33",
                            "host:0", "a/b", "10.0.0.0/15"}) {
        std::vector<com232::TcpTarget> kept = {{"x", 1}};
        EXPECT_FALSE(com232::ParseTcpRanges(bad, &kept, &error)) << bad;
        EXPECT_EQ(0u, error.find(bad)) << error;
        EXPECT_EQ(1u, kept.size());
    }
}
