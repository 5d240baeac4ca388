#pragma once

// Shared fixture of the instrument link tests: a fresh engine on a virtual-time loop, a
// temporary registry, and a scripted analyzer on an in-process line whose every write is
// recorded with its virtual time.

#include "instrument/MComm.h"
#include "platform/base/RegistryStore.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/InProcessDevices.h"
#include "platform/serial/LinePeer.h"
#include "platform/serial/PortMap.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempFolder.h"
#include "support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace linktest {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Plays the analyzer: answers what the port writes by rules, and records every write.
class ScriptedDevice : public plat::LinePeer {
public:
    struct Piece {
        Millis at;
        std::string bytes;
    };
    struct Written {
        int64_t atMs;
        std::string bytes;
        plat::LineSettings settings;
    };

    // Times of writes count from `start`: by default the moment the device is made.
    explicit ScriptedDevice(plat::TimePoint start = plat::Loop().Now()) : mStart(start) {}

    // The reply pieces to the given write, at their times after it; `times` uses (-1: always).
    // Rules are tried in the order they were added; a write no rule matches gets no answer.
    void On(std::string written, std::vector<Piece> reply, int times = -1)
    {
        mRules.push_back({std::move(written), std::move(reply), times});
    }
    // Answers the link check "OK" 10 ms after it, always.
    void AnswerLinkCheck(std::string answer = "OK\r\n") { On("LOC\n\r", {{10ms, std::move(answer)}}); }

    // Puts bytes on the line now: they land on the port's next turn.
    void SendNow(std::string_view bytes) { SendToPort(bytes); }

    void SendLater(Millis delay, std::string bytes)
    {
        mTimers.push_back(plat::Loop().StartOneShot(delay, [this, bytes] { SendToPort(bytes); }));
    }

    std::vector<std::string> WrittenTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& w : writes) texts.push_back(w.bytes);
        return texts;
    }
    std::vector<int64_t> WriteTimes() const
    {
        std::vector<int64_t> times;
        for (const auto& w : writes) times.push_back(w.atMs);
        return times;
    }
    int64_t NowMs() const { return std::chrono::duration_cast<Millis>(plat::Loop().Now() - mStart).count(); }

    std::vector<Written> writes;
    // Answers in the order the writes came, as the analyzer does: no answer goes out before the
    // one before it.
    bool inOrder = false;
    int attaches = 0;
    int detaches = 0;
    // Sent as soon as a port attaches (data on the line before anyone asked).
    std::string onAttach;
    std::function<void(const std::string&)> onWrite;
    // Runs when the port lets the device go.
    std::function<void()> onDetach;

protected:
    void OnAttached() override
    {
        ++attaches;
        if (!onAttach.empty()) SendToPort(onAttach);
    }
    void OnDetached() override
    {
        ++detaches;
        if (onDetach) onDetach();
    }
    void OnReceived(std::string_view bytes, const plat::LineSettings& settings) override
    {
        const std::string text(bytes);
        writes.push_back({NowMs(), text, settings});
        if (onWrite) onWrite(text);
        for (auto& rule : mRules) {
            if (rule.written != text || rule.times == 0) continue;
            if (rule.times > 0) --rule.times;
            for (const auto& piece : rule.reply) {
                Millis at = piece.at;
                if (inOrder) {
                    at = std::max(at, mBusyUntil - Millis(NowMs()));
                    mBusyUntil = Millis(NowMs()) + at;
                }
                SendLater(at, piece.bytes);
            }
            break;
        }
    }

private:
    struct Rule {
        std::string written;
        std::vector<Piece> reply;
        int times;
    };
    plat::TimePoint mStart;
    std::vector<Rule> mRules;
    Millis mBusyUntil{0};
    std::list<plat::Timer> mTimers;
};

// Message boxes are recorded and answered with their default buttons; the registry is a
// temporary one for the life of a test.
using ztesting::MessageBoxCapture;
using ztesting::MessageBoxRecorder;
using ztesting::TempRegistry;

