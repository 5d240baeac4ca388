#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using host::HostLoadLog;
using host::HostTestGuideSettings;
using host::HostXmlDocument;
using host::HostXmlElement;

namespace {

// The element that the settings saved, after a trip through the document's text.
std::shared_ptr<HostXmlElement> ThroughText(const HostTestGuideSettings& settings)
{
    auto document = HostXmlDocument::Create();
    document->AppendChild(settings.Save(document));
    auto reread = HostXmlDocument::Create();
    reread->LoadXml(document->Xml());
    return reread->DocumentElement();
}

std::shared_ptr<HostXmlElement> Element(const std::string& xml)
{
    auto document = HostXmlDocument::Create();
    document->LoadXml(xml);
    return document->DocumentElement();
}

} // namespace

TEST(HostTestGuideSettings, DefaultsGiveTheToolbarItsSkipAndNotApplicableButtons)
{
    HostTestGuideSettings settings;
    EXPECT_EQ(settings.FirstValue(), HostTestGuideSettings::ToolbarSkip | HostTestGuideSettings::ToolbarNotApplicable);
    EXPECT_TRUE(settings.ShowInstructions());
    EXPECT_EQ(settings.Remark(), "");
    EXPECT_EQ(settings.Save(HostXmlDocument::Create())->Xml(),
              "<TestGuideSettings><ToolbarFlags>3</ToolbarFlags><ShowInstructions>True</ShowInstructions>"
              "<Remark/></TestGuideSettings>");
}

TEST(HostTestGuideSettings, SavedSettingsReadBackExactly)
{
    HostTestGuideSettings settings;
    settings.SetToolbarFlags(0);
    settings.SetShowInstructions(false);
    settings.SetRemark("  Use <the> \"50 \xCE\xA9\" & adapter\n  ");

    HostTestGuideSettings loaded;
    loaded.Load(ThroughText(settings), nullptr);
    EXPECT_EQ(loaded, settings);
    EXPECT_EQ(loaded.FirstValue(), 0);
    EXPECT_EQ(loaded.Remark(), settings.Remark());
}

TEST(HostTestGuideSettings, LoadKeepsWhatItCannotReadAndLogsIt)
{
    HostTestGuideSettings settings;
    settings.SetToolbarFlags(1);
    settings.SetRemark("kept");
    auto log = std::make_shared<HostLoadLog>();

    // Only the exact text "True" is True; a flags value beyond 32 bits is kept out and logged.
    settings.Load(Element("<TestGuideSettings><ToolbarFlags>99999999999</ToolbarFlags>"
                          "<ShowInstructions>true</ShowInstructions></TestGuideSettings>"),
                  log);
    EXPECT_EQ(settings.ToolbarFlags(), 1);
    EXPECT_FALSE(settings.ShowInstructions());
    EXPECT_EQ(settings.Remark(), "kept");
    ASSERT_EQ(log->Entries().size(), 1u);
    EXPECT_EQ(log->Entries()[0].code, plat::rt::Overflow);
    EXPECT_NE(log->Entries()[0].text.find("99999999999"), std::string::npos);

    // The leading-number rule reads what it can.
    settings.Load(Element("<TestGuideSettings><ToolbarFlags> 2 buttons</ToolbarFlags></TestGuideSettings>"), nullptr);
    EXPECT_EQ(settings.ToolbarFlags(), 2);
}

TEST(HostTestGuideSettings, LoadRefusesAnotherElementAndChangesNothing)
{
    HostTestGuideSettings settings;
    settings.SetRemark("kept");
    try {
        settings.Load(Element("<Settings><Remark>other</Remark></Settings>"), nullptr);
        FAIL() << "another element was read";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), host::xmlerr::WrongNode);
    }
    try {
        settings.Load(nullptr, nullptr);
        FAIL() << "no element was read";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), plat::rt::ObjectNotSet);
    }
    EXPECT_EQ(settings.Remark(), "kept");
}

TEST(HostTestGuideSettings, CloneIsIndependent)
{
    HostTestGuideSettings settings;
    settings.SetRemark("first");
    std::shared_ptr<HostTestGuideSettings> copy = settings.Clone();
    EXPECT_EQ(*copy, settings);
    copy->SetRemark("second");
    copy->SetToolbarFlags(0);
    EXPECT_EQ(settings.Remark(), "first");
    EXPECT_EQ(settings.ToolbarFlags(), 3);
}
