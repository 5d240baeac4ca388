#include "host/guide/HostGuideServices.h"

#include "host/documents/HostTranslator.h"
#include "host/elements/HostTestInfo.h"
#include "host/interfaces/ITestElement.h"
#include "platform/ui/MessageBox.h"

namespace host {

std::string HostGuideServices::CaptionText(const std::shared_ptr<ITestElement>& element) const
{
    if (!element) return {};
    auto info = element->Info();
    if (!info) return {};
    return HostTranslator::Process()->Translate(element->PlugInID(), info->Name());
}

bool HostGuideServices::ConfirmAbort() const
{
    return plat::MsgBox(AbortPrompt, plat::vbYesNo + plat::vbQuestion + plat::vbDefaultButton2, AbortTitle) ==
           plat::vbYes;
}

} // namespace host
