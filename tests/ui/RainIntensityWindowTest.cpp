// The rain intensity dialog's window, driven with the mouse and keyboard as a
// user drives it: it must show beside the main window, mirror its model and
// put the cell editor over the cell being edited.

#include "model/RainIntensityDialog.h"
#include "WindowTestSupport.h"

#include "ui/Binding.h"
#include "ui/RainIntensityWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QTextOption>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace infil;

namespace {

using test::waitFor;

class RainIntensityWindowTest : public test::MainWindowTest {
protected:
    RainIntensityWindowTest()
    {
        showMainWindow();
        view = ui::RainIntensityWindow::create(app, window.get());
        dialog = dynamic_cast<model::RainIntensityDialog*>(app.form("frmIntDialog"));
    }

    template <typename W = QWidget>
    W* widget(const model::Control* control)
    {
        return qobject_cast<W*>(view->binder().widget(*control));
    }
    void clickCell(int row, int col) { MainWindowTest::clickCell(view->grid(), row, col); }
    void openDialog()
    {
        QTest::mouseClick(window->widgetFor(*app.calc().cmdEdit.at(0)), Qt::LeftButton);
        ASSERT_TRUE(view->isVisible());
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view));
    }

    ui::RainIntensityWindow* view = nullptr;
    model::RainIntensityDialog* dialog = nullptr;
};

TEST_F(RainIntensityWindowTest, ShowsBesideTheDisabledMainWindowUntilClosed)
{
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isVisible());
    openDialog();
    EXPECT_EQ(view->pos(), window->pos() + QPoint(392, 72));
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Intenzity trvání deště"));
    EXPECT_EQ(widget<QComboBox>(dialog->cboSelStanice)->count(), 93);
    EXPECT_EQ(widget<QComboBox>(dialog->cboSelStanice)->currentText(), QString::fromUtf8("(Vlastní hodnoty)"));
    EXPECT_EQ(widget<QComboBox>(dialog->cboSelPeriod)->currentIndex(), -1);
    EXPECT_FALSE(widget<QPushButton>(dialog->cmdOK)->isEnabled());
    EXPECT_EQ(view->grid()->rowCount(), 9);
    // Every header is shown whole, and the nine rows fit without scrolling.
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(view->grid()->horizontalHeaderItem(c)->toolTip(), QString()) << c;
    EXPECT_LE(view->grid()->cellRect(9, 0).bottom(), view->grid()->viewport()->geometry().bottom());

    // The help lies over the grid until its own close button.
    QTest::mouseClick(widget(dialog->cmdEdit), Qt::LeftButton);
    ASSERT_TRUE(view->help()->isVisible());
    EXPECT_EQ(view->help()->geometry(), view->grid()->geometry());
    QTest::mouseClick(widget(dialog->cmdCloseHelp), Qt::LeftButton);
    EXPECT_FALSE(view->help()->isVisible());

    if (const char* shot = std::getenv("INFIL_RAIN_SHOT")) {
        // With the fixture as the database: Brno, 0.2, the third row picked.
        const char* fixtures = std::getenv("INFIL_FIXTURES_DIR");
        QFile::copy(QString::fromLocal8Bit(fixtures ? fixtures : INFIL_FIXTURES_DIR) + "/rain-fixture.mdb",
                    folder.filePath("infil.mdb"));
        app.userAction([&] {
            dialog->cboSelStanice->selectText("Brno");
            dialog->cboSelPeriod->selectText("0.2");
        });
        clickCell(3, 2);
        view->grab().save(QString::fromLocal8Bit(shot) + "-brno.png");
        QTest::mouseClick(widget(dialog->cmdEdit), Qt::LeftButton);
        QTest::qWait(50);
        view->grab().save(QString::fromLocal8Bit(shot) + "-help.png");
        QTest::mouseClick(widget(dialog->cmdCloseHelp), Qt::LeftButton);
        clickCell(5, 1);
        waitFor([&] { return view->editor()->hasFocus(); });
        view->grab().save(QString::fromLocal8Bit(shot) + "-editor.png");
        QApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(shot) + "-screen.png");
    }

    view->close(); // the close box
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(dialog->isOpen());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(RainIntensityWindowTest, CellEditorOpensOverItsCellStoresAndClosesOnEnter)
{
    openDialog();
    app.userAction([&] { dialog->cboSelPeriod->setListIndex(4); }); // OK enabled
    clickCell(3, 1);
    QLineEdit* editor = view->editor();
    ASSERT_TRUE(editor->isVisible());
    ASSERT_TRUE(waitFor([&] { return editor->hasFocus(); }));
    EXPECT_EQ(editor->selectedText(), "0.0");
    const QRect cell(view->grid()->mapTo(view, view->grid()->cellRect(3, 1).topLeft()),
                     view->grid()->cellRect(3, 1).size());
    EXPECT_TRUE(cell.contains(editor->geometry())) << "editor outside its cell";

    QTest::keyClicks(editor, "55");
    EXPECT_TRUE(editor->hasFocus()); // the grid mirroring the change keeps it away
    EXPECT_EQ(app.record().RainIntensities[3], 55.0f);
    EXPECT_EQ(view->grid()->item(2, 1)->text(), "55.0");
    EXPECT_EQ(widget<QComboBox>(dialog->cboSelStanice)->currentIndex(), 0);

    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(waitFor([&] { return view->grid()->hasFocus(); }));
    EXPECT_TRUE(view->isVisible()); // Enter belongs to the editor, not to OK

    // Clicking another cell while editing moves the editor there.
    clickCell(4, 0);
    ASSERT_TRUE(waitFor([&] { return editor->hasFocus(); }));
    clickCell(6, 1);
    ASSERT_TRUE(waitFor([&] { return editor->hasFocus(); }));
    const QRect sixth = view->grid()->cellRect(6, 1);
    EXPECT_TRUE(QRect(view->grid()->mapTo(view, sixth.topLeft()), sixth.size()).contains(editor->geometry()));
}

