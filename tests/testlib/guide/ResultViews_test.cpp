#include "host/interfaces/IDialog.h"
#include "host/standards/HostStandards.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/core/CLimitData.h"
#include "testlib/core/FDialogWrapper.h"
#include "testlib/guide/XChargeResult.h"
#include "testlib/guide/XDetailedResult.h"
#include "testlib/guide/XTestResult.h"
#include "testlib/results/CResultNSW.h"
#include "tests/support/EventSpy.h"
#include "tests/support/FakeTestElement.h"
#include "tests/support/LimitItems.h"
#include "tests/testlib/guide/GuideTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using plat::Variant;
using ztesting::GuideResult;

namespace {

constexpr int32_t kRed = 255;
constexpr int32_t kBlack = 0;

class ChargeResultView : public ztesting::GuideFixture {
protected:
    ChargeResultView()
    {
        limits->SetOwner(element, true);
        auto standard = limits->CreateStandard("IEC", "IEC 60601");
        standard->AddItem(ztesting::MakeLimitItem({.key = "ENGY", .unit = "J", .upper = {true, 200.0f, ""}, .lower = {true, -10.0f, "X+(X*Y%)"}}));
        energy = result->Add("ENGY", "Energy", "J", Variant(181.25f), 1);
        energy->SetPresetValue(Variant(200.0f));
        result->Add("PEAV", "Peak voltage", "V", Variant(), 1);
        result->Add("CADT", "Delay", "ms", Variant("NOSYNC"), 2);
        view.SetLimits(limits);
    }

    std::shared_ptr<plat::ListItem> Row(const std::string& key) { return view.lvwResult()->ItemByKey(key); }
    std::string Cell(const std::string& key, const char* sub) { return Row(key)->SubItemByKey(sub).text; }

    std::shared_ptr<ztesting::FakeTestElement> element = std::make_shared<ztesting::FakeTestElement>(100);
    std::shared_ptr<ztest::CLimitData> limits = std::make_shared<ztest::CLimitData>();
    std::shared_ptr<GuideResult> result = std::make_shared<GuideResult>();
    std::shared_ptr<ztest::CMeasurement> energy;
    ztest::XChargeResult view;
};

TEST_F(ChargeResultView, RowsShowValuesByStatus)
{
    view.ShowTestResult(result);
    ASSERT_EQ(3, view.lvwResult()->ItemCount());
    EXPECT_EQ("Energy", Row("ENGY")->Text());
    EXPECT_EQ("181.25 J", Cell("ENGY", "val"));
    // A measurement without a value shows a blank, never "0 V".
    EXPECT_EQ(" ", Cell("PEAV", "val"));
    EXPECT_EQ("NOSYNC ", Cell("CADT", "val"));
    EXPECT_FALSE(view.lvwResult()->SelectedItem());

    energy->SetStatus(0);
    view.ShowTestResult(result);
    EXPECT_EQ(" ", Cell("ENGY", "val"));
    EXPECT_EQ(3, view.lvwResult()->ItemCount());
}

TEST_F(ChargeResultView, FailedRowsAreBoldAndRedInEveryColumnUntilTheyPass)
{
    energy->SetStatus(2);
    energy->SetValue(Variant());
    view.ShowTestResult(result);
    auto row = Row("ENGY");
    EXPECT_TRUE(row->Bold());
    EXPECT_EQ(kRed, row->ForeColor());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(row->SubItem(i).bold);
        EXPECT_EQ(kRed, row->SubItem(i).foreColor);
    }
    EXPECT_EQ(" ", Cell("ENGY", "val"));

    energy->SetStatus(1);
    energy->SetValue(Variant(190.0f));
    view.ShowTestResult(result);
    row = Row("ENGY");
    EXPECT_FALSE(row->Bold());
    EXPECT_EQ(kBlack, row->SubItem(3).foreColor);
}

// A value is shown as a Single in its shortest text, whatever type the record keeps it in.
TEST_F(ChargeResultView, ValuesAreShownInTheShortestSingleForm)
{
    const std::pair<Variant, const char*> cases[] = {
        {Variant(150.2f), "150.2 J"},
        {Variant(0.1f), "0.1 J"},
        {Variant(150.2), "150.2 J"},
        {Variant(int32_t{12345678}), "1.234568E+07 J"},
        {Variant("12.5"), "12.5 J"},
    };
    for (const auto& [value, shown] : cases) {
        SCOPED_TRACE(shown);
        energy->SetValue(value);
        view.ShowTestResult(result);
        EXPECT_EQ(shown, Cell("ENGY", "val"));
    }
}

