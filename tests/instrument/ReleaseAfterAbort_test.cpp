// The release before the channel closes is not cut short by an abort: only its short settle
// ends early, and the answer to "LOC" is still awaited for its full time.
#include "instrument/CZarvikVTi.h"

#include "LinkFixture.h"
#include "host/units/HostMtiSettings.h"
#include "host/units/HostVersionCheck.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace linktest;

using ReleaseAfterAbort = LinkTest;

TEST_F(ReleaseAfterAbort, StillWritesTheReleaseAndAwaitsItsAnswer)
{
    const struct {
        const char* name;
        std::optional<Millis> abortAt; // after CloseChannel began; none: Abort just before it
        std::vector<int64_t> writtenAt;
        int64_t closedAt;
    } cases[] = {
        // A Wait after Abort returns at once, so the release goes out without its settle.
        {"abort before closing", std::nullopt, {0}, 1000},
        // An abort while the answer is awaited does not end that wait.
        {"abort while the answer is awaited", 500ms, {50}, 1050},
    };
    host::HostVersionCheck::SetHostVersion(std::nullopt);
    host::HostMtiSettings::SetPortOverride("ZARVIK", 1);
    MapDevice(1);
    device->AnswerLinkCheck();
    MessageBoxCapture boxes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto instrument = std::make_shared<vti::CZarvikVTi>();
        instrument->OpenChannel();
        ASSERT_EQ(instrument->State(), vti::evtiIdle);
        RunUntilIdle();
        device->writes.clear();
        const auto start = ElapsedMs();
        std::optional<plat::Timer> abort;
        if (c.abortAt) {
            abort = plat::Loop().StartOneShot(*c.abortAt, [instrument] { instrument->Abort(); });
        } else {
            instrument->Abort();
        }
        instrument->CloseChannel(); // the analyzer stays silent to the release

        std::vector<int64_t> times;
        for (const auto& w : device->writes) times.push_back(w.atMs - start);
        EXPECT_EQ(device->WrittenTexts(), std::vector<std::string>{"LOC\r"});
        EXPECT_EQ(times, c.writtenAt);
        EXPECT_EQ(ElapsedMs() - start, c.closedAt);
        EXPECT_EQ(engine->LinkState(), vti::lnkClosed);
        EXPECT_FALSE(engine->Form().Comm().PortOpen());
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    host::HostMtiSettings::ClearPortOverrides();
}

} // namespace
