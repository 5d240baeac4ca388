#pragma once

#include "host/standards/HostLimitItem.h"

#include <string_view>

namespace host {

// A limit item whose bounds may be formulas of the measurement's preset value X, with the
// bound's plain value as Y. The forms offered to the user are "Y", "X+Y" and "X+(X*Y%)"; the
// evaluator reads any expression of X, Y, decimal numbers, + - * /, parentheses and a postfix
// "%" (hundredths), so those forms and their obvious relatives ("X-Y") all work. An empty
// formula is "Y", so a bound without a formula gives its plain value.
class HostFormulaLimit : public HostLimitItem {
public:
    // The bound's limit for preset value x. A formula that cannot be read, or whose result is
    // not a finite 32-bit float, raises Invalid procedure call with the formula in the message.
    float Evaluate(int bound, float x) const;

    float LimitValue(int bound, float presetX) const override { return Evaluate(bound, presetX); }
    std::shared_ptr<HostLimitItem> Clone() const override;

    // The formula evaluated for the given X and Y, in double precision; raises as Evaluate.
    static double EvaluateFormula(std::string_view formula, double x, double y);

    // Whether the text is a formula that EvaluateFormula can read.
    static bool IsValidFormula(std::string_view formula);
};

} // namespace host
