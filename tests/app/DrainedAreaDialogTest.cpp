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

    void open()
    {
        user([&] { calc().cmdEdit[1]->click(); });
    }
    // Picks runoff row `row` in the "Výběr" column and adds an area.
    void add(int row, const std::string& area)
    {
        user([&] {
            dlg.fgSoucPovrchOdtok->click(row, 3);
            dlg.txtPlocha->setText(area);
            dlg.cmdZapsat->click();
        });
    }
    // Adds an area with a typed coefficient.
    void addTyped(const std::string& coef, const std::string& area)
    {
        user([&] {
            dlg.txtSoucinitel->setText(coef);
            dlg.txtPlocha->setText(area);
            dlg.txtPlocha->keyDown(13);
        });
    }
    std::vector<std::string> row(int r) const
    {
        std::vector<std::string> texts;
        for (int c = 0; c < dlg.fgZapisTab->cols(); ++c)
            texts.push_back(dlg.fgZapisTab->text(r, c));
        return texts;
    }
    void click(Grid* grid, int r, int c)
    {
        user([&] { grid->click(r, c); });
    }
    void type(const std::string& text)
    {
        user([&] { dlg.txtSChange->setText(text); });
    }
    int checkMarks(const Grid& g) const
    {
        int n = 0;
        for (int r = 1; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                n += g.cellPicture(r, c) == Grid::Picture::Check;
        return n;
    }

    DrainedAreaDialog& dlg;
};

} // namespace

TEST_F(DrainedAreaTest, OpensWithTheRunoffTableAndNoEntriesOverADisabledMainWindow)
{
    EXPECT_TRUE(dlg.isOpen());
    EXPECT_FALSE(calc().enabled());
    EXPECT_FALSE(dlg.fgZapisTab->visible());
    EXPECT_FALSE(dlg.cmdDelete->enabled());
    EXPECT_FALSE(dlg.txtSChange->visible());

    const Grid& g = *dlg.fgSoucPovrchOdtok;
    EXPECT_EQ(g.rows(), 20);
    EXPECT_EQ(g.cols(), 4);
    EXPECT_EQ(g.text(0, 1), "Způsob zpevnění povrchu");
    EXPECT_EQ(g.text(0, 3), "Výběr");
    EXPECT_EQ(g.text(1, 0), "šikmé střechy");
    EXPECT_EQ(g.text(2, 2), "0.90");
    EXPECT_EQ(g.text(19, 1), "prudce svažitý terén");
    EXPECT_EQ(g.text(19, 2), "0.20");
    EXPECT_EQ(g.mergedRun(10, 0), std::make_pair(8, 7)); // the seven street surfaces
    EXPECT_FALSE(g.mergeCol(1));
    EXPECT_EQ(g.colAlignment(1), Grid::Align::Left);
    EXPECT_EQ(g.colAlignment(2), Grid::Align::Center);
    EXPECT_EQ(g.colAlignment(3), Grid::Align::Center);
    EXPECT_EQ(g.colWidth(1), 5648); // half of 11295 twips
    EXPECT_EQ(g.colWidth(2), 1130);

    // Reopening builds the same table, not a second copy of it.
    user([&] { dlg.CancelButton->click(); });
    EXPECT_TRUE(calc().enabled());
    open();
    EXPECT_EQ(dlg.fgSoucPovrchOdtok->rows(), 20);
    EXPECT_EQ(dlg.fgSoucPovrchOdtok->text(1, 0), "šikmé střechy");
}

