#include "host/standards/HostFormulaLimit.h"
#include "host/standards/HostLimitItem.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "platform/base/ComError.h"
#include "tests/support/LimitItems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using host::HostFormulaLimit;
using host::HostLimitItem;
using host::HostStandard;
using host::HostStandards;
using plat::ComError;
using plat::Variant;

namespace {

constexpr int kUpper = HostLimitItem::UpperBound;
constexpr int kLower = HostLimitItem::LowerBound;

// A formula-capable item in J; only the upper bound takes a formula here.
std::shared_ptr<HostLimitItem> MakeItem(const std::string& key, bool upperOn, float upper, bool lowerOn, float lower,
                                        const std::string& upperFormula = {})
{
    return ztesting::MakeLimitItem(
        {.key = key, .unit = "J", .upper = {upperOn, upper, upperFormula}, .lower = {lowerOn, lower, ""}});
}

using ztesting::MakeStandard;

} // namespace

TEST(HostFormulaLimit, EvaluatesTheOfferedFormsAndTheirRelatives)
{
    struct Case {
        const char* formula;
        double x, y, expected;
    };
    const Case cases[] = {
        {"Y", 100, 10, 10},
        {"X+Y", 100, 10, 110},
        {"X+(X*Y%)", 100, 10, 110},
        {"X+(X*Y%)", 200, 2.5, 205},
        {" x + ( x * y % ) ", 50, 20, 60},
        {"X-Y", 100, 10, 90},
        {"X-(X*Y%)", 200, 5, 190},
        {"", 100, 7, 7}, // no formula: the plain value
        {"-Y+1.5", 0, 1, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_DOUBLE_EQ(HostFormulaLimit::EvaluateFormula(c.formula, c.x, c.y), c.expected);
        EXPECT_TRUE(HostFormulaLimit::IsValidFormula(c.formula));
    }
}

TEST(HostFormulaLimit, UnreadableFormulasRaiseAClearError)
{
    const std::string deep = std::string(300, '(') + "X" + std::string(300, ')');
    for (const std::string& formula : {std::string("X+"), std::string("Z"), std::string("(X"), std::string("Y%%"),
                                       std::string("1.2.3"), std::string("X Y"), deep}) {
        SCOPED_TRACE(formula.substr(0, 20));
        EXPECT_FALSE(HostFormulaLimit::IsValidFormula(formula));
        try {
            HostFormulaLimit::EvaluateFormula(formula, 1, 1);
            FAIL() << "no error";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Number(), plat::rt::InvalidCall);
            EXPECT_NE(e.Description().find("cannot be evaluated"), std::string::npos);
        }
    }

    HostFormulaLimit item;
    item.SetFormula(kUpper, "X/0");
    EXPECT_THROW(item.Evaluate(kUpper, 1.0f), ComError);
}

TEST(HostFormulaLimit, EachBoundUsesItsOwnFormulaAndValue)
{
    HostFormulaLimit item;
    item.SetValue(kUpper, 10.0f);
    item.SetFormula(kUpper, "X+(X*Y%)");
    item.SetValue(kLower, 95.0f);
    EXPECT_FLOAT_EQ(item.Evaluate(kUpper, 100.0f), 110.0f);
    EXPECT_FLOAT_EQ(item.Evaluate(kLower, 100.0f), 95.0f);
    EXPECT_FLOAT_EQ(item.LimitValue(kUpper, 100.0f), 110.0f);

    // A plain item shows its formula text but is judged by its plain value.
    HostLimitItem plain;
    plain.SetValue(kUpper, 10.0f);
    plain.SetFormula(kUpper, "X+Y");
    EXPECT_FLOAT_EQ(plain.LimitValue(kUpper, 100.0f), 10.0f);
    EXPECT_EQ(plain.Formula(kUpper), "X+Y");
}

TEST(HostLimitItem, NewItemsTakeFormulasAndStartDisabled)
{
    auto item = HostLimitItem::Create();
    EXPECT_NE(std::dynamic_pointer_cast<HostFormulaLimit>(item), nullptr);
    for (int bound : {kUpper, kLower}) {
        EXPECT_FALSE(item->Enabled(bound));
        EXPECT_EQ(item->Value(bound), 0.0f);
        EXPECT_EQ(item->Formula(bound), "");
    }
    item->Initialize("ENGY", "J", "a", "b");
    EXPECT_EQ(item->Key(), "ENGY");
    EXPECT_EQ(item->Unit(), "J");
    EXPECT_THROW(item->Enabled(2), ComError);
    EXPECT_THROW(item->SetValue(-1, 1.0f), ComError);
}

