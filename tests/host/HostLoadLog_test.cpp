#include "host/documents/HostLoadLog.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

using host::HostLoadLog;

TEST(HostLoadLog, EntriesBelongToTheInnermostOpenSection)
{
    HostLoadLog log;
    int32_t result = log.OpenSection("ZARVIK", "Energy result");
    log.AddEntry(1, 1, "before the measurement");
    int32_t measurement = log.OpenSection("ZARVIK", "");
    plat::VariantArray arguments = plat::VariantArray::OneDim(0, 1);
    arguments.At(0) = plat::Variant("ENGY");
    log.AddEntry(plat::Hr(0x8004A3FFu), 2, "Can not load a measurement because its key is missing", arguments);
    log.CloseSection(measurement);
    log.AddEntry(3, 1, "after the measurement");
    log.CloseSection(result);
    log.AddEntry(4, 0, "outside");

    EXPECT_EQ(result, 1);
    EXPECT_EQ(measurement, 2);
    ASSERT_EQ(log.Entries().size(), 4u);
    EXPECT_EQ(log.Entries()[0].section, result);
    EXPECT_EQ(log.Entries()[1].section, measurement);
    EXPECT_EQ(log.Entries()[1].severity, 2);
    EXPECT_EQ(log.Entries()[1].arguments.At(0), plat::Variant("ENGY"));
    EXPECT_EQ(log.Entries()[2].section, result);
    EXPECT_EQ(log.Entries()[3].section, 0);
    EXPECT_EQ(log.OpenSectionCount(), 0);
    EXPECT_EQ(log.Sections()[1].moduleKey, "ZARVIK");
    EXPECT_EQ(log.ToText().substr(0, 80), "[ZARVIK] severity 1, 0x00000001: before the measurement\n"
                                          "[ZARVIK] severity 2, 0x8");
}

TEST(HostLoadLog, ClosingAnUnknownOrClosedSectionIsHarmless)
{
    HostLoadLog log;
    int32_t outer = log.OpenSection("ZARVIK", "outer");
    int32_t inner = log.OpenSection("ZARVIK", "inner");
    for (int32_t number : {0, -1, 99, inner, inner}) log.CloseSection(number);
    EXPECT_EQ(log.OpenSectionCount(), 1);
    log.AddEntry(1, 1, "goes to the outer section");
    EXPECT_EQ(log.Entries().back().section, outer);
    EXPECT_TRUE(log.Sections()[0].open);
    EXPECT_FALSE(log.Sections()[1].open);
}
