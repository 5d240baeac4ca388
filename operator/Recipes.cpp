#include "operator/Recipes.h"

#include "platform/base/Conversions.h"

#include <cctype>
#include <string_view>

namespace zop {

namespace {

// A person reads the window before acting on it.
constexpr plat::Millis kReadingTime{100};

} // namespace

RecipeBook& RecipeBook::Standard()
{
    static RecipeBook book;
    return book;
}

void RecipeBook::AddSharedHabits(Operator& op)
{
    auto press = [](int id) { return [id](Operator& self, const Scene&) { self.Press(id); }; };
    op.AddRule({"start", [](const Scene& scene) { return scene.Ready(); }, kReadingTime, press(button::Start), 1, ""});
    op.AddRule({"next", [](const Scene& scene) { return scene.Done() && scene.Usable(button::Next); }, kReadingTime,
                press(button::Next), -1, ""});
    // A run that ended without a result brings "Start" back: the operator does not try again.
    op.AddRule({"leave unrated", [](const Scene& scene) { return scene.Ready() && scene.Usable(button::Next); },
                kReadingTime, press(button::Next), -1, "start"});
}

bool RecipeBook::Apply(int32_t testType, Operator& op) const
{
    op.ClearRules();
    AddSharedHabits(op);
    auto found = mRecipes.find(testType);
    if (found == mRecipes.end()) return false;
    found->second(op);
    return true;
}

std::optional<double> NumberBefore(const Scene& scene, const std::string& unit)
{
    for (const auto& line : scene.stepLines) {
        for (std::size_t at = line.find(unit); at != std::string::npos; at = line.find(unit, at + 1)) {
            std::size_t begin = at;
            while (begin > 0 && (std::isdigit(static_cast<unsigned char>(line[begin - 1])) || line[begin - 1] == '.'))
                --begin;
            if (begin == at) continue;
            return plat::Val(std::string_view(line).substr(begin, at - begin));
        }
    }
    return std::nullopt;
}

} // namespace zop
