#include "platform/ui/Event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using plat::Connection;
using plat::Event;
using plat::ScopedConnection;

TEST(Event, HandlersRunInOrderAndSeeChangesMadeWhileFiring)
{
    Event<int> event;
    std::vector<std::string> calls;
    Connection second;
    Connection first = event.Connect([&](int v) {
        calls.push_back("first " + std::to_string(v));
        // Stopping a later handler during the firing keeps it from running now;
        // a handler connected now first runs at the next firing.
        second.Disconnect();
        event.Connect([&](int w) { calls.push_back("late " + std::to_string(w)); });
        first.Disconnect();
    });
    second = event.Connect([&](int) { calls.push_back("second"); });

    event.Fire(1);
    event.Fire(2);

    EXPECT_EQ(calls, (std::vector<std::string>{"first 1", "late 2"}));
    EXPECT_EQ(event.HandlerCount(), 1u);
}

TEST(Event, ScopedConnectionEndsWithItsScopeAndOutlivingTheEventIsHarmless)
{
    int calls = 0;
    Event<> event;
    {
        ScopedConnection scoped = event.Connect([&] { ++calls; });
        event.Fire();
    }
    event.Fire();
    EXPECT_EQ(calls, 1);

    Connection orphan;
    {
        Event<> shortLived;
        orphan = shortLived.Connect([] {});
    }
    EXPECT_FALSE(orphan.Connected());
    orphan.Disconnect();
}

TEST(Event, ReferenceArgumentsLetHandlersChangeTheValue)
{
    Event<int16_t&> keyPress;
    keyPress.Connect([](int16_t& key) {
        if (key == 'x') key = 0;
    });
    int16_t typed = 'x';
    keyPress.Fire(typed);
    EXPECT_EQ(typed, 0);
}
