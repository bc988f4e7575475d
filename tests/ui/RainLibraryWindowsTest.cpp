// The rain library's windows with the mouse: the source line and the two
// buttons of the rain dialog, the prompt for the source, the library's
// listing with its confirmation, and the marks of the station list.

#include "model/RainIntensityDialog.h"
#include "model/RainLibraryDialog.h"
#include "model/RainSourceDialog.h"
#include "rain/RainLibrary.h"
#include "WindowTestSupport.h"

#include "ui/Binding.h"
#include "ui/RainIntensityWindow.h"
#include "ui/RainLibraryWindows.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace infil;

namespace {

using test::waitFor;

class RainLibraryWindowsTest : public test::MainWindowTest {
protected:
    RainLibraryWindowsTest()
    {
        rain::RainRow row;
        row.station = 84;
        row.periodicity = 5;
        const float values[] = {250, 190, 155, 130, 100, 76, 62, 46, 37};
        for (std::size_t i = 0; i < 9; ++i)
            row.intensities[i] = values[i];
        row.source = "Opis tabulky, s. 12";
        rain::RainLibrary(folder.filePath("rain").toStdString()).add(row);

        showMainWindow();
        view = ui::RainIntensityWindow::create(app, window.get());
        ui::createRainLibraryWindows(app, view);
        dialog = dynamic_cast<model::RainIntensityDialog*>(app.form("frmIntDialog"));
        prompt = dynamic_cast<model::RainSourceDialog*>(app.form("frmRainSource"));
        library = dynamic_cast<model::RainLibraryDialog*>(app.form("frmRainLibrary"));
    }

    QWidget* widgetOf(const model::Control* control)
    {
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == QString::fromStdString(control->key()) && w->window() &&
                w->window()->windowTitle() == windowTitleOf(control))
                return w;
        return nullptr;
    }
    static QString windowTitleOf(const model::Control* control)
    {
        const std::string& form = control->form().name();
        return QString::fromUtf8(form == "frmIntDialog"    ? "Intenzity trvání deště"
                                 : form == "frmRainSource" ? "Uložit intenzity do knihovny"
                                                           : "Knihovna intenzit deště");
    }
    template <typename W = QWidget>
    W* widget(const model::Control* control)
    {
        return qobject_cast<W*>(widgetOf(control));
    }
    void click(const model::Control* control)
    {
        QWidget* w = widgetOf(control);
        ASSERT_NE(w, nullptr) << control->key();
        QTest::mouseClick(w, Qt::LeftButton);
    }
    void openDialog()
    {
        QTest::mouseClick(window->widgetFor(*app.calc().cmdEdit.at(0)), Qt::LeftButton);
        ASSERT_TRUE(view->isVisible());
    }
    void choose(model::ComboBox* list, int index)
    {
        app.userAction([&] { list->setListIndex(index); });
    }

    QWidget* view = nullptr;
    model::RainIntensityDialog* dialog = nullptr;
    model::RainSourceDialog* prompt = nullptr;
    model::RainLibraryDialog* library = nullptr;
};

