#include "host/units/HostVersionCheck.h"

#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(HostVersionCheck, ComparesDottedVersionsPartByPart)
{
    const struct {
        std::string a;
        std::string b;
        std::optional<int> order;
    } cases[] = {
        {"2.1.2", "2.1.2", 0},
        {"2.2.0", "2.1.2", 1},
        {"2.1", "2.1.2", -1},
        {"2.1.2.0", "2.1.2", 0},
        {"10.0", "9.9", 1}, // numbers, not texts
        {"2.1.10", "2.1.9", 1},
        {"2.x", "2.1", std::nullopt},
        {"", "2.1", std::nullopt},
        {"2..1", "2.1", std::nullopt},
        {"2.1.", "2.1", std::nullopt},
        {"-1", "0", std::nullopt},
        {" 2.1", "2.1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " vs " + c.b);
        EXPECT_EQ(host::HostVersionCheck::Compare(c.a, c.b), c.order);
    }
}

TEST(HostVersionCheck, ReportsThisHostsVersionOrTheOneSet)
{
    host::HostVersionCheck check;
    EXPECT_TRUE(check.IsVersionAtLeast("2.1.2"));
    EXPECT_FALSE(check.IsVersionAtLeast("99"));
    EXPECT_FALSE(check.IsVersionAtLeast("not a version"));

    host::HostVersionCheck::SetHostVersion("2.1.1");
    EXPECT_EQ(check.Version(), "2.1.1");
    EXPECT_FALSE(check.IsVersionAtLeast("2.1.2"));
    host::HostVersionCheck::SetHostVersion("");
    EXPECT_THROW(check.IsVersionAtLeast("2.1.2"), plat::ComError);
    host::HostVersionCheck::SetHostVersion(std::nullopt);
    EXPECT_EQ(check.Version(), host::HostVersionCheck::DefaultVersion);
}

} // namespace
