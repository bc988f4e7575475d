// The grid model the dialogs build their tables on.
#include "model/Form.h"
#include "model/Grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace infil::test {
namespace {

using model::Grid;

class GridTest : public ::testing::Test {
protected:
    GridTest() : form("frmTest"), grid(form, "fgTest", -1)
    {
        grid.setLayout("td [min]|<i (t,p) [l/s.ha]|<Výběr");
        grid.setRows(10);
        grid.onLeaveCell = [this] { events.push_back("leave " + here()); };
        grid.onClick = [this] { events.push_back("click " + here()); };
    }

    std::string here() const { return std::to_string(grid.row()) + "," + std::to_string(grid.col()); }

    int checkMarks() const
    {
        int n = 0;
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                n += grid.cellPicture(r, c) == Grid::Picture::Check;
        return n;
    }

    model::Form form;
    Grid grid;
    std::vector<std::string> events;
};

TEST_F(GridTest, ClickLeavesTheOldCellThenClicksTheNewOne)
{
    EXPECT_EQ(here(), "1,0");
    grid.click(3, 2);
    EXPECT_EQ(events, (std::vector<std::string>{"leave 1,0", "click 3,2"}));

    events.clear();
    grid.click(3, 2); // the current cell: no leave
    EXPECT_EQ(events, std::vector<std::string>{"click 3,2"});

    events.clear();
    grid.navigate(4, 2); // keyboard: leave and move, no click
    EXPECT_EQ(events, std::vector<std::string>{"leave 3,2"});
    EXPECT_EQ(here(), "4,2");
}

TEST_F(GridTest, HeaderFixedColumnsAndCellsOutsideDoNothing)
{
    grid.setFixedCols(1);
    for (auto [r, c] : {std::pair{0, 1}, {0, 0}, {2, 0}, {10, 1}, {-1, 1}, {3, 3}, {3, -1}})
        grid.click(r, c);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(here(), "1,0");
    EXPECT_FALSE(grid.isClickable(0, 1));
    EXPECT_TRUE(grid.isClickable(9, 2));
}

TEST_F(GridTest, BlankOnLeaveAndCheckOnClickShowAtMostOneCheckMark)
{
    grid.onLeaveCell = [this] { grid.setCellPicture(Grid::Picture::Blank); };
    grid.onClick = [this] {
        if (grid.col() == 2)
            grid.setCellPicture(Grid::Picture::Check);
    };
    grid.click(3, 2);
    EXPECT_EQ(grid.cellPicture(3, 2), Grid::Picture::Check);
    EXPECT_EQ(grid.cellPicture(1, 0), Grid::Picture::Blank);
    grid.click(5, 2);
    EXPECT_EQ(checkMarks(), 1);
    EXPECT_EQ(grid.cellPicture(3, 2), Grid::Picture::Blank);
    EXPECT_EQ(grid.cellPicture(5, 2), Grid::Picture::Check);
    grid.click(5, 1);
    EXPECT_EQ(checkMarks(), 0);
    grid.click(2, 2);
    grid.click(2, 2);
    EXPECT_EQ(checkMarks(), 1);
    EXPECT_EQ(grid.cellPicture(2, 2), Grid::Picture::Check);
}

TEST_F(GridTest, AHandlerThatShrinksTheGridCancelsTheMove)
{
    grid.onLeaveCell = [this] { grid.setRows(3); };
    grid.click(7, 1);
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(here(), "1,0");
}

TEST_F(GridTest, LayoutStringSetsColumnsHeadersAndLeftAlignment)
{
    EXPECT_EQ(grid.cols(), 3);
    EXPECT_EQ(grid.text(0, 0), "td [min]");
    EXPECT_EQ(grid.text(0, 1), "i (t,p) [l/s.ha]");
    EXPECT_EQ(grid.text(0, 2), "Výběr");
    EXPECT_EQ(grid.colAlignment(0), Grid::Align::General);
    EXPECT_EQ(grid.colAlignment(1), Grid::Align::Left);
    EXPECT_EQ(grid.colAlignment(2), Grid::Align::Left);

    // Widths and rows survive a new layout; alignments come from it.
    grid.setColWidth(0, 1097);
    grid.setColAlignment(0, Grid::Align::Center);
    grid.setText(4, 0, "20");
    grid.setLayout("ID|<Dílčí plocha|<Odtokový součinitel|<Typ povrchu|<Výběr");
    EXPECT_EQ(grid.cols(), 5);
    EXPECT_EQ(grid.rows(), 10);
    EXPECT_EQ(grid.colWidth(0), 1097);
    EXPECT_EQ(grid.colWidth(4), Grid::kDefaultColWidth);
    EXPECT_EQ(grid.colAlignment(0), Grid::Align::General);
    EXPECT_EQ(grid.text(4, 0), "20");

    grid.setColWidth(1, 1097);
    EXPECT_EQ(grid.colPos(2), 2194); // the cell editors' left edge

    grid.setLayout("");
    EXPECT_EQ(grid.cols(), 1);
    grid.setLayout("a||<");
    EXPECT_EQ(grid.cols(), 3);
    EXPECT_EQ(grid.text(0, 1), "");
    EXPECT_EQ(grid.text(0, 2), "");
    EXPECT_EQ(grid.colAlignment(2), Grid::Align::Left);
}

TEST_F(GridTest, ClearRemovesTextsAndPicturesButKeepsTheShape)
{
    grid.setText(2, 1, "40.2");
    grid.click(2, 2);
    grid.setCellPicture(Grid::Picture::Check);
    grid.clear();
    EXPECT_EQ(grid.rows(), 10);
    EXPECT_EQ(grid.cols(), 3);
    EXPECT_EQ(grid.text(2, 1), "");
    EXPECT_EQ(grid.text(0, 0), "");
    EXPECT_EQ(grid.cellPicture(2, 2), Grid::Picture::None);
    EXPECT_EQ(here(), "2,2");
}

TEST_F(GridTest, MergedColumnJoinsEqualNeighboursOnly)
{
    grid.setRows(8);
    const char* groups[] = {"Střechy", "Střechy", "Zpevněné", "Zpevněné", "Zpevněné", "", ""};
    for (int r = 1; r <= 7; ++r) {
        grid.setText(r, 0, groups[r - 1]);
        grid.setText(r, 1, "same");
    }
    EXPECT_EQ(grid.mergedRun(2, 0), (std::pair{2, 1})); // not merged yet
    grid.setMergeCol(0, true);
    EXPECT_EQ(grid.mergedRun(1, 0), (std::pair{1, 2}));
    EXPECT_EQ(grid.mergedRun(2, 0), (std::pair{1, 2}));
    EXPECT_EQ(grid.mergedRun(4, 0), (std::pair{3, 3}));
    EXPECT_EQ(grid.mergedRun(6, 0), (std::pair{6, 1})); // empty cells stay apart
    EXPECT_EQ(grid.mergedRun(0, 0), (std::pair{0, 1})); // never the header
    EXPECT_EQ(grid.mergedRun(3, 1), (std::pair{3, 1})); // column 1 is not merged

    // A click in a merged cell still names its own row.
    grid.click(5, 0);
    EXPECT_EQ(here(), "5,0");
}

TEST_F(GridTest, RowsAreInsertedAppendedAndRemovedAroundTheCurrentCell)
{
    // The entry table's way: header and a blank row, entries inserted before the
    // blank row, then the blank row removed.
    grid.setRows(2);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(grid.addRow({std::to_string(i), "area " + std::to_string(i)}, i), i);
    grid.removeRow(4);
    ASSERT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.text(3, 0), "3");
    EXPECT_EQ(grid.text(3, 1), "area 3");
    EXPECT_EQ(grid.addRow({"x", "y", "z", "beyond the columns"}), 4);
    EXPECT_EQ(grid.text(4, 2), "z");

    grid.click(3, 1);
    grid.removeRow(2);
    EXPECT_EQ(here(), "2,1"); // followed its row
    EXPECT_EQ(grid.text(2, 0), "3");
    grid.removeRow(0); // the header stays
    grid.setRows(0);
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.row(), 0);
}

} // namespace
} // namespace infil::test
