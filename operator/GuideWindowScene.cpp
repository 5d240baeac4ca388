#include "operator/GuideWindowScene.h"

#include "host/interfaces/ITestWizard.h"
#include "host/interfaces/ITgToolbar.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TextBox.h"
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

// The control of the result view the window added at run time.
std::shared_ptr<plat::Control> ResultViewOf(plat::Form& form)
{
    if (!form.Controls().Contains("irvResult")) return nullptr;
    auto extender = form.Controls().Extender("irvResult");
    return extender ? extender->Control() : nullptr;
}

std::string Trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

bool Checked(const plat::Grid& grid, int row, int col)
{
    auto picture = grid.CellPicture(row, col);
    return picture && picture->Key() == "CHK:CHECK";
}

// The list of measured values: the value cell reads "<value> <unit>", blank while the value is
// not rated; a failed row is drawn bold.
void ReadValueList(plat::ListView& list, Scene& scene)
{
    for (int index = 1; index <= list.ItemCount(); ++index) {
        auto item = list.Item(index);
        ResultRow row;
        row.caption = item->Text();
        const std::string shown = Trimmed(item->SubItems(1));
        const auto blank = shown.find(' ');
        row.value = shown.substr(0, blank);
        if (blank != std::string::npos) row.unit = Trimmed(shown.substr(blank + 1));
        row.highLimit = Trimmed(item->SubItems(2));
        row.lowLimit = Trimmed(item->SubItems(3));
        row.status = row.value.empty() ? "not rated" : item->Bold() ? "failed" : "passed";
        scene.resultRows.push_back(std::move(row));
    }
}

// The checklist: a description and the check marks of "Test passed" and "Test fail".
void ReadChecklist(plat::Grid& grid, Scene& scene)
{
    for (int r = 1; r < grid.Rows(); ++r) {
        ResultRow row;
        row.caption = grid.CellText(r, 1);
        row.status = Checked(grid, r, 2) ? "passed" : Checked(grid, r, 3) ? "failed" : "not rated";
        if (row.status != "not rated") row.value = row.status;
        scene.resultRows.push_back(std::move(row));
    }
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
        if (auto status = toolbar->StatusField()) {
            scene.statusText = status->Text();
            scene.statusValue = status->Status();
        }
        if (auto standard = toolbar->CurrentStandard()) scene.standard = standard->CompleteName();
    }
    if (auto steps = HostControl<host::ITestWizard>(*form, "xtwDetails")) {
        scene.stepLines = steps->Lines();
        for (int32_t line : steps->HighlightedLines()) scene.highlightedSteps.push_back(line);
    }
    if (auto view = std::dynamic_pointer_cast<plat::UserControl>(ResultViewOf(*form))) {
        if (auto list = view->FindAs<plat::ListView>("lvwResult"); list && list->ColumnCount() >= 4) {
            ReadValueList(*list, scene);
        } else if (auto grid = view->FindAs<plat::Grid>("tliResult"); grid && grid->Cols() >= 3) {
            scene.checklist = true;
            ReadChecklist(*grid, scene);
        }
    }
    if (auto page = std::dynamic_pointer_cast<plat::UserControl>(form->FindControl("xmdMtiData"))) {
        if (auto type = page->FindAs<plat::ComboBox>("cboMtiType")) scene.analyzer.type = type->Text();
        if (auto serial = page->FindAs<plat::TextBox>("txtSerial")) scene.analyzer.serial = serial->Text();
        if (auto firmware = page->FindAs<plat::TextBox>("txtFirmware")) scene.analyzer.firmware = firmware->Text();
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
    if (!form) return false;
    auto view = std::dynamic_pointer_cast<plat::UserControl>(ResultViewOf(*form));
    auto list = view ? view->FindAs<plat::Grid>("tliResult") : nullptr;
    if (!list || list->Rows() < 2) return false;
    // The first measurement's row; column 2 "Test passed", column 3 "Test fail".
    list->UserClickCell(1, passed ? 2 : 3);
    return true;
}

bool GuideWindowScene::TypeIdentity(const std::string& serial, const std::optional<std::string>& firmware)
{
    auto form = FindWindow();
    auto page = form ? std::dynamic_pointer_cast<plat::UserControl>(form->FindControl("xmdMtiData")) : nullptr;
    if (!page) return false;
    auto type = [](plat::TextBox& box, const std::string& text) {
        // A person selects what the box holds and types over it.
        box.SetSelStart(0);
        box.SetSelLength(box.Length());
        if (text.empty()) {
            box.UserTypeKey(8);
        } else {
            box.UserType(text);
        }
    };
    auto serialBox = page->FindAs<plat::TextBox>("txtSerial");
    auto firmwareBox = page->FindAs<plat::TextBox>("txtFirmware");
    if (!serialBox || (firmware && !firmwareBox)) return false;
    type(*serialBox, serial);
    if (firmware) type(*firmwareBox, *firmware);
    return true;
}

} // namespace zop
