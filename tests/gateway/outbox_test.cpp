// The queue between a sensor's worker and its broker connection: what waits
// while the broker is away, what is dropped and what never is.
#include "gateway/outbox.h"

#include <gtest/gtest.h>

using gateway::Message;
using gateway::Outbox;
using gateway::QueuedFrame;

namespace {

QueuedFrame Frame(uint64_t number) {
    QueuedFrame f;
    f.number = number;
    return f;
}

Message Msg(const std::string& topic, const std::string& payload) {
    Message m;
    m.topic = topic;
    m.payload = payload;
    return m;
}

} // namespace

TEST(GatewayOutbox, ABrokerAwayKeepsTheNewestFramesAndEveryStateButBoundsTheColours) {
    Outbox box(3, 0, [] {});
    for (uint64_t n = 1; n <= 5; ++n) {
        box.PushFrame(Frame(n));
    }
    box.PushMessage(Msg("state", "offline"));
    for (int i = 0; i < 5; ++i) {
        box.PushMessage(Msg("color", std::to_string(i)));
    }
    box.PushMessage(Msg("state", "online"));
    const gateway::Counters c = box.Snapshot();
    EXPECT_EQ(5u, c.read);
    EXPECT_EQ(2u, c.dropped);
    EXPECT_EQ(2u, c.colorsDropped);

    std::string order;
    Message m;
    while (box.TakeMessage(&m)) {
        order += m.topic + "=" + m.payload + " ";
    }
    EXPECT_EQ("state=offline color=2 color=3 color=4 state=online ", order);
    QueuedFrame f;
    const auto now = std::chrono::steady_clock::now();
    for (uint64_t n = 3; n <= 5; ++n) {
        ASSERT_TRUE(box.TakeFrame(&f, now));
        EXPECT_EQ(n, f.number);
    }
    EXPECT_FALSE(box.TakeFrame(&f, now));

    // A message the broker did not take goes first again, still counted.
    box.PutBack(Msg("color", "9"));
    for (int i = 0; i < 3; ++i) {
        box.PushMessage(Msg("color", "x"));
    }
    ASSERT_TRUE(box.TakeMessage(&m));
    EXPECT_EQ("x", m.payload) << "the colour put back was the oldest when the queue was full";
    EXPECT_EQ(3u, box.Snapshot().colorsDropped);
}

TEST(GatewayOutbox, ARateLetsTheNewestFrameOutAtItsPace) {
    Outbox box(100, 10, [] {}); // 10 a second
    const auto t0 = std::chrono::steady_clock::now();
    QueuedFrame f;
    box.PushFrame(Frame(1));
    ASSERT_TRUE(box.TakeFrame(&f, t0));
    box.PushFrame(Frame(2));
    box.PushFrame(Frame(3));
    EXPECT_FALSE(box.TakeFrame(&f, t0 + std::chrono::milliseconds(50)));
    ASSERT_TRUE(box.TakeFrame(&f, t0 + std::chrono::milliseconds(100)));
    EXPECT_EQ(3u, f.number);
    EXPECT_EQ(1u, box.Snapshot().dropped);
}
