#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

using namespace plat;

// A list box may be given any finite height; the number of rows it shows must stay a valid
// int instead of an out-of-range conversion of the height.
TEST(ListBoxTallRows, AHugeHeightGivesAValidRowCount)
{
    auto form = std::make_shared<Form>("frmTall");
    auto lst = form->Add<ListBox>("lstTall");
    for (float height : {0.0f, 195.0f, 1.0e12f, 3.0e38f}) {
        SCOPED_TRACE(height);
        lst->SetHeight(height);
        int rows = lst->VisibleRows();
        EXPECT_GE(rows, 1);
    }
    lst->AddItem("a");
    lst->AddItem("b");
    lst->SetTopIndex(1);
    EXPECT_EQ(lst->TopIndex(), 0);
    EXPECT_EQ(lst->VisibleRows(), INT_MAX);
    form->Unload();
}