// The dialog from the keyboard: Space and Enter tick a "Výběr" cell, Esc in
// the cell editor takes back that edit only, Enter elsewhere is OK once OK
// can be pressed, and Esc is the close box.
TEST_F(RainIntensityWindowTest, KeysTickCancelConfirmAndClose)
{
    openDialog();
    ui::GridView* grid = view->grid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return); // OK is not enabled yet: nothing
    EXPECT_TRUE(view->isVisible());
    app.record().RainIntensities[2] = 150.0f;
    app.record().RainIntensities[3] = 120.0f;
    app.userAction([&] { dialog->cboSelPeriod->setListIndex(4); }); // OK enabled, the grid shown again

    // Down to row 2, over to "Výběr": Space ticks it.
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(app.record().SelIntDeste, 150.0f);
    EXPECT_EQ(dialog->fgIntDeste->cellPicture(2, 2), model::Grid::Picture::Check);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return); // Enter on a tick cell ticks it, and the dialog stays
    EXPECT_EQ(app.record().SelDTrvDeste, app.record().RainDurations[3]);
    EXPECT_TRUE(view->isVisible());

    // Space opens the editor of an intensity; Esc there takes the edit back
    // and leaves the dialog open.
    QTest::keyClick(grid, Qt::Key_Up);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Space);
    QLineEdit* editor = view->editor();
    ASSERT_TRUE(waitFor([&] { return editor->hasFocus(); }));
    QTest::keyClicks(editor, "99");
    EXPECT_EQ(app.record().RainIntensities[2], 99.0f);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(app.record().RainIntensities[2], 150.0f);
    EXPECT_EQ(grid->item(1, 1)->text(), "150");
    ASSERT_TRUE(waitFor([&] { return grid->hasFocus(); }));

    // Enter off the tick column is OK: the picked pair reaches the main window.
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtSelIntDeste))->text(), "120");
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtSelDTrvDeste))->text(), "15");

    // Esc anywhere else is the close box.
    openDialog();
    widget(dialog->cboSelStanice)->setFocus();
    QTest::keyClick(widget(dialog->cboSelStanice), Qt::Key_Escape);
    EXPECT_FALSE(view->isVisible());
    EXPECT_FALSE(dialog->isOpen());
    EXPECT_TRUE(window->isEnabled());
}

// The window is laid out: a large type makes it larger, never cuts a text,
// and the help wraps between words.
TEST_F(RainIntensityWindowTest, ALargeTypeEnlargesTheWindowAndTheHelpWraps)
{
    const QFont standard = QApplication::font();
    QFont large = standard;
    large.setPointSizeF(standard.pointSizeF() * 2);
    QApplication::setFont(large);
    struct Restore {
        QFont font;
        ~Restore() { QApplication::setFont(font); }
    } restore{standard};
    openDialog();
    QApplication::processEvents();
    ui::GridView* grid = view->grid();
    const QFontMetrics metrics(grid->font());
    const QFontMetrics heads(grid->horizontalHeader()->font());
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid->horizontalHeaderItem(c)->toolTip(), QString()) << "header " << c << " cut";
        EXPECT_LE(heads.horizontalAdvance(grid->horizontalHeaderItem(c)->text()), grid->columnWidth(c));
    }
    EXPECT_GE(grid->rowHeight(0), metrics.height());
    EXPECT_LE(grid->cellRect(9, 0).bottom(), grid->viewport()->geometry().bottom());
    for (auto* button : view->findChildren<QPushButton*>()) {
        if (button->isVisible()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
    }
    EXPECT_EQ(view->help()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(view->help()->wordWrapMode(), QTextOption::WordWrap);
}

} // namespace
