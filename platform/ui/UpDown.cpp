#include "platform/ui/UpDown.h"

#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UiError.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>

namespace plat {

namespace {

// The whole number at the start of a text (blanks skipped, optional sign); none when there is no digit.
std::optional<long long> LeadingInteger(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    long long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        v = std::min<long long>(v * 10 + (text[i] - '0'), 1LL << 40);
    }
    return negative ? -v : v;
}

} // namespace

UpDown::UpDown() : Control("UpDown") { SetTabStop(false); }

// A new range moves the value into it quietly: configuring a control is no change of value.
void UpDown::SetMin(int v)
{
    mMin = v;
    mValue = std::clamp(mValue, Low(), High());
}

void UpDown::SetMax(int v)
{
    mMax = v;
    mValue = std::clamp(mValue, Low(), High());
}

void UpDown::SetValue(int v)
{
    if (v < Low() || v > High()) Refuse(uierr::InvalidPropertyValue);
    if (v == mValue) return;
    mValue = v;
    if (mSyncBuddy) WriteBuddy();
    Raise(Change);
}

void UpDown::SetIncrement(int v)
{
    if (v < 1) Refuse(uierr::InvalidPropertyValue);
    mIncrement = v;
}

void UpDown::WriteBuddy()
{
    auto buddy = mBuddy.lock();
    if (!buddy || buddy->IsDestroyed()) return;
    std::string text = std::to_string(mValue);
    if (auto* label = dynamic_cast<Label*>(buddy.get())) {
        label->SetCaption(text);
    } else if (auto* box = dynamic_cast<TextBox*>(buddy.get())) {
        box->SetText(text);
    }
}

void UpDown::Spin(int direction)
{
    long long start = mValue;
    if (auto buddy = mBuddy.lock(); mSyncBuddy && buddy && !buddy->IsDestroyed()) {
        std::optional<long long> shown;
        if (auto* label = dynamic_cast<Label*>(buddy.get())) shown = LeadingInteger(label->Caption());
        if (auto* box = dynamic_cast<TextBox*>(buddy.get())) shown = LeadingInteger(box->Text());
        if (shown) start = std::clamp<long long>(*shown, Low(), High());
    }
    // Up runs from Min towards Max, whichever of the two is larger.
    long long step = static_cast<long long>(mIncrement) * direction * (mMin <= mMax ? 1 : -1);
    long long next = start + step;
    if (next > High()) next = mWrap ? Low() : High();
    if (next < Low()) next = mWrap ? High() : Low();
    Raise(direction > 0 ? UpClick : DownClick);
    if (IsDestroyed()) return;
    if (next == mValue) {
        // The buddy may show another number than Value; the arrow still puts the value there.
        if (mSyncBuddy) WriteBuddy();
        return;
    }
    SetValue(static_cast<int>(next));
}

void UpDown::UserSpinUp() { Spin(+1); }

void UpDown::UserSpinDown() { Spin(-1); }

} // namespace plat
