#include "platform/ui/Form.h"
#include "platform/ui/PropertyBag.h"
#include "platform/ui/UserControl.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <memory>

using plat::Variant;

namespace {

class FormClose : public ztesting::VirtualLoopTest {};

TEST_F(FormClose, CloseRequestMayKeepTheFormElseItUnloads)
{
    auto form = std::make_shared<plat::Form>("Closing");
    form->Show();
    int asked = 0;
    bool keep = true;
    auto connection = form->CloseRequest.Connect([&](bool& cancel) {
        ++asked;
        cancel = keep;
    });
    form->UserClose();
    EXPECT_EQ(1, asked);
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(form->IsUnloaded());

    keep = false;
    form->UserClose();
    EXPECT_TRUE(form->IsUnloaded());
    form->UserClose();
    EXPECT_EQ(2, asked);
}

TEST(PropertyBag, StoresOnlyWhatDiffersFromTheDefaultAndIgnoresCase)
{
    plat::PropertyBag bag;
    bag.WriteProperty("BackColor", Variant(int32_t{5}), Variant(int32_t{24}));
    bag.WriteProperty("Border", Variant(int16_t{1}), Variant(int16_t{1}));
    EXPECT_EQ(1u, bag.Count());
    EXPECT_EQ(Variant(int32_t{5}), bag.ReadProperty("backcolor", Variant(int32_t{24})));
    EXPECT_EQ(Variant(int16_t{1}), bag.ReadProperty("Border", Variant(int16_t{1})));
    bag.WriteProperty("BACKCOLOR", Variant(int32_t{24}), Variant(int32_t{24}));
    EXPECT_FALSE(bag.Contains("BackColor"));

    plat::UserControl control;
    control.PropertyChanged("A");
    control.PropertyChanged("A");
    EXPECT_EQ(1u, control.ChangedProperties().size());
}

} // namespace
