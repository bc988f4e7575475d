// The drained-area editor without a window: picking a coefficient, adding,
// editing and deleting partial areas, the reduced area, OK and Cancel.
#include "AppFixture.h"

#include "model/DrainedAreaDialog.h"

using namespace infil;
using namespace infil::model;

namespace {

class DrainedAreaTest : public test::AppTest {
protected:
    DrainedAreaTest() : dlg(dynamic_cast<DrainedAreaDialog&>(*app.form("frmDialog"))) { open(); }

    void open() { user([&] { calc().cmdEdit[1]->click(); }); }
    void click(Grid* grid, int r, int c) { user([&] { grid->click(r, c); }); }
    void type(const std::string& text) { user([&] { dlg.txtSChange->setText(text); }); }
    void press(Button* button) { user([&] { button->click(); }); }
    // Picks runoff row `row` (or types coefficient `coef`) and adds an area.
    void add(int row, const std::string& area)
    {
        click(dlg.fgSoucPovrchOdtok, row, 3);
        user([&] {
            dlg.txtPlocha->setText(area);
            dlg.cmdZapsat->click();
        });
    }
    void addTyped(const std::string& coef, const std::string& area)
    {
        user([&] {
            dlg.txtSoucinitel->setText(coef);
            dlg.txtPlocha->setText(area);
            dlg.txtPlocha->keyDown(13); // Enter adds as the button does
        });
    }
    const std::string& cell(int r, int c) const { return dlg.fgZapisTab->text(r, c); }

    DrainedAreaDialog& dlg;
};

} // namespace

TEST_F(DrainedAreaTest, OpensWithTheRunoffTableOverADisabledMainWindowAndBuildsItOnce)
{
    EXPECT_FALSE(calc().enabled());
    EXPECT_FALSE(dlg.fgZapisTab->visible());
    EXPECT_FALSE(dlg.cmdDelete->enabled());
    const Grid& g = *dlg.fgSoucPovrchOdtok;
    EXPECT_EQ(g.rows(), 20);
    EXPECT_EQ(g.text(2, 2), "0.90");
    EXPECT_EQ(g.mergedRun(10, 0), std::make_pair(8, 7)); // the seven street surfaces

    press(dlg.CancelButton);
    EXPECT_TRUE(calc().enabled());
    open();
    EXPECT_EQ(dlg.fgSoucPovrchOdtok->rows(), 20);
    EXPECT_EQ(dlg.fgSoucPovrchOdtok->text(1, 0), "šikmé střechy");
}

TEST_F(DrainedAreaTest, APickFillsTheCoefficientAndMovingToAnotherColumnDropsIt)
{
    dlg.txtPlocha->setText("30");
    click(dlg.fgSoucPovrchOdtok, 2, 3);
    EXPECT_FLOAT_EQ(dlg.SelectedCoef, 0.9f);
    EXPECT_EQ(dlg.SelectedKind, "pálená krytina, střešní lepenky"); // column 1, not the group
    EXPECT_EQ(dlg.txtSoucinitel->text(), "0.90");
    EXPECT_EQ(dlg.txtPlocha->text(), "");
    EXPECT_EQ(dlg.focusTarget(), dlg.txtPlocha);

    click(dlg.fgSoucPovrchOdtok, 2, 1);
    EXPECT_EQ(dlg.fgSoucPovrchOdtok->cellPicture(2, 3), Grid::Picture::Blank);
    EXPECT_EQ(dlg.txtSoucinitel->text(), "0.90");
    user([&] {
        dlg.txtPlocha->setText("100");
        dlg.cmdZapsat->click();
    });
    EXPECT_EQ(messages.messages,
              (std::vector<Message>{{MessageIcon::Exclamation, "Chyba", "Vyberte odtokový součinitel"}}));
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
}

TEST_F(DrainedAreaTest, RefusedEntriesStoreNothing)
{
    // Neither a coefficient nor an area: only the coefficient is asked for.
    press(dlg.cmdZapsat);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Vyberte odtokový součinitel"});
    click(dlg.fgSoucPovrchOdtok, 1, 3);
    for (const char* area : {"", "0", "12abc", "1,5,0", "1e39"}) {
        messages.messages.clear();
        user([&] {
            dlg.txtPlocha->setText(area);
            dlg.cmdZapsat->click();
        });
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"Zadejte dílčí plochu"}) << area;
    }
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    // A decimal comma is a decimal point.
    user([&] {
        dlg.txtPlocha->setText("12,5");
        dlg.cmdZapsat->click();
    });
    EXPECT_FLOAT_EQ(rec().SubAreaSizes[1], 12.5f);
}

