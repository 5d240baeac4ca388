#include "host/elements/HostTestContext.h"
#include "host/standards/HostStandards.h"
#include "hostcontrols/XTestWizard.h"
#include "hostcontrols/tgcl2/XTgContentPane.h"
#include "hostcontrols/tgcl2/XTgToolbar.h"
#include "platform/com/ComRuntime.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "testlib/core/CLimitData.h"
#include "tests/support/FakeTestElement.h"
#include "tests/support/LimitItems.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using host::ITgToolbar;
using plat::Variant;

namespace {

std::vector<std::string> Names(host::XTgToolbar& toolbar)
{
    std::vector<std::string> names;
    for (const auto& standard : toolbar.ListedStandards()) names.push_back(standard.alphaName);
    return names;
}

TEST(XTgToolbar, SelectorListsStandardsAndAnnouncesItsFirstSelection)
{
    auto element = std::make_shared<ztesting::FakeTestElement>(100);
    auto limits = std::make_shared<ztest::CLimitData>();
    limits->SetOwner(element, true);
    limits->CreateStandard("A", "Alpha");
    limits->CreateStandard("B", "Beta");
    element->SetLimits(limits);
    auto context = std::make_shared<host::HostTestContext>();

    auto toolbar = std::make_shared<host::XTgToolbar>();
    int announced = 0;
    auto connection = toolbar->GenericEvent.Connect([&](const plat::EventInfo& info) {
        if (info.name == ITgToolbar::EventStandardChanged) ++announced;
    });
    // Without a selection in the run context every standard of the element is offered.
    toolbar->Attach(element, context);
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), Names(*toolbar));
    EXPECT_EQ(1, announced);
    EXPECT_EQ("Alpha", toolbar->CurrentStandard()->CompleteName());
    EXPECT_TRUE(toolbar->CurrentStandard()->Calculate());

    // An empty selection offers none and announces nothing.
    context->SetSelectedStandards(std::make_shared<host::HostStandards>());
    toolbar->Attach(element, context);
    EXPECT_TRUE(Names(*toolbar).empty());
    EXPECT_FALSE(toolbar->CurrentStandard());
    EXPECT_EQ(1, announced);

    // While a run locks the toolbar the operator cannot choose, nor open the menu.
    toolbar->Attach(element, std::make_shared<host::HostTestContext>());
    toolbar->SetBusy(true, true);
    EXPECT_FALSE(toolbar->UserSelectStandard(1));
    EXPECT_FALSE(toolbar->UserSetCalculate(false));
    toolbar->ShowMenu();
    EXPECT_EQ(0, toolbar->MenuShownCount());
    toolbar->SetBusy(false, false);
    EXPECT_TRUE(toolbar->UserSetCalculate(false));
    EXPECT_TRUE(toolbar->UserSelectStandard(1));
    EXPECT_EQ("Beta", toolbar->CurrentStandard()->CompleteName());
    EXPECT_FALSE(toolbar->CurrentStandard()->Calculate());
    EXPECT_FALSE(toolbar->UserSelectStandard(2));
}

TEST(XTgToolbar, HiddenOrDisabledButtonsTakeNoClickAndTheBarKeepsToTheBottom)
{
    const ztesting::TempRegistry registry;
    plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoTGCL2.so");
    auto form = std::make_shared<plat::Form>();
    auto extender = form->Controls().Add(host::XTgToolbar::ProgId, "bar");
    ASSERT_TRUE(extender);
    auto toolbar = std::dynamic_pointer_cast<host::XTgToolbar>(extender->Control());
    std::vector<std::string> clicks;
    auto connection = toolbar->GenericEvent.Connect([&](const plat::EventInfo& info) {
        if (info.name == ITgToolbar::EventButtonClick) clicks.push_back(info.name);
    });
    int32_t flags = 0;
    toolbar->Configure(flags, 0);
    EXPECT_FALSE(toolbar->UserClickButton(ITgToolbar::ButtonSkip));
    EXPECT_FALSE(toolbar->UserClickButton(ITgToolbar::ButtonNext));
    EXPECT_FALSE(toolbar->UserClickButton(ITgToolbar::ButtonStop));
    EXPECT_FALSE(toolbar->UserClickButton(999));
    EXPECT_TRUE(toolbar->UserClickButton(ITgToolbar::ButtonStart));
    EXPECT_EQ(1u, clicks.size());

    form->Move(0, 0, 8000, 5000);
    EXPECT_EQ(8000, toolbar->Width());
    EXPECT_EQ(5000 - toolbar->Height(), toolbar->Top());
}

TEST(XTestWizard, StepsAndMarks)
{
    host::XTestWizard wizard;
    auto steps = plat::VariantArray::OneDim(0, 3);
    steps.items[0] = Variant("One");
    steps.items[2] = Variant("Three");
    wizard.SetSteps(Variant(steps));
    EXPECT_EQ((std::vector<std::string>{"One", "", "Three"}), wizard.Lines());
    auto marks = plat::VariantArray::OneDim(1, 3);
    marks.items[0] = Variant(int16_t{3});
    marks.items[1] = Variant(int16_t{0});
    marks.items[2] = Variant(int32_t{4});
    wizard.HighLight(Variant(marks));
    EXPECT_EQ(std::vector<int32_t>{3}, wizard.HighlightedLines());
    // Late-bound callers reach the same operations by dispatch ID.
    wizard.Invoke(host::ITestWizard::DispIdHighLight, Variant(plat::VariantArray::OneDim(0, 0)));
    EXPECT_TRUE(wizard.HighlightedLines().empty());
    EXPECT_THROW(wizard.Invoke(0x60030003, Variant()), plat::ComError);
    wizard.Invoke(host::ITestWizard::DispIdSetSteps, Variant("not an array"));
    EXPECT_TRUE(wizard.Lines().empty());
    EXPECT_TRUE(wizard.HighlightedLines().empty());
}

TEST(TelvoTGCL2, LibraryRegistersTheToolbarAndThePageContainer)
{
    const ztesting::TempRegistry registry;
    plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoTGCL2.so");
    EXPECT_TRUE(plat::QueryInterface<ITgToolbar>(plat::CreateObject(host::XTgToolbar::ProgId)));
    EXPECT_TRUE(plat::QueryInterface<host::ITgContentPane>(plat::CreateObject(host::XTgContentPane::ProgId)));
}

} // namespace
