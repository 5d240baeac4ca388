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

constexpr char32_t kReplacement = 0xFFFD;

std::string Utf8(char32_t c)
{
    // A lone surrogate or a code beyond Unicode is no character.
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The character that a 16-bit key code stands for: a code beyond 0x7FFF arrives negative.
char32_t KeyCharacter(int16_t keyAscii)
{
    return static_cast<char32_t>(static_cast<uint16_t>(keyAscii));
}

// Decodes the UTF-8 character at i and moves i past it; a malformed sequence is one
// replacement character for its first byte.
char32_t NextCharacter(const std::string& s, size_t& i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    const size_t extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 && lead < 0xF0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
    if (lead < 0x80 || extra == 0) {
        ++i;
        return lead < 0x80 ? lead : kReplacement;
    }
    char32_t code = lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += 1 + extra;
    return code;
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
        const char32_t c = NextCharacter(text, i);
        if (c <= 0xFFFF) {
            TypeKey(static_cast<int16_t>(static_cast<uint16_t>(c)), c);
        } else {
            // No 16-bit key code carries a character beyond the first plane: KeyPress sees its
            // leading surrogate, and a key left as it was types the character itself.
            const auto lead = static_cast<uint16_t>(0xD800 + ((c - 0x10000) >> 10));
            TypeKey(static_cast<int16_t>(lead), c);
        }
    }
}

void TextBox::UserTypeKey(int16_t keyAscii)
{
    TypeKey(keyAscii, KeyCharacter(keyAscii));
}

void TextBox::TypeKey(int16_t keyAscii, char32_t typed)
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
    // The character typed goes in as it is, unless a handler changed its key.
    const std::string text = code == 13 ? std::string("\r\n") : Utf8(code == keyAscii ? typed : KeyCharacter(code));
    if (mMaxLength > 0 && Length() - mSelLength + CharCount(text) > mMaxLength) return;
    Replace(mSelStart, mSelLength, text);
}

} // namespace plat
