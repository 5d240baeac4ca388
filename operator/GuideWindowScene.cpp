#include "operator/GuideWindowScene.h"

#include "host/interfaces/ITestWizard.h"
#include "host/interfaces/ITgToolbar.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UserControl.h"

namespace zop {

namespace {

template <class I>
std::shared_ptr<I> HostControl(plat::Form& form, const char* name)
{
    if (!form.Controls().Contains(name)) return nullptr;
    auto extender = form.Controls().Extender(name);
    return extender ? std::dynamic_pointer_cast<I>(extender->Object()) : nullptr;
}

std::shared_ptr<host::ITgToolbar> ToolbarOf(plat::Form& form)
{
    return HostControl<host::ITgToolbar>(form, "xtbToolbar");
}

} // namespace

std::shared_ptr<plat::Form> GuideWindowScene::FindWindow()
{
    std::shared_ptr<plat::Form> found;
    for (const auto& form : plat::LoadedForms()) {
        if (form->Name() != FormName) continue;
        if (form->IsShownModally() || form->Visible()) return form;
        found = form;
    }
    return found;
}

Scene GuideWindowScene::Look()
{
    Scene scene;
    auto form = FindWindow();
    if (!form) return scene;
    scene.windowShown = form->IsShownModally() || form->Visible();
    scene.caption = form->Caption();
    if (auto toolbar = ToolbarOf(*form)) {
        for (int id : {button::Abort, button::Previous, button::Next, button::Stop, button::Start, button::NotApplicable,
                       button::Skip}) {
            if (auto b = toolbar->Button(id)) scene.buttons[id] = {b->Visible(), b->Enabled(), b->Pressed(), b->Caption()};
        }
        if (auto status = toolbar->StatusField()) scene.statusText = status->Text();
    }
    if (auto steps = HostControl<host::ITestWizard>(*form, "xtwDetails")) {
        scene.stepLines = steps->Lines();
        for (int32_t line : steps->HighlightedLines()) scene.highlightedSteps.push_back(line);
    }
    auto popup = std::dynamic_pointer_cast<plat::UserControl>(form->FindControl("xtipopup"));
    if (!popup && form->Controls().Contains("xtipopup")) {
        if (auto extender = form->Controls().Extender("xtipopup")) popup = extender->Control();
    }
    if (popup) {
        auto extender = popup->Extender();
        scene.popupVisible = extender ? extender->Visible() : popup->Visible();
        if (auto icon = popup->FindAs<plat::Image>("imgIcon")) {
            if (icon->Picture()) scene.popupIcon = icon->Picture()->Key();
        }
        if (auto label = popup->FindAs<plat::Label>("lblHelpTxt")) scene.popupMessage = label->Caption();
        if (auto flash = popup->FindAs<plat::TimerControl>("tmrFlash")) scene.popupFlashing = flash->Enabled();
    }
    return scene;
}

bool GuideWindowScene::Press(int buttonId, bool clickFlag)
{
    auto form = FindWindow();
    if (!form) return false;
    auto toolbar = ToolbarOf(*form);
    if (!toolbar) return false;
    if (buttonId == button::Start && !clickFlag) return toolbar->UserChooseStart();
    return toolbar->UserClickButton(buttonId);
}

bool GuideWindowScene::Judge(bool passed)
{
    auto form = FindWindow();
    if (!form || !form->Controls().Contains("irvResult")) return false;
    auto extender = form->Controls().Extender("irvResult");
    auto view = extender ? extender->Control() : nullptr;
    auto list = view ? view->FindAs<plat::Grid>("tliResult") : nullptr;
    if (!list || list->Rows() < 2) return false;
    // The first measurement's row; column 2 "Test passed", column 3 "Test fail".
    list->UserClickCell(1, passed ? 2 : 3);
    return true;
}

} // namespace zop
