#include "host/units/HostServiceRecord.h"

#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestFilter.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "host/documents/HostXmlHelper.h"
#include "platform/base/ComError.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace host {

namespace {

const char* const kSource = "HostServiceRecord";

// The flags as stored: a whole number in decimal and nothing else, or none.
std::optional<int32_t> ReadFlags(std::string_view text)
{
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

void HostServiceRecord::Initialize(const std::shared_ptr<HostTestFilter>& filter, const std::string& code,
                                   const std::string& text)
{
    mFilterFlags = filter ? filter->Flags() : 0;
    mCode = code;
    mText = text;
}

std::shared_ptr<HostXmlElement> HostServiceRecord::Save(const std::shared_ptr<HostXmlDocument>& document) const
{
    if (!document) throw plat::ComError(plat::rt::ObjectNotSet, kSource, plat::RuntimeErrorText(plat::rt::ObjectNotSet));
    std::shared_ptr<HostXmlElement> element = document->CreateElement(ElementName);
    element->SetAttribute("Filter", std::to_string(mFilterFlags));
    if (!mCode.empty()) element->AddChildWithText("Code", mCode);
    if (!mText.empty()) element->AddChildWithText("Text", mText);
    return element;
}

void HostServiceRecord::Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log)
{
    if (!element) throw plat::ComError(plat::rt::ObjectNotSet, kSource, plat::RuntimeErrorText(plat::rt::ObjectNotSet));
    if (element->Name() != ElementName) {
        throw plat::ComError(xmlerr::WrongNode, kSource,
                             "A service record cannot be loaded from the element '" + element->Name() + "'");
    }

    if (element->HasAttribute("Filter")) {
        const std::string stored = element->GetAttribute("Filter");
        if (std::optional<int32_t> flags = ReadFlags(stored)) {
            mFilterFlags = *flags;
        } else if (log) {
            plat::VariantArray arguments = plat::VariantArray::OneDim(0, 1);
            arguments.At(0) = stored;
            log->AddEntry(xmlerr::BadValue, 2, "The filter flags of a service record cannot be read: '%%1'", arguments);
        }
    }
    mCode = HostXmlHelper::ChildText(*element, "Code").value_or(std::string());
    mText = HostXmlHelper::ChildText(*element, "Text").value_or(std::string());
}

} // namespace host
