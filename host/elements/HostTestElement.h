#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

// The host's generic test element, which every test element of a plug-in creates and wraps: it
// keeps the bookkeeping (plug-in ID, test ID, ID, info, filter) and the slots of the
// configuration record, the limits and the result record, and makes copies of itself.
class HostTestElement : public plat::IUnknown {
public:
    HostTestElement();

    // Sets the plug-in ID (the module key), the test type code and the element's ID.
    void Initialize(const std::string& plugInId, int32_t testId, int32_t id);

    const std::string& PlugInID() const { return mPlugInId; }
    int32_t TestID() const { return mTestId; }
    int32_t ID() const { return mId; }
    void SetID(int32_t id) { mId = id; }

    // The collection or sequence holding the element, held weakly: a sequence holds its
    // elements, never the other way round.
    plat::ObjectPtr Parent() const { return mParent.lock(); }
    void SetParent(const plat::ObjectPtr& parent) { mParent = parent; }

    const std::shared_ptr<HostTestInfo>& Info() const { return mInfo; }
    const std::shared_ptr<HostTestFilter>& Filter() const { return mFilter; }

    const std::shared_ptr<IConfigData>& Configuration() const { return mConfiguration; }
    void SetConfiguration(std::shared_ptr<IConfigData> configuration) { mConfiguration = std::move(configuration); }
    const std::shared_ptr<ILimitData>& Limits() const { return mLimits; }
    void SetLimits(std::shared_ptr<ILimitData> limits) { mLimits = std::move(limits); }
    const std::shared_ptr<IResultData>& Result() const { return mResult; }
    void SetResult(std::shared_ptr<IResultData> result) { mResult = std::move(result); }

    // A copy that shares nothing that can change with this element: the same IDs, copies of
    // the info and the filter, the configuration record's and the limits' own clones (so the
    // copy's standards are its own), and no result: a result belongs to the run that made it.
    // An error of a clone passes on, and no copy is made.
    std::shared_ptr<HostTestElement> Clone() const;

    // Drops the configuration, the limits and the result, as the element ends.
    void Terminate();

    // The stored form: an element "TestElement" with the IDs and the class name as attributes
    // and the children that the configuration ("PlugInData"), the limits ("ExpectedResult")
    // and the result ("ResultItem") save, in this order; a slot that is empty or saves nothing
    // adds no child. Errors of the records pass on.
    std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) const;
    // Loads one child of a stored element into the slot it belongs to, by its name; a child
    // for an empty slot, or of another name, is passed over. Errors of the records pass on.
    void Load(const std::shared_ptr<HostXmlElement>& child, const std::shared_ptr<HostLoadLog>& log);
    // What the host may give PrintReport as its argument when it knows more of the test than
    // the record does: what became of it in its run (see HostTestSequence::Outcome) and the
    // analyzer unit its result was measured with, as the line to print ("" prints none).
    struct PrintSubject : plat::IUnknown {
        std::string outcome;
        std::string measuredWith;
    };

    // Prints a heading with the element's name and a line with the test's outcome ("Outcome:
    // failed"), the line of the analyzer unit its result was measured with when the host gives
    // one, then the configuration, the limits and the result, each as its record prints
    // itself. The outcome is the argument when the host gives it as text or in a PrintSubject
    // (the host knows what became of the element in its run), else the word of the result's
    // status, and "not run" without a result. The records' own tables carry no outcome of the
    // whole test, so without this line a failed test could read as passed.
    // The limits print the values beside them with a verdict only when the result was rated
    // passed or failed: a test left not applicable never reads "Failed".
    void PrintReport(const std::shared_ptr<HostReport>& report, const plat::Variant& argument) const;

    // The word for a result status as the host shows it: "passed", "failed", "skipped", and
    // "not rated" for 0 or any other number.
    static const char* StatusWord(int32_t status);

    static constexpr const char* ElementName = "TestElement";

private:
    std::string mPlugInId;
    int32_t mTestId = 0;
    int32_t mId = 0;
    std::weak_ptr<plat::IUnknown> mParent;
    std::shared_ptr<HostTestInfo> mInfo;
    std::shared_ptr<HostTestFilter> mFilter;
    std::shared_ptr<IConfigData> mConfiguration;
    std::shared_ptr<ILimitData> mLimits;
    std::shared_ptr<IResultData> mResult;
};

} // namespace host
