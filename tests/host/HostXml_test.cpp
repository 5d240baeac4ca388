#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "host/documents/HostXmlNodeList.h"
#include "platform/base/ComError.h"
#include "tests/support/Errors.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WithoutPrivileges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using host::HostXmlDocument;
using host::HostXmlElement;
using plat::ComError;
using ztesting::ErrorOf;

namespace fs = std::filesystem;

namespace {

using ztesting::ReadAll;
using ztesting::TempFolder;
using ztesting::WriteAll;

std::shared_ptr<HostXmlDocument> SampleDocument()
{
    auto document = HostXmlDocument::Create();
    auto root = document->CreateElement("ResultItem");
    document->AppendChild(root);
    root->SetAttribute("MTI", "3");
    root->AddChildWithText("Comment", "first");
    auto measurement = document->CreateElement("Measurement");
    measurement->SetAttribute("Key", "ENGY");
    measurement->AddChildWithText("Unit", "J");
    root->AppendChild(measurement);
    return document;
}

} // namespace

TEST(HostXml, TreeSurvivesSaveAndLoad)
{
    TempFolder folder;
    std::string path = folder.File("result.xml");
    SampleDocument()->Save(path);

    auto loaded = HostXmlDocument::Create();
    loaded->Load(path);
    auto root = loaded->DocumentElement();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->Name(), "ResultItem");
    EXPECT_EQ(root->GetAttribute("MTI"), "3");
    auto children = root->ChildNodes();
    ASSERT_EQ(children->Count(), 2);
    EXPECT_EQ(children->Item(0)->Text(), "first");
    EXPECT_EQ(children->Item(1)->GetAttribute("Key"), "ENGY");
    EXPECT_EQ(children->Item(1)->SelectChild("Unit")->Text(), "J");
    EXPECT_EQ(ReadAll(path).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
}

TEST(HostXml, TextsAndAttributesComeBackExactly)
{
    const std::string texts[] = {
        "",          " ",         " ppm",      "a & b < c > d",   "quote \" and apostrophe '",
        "line\r\nend", "tab\there", "trailing  ", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "control \x01 char",
        "]]>",        "&amp; as text",
    };
    TempFolder folder;
    for (const std::string& text : texts) {
        SCOPED_TRACE("text [" + text + "]");
        auto document = HostXmlDocument::Create();
        auto root = document->CreateElement("Root");
        document->AppendChild(root);
        root->SetAttribute("Attr", text);
        root->AddChildWithText("Child", text);
        document->Save(folder.File("texts.xml"));

        auto loaded = HostXmlDocument::Create();
        loaded->Load(folder.File("texts.xml"));
        EXPECT_EQ(loaded->DocumentElement()->GetAttribute("Attr"), text);
        EXPECT_EQ(loaded->DocumentElement()->SelectChild("Child")->Text(), text);
    }
}

TEST(HostXml, MissingAttributeIsEmptyAndToldApartByHasAttribute)
{
    auto document = HostXmlDocument::Create();
    auto element = document->CreateElement("E");
    element->SetAttribute("Empty", "");
    EXPECT_EQ(element->GetAttribute("Missing"), "");
    EXPECT_FALSE(element->HasAttribute("Missing"));
    EXPECT_EQ(element->GetAttribute("Empty"), "");
    EXPECT_TRUE(element->HasAttribute("Empty"));
    element->SetAttribute("Empty", "now set");
    EXPECT_EQ(element->Xml(), "<E Empty=\"now set\"/>");
    element->RemoveAttribute("Empty");
    EXPECT_FALSE(element->HasAttribute("Empty"));
}

