#include "host/units/HostMtiList.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

using host::HostMtiList;
using plat::ComError;

namespace {

std::shared_ptr<HostMtiList::Entry> AddUnit(HostMtiList& list, const std::string& module, int32_t index,
                                           const std::string& type, const std::string& serial)
{
    auto entry = list.NewEntry();
    entry->Initialize(module, index);
    entry->SetMtiData(type, serial, "1.0" + std::to_string(index));
    list.Add(entry);
    return entry;
}

} // namespace

TEST(HostMtiList, WalksInOrderAndFindsByModuleAndIndex)
{
    HostMtiList list;
    AddUnit(list, "ZARVIK", 3, "Zarvik 1", "S3");
    AddUnit(list, "ZARVIK", 1, "Zarvik 1", "S1");
    AddUnit(list, "OTHER", 1, "Other", "O1");

    std::string walk;
    for (const auto& entry : list) walk += entry->ModuleKey() + "/" + std::to_string(entry->Index()) + " ";
    EXPECT_EQ(walk, "ZARVIK/3 ZARVIK/1 OTHER/1 ");

    auto found = list.Find("ZARVIK", 3);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->MtiType(), "Zarvik 1");
    EXPECT_EQ(found->Serial(), "S3");
    EXPECT_EQ(found->Firmware(), "1.03");
    EXPECT_EQ(list.Find("zarvik", 1)->Serial(), "S1");
    EXPECT_EQ(list.Find("OTHER", 1)->Serial(), "O1");
    EXPECT_EQ(list.Find("ZARVIK", 2), nullptr);
    EXPECT_EQ(list.Find("NONE", 1), nullptr);
    EXPECT_EQ(list.Item(2)->ModuleKey(), "OTHER");
    EXPECT_THROW(list.Item(3), ComError);
}

TEST(HostMtiList, RefusesEntriesThatWouldBeAmbiguous)
{
    HostMtiList list;
    AddUnit(list, "ZARVIK", 1, "Zarvik 1", "S1");

    auto uninitialised = list.NewEntry();
    auto noModule = list.NewEntry();
    noModule->Initialize("", 2);
    auto zeroIndex = list.NewEntry();
    zeroIndex->Initialize("ZARVIK", 0);
    auto taken = list.NewEntry();
    taken->Initialize("Zarvik", 1);
    taken->SetMtiData("Zarvik 1", "S2", "");

    for (const auto& entry : {std::shared_ptr<HostMtiList::Entry>{}, uninitialised, noModule, zeroIndex, taken}) {
        EXPECT_THROW(list.Add(entry), ComError);
    }
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Find("ZARVIK", 1)->Serial(), "S1");

    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}