TEST(HostStandard, RatesAgainstEnabledBoundsOnly)
{
    struct Case {
        const char* name;
        bool upperOn;
        bool lowerOn;
        float value;
        int32_t expected;
    };
    // Upper bound 110, lower bound 90.
    const Case cases[] = {
        {"inside", true, true, 100.0f, 0},
        {"equal to upper", true, true, 110.0f, 0},
        {"equal to lower", true, true, 90.0f, 0},
        {"above upper", true, true, 110.01f, 2},
        {"below lower", true, true, 89.99f, 2},
        {"above disabled upper", false, true, 1000.0f, 0},
        {"below disabled lower", true, false, -1000.0f, 0},
        {"both disabled", false, false, 1e9f, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto standard = MakeStandard("IEC", "IEC 60601");
        standard->AddItem(MakeItem("ENGY", c.upperOn, 110.0f, c.lowerOn, 90.0f));
        EXPECT_EQ(standard->Evaluate("ENGY", c.value, Variant(100.0f)), c.expected);
    }
}

TEST(HostStandard, FormulaBoundsStartFromThePresetAndCompareAsSingles)
{
    auto standard = MakeStandard("IEC", "IEC 60601");
    standard->AddItem(MakeItem("ENGY", true, 10.0f, false, 0.0f, "X+(X*Y%)"));
    EXPECT_EQ(standard->Evaluate("ENGY", 110.0f, Variant(100.0f)), 0);
    EXPECT_EQ(standard->Evaluate("ENGY", 110.5f, Variant(100.0f)), 2);
    EXPECT_EQ(standard->Evaluate("ENGY", 210.0f, Variant(200.0f)), 0);

    // 0.1f + 0.2f is a hair below 0.3f in double precision and exactly 0.3f as a Single.
    auto sum = MakeStandard("A", "B");
    sum->AddItem(MakeItem("PULW", true, 0.2f, false, 0.0f, "X+Y"));
    EXPECT_EQ(sum->Evaluate("PULW", 0.3f, Variant(0.1f)), 0);
}

TEST(HostStandard, LooksAtEveryItemOfTheKeyAndNoOther)
{
    auto standard = MakeStandard("A", "B");
    standard->AddItem(MakeItem("PEAV", true, 1.0f, false, 0.0f));
    standard->AddItem(MakeItem("ENGY", true, 500.0f, false, 0.0f));
    standard->AddItem(MakeItem("ENGY", true, 150.0f, false, 0.0f));
    EXPECT_EQ(standard->Evaluate("ENGY", 200.0f, Variant(100.0f)), 2); // the second ENGY item fails
    EXPECT_EQ(standard->Evaluate("ENGY", 100.0f, Variant(100.0f)), 0);
    EXPECT_EQ(standard->Evaluate("PULW", 1e6f, Variant(100.0f)), 0); // no item for the key
    EXPECT_EQ(standard->Evaluate("ENGY1", 1e6f, Variant(100.0f)), 0); // keys match exactly
    EXPECT_EQ(standard->FindItem("ENGY"), standard->Item(1));
}

TEST(HostStandard, WhatCannotBeJudgedFails)
{
    auto standard = MakeStandard("A", "B");
    standard->AddItem(MakeItem("ENGY", true, 10.0f, false, 0.0f, "X+Y"));
    standard->AddItem(MakeItem("PEAV", true, 10.0f, true, 0.0f));
    standard->AddItem(MakeItem("PULW", true, 10.0f, false, 0.0f, "X+?"));

    EXPECT_EQ(standard->Evaluate("PEAV", std::nanf(""), Variant()), 2);    // value is no number
    EXPECT_EQ(standard->Evaluate("ENGY", 5.0f, Variant("abc")), 2);       // X of a formula is no number
    EXPECT_EQ(standard->Evaluate("PEAV", 5.0f, Variant("abc")), 0);       // a plain bound needs no X
    EXPECT_EQ(standard->Evaluate("PULW", 5.0f, Variant(1.0f)), 2);        // formula cannot be read
    EXPECT_EQ(standard->Evaluate("ENGY", 5.0f, Variant()), 0);            // an empty preset is 0

    auto disabled = MakeStandard("A", "B");
    disabled->AddItem(MakeItem("PEAV", false, 10.0f, false, 0.0f));
    EXPECT_EQ(disabled->Evaluate("PEAV", std::nanf(""), Variant()), 0);   // nothing to judge against
}

TEST(HostStandard, ItemsKeepTheirOrder)
{
    auto standard = MakeStandard("A", "B");
    EXPECT_EQ(standard->Kind(), 1);
    standard->AddItem(MakeItem("ENGY", false, 0, false, 0));
    standard->AddItem(MakeItem("PULW", false, 0, false, 0));
    standard->AddItem(MakeItem("PEAC", false, 0, false, 0));
    standard->RemoveItem(1);
    std::string keys;
    for (const auto& item : *standard) keys += item->Key() + ",";
    EXPECT_EQ(keys, "ENGY,PEAC,");
    EXPECT_THROW(standard->AddItem(nullptr), ComError);
    EXPECT_THROW(standard->Item(2), ComError);
    EXPECT_THROW(standard->RemoveItem(2), ComError);
}

TEST(HostStandards, FindsByBothNamesAndKeepsOrder)
{
    HostStandards standards;
    auto iec = MakeStandard("IEC", "IEC 60601-2-4");
    auto aami = MakeStandard("AAMI", "AAMI DF80");
    standards.Add(iec);
    standards.Add(aami);

    EXPECT_EQ(standards.Count(), 2u);
    EXPECT_EQ(standards.Item(0), iec);
    EXPECT_EQ(standards.Find("AAMI", "AAMI DF80"), aami);
    EXPECT_EQ(standards.Find("AAMI", "IEC 60601-2-4"), nullptr);
    EXPECT_EQ(standards.Find("aami", "AAMI DF80"), nullptr);
    EXPECT_THROW(standards.Item(2), ComError);
    EXPECT_THROW(standards.Add(nullptr), ComError);

    standards.Remove(0);
    EXPECT_EQ(standards.Item(0), aami);
    standards.ReleaseAll();
    EXPECT_EQ(standards.Count(), 0u);
    EXPECT_EQ(aami->Count(), 0u);
}

TEST(HostStandards, CopyIsDeep)
{
    HostStandards original;
    auto standard = MakeStandard("IEC", "IEC 60601");
    standard->AddItem(MakeItem("ENGY", true, 10.0f, true, 5.0f, "X+(X*Y%)"));
    auto plain = std::make_shared<HostLimitItem>();
    plain->Initialize("PEAV", "V", "", "");
    standard->AddItem(plain);
    original.Add(standard);

    auto copy = original.Copy();
    ASSERT_EQ(copy->Count(), 1u);
    auto copied = copy->Item(0);
    ASSERT_NE(copied, standard);
    ASSERT_EQ(copied->Count(), 2u);
    EXPECT_NE(copied->Item(0), standard->Item(0));
    EXPECT_NE(std::dynamic_pointer_cast<HostFormulaLimit>(copied->Item(0)), nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<HostFormulaLimit>(copied->Item(1)), nullptr);
    EXPECT_EQ(copied->Item(0)->Formula(kUpper), "X+(X*Y%)");
    EXPECT_TRUE(copied->Item(0)->Enabled(kLower));
    EXPECT_EQ(copied->Item(0)->Value(kLower), 5.0f);
    EXPECT_EQ(copied->Kind(), 1);

    copied->SetAlphaName("changed");
    copied->Item(0)->SetValue(kUpper, 99.0f);
    copied->Item(0)->SetFormula(kUpper, "Y");
    copied->AddItem(MakeItem("PULW", false, 0, false, 0));
    copy->Add(MakeStandard("new", "new"));

    EXPECT_EQ(original.Count(), 1u);
    EXPECT_EQ(standard->AlphaName(), "IEC");
    EXPECT_EQ(standard->Count(), 2u);
    EXPECT_EQ(standard->Item(0)->Value(kUpper), 10.0f);
    EXPECT_EQ(standard->Item(0)->Formula(kUpper), "X+(X*Y%)");
}
