#include "platform/com_port_map.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(ComPortMap, EachFamilyMapsBothWays) {
    EXPECT_EQ("/dev/ttyS0", ComPortToDevice(1));
    EXPECT_EQ("/dev/ttyS99", ComPortToDevice(100));
    EXPECT_EQ("/dev/ttyUSB0", ComPortToDevice(101));
    EXPECT_EQ("/dev/ttyACM3", ComPortToDevice(204));
    EXPECT_EQ("/dev/pts/7", ComPortToDevice(1007));
    for (int port : {1, 57, 100, 101, 150, 200, 201, 300, 1000, 1234, 9999}) {
        EXPECT_EQ(port, DeviceToComPort(ComPortToDevice(port))) << port;
    }
}

TEST(ComPortMap, OutOfRangeAndForeignNames) {
    EXPECT_EQ("", ComPortToDevice(0));
    EXPECT_EQ("", ComPortToDevice(-3));
    EXPECT_EQ("", ComPortToDevice(301));
    EXPECT_EQ("", ComPortToDevice(10000));
    EXPECT_EQ(-1, DeviceToComPort("/dev/ttyS"));
    EXPECT_EQ(-1, DeviceToComPort("/dev/ttyS100"));
    EXPECT_EQ(-1, DeviceToComPort("/dev/ttyS01"));
    EXPECT_EQ(-1, DeviceToComPort("/dev/ttyUSBx"));
    EXPECT_EQ(-1, DeviceToComPort("/dev/pts/9000"));
    EXPECT_EQ(-1, DeviceToComPort("/dev/null"));
}
