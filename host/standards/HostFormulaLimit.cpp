#include "host/standards/HostFormulaLimit.h"

#include "platform/base/ComError.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostFormulaLimit";

// Formulas come from stored documents; these caps keep a hostile text from exhausting the stack.
constexpr std::size_t kMaxFormulaLength = 256;
constexpr int kMaxDepth = 32;

class FormulaError {};

// A small recursive-descent reader of the formula grammar:
//   expr    := term (("+" | "-") term)*
//   term    := unary (("*" | "/") unary)*
//   unary   := ("+" | "-") unary | primary "%"?
//   primary := number | "X" | "Y" | "(" expr ")"
class FormulaReader {
public:
    FormulaReader(std::string_view text, double x, double y) : mText(text), mX(x), mY(y) {}

    double Read()
    {
        if (mText.size() > kMaxFormulaLength) throw FormulaError{};
        SkipBlanks();
        // An empty formula is the plain value.
        if (mPos == mText.size()) return mY;
        double result = Expression(0);
        SkipBlanks();
        if (mPos != mText.size()) throw FormulaError{};
        return result;
    }

private:
    void SkipBlanks()
    {
        while (mPos < mText.size() && std::isspace(static_cast<unsigned char>(mText[mPos]))) ++mPos;
    }

    bool Take(char c)
    {
        SkipBlanks();
        if (mPos < mText.size() && mText[mPos] == c) {
            ++mPos;
            return true;
        }
        return false;
    }

    double Expression(int depth)
    {
        if (depth > kMaxDepth) throw FormulaError{};
        double value = Term(depth);
        for (;;) {
            if (Take('+')) value += Term(depth);
            else if (Take('-')) value -= Term(depth);
            else return value;
        }
    }

    double Term(int depth)
    {
        double value = Unary(depth);
        for (;;) {
            if (Take('*')) value *= Unary(depth);
            else if (Take('/')) value /= Unary(depth);
            else return value;
        }
    }

    double Unary(int depth)
    {
        if (depth > kMaxDepth) throw FormulaError{};
        if (Take('+')) return Unary(depth + 1);
        if (Take('-')) return -Unary(depth + 1);
        double value = Primary(depth);
        if (Take('%')) value /= 100.0;
        return value;
    }

    double Primary(int depth)
    {
        SkipBlanks();
        if (mPos == mText.size()) throw FormulaError{};
        char c = mText[mPos];
        if (c == 'X' || c == 'x') {
            ++mPos;
            return mX;
        }
        if (c == 'Y' || c == 'y') {
            ++mPos;
            return mY;
        }
        if (c == '(') {
            ++mPos;
            double value = Expression(depth + 1);
            if (!Take(')')) throw FormulaError{};
            return value;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            std::size_t end = mPos;
            while (end < mText.size() && (std::isdigit(static_cast<unsigned char>(mText[end])) || mText[end] == '.')) ++end;
            double value = 0.0;
            auto [ptr, ec] = std::from_chars(mText.data() + mPos, mText.data() + end, value, std::chars_format::fixed);
            if (ec != std::errc{} || ptr != mText.data() + end) throw FormulaError{};
            mPos = end;
            return value;
        }
        throw FormulaError{};
    }

    std::string_view mText;
    double mX;
    double mY;
    std::size_t mPos = 0;
};

[[noreturn]] void RaiseBadFormula(std::string_view formula)
{
    throw plat::ComError(plat::rt::InvalidCall, kSource,
                         "The limit formula \"" + std::string(formula.substr(0, kMaxFormulaLength)) +
                             "\" cannot be evaluated");
}

} // namespace

double HostFormulaLimit::EvaluateFormula(std::string_view formula, double x, double y)
{
    try {
        return FormulaReader(formula, x, y).Read();
    } catch (const FormulaError&) {
        RaiseBadFormula(formula);
    }
}

bool HostFormulaLimit::IsValidFormula(std::string_view formula)
{
    try {
        (void)FormulaReader(formula, 1.0, 1.0).Read();
        return true;
    } catch (const FormulaError&) {
        return false;
    }
}

float HostFormulaLimit::Evaluate(int bound, float x) const
{
    const std::string& formula = Formula(bound);
    double result = EvaluateFormula(formula, x, Value(bound));
    // A division by zero or a result beyond the float range is no limit anyone can compare with.
    if (!std::isfinite(result) || std::fabs(result) > std::numeric_limits<float>::max()) RaiseBadFormula(formula);
    return static_cast<float>(result);
}

std::shared_ptr<HostLimitItem> HostFormulaLimit::Clone() const
{
    return std::make_shared<HostFormulaLimit>(*this);
}

} // namespace host
