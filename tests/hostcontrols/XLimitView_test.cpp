#include "host/interfaces/HostCallback.h"
#include "host/interfaces/ICustomControl.h"
#include "host/interfaces/ILimitView.h"
#include "hostcontrols/XLimitView.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "testlib/core/CLimitData.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using plat::Variant;

// The control library registers the limit view, and the view is made by its ProgID as a
// dialog makes it: it keeps its rows and the limits it is given.
TEST(XLimitView, IsCreatedByProgIdAndKeepsWhatItIsGiven)
{
    const ztesting::TempRegistry registry;
    const auto registered = plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoView.so");
    EXPECT_TRUE(std::any_of(registered.begin(), registered.end(), [](const plat::RegisteredClass& c) {
        return c.progId == "TelvoView.XLimitView" && c.clsid == host::XLimitView::Clsid;
    }));

    const plat::ObjectPtr object = plat::CreateObject("TelvoView.XLimitView");
    const auto view = plat::QueryInterface<host::XLimitView>(object);
    ASSERT_NE(view, nullptr);
    const auto custom = plat::QueryInterface<host::ICustomControl>(object);
    const auto rows = plat::QueryInterface<host::ILimitView>(object);
    ASSERT_NE(custom, nullptr);
    ASSERT_NE(rows, nullptr);

    rows->AddRow("PACR", "Pacer Rate", "", "<op>Y;X+Y;X+(X*Y%)</op>");
    rows->AddRow("PACW", "Pacer Width", "ms", "");
    ASSERT_EQ(view->Rows().size(), 2u);
    EXPECT_EQ(view->Rows()[0].operators, "<op>Y;X+Y;X+(X*Y%)</op>");
    EXPECT_EQ(view->Rows()[1].unit, "ms");

    auto limits = std::make_shared<ztest::CLimitData>();
    custom->Initialize(Variant(plat::ObjectPtr(limits)));
    EXPECT_EQ(view->Limits(), limits);
    custom->Initialize(Variant(42)); // no limits object: the view shows none
    EXPECT_EQ(view->Limits(), nullptr);

    auto callback = std::make_shared<host::HostCallback>();
    custom->SetCallBack(callback);
    EXPECT_EQ(custom->CallBack(), callback);
    custom->SetLocked(true);
    EXPECT_TRUE(custom->Locked());
    EXPECT_NE(custom->hWnd(), 0);
    custom->SetVisible(false);
    EXPECT_FALSE(custom->Visible());
    // A hidden view cannot take the focus; asking is no error.
    EXPECT_NO_THROW(custom->SetFocus());
}
