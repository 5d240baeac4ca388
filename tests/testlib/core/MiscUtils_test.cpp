#include "testlib/core/MMiscUtils.h"

#include "host/units/HostMtiList.h"
#include "host/standards/HostStandard.h"
#include "host/interfaces/IPlugIn.h"
#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/core/GGlobals.h"
#include "testlib/core/IGGlobals.h"
#include "testlib/core/IZARVIKPlugIn.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using host::HostMtiList;
using ztest::CMtiData2;
namespace MMiscUtils = ztest::MMiscUtils;

namespace {

// Every test starts from the module state of a freshly loaded library.
class MiscUtils : public ::testing::Test {
protected:
    void SetUp() override { MMiscUtils::ResetModuleState(); }
    void TearDown() override { MMiscUtils::ResetModuleState(); }
};

struct Unit {
    std::string module;
    int32_t index;
    std::string type;
    std::string serial;
};

std::shared_ptr<HostMtiList> MakeList(const std::vector<Unit>& units)
{
    auto list = std::make_shared<HostMtiList>();
    for (const auto& u : units) {
        auto entry = list->NewEntry();
        entry->Initialize(u.module, u.index);
        entry->SetMtiData(u.type, u.serial, "fw-" + u.serial);
        list->Add(entry);
    }
    return list;
}

std::shared_ptr<CMtiData2> MakeRecord(const std::string& type, const std::string& serial,
                                      const std::string& firmware = "2.01")
{
    auto record = std::make_shared<CMtiData2>();
    record->SetMtiType(type);
    record->SetSerial(serial);
    record->SetFirmware(firmware);
    return record;
}

// A plug-in entry as the host loads it: IPlugIn for the host, IZARVIKPlugIn for the library.
class FakePlugIn : public host::IPlugIn, public ztest::IZARVIKPlugIn {
public:
    explicit FakePlugIn(std::string id) : mId(std::move(id)) {}

