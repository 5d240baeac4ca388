#include "host/standards/HostStandards.h"
#include "host/elements/HostTestCatalogue.h"
#include "host/elements/HostTestElement.h"
#include "host/elements/HostTestFilter.h"
#include "host/elements/HostTestInfo.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/interfaces/IConfigData.h"
#include "host/interfaces/ITestElement.h"
#include "testlib/core/CLimitData.h"
#include "tests/support/Errors.h"
#include "tests/support/FakeTestElement.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A test element known only by its test ID.
using IdElement = ztesting::FakeTestElement;

class IdGroup : public ztesting::FakeTestElement, public host::HostTestCatalogue {
public:
    using FakeTestElement::FakeTestElement;
};

// A configuration record that counts its clones.
class CountingConfig : public host::IConfigData {
public:
    int clones = 0;
    bool HasDialog() override { return false; }
    std::shared_ptr<host::IConfigData> Clone() override
    {
        ++clones;
        return std::make_shared<CountingConfig>();
    }
    std::shared_ptr<host::IDialog> CreateDialog() override { return nullptr; }
    void Load(const std::shared_ptr<host::HostXmlElement>&, const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>&) override { return nullptr; }
    void PrintReport(const std::shared_ptr<host::HostReport>&) override {}
};

std::vector<int32_t> Ids(host::HostTestCollection& collection)
{
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < collection.Count(); ++i) ids.push_back(collection.Item(i)->TestID());
    return ids;
}

} // namespace

TEST(HostTestCatalogue, AddsInOrderOrBeforeAnIndexAndRefusesARepeatedIdWhenAskedTo)
{
    host::HostTestCatalogue catalogue;
    catalogue.Add(std::make_shared<IdElement>(100), plat::Variant(), 0);
    catalogue.Add(std::make_shared<IdElement>(300), plat::Variant(), host::HostTestCollection::AddUnique);
    catalogue.Add(std::make_shared<IdElement>(200), plat::Variant(1), host::HostTestCollection::AddUnique);
    catalogue.Add(std::make_shared<IdElement>(100), plat::Variant(), 0);
    EXPECT_EQ(Ids(catalogue), (std::vector<int32_t>{100, 200, 300, 100}));

    EXPECT_EQ(ztesting::ErrorNumberOf([&] { catalogue.Add(std::make_shared<IdElement>(300), plat::Variant(), 1); }),
              host::HostTestCollection::ErrDuplicateTestId);
    EXPECT_EQ(ztesting::ErrorNumberOf([&] { catalogue.Add(nullptr, plat::Variant(), 0); }), plat::rt::ObjectNotSet);
    EXPECT_EQ(ztesting::ErrorNumberOf([&] { catalogue.Add(std::make_shared<IdElement>(1), plat::Variant(9), 0); }),
              plat::rt::SubscriptOutOfRange);
    EXPECT_EQ(ztesting::ErrorNumberOf([&] { catalogue.Item(4); }), plat::rt::SubscriptOutOfRange);
    EXPECT_EQ(catalogue.Count(), 4);

    catalogue.Clear();
    EXPECT_EQ(catalogue.Count(), 0);
}

TEST(HostTestCatalogue, FindsATestIdAtItsOwnLevelFirstThenInsideItsGroups)
{
    host::HostTestCatalogue catalogue;
    auto group = std::make_shared<IdGroup>(900);
    auto nested = std::make_shared<IdElement>(100);
    group->Add(nested, plat::Variant(), 0);
    catalogue.Add(group, plat::Variant(), 0);
    EXPECT_EQ(catalogue.ItemByTestID(100), nested);
    EXPECT_EQ(catalogue.ItemByTestID(900), group);

    auto top = std::make_shared<IdElement>(100);
    catalogue.Add(top, plat::Variant(), 0);
    EXPECT_EQ(catalogue.ItemByTestID(100), top);
    EXPECT_EQ(catalogue.ItemByTestID(4711), nullptr);
    // A group is never its own member.
    EXPECT_EQ(ztesting::ErrorNumberOf([&] { group->Add(group, plat::Variant(), 0); }), plat::rt::InvalidCall);
}

TEST(HostTestElement, ACloneSharesNothingThatCanChange)
{
    host::HostTestElement element;
    element.Initialize("ZARVIK", 100, 7);
    element.Info()->SetTypeAndParameter("Defibrillator", "Energy");
    element.Info()->SetName("Energy measurement");
    element.Filter()->SetFlags(host::HostTestFilter::FlagServiceRecord);
    auto config = std::make_shared<CountingConfig>();
    element.SetConfiguration(config);
    auto document = host::HostXmlDocument::Create();
    document->LoadXml(R"(<ExpectedResult><Standard AlphaName="IEC" CompleteName="IEC 60601-2-4"/></ExpectedResult>)");
    auto limits = std::make_shared<ztest::CLimitData>();
    limits->Load(document->DocumentElement(), nullptr);
    element.SetLimits(limits);

    auto copy = element.Clone();
    EXPECT_EQ(copy->PlugInID(), "ZARVIK");
    EXPECT_EQ(copy->TestID(), 100);
    EXPECT_EQ(copy->ID(), 7);
    EXPECT_NE(copy->Info(), element.Info());
    EXPECT_EQ(copy->Info()->Name(), "Energy measurement");
    EXPECT_EQ(copy->Info()->Parameter(), "Energy");
    EXPECT_NE(copy->Filter(), element.Filter());
    EXPECT_EQ(copy->Filter()->Flags(), host::HostTestFilter::FlagServiceRecord);
    EXPECT_EQ(config->clones, 1);
    EXPECT_NE(copy->Configuration(), element.Configuration());
    EXPECT_NE(copy->Limits(), element.Limits());
    EXPECT_EQ(copy->Result(), nullptr);

    // The copy's standards are its own: emptying them leaves the source's.
    ASSERT_NE(copy->Limits()->Standards(), nullptr);
    copy->Limits()->Standards()->ReleaseAll();
    EXPECT_EQ(element.Limits()->Standards()->Count(), 1u);

    copy->Info()->SetName("changed");
    EXPECT_EQ(element.Info()->Name(), "Energy measurement");

    element.Terminate();
    EXPECT_EQ(element.Configuration(), nullptr);
    EXPECT_EQ(element.Limits(), nullptr);
    EXPECT_NE(copy->Limits(), nullptr);
}