TEST_F(DrainedAreaTest, PickingInTheChoiceColumnFillsTheCoefficientAndMovingAwayDropsIt)
{
    dlg.txtPlocha->setText("30");
    click(dlg.fgSoucPovrchOdtok, 2, 3);
    EXPECT_EQ(dlg.fgSoucPovrchOdtok->cellPicture(2, 3), Grid::Picture::Check);
    EXPECT_FLOAT_EQ(dlg.SelectedCoef, 0.9f);
    EXPECT_EQ(dlg.SelectedKind, "pálená krytina, střešní lepenky"); // column 1, not the group
    EXPECT_EQ(dlg.txtSoucinitel->text(), "0.90");
    EXPECT_EQ(dlg.txtPlocha->text(), "");
    EXPECT_EQ(dlg.focusTarget(), dlg.txtPlocha);

    // Another pick moves the one check mark.
    click(dlg.fgSoucPovrchOdtok, 5, 3);
    EXPECT_EQ(checkMarks(*dlg.fgSoucPovrchOdtok), 1);
    EXPECT_EQ(dlg.txtSoucinitel->text(), "0.70");

    // A click in another column drops the pick, though the box keeps the number.
    click(dlg.fgSoucPovrchOdtok, 5, 1);
    EXPECT_EQ(checkMarks(*dlg.fgSoucPovrchOdtok), 0);
    EXPECT_EQ(dlg.SelectedCoef, 0.0f);
    EXPECT_EQ(dlg.txtSoucinitel->text(), "0.70");
    user([&] {
        dlg.txtPlocha->setText("100");
        dlg.cmdZapsat->click();
    });
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], (Message{MessageIcon::Exclamation, "Chyba", "Vyberte odtokový součinitel"}));
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
}

TEST_F(DrainedAreaTest, RefusedEntriesStoreNothing)
{
    // Neither a coefficient nor an area: only the coefficient is asked for.
    user([&] { dlg.cmdZapsat->click(); });
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Vyberte odtokový součinitel"});

    click(dlg.fgSoucPovrchOdtok, 1, 3);
    for (const char* area : {"", "0", "abc", "12abc", "1,5", "1e39", "0.0"}) {
        messages.messages.clear();
        user([&] {
            dlg.txtPlocha->setText(area);
            dlg.cmdZapsat->click();
        });
        EXPECT_EQ(messages.messages, (std::vector<Message>{{MessageIcon::Exclamation, "Chyba", "Zadejte dílčí plochu"}}))
            << area;
    }
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    EXPECT_FALSE(dlg.fgZapisTab->visible());
}

TEST_F(DrainedAreaTest, TwoAreasGiveTheReducedAreaAndOkHandsItToTheMainWindow)
{
    rec().SelIntDeste = 150;
    add(2, "100");   // 0.9, by the button
    click(dlg.fgSoucPovrchOdtok, 7, 3); // 0.3
    user([&] {
        dlg.txtPlocha->setText("50");
        dlg.txtPlocha->keyDown(13); // Enter adds as the button does
    });
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(dlg.fgZapisTab->visible());
    EXPECT_EQ(dlg.fgZapisTab->rows(), 3);
    EXPECT_EQ(row(1), (std::vector<std::string>{"1", "100", "0.90", "pálená krytina, střešní lepenky", ""}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"2", "50", "0.30", "humusová vrstva > 10 cm", ""}));
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 3); // two entries and the spare slot
    EXPECT_EQ(rec().SubAreaKinds.slotCount(), 3);
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 105.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "105");
    // The pick and the area stay for the next entry.
    EXPECT_EQ(dlg.txtPlocha->text(), "50");
    EXPECT_FLOAT_EQ(dlg.SelectedCoef, 0.3f);
    // The main window learns nothing before OK.
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "");

    user([&] { dlg.OKButton->click(); });
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
    EXPECT_EQ(rec().OdvodNepPlocha, 4194304.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "4194304");
    EXPECT_EQ(row(1)[1], "4 194 304");
    EXPECT_EQ(row(2)[1], "0");
}

TEST_F(DrainedAreaTest, ATypedCoefficientServesWithoutAPickAndKeepsTheEarlierKind)
{
    addTyped("0.5", "10");
    EXPECT_FLOAT_EQ(rec().SubAreaCoefs[1], 0.5f);
    EXPECT_EQ(rec().SubAreaKinds[1], "");
    add(3, "20");
    addTyped("0.45", "40");
    EXPECT_EQ(rec().SubAreaKinds[3], "kov, sklo, vláknocementová krytina");
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 5.0f + 19.0f + 18.0f);
}

