#include "host/elements/HostTestSequence.h"

#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/elements/HostTestCollection.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestElement.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IPlugIn.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "host/standards/HostStandards.h"
#include "host/units/HostMtiList.h"
#include "platform/base/ComError.h"

#include <charconv>

namespace host {

namespace {

constexpr const char* kSource = "HostTestSequence";

std::optional<int32_t> Number(const std::string& text)
{
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::shared_ptr<HostXmlElement>> Children(const HostXmlElement& element)
{
    std::vector<std::shared_ptr<HostXmlElement>> children;
    auto nodes = element.ChildNodes();
    for (int32_t i = 0; nodes && i < nodes->Count(); ++i) children.push_back(nodes->Item(i));
    return children;
}

constexpr const char* OutcomeAttribute = "Outcome";

// What a loaded element reads as: its result says what became of it where it has one; only a
// test that left no result needs the stored word, and only a word of such a test is taken.
std::string LoadedOutcome(ITestElement& element, const std::string& stored)
{
    if (const auto result = element.Result()) return HostTestElement::StatusWord(result->Status());
    for (const char* word : {HostTestSequence::OutcomeSkipped, HostTestSequence::OutcomeAborted}) {
        if (stored == word) return word;
    }
    return HostTestSequence::OutcomeNotRun;
}

} // namespace

HostTestSequence::HostTestSequence(std::shared_ptr<IPlugIn> plugIn)
    : mPlugIn(std::move(plugIn)), mContext(std::make_shared<HostTestContext>())
{
}

const std::shared_ptr<HostMtiList>& HostTestSequence::MtiList() const
{
    return mContext->MtiList();
}

std::string HostTestSequence::Outcome(const Entry& entry)
{
    if (!entry.element) return OutcomeNotRun;
    if (!entry.performed) return entry.loaded ? entry.loadedOutcome : OutcomeNotRun;
    const auto result = entry.element->Result();
    if (!result) {
        // The result was discarded as the person asked, but the test was run.
        if (entry.navigation == HostTestContext::NavigateSkip) return OutcomeSkipped;
        if (entry.navigation == HostTestContext::NavigateAbort) return OutcomeAborted;
        return OutcomeNotRun;
    }
    return HostTestElement::StatusWord(result->Status());
}

std::string HostTestSequence::PrintedOutcome(const Entry& entry)
{
    const std::string outcome = Outcome(entry);
    if (entry.performed || !entry.loaded || entry.storedOutcome.empty() || entry.storedOutcome == outcome)
        return outcome;
    return outcome + " (the file also stores the outcome '" + entry.storedOutcome + "')";
}

std::shared_ptr<ITestElement> HostTestSequence::AddTest(int32_t testId)
{
    if (!mPlugIn) throw plat::ComError(plat::rt::ObjectNotSet, kSource, "The sequence has no plug-in");
    auto element = mPlugIn->CreateTest(testId);
    if (!element) {
        throw plat::ComError(plat::rt::InvalidCall, kSource,
                             "The plug-in made no test element for the ID " + std::to_string(testId));
    }
    GiveStandards(element, testId);
    Add(element);
    return element;
}

void HostTestSequence::Add(std::shared_ptr<ITestElement> element)
{
    if (!element) throw plat::ComError(plat::rt::ObjectNotSet, kSource, "No test element");
    element->SetParent(shared_from_this());
    mEntries.push_back({std::move(element), false, HostTestContext::NavigationNone});
}

void HostTestSequence::GiveStandards(const std::shared_ptr<ITestElement>& element, int32_t testId) const
{
    auto limits = element->Limits();
    if (!limits) return;
    std::vector<StandardNames> names;
    if (mSelection) {
        names = *mSelection;
    } else if (auto tests = mPlugIn->Tests()) {
        if (auto found = tests->ItemByTestID(testId)) {
            if (auto templateLimits = found->Limits()) {
                if (auto standards = templateLimits->Standards()) {
                    for (const auto& standard : *standards)
                        names.emplace_back(standard->AlphaName(), standard->CompleteName());
                }
            }
        }
    }
    for (const auto& [alphaName, completeName] : names) limits->CreateStandard(alphaName, completeName);
}

bool HostTestSequence::Run()
{
    mStopRequested = false;
    std::size_t index = 0;
    while (index < mEntries.size()) {
        if (mStopRequested) return false;
        Entry& entry = mEntries[index];
        auto limits = entry.element->Limits();
        mContext->SetSelectedStandards(limits ? limits->Standards() : nullptr);
        mContext->ClearNavigation();
        if (mBeforePerform) mBeforePerform(index);
        entry.performed = true;
        entry.element->Perform(mContext);
        entry.navigation = mContext->Navigation();
        if (mAfterPerform) mAfterPerform(index);
        switch (entry.navigation) {
        case HostTestContext::NavigateAbort: return false;
        case HostTestContext::NavigatePrevious:
            if (index > 0) --index;
            break;
        default: ++index; break;
        }
    }
    return !mStopRequested;
}

std::shared_ptr<HostXmlDocument> HostTestSequence::SaveDocument() const
{
    auto document = HostXmlDocument::Create();
    auto root = document->CreateElement(ElementName);
    document->AppendChild(root);
    auto units = document->CreateElement(MtiListName);
    root->AppendChild(units);
    for (const auto& entry : *MtiList()) {
        auto unit = document->CreateElement("Mti");
        unit->SetAttribute("Module", entry->ModuleKey());
        unit->SetAttribute("Index", std::to_string(entry->Index()));
        unit->SetAttribute("Type", entry->MtiType());
        unit->SetAttribute("Serial", entry->Serial());
        unit->SetAttribute("Firmware", entry->Firmware());
        units->AppendChild(unit);
    }
    for (const auto& entry : mEntries) {
        if (auto saved = entry.element->Save(document)) {
            saved->SetAttribute(OutcomeAttribute, Outcome(entry));
            root->AppendChild(saved);
        }
    }
    return document;
}

void HostTestSequence::Save(const std::string& path) const
{
    SaveDocument()->Save(path);
}

void HostTestSequence::LoadDocument(const std::shared_ptr<HostXmlDocument>& document,
                                    const std::shared_ptr<HostLoadLog>& log)
{
    auto root = document ? document->DocumentElement() : nullptr;
    if (!root || root->Name() != ElementName) {
        throw plat::ComError(ErrorNotASequence, kSource, "The document holds no test sequence");
    }
    if (!mPlugIn) throw plat::ComError(plat::rt::ObjectNotSet, kSource, "The sequence has no plug-in");

    auto units = std::make_shared<HostMtiList>();
    std::vector<Entry> entries;
    for (const auto& child : Children(*root)) {
        if (child->Name() == MtiListName) {
            for (const auto& stored : Children(*child)) {
                auto index = Number(stored->GetAttribute("Index"));
                if (!index || *index < 1 || stored->GetAttribute("Module").empty()) {
                    if (log) log->AddEntry(ErrorNotASequence, 2, "An analyzer unit without module or index was passed over");
                    continue;
                }
                auto unit = units->NewEntry();
                unit->Initialize(stored->GetAttribute("Module"), *index);
                unit->SetMtiData(stored->GetAttribute("Type"), stored->GetAttribute("Serial"),
                                 stored->GetAttribute("Firmware"));
                if (!units->Find(unit->ModuleKey(), unit->Index())) units->Add(unit);
            }
            continue;
        }
        if (child->Name() != HostTestElement::ElementName) continue;
        auto testId = Number(child->GetAttribute("TestID"));
        std::shared_ptr<ITestElement> element;
        try {
            if (testId) element = mPlugIn->CreateTest(*testId);
        } catch (const std::exception&) {
            element = nullptr;
        }
        if (!element) {
            if (log) {
                log->AddEntry(ErrorNotASequence, 2,
                              "A test element of the test ID '" + child->GetAttribute("TestID") +
                                  "' could not be created and was passed over");
            }
            continue;
        }
        if (auto id = Number(child->GetAttribute("ID"))) element->SetID(*id);
        for (const auto& part : Children(*child)) element->Load(part, log);
        element->UpdateReferences();
        Entry entry{std::move(element), false, HostTestContext::NavigationNone};
        entry.loaded = true;
        entry.storedOutcome = child->GetAttribute(OutcomeAttribute);
        entry.loadedOutcome = LoadedOutcome(*entry.element, entry.storedOutcome);
        if (log && !entry.storedOutcome.empty() && entry.storedOutcome != entry.loadedOutcome) {
            log->AddEntry(ErrorNotASequence, 2,
                          "The test element of the test ID '" + child->GetAttribute("TestID") +
                              "' stores the outcome '" + entry.storedOutcome + "', but its result reads '" +
                              entry.loadedOutcome + "'");
        }
        entries.push_back(std::move(entry));
    }
    // A result names the unit that measured it by its index in the list; one the list lacks
    // leaves the result without its unit.
    for (const auto& entry : entries) {
        const auto result = entry.element->Result();
        const int32_t index = result ? result->MTIID() : 0;
        if (log && index > 0 && !units->Find(entry.element->PlugInID(), index)) {
            log->AddEntry(ErrorNotASequence, 2,
                          "The result of the test ID '" + std::to_string(entry.element->TestID()) +
                              "' names the analyzer unit " + std::to_string(index) + ", which the list of units lacks");
        }
    }
    mEntries = std::move(entries);
    for (const auto& entry : mEntries) entry.element->SetParent(shared_from_this());
    mContext->SetMtiList(units);
}

void HostTestSequence::Load(const std::string& path, const std::shared_ptr<HostLoadLog>& log)
{
    auto document = HostXmlDocument::Create();
    document->Load(path);
    LoadDocument(document, log);
}

} // namespace host
