#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostRegistry.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/elements/HostTestCatalogue.h"
#include "host/elements/HostTestInfo.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlErrors.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ITestElement.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/Bitmap.h"
#include "plugin/CZARVIKSetup.h"
#include "plugin/CZarvikPlugIn.h"
#include "testlib/core/MMiscUtils.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tests/plugin/fixture/PluginFixture.h"
#include "tests/support/Errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using zplugin::CZarvikPlugIn;

namespace {

constexpr const char* kStandardA = R"xml(<ExpectedResult>
  <Standard AlphaName="IEC" CompleteName="IEC 60601-2-4">
    <LimitItem Key="ENGY" Unit="J"><Upper Enabled="True" Value="15" Formula="X+(X*Y%)"/></LimitItem>
  </Standard>
</ExpectedResult>)xml";
constexpr const char* kStandardB = R"(<ExpectedResult>
  <Standard AlphaName="AAMI" CompleteName="AAMI DF80"/>
</ExpectedResult>)";

// A catalogue entry of the fixture's test element.
std::string Entry(const std::string& id, const std::string& inner = {}, const std::string& className = kFixtureTestProgId)
{
    return "<TestElement ClassName=\"" + className + "\" ID=\"" + id + "\">" + inner + "</TestElement>";
}

std::string Catalogue(const std::string& templateData)
{
    return "<?xml version=\"1.0\"?>\n<Catalogue><TemplateData>" + templateData + "</TemplateData></Catalogue>\n";
}

class PlugIn : public ::testing::Test {
protected:
    PlugIn() { ztest::MMiscUtils::ResetModuleState(); }
    ~PlugIn() override
    {
        host::HostTranslator::SetProcess(previousTranslator);
        ztest::MMiscUtils::ResetModuleState();
    }

    // Points the settings at a catalogue file with this text.
    void UseCatalogue(const std::string& text) { UsePath(registry.WriteFile("catalogue.mpc", text)); }
    static void UsePath(const std::string& path)
    {
        host::HostRegistry key;
        key.CreateKey(host::HKEY_LOCAL_MACHINE, zplugin::CZARVIKSetup::RegistryKey);
        key.SetStringValue("Configuration", path);
    }

    // The code that Initialize raised, or none.
    std::optional<int32_t> Initialize()
    {
        try {
            plugIn->Initialize(nullptr);
            return std::nullopt;
        } catch (const plat::ComError& error) {
            return error.Number();
        }
    }
    // Initializes and expects no error, no message box and no report.
    void InitializeCleanly()
    {
        EXPECT_EQ(Initialize(), std::nullopt);
        EXPECT_EQ(boxes.Prompts(), std::vector<std::string>{});
        EXPECT_TRUE(reports.Reports().empty()) << reports.Reports().front().description;
    }

    std::vector<int32_t> TopLevelIds()
    {
        std::vector<int32_t> ids;
        auto tests = plugIn->Tests();
        for (int32_t i = 0; i < tests->Count(); ++i) ids.push_back(tests->Item(i)->TestID());
        return ids;
    }

    std::vector<int32_t> ReportedNumbers() const
    {
        std::vector<int32_t> numbers;
        for (const auto& report : reports.Reports()) numbers.push_back(report.number);
        return numbers;
    }

    ztesting::PluginRegistry registry;
    // Every message box is kept and answered with OK.
    ztesting::MessageBoxCapture boxes{plat::vbOK};
    host::HostErrorRaiser::ReportCapture reports;
    std::shared_ptr<host::HostTranslator> previousTranslator =
        host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>());
    std::shared_ptr<CZarvikPlugIn> plugIn = std::make_shared<CZarvikPlugIn>();
};

} // namespace