    std::string ID() override { return mId; }
    plat::ObjectPtr Icon(int32_t, int32_t, int32_t) override { return nullptr; }
    std::string Name() override { return "fake"; }
    int32_t Flags() override { return 0; }
    std::shared_ptr<host::ISetup> Setup() override { return nullptr; }
    plat::ObjectPtr ControlPanel() override { return nullptr; }
    std::shared_ptr<host::HostTestCollection> Tests() override { return nullptr; }
    std::string Version() override { return "1"; }
    plat::ObjectPtr PlugInMenu() override { return nullptr; }
    void Initialize(const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::ITestElement> CreateTest(int32_t) override { return nullptr; }
    plat::ObjectPtr CreateDutData() override { return nullptr; }

    std::shared_ptr<host::HostStandard> LoadStandard(int32_t testId, const std::string& alphaName,
                                                     const std::string& completeName) override
    {
        if (fail) throw plat::ComError(5, "fake", "catalogue unreadable");
        asked.push_back(std::to_string(testId) + " " + alphaName + " " + completeName);
        if (testId != 100) return nullptr;
        auto standard = std::make_shared<host::HostStandard>();
        standard->Initialize(alphaName, completeName, 1);
        return standard;
    }

    std::vector<std::string> asked;
    bool fail = false;

private:
    std::string mId;
};

} // namespace

// ---- Analyzer units --------------------------------------------------------------------------

TEST_F(MiscUtils, RegisterMtiReusesAKnownUnitAndGivesANewOneAnIndexNoOtherUnitHas)
{
    struct Case {
        const char* name;
        std::vector<Unit> units;
        std::string type;
        std::string serial;
        int32_t index;
        bool added;
    };
    const Case cases[] = {
        {"the first unit gets 1", {}, "Impulse 7000", "A100", 1, true},
        {"a known unit keeps its index",
         {{"ZARVIK", 1, "Impulse 7000", "A100"}, {"ZARVIK", 2, "Impulse 7000", "A200"}},
         "Impulse 7000", "A200", 2, false},
        {"a new serial follows the highest index of its type",
         {{"ZARVIK", 1, "Impulse 7000", "A100"}, {"ZARVIK", 3, "Impulse 7000", "A300"}},
         "Impulse 7000", "A400", 4, true},
        {"a new type follows the highest index of every type",
         {{"ZARVIK", 5, "Impulse 6000", "B1"}, {"ZARVIK", 2, "Impulse 7000", "A1"}},
         "Impulse 7000", "A2", 6, true},
        {"types and serials compare exactly", {{"ZARVIK", 1, "Impulse 7000", "A100"}}, "impulse 7000", "A100", 2, true},
        {"an empty serial is searched like any other",
         {{"ZARVIK", 1, "Impulse 7000", "A100"}, {"ZARVIK", 2, "Impulse 7000", ""}},
         "Impulse 7000", "", 2, false},
        {"a new empty serial takes the next free index", {{"ZARVIK", 1, "Impulse 7000", "A100"}}, "Impulse 7000", "", 2,
         true},
        {"units of other modules are neither reused nor counted",
         {{"OTHER", 1, "Impulse 7000", "A100"}, {"OTHER", 9, "Impulse 7000", "A900"}, {"zarvik", 2, "Impulse 6000", "B"}},
         "Impulse 7000", "A100", 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MMiscUtils::ResetModuleState();
        auto list = MakeList(c.units);
        const std::size_t before = list->Count();

        EXPECT_EQ(MMiscUtils::RegisterMti(list, MakeRecord(c.type, c.serial)), c.index);
        EXPECT_EQ(list->Count(), before + (c.added ? 1 : 0));
        EXPECT_EQ(MMiscUtils::LastRegisteredIndex(), c.added ? c.index : 0);
        if (c.added) {
            auto entry = list->Find("ZARVIK", c.index);
            ASSERT_TRUE(entry);
            EXPECT_EQ(entry->ModuleKey(), "ZARVIK");
            EXPECT_EQ(entry->MtiType(), c.type);
            EXPECT_EQ(entry->Serial(), c.serial);
            EXPECT_EQ(entry->Firmware(), "2.01");
        }
    }
}

TEST_F(MiscUtils, RegisterMtiWithoutAListOrARecordRegistersNothing)
{
    auto list = MakeList({{"ZARVIK", 1, "Impulse 7000", "A100"}});
    EXPECT_EQ(MMiscUtils::RegisterMti(nullptr, MakeRecord("Impulse 7000", "A200")), 0);
    EXPECT_EQ(MMiscUtils::RegisterMti(list, nullptr), 0);
    EXPECT_EQ(list->Count(), 1u);

    // A list whose indexes are used up refuses politely instead of overflowing.
    auto full = MakeList({{"ZARVIK", INT32_MAX, "Impulse 7000", "A100"}});
    EXPECT_EQ(MMiscUtils::RegisterMti(full, MakeRecord("Impulse 7000", "A200")), 0);
    EXPECT_EQ(full->Count(), 1u);
    EXPECT_EQ(MMiscUtils::LastRegisteredIndex(), 0);
}

TEST_F(MiscUtils, CreateMtiDataCopiesTheUnitOfAnIndexOrOfTheLastRegistration)
{
    auto list = MakeList({{"ZARVIK", 1, "Impulse 7000", "A100"}, {"OTHER", 2, "Impulse 6000", "B1"}});

    // Right after loading nothing has been registered.
    EXPECT_EQ(MMiscUtils::CreateMtiData(list, 0), nullptr);

    auto first = MMiscUtils::CreateMtiData(list, 1);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->MtiType(), "Impulse 7000");
    EXPECT_EQ(first->Serial(), "A100");
    EXPECT_EQ(first->Firmware(), "fw-A100");

    EXPECT_EQ(MMiscUtils::CreateMtiData(list, 2), nullptr); // another module's unit
    EXPECT_EQ(MMiscUtils::CreateMtiData(list, 7), nullptr);
    EXPECT_EQ(MMiscUtils::CreateMtiData(list, -1), nullptr);
    EXPECT_EQ(MMiscUtils::CreateMtiData(nullptr, 1), nullptr);

    ASSERT_EQ(MMiscUtils::RegisterMti(list, MakeRecord("Impulse 7000", "A500", "3.10")), 2);
    auto last = MMiscUtils::CreateMtiData(list, 0);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Serial(), "A500");
    EXPECT_EQ(last->Firmware(), "3.10");