// Every test gets a fresh engine as the engine of the process, a virtual-time loop, and ports
// 1 to 16 mapped to no device; MapDevice puts the scripted analyzer on a port.
class LinkTest : public ztesting::VirtualLoopTest {
protected:
    static constexpr const char* DeviceName = "scripted";

    void SetUp() override
    {
        engine = std::make_shared<vti::MComm>();
        mPreviousEngine = vti::MComm::SetProcess(engine);
        device = std::make_shared<ScriptedDevice>();
        plat::InProcessDevices::Register(DeviceName, [this] { return device; });
        for (int port = 1; port <= 16; ++port) plat::PortMap::SetOverride(port, "");
    }

    void TearDown() override
    {
        // The port goes before its device and its loop.
        vti::MComm::SetProcess(mPreviousEngine);
        engine.reset();
        plat::PortMap::ClearOverrides();
        plat::InProcessDevices::Unregister(DeviceName);
        for (const auto& name : mPortDevices) plat::InProcessDevices::Unregister(name);
        RunUntilIdle();
    }

    void MapDevice(int port) { plat::PortMap::SetOverride(port, DeviceName); }

    // Puts a fresh scripted analyzer in place of the one before, answering in order, its times
    // counted as those of the test's first one.
    void FreshInOrderDevice()
    {
        device = std::make_shared<ScriptedDevice>(Now() - Elapsed());
        device->inOrder = true;
    }

    // Puts a device of its own on the port, or (present false) a device that is not there;
    // every attempt to open the port is recorded in `opens`.
    std::shared_ptr<ScriptedDevice> PortDevice(int port, bool present = true)
    {
        auto own = present ? std::make_shared<ScriptedDevice>() : nullptr;
        const std::string name = "port" + std::to_string(port);
        plat::InProcessDevices::Register(name, [this, port, own] {
            if (opens.empty() || opens.back() != port) opens.push_back(port);
            return std::shared_ptr<plat::LinePeer>(own);
        });
        mPortDevices.push_back(name);
        plat::PortMap::SetOverride(port, name);
        return own;
    }

    // Opens port 1 on the scripted analyzer (answering the link check) and clears the record
    // of writes; virtual time is measured from the end of the opening on.
    void Connect()
    {
        MapDevice(1);
        device->AnswerLinkCheck();
        engine->CommInit();
        ASSERT_EQ(engine->CommOpenPort(1), vti::lnkIdle);
        RunUntilIdle();
        device->writes.clear();
        mConnectedAt = ElapsedMs();
    }

    // Virtual time since Connect, and the times of the writes since then.
    int64_t SinceConnect() const { return ElapsedMs() - mConnectedAt; }
    std::vector<int64_t> WriteTimesSinceConnect() const
    {
        std::vector<int64_t> times;
        for (const auto& w : device->writes) times.push_back(w.atMs - mConnectedAt);
        return times;
    }

    std::string Exchange(const std::string& command)
    {
        engine->CommSendCommand(command);
        std::string reply = "<unset>";
        engine->CommGetReply(reply);
        return reply;
    }

    // Runs fn from a posted event once the engine has reached the state, looking again after
    // each of at most `turns` turns: an event that arrives while the machine is in that state.
    void WhenState(vti::ELinkState state, std::function<void()> fn, int turns = 50)
    {
        plat::Loop().Post([this, state, fn, turns] {
            if (engine->LinkState() == state) {
                fn();
            } else if (turns > 0) {
                WhenState(state, fn, turns - 1);
            }
        });
    }

    // What the instrument's Abort does to the engine.
    void AbortEngine()
    {
        engine->mfAbort = true;
        engine->mfStopSearch = true;
    }

    TempRegistry registry;
    std::shared_ptr<vti::MComm> engine;
    std::shared_ptr<ScriptedDevice> device;
    // The ports that PortDevice devices were asked to open, in order (repeats of one port in a
    // row counted once).
    std::vector<int> opens;

private:
    std::vector<std::string> mPortDevices;
    std::shared_ptr<vti::MComm> mPreviousEngine;
    int64_t mConnectedAt = 0;
};

} // namespace linktest