TEST_F(PlugIn, ReadsTheEntriesInOrderWithTheirTranslatedTexts)
{
    host::HostTranslator::Process()->SetText("ZARVIK", "20031", "Energiemessung");
    UseCatalogue(Catalogue(
        "<Comment>not an entry</Comment>" +
        Entry("100", R"(<Type LID="20010::Defibrillator"/><Parameter LID="20020::Energy"/>)"
                     R"(<Name LID="20099::First name"/><Name LID="20031::Energy measurement">own text</Name>)"
                     R"(<Description LID="20042::Measures a discharge"/><Unknown LID="20001::x"/>)") +
        "<TestElements/>" + Entry("200", R"(<Type>no LID</Type><Name LID="plain text"/>)")));
    InitializeCleanly();

    ASSERT_EQ(TopLevelIds(), (std::vector<int32_t>{100, 200}));
    auto first = plugIn->Tests()->Item(0)->Info();
    EXPECT_EQ(first->Type(), "Defibrillator");
    EXPECT_EQ(first->Parameter(), "Energy");
    // The last "Name" wins; its own text is not read.
    EXPECT_EQ(first->Name(), "Energiemessung");
    EXPECT_EQ(first->Description(), "Measures a discharge");
    EXPECT_EQ(first->ClassName(), kFixtureTestProgId);
    auto second = plugIn->Tests()->Item(1)->Info();
    EXPECT_EQ(second->Type(), "");
    EXPECT_EQ(second->Parameter(), "");
    EXPECT_EQ(second->Name(), "plain text");
    EXPECT_EQ(second->Description(), "");
}

TEST_F(PlugIn, TheIdIsTheLeadingNumberRoundedHalfToEven)
{
    UseCatalogue(Catalogue(Entry("100.5") + Entry("101.5") + Entry("12abc") + Entry(" 7e2") + Entry("99999999999")));
    EXPECT_EQ(Initialize(), std::nullopt);
    EXPECT_EQ(TopLevelIds(), (std::vector<int32_t>{100, 102, 12, 700}));
    // A number beyond the range costs its entry only.
    ASSERT_EQ(boxes.Prompts().size(), 1u);
    EXPECT_NE(boxes.Prompts()[0].find("99999999999"), std::string::npos) << boxes.Prompts()[0];
    EXPECT_EQ(ReportedNumbers(), std::vector<int32_t>{plat::rt::Overflow});
}

TEST_F(PlugIn, OnlyRegisteredTestElementClassesAreCreated)
{
    const std::string library = ztesting::PluginRegistry::LibraryPath("telvoZarvik");
    UseCatalogue(Catalogue(Entry("100", "", "TelvoZarvikTest.CTestNobody") + Entry("200", "", kFixturePlainProgId) +
                           Entry("300", "", library) + Entry("400", "", "{00000000-0000-0000-0000-000000000001}") +
                           Entry("500")));
    EXPECT_EQ(Initialize(), std::nullopt);

    EXPECT_EQ(TopLevelIds(), std::vector<int32_t>{500});
    ASSERT_EQ(boxes.Prompts().size(), 4u);
    EXPECT_NE(boxes.Prompts()[0].find("TelvoZarvikTest.CTestNobody"), std::string::npos) << boxes.Prompts()[0];
    EXPECT_EQ(ReportedNumbers(), (std::vector<int32_t>{plat::rt::ClassNotRegistered, plat::rt::TypeMismatch,
                                                        plat::rt::ClassNotRegistered, plat::rt::ClassNotRegistered}));
    for (const auto& report : reports.Reports()) EXPECT_EQ(report.reportedBy, "TelvoZARVIK.CZARVIKPlugIn");
}

