// The drained-area editor and the soil picker as real windows, driven with the
// mouse and the keyboard from the main window's "Zadat" buttons. With
// INFIL_SHOTS_DIR set to a folder, the windows are also saved there as PNGs.

#include "WindowTestSupport.h"

#include "ui/DialogWindows.h"
#include "ui/DrainedAreaWindow.h"
#include "ui/GridView.h"
#include "ui/RainIntensityWindow.h"
#include "ui/RainLibraryWindows.h"
#include "ui/SoilCoefWindow.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace infil;

namespace {

class AreaSoilWindowsTest : public test::MainWindowTest {
protected:
    AreaSoilWindowsTest()
    {
        ui::createDialogWindows(app, *window);
        showMainWindow();
        app.calc().selectTab(1);
        QApplication::processEvents();
    }

    template <typename W = QWidget>
    static W* topLevel(const char* name)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name))
                return qobject_cast<W*>(w);
        return nullptr;
    }
    template <typename W>
    static W* child(QWidget* parent, const char* name)
    {
        auto* w = parent->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void clickWidget(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
    void openButton(int k) { clickWidget(window->widgetFor(*app.calc().cmdEdit.at(k))); }
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    void shoot(QWidget* w, const char* name)
    {
        const char* dir = std::getenv("INFIL_SHOTS_DIR");
        if (!dir || !*dir)
            return;
        QDir().mkpath(QString::fromLocal8Bit(dir));
        const QDir folder(QString::fromLocal8Bit(dir));
        w->grab().save(folder.filePath(QLatin1String(name)));
        // On a real X server (xvfb-run) also the screen: the window beside the main one.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            settle();
            QGuiApplication::primaryScreen()->grabWindow(0).save(folder.filePath("screen-" + QLatin1String(name)));
        }
    }

    // Nothing is cut: the longest surface kind fits its column, the entry
    // grid's headers wrap rather than end in "…", buttons and labels are whole.
    static void expectNothingCut(ui::DrainedAreaWindow* w)
    {
        ui::GridView* runoff = w->runoffGrid();
        const QString longest = runoff->item(12, 1)->text();
        EXPECT_TRUE(longest.startsWith("Verbundstein"));
        EXPECT_LE(QFontMetrics(runoff->font()).horizontalAdvance(longest), runoff->columnWidth(1) - 6);
        EXPECT_EQ(w->entryGrid()->horizontalHeaderItem(2)->text(), QString::fromUtf8("Odtokový součinitel"));
        EXPECT_EQ(w->entryGrid()->horizontalHeader()->height(), 2 * w->entryGrid()->rowHeight(0));
        for (auto* button : w->findChildren<QPushButton*>()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
            EXPECT_LE(button->geometry().right(), w->width());
        }
        for (auto* label : w->findChildren<QLabel*>())
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
};

} // namespace

TEST_F(AreaSoilWindowsTest, TheAreaEditorComposesAnAreaWithMouseAndKeyboard)
{
    openButton(1);
    settle();
    auto* w = topLevel<ui::DrainedAreaWindow>("frmDialog");
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_TRUE(w->isEnabled()); // not disabled with the main window
    // At least the original's 11505 x 8505 twips, and all its layout needs.
    EXPECT_GE(w->width(), 767);
    EXPECT_GE(w->height(), 567);
    EXPECT_TRUE(w->size().expandedTo(w->minimumSizeHint()) == w->size());
    ui::GridView* runoff = w->runoffGrid();
    EXPECT_EQ(runoff->rowSpan(7, 0), 7); // the street surfaces share one group cell
    expectNothingCut(w);

    clickCell(runoff, 2, 3);
    auto* coef = child<QLineEdit>(w, "txtSoucinitel");
    auto* areaBox = child<QLineEdit>(w, "txtPlocha");
    EXPECT_EQ(coef->text(), "0.90");
    settle();
    EXPECT_TRUE(areaBox->hasFocus());
    QTest::keyClicks(areaBox, "100");
    QTest::keyClick(areaBox, Qt::Key_Return);
    clickCell(runoff, 7, 3);
    settle();
    QTest::keyClicks(areaBox, "50");
    clickWidget(child<QPushButton>(w, "cmdZapsat"));
    EXPECT_EQ(w->entryGrid()->rowCount(), 2);
    EXPECT_EQ(child<QLineEdit>(w, "txtOdvodNepPlocha")->text(), "105");
    shoot(w, "frmDialog.png");

    // The cell editor opens over the clicked cell with its text selected.
    clickCell(w->entryGrid(), 2, 1);
    settle();
    QLineEdit* editor = w->cellEditor();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->selectedText(), "50");
    const QRect cell = w->entryGrid()->cellRect(2, 1).translated(w->entryGrid()->pos());
    EXPECT_TRUE(cell.contains(editor->geometry().center()));
    shoot(w, "frmDialog-editor.png");
    QTest::keyClicks(editor, "150");
    EXPECT_EQ(w->entryGrid()->item(1, 1)->text(), "150");
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(w->entryGrid()->hasFocus());

    clickWidget(child<QPushButton>(w, "OKButton"));
    settle();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtOdvodNepPlocha))->text(), "135");
}

