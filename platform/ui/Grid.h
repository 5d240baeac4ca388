#pragma once

#include "platform/ui/Control.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class Bitmap;

// A grid of cells with a header row: row 0 holds the column headers, rows 1 and up hold the
// data. Columns count from 1. Each data row keeps a stored key and a text colour; each cell a
// text and a picture. A row or column outside the grid raises 381. The operator's click on a
// cell raises CellClick with the row, the column and the mouse button, then Click.
class Grid : public Control {
public:
    Grid();

    int Cols() const { return mCols; }
    void SetCols(int v);  // below 1: 380
    // Rows including the header row.
    int Rows() const { return static_cast<int>(mRows.size()); }
    // Appends a data row with a text in column 1 and returns its row number.
    int AddRow(const std::string& text = {});
    void RemoveRow(int row);  // the header row cannot be removed: 381
    // Removes every data row; the header row stays.
    void ClearRows();

    std::string CellText(int row, int col) const;
    void SetCellText(int row, int col, const std::string& text);
    std::shared_ptr<Bitmap> CellPicture(int row, int col) const;
    void SetCellPicture(int row, int col, std::shared_ptr<Bitmap> picture);
    const std::string& RowKey(int row) const;
    void SetRowKey(int row, const std::string& key);
    int32_t RowForeColor(int row) const;
    void SetRowForeColor(int row, int32_t color);
    float ColWidth(int col) const;
    void SetColWidth(int col, float width);  // negative: 380
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);
    // Whether the grid draws as it changes; switched off while many rows are filled.
    bool Redraw() const { return mRedraw; }
    void SetRedraw(bool v) { mRedraw = v; }

    bool CanFocus() const override { return true; }

    Event<int, int, int16_t> CellClick;

    void MapTexts(const TextMap& map) override;

    void UserClickCell(int row, int col, int16_t button = 1);

private:
    struct Cell {
        std::string text;
        std::shared_ptr<Bitmap> picture;
    };
    struct Row {
        std::vector<Cell> cells;
        std::string key;
        int32_t foreColor = color::WindowText;
    };
    struct Column {
        float width = 1000;
        int alignment = 0;
    };

    void CheckRow(int row) const;
    void CheckCol(int col) const;
    void CheckCell(int row, int col) const;

    int mCols = 1;
    std::vector<Row> mRows;
    std::vector<Column> mColumns;
    bool mRedraw = true;
};

} // namespace plat