TEST_F(PlugIn, ACatalogueThatCannotBeUsedFailsInitialize)
{
    struct Case {
        const char* name;
        std::optional<std::string> text;  // none: the path below is used as it is
        std::string path;
        int32_t code;
        size_t boxes;
    };
    const std::string dir = registry.Dir();
    const Case cases[] = {
        {"no TemplateData", "<Catalogue><Templates/></Catalogue>", "", CZarvikPlugIn::ErrBadCatalogue, 0},
        {"an empty TemplateData", "<Catalogue><TemplateData>  <!-- nothing --> </TemplateData></Catalogue>", "",
         CZarvikPlugIn::ErrBadCatalogue, 0},
        {"an entry without ClassName", Catalogue(Entry("100") + "<TestElement ID=\"200\"/>" + Entry("300")), "",
         CZarvikPlugIn::ErrBadCatalogue, 1},
        {"an entry without ID", Catalogue("<TestElement ClassName=\"" + std::string(kFixtureTestProgId) + "\"/>"), "",
         CZarvikPlugIn::ErrBadCatalogue, 1},
        {"a nested entry without ID, shown once",
         Catalogue(Entry("100", Entry("110", Entry(""), kFixtureGroupProgId), kFixtureGroupProgId)), "",
         CZarvikPlugIn::ErrBadCatalogue, 1},
        {"a missing file", std::nullopt, dir + "/missing.mpc", CZarvikPlugIn::ErrFileNotFound, 0},
        {"no path at all", std::nullopt, "", CZarvikPlugIn::ErrFileNotFound, 0},
        {"a folder", std::nullopt, dir, CZarvikPlugIn::ErrFileAccess, 0},
        {"a missing folder", std::nullopt, dir + "/nowhere/Zarvik.mpc", CZarvikPlugIn::ErrFileAccess, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        plugIn = std::make_shared<CZarvikPlugIn>();
        if (c.text) {
            UseCatalogue(*c.text);
        } else {
            UsePath(c.path);
        }
        EXPECT_EQ(Initialize(), c.code);
        EXPECT_EQ(boxes.Prompts().size(), c.boxes);
        EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->Tests(); }), CZarvikPlugIn::ErrNotInitialized);
        EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->CreateTest(100); }), CZarvikPlugIn::ErrNotInitialized);
        EXPECT_EQ(plugIn->LoadStandard(100, "IEC", "IEC 60601-2-4"), nullptr);
    }
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(PlugIn, ABrokenOrHostileFileIsReportedAndLeavesNoCatalogue)
{
    struct Case {
        const char* name;
        std::string text;
        int32_t reported;
    };
    const Case cases[] = {
        {"not well-formed", "<Catalogue><TemplateData>", host::xmlerr::Malformed},
        {"a document type with an entity",
         "<?xml version=\"1.0\"?><!DOCTYPE c [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<Catalogue><TemplateData>" + Entry("100", "<Name LID=\"&x;\"/>") + "</TemplateData></Catalogue>",
         host::xmlerr::Rejected},
        {"larger than the limit", "", host::xmlerr::Rejected},
    };
    // A file beyond the size limit is refused before it is read.
    const std::string huge = registry.WriteFile("huge.mpc", "<Catalogue>");
    std::filesystem::resize_file(huge, host::HostXmlDocument::MaxDocumentBytes + 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        plugIn = std::make_shared<CZarvikPlugIn>();
        if (c.text.empty()) {
            UsePath(huge);
        } else {
            UseCatalogue(c.text);
        }
        const size_t before = reports.Reports().size();
        EXPECT_EQ(Initialize(), std::nullopt);
        ASSERT_EQ(reports.Reports().size(), before + 1);
        EXPECT_EQ(reports.Reports().back().number, c.reported);
        EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->Tests(); }), CZarvikPlugIn::ErrNotInitialized);
    }
}

TEST_F(PlugIn, ErrorsOfTheCreatedElementsAreRoutedByTheirCode)
{
    // An element that declares the catalogue unusable: the whole catalogue is dropped.
    for (int32_t fatal : {kRaiseCatalogueFatal1, kRaiseCatalogueFatal2}) {
        SCOPED_TRACE(fatal);
        plugIn = std::make_shared<CZarvikPlugIn>();
        boxes.Clear();
        UseCatalogue(Catalogue(Entry("100") + Entry(std::to_string(fatal), "", kFixtureRaisingProgId) + Entry("300")));
        EXPECT_EQ(Initialize(), std::nullopt);
        EXPECT_EQ(boxes.Prompts().size(), 1u);
        EXPECT_EQ(reports.Reports().back().number, fatal == kRaiseCatalogueFatal1 ? plat::Hr(0x80047730u)
                                                                                 : plat::Hr(0x80047737u));
        // The reader raises the code again as its own, at level 3, before it reports it.
        EXPECT_EQ(reports.Reports().back().errorSource, CZarvikPlugIn::Source);
        EXPECT_EQ(reports.Reports().back().level, 3);
        EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->Tests(); }), CZarvikPlugIn::ErrNotInitialized);
        EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->CreateTest(100); }), CZarvikPlugIn::ErrNotInitialized);
    }

    // A host notice is passed over; any other error costs its entry.
    plugIn = std::make_shared<CZarvikPlugIn>();
    boxes.Clear();
    UseCatalogue(Catalogue(Entry(std::to_string(kRaiseHostNotice), "", kFixtureRaisingProgId) +
                           Entry(std::to_string(kRaiseOther), "", kFixtureRaisingProgId) + Entry("300")));
    EXPECT_EQ(Initialize(), std::nullopt);
    EXPECT_EQ(TopLevelIds(), (std::vector<int32_t>{kRaiseHostNotice, 300}));
    EXPECT_EQ(boxes.Prompts().size(), 1u);
    EXPECT_EQ(reports.Reports().back().number, plat::rt::InvalidCall);
}