TEST_F(RainLibraryWindowsTest, SourceLineMarksPromptAndLibraryWindow)
{
    openDialog();
    auto* stations = widget<QComboBox>(dialog->cboSelStanice);
    ASSERT_NE(stations, nullptr);
    // Brno (84) is the fourth station: marked, with the mark as its tool tip.
    EXPECT_FALSE(stations->itemIcon(4).isNull());
    EXPECT_EQ(stations->itemData(4, Qt::ToolTipRole).toString(), QString::fromUtf8("údaje v knihovně"));
    EXPECT_TRUE(stations->itemData(5, Qt::ToolTipRole).isNull());
    EXPECT_EQ(widget<QLabel>(dialog->lblSource)->text(), QString::fromUtf8("Zdroj: hodnoty zadané ručně"));

    choose(dialog->cboSelStanice, 4);
    choose(dialog->cboSelPeriod, 4);
    EXPECT_EQ(widget<QLabel>(dialog->lblSource)->text(), QString::fromUtf8("Zdroj: knihovna – Opis tabulky, s. 12"));
    EXPECT_FALSE(widget<QPushButton>(dialog->cmdSaveToLibrary)->isEnabled());

    if (const char* dir = std::getenv("INFIL_SHOTS_DIR"); dir && *dir) {
        QDir().mkpath(dir);
        QTest::qWait(50);
        view->grab().save(QDir(dir).filePath("rain-library-dialog.png"));
    }

    // Typed values: the prompt opens over the disabled dialog.
    choose(dialog->cboSelStanice, 0);
    click(dialog->cmdSaveToLibrary);
    QWidget* promptWindow = widgetOf(prompt->txtSource)->window();
    ASSERT_TRUE(waitFor([&] { return promptWindow->isVisible(); }));
    EXPECT_FALSE(view->isEnabled());
    EXPECT_EQ(widget<QComboBox>(prompt->cboStation)->currentText(), "Brno");
    EXPECT_EQ(widget<QComboBox>(prompt->cboPeriod)->currentText(), "0.2");
    QTest::keyClicks(widget<QLineEdit>(prompt->txtSource), "Mereni obce 2020");
    EXPECT_EQ(prompt->txtSource->text(), "Mereni obce 2020");
    if (const char* dir = std::getenv("INFIL_SHOTS_DIR"); dir && *dir) {
        QTest::qWait(50);
        promptWindow->grab().save(QDir(dir).filePath("rain-library-prompt.png"));
    }
    click(prompt->cmdCancel);
    EXPECT_TRUE(waitFor([&] { return !promptWindow->isVisible(); }));
    EXPECT_TRUE(view->isEnabled());

    // The library's window: one entry, a confirmation before deleting.
    click(dialog->cmdLibrary);
    QWidget* libraryWindow = widgetOf(library->cmdClose)->window();
    ASSERT_TRUE(waitFor([&] { return libraryWindow->isVisible(); }));
    EXPECT_FALSE(view->isEnabled());
    ASSERT_EQ(library->fgLibrary->rows(), 2);
    EXPECT_FALSE(widget<QPushButton>(library->cmdDelete)->isEnabled());
    app.userAction([&] { library->fgLibrary->click(1, 0); });
    if (const char* dir = std::getenv("INFIL_SHOTS_DIR"); dir && *dir) {
        QTest::qWait(50);
        libraryWindow->grab().save(QDir(dir).filePath("rain-library-list.png"));
    }
    click(library->cmdDelete);
    EXPECT_TRUE(widget<QPushButton>(library->cmdConfirmDelete)->isVisible());
    EXPECT_TRUE(widget<QLabel>(library->lblConfirm)->text().contains(QString::fromUtf8("Brno (84)")));
    if (const char* dir = std::getenv("INFIL_SHOTS_DIR"); dir && *dir) {
        QTest::qWait(50);
        libraryWindow->grab().save(QDir(dir).filePath("rain-library-window.png"));
    }
    click(library->cmdKeep);
    EXPECT_FALSE(widget<QPushButton>(library->cmdConfirmDelete)->isVisible());
    click(library->cmdClose);
    EXPECT_TRUE(waitFor([&] { return !libraryWindow->isVisible(); }));
    EXPECT_TRUE(view->isEnabled());
}

// On a small screen the rain dialog may lie near the edge: the library's
// window still opens whole on the screen.
TEST_F(RainLibraryWindowsTest, LibraryWindowOpensWholeOnTheScreen)
{
    openDialog();
    const QRect room = view->screen()->availableGeometry();
    view->move(room.right() - view->width() / 2, room.bottom() - view->height() / 2);
    click(dialog->cmdLibrary);
    QWidget* libraryWindow = widgetOf(library->cmdClose)->window();
    ASSERT_TRUE(waitFor([&] { return libraryWindow->isVisible(); }));
    ASSERT_LE(libraryWindow->width(), room.width());
    ASSERT_TRUE(waitFor([&] { return room.contains(libraryWindow->frameGeometry()); }))
        << libraryWindow->x() << "," << libraryWindow->y();
    click(library->cmdClose);
}

} // namespace
