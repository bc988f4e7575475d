#include "Grid.h"

#include <cmath>

#include <algorithm>

namespace infil::model {

namespace {

const std::string kNoText;

} // namespace

Grid::Grid(Form& form, std::string name, int index) : Control(form, std::move(name), index)
{
    cols_ = 2;
    columns_.resize(2);
    cells_.assign(2, std::vector<Cell>(2));
}

void Grid::changed()
{
    if (batchDepth_ > 0)
        batchDirty_ = true;
    else
        notify();
}

void Grid::setGeometry(const Geometry& geometry)
{
    if (geometry_ == geometry)
        return;
    geometry_ = geometry;
    changed();
}

void Grid::clear()
{
    for (auto& row : cells_)
        for (auto& cell : row)
            cell = Cell{};
    changed();
}

void Grid::setRows(int rows)
{
    rows = std::max(rows, 1);
    cells_.resize(static_cast<std::size_t>(rows), std::vector<Cell>(static_cast<std::size_t>(cols_)));
    keepCurrentInside();
    changed();
}

void Grid::setCols(int cols)
{
    cols_ = std::max(cols, 0);
    columns_.resize(static_cast<std::size_t>(cols_));
    for (auto& row : cells_)
        row.resize(static_cast<std::size_t>(cols_));
    fixedCols_ = std::min(fixedCols_, cols_);
    keepCurrentInside();
    changed();
}

void Grid::setFixedCols(int fixedCols)
{
    fixedCols_ = std::clamp(fixedCols, 0, cols_);
    keepCurrentInside();
    changed();
}

void Grid::setLayout(std::string_view layout)
{
    std::vector<std::string_view> headers;
    for (std::size_t start = 0;;) {
        const std::size_t bar = layout.find('|', start);
        headers.push_back(layout.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    Batch batch(*this);
    setCols(static_cast<int>(headers.size()));
    for (std::size_t c = 0; c < headers.size(); ++c) {
        std::string_view header = headers[c];
        Align align = Align::General;
        if (!header.empty() && header.front() == '<') {
            header.remove_prefix(1);
            align = Align::Left;
        }
        columns_[c].align = align;
        cells_[0][c].text = std::string(header);
    }
    changed();
}

const std::string& Grid::text(int row, int col) const
{
    if (!inside(row, col))
        return kNoText;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)].text;
}

void Grid::setText(int row, int col, std::string text)
{
    if (!inside(row, col))
        return;
    auto& cell = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell.text == text)
        return;
    cell.text = std::move(text);
    changed();
}

int Grid::addRow(const std::vector<std::string>& texts, int at)
{
    if (at < 1 || at > rows())
        at = rows();
    std::vector<Cell> row(static_cast<std::size_t>(cols_));
    for (std::size_t c = 0; c < row.size() && c < texts.size(); ++c)
        row[c].text = texts[c];
    cells_.insert(cells_.begin() + at, std::move(row));
    if (row_ >= at && row_ > 0)
        ++row_; // the current cell stays on the row it was on
    changed();
    return at;
}

void Grid::removeRow(int row)
{
    if (row < 1 || row >= rows())
        return;
    cells_.erase(cells_.begin() + row);
    if (row_ > row)
        --row_;
    keepCurrentInside();
    changed();
}

int Grid::colWidth(int col) const
{
    return col >= 0 && col < cols_ ? columns_[static_cast<std::size_t>(col)].width : 0;
}

void Grid::setColShares(std::initializer_list<double> shares)
{
    int col = 0;
    for (double share : shares)
        setColWidth(col++, static_cast<int>(std::lround(share * geometry_.width)));
}

void Grid::reset(std::string_view layout)
{
    setRows(2);
    setRow(1);
    setCol(0);
    clear();
    setFixedCols(0);
    setLayout(layout);
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols_)
        return;
    columns_[static_cast<std::size_t>(col)].width = std::max(twips, 0);
    changed();
}

void Grid::setRowHeight(int twips)
{
    rowHeight_ = std::max(twips, 0);
    changed();
}

int Grid::colPos(int col) const
{
    int left = 0;
    for (int c = 0; c < col && c < cols_; ++c)
        left += columns_[static_cast<std::size_t>(c)].width;
    return left;
}

Grid::Align Grid::colAlignment(int col) const
{
    return col >= 0 && col < cols_ ? columns_[static_cast<std::size_t>(col)].align : Align::General;
}

void Grid::setColAlignment(int col, Align align)
{
    if (col < 0 || col >= cols_)
        return;
    columns_[static_cast<std::size_t>(col)].align = align;
    changed();
}

bool Grid::mergeCol(int col) const
{
    return col >= 0 && col < cols_ && columns_[static_cast<std::size_t>(col)].merge;
}

void Grid::setMergeCol(int col, bool merge)
{
    if (col < 0 || col >= cols_)
        return;
    columns_[static_cast<std::size_t>(col)].merge = merge;
    changed();
}

std::pair<int, int> Grid::mergedRun(int row, int col) const
{
    if (!mergeCol(col) || row < 1 || row >= rows() || text(row, col).empty())
        return {row, 1};
    const std::string& value = text(row, col);
    int first = row;
    while (first > 1 && text(first - 1, col) == value)
        --first;
    int last = row;
    while (last + 1 < rows() && text(last + 1, col) == value)
        ++last;
    return {first, last - first + 1};
}

void Grid::setRow(int row)
{
    if (row < 0 || row >= rows() || row == row_)
        return;
    row_ = row;
    changed();
}

void Grid::setCol(int col)
{
    if (col < 0 || col >= cols_ || col == col_)
        return;
    col_ = col;
    changed();
}

Grid::Picture Grid::cellPicture(int row, int col) const
{
    if (!inside(row, col))
        return Picture::None;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)].picture;
}

void Grid::setCellPicture(Picture picture)
{
    if (!inside(row_, col_))
        return;
    auto& cell = cells_[static_cast<std::size_t>(row_)][static_cast<std::size_t>(col_)];
    if (cell.picture == picture)
        return;
    cell.picture = picture;
    changed();
}

bool Grid::isClickable(int row, int col) const
{
    return row >= 1 && row < rows() && col >= fixedCols_ && col < cols_;
}

bool Grid::moveTo(int row, int col, bool raiseClick)
{
    if (!isClickable(row, col))
        return false;
    if (row != row_ || col != col_) {
        if (onLeaveCell)
            onLeaveCell();
        // The handler may have reshaped the grid; the target must still exist.
        if (!isClickable(row, col))
            return false;
        row_ = row;
        col_ = col;
        changed();
    }
    if (raiseClick && onClick)
        onClick();
    return true;
}

void Grid::click(int row, int col)
{
    moveTo(row, col, true);
}

void Grid::navigate(int row, int col)
{
    moveTo(row, col, false);
}

void Grid::keepCurrentInside()
{
    row_ = std::clamp(row_, 0, rows() - 1);
    col_ = cols_ > 0 ? std::clamp(col_, 0, cols_ - 1) : 0;
}

} // namespace infil::model