TEST_F(PlugIn, ARepeatedIdKeepsTheFirstTemplateAndIsReported)
{
    UseCatalogue(Catalogue(Entry("100", R"(<Name LID="1::first"/>)") + Entry("100", R"(<Name LID="2::second"/>)") +
                           Entry("200")));
    EXPECT_EQ(Initialize(), std::nullopt);
    EXPECT_EQ(TopLevelIds(), (std::vector<int32_t>{100, 200}));
    EXPECT_EQ(plugIn->Tests()->Item(0)->Info()->Name(), "first");
    EXPECT_EQ(ReportedNumbers(), std::vector<int32_t>{host::HostTestCollection::ErrDuplicateTestId});
    EXPECT_TRUE(boxes.Prompts().empty());
}

TEST_F(PlugIn, GroupsHoldTheirNestedEntries)
{
    UseCatalogue(Catalogue(Entry("100") +
                           Entry("900",
                                 R"(<Name LID="1::Group"/>)" + Entry("910", kStandardA) +
                                     Entry("920", Entry("921"), kFixtureGroupProgId),
                                 kFixtureGroupProgId)));
    InitializeCleanly();

    EXPECT_EQ(TopLevelIds(), (std::vector<int32_t>{100, 900}));
    auto group = plat::QueryInterface<host::HostTestCollection>(plugIn->Tests()->Item(1));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->Count(), 2);
    EXPECT_EQ(group->Item(0)->TestID(), 910);
    EXPECT_EQ(plugIn->Tests()->Item(1)->Info()->Name(), "Group");
    auto inner = plat::QueryInterface<host::HostTestCollection>(group->Item(1));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Item(0)->TestID(), 921);

    // Nested templates are found by their test ID.
    auto nested = plugIn->CreateTest(921);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->TestID(), 921);
    EXPECT_NE(plugIn->LoadStandard(910, "IEC", "IEC 60601-2-4"), nullptr);
}

TEST_F(PlugIn, GroupsNestNoDeeperThanSixteenLevels)
{
    // Seventeen levels of groups: the entries of the seventeenth level are skipped.
    std::string nested = Entry("17", Entry("18"), kFixtureGroupProgId);
    for (int level = 16; level >= 1; --level) nested = Entry(std::to_string(level), nested, kFixtureGroupProgId);
    UseCatalogue(Catalogue(nested));
    EXPECT_EQ(Initialize(), std::nullopt);

    EXPECT_NE(plugIn->Tests()->ItemByTestID(16), nullptr);
    EXPECT_EQ(plugIn->Tests()->ItemByTestID(17), nullptr);
    EXPECT_EQ(plugIn->Tests()->ItemByTestID(18), nullptr);
    ASSERT_EQ(boxes.Prompts().size(), 1u);
    EXPECT_EQ(ReportedNumbers(), std::vector<int32_t>{CZarvikPlugIn::ErrGroupTooDeep});
}

