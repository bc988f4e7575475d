// The grid's Qt view on a real widget (offscreen): it shows what the model
// holds and hands the user's clicks to the model.
// The record before any Qt header: Qt's "slots" macro would break SlotList.
#include "NumberFormat.h"
#include "ProjectRecord.h"
#include "ReferenceTables.h"
#include "model/Form.h"
#include "ui/GridView.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace infil::test {
namespace {

using model::Grid;

class GridViewTest : public ::testing::Test {
protected:
    GridViewTest() : form("frmIntDialog"), grid(form, "fgIntDeste", -1)
    {
        // The rain dialog's grid: 3135 x 2415 twips, 35/35/30 % columns.
        grid.setGeometry({0, 0, 3135, 2415});
        grid.setLayout("td [min]|<i (t,p) [l/s.ha]|<Výběr");
        grid.setRows(10);
        grid.setColWidth(0, 1097);
        grid.setColWidth(1, 1097);
        grid.setColWidth(2, 941);
        grid.setColAlignment(0, Grid::Align::Center);
        grid.setColAlignment(1, Grid::Align::Center);
        const int minutes[] = {5, 10, 15, 20, 30, 45, 60, 90, 120};
        for (int r = 1; r <= 9; ++r) {
            grid.setText(r, 0, std::to_string(minutes[r - 1]));
            grid.setText(r, 1, num::plain(40.2f * static_cast<float>(10 - r)));
        }
        grid.onLeaveCell = [this] {
            events.push_back("leave");
            grid.setCellPicture(Grid::Picture::Blank);
        };
        grid.onClick = [this] {
            events.push_back("click " + std::to_string(grid.row()) + "," + std::to_string(grid.col()));
            if (grid.col() == 2)
                grid.setCellPicture(Grid::Picture::Check);
        };
        view = std::make_unique<ui::GridView>(grid);
        view->show();
        QApplication::processEvents();
    }

    // A click on the screen, as the user makes it.
    void clickCell(int row, int col)
    {
        const QRect cell = view->cellRect(row, col);
        ASSERT_TRUE(cell.isValid());
        QWidget* target = row == 0 ? static_cast<QWidget*>(view->horizontalHeader()) : view->viewport();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(view.get(), cell.center()));
    }

    model::Form form;
    Grid grid;
    std::vector<std::string> events;
    std::unique_ptr<ui::GridView> view;
};

TEST_F(GridViewTest, MirrorsTextsHeadersSizesAndAlignments)
{
    EXPECT_EQ(view->size(), QSize(209, 161)); // 3135 x 2415 twips
    EXPECT_EQ(view->rowCount(), 9);
    EXPECT_EQ(view->columnCount(), 3);
    EXPECT_EQ(view->horizontalHeaderItem(2)->text(), QString::fromUtf8("Výběr"));
    // A header too wide for its column is shortened at its end, never cut at
    // its start, and shown whole as the tool tip.
    const QTableWidgetItem* narrow = view->horizontalHeaderItem(1);
    const QString full = QString::fromUtf8("i (t,p) [l/s.ha]");
    if (narrow->text() != full) {
        EXPECT_TRUE(narrow->text().endsWith(QChar(0x2026)));
        EXPECT_TRUE(full.startsWith(narrow->text().chopped(1)));
        EXPECT_EQ(narrow->toolTip(), full);
    }
    EXPECT_EQ(view->item(2, 0)->text(), "15");
    EXPECT_EQ(view->item(0, 1)->text(), "361.8");
    EXPECT_EQ(view->item(0, 0)->data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(view->item(0, 2)->data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(view->rowHeight(0), 16); // 240 twips
    // The columns were sized to fill the grid: no horizontal scroll bar.
    EXPECT_LE(view->columnWidth(0) + view->columnWidth(1) + view->columnWidth(2), view->viewport()->width());
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());

    grid.setText(2, 0, "16");
    EXPECT_EQ(view->item(1, 0)->text(), "16");
}

TEST_F(GridViewTest, ClicksReachTheModelAndPicturesShow)
{
    clickCell(3, 2);
    EXPECT_EQ(events, (std::vector<std::string>{"leave", "click 3,2"}));
    EXPECT_EQ(view->item(2, 2)->data(ui::GridView::PictureRole).toInt(), static_cast<int>(Grid::Picture::Check));
    EXPECT_EQ(view->currentRow(), 2);

    // The check mark is drawn: red pixels in the middle of the cell.
    const QImage image = view->grab().toImage();
    const QRect cell = view->cellRect(3, 2);
    int red = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(QPoint(x, y) * image.devicePixelRatio());
            red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
        }
    EXPECT_GT(red, 5);
    if (const char* shot = std::getenv("INFIL_GRID_SHOT"))
        image.save(QString::fromLocal8Bit(shot) + ".rain.png");

    events.clear();
    clickCell(0, 1); // the header row
    EXPECT_TRUE(events.empty());
    clickCell(5, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"leave", "click 5,1"}));
    EXPECT_EQ(view->item(2, 2)->data(ui::GridView::PictureRole).toInt(), static_cast<int>(Grid::Picture::Blank));
}

TEST_F(GridViewTest, ArrowKeysMoveTheCurrentCellWithoutAClick)
{
    view->setFocus();
    grid.click(2, 1);
    events.clear();
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(events, std::vector<std::string>{"leave"});
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(view->currentRow(), 2);
}

TEST(GridViewMerge, EqualGroupTextsShowAsOneCell)
{
    ProjectRecord record;
    InitReferenceTables(record);
    model::Form form("frmDialog");
    Grid grid(form, "fgSoucPovrchOdtok", -1);
    grid.setGeometry({120, 120, 11295, 4875});
    grid.setLayout("Typ plochy|<Způsob zpevnění povrchu|<Součinitel|<Výběr");
    grid.setMergeCol(0, true);
    grid.setRows(1);
    for (int i = 1; i <= 19; ++i)
        grid.addRow({record.SurfaceGroups[i], record.SurfaceKinds[i], num::fixed(record.RunoffCoefs[i], 2)});
    const double share[] = {0.3, 0.5, 0.1, 0.1};
    for (int c = 0; c < 4; ++c)
        grid.setColWidth(c, static_cast<int>(std::lround(11295 * share[c])));
    grid.setColAlignment(2, Grid::Align::Center);
    grid.setColAlignment(3, Grid::Align::Center);
    grid.click(4, 3);
    grid.setCellPicture(Grid::Picture::Check);

    QWidget window;
    window.resize(ui::twipsToPixels(11535), ui::twipsToPixels(5115));
    ui::GridView view(grid, &window);
    window.show();
    QApplication::processEvents();

    for (int r = 1; r < grid.rows();) {
        const auto [first, count] = grid.mergedRun(r, 0);
        EXPECT_EQ(view.rowSpan(first - 1, 0), count) << grid.text(first, 0);
        r = first + count;
    }
    EXPECT_EQ(view.geometry(), QRect(8, 8, 753, 325));
    if (const char* shot = std::getenv("INFIL_GRID_SHOT"))
        window.grab().save(QString::fromLocal8Bit(shot));
}

} // namespace
} // namespace infil::test
