#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace host {

class HostXmlDocument;
class HostXmlElement;

// The host's helper for documents and typed element values.
//
// A "Value" element keeps a value together with its kind and the caller's value type:
//   <Value Type="Double" ValueType="1">12.5</Value>
// "Type" is the kind of the value (Empty, Null, Boolean, Integer, Long, Single, Double,
// String), "ValueType" the caller's number; numbers are written with "." and in the shortest
// text that reads back to the same number, Booleans as "True" and "False". A "Status" element
// keeps a status and its companion text:
//   <Status Text="..." TextType="String">2</Status>
// (no "Text" and "TextType" when the status text is Empty). Reading gives back exactly what
// was written: a "NOSYNC" text stays a text, a Single stays a Single.
class HostXmlHelper : public plat::IUnknown {
public:
    std::shared_ptr<HostXmlDocument> CreateDocument() const;

    // A new unattached "Value" element of the document. Raises Type mismatch (13) for an
    // object or an array, Object variable not set (91) without a document.
    std::shared_ptr<HostXmlElement> CreateValueElement(const std::shared_ptr<HostXmlDocument>& document,
                                                       const plat::Variant& value, int32_t valueType) const;
    // Reads a "Value" element. Raises xmlerr::WrongNode for an element of another name and
    // xmlerr::BadValue (Overflow (6) for a number out of range) for content that cannot be
    // read; the outputs are changed only on success. Without "Type" the text is taken as a
    // String (Empty when there is no text); without "ValueType" the value type is 0.
    void ReadValueElement(const std::shared_ptr<HostXmlElement>& element, plat::Variant& value,
                          int32_t& valueType) const;

    // A new unattached "Status" element of the document.
    std::shared_ptr<HostXmlElement> CreateStatusElement(const std::shared_ptr<HostXmlDocument>& document,
                                                        int32_t status, const plat::Variant& statusText) const;
    // Reads a "Status" element, with the same errors as ReadValueElement. An element without
    // text gives status 0.
    void ReadStatusElement(const std::shared_ptr<HostXmlElement>& element, int32_t& status,
                           plat::Variant& statusText) const;

    // The text of the first child element of that name, or nothing when there is none.
    static std::optional<std::string> ChildText(const HostXmlElement& element, const std::string& name);
};

} // namespace host