TEST_F(PlugIn, TheLastExpectedResultGivesTheTemplatesStandards)
{
    UseCatalogue(Catalogue(Entry("100", std::string(kStandardA) + kStandardB) + Entry("200", kStandardA)));
    InitializeCleanly();

    auto standards = plugIn->Tests()->Item(0)->Limits()->Standards();
    ASSERT_NE(standards, nullptr);
    ASSERT_EQ(standards->Count(), 1u);
    EXPECT_EQ(standards->Item(0)->AlphaName(), "AAMI");
    EXPECT_EQ(plugIn->LoadStandard(100, "IEC", "IEC 60601-2-4"), nullptr);
    EXPECT_NE(plugIn->LoadStandard(100, "AAMI", "AAMI DF80"), nullptr);
}

TEST_F(PlugIn, CreateTestGivesAClonedTemplateWithoutStandards)
{
    EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->CreateTest(100); }), CZarvikPlugIn::ErrNotInitialized);
    UseCatalogue(Catalogue(Entry("100", R"(<Name LID="1::Energy"/>)" + std::string(kStandardA)) +
                           Entry("1", "", kFixtureRaisingProgId)));
    InitializeCleanly();
    auto template100 = plugIn->Tests()->Item(0);

    auto first = plugIn->CreateTest(100);
    auto second = plugIn->CreateTest(100);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_NE(first, template100);
    EXPECT_EQ(first->TestID(), 100);
    EXPECT_EQ(first->Info()->Name(), "Energy");
    EXPECT_NE(first->Info(), template100->Info());
    for (const auto& created : {first, second}) {
        auto standards = created->Limits()->Standards();
        EXPECT_TRUE(!standards || standards->Count() == 0);
        // The clone's limits are its own, and belong to it.
        EXPECT_NE(created->Limits(), template100->Limits());
        EXPECT_EQ(created->Limits()->Owner(), created);
    }

    // The template keeps its standards; what LoadStandard gives is a copy.
    ASSERT_EQ(template100->Limits()->Standards()->Count(), 1u);
    auto standard = plugIn->LoadStandard(100, "IEC", "IEC 60601-2-4");
    ASSERT_NE(standard, nullptr);
    EXPECT_NE(standard, template100->Limits()->Standards()->Item(0));
    ASSERT_EQ(standard->Count(), 1u);
    EXPECT_EQ(standard->Item(0)->Key(), "ENGY");
    EXPECT_FLOAT_EQ(standard->Item(0)->Value(0), 15.0f);
    standard->ClearItems();
    EXPECT_EQ(plugIn->LoadStandard(100, "IEC", "IEC 60601-2-4")->Count(), 1u);

    // A new standard of a created test is first asked of the catalogue.
    auto created = first->Limits()->CreateStandard("IEC", "IEC 60601-2-4");
    ASSERT_NE(created, nullptr);
    EXPECT_FLOAT_EQ(created->Item(0)->Value(0), 15.0f);

    EXPECT_EQ(ztesting::ErrorNumberOf([&] { plugIn->CreateTest(4711); }), CZarvikPlugIn::ErrNoTemplate);
    // A clone that fails is reported with the plug-in's class name and gives nothing.
    EXPECT_EQ(plugIn->CreateTest(1), nullptr);
    ASSERT_FALSE(reports.Reports().empty());
    EXPECT_EQ(reports.Reports().back().number, kFixtureCloneError);
    EXPECT_EQ(reports.Reports().back().reportedBy, "CZarvikPlugIn");
}

