#include "host/elements/HostTestGuideSettings.h"

#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlErrors.h"
#include "host/documents/HostXmlHelper.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

namespace host {

namespace {

constexpr int32_t kLogSeverityWarning = 2;

} // namespace

void HostTestGuideSettings::Load(const std::shared_ptr<HostXmlElement>& element, const std::shared_ptr<HostLoadLog>& log)
{
    if (!element) plat::RaiseRuntime(plat::rt::ObjectNotSet, ErrorSource);
    if (element->Name() != ElementName) {
        throw plat::ComError(xmlerr::WrongNode, ErrorSource,
                             "Test-guide settings cannot be read from the element \"" + element->Name() + "\"");
    }

    if (auto text = HostXmlHelper::ChildText(*element, "ToolbarFlags")) {
        try {
            mToolbarFlags = plat::CLng(plat::Val(*text));
        } catch (const plat::ComError& error) {
            if (log) {
                log->AddEntry(error.Number(), kLogSeverityWarning,
                              "The test-guide toolbar flags \"" + *text + "\" cannot be read (" + error.Description() +
                                  "); the flags stay " + std::to_string(mToolbarFlags));
            }
        }
    }
    if (auto text = HostXmlHelper::ChildText(*element, "ShowInstructions")) mShowInstructions = *text == "True";
    if (auto text = HostXmlHelper::ChildText(*element, "Remark")) mRemark = *text;
}

std::shared_ptr<HostXmlElement> HostTestGuideSettings::Save(const std::shared_ptr<HostXmlDocument>& document) const
{
    if (!document) plat::RaiseRuntime(plat::rt::ObjectNotSet, ErrorSource);
    std::shared_ptr<HostXmlElement> element = document->CreateElement(ElementName);
    element->AddChildWithText("ToolbarFlags", std::to_string(mToolbarFlags));
    element->AddChildWithText("ShowInstructions", mShowInstructions ? "True" : "False");
    element->AddChildWithText("Remark", mRemark);
    return element;
}

std::shared_ptr<HostTestGuideSettings> HostTestGuideSettings::Clone() const
{
    return std::make_shared<HostTestGuideSettings>(*this);
}

bool HostTestGuideSettings::operator==(const HostTestGuideSettings& other) const
{
    return mToolbarFlags == other.mToolbarFlags && mShowInstructions == other.mShowInstructions &&
           mRemark == other.mRemark;
}

} // namespace host
