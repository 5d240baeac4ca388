#pragma once

#include "host/HostTranslator.h"
#include "host/HostXmlDocument.h"
#include "host/HostXmlElement.h"
#include "host/HostXmlNodeList.h"

#include <clocale>
#include <locale>
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

// Installs a decimal-comma locale while it lives: the global C++ locale always, and the C
// locale when one with a decimal comma is installed on the machine.
class DecimalCommaLocale {
public:
    DecimalCommaLocale()
        : mOldCpp(std::locale::global(std::locale(std::locale::classic(), new CommaPunct))),
          mOldC(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) == nullptr) continue;
            if (std::localeconv()->decimal_point[0] == ',') return;
            std::setlocale(LC_ALL, mOldC.c_str());
        }
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(LC_ALL, mOldC.c_str());
        std::locale::global(mOldCpp);
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

private:
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };

    std::locale mOldCpp;
    std::string mOldC;
};

} // namespace ztesting