    // Finding a known unit again is no new registration.
    ASSERT_EQ(MMiscUtils::RegisterMti(list, MakeRecord("Impulse 7000", "A100")), 1);
    EXPECT_EQ(MMiscUtils::CreateMtiData(list, 0)->Serial(), "A500");
}

// ---- Plug-in pointer -------------------------------------------------------------------------

TEST_F(MiscUtils, OnlyThisSystemsPlugInIsStoredAndAskedForStandards)
{
    EXPECT_EQ(MMiscUtils::LoadStandardFromPlugIn(100, "IEC", "IEC 60601"), nullptr);

    ztest::GGlobals globals;
    auto ours = std::make_shared<FakePlugIn>("ZARVIK");
    globals.SetPlugInPointer(ours);
    auto standard = MMiscUtils::LoadStandardFromPlugIn(100, "IEC", "IEC 60601");
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->AlphaName(), "IEC");
    EXPECT_EQ(standard->CompleteName(), "IEC 60601");
    EXPECT_EQ(MMiscUtils::LoadStandardFromPlugIn(700, "IEC", "IEC 60601"), nullptr);
    EXPECT_EQ(ours->asked, (std::vector<std::string>{"100 IEC IEC 60601", "700 IEC IEC 60601"}));

    // Another plug-in leaves the stored one in place.
    auto foreign = std::make_shared<FakePlugIn>("OTHER");
    globals.SetPlugInPointer(foreign);
    globals.SetPlugInPointer(nullptr);
    EXPECT_EQ(MMiscUtils::StoredPlugIn(), ours);
    EXPECT_TRUE(MMiscUtils::LoadStandardFromPlugIn(100, "A", "B"));
    EXPECT_TRUE(foreign->asked.empty());

    // A failing lookup gives none and raises nothing.
    ours->fail = true;
    EXPECT_EQ(MMiscUtils::LoadStandardFromPlugIn(100, "A", "B"), nullptr);
}

TEST_F(MiscUtils, TheStoredPlugInCanBeReleasedByItsHost)
{
    auto plugIn = std::make_shared<FakePlugIn>("ZARVIK");
    std::weak_ptr<FakePlugIn> watch = plugIn;
    ztest::GGlobals().SetPlugInPointer(plugIn);
    ASSERT_TRUE(MMiscUtils::StoredPlugIn());

    plugIn.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(MMiscUtils::StoredPlugIn(), nullptr);
    EXPECT_EQ(MMiscUtils::LoadStandardFromPlugIn(100, "IEC", "IEC 60601"), nullptr);
}

// The plug-in entry reaches GGlobals, and the guide window CMtiData2, by ProgID through the
// registry, exactly as the host's libraries find each other.
TEST_F(MiscUtils, TheSharedClassesAreServedByTheTestLibrary)
{
    const ztesting::TempRegistry registry;
    const auto registered = plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoZarvikTest.so");
    std::vector<std::string> progIds;
    for (const auto& c : registered) progIds.push_back(c.progId + " " + c.clsid);
    EXPECT_NE(std::find(progIds.begin(), progIds.end(),
                        "TelvoZarvikTest.GGlobals {D008C46B-511F-4D97-9C52-E4FC7FEE107C}"),
              progIds.end());
    EXPECT_NE(std::find(progIds.begin(), progIds.end(),
                        "TelvoZarvikTest.CMtiData2 {8D2E1299-669F-47AD-9231-0326894F782A}"),
              progIds.end());

    auto globals = plat::CreateObjectAs<ztest::IGGlobals>("TelvoZarvikTest.GGlobals");
    ASSERT_TRUE(globals);
    auto plugIn = std::make_shared<FakePlugIn>("ZARVIK");
    globals->SetPlugInPointer(plugIn);
    EXPECT_TRUE(MMiscUtils::LoadStandardFromPlugIn(100, "IEC", "IEC 60601"));

    auto record = plat::CreateObjectAs<CMtiData2>("TelvoZarvikTest.CMtiData2");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->MtiType() + record->Serial() + record->Firmware(), "");

    globals.reset();
    record.reset();
}