TEST_F(AreaSoilWindowsTest, TheSoilPickerOpensBesideTheMainWindowAndWritesOnOk)
{
    openButton(2);
    settle();
    auto* w = topLevel<ui::SoilCoefWindow>("frmCoefDialog");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->pos(), window->pos() + QPoint(392, 72)); // 5880, 1080 twips
    auto* ok = child<QPushButton>(w, "cmdOK");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_LE(ok->geometry().bottom(), w->height());

    clickCell(w->grid(), 3, 2);
    EXPECT_TRUE(ok->isEnabled());
    shoot(w, "frmCoefDialog.png");
    clickCell(w->grid(), 3, 0);
    EXPECT_FALSE(ok->isEnabled());
    clickCell(w->grid(), 3, 2);
    clickWidget(ok);
    settle();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtSoucFiltrace))->text(), "1.0E-04");
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtTypPudyPodlozi))->text(),
              QString::fromUtf8("Hrubý písek"));
}

// Both windows from the keyboard alone: arrows and Space pick, Enter confirms
// the soil, Esc closes either as its close box does.
TEST_F(AreaSoilWindowsTest, BothWindowsWorkFromTheKeyboard)
{
    const float kf = app.record().SoucFiltrace;
    openButton(2);
    settle();
    auto* soil = topLevel<ui::SoilCoefWindow>("frmCoefDialog");
    ASSERT_NE(soil, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(soil));
    soil->grid()->setFocus();
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(soil->grid(), Qt::Key_Right);
    QTest::keyClick(soil->grid(), Qt::Key_Down);
    QTest::keyClick(soil->grid(), Qt::Key_Space); // row 2 picked
    EXPECT_TRUE(child<QPushButton>(soil, "cmdOK")->isEnabled());
    QTest::keyClick(soil->grid(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(soil->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(app.record().SoucFiltrace, kf); // as the close box leaves it
    // The keyboard is back on the button that opened the window.
    QWidget* opener = window->widgetFor(*app.calc().cmdEdit.at(2));
    EXPECT_TRUE(test::waitFor([&] { return QApplication::focusWidget() == opener; }));

    openButton(2);
    settle();
    ASSERT_TRUE(QTest::qWaitForWindowActive(soil));
    soil->grid()->setFocus();
    QTest::keyClick(soil->grid(), Qt::Key_Return); // not on a pick: OK is not yet enabled
    EXPECT_TRUE(soil->isVisible());
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(soil->grid(), Qt::Key_Right);
    QTest::keyClick(soil->grid(), Qt::Key_Down);
    QTest::keyClick(soil->grid(), Qt::Key_Return); // Enter on a pick ticks it
    EXPECT_TRUE(soil->isVisible());
    QTest::keyClick(soil->grid(), Qt::Key_Return); // and on the tick is OK
    settle();
    EXPECT_FALSE(soil->isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtTypPudyPodlozi))->text(),
              QString::fromUtf8(app.record().SoilNames[2].c_str()));

    openButton(1);
    settle();
    auto* area = topLevel<ui::DrainedAreaWindow>("frmDialog");
    ASSERT_NE(area, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(area));
    ui::GridView* runoff = area->runoffGrid();
    runoff->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(runoff, Qt::Key_Right);
    QTest::keyClick(runoff, Qt::Key_Space); // the first surface's coefficient
    settle();
    auto* areaBox = child<QLineEdit>(area, "txtPlocha");
    EXPECT_TRUE(areaBox->hasFocus());
    QTest::keyClicks(areaBox, "120");
    QTest::keyClick(areaBox, Qt::Key_Return); // written, the window stays
    EXPECT_TRUE(area->isVisible());
    EXPECT_EQ(area->entryGrid()->rowCount(), 1);
    QTest::keyClick(areaBox, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(area->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(qobject_cast<QLineEdit*>(window->widgetFor(*app.calc().txtOdvodNepPlocha))->text(), "");
}

TEST_F(AreaSoilWindowsTest, ADesktopWithALargeTypeStillShowsEveryTextWhole)
{
    const QFont standard = QApplication::font();
    QFont large = standard;
    large.setPointSizeF(12);
    QApplication::setFont(large);
    struct Restore {
        QFont font;
        ~Restore() { QApplication::setFont(font); }
    } restore{standard};

    openButton(1);
    settle();
    auto* area = topLevel<ui::DrainedAreaWindow>("frmDialog");
    ASSERT_NE(area, nullptr);
    expectNothingCut(area);
    shoot(area, "frmDialog-large.png");
    area->close(); // the close box
    settle();
    EXPECT_FALSE(area->isVisible());
    EXPECT_TRUE(window->isEnabled());

    openButton(2);
    settle();
    auto* soil = topLevel<ui::SoilCoefWindow>("frmCoefDialog");
    ASSERT_NE(soil, nullptr);
    const QFontMetrics metrics(soil->grid()->font());
    for (int r = 0; r < 8; ++r)
        EXPECT_LE(metrics.horizontalAdvance(soil->grid()->item(r, 0)->text()), soil->grid()->columnWidth(0) - 6);
    shoot(soil, "frmCoefDialog-large.png");
}

// The dialogs' windows are built when their dialogs first open, and only once:
// the rain window together with the rain library's windows it opens.
TEST_F(AreaSoilWindowsTest, DialogWindowsAreBuiltWhenTheirDialogsFirstOpen)
{
    EXPECT_EQ(topLevel("frmDialog"), nullptr);
    EXPECT_EQ(topLevel("frmCoefDialog"), nullptr);
    EXPECT_EQ(window->findChild<ui::RainIntensityWindow*>(), nullptr);

    openButton(0);
    settle();
    auto* rain = window->findChild<ui::RainIntensityWindow*>();
    ASSERT_NE(rain, nullptr);
    EXPECT_TRUE(rain->isVisible());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_NE(rain->findChild<ui::RainSourceWindow*>(), nullptr);
    EXPECT_NE(rain->findChild<ui::RainLibraryWindow*>(), nullptr);
    rain->close();
    settle();
    EXPECT_FALSE(rain->isVisible());
    EXPECT_EQ(topLevel("frmDialog"), nullptr);

    for (int round = 0; round < 2; ++round) {
        openButton(2);
        settle();
        auto* soil = topLevel<ui::SoilCoefWindow>("frmCoefDialog");
        ASSERT_NE(soil, nullptr);
        EXPECT_TRUE(soil->isVisible());
        soil->close();
        settle();
        EXPECT_FALSE(soil->isVisible());
        EXPECT_TRUE(window->isEnabled());
    }
    int soilWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        soilWindows += w->objectName() == QLatin1String("frmCoefDialog");
    EXPECT_EQ(soilWindows, 1);
    EXPECT_EQ(window->findChildren<ui::RainIntensityWindow*>().size(), 1);
}
