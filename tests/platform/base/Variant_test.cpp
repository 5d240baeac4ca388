#include "platform/base/ComError.h"
#include "platform/base/Variant.h"

#include <gtest/gtest.h>

using plat::ComError;
using plat::Variant;
using plat::VariantArray;
using plat::VarType;

TEST(Variant, KindsFollowTheConstructorArgument)
{
    EXPECT_EQ(Variant().Type(), VarType::Empty);
    EXPECT_EQ(Variant::Null().Type(), VarType::Null);
    EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
    EXPECT_EQ(Variant(int16_t{3}).Type(), VarType::Integer);
    EXPECT_EQ(Variant(3).Type(), VarType::Long);
    EXPECT_EQ(Variant(1.5f).Type(), VarType::Single);
    EXPECT_EQ(Variant(1.5).Type(), VarType::Double);
    EXPECT_EQ(Variant("x").Type(), VarType::String);
}

TEST(Variant, ArraysAreCopiedWithTheirVariant)
{
    Variant a(VariantArray::TwoDim(0, 2, 1, 3));
    a.AsArray().At(1, 3) = Variant("last");
    Variant b = a;
    b.AsArray().At(1, 3) = Variant("changed");
    EXPECT_EQ(a.AsArray().At(1, 3), Variant("last"));
    EXPECT_EQ(a.AsArray().UBound(2), 3);
    EXPECT_THROW(a.AsArray().At(2, 1), ComError);
    EXPECT_THROW(a.AsArray().At(0), ComError);
}

TEST(Variant, WrongKindAccessIsATypeMismatch)
{
    try {
        (void)Variant("12").AsLong();
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), plat::rt::TypeMismatch);
    }
}
