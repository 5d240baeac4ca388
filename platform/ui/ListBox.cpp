#include "platform/ui/ListBox.h"

#include "platform/ui/UiError.h"

#include <algorithm>
#include <limits>

namespace plat {

namespace {
// The height of one entry in twips with the usual font.
constexpr float kRowHeight = 195;
const std::string kEmpty;
} // namespace

ListBox::ListBox(int style) : ListControl("ListBox"), mStyle(style)
{
    if (style != vbListBoxStandard && style != vbListBoxCheckbox) Refuse(uierr::InvalidPropertyValue);
    SetBackColor(color::WindowBackground);
    SetForeColor(color::WindowText);
}

void ListBox::OnRemoved()
{
    mTopIndex = std::clamp(mTopIndex, 0, std::max(0, ListCount() - 1));
}

bool ListBox::Selected(int index) const
{
    CheckIndex(index);
    return mStyle == vbListBoxCheckbox ? Marked(index) : index == ListIndex();
}

void ListBox::SetSelected(int index, bool v)
{
    CheckIndex(index);
    if (mStyle != vbListBoxCheckbox) {
        if (v) {
            SetListIndex(index);
        } else if (index == ListIndex()) {
            SetListIndex(-1);
        }
        return;
    }
    if (Marked(index) == v) return;
    SetMarked(index, v);
    Raise(ItemCheck, index);
}

int ListBox::SelCount() const
{
    if (mStyle != vbListBoxCheckbox) return ListIndex() >= 0 ? 1 : 0;
    return MarkedCount();
}

int ListBox::VisibleRows() const
{
    // Any finite height is accepted, so the row count is capped before it becomes an int.
    double rows = static_cast<double>(Height()) / kRowHeight;
    if (rows >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return std::max(1, static_cast<int>(rows));
}

void ListBox::SetTopIndex(int v)
{
    if (v < 0 || v >= std::max(1, ListCount())) Refuse(uierr::InvalidPropertyValue);
    mTopIndex = std::min(v, std::max(0, ListCount() - VisibleRows()));
}

const std::string& ListBox::Text() const
{
    return ListIndex() >= 0 ? List(ListIndex()) : kEmpty;
}

void ListBox::UserSelect(int index)
{
    TakeFocusIfPossible();
    SetListIndex(index);
}

void ListBox::UserCheckItem(int index)
{
    CheckIndex(index);
    TakeFocusIfPossible();
    if (mStyle == vbListBoxCheckbox) SetSelected(index, !Marked(index));
    SetListIndex(index);
}

} // namespace plat
