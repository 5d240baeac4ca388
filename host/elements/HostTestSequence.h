#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace host {

// A test sequence as the host runs it: test elements created by the plug-in, each given the
// standards selected for the run, performed in order as the operator navigates, sharing one
// run context and with it one list of analyzer units, and saved together with their results
// and that list as one document.
class HostTestSequence : public plat::IUnknown, public std::enable_shared_from_this<HostTestSequence> {
public:
    using StandardNames = std::pair<std::string, std::string>; // alpha name, complete name

    // What became of one element in the last run.
    struct Entry {
        std::shared_ptr<ITestElement> element;
        bool performed = false;                 // Perform was called at least once
        int32_t navigation = -1;                // the navigation it reported last
        // For an element loaded from a document: the outcome the document stored of it ("" for
        // a document that stored none) and the outcome it reads as (see LoadDocument).
        bool loaded = false;
        std::string storedOutcome{};
        std::string loadedOutcome{};
    };

    static constexpr const char* ElementName = "TestSequence";
    static constexpr const char* MtiListName = "MtiList";

    explicit HostTestSequence(std::shared_ptr<IPlugIn> plugIn);

    // The standards every element created from now on gets, by name; without a selection each
    // element gets every standard that the catalogue's template of its test holds.
    void SelectStandards(std::vector<StandardNames> names) { mSelection = std::move(names); }

    // Creates the element of the test ID through the plug-in and gives it its standards. The
    // plug-in's error passes on, and nothing is added.
    std::shared_ptr<ITestElement> AddTest(int32_t testId);
    // Adds an element as it is.
    void Add(std::shared_ptr<ITestElement> element);

    // What became of an element in the last run, in the host's words: "not run" when it was
    // never performed, "skipped" when it was skipped and "aborted" when the run was aborted in
    // it, each leaving no result, else the word of its result's status
    // (HostTestElement::StatusWord), "not run" without one. An element loaded from a document
    // and not performed since reads as it was saved (see LoadDocument).
    static std::string Outcome(const Entry& entry);
    // The outcome as the readable report prints it: Outcome, and for a loaded element whose
    // document stored an outcome that its result contradicts, both, so that the report never
    // prints a clean outcome over a file that disagrees with itself.
    static std::string PrintedOutcome(const Entry& entry);

    // The outcome words, as the table, the console and the report print them.
    static constexpr const char* OutcomeNotRun = "not run";
    static constexpr const char* OutcomeSkipped = "skipped";
    static constexpr const char* OutcomeAborted = "aborted";

    std::size_t Count() const { return mEntries.size(); }
    const Entry& Item(std::size_t index) const { return mEntries.at(index); }
    const std::vector<Entry>& Entries() const { return mEntries; }

    const std::shared_ptr<HostTestContext>& Context() const { return mContext; }
    const std::shared_ptr<HostMtiList>& MtiList() const;

    // Performs the elements from the first: Next (0) and Skip (3) go on to the next element,
    // Previous (1) goes back one (the first stays the first), Abort (2) ends the sequence; an
    // element that reports nothing (it was not to run) is followed by the next. Returns false
    // when the sequence was aborted or stopped before its end.
    bool Run();
    // Asks a running sequence to perform no further element; the element that runs now ends
    // as its operator ends it.
    void RequestStop() { mStopRequested = true; }
    bool StopRequested() const { return mStopRequested; }
    // Called before each Perform with the element's position.
    void SetBeforePerform(std::function<void(std::size_t)> hook) { mBeforePerform = std::move(hook); }
    // Called after each Perform with the element's position, once its navigation is noted.
    void SetAfterPerform(std::function<void(std::size_t)> hook) { mAfterPerform = std::move(hook); }

    // The sequence as one document: the analyzer units, then every element as it saves itself,
    // with its outcome (Outcome) as the attribute "Outcome", so that a test skipped, aborted or
    // not run, which leaves no result, reads the same once the document is loaded again.
    std::shared_ptr<HostXmlDocument> SaveDocument() const;
    // Saves the document atomically.
    void Save(const std::string& path) const;
    // Replaces the elements and the analyzer units by those of a saved sequence: each element
    // is created by the plug-in from its test ID and loaded child by child. An element the
    // plug-in cannot create is logged and passed over; a document that is not a sequence
    // raises and changes nothing. An element reads as the outcome of its result (its status
    // word) when it has one, else as the stored outcome where that is one that leaves no result
    // (not run, skipped, aborted), else as not run; a document without stored outcomes (an
    // older one) therefore reads as its results say. A stored outcome that its result or its
    // lack of one contradicts is logged (severity 2) and printed beside the one it reads as, and
    // so is a result that names an analyzer unit the document's list lacks.
    void LoadDocument(const std::shared_ptr<HostXmlDocument>& document, const std::shared_ptr<HostLoadLog>& log);
    void Load(const std::string& path, const std::shared_ptr<HostLoadLog>& log);

    static constexpr int32_t ErrorNotASequence = plat::Hr(0x80048B30u);

private:
    void GiveStandards(const std::shared_ptr<ITestElement>& element, int32_t testId) const;

    std::shared_ptr<IPlugIn> mPlugIn;
    std::optional<std::vector<StandardNames>> mSelection;
    std::vector<Entry> mEntries;
    std::shared_ptr<HostTestContext> mContext;
    std::function<void(std::size_t)> mBeforePerform;
    std::function<void(std::size_t)> mAfterPerform;
    bool mStopRequested = false;
};

} // namespace host