TEST_F(PlugIn, LoadStandardGivesNothingForWhatTheCatalogueLacks)
{
    EXPECT_EQ(plugIn->LoadStandard(100, "IEC", "IEC 60601-2-4"), nullptr);
    UseCatalogue(Catalogue(Entry("100", kStandardA) + Entry("200")));
    InitializeCleanly();
    EXPECT_EQ(plugIn->LoadStandard(300, "IEC", "IEC 60601-2-4"), nullptr);
    EXPECT_EQ(plugIn->LoadStandard(100, "IEC", "another"), nullptr);
    EXPECT_EQ(plugIn->LoadStandard(100, "iec", "IEC 60601-2-4"), nullptr);
    EXPECT_EQ(plugIn->LoadStandard(200, "IEC", "IEC 60601-2-4"), nullptr);
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(PlugIn, IconsComeFromTheBitmapResourcesByTestIdAndSize)
{
    struct Case {
        int32_t testId;
        int32_t size;
        const char* key;  // null: no picture
        int32_t width;
        int32_t height;
    };
    const Case cases[] = {
        {0, 0, "ZARVIK(16X16X256)", 16, 16},    {0, 2, "ZARVIK(32X32X256)", 32, 32},
        {0, 1, nullptr, 0, 0},                  {100, 0, "TE:EMT(16X16X256)", 16, 16},
        {100, 1, "TE:EMT(32X16X256)", 32, 16},  {100, 2, nullptr, 0, 0},
        {700, 1, "TE:PPT(32X16X256)", 32, 16},  {1100, 0, "TE:ECG(16X16X256)", 16, 16},
        {1100, 3, nullptr, 0, 0},               {150, 0, nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.testId) + " size " + std::to_string(c.size));
        auto picture = plat::QueryInterface<plat::Bitmap>(plugIn->Icon(c.testId, c.size, 8));
        if (!c.key) {
            EXPECT_EQ(picture, nullptr);
            continue;
        }
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Key(), c.key);
        EXPECT_EQ(picture->Width(), c.width);
        EXPECT_EQ(picture->Height(), c.height);
    }
    // Every test of the catalogue has both of its pictures.
    for (int32_t testId = 100; testId <= 1100; testId += 100) {
        for (int32_t size : {0, 1}) {
            auto picture = plat::QueryInterface<plat::Bitmap>(plugIn->Icon(testId, size, 0));
            ASSERT_NE(picture, nullptr) << testId;
            EXPECT_EQ(picture->Width(), size == 0 ? 16 : 32);
            EXPECT_EQ(picture->Height(), 16);
        }
    }
}

TEST_F(PlugIn, TellsTheHostWhoItIs)
{
    auto created = plat::CreateObjectAs<host::IPlugIn>(CZarvikPlugIn::ProgId);
    ASSERT_NE(created, nullptr);
    EXPECT_NE(plat::QueryInterface<ztest::IZARVIKPlugIn>(created), nullptr);
    EXPECT_EQ(created->ID(), "ZARVIK");
    EXPECT_EQ(created->Name(), "Zarvik Defibrillator Analyzer");
    host::HostTranslator::Process()->SetText("ZARVIK", "20000", "Zarvik-Analysator");
    EXPECT_EQ(created->Name(), "Zarvik-Analysator");
    EXPECT_EQ(created->Version(), "1.0.0");
    EXPECT_EQ(created->Flags(), 0);
    EXPECT_EQ(created->ControlPanel(), nullptr);
    EXPECT_EQ(created->PlugInMenu(), nullptr);
    EXPECT_EQ(created->CreateDutData(), nullptr);
    EXPECT_EQ(created->Setup(), nullptr);

    UseCatalogue(Catalogue(Entry("100")));
    created->Initialize(nullptr);
    auto setup = created->Setup();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->HasDialog());
    EXPECT_EQ(std::dynamic_pointer_cast<zplugin::CZARVIKSetup>(setup)->ConfigFile(), registry.Dir() + "/catalogue.mpc");
}

TEST_F(PlugIn, TheTestLibraryHoldsThePlugInWeakly)
{
    UseCatalogue(Catalogue(Entry("100", kStandardA)));
    InitializeCleanly();
    EXPECT_EQ(ztest::MMiscUtils::StoredPlugIn(), plugIn);
    EXPECT_NE(ztest::MMiscUtils::LoadStandardFromPlugIn(100, "IEC", "IEC 60601-2-4"), nullptr);

    std::weak_ptr<CZarvikPlugIn> watchPlugIn = plugIn;
    std::weak_ptr<host::ITestElement> watchTemplate = plugIn->Tests()->Item(0);
    auto created = plugIn->CreateTest(100);
    plugIn.reset();
    EXPECT_TRUE(watchPlugIn.expired());
    EXPECT_TRUE(watchTemplate.expired());
    EXPECT_EQ(ztest::MMiscUtils::StoredPlugIn(), nullptr);
    // A test the host still holds lives on without the plug-in.
    EXPECT_EQ(created->TestID(), 100);
}