TEST_F(DrainedAreaTest, TwoAreasGiveTheReducedAreaAndOkHandsItToTheMainWindow)
{
    rec().SelIntDeste = 150;
    add(2, "100"); // 0.9
    add(7, "50");  // 0.3
    EXPECT_TRUE(dlg.fgZapisTab->visible());
    EXPECT_EQ(cell(2, 0), "2");
    EXPECT_EQ(cell(2, 2), "0.30");
    EXPECT_EQ(cell(2, 3), "humusová vrstva > 10 cm");
    EXPECT_EQ(rec().SubAreaKinds.slotCount(), 3); // two entries and the spare slot
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "105");
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), ""); // nothing before OK

    press(dlg.OKButton);
    EXPECT_FALSE(dlg.isOpen());
    EXPECT_TRUE(calc().enabled());
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "105");
    EXPECT_EQ(calc().txtOdtokDoInfil->text(), "1.6"); // 105 m² × 150 l/(s·ha)
}

TEST_F(DrainedAreaTest, TheSumIsRoundedToASingleAfterEachEntry)
{
    // Singles near 4194304 lie 0.5 apart: each added 0.25 rounds back (to the
    // even neighbour), where a sum in double precision would reach 4194304.5.
    addTyped("1", "4194304");
    addTyped("1", "0.25");
    addTyped("1", "0.25");
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "4194304");
    EXPECT_EQ(cell(1, 1), "4 194 304");
}

TEST_F(DrainedAreaTest, DeletingTheOnlyEntryEmptiesTheTableAndOkEmptiesTheMainWindow)
{
    calc().txtOdvodNepPlocha->setText("500");
    calc().txtOdtokDoInfil->setText("7.5");
    add(1, "100");
    click(dlg.fgZapisTab, 1, 4);
    EXPECT_TRUE(dlg.cmdDelete->enabled());
    press(dlg.cmdDelete);
    EXPECT_FALSE(dlg.cmdDelete->enabled());
    EXPECT_FALSE(dlg.fgZapisTab->visible());
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    EXPECT_EQ(rec().SubAreaSizes[1], 0.0f);
    EXPECT_EQ(rec().OdvodNepPlocha, 0.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "");

    press(dlg.OKButton);
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "");
    EXPECT_EQ(calc().txtOdtokDoInfil->text(), "");
}

TEST_F(DrainedAreaTest, DeletingAMiddleEntryRenumbersAndTheLastKeepsItsSlotAsTheSpare)
{
    add(1, "100");
    add(2, "200");
    add(3, "300");
    click(dlg.fgZapisTab, 2, 4);
    press(dlg.cmdDelete);
    EXPECT_EQ(cell(2, 0), "2");
    EXPECT_EQ(cell(2, 1), "300");
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 95.0f + 285.0f);

    click(dlg.fgZapisTab, 2, 4);
    press(dlg.cmdDelete);
    EXPECT_EQ(dlg.fgZapisTab->rows(), 2);
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 2);
    EXPECT_EQ(rec().SubAreaSizes[2], 300.0f); // the deleted entry is now the spare slot
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "95");

    press(dlg.cmdDeleteAll);
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    EXPECT_FALSE(dlg.fgZapisTab->visible());
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "");
}

