#include "plugin/CZarvikPlugIn.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/elements/HostTestCatalogue.h"
#include "host/elements/HostTestInfo.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlHelper.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ISetup.h"
#include "host/interfaces/ITestElement.h"
#include "platform/base/Conversions.h"
#include "platform/com/ComRuntime.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/BitmapResources.h"
#include "platform/ui/MessageBox.h"
#include "plugin/CZARVIKSetup.h"
#include "plugin/PlugInErrors.h"
#include "plugin/PlugInIcons.h"
#include "testlib/core/GGlobals.h"
#include "testlib/core/IGGlobals.h"

#include <algorithm>
#include <exception>

namespace zplugin {

namespace {

constexpr const char* kTemplateData = "TemplateData";
constexpr const char* kTestElement = "TestElement";
constexpr const char* kClassName = "ClassName";
constexpr const char* kId = "ID";
constexpr const char* kLid = "LID";
constexpr const char* kExpectedResult = "ExpectedResult";
constexpr const char* kPlugInName = "20000::Zarvik Defibrillator Analyzer";

// An error of a catalogue entry whose message box has been shown already. It travels up through
// the groups that enclose the entry unchanged, so that the operator sees the box once.
struct ShownEntryError {
    plat::ComError error;
};

// The language runtime's numbers of file errors other than "file not found": bad file name or
// number, device I/O error, disk full, device unavailable, permission denied, disk not ready,
// path/file access error, path not found.
bool IsFileAccessError(int32_t number)
{
    constexpr int32_t numbers[] = {52, 57, 61, 68, 70, 71, 75, 76};
    return std::find(std::begin(numbers), std::end(numbers), number) != std::end(numbers);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The test library's global object, created once by class identifier and kept for the life of
// the library.
std::shared_ptr<ztest::IGGlobals> Globals()
{
    static std::shared_ptr<ztest::IGGlobals> globals;
    if (!globals) {
        auto created = plat::CreateObjectAs<ztest::IGGlobals>(ztest::GGlobals::ClassId);
        if (!created) {
            throw plat::ComError(plat::rt::TypeMismatch, CZarvikPlugIn::Source,
                                 "The test library's global object does not offer its interface");
        }
        globals = std::move(created);
    }
    return globals;
}

// Loads the catalogue file, turning the file system's errors into the plug-in's codes.
void LoadDocument(host::HostXmlDocument& document, const std::string& path)
{
    try {
        document.Load(path);
    } catch (const plat::ComError& error) {
        if (error.Number() == plat::rt::FileNotFound) {
            RaisePlugInError(CZarvikPlugIn::ErrFileNotFound, CZarvikPlugIn::Source, 3,
                             "The test catalogue " + Quoted(path) + " was not found");
        }
        if (IsFileAccessError(error.Number())) {
            RaisePlugInError(CZarvikPlugIn::ErrFileAccess, CZarvikPlugIn::Source, 3,
                             "The test catalogue " + Quoted(path) + " cannot be read: " + error.Description());
        }
        throw;
    }
}

// The translation of a child's "LID" text; empty without the child's "LID" or when the
// translation fails.
std::string TranslateElementText(const host::HostXmlElement& child)
{
    if (!child.HasAttribute(kLid)) return {};
    try {
        return host::HostTranslator::Process()->Translate(CZarvikPlugIn::ModuleKey, child.GetAttribute(kLid),
                                                         plat::VariantArray::OneDim(0, 0));
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

CZarvikPlugIn::~CZarvikPlugIn()
{
    if (mCatalogue) mCatalogue->Clear();
}

plat::ObjectPtr CZarvikPlugIn::Icon(int32_t testId, int32_t size, int32_t)
{
    try {
        const std::string key = IconKey(testId, size);
        if (key.empty()) return nullptr;
        return plat::LoadBitmapResource(key);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::string CZarvikPlugIn::Name()
{
    try {
        return host::HostTranslator::Process()->Translate(ModuleKey, kPlugInName, plat::VariantArray::OneDim(0, 0));
    } catch (const std::exception&) {
        return {};
    }
}

std::shared_ptr<host::ISetup> CZarvikPlugIn::Setup() { return mSettings; }

std::shared_ptr<host::HostTestCollection> CZarvikPlugIn::Tests()
{
    if (!mInitialised || !mCatalogue) {
        RaisePlugInError(ErrNotInitialized, Source, 4, "The plug-in has no test catalogue; it is not initialised");
    }
    return mCatalogue;
}

std::string CZarvikPlugIn::Version()
{
    return std::to_string(VersionMajor) + "." + std::to_string(VersionMinor) + "." + std::to_string(VersionRevision);
}

void CZarvikPlugIn::Initialize(const std::shared_ptr<host::HostLoadLog>&)
{
    mInitialised = false;
    try {
        mSettings = std::make_shared<CZARVIKSetup>();
        mSettings->Initialize();
        mCatalogue = LoadTestTemplates(mSettings->ConfigFile());
        // The test library keeps the plug-in weakly, so the host still decides when it goes.
        Globals()->SetPlugInPointer(shared_from_this());
        mInitialised = true;
    } catch (...) {
        host::HostErrorRaiser().PassOnOrReport(Source, {ErrFileNotFound, ErrBadCatalogue, ErrFileAccess});
    }
}

std::shared_ptr<host::ITestElement> CZarvikPlugIn::CreateTest(int32_t testId)
{
    if (!mInitialised || !mCatalogue) {
        RaisePlugInError(ErrNotInitialized, Source, 4, "The plug-in has no test catalogue; it is not initialised");
    }
    try {
        auto found = mCatalogue->ItemByTestID(testId);
        if (!found) {
            RaisePlugInError(ErrNoTemplate, Source, 1,
                             "The test catalogue has no test element with the ID " + std::to_string(testId));
        }
        auto clone = found->Clone();
        // A new test starts without standards; the clone's are its own copies, so the
        // template keeps its standards for later lookups.
        IgnoreErrors([&] {
            if (!clone) return;
            if (auto limits = clone->Limits()) {
                if (auto standards = limits->Standards()) standards->ReleaseAll();
            }
        });
        return clone;
    } catch (...) {
        host::HostErrorRaiser().PassOnOrReport(ClassName, {ErrNotInitialized, ErrNoTemplate});
        return nullptr;
    }
}

std::shared_ptr<host::HostStandard> CZarvikPlugIn::LoadStandard(int32_t iTestID, const std::string& sAlphaName,
                                                               const std::string& sCompleteName)
{
    try {
        if (!mInitialised || !mCatalogue) return nullptr;
        auto found = mCatalogue->ItemByTestID(iTestID);
        if (!found) return nullptr;
        auto limits = found->Limits();
        if (!limits) return nullptr;
        auto standards = limits->Standards();
        if (!standards) return nullptr;
        auto standard = standards->Find(sAlphaName, sCompleteName);
        return standard ? standard->Copy() : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::shared_ptr<host::HostTestCatalogue> CZarvikPlugIn::LoadTestTemplates(const std::string& path)
{
    const host::HostErrorRaiser raiser;
    std::shared_ptr<host::HostTestCatalogue> catalogue;
    auto drop = [&] {
        if (catalogue) catalogue->Clear();
        catalogue.reset();
    };
    try {
        auto document = host::HostXmlHelper().CreateDocument();
        SkipOnCodes({ErrHostNotice}, [&] { LoadDocument(*document, path); });

        std::shared_ptr<host::HostXmlElement> templateData;
        if (auto root = document->DocumentElement()) templateData = root->SelectChild(kTemplateData);
        if (!templateData) {
            RaisePlugInError(ErrBadCatalogue, Source, 3, "The test catalogue " + Quoted(path) + " has no \"TemplateData\"");
        }
        const auto nodes = templateData->ChildNodes();
        if (nodes->Count() == 0) {
            RaisePlugInError(ErrBadCatalogue, Source, 3,
                             "The \"TemplateData\" of the test catalogue " + Quoted(path) + " is empty");
        }
        for (int32_t i = 0; i < nodes->Count(); ++i) {
            const auto node = nodes->Item(i);
            if (node->Name() != kTestElement) continue;
            auto entry = ParseTestElement(node, 1);
            if (!entry) continue;
            if (!catalogue) catalogue = std::make_shared<host::HostTestCatalogue>();
            AddEntry(*catalogue, entry);
        }
        if (!catalogue) catalogue = std::make_shared<host::HostTestCatalogue>();
        return catalogue;
    } catch (const ShownEntryError& shown) {
        drop();
        if (shown.error.Number() == ErrBadCatalogue) throw shown.error;
        // An element that declares the catalogue unusable: nothing of it is kept.
        raiser.Report(shown.error, Source);
        return nullptr;
    } catch (...) {
        drop();
        raiser.PassOnOrReport(Source, {ErrFileNotFound, ErrBadCatalogue, ErrFileAccess});
        return nullptr;
    }
}

std::shared_ptr<host::ITestElement> CZarvikPlugIn::ParseTestElement(const std::shared_ptr<host::HostXmlElement>& element,
                                                                    int depth)
{
    try {
        return BuildEntry(element, depth);
    } catch (const ShownEntryError&) {
        throw;
    } catch (const plat::ComError& error) {
        plat::MsgBox(error.Description(), plat::vbOKOnly);
        const int32_t number = error.Number();
        if (number == ErrBadCatalogue) throw ShownEntryError{error};
        // An element that declares the catalogue unusable: the reader raises its code again as
        // its own error, so that the report names the catalogue reader as where it ended.
        if (number == ErrElementFatal1 || number == ErrElementFatal2) {
            throw ShownEntryError{plat::ComError(number, Source, error.Description(), 3)};
        }
        // Any other failure costs this entry only.
        host::HostErrorRaiser().Report(error, Source);
        return nullptr;
    } catch (const std::exception& error) {
        plat::MsgBox(error.what(), plat::vbOKOnly);
        host::HostErrorRaiser().Report(error, Source);
        return nullptr;
    }
}

std::shared_ptr<host::ITestElement> CZarvikPlugIn::BuildEntry(const std::shared_ptr<host::HostXmlElement>& element,
                                                              int depth)
{
    if (depth > MaxGroupDepth) {
        RaisePlugInError(ErrGroupTooDeep, Source, 3,
                         "A test element of the test catalogue lies deeper than " + std::to_string(MaxGroupDepth) +
                             " groups; it is skipped");
    }

    const std::string className = element->GetAttribute(kClassName);
    if (className.empty()) {
        RaisePlugInError(ErrBadCatalogue, Source, 3, "A test element of the test catalogue has no \"ClassName\"");
    }
    // Only classes registered with the component runtime can be created.
    std::shared_ptr<host::ITestElement> test;
    try {
        test = plat::QueryInterface<host::ITestElement>(plat::CreateObject(className));
    } catch (const plat::ComError& error) {
        throw plat::ComError(error.Number(), error.Source(),
                             "A test element of the test catalogue cannot be created: " + error.Description(),
                             error.Level());
    }
    if (!test) {
        throw plat::ComError(plat::rt::TypeMismatch, Source, "The class " + Quoted(className) + " is no test element");
    }

    const std::string idText = element->GetAttribute(kId);
    if (idText.empty()) {
        RaisePlugInError(ErrBadCatalogue, Source, 3,
                         "The test element " + Quoted(className) + " of the test catalogue has no \"ID\"");
    }
    int32_t testId = 0;
    try {
        testId = plat::CLng(plat::Val(idText));
    } catch (const plat::ComError& error) {
        throw plat::ComError(error.Number(), Source,
                             "The \"ID\" " + Quoted(idText) + " of the test element " + Quoted(className) +
                                 " is out of range");
    }

    SkipOnCodes({ErrHostNotice}, [&] { test->Initialize(ModuleKey, testId, testId); });
    ReadElementProperties(test, element);
    test->Info()->SetClassName(className);

    if (auto group = plat::QueryInterface<host::HostTestCollection>(test)) {
        const auto children = element->ChildNodes();
        for (int32_t i = 0; i < children->Count(); ++i) {
            const auto child = children->Item(i);
            if (child->Name() != kTestElement) continue;
            if (auto entry = ParseTestElement(child, depth + 1)) AddEntry(*group, entry);
        }
    }
    return test;
}

void CZarvikPlugIn::ReadElementProperties(const std::shared_ptr<host::ITestElement>& test,
                                          const std::shared_ptr<host::HostXmlElement>& element)
{
    std::string type;
    std::string parameter;
    std::string name;
    std::string description;
    const auto children = element->ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) {
        const auto child = children->Item(i);
        const std::string childName = child->Name();
        if (childName == "Type") {
            type = TranslateElementText(*child);
        } else if (childName == "Parameter") {
            parameter = TranslateElementText(*child);
        } else if (childName == "Name") {
            name = TranslateElementText(*child);
        } else if (childName == "Description") {
            description = TranslateElementText(*child);
        } else if (childName == kExpectedResult) {
            SkipOnCodes({ErrHostNotice}, [&] {
                auto limits = test->Limits();
                if (!limits) plat::RaiseRuntime(plat::rt::ObjectNotSet, Source);
                limits->Load(child, nullptr);
            });
        }
    }
    auto info = test->Info();
    if (!info) plat::RaiseRuntime(plat::rt::ObjectNotSet, Source);
    info->SetTypeAndParameter(type, parameter);
    info->SetDescription(description);
    info->SetName(name);
}

void CZarvikPlugIn::AddEntry(host::HostTestCollection& collection, const std::shared_ptr<host::ITestElement>& entry)
{
    try {
        collection.Add(entry, plat::Variant(), host::HostTestCollection::AddUnique);
    } catch (const plat::ComError& error) {
        // A repeated test ID keeps the first template; the repeat is reported and loading goes on.
        if (error.Number() == host::HostTestCollection::ErrDuplicateTestId) {
            host::HostErrorRaiser().Report(error, Source);
            return;
        }
        if (error.Number() == ErrHostNotice) return;
        throw;
    }
}

} // namespace zplugin

ZARVIK_REGISTER_CLASS(zplugin::CZarvikPlugIn, zplugin::CZarvikPlugIn::ProgId, zplugin::CZarvikPlugIn::ClassId)