TEST_F(PlugIn, TheShippedCatalogueGivesTheElevenTestsAndTheirDefaultStandards)
{
    // Registering the plug-in named the shipped catalogue.
    host::HostRegistry key;
    key.OpenKey(host::HKEY_LOCAL_MACHINE, zplugin::CZARVIKSetup::RegistryKey);
    const std::string shipped = key.GetStringValue("Configuration");
    EXPECT_EQ(std::filesystem::path(shipped).filename(), "Zarvik.mpc");

    // Read with the fixture's element in place of every test class, the catalogue loads whole.
    std::ifstream in(shipped);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::pair<int32_t, std::string>> expected = {
        {100, "CTestEnergy"}, {200, "CTestCharge"},   {300, "CTestCardio"},   {400, "CTestNSW"},
        {500, "CTestArr"},    {600, "CTestPerf"},     {700, "CTestPacerPar"}, {800, "CTestPacerRef"},
        {900, "CTestBatCap"}, {1000, "CTestDefib"},   {1100, "CTestEcg"},
    };
    for (const auto& [id, className] : expected) {
        const std::string attribute = "ClassName=\"TelvoZarvikTest." + className + "\" ID=\"" + std::to_string(id) + "\"";
        const auto at = text.find(attribute);
        ASSERT_NE(at, std::string::npos) << attribute;
        text.replace(at, attribute.size(), "ClassName=\"" + std::string(kFixtureTestProgId) + "\" ID=\"" + std::to_string(id) + "\"");
    }
    UseCatalogue(text);
    InitializeCleanly();

    std::vector<int32_t> ids;
    for (const auto& entry : expected) ids.push_back(entry.first);
    EXPECT_EQ(TopLevelIds(), ids);
    for (int32_t i = 0; i < plugIn->Tests()->Count(); ++i) {
        auto info = plugIn->Tests()->Item(i)->Info();
        EXPECT_FALSE(info->Type().empty() || info->Parameter().empty() || info->Name().empty() ||
                     info->Description().empty())
            << info->Name();
    }
    EXPECT_EQ(plugIn->Tests()->Item(0)->Info()->Name(), "Energy measurement");

    // Every rated test has a default standard; the waveform tests are judged by the operator.
    for (int32_t id : {100, 200, 300, 700, 800, 900, 1000})
        EXPECT_NE(plugIn->LoadStandard(id, "IEC", "IEC 60601-2-4"), nullptr) << id;
    for (int32_t id : {400, 500, 600, 1100}) EXPECT_EQ(plugIn->LoadStandard(id, "IEC", "IEC 60601-2-4"), nullptr) << id;

    // Energy within 15 % of the preset.
    auto energy = plugIn->LoadStandard(100, "IEC", "IEC 60601-2-4");
    const plat::Variant preset(150.0f);
    EXPECT_EQ(energy->Evaluate("ENGY", 172.0f, preset), host::HostStandard::StatusPassed);
    EXPECT_EQ(energy->Evaluate("ENGY", 128.0f, preset), host::HostStandard::StatusPassed);
    EXPECT_EQ(energy->Evaluate("ENGY", 173.0f, preset), host::HostStandard::StatusFailed);
    EXPECT_EQ(energy->Evaluate("ENGY", 127.0f, preset), host::HostStandard::StatusFailed);
    // A charge takes at most 15 s.
    auto charge = plugIn->LoadStandard(200, "IEC", "IEC 60601-2-4");
    EXPECT_EQ(charge->Evaluate("CHTI", 14.9f, plat::Variant()), host::HostStandard::StatusPassed);
    EXPECT_EQ(charge->Evaluate("CHTI", 15.1f, plat::Variant()), host::HostStandard::StatusFailed);
}

TEST_F(PlugIn, RegisteringAgainKeepsTheCataloguePathThatIsSet)
{
    UsePath("/srv/zarvik/Own.mpc");
    plat::RegisterServerLibrary(ztesting::PluginRegistry::LibraryPath("telvoZarvik"));
    host::HostRegistry key;
    key.OpenKey(host::HKEY_LOCAL_MACHINE, zplugin::CZARVIKSetup::RegistryKey);
    EXPECT_EQ(key.GetStringValue("Configuration"), "/srv/zarvik/Own.mpc");
}
