#pragma once

#include "host/interfaces/HostForward.h"
#include "host/standards/HostStandard.h"
#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The host's ordered collection of standards. Loading and saving the collection as an
// element, and printing it into a report, live in their own files beside this one.
class HostStandards : public plat::IUnknown {
public:
    using StandardList = std::vector<std::shared_ptr<HostStandard>>;

    std::size_t Count() const { return mStandards.size(); }
    // The standard at index 0 .. Count() - 1; any other index raises Subscript out of range.
    const std::shared_ptr<HostStandard>& Item(std::size_t index) const;
    StandardList::const_iterator begin() const { return mStandards.begin(); }
    StandardList::const_iterator end() const { return mStandards.end(); }

    // The first standard with exactly these two names (case-sensitive), or none.
    std::shared_ptr<HostStandard> Find(const std::string& alphaName, const std::string& completeName) const;

    // Appends a standard; an empty pointer raises Invalid procedure call.
    void Add(std::shared_ptr<HostStandard> standard);
    void Remove(std::size_t index);
    // Makes the element the owner of the standards again (after a copy or a load); the owner
    // is held weakly.
    void UpdateReferences(const std::shared_ptr<ITestElement>& owner) { mOwner = owner; }
    std::shared_ptr<ITestElement> Owner() const { return mOwner.lock(); }

    // Drops every standard; standards still held elsewhere keep their items.
    void ReleaseAll() { mStandards.clear(); }

    // A deep copy: new standards with new items, so that changing the copy never changes this.
    std::shared_ptr<HostStandards> Copy() const;

    // The code raised when a standards element holds content that cannot be read.
    static constexpr int32_t ErrorBadContent = plat::Hr(0x80048B10u);

    // Replaces the standards with those of an element in the form that HostStandardsXml.cpp
    // describes. All or nothing: on any fault the collection keeps what it had, the log (when
    // one is given) gets an entry with ErrorBadContent, severity 2 and a text that names the
    // fault, and ErrorBadContent is raised with the same text. No element raises Object
    // variable not set.
    void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log);
    // A new unattached element "Standards" of the document holding every standard; the caller
    // names it and appends it where it belongs.
    std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) const;

    // Prints each standard with its limits beside the measured values (HostStandardsPrint.cpp).
    // rows is the 2-D array of report rows (key, caption, number format, measurement) that the
    // test library builds; printObject is what the print context gives for the report
    // (HostPrintContext::Subject) or a HostStandards selection: a selection prints only the
    // standards of the same two names, none prints all of them. A row shows its verdict only
    // when the subject says the values were rated.
    void PrintReport(const std::shared_ptr<HostReport>& report, const plat::ObjectPtr& printObject,
                     const plat::Variant& rows) const;

private:
    StandardList mStandards;
    std::weak_ptr<ITestElement> mOwner;
};

} // namespace host
