#include "host/units/HostServiceRecord.h"

#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestFilter.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <memory>

namespace host {
namespace {

std::shared_ptr<HostXmlElement> Parse(const std::string& xml)
{
    auto document = HostXmlDocument::Create();
    document->LoadXml(xml);
    return document->DocumentElement();
}

TEST(HostServiceRecord, KeepsTheFilterFlagsCodeAndText)
{
    HostServiceRecord record;
    record.Initialize(std::make_shared<HostTestFilter>(5), "F", "/150.2/2000");
    EXPECT_EQ(record.FilterFlags(), 5);
    EXPECT_EQ(record.Code(), "F");
    EXPECT_EQ(record.Text(), "/150.2/2000");

    record.Initialize(nullptr, "NA", "");
    EXPECT_EQ(record.FilterFlags(), 0);
    EXPECT_EQ(record.Code(), "NA");
    EXPECT_EQ(record.Text(), "");
}

TEST(HostServiceRecord, SaveAndLoadRoundTrip)
{
    struct Case {
        int32_t flags;
        const char* code;
        const char* text;
    };
    const Case cases[] = {{1, "F", "/150.2/2000/50.1/4.5"}, {1, "", "/True"}, {3, "NA", ""}, {1, "", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        HostServiceRecord saved;
        saved.Initialize(std::make_shared<HostTestFilter>(c.flags), c.code, c.text);
        auto document = HostXmlDocument::Create();
        auto element = saved.Save(document);
        ASSERT_TRUE(element);
        EXPECT_EQ(element->Name(), "ServiceRecord");

        HostServiceRecord loaded;
        loaded.Initialize(nullptr, "stale", "/stale");
        loaded.Load(element, nullptr);
        EXPECT_EQ(loaded.FilterFlags(), c.flags);
        EXPECT_EQ(loaded.Code(), c.code);
        EXPECT_EQ(loaded.Text(), c.text);
    }
}

TEST(HostServiceRecord, LoadOfAnotherElementChangesNothing)
{
    HostServiceRecord record;
    record.Initialize(std::make_shared<HostTestFilter>(1), "F", "/1");
    try {
        record.Load(Parse("<serviceRecord><Code>NA</Code></serviceRecord>"), nullptr);
        FAIL() << "loaded";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), xmlerr::WrongNode);
    }
    EXPECT_EQ(record.Code(), "F");
    EXPECT_EQ(record.Text(), "/1");
}

TEST(HostServiceRecord, UnreadableFlagsAreLoggedAndTheRestIsRead)
{
    HostServiceRecord record;
    record.Initialize(std::make_shared<HostTestFilter>(1), "", "");
    auto log = std::make_shared<HostLoadLog>();
    record.Load(Parse(R"(<ServiceRecord Filter="99999999999"><Code>F</Code><Text>/2</Text></ServiceRecord>)"), log);
    EXPECT_EQ(record.FilterFlags(), 1);
    EXPECT_EQ(record.Code(), "F");
    EXPECT_EQ(record.Text(), "/2");
    ASSERT_EQ(log->Entries().size(), 1u);
    EXPECT_EQ(log->Entries()[0].code, xmlerr::BadValue);
}

TEST(HostServiceRecord, SaveWithoutADocumentRaises)
{
    HostServiceRecord record;
    EXPECT_THROW(record.Save(nullptr), plat::ComError);
}

} // namespace
} // namespace host
