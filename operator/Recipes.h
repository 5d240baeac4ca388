#pragma once

#include "operator/Operator.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace zop {

// What the operator does in the guide window of each test type. Every recipe starts from the
// habits all tests share (start the run once, leave with Next when the window shows a result,
// leave with Next when a run ended without one); a type adds only the actions its own
// instructions ask for. A type without a recipe of its own gets the shared habits alone.
class RecipeBook {
public:
    using Recipe = std::function<void(Operator&)>;

    // The recipes of the test types this system knows; each test type's recipe lives in a file
    // of its own under operator/recipes/ and adds itself with ZARVIK_OPERATOR_RECIPE.
    static RecipeBook& Standard();

    // Adds or replaces the recipe of a test type.
    void Add(int32_t testType, Recipe recipe) { mRecipes[testType] = std::move(recipe); }
    bool Has(int32_t testType) const { return mRecipes.count(testType) != 0; }

    // Replaces the operator's rules by the shared habits and the type's own recipe; false
    // when the type has none.
    bool Apply(int32_t testType, Operator& op) const;

    static void AddSharedHabits(Operator& op);

private:
    std::map<int32_t, Recipe> mRecipes;
};

// The first number in the step lines that stands before the unit (" J" in "... energy to 150
// J."), as a person reads the preset off the instructions.
std::optional<double> NumberBefore(const Scene& scene, const std::string& unit);

// Names of the physical actions.
namespace physical {
inline constexpr const char* Discharge = "discharge"; // joules
inline constexpr const char* Charge = "charge";       // seconds
inline constexpr const char* AttachPacemaker = "attach pacemaker";
} // namespace physical

} // namespace zop

#define ZARVIK_OPERATOR_RECIPE_CONCAT2(a, b) a##b
#define ZARVIK_OPERATOR_RECIPE_CONCAT(a, b) ZARVIK_OPERATOR_RECIPE_CONCAT2(a, b)
// Adds the recipe of a test type to the standard book at start-up.
#define ZARVIK_OPERATOR_RECIPE(testType, recipe)                                                             \
    namespace {                                                                                              \
    [[maybe_unused]] const bool ZARVIK_OPERATOR_RECIPE_CONCAT(zarvikRecipeAdded_, __COUNTER__) = [] {        \
        ::zop::RecipeBook::Standard().Add(testType, recipe);                                                 \
        return true;                                                                                         \
    }();                                                                                                     \
    }