TEST(HostXml, UnattachedElementsLiveUntilAppendedAndAreNeverSaved)
{
    auto document = HostXmlDocument::Create();
    auto root = document->CreateElement("Root");
    document->AppendChild(root);

    // Built bottom-up, as records build their elements before the caller appends them.
    auto measurement = document->CreateElement("Measurement");
    auto value = measurement->AddChildWithText("Value", "12.5");
    auto unattached = document->CreateElement("Forgotten");
    EXPECT_FALSE(measurement->ParentElement());
    EXPECT_EQ(document->Xml().find("Measurement"), std::string::npos);
    EXPECT_EQ(document->Xml().find("Forgotten"), std::string::npos);

    root->AppendChild(measurement);
    EXPECT_TRUE(measurement->ParentElement()->IsSameNode(*root));
    EXPECT_TRUE(value->ParentElement()->IsSameNode(*measurement));
    value->SetText("13");
    EXPECT_NE(document->Xml().find("<Value>13</Value>"), std::string::npos);
    EXPECT_EQ(document->Xml().find("Forgotten"), std::string::npos);
    EXPECT_FALSE(root->ParentElement());
}

TEST(HostXml, ElementsKeepTheirDocumentAlive)
{
    auto document = HostXmlDocument::Create();
    auto element = document->CreateElement("Orphan");
    std::weak_ptr<HostXmlDocument> watch = document;
    document.reset();
    EXPECT_FALSE(watch.expired());
    element->AddChildWithText("Child", "still here");
    EXPECT_EQ(element->Xml(), "<Orphan><Child>still here</Child></Orphan>");
    element.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(HostXml, ChildNodesListElementsOnly)
{
    auto document = HostXmlDocument::Create();
    document->LoadXml("<R>text<!-- note --><A/>more<B>b</B><A>second</A><![CDATA[raw]]></R>");
    auto root = document->DocumentElement();
    auto children = root->ChildNodes();
    ASSERT_EQ(children->Count(), 3);
    EXPECT_EQ(children->Item(0)->Name(), "A");
    EXPECT_EQ(children->Item(2)->Text(), "second");
    EXPECT_EQ(ErrorOf([&] { children->Item(3); }).Number(), plat::rt::SubscriptOutOfRange);
    EXPECT_EQ(ErrorOf([&] { children->Item(-1); }).Number(), plat::rt::SubscriptOutOfRange);
    EXPECT_TRUE(root->SelectChild("A")->IsSameNode(*children->Item(0)));
    EXPECT_FALSE(root->SelectChild("Missing"));
    // The element's own text joins its text and CDATA children, not those of its elements.
    EXPECT_EQ(root->Text(), "textmoreraw");

    // Setting the text replaces the texts and keeps the child elements.
    root->SetText("new");
    EXPECT_EQ(root->Text(), "new");
    EXPECT_EQ(root->ChildNodes()->Count(), 3);
}

TEST(HostXml, AppendingMovesAndRefusesImpossibleMoves)
{
    auto document = HostXmlDocument::Create();
    auto root = document->CreateElement("Root");
    document->AppendChild(root);
    auto a = root->AddChildWithText("A", "");
    auto b = root->AddChildWithText("B", "");
    auto inner = b->AddChildWithText("Inner", "");

    a->AppendChild(b);
    EXPECT_EQ(document->DocumentElement()->Xml(), "<Root><A><B><Inner/></B></A></Root>");

    struct Case {
        const char* name;
        std::function<void()> call;
    };
    auto other = HostXmlDocument::Create()->CreateElement("Other");
    const Case cases[] = {
        {"into itself", [&] { b->AppendChild(b); }},
        {"into its own descendant", [&] { inner->AppendChild(a); }},
        {"from another document", [&] { root->AppendChild(other); }},
        {"a second root", [&] { document->AppendChild(document->CreateElement("Second")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorOf(c.call).Number(), host::xmlerr::WrongNode);
    }
    EXPECT_EQ(document->DocumentElement()->Xml(), "<Root><A><B><Inner/></B></A></Root>");
    EXPECT_EQ(ErrorOf([&] { root->AppendChild(nullptr); }).Number(), plat::rt::ObjectNotSet);

    // Replacing the root keeps the former root usable, unattached.
    auto next = document->CreateElement("Next");
    document->SetDocumentElement(next);
    EXPECT_TRUE(document->DocumentElement()->IsSameNode(*next));
    next->AppendChild(root);
    EXPECT_EQ(document->DocumentElement()->Xml(), "<Next><Root><A><B><Inner/></B></A></Root></Next>");
}

TEST(HostXml, NamesAndTextsThatXmlCannotHoldAreRefused)
{
    auto document = HostXmlDocument::Create();
    auto element = document->CreateElement("E");
    for (const char* name : {"", "1abc", "has space", "a<b", "a&b"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ErrorOf([&] { document->CreateElement(name); }).Number(), plat::rt::InvalidCall);
        EXPECT_EQ(ErrorOf([&] { element->SetAttribute(name, "v"); }).Number(), plat::rt::InvalidCall);
    }
    EXPECT_NO_THROW(document->CreateElement("ns:Name_1.x-y"));
    std::string withNul("a\0b", 3);
    EXPECT_EQ(ErrorOf([&] { element->SetText(withNul); }).Number(), plat::rt::InvalidCall);
    EXPECT_EQ(ErrorOf([&] { element->SetAttribute("A", withNul); }).Number(), plat::rt::InvalidCall);
}

TEST(HostXml, HostileOrBrokenTextGivesAClearErrorAndKeepsTheDocument)
{
    std::string deep;
    for (int i = 0; i < HostXmlDocument::MaxNestingDepth + 1; ++i) deep += "<a>";
    for (int i = 0; i < HostXmlDocument::MaxNestingDepth + 1; ++i) deep += "</a>";
    std::string huge = "<R>" + std::string(HostXmlDocument::MaxDocumentBytes, 'x') + "</R>";

    struct Case {
        const char* name;
        std::string text;
        int32_t code;
        const char* says;
    };
    const Case cases[] = {
        {"billion laughs",
         "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
         "<!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
         "<!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">]><lolz>&lol2;</lolz>",
         host::xmlerr::Rejected, "document type declaration"},
        {"external entity", "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>",
         host::xmlerr::Rejected, "document type declaration"},
        {"undefined entity", "<r>a &x; b</r>", host::xmlerr::Malformed, "'&x;'"},
        {"undefined entity in an attribute", "<r a=\"&x;\"/>", host::xmlerr::Malformed, "'&x;'"},
        {"character reference to NUL", "<r>&#0;</r>", host::xmlerr::Malformed, "'&#0;'"},
        {"reference to a surrogate", "<r>&#xD800;</r>", host::xmlerr::Malformed, "'&#xD800;'"},
        {"truncated", "<ResultItem><Status>1</Sta", host::xmlerr::Malformed, "offset"},
        {"mismatched tags", "<a>\n<b></a>", host::xmlerr::Malformed, "line 2"},
        {"empty", "", host::xmlerr::Malformed, "No document element"},
        {"text only", "just text", host::xmlerr::Malformed, "not well-formed"},
        {"two roots", "<a/><b/>", host::xmlerr::Malformed, "more than one root"},
        {"too deep", deep, host::xmlerr::Rejected, "deeper than the limit"},
        {"too large", huge, host::xmlerr::Rejected, "larger than the limit"},
    };
    auto document = HostXmlDocument::Create();
    document->LoadXml("<Kept/>");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComError error = ErrorOf([&] { document->LoadXml(c.text); });
        EXPECT_EQ(error.Number(), c.code);
        EXPECT_NE(error.Description().find(c.says), std::string::npos) << error.Description();
        EXPECT_EQ(document->DocumentElement()->Name(), "Kept");
    }
}

TEST(HostXml, NestingUpToTheLimitAndPredefinedReferencesAreAccepted)
{
    std::string deep;
    for (int i = 0; i < HostXmlDocument::MaxNestingDepth; ++i) deep += "<a>";
    for (int i = 0; i < HostXmlDocument::MaxNestingDepth; ++i) deep += "</a>";
    auto document = HostXmlDocument::Create();
    EXPECT_NO_THROW(document->LoadXml(deep));

    document->LoadXml("<r a=\"&quot;&#65;&#x42;\">&lt;&amp;&gt;&apos;&#x20AC;</r>");
    EXPECT_EQ(document->DocumentElement()->GetAttribute("a"), "\"AB");
    EXPECT_EQ(document->DocumentElement()->Text(), "<&>'\xE2\x82\xAC");
}

// The size limit is the largest document taken: one of exactly the limit loads from a text,
// saves and opens again from its file; one byte more is refused on each of those ways.
TEST(HostXml, ADocumentOfExactlyTheSizeLimitIsTaken)
{
    TempFolder folder;
    const std::string path = folder.File("limit.xml");
    // A document whose saved text has the given size.
    auto sized = [](std::size_t bytes) {
        auto document = HostXmlDocument::Create();
        auto root = document->AppendChild(document->CreateElement("R"));
        root->SetText("x");
        const std::size_t frame = document->Xml().size() - 1;
        root->SetText(std::string(bytes - frame, 'x'));
        return document;
    };

    auto limit = sized(HostXmlDocument::MaxDocumentBytes);
    const std::string text = limit->Xml();
    ASSERT_EQ(text.size(), HostXmlDocument::MaxDocumentBytes);
    auto reader = HostXmlDocument::Create();
    EXPECT_NO_THROW(reader->LoadXml(text));
    EXPECT_NO_THROW(limit->Save(path));
    EXPECT_EQ(fs::file_size(path), HostXmlDocument::MaxDocumentBytes);
    EXPECT_NO_THROW(reader->Load(path));
    EXPECT_EQ(reader->DocumentElement()->Text(), limit->DocumentElement()->Text());

    auto beyond = sized(HostXmlDocument::MaxDocumentBytes + 1);
    EXPECT_EQ(ErrorOf([&] { reader->LoadXml(beyond->Xml()); }).Number(), host::xmlerr::Rejected);
    EXPECT_EQ(ErrorOf([&] { beyond->Save(path); }).Number(), host::xmlerr::Rejected);
    WriteAll(path, beyond->Xml());
    EXPECT_EQ(ErrorOf([&] { reader->Load(path); }).Number(), host::xmlerr::Rejected);
}

TEST(HostXml, ElementsOfReplacedContentCannotBeMixedIn)
{
    auto document = HostXmlDocument::Create();
    document->LoadXml("<Old><Child/></Old>");
    auto oldChild = document->DocumentElement()->SelectChild("Child");
    document->LoadXml("<New/>");
    EXPECT_EQ(oldChild->Name(), "Child");
    EXPECT_EQ(ErrorOf([&] { document->DocumentElement()->AppendChild(oldChild); }).Number(), host::xmlerr::WrongNode);
}

TEST(HostXml, FileProblemsKeepTheRuntimeNumbers)
{
    TempFolder folder;
    fs::create_directory(folder.File("folder.xml"));
    ::mkfifo(folder.File("pipe.xml").c_str(), 0600);
    // A sparse file is larger than the limit without taking the space.
    { std::ofstream(folder.File("huge.xml")); }
    fs::resize_file(folder.File("huge.xml"), HostXmlDocument::MaxDocumentBytes + 1);
    WriteAll(folder.File("broken.xml"), "<a>");

    struct Case {
        std::string path;
        int32_t code;
    };
    const Case cases[] = {
        {folder.File("missing.xml"), plat::rt::FileNotFound},
        {folder.File("no-folder/missing.xml"), plat::rt::PathNotFound},
        {folder.File("folder.xml"), host::xmlerr::PathFileAccessError},
        {folder.File("pipe.xml"), host::xmlerr::PathFileAccessError},
        {folder.File("huge.xml"), host::xmlerr::Rejected},
        {folder.File("broken.xml"), host::xmlerr::Malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ComError error = ErrorOf([&] { HostXmlDocument::Create()->Load(c.path); });
        EXPECT_EQ(error.Number(), c.code);
        EXPECT_NE(error.Description().find(c.path), std::string::npos) << error.Description();
    }
}

TEST(HostXml, SaveReplacesTheFileAndKeepsItsPermissions)
{
    TempFolder folder;
    std::string path = folder.File("doc.xml");
    WriteAll(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SampleDocument()->Save(path);
    EXPECT_NE(ReadAll(path).find("<ResultItem MTI=\"3\">"), std::string::npos);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.xml"});
}

TEST(HostXml, FailedSaveLeavesThePreviousFileIntact)
{
    TempFolder folder;
    std::string path = folder.File("doc.xml");
    WriteAll(path, "previous content");

    // The write itself fails: the file size limit stops it half-way, as a full disk would.
    {
        struct rlimit saved {};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 16;
        ::setrlimit(RLIMIT_FSIZE, &small);
        ComError error = ErrorOf([&] { SampleDocument()->Save(path); });
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_EQ(error.Number(), host::xmlerr::DiskFull);
    }
    EXPECT_EQ(ReadAll(path), "previous content");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.xml"});

    // A document without a root would write no document at all.
    EXPECT_EQ(ErrorOf([&] { HostXmlDocument::Create()->Save(path); }).Number(), host::xmlerr::Malformed);
    EXPECT_EQ(ReadAll(path), "previous content");

    // A document that Load would refuse would replace the file with one that never opens again:
    // a remark past the size limit, and elements nested past the depth limit.
    auto large = HostXmlDocument::Create();
    large->AppendChild(large->CreateElement("Sequence"))->AddChildWithText("Remark", std::string(HostXmlDocument::MaxDocumentBytes, 'r'));
    auto nested = [](int levels) {
        auto document = HostXmlDocument::Create();
        auto inner = document->AppendChild(document->CreateElement("a"));
        for (int i = 1; i < levels; ++i) inner = inner->AppendChild(document->CreateElement("a"));
        return document;
    };
    auto deep = nested(HostXmlDocument::MaxNestingDepth + 1);
    struct Refused {
        const char* name;
        std::shared_ptr<HostXmlDocument> document;
        const char* says;
    };
    for (const Refused& refused : {Refused{"too large", large, "larger than the limit"}, Refused{"too deep", deep, "deeper than the limit"}}) {
        SCOPED_TRACE(refused.name);
        ComError error = ErrorOf([&] { refused.document->Save(path); });
        EXPECT_EQ(error.Number(), host::xmlerr::Rejected);
        EXPECT_NE(error.Description().find(refused.says), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("nothing was saved"), std::string::npos) << error.Description();
        EXPECT_EQ(ReadAll(path), "previous content");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.xml"});
    }
    // One level less is saved and opens again.
    EXPECT_NO_THROW(nested(HostXmlDocument::MaxNestingDepth)->Save(path));
    EXPECT_NO_THROW(HostXmlDocument::Create()->Load(path));

    EXPECT_EQ(ErrorOf([&] { SampleDocument()->Save(folder.File("no-folder/doc.xml")); }).Number(),
              plat::rt::PathNotFound);
}

TEST(HostXml, SaveIntoAnUnwritableFolderFailsCleanly)
{
    TempFolder folder;
    // As root too: the refusal is the one an unprivileged user meets.
    ztesting::WithoutPrivileges unprivileged;
    ASSERT_TRUE(unprivileged.Dropped());
    std::string path = folder.File("doc.xml");
    WriteAll(path, "previous content");
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(ErrorOf([&] { SampleDocument()->Save(path); }).Number(), plat::rt::PermissionDenied);
    fs::permissions(folder.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadAll(path), "previous content");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"doc.xml"});
}