TEST_F(DrainedAreaTest, TheCellEditorStoresEveryChangeAsItIsTyped)
{
    add(2, "100");
    add(7, "50");
    click(dlg.fgZapisTab, 2, 1);
    EXPECT_TRUE(dlg.txtSChange->visible());
    EXPECT_EQ(dlg.txtSChange->text(), "50");
    type("1000");
    EXPECT_EQ(rec().SubAreaSizes[2], 1000.0f);
    EXPECT_EQ(cell(2, 1), "1 000");
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "390");
    // Not a number: the stored value stays and the cell shows it; closing the
    // editor says so.
    type("12abc");
    EXPECT_EQ(rec().SubAreaSizes[2], 1000.0f);
    EXPECT_EQ(cell(2, 1), "1 000");
    messages.messages.clear();
    // Esc closes the editor but undoes nothing.
    user([&] { dlg.txtSChange->keyDown(27); });
    EXPECT_FALSE(dlg.txtSChange->visible());
    EXPECT_EQ(dlg.focusTarget(), dlg.fgZapisTab);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{
                                    "Text „12abc“ v poli „Dílčí plocha“ není číslo. V poli zůstává předchozí hodnota 1000."});

    click(dlg.fgZapisTab, 1, 2);
    EXPECT_EQ(dlg.txtSChange->text(), "0.9");
    type("0.5");
    EXPECT_EQ(cell(1, 2), "0.50");
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 350.0f);

    click(dlg.fgZapisTab, 1, 3);
    type("asfalt");
    EXPECT_EQ(rec().SubAreaKinds[1], "asfalt");
    user([&] { dlg.txtSChange->lostFocus(); });
    EXPECT_FALSE(dlg.txtSChange->visible());

    // Clicking into a grid takes the focus from the editor, as in the window.
    click(dlg.fgZapisTab, 1, 1);
    ASSERT_TRUE(dlg.txtSChange->visible());
    click(dlg.fgZapisTab, 1, 4);
    EXPECT_FALSE(dlg.txtSChange->visible());
    click(dlg.fgZapisTab, 2, 1);
    ASSERT_TRUE(dlg.txtSChange->visible());
    click(dlg.fgSoucPovrchOdtok, 3, 0);
    EXPECT_FALSE(dlg.txtSChange->visible());
}

TEST_F(DrainedAreaTest, ANegativeFirstAreaCountsButTheTableIgnoresClicks)
{
    addTyped("0.5", "-100");
    addTyped("0.5", "300");
    EXPECT_EQ(cell(1, 1), "-100");
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 100.0f);
    click(dlg.fgZapisTab, 2, 4);
    EXPECT_FALSE(dlg.cmdDelete->enabled());
    click(dlg.fgZapisTab, 2, 1);
    EXPECT_FALSE(dlg.txtSChange->visible());
}

TEST_F(DrainedAreaTest, AFirstAreaEditedToZeroStaysAnEntry)
{
    addTyped("1", "100");
    addTyped("1", "200");
    click(dlg.fgZapisTab, 1, 1);
    type("0");
    addTyped("1", "50");
    EXPECT_TRUE(dlg.fgZapisTab->visible());
    EXPECT_EQ(dlg.fgZapisTab->rows(), 4);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "250");
}

TEST_F(DrainedAreaTest, EntriesAreEditedInPlaceAndSurviveCancel)
{
    add(2, "100");
    press(dlg.OKButton);
    open();
    EXPECT_EQ(cell(1, 1), "100");
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "90");
    EXPECT_EQ(dlg.SelectedCoef, 0.0f); // the pick belongs to one opening

    // Added, edited and cancelled: the lists keep every change, only the main
    // window's text is not written.
    add(3, "40");
    click(dlg.fgZapisTab, 1, 1);
    type("500");
    press(dlg.CancelButton);
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 3);
    EXPECT_EQ(rec().SubAreaSizes[1], 500.0f);
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 488.0f); // 500 × 0.9 + 40 × 0.95
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "90");
    open();
    EXPECT_EQ(cell(1, 1), "500");
    EXPECT_EQ(cell(2, 1), "40");

    // The close box is a Cancel.
    press(dlg.cmdDeleteAll);
    user([&] { dlg.close(); });
    EXPECT_TRUE(calc().enabled());
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    EXPECT_EQ(rec().OdvodNepPlocha, 0.0f);
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "90");
}

TEST_F(DrainedAreaTest, AnOverflowingSumLeavesNoAreaBehindAndCanBeMended)
{
    addTyped("1", "3e38");
    addTyped("1", "3e38");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(rec().OdvodNepPlocha, 0.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "");
    // Opening the cell sums again (and tells again), but the editor is there.
    click(dlg.fgZapisTab, 2, 1);
    EXPECT_TRUE(dlg.txtSChange->visible());
    type("1");
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "3E+38");
}
