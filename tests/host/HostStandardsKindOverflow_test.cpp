#include "host/documents/HostLoadLog.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using host::HostLoadLog;
using host::HostStandards;
using host::HostXmlDocument;

// A "Kind" beyond any number is bad content like any other bad number: the load names it,
// logs it and raises the collection's own error instead of a bare overflow.
TEST(HostStandardsKindOverflow, AKindBeyondTheDoubleRangeIsBadContent)
{
    for (const char* kind : {"1e400", "-1e400"}) {
        SCOPED_TRACE(kind);
        auto document = HostXmlDocument::Create();
        document->LoadXml(std::string(R"(<E><Standard AlphaName="A" CompleteName="B" Kind=")") + kind + "\"/></E>");
        HostStandards standards;
        auto log = std::make_shared<HostLoadLog>();
        try {
            standards.Load(document->DocumentElement(), log);
            ADD_FAILURE() << "loaded";
        } catch (const plat::ComError& error) {
            EXPECT_EQ(error.Number(), HostStandards::ErrorBadContent);
            EXPECT_NE(error.Description().find("\"Kind\""), std::string::npos) << error.Description();
        }
        ASSERT_EQ(log->Entries().size(), 1u);
        EXPECT_EQ(log->Entries()[0].code, HostStandards::ErrorBadContent);
    }
}