TEST_F(DrainedAreaTest, DeletingTheOnlyEntryEmptiesTheTableAndOkEmptiesTheMainWindow)
{
    calc().txtOdvodNepPlocha->setText("500");
    calc().txtOdtokDoInfil->setText("7.5");
    add(1, "100");
    click(dlg.fgZapisTab, 1, 4);
    EXPECT_EQ(dlg.fgZapisTab->cellPicture(1, 4), Grid::Picture::Check);
    EXPECT_EQ(dlg.SelectedRow, 1);
    EXPECT_TRUE(dlg.cmdDelete->enabled());
    user([&] { dlg.cmdDelete->click(); });
    EXPECT_FALSE(dlg.cmdDelete->enabled());
    EXPECT_FALSE(dlg.fgZapisTab->visible());
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    EXPECT_EQ(rec().SubAreaSizes[1], 0.0f);
    EXPECT_EQ(rec().SubAreaCoefs[1], 0.0f);
    EXPECT_EQ(rec().SubAreaKinds[1], "");
    EXPECT_EQ(rec().OdvodNepPlocha, 0.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "");

    user([&] { dlg.OKButton->click(); });
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "");
    EXPECT_EQ(calc().txtOdtokDoInfil->text(), "");
}

TEST_F(DrainedAreaTest, DeletingAMiddleEntryRenumbersAndTheLastKeepsItsSlotAsTheSpare)
{
    add(1, "100");
    add(2, "200");
    add(3, "300");
    click(dlg.fgZapisTab, 2, 4);
    user([&] { dlg.cmdDelete->click(); });
    EXPECT_EQ(dlg.fgZapisTab->rows(), 3);
    EXPECT_EQ(row(2)[0], "2");
    EXPECT_EQ(row(2)[1], "300");
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 3);
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 95.0f + 285.0f);

    click(dlg.fgZapisTab, 2, 4);
    user([&] { dlg.cmdDelete->click(); });
    EXPECT_EQ(dlg.fgZapisTab->rows(), 2);
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 2);
    EXPECT_EQ(rec().SubAreaSizes[2], 300.0f); // the deleted entry now is the spare slot
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 95.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "95");

    // Leaving the marked cell takes the mark and the button away.
    click(dlg.fgZapisTab, 1, 4);
    EXPECT_TRUE(dlg.cmdDelete->enabled());
    user([&] { dlg.fgZapisTab->navigate(1, 3); });
    EXPECT_FALSE(dlg.cmdDelete->enabled());
    EXPECT_EQ(checkMarks(*dlg.fgZapisTab), 0);

    user([&] { dlg.cmdDeleteAll->click(); });
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    EXPECT_FALSE(dlg.fgZapisTab->visible());
    EXPECT_EQ(rec().OdvodNepPlocha, 0.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "");
}

TEST_F(DrainedAreaTest, TheCellEditorStoresEveryChangeAsItIsTyped)
{
    add(2, "100");
    add(7, "50");

    click(dlg.fgZapisTab, 2, 1);
    EXPECT_TRUE(dlg.txtSChange->visible());
    EXPECT_EQ(dlg.txtSChange->text(), "50");
    EXPECT_EQ(dlg.focusTarget(), dlg.txtSChange);
    type("1000");
    EXPECT_EQ(rec().SubAreaSizes[2], 1000.0f);
    EXPECT_EQ(row(2)[1], "1 000");
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "390");
    // Not a number: the stored value stays, the cell shows the leading number.
    type("12abc");
    EXPECT_EQ(rec().SubAreaSizes[2], 1000.0f);
    EXPECT_EQ(row(2)[1], "12");
    type("");
    EXPECT_EQ(row(2)[1], "12");
    // Esc closes the editor but undoes nothing.
    user([&] { dlg.txtSChange->keyDown(27); });
    EXPECT_FALSE(dlg.txtSChange->visible());
    EXPECT_EQ(dlg.focusTarget(), dlg.fgZapisTab);

    click(dlg.fgZapisTab, 1, 2);
    EXPECT_EQ(dlg.txtSChange->text(), "0.9");
    type("0.5");
    EXPECT_EQ(row(1)[2], "0.50");
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 350.0f);
    user([&] { dlg.txtSChange->keyDown(13); });
    EXPECT_FALSE(dlg.txtSChange->visible());

    click(dlg.fgZapisTab, 1, 3);
    type("asfalt");
    EXPECT_EQ(rec().SubAreaKinds[1], "asfalt");
    EXPECT_EQ(row(1)[3], "asfalt");
    user([&] { dlg.txtSChange->lostFocus(); });
    EXPECT_FALSE(dlg.txtSChange->visible());

    // The number column keeps the editor's last text and stores nothing.
    click(dlg.fgZapisTab, 2, 0);
    EXPECT_EQ(dlg.txtSChange->text(), "asfalt");
    type("7");
    EXPECT_EQ(row(2)[0], "2");
    EXPECT_EQ(rec().SubAreaKinds[1], "asfalt");
}

