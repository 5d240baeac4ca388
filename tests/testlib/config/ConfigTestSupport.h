#pragma once

#include "host/documents/HostTranslator.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlNodeList.h"
#include "tests/support/DecimalCommaLocale.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ztesting {

// A value child as a stored document holds it: its name and its text. The settings element
// is listed under its name with its whole XML as the text.
using Child = std::pair<std::string, std::string>;
using Children = std::vector<Child>;

inline Children ChildrenOf(const host::HostXmlElement& element)
{
    Children children;
    auto nodes = element.ChildNodes();
    for (int32_t i = 0; i < nodes->Count(); ++i) {
        auto node = nodes->Item(i);
        const std::string name = node->Name();
        children.emplace_back(name, name == "TestGuideSettings" ? node->Xml() : node->Text());
    }
    return children;
}

// A stored "PlugInData" element with the children; a child named "TestGuideSettings" is taken
// as XML. The element is the root of its own document.
inline std::shared_ptr<host::HostXmlElement> PlugInData(const Children& children, const std::string& name = "PlugInData",
                                                        const char* plugIn = "ZARVIK")
{
    std::string xml = "<" + name;
    if (plugIn) xml += std::string(" PlugIn=\"") + plugIn + "\"";
    xml += ">";
    auto document = host::HostXmlDocument::Create();
    auto scratch = document->CreateElement("scratch");
    for (const auto& [childName, text] : children) {
        if (childName == "TestGuideSettings") {
            xml += text;
        } else {
            auto child = document->CreateElement(childName);
            child->SetText(text);
            xml += child->Xml();
        }
    }
    xml += "</" + name + ">";
    document->LoadXml(xml);
    return document->DocumentElement();
}

// Puts a translator with a few translations of its own in place while it lives, so that tests
// see where texts are translated.
class TranslatorFixture {
public:
    TranslatorFixture() : mPrevious(host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>()))
    {
        Set("20584", "Kammertachykardie 180/min");
        Set("20559", "Sinusrhythmus 80/min");
        Set("20565", "Vorhofflimmern 1, grob");
        Set("20595", "Keine Erfassung, transven\xC3\xB6s");
        Set("20459", "Keine");
        Set("20106", "Ja");
        Set("20107", "Nein");
        Set("20086", "Breite");
        Set("20087", "Amplitude (de)");
        Set("310", "Konfiguration");
    }
    ~TranslatorFixture() { host::HostTranslator::SetProcess(mPrevious); }
    TranslatorFixture(const TranslatorFixture&) = delete;
    TranslatorFixture& operator=(const TranslatorFixture&) = delete;

    static void Set(const std::string& id, const std::string& text)
    {
        host::HostTranslator::Process()->SetText("ZARVIK", id, text);
    }

private:
    std::shared_ptr<host::HostTranslator> mPrevious;
};

} // namespace ztesting
