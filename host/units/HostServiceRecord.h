#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace host {

class HostLoadLog;
class HostTestFilter;
class HostXmlDocument;
class HostXmlElement;

// The host's service record of one rated result: what the service history keeps of a test
// outcome. A result record makes one at every rating that its test filter asks for and hands
// it the filter, a code and a text:
//   code  "F" when a measurement failed, "NA" when the test was skipped, empty when it passed;
//   text  the measured values, each led by "/" ("/150.2/2000/50.1/4.5"), empty for "NA".
// The record keeps the filter's flags with them, so that a stored record tells what asked for it.
//
// Stored form:
//   <ServiceRecord Filter="1"><Code>F</Code><Text>/150.2/2000</Text></ServiceRecord>
// "Code" and "Text" are written only when they are not empty.
class HostServiceRecord : public plat::IUnknown {
public:
    static constexpr const char* ElementName = "ServiceRecord";

    // Takes the outcome of a rating. Without a filter the flags are 0.
    void Initialize(const std::shared_ptr<HostTestFilter>& filter, const std::string& code, const std::string& text);

    const std::string& Code() const { return mCode; }
    const std::string& Text() const { return mText; }
    int32_t FilterFlags() const { return mFilterFlags; }

    // A new unattached "ServiceRecord" element of the document. Raises Object variable not
    // set (91) without a document.
    std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>& document) const;

    // Replaces the record by the one stored in the element; a missing "Code" or "Text" reads as
    // empty. Raises xmlerr::WrongNode for an element of another name (nothing changes then). A
    // "Filter" that is no whole number keeps the flags the record had and is written to the
    // log (when one is given); the rest is read all the same.
    void Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log);

private:
    std::string mCode;
    std::string mText;
    int32_t mFilterFlags = 0;
};

} // namespace host