TEST_F(DrainedAreaTest, OpeningACellStoresItsShownValue)
{
    // Up to 7 digits are shown, and opening counts as typing them.
    addTyped("1", "1234.5678");
    EXPECT_EQ(rec().SubAreaSizes[1], 1234.5678f);
    click(dlg.fgZapisTab, 1, 1);
    EXPECT_EQ(dlg.txtSChange->text(), "1234.568");
    EXPECT_EQ(rec().SubAreaSizes[1], 1234.568f);
}

TEST_F(DrainedAreaTest, ANegativeFirstAreaCountsButTheTableIgnoresClicks)
{
    addTyped("0.5", "-100");
    addTyped("0.5", "300");
    EXPECT_TRUE(dlg.fgZapisTab->visible());
    EXPECT_EQ(row(1)[1], "-100");
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
    user([&] { dlg.txtSChange->keyDown(13); });
    addTyped("1", "50");
    EXPECT_TRUE(dlg.fgZapisTab->visible());
    EXPECT_EQ(dlg.fgZapisTab->rows(), 4);
    EXPECT_EQ(rec().OdvodNepPlocha, 250.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "250");
}

TEST_F(DrainedAreaTest, ReopeningShowsTheEntriesOkKeptAndCancelThrowsAwayTheRest)
{
    add(2, "100");
    user([&] { dlg.OKButton->click(); });
    open();
    EXPECT_TRUE(dlg.fgZapisTab->visible());
    EXPECT_EQ(row(1)[1], "100");
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "90");
    EXPECT_EQ(dlg.txtSoucinitel->text(), ""); // the pick belongs to one opening
    EXPECT_EQ(dlg.SelectedCoef, 0.0f);

    // Added, edited and cancelled: the project is as the main window shows it.
    add(3, "40");
    click(dlg.fgZapisTab, 1, 1);
    type("500");
    user([&] { dlg.CancelButton->click(); });
    EXPECT_TRUE(calc().enabled());
    EXPECT_FALSE(dlg.txtSChange->visible());
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 2);
    EXPECT_EQ(rec().SubAreaSizes[1], 100.0f);
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 90.0f);
    EXPECT_EQ(calc().txtOdvodNepPlocha->text(), "90");

    // The close box is a Cancel.
    open();
    EXPECT_EQ(dlg.fgZapisTab->rows(), 2);
    user([&] { dlg.cmdDeleteAll->click(); });
    user([&] { dlg.close(); });
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 2);
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 90.0f);
}

TEST_F(DrainedAreaTest, AnOverflowingSumLeavesNoAreaBehindAndTellsTheUser)
{
    addTyped("1", "3e38");
    addTyped("1", "3e38");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(rec().OdvodNepPlocha, 0.0f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "");
    // The entry can be mended: opening its cell sums again (and tells again),
    // but the editor is there to type the right area.
    click(dlg.fgZapisTab, 2, 1);
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(dlg.txtSChange->visible());
    type("1");
    EXPECT_FLOAT_EQ(rec().OdvodNepPlocha, 3e38f);
    EXPECT_EQ(dlg.txtOdvodNepPlocha->text(), "3E+38");
}