// A failed reading beyond the Single's range is still a failed row: red and bold, its value
// shown as the Double it is.
TEST_F(ChargeResultView, AFailedValueBeyondTheSingleRangeIsShownRedAsItsDouble)
{
    const std::pair<double, const char*> cases[] = {
        {1e39, "1E+39 J"},
        {-1.7976931348623157e308, "-1.79769313486232E+308 J"},
    };
    for (const auto& [value, shown] : cases) {
        SCOPED_TRACE(shown);
        energy->SetStatus(2);
        energy->SetValue(Variant(value));
        view.ShowTestResult(result);
        auto row = Row("ENGY");
        EXPECT_EQ(shown, Cell("ENGY", "val"));
        EXPECT_TRUE(row->Bold());
        EXPECT_EQ(kRed, row->ForeColor());
        for (int i = 1; i <= row->SubItemCount(); ++i) {
            EXPECT_TRUE(row->SubItem(i).bold);
            EXPECT_EQ(kRed, row->SubItem(i).foreColor);
        }
    }
}

TEST_F(ChargeResultView, StandardIsRememberedWithItsCalculateFlag)
{
    // Chosen before any result: applied when the result comes, with the flag it was chosen with.
    view.SelectStandard("IEC", "IEC 60601", false);
    view.ShowTestResult(result);
    EXPECT_EQ("200 J", Cell("ENGY", "hi"));
    EXPECT_EQ("-10 %", Cell("ENGY", "lo"));
    EXPECT_EQ("IEC 60601", Row("ENGY")->SubItemByKey("lo").toolTipText);
    EXPECT_EQ(" ", Cell("PEAV", "hi"));

    view.SelectStandard("IEC", "IEC 60601", true);
    EXPECT_EQ("180 J", Cell("ENGY", "lo"));
    view.ShowTestResult(result);
    EXPECT_EQ("180 J", Cell("ENGY", "lo"));

    // Names that match no standard leave the columns as they were.
    view.SelectStandard("NONE", "Nothing", false);
    EXPECT_EQ("180 J", Cell("ENGY", "lo"));
}

TEST_F(ChargeResultView, MouseDownIsRaisedWithItsArguments)
{
    auto keep = std::make_shared<ztest::XChargeResult>();
    std::vector<plat::EventInfo> events;
    auto connection = keep->GenericEvent.Connect([&](const plat::EventInfo& info) { events.push_back(info); });
    keep->lvwResult()->UserMouseDown(2, 1, 10, 20);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ("MouseDown", events[0].name);
    EXPECT_EQ(Variant(int16_t{2}), events[0].Parameter(0));
    EXPECT_EQ(Variant(20.0f), events[0].Parameter(3));
}

class ChecklistView : public ztesting::GuideFixture {
protected:
    ChecklistView()
    {
        result->Add("NSW", "Normal sinus", "", Variant(), 0, ztest::CMeasurement::ValueTypeBoolean);
        result->Add("ARR", "Arrhythmia", "", Variant(true), 1, ztest::CMeasurement::ValueTypeBoolean);
        result->Add("PERF", "Performance", "", Variant(false), 2, ztest::CMeasurement::ValueTypeBoolean);
        view->SetVisible(true);
        clicks = view->GenericEvent.Connect([&](const plat::EventInfo& info) { events.push_back(info.name); });
    }
    const plat::Bitmap* Picture(int row, int col) { return view->tliResult()->CellPicture(row, col).get(); }

    std::shared_ptr<GuideResult> result = std::make_shared<GuideResult>();
    std::shared_ptr<ztest::XTestResult> view = std::make_shared<ztest::XTestResult>();
    std::vector<std::string> events;
    plat::ScopedConnection clicks;
};

TEST_F(ChecklistView, RowsShowTheVerdicts)
{
    view->ShowTestResult(result);
    auto& grid = *view->tliResult();
    ASSERT_EQ(4, grid.Rows());
    EXPECT_EQ("Test passed", grid.CellText(0, 2));
    EXPECT_EQ("Normal sinus", grid.CellText(1, 1));
    EXPECT_EQ("ARR", grid.RowKey(2));
    const auto* checked = view->CheckedPicture().get();
    const auto* unchecked = view->UncheckedPicture().get();
    ASSERT_TRUE(checked && unchecked);
    EXPECT_EQ(unchecked, Picture(1, 2));
    EXPECT_EQ(unchecked, Picture(1, 3));
    EXPECT_EQ(checked, Picture(2, 2));
    EXPECT_EQ(checked, Picture(3, 3));
    EXPECT_EQ(kRed, grid.RowForeColor(3));
    EXPECT_EQ(plat::color::WindowText, grid.RowForeColor(2));

    view->ShowTestResult(nullptr);
    EXPECT_EQ(4, grid.Rows());
}

