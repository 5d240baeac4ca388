#include "platform/ui/TextBox.h"

#include "platform/ui/UiError.h"

#include <algorithm>

namespace plat {

namespace {

// Byte offset of a code-point position in a UTF-8 text (the end for a position past it).
size_t ByteOffset(const std::string& s, int chars)
{
    size_t i = 0;
    for (int n = 0; i < s.size() && n < chars; ++n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

int CharCount(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

std::string Utf8(int32_t code)
{
    std::string out;
    auto c = static_cast<uint32_t>(code);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

} // namespace

TextBox::TextBox() : Control("TextBox")
{
    SetBackColor(color::WindowBackground);
    SetForeColor(color::WindowText);
}

int TextBox::Length() const { return CharCount(mText); }

void TextBox::SetText(const std::string& v)
{
    mSelStart = 0;
    mSelLength = 0;
    if (v == mText) return;
    mText = v;
    Raise(Change);
}

void TextBox::SetSelStart(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mSelStart = std::min(v, Length());
    mSelLength = 0;
}

void TextBox::SetSelLength(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mSelLength = std::min(v, Length() - mSelStart);
}

std::string TextBox::SelText() const
{
    size_t from = ByteOffset(mText, mSelStart);
    size_t to = ByteOffset(mText, mSelStart + mSelLength);
    return mText.substr(from, to - from);
}

void TextBox::SetSelText(const std::string& v) { Replace(mSelStart, mSelLength, v); }

void TextBox::SetMaxLength(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mMaxLength = v;
}

void TextBox::SetAlignment(int v)
{
    if (v < 0 || v > 2) Refuse(uierr::InvalidPropertyValue);
    mAlignment = v;
}

void TextBox::Replace(int start, int length, const std::string& with)
{
    size_t from = ByteOffset(mText, start);
    size_t to = ByteOffset(mText, start + length);
    std::string text = mText.substr(0, from) + with + mText.substr(to);
    mSelStart = start + CharCount(with);
    mSelLength = 0;
    if (text == mText) return;
    mText = std::move(text);
    Raise(Change);
}

void TextBox::UserType(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        int32_t code = c;
        size_t extra = c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra) code = c & (extra == 2 ? 0x0F : 0x1F);
        for (size_t k = 1; k <= extra && i + k < text.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        i += 1 + extra;
        UserTypeKey(static_cast<int16_t>(std::min<int32_t>(code, 0x7FFF)));
    }
}

void TextBox::UserTypeKey(int16_t keyAscii)
{
    if (IsDestroyed()) return;
    int16_t code = UserKeyPress(keyAscii);
    if (code == 0 || mLocked || IsDestroyed()) return;
    if (code == 8) {
        if (mSelLength > 0) {
            Replace(mSelStart, mSelLength, "");
        } else if (mSelStart > 0) {
            Replace(mSelStart - 1, 1, "");
        }
        return;
    }
    if (code == 13 && !mMultiLine) return;
    std::string typed = code == 13 ? std::string("\r\n") : Utf8(code);
    if (mMaxLength > 0 && Length() - mSelLength + CharCount(typed) > mMaxLength) return;
    Replace(mSelStart, mSelLength, typed);
}

} // namespace plat
