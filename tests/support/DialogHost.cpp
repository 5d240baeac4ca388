#include "tests/support/DialogHost.h"

#include "testlib/core/FDialogWrapper.h"

#include <gtest/gtest.h>

namespace ztesting {

DialogHost::DialogHost() : mWindow(std::make_shared<plat::Form>("frmHostDialog"))
{
    mWindow->Move(0, 0, 12000, 6000);
    mWindow->Show();
}

DialogHost::~DialogHost()
{
    if (mDialog) mDialog->Unload();
    mWindow->Unload();
}

void DialogHost::Dock(const std::shared_ptr<host::IDialog>& dialog, float width, float height)
{
    ASSERT_NE(dialog, nullptr) << "no dialog to dock";
    if (mDialog && mDialog != dialog) mDialog->Unload();
    mDialog = dialog;
    dialog->Dock(mWindow->hWnd());
    ASSERT_TRUE(dialog->IsDocked()) << "the dialog hosts no control that could be docked";
    dialog->Show(0);
    dialog->Move(0, 0, width, height);
}

void DialogHost::Resize(float width, float height)
{
    if (mDialog) mDialog->Move(0, 0, width, height);
}

std::shared_ptr<plat::ControlExtender> DialogHost::Hosted() const
{
    auto wrapper = std::dynamic_pointer_cast<ztest::FDialogWrapper>(mDialog);
    return wrapper ? wrapper->Control() : nullptr;
}

} // namespace ztesting
