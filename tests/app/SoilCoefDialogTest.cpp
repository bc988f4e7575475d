// The soil coefficient picker without a window.
#include "AppFixture.h"

#include "model/SoilCoefDialog.h"

using namespace infil;
using namespace infil::model;

namespace {

class SoilCoefTest : public test::AppTest {
protected:
    SoilCoefTest() : dlg(dynamic_cast<SoilCoefDialog&>(*app.form("frmCoefDialog"))) { open(); }
    void open() { user([&] { calc().cmdEdit[2]->click(); }); }
    void click(int row, int col) { user([&] { dlg.fgCoefProp->click(row, col); }); }
    void ok() { user([&] { dlg.cmdOK->click(); }); }

    SoilCoefDialog& dlg;
};

} // namespace

TEST_F(SoilCoefTest, OpensWithTheSoilTableInScientificFormAndOkDisabled)
{
    EXPECT_FALSE(calc().enabled());
    EXPECT_FALSE(dlg.cmdOK->enabled());
    const Grid& g = *dlg.fgCoefProp;
    EXPECT_EQ(g.rows(), 9);
    EXPECT_EQ(g.text(1, 0), "Jemný a střední štěrk");
    EXPECT_EQ(g.text(1, 1), "7.0E-04");
    EXPECT_EQ(g.text(4, 1), "2.0E-05"); // 0.00002
}

TEST_F(SoilCoefTest, OnlyAPickInTheChoiceColumnEnablesOk)
{
    click(3, 0);
    EXPECT_FALSE(dlg.cmdOK->enabled());
    click(3, 2);
    EXPECT_TRUE(dlg.cmdOK->enabled());
    EXPECT_EQ(rec().SoucFiltrace, 1e-4f); // at once, before OK
    click(3, 1);
    EXPECT_FALSE(dlg.cmdOK->enabled());
    EXPECT_EQ(dlg.fgCoefProp->cellPicture(3, 2), Grid::Picture::Blank);

    // The arrow keys move away from the pick without a click: OK would name
    // another soil than the coefficient it writes.
    click(5, 2);
    user([&] { dlg.fgCoefProp->navigate(6, 2); });
    EXPECT_FALSE(dlg.cmdOK->enabled());
}

TEST_F(SoilCoefTest, OkWritesTheSoilAndItsCoefficientToTheMainWindow)
{
    click(3, 2);
    ok();
    EXPECT_FALSE(dlg.isOpen());
    EXPECT_TRUE(calc().enabled());
    EXPECT_EQ(calc().txtSoucFiltrace->text(), "1.0E-04");
    EXPECT_EQ(calc().txtTypPudyPodlozi->text(), "Hrubý písek");
    EXPECT_EQ(rec().TypPudyPodlozi, "Hrubý písek");

    open();
    click(4, 2);
    ok();
    EXPECT_EQ(calc().txtSoucFiltrace->text(), "2.0E-05");
    EXPECT_EQ(rec().SoucFiltrace, 2e-5f);
}

TEST_F(SoilCoefTest, OkRecalculatesTheChosenTechnology)
{
    rec().OdvodNepPlocha = 1000;
    user([&] { dlg.close(); });
    user([&] {
        calc().optSelType[0]->click();
        calc().cboSelType->setListIndex(2);
        // Already the coefficient picked below, so this box's handler will not
        // run again: the pane comes back by OK's recalculation alone.
        calc().txtSoucFiltrace->setText("7.0E-04");
    });
    calc().picResults[2]->setVisible(false);
    open();
    click(1, 2);
    ok();
    EXPECT_EQ(calc().shownPane(), 2);
}

TEST_F(SoilCoefTest, TheCloseBoxLeavesTheCoefficientAsItWas)
{
    user([&] { dlg.close(); });
    calc().txtSoucFiltrace->setText("5.0E-05");
    calc().txtTypPudyPodlozi->setText("Jemný písek");
    open();
    click(1, 2);
    EXPECT_EQ(rec().SoucFiltrace, 7e-4f);
    user([&] { dlg.close(); });
    EXPECT_TRUE(calc().enabled());
    EXPECT_EQ(calc().txtSoucFiltrace->text(), "5.0E-05");
    EXPECT_EQ(calc().txtTypPudyPodlozi->text(), "Jemný písek");
    // The pick set it at once; without OK it goes back, to what the window shows.
    EXPECT_EQ(rec().SoucFiltrace, 5e-5f);
}