TEST_F(ChecklistView, ClicksSetVerdictsAndAlwaysRaiseItemClicked)
{
    view->ShowTestResult(result);
    auto& grid = *view->tliResult();
    mDriver.ClickCell(grid, 2, 3);
    EXPECT_EQ(Variant(false), result->items[1]->GetValue());
    EXPECT_EQ(2, result->items[1]->GetStatus());
    EXPECT_EQ(kRed, grid.RowForeColor(2));
    EXPECT_EQ(view->CheckedPicture().get(), Picture(2, 3));
    mDriver.ClickCell(grid, 1, 2);
    EXPECT_EQ(Variant(true), result->items[0]->GetValue());
    EXPECT_EQ(1, result->items[0]->GetStatus());
    EXPECT_EQ(2, static_cast<int>(events.size()));

    // The header, column 1 and other buttons change nothing; only left clicks are reported.
    mDriver.ClickCell(grid, 0, 2);
    mDriver.ClickCell(grid, 3, 1);
    EXPECT_EQ(Variant(false), result->items[2]->GetValue());
    EXPECT_EQ(4, static_cast<int>(events.size()));
    mDriver.ClickCell(grid, 3, 2, plat::mouse::Right);
    EXPECT_EQ(Variant(false), result->items[2]->GetValue());
    EXPECT_EQ(4, static_cast<int>(events.size()));
}

// A host that refuses the click while its "ItemClicked" is raised gets the measurement and the
// row back as they were; a refusal outside a click, or after an accepted one, changes nothing.
TEST_F(ChecklistView, ARefusedClickLeavesTheVerdictAsItWas)
{
    view->ShowTestResult(result);
    auto& grid = *view->tliResult();
    bool refuse = true;
    plat::ScopedConnection host = view->GenericEvent.Connect([&](const plat::EventInfo& info) {
        if (info.name == "ItemClicked" && refuse) view->RefuseVerdict();
    });
    const struct {
        int row;
        int col;
        Variant value;
        int32_t status;
        const plat::Bitmap* passedPicture;
        int32_t color;
    } cases[] = {
        {1, 2, Variant(), 0, view->UncheckedPicture().get(), plat::color::WindowText},
        {2, 3, Variant(true), 1, view->CheckedPicture().get(), plat::color::WindowText},
        {3, 2, Variant(false), 2, view->UncheckedPicture().get(), kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        mDriver.ClickCell(grid, c.row, c.col);
        const auto& item = result->items[c.row - 1];
        EXPECT_EQ(c.value, item->GetValue());
        EXPECT_EQ(c.status, item->GetStatus());
        EXPECT_EQ(c.passedPicture, Picture(c.row, 2));
        EXPECT_EQ(c.color, grid.RowForeColor(c.row));
    }
    refuse = false;
    mDriver.ClickCell(grid, 2, 3);
    view->RefuseVerdict();
    EXPECT_EQ(Variant(false), result->items[1]->GetValue());
    EXPECT_EQ(2, result->items[1]->GetStatus());
    EXPECT_EQ(kRed, grid.RowForeColor(2));
}

class CommentView : public ztesting::GuideFixture {};

TEST_F(CommentView, ResultRecordDialogHostsTheReadOnlyComment)
{
    auto record = std::make_shared<ztest::CResultNSW>();
    record->Initialize(std::make_shared<ztest::CConfigNSW>());
    record->SetComment("Paddles worn");
    auto dialog = record->CreateDialog();
    auto wrapper = std::dynamic_pointer_cast<ztest::FDialogWrapper>(dialog);
    ASSERT_TRUE(wrapper && wrapper->Control());
    auto view = std::dynamic_pointer_cast<ztest::XDetailedResult>(wrapper->Control()->Object());
    ASSERT_TRUE(view);
    EXPECT_EQ("Paddles worn", view->txtComment()->Text());
    EXPECT_TRUE(view->txtComment()->Locked());
    EXPECT_EQ("Comment", view->lblTitle()->Caption());
    dialog->SetLocked(true);
    EXPECT_FALSE(dialog->Locked());

    view->Move(0, 0, 5000, 3000);
    EXPECT_EQ(120, view->txtComment()->Left());
    EXPECT_EQ(4880, view->txtComment()->Width());
    EXPECT_EQ(3000, view->txtComment()->Top() + view->txtComment()->Height());
    dialog->Unload();
}

} // namespace
