#include "platform/base/ComError.h"
#include "platform/ui/TextBox.h"
#include "testlib/core/MMiscUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

TEST(MMiscUtils, SelectAllTextSelectsTheWholeTextFromTheStart)
{
    struct Case {
        std::string text;
        int length;
    };
    const std::vector<Case> cases = {{"150", 3}, {"", 0}, {"7 s", 3}, {"5 µs", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto box = std::make_shared<plat::TextBox>();
        box->SetText(c.text);
        box->SetSelStart(1);
        ztest::MMiscUtils::SelectAllText(box);
        EXPECT_EQ(box->SelStart(), 0);
        EXPECT_EQ(box->SelLength(), c.length);
        EXPECT_EQ(box->SelText(), c.text);
    }

    try {
        ztest::MMiscUtils::SelectAllText(nullptr);
        ADD_FAILURE() << "an empty reference was accepted";
    } catch (const plat::ComError& e) {
        EXPECT_EQ(e.Number(), plat::rt::ObjectNotSet);
    }
}
