#include <gtest/gtest.h>

#include <vector>

#include "xpc/dbus/DBusCallGate.h"

namespace harbormind {
namespace {

TEST(DBusCallGateTest, CallsPastThePlacesWaitInOrderAndEachEndLetsOneMoreGo) {
    DBusCallGate gate(2);
    std::vector<int> sent;
    for (int call = 0; call < 5; ++call) {
        gate.enter([&sent, call] { sent.push_back(call); });
    }
    EXPECT_EQ(sent, (std::vector<int>{0, 1}));
    EXPECT_EQ(gate.waiting(), 3);
    gate.leave();
    EXPECT_EQ(sent, (std::vector<int>{0, 1, 2}));
    gate.leave();
    gate.leave();
    EXPECT_EQ(sent, (std::vector<int>{0, 1, 2, 3, 4}));
    gate.leave();
    gate.leave();
    // Every place is free again: the next two go at once.
    gate.enter([&sent] { sent.push_back(5); });
    gate.enter([&sent] { sent.push_back(6); });
    EXPECT_EQ(sent.size(), 7u);
    EXPECT_EQ(gate.waiting(), 0);
}

TEST(DBusCallGateTest, ACallThatFailsAsItIsSentPassesItsPlaceOnWithoutLosingTheQueue) {
    DBusCallGate gate(1);
    std::vector<int> sent;
    gate.enter([&sent] { sent.push_back(0); });
    // Waiting calls whose sending fails at once end (and leave) inside their own send.
    for (int call = 1; call <= 3; ++call) {
        gate.enter([&gate, &sent, call] {
            sent.push_back(call);
            gate.leave();
        });
    }
    gate.enter([&sent] { sent.push_back(4); });
    gate.leave();
    EXPECT_EQ(sent, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(gate.waiting(), 0);
}

}  // namespace
}  // namespace harbormind
