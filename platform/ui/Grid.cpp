#include "platform/ui/Grid.h"

#include "platform/ui/UiError.h"

namespace plat {

Grid::Grid() : Control("Grid")
{
    SetBackColor(color::WindowBackground);
    SetForeColor(color::WindowText);
    mRows.resize(1);
    mRows[0].cells.resize(1);
    mColumns.resize(1);
}

void Grid::SetCols(int v)
{
    if (v < 1) Refuse(uierr::InvalidPropertyValue);
    mCols = v;
    for (auto& row : mRows) row.cells.resize(static_cast<size_t>(v));
    mColumns.resize(static_cast<size_t>(v));
}

void Grid::CheckRow(int row) const
{
    if (row < 0 || row >= Rows()) Refuse(uierr::InvalidPropertyArrayIndex);
}

void Grid::CheckCol(int col) const
{
    if (col < 1 || col > mCols) Refuse(uierr::InvalidPropertyArrayIndex);
}

void Grid::CheckCell(int row, int col) const
{
    CheckRow(row);
    CheckCol(col);
}

int Grid::AddRow(const std::string& text)
{
    Row row;
    row.cells.resize(static_cast<size_t>(mCols));
    row.cells[0].text = text;
    mRows.push_back(std::move(row));
    return Rows() - 1;
}

void Grid::RemoveRow(int row)
{
    if (row < 1 || row >= Rows()) Refuse(uierr::InvalidPropertyArrayIndex);
    mRows.erase(mRows.begin() + row);
}

void Grid::ClearRows() { mRows.resize(1); }

std::string Grid::CellText(int row, int col) const
{
    CheckCell(row, col);
    return mRows[static_cast<size_t>(row)].cells[static_cast<size_t>(col - 1)].text;
}

void Grid::SetCellText(int row, int col, const std::string& text)
{
    CheckCell(row, col);
    mRows[static_cast<size_t>(row)].cells[static_cast<size_t>(col - 1)].text = text;
}

std::shared_ptr<Bitmap> Grid::CellPicture(int row, int col) const
{
    CheckCell(row, col);
    return mRows[static_cast<size_t>(row)].cells[static_cast<size_t>(col - 1)].picture;
}

void Grid::SetCellPicture(int row, int col, std::shared_ptr<Bitmap> picture)
{
    CheckCell(row, col);
    mRows[static_cast<size_t>(row)].cells[static_cast<size_t>(col - 1)].picture = std::move(picture);
}

const std::string& Grid::RowKey(int row) const
{
    CheckRow(row);
    return mRows[static_cast<size_t>(row)].key;
}

void Grid::SetRowKey(int row, const std::string& key)
{
    CheckRow(row);
    mRows[static_cast<size_t>(row)].key = key;
}

int32_t Grid::RowForeColor(int row) const
{
    CheckRow(row);
    return mRows[static_cast<size_t>(row)].foreColor;
}

void Grid::SetRowForeColor(int row, int32_t color)
{
    CheckRow(row);
    mRows[static_cast<size_t>(row)].foreColor = color;
}

float Grid::ColWidth(int col) const
{
    CheckCol(col);
    return mColumns[static_cast<size_t>(col - 1)].width;
}

void Grid::SetColWidth(int col, float width)
{
    CheckCol(col);
    if (width < 0) Refuse(uierr::InvalidPropertyValue);
    mColumns[static_cast<size_t>(col - 1)].width = width;
}

int Grid::ColAlignment(int col) const
{
    CheckCol(col);
    return mColumns[static_cast<size_t>(col - 1)].alignment;
}

void Grid::SetColAlignment(int col, int alignment)
{
    CheckCol(col);
    mColumns[static_cast<size_t>(col - 1)].alignment = alignment;
}

void Grid::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    for (auto& cell : mRows[0].cells) {
        if (!cell.text.empty()) cell.text = map(cell.text);
    }
}

void Grid::UserClickCell(int row, int col, int16_t button)
{
    CheckCell(row, col);
    TakeFocusIfPossible();
    Raise(MouseDown, button, int16_t{0}, 0.0f, 0.0f);
    Raise(CellClick, row, col, button);
    Raise(MouseUp, button, int16_t{0}, 0.0f, 0.0f);
    if (button == 1) Raise(Click);
}

} // namespace plat
