#pragma once
// The grid the dialogs show their tables in: rows of cell texts under one
// header row, per-cell pictures (a check mark or a blank), a current cell and
// two events. Row 0 is the header row; rows and columns count from 0. Sizes are
// in twips, as the dialogs lay themselves out.
//
// A user's click on a data cell other than the current one raises onLeaveCell
// while row() and col() still name the cell being left, then moves the current
// cell and raises onClick; a click on the current cell raises onClick alone.
// Setting the current cell from code raises nothing. The view never edits a
// cell: dialogs open their own editors over cellRect / colPos.

#include "Controls.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace infil::model {

class Grid : public Control {
public:
    enum class Align {
        General, // the default: numbers to the right, other texts to the left
        Left,
        Center
    };
    enum class Picture {
        None,
        Check, // image 1 of the original image list
        Blank  // image 2: a blank of the same size
    };
    struct Geometry {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Geometry&) const = default;
    };

    static constexpr int kDefaultColWidth = 960;  // twips
    static constexpr int kDefaultRowHeight = 240; // twips

    // A new grid has the header row and one empty row, two columns, no fixed
    // column and its current cell at row 1, column 0.
    Grid(Form& form, std::string name, int index);

    // Position and size in the window, twips.
    const Geometry& geometry() const { return geometry_; }
    void setGeometry(const Geometry& geometry);

    // Removes every text and picture, the header row's included; the numbers
    // of rows and columns stay.
    void clear();
    // A fresh grid for a table: the header row and one blank row, current cell
    // (1, 0), no text or picture, no fixed column, the given layout string.
    void reset(std::string_view layout);

    // Rows including the header row; at least 1. New rows are empty.
    int rows() const { return static_cast<int>(cells_.size()); }
    void setRows(int rows);
    int cols() const { return cols_; }
    void setCols(int cols);
    // Leading columns shown like the header and not clickable (0: none).
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int fixedCols);

    // Column headers separated by "|", e.g. "td [min]|<i (t,p) [l/s.ha]|<Výběr".
    // Sets the number of columns and the header row's texts; a header that
    // begins with "<" is shown without it and its column is left-aligned, the
    // other columns get the General alignment. Widths of existing columns stay.
    void setLayout(std::string_view layout);

    // Cell texts; reading outside the grid gives "", writing there does nothing.
    const std::string& text(int row, int col) const;
    void setText(int row, int col, std::string text);
    // Inserts a data row holding `texts` (from column 0) before row `at`, or
    // appends it when `at` is not a data row position (1..rows()). Returns the
    // new row's number.
    int addRow(const std::vector<std::string>& texts = {}, int at = -1);
    // Removes a data row (1..rows()-1); the header row cannot be removed.
    void removeRow(int row);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    // Column widths as shares of the grid's width, from column 0, each rounded to
    // a whole twip.
    void setColShares(std::initializer_list<double> shares);
    // All rows are equally high.
    int rowHeight() const { return rowHeight_; }
    void setRowHeight(int twips);
    // Left edge of a column within the grid: the widths of the columns before it.
    int colPos(int col) const;
    Align colAlignment(int col) const;
    void setColAlignment(int col, Align align);

    // Adjacent data cells of a merged column holding the same (non-empty) text
    // are shown as one cell. Merging is only how it looks: every row keeps its
    // own text and a click still names the row under the mouse.
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool merge);
    // The run of rows shown as one cell with (row, col): {first row, count}.
    std::pair<int, int> mergedRun(int row, int col) const;

    // The current cell (the selected range is always that one cell).
    int row() const { return row_; }
    int col() const { return col_; }
    int rowSel() const { return row_; }
    int colSel() const { return col_; }
    void setRow(int row);
    void setCol(int col);

    // Pictures are shown centred in their cell.
    Picture cellPicture(int row, int col) const;
    // Puts a picture into the current cell.
    void setCellPicture(Picture picture);

    // The user clicks a cell. Header row, fixed columns and cells outside the
    // grid do nothing.
    void click(int row, int col);
    // The user moves the current cell with the keyboard: onLeaveCell, then the
    // move; no click.
    void navigate(int row, int col);
    bool isClickable(int row, int col) const;

    std::function<void()> onClick;
    std::function<void()> onLeaveCell;

    // Groups many changes into one notification of the views.
    class Batch {
    public:
        explicit Batch(Grid& grid) : grid_(grid) { ++grid_.batchDepth_; }
        ~Batch()
        {
            if (--grid_.batchDepth_ == 0 && grid_.batchDirty_) {
                grid_.batchDirty_ = false;
                grid_.notify();
            }
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Grid& grid_;
    };

private:
    struct Cell {
        std::string text;
        Picture picture = Picture::None;
    };
    struct Column {
        int width = kDefaultColWidth;
        Align align = Align::General;
        bool merge = false;
    };

    bool inside(int row, int col) const { return row >= 0 && row < rows() && col >= 0 && col < cols_; }
    bool moveTo(int row, int col, bool raiseClick);
    void keepCurrentInside();
    void changed();

    Geometry geometry_;
    std::vector<std::vector<Cell>> cells_; // [row][col]
    std::vector<Column> columns_;
    int cols_ = 0;
    int fixedCols_ = 0;
    int rowHeight_ = kDefaultRowHeight;
    int row_ = 1;
    int col_ = 0;
    int batchDepth_ = 0;
    bool batchDirty_ = false;
};

} // namespace infil::model
