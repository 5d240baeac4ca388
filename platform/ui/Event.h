#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace plat {

namespace detail {
// One subscription. It stays reachable from the event while connected; a handle that outlives
// the event only sees a slot that nobody fires any more.
struct EventSlotBase {
    bool connected = true;
    virtual ~EventSlotBase() = default;
};
} // namespace detail

// Handle of one subscription. Copies share the subscription; Disconnect ends it for all of
// them, also while the event is firing (a handler that was not reached yet is then skipped).
class Connection {
public:
    Connection() = default;
    explicit Connection(std::weak_ptr<detail::EventSlotBase> slot) : mSlot(std::move(slot)) {}

    void Disconnect()
    {
        if (auto slot = mSlot.lock()) slot->connected = false;
        mSlot.reset();
    }
    bool Connected() const
    {
        auto slot = mSlot.lock();
        return slot && slot->connected;
    }

private:
    std::weak_ptr<detail::EventSlotBase> mSlot;
};

// A connection that ends when it goes out of scope; subscribers keep these as members so that
// no handler can run after the subscriber is gone.
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection c) : mConnection(std::move(c)) {}
    ScopedConnection(ScopedConnection&&) noexcept = default;
    ScopedConnection& operator=(ScopedConnection&& other) noexcept
    {
        if (this != &other) {
            mConnection.Disconnect();
            mConnection = std::move(other.mConnection);
        }
        return *this;
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ~ScopedConnection() { mConnection.Disconnect(); }

    void Disconnect() { mConnection.Disconnect(); }
    bool Connected() const { return mConnection.Connected(); }

private:
    Connection mConnection;
};

// An event of a control or form: handlers run synchronously, in the order they connected.
// Handlers may connect and disconnect handlers (themselves included) while the event fires;
// handlers connected during a firing first run at the next one. An error raised by a handler
// leaves Fire and reaches whoever changed the control, as it did on the original platform.
template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    Connection Connect(Handler handler)
    {
        auto slot = std::make_shared<Slot>();
        slot->handler = std::move(handler);
        Prune();
        mSlots.push_back(slot);
        return Connection(slot);
    }

    void Fire(Args... args)
    {
        // A copy, so that handlers may change the subscriptions while we walk them.
        auto slots = mSlots;
        for (const auto& slot : slots) {
            if (slot->connected) slot->handler(args...);
        }
    }

    void DisconnectAll()
    {
        for (const auto& slot : mSlots) slot->connected = false;
        mSlots.clear();
    }

    std::size_t HandlerCount() const
    {
        std::size_t n = 0;
        for (const auto& slot : mSlots) n += slot->connected ? 1 : 0;
        return n;
    }

private:
    struct Slot : detail::EventSlotBase {
        Handler handler;
    };

    void Prune()
    {
        std::erase_if(mSlots, [](const std::shared_ptr<Slot>& s) { return !s->connected; });
    }

    std::vector<std::shared_ptr<Slot>> mSlots;
};

} // namespace plat
