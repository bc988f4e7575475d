// The rain intensity dialog without a window: lists, grid, pick, editor, OK.
// Station choices read the shared fixture database through the real reader.
#include "AppFixture.h"
#include "RainTestSupport.h"

#include "NumberFormat.h"
#include "model/RainIntensityDialog.h"

#include <algorithm>
#include <filesystem>

using namespace infil;
using namespace infil::model;
using infil::test::AppTest;

namespace {

// Brno (table List84), periodicity 0.2: the fixture's nine values.
constexpr float kBrno02[] = {549.7f, 437.1f, 366.9f, 318.3f, 254.9f, 199.7f, 166.2f, 126.8f, 103.9f};
constexpr float kBanin02[] = {440.4f, 350.2f, 294.0f, 255.1f, 204.2f, 160.0f, 133.1f, 101.6f, 83.3f};

struct AppFolder {
    test::TempDir dir;
};

class RainDialogTest : public AppFolder, public AppTest {
protected:
    RainDialogTest() : AppTest(dir.path().string()) {}

    // Puts the fixture beside the program as its rain database.
    bool withDatabase()
    {
        const auto fixtures = test::fixturesDir();
        if (fixtures.empty())
            return false;
        std::filesystem::copy_file(fixtures / "rain-fixture.mdb", dir / "infil.mdb");
        return true;
    }

    RainIntensityDialog& dlg() { return dynamic_cast<RainIntensityDialog&>(*app.form("frmIntDialog")); }
    void open() { user([&] { calc().cmdEdit[0]->click(); }); }
    void station(const std::string& name)
    {
        const auto& items = dlg().cboSelStanice->items();
        const auto it = std::find(items.begin(), items.end(), name);
        ASSERT_NE(it, items.end()) << name;
        user([&] { dlg().cboSelStanice->setListIndex(static_cast<int>(it - items.begin())); });
    }
    void period(const std::string& text)
    {
        user([&] { ASSERT_TRUE(dlg().cboSelPeriod->selectText(text)); });
    }
    void clickCell(int row, int col)
    {
        user([&] { dlg().fgIntDeste->click(row, col); });
    }
    void ok() { user([&] { dlg().cmdOK->click(); }); }
    std::vector<std::string> column(int col)
    {
        std::vector<std::string> texts;
        for (int r = 1; r < dlg().fgIntDeste->rows(); ++r)
            texts.push_back(dlg().fgIntDeste->text(r, col));
        return texts;
    }
    void expectSeries(const float (&values)[9])
    {
        std::vector<std::string> shown;
        for (int i = 1; i <= 9; ++i) {
            EXPECT_EQ(rec().RainIntensities[i], values[i - 1]) << "slot " << i;
            shown.push_back(num::plain(values[i - 1]));
        }
        EXPECT_EQ(column(1), shown);
    }
};

#define NEED_DATABASE()                                                                                         \
    if (!withDatabase())                                                                                        \
    GTEST_SKIP() << "the shared fixtures folder is not available"

TEST_F(RainDialogTest, FirstOpeningShowsTypedValuesDurationsAndNoPeriodicity)
{
    open();
    RainIntensityDialog& d = dlg();
    ASSERT_TRUE(d.isOpen());
    EXPECT_FALSE(calc().enabled());
    EXPECT_EQ(d.cboSelStanice->items().size(), 93u);
    EXPECT_EQ(rec().StationName, "(Vlastní hodnoty)");
    EXPECT_EQ(d.cboSelPeriod->items(), (std::vector<std::string>{"5", "2", "1", "0.5", "0.2", "0.1", "0.05"}));
    EXPECT_EQ(d.cboSelPeriod->listIndex(), -1);
    EXPECT_FALSE(d.cmdOK->enabled());

    const Grid& g = *d.fgIntDeste;
    EXPECT_EQ(g.rows(), 10);
    EXPECT_EQ(column(0), (std::vector<std::string>{"5", "10", "15", "20", "30", "45", "60", "90", "120"}));
    EXPECT_EQ(column(1), std::vector<std::string>(9, "0"));
    ASSERT_EQ(g.geometry().width, 4702); // 35 %, 35 %, 30 % of it, each to a whole twip
    EXPECT_EQ(g.colWidth(0), 1646);
    EXPECT_EQ(g.colWidth(2), 1411);

    // The close box writes nothing to the main window and enables it again.
    user([&] { d.close(); });
    EXPECT_FALSE(d.isOpen());
    EXPECT_TRUE(calc().enabled());
    EXPECT_EQ(calc().txtSelIntDeste->text(), "");
}

TEST_F(RainDialogTest, AnotherStationRefreshesTheChosenPeriodicity)
{
    NEED_DATABASE();
    open();
    station("Brno");
    period("0.2");
    expectSeries(kBrno02);
    EXPECT_TRUE(dlg().cmdOK->enabled());
    station("Banín - vodárna"); // the same periodicity for the new station
    expectSeries(kBanin02);
    EXPECT_EQ(rec().StationName, "Banín - vodárna");
    EXPECT_EQ(rec().PeriodicityText, "0.2");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RainDialogTest, TypingSwitchesToTypedValuesThatANewPeriodicityKeeps)
{
    NEED_DATABASE();
    open();
    station("Brno");
    period("0.2");
    clickCell(2, 1);
    RainIntensityDialog& d = dlg();
    ASSERT_TRUE(d.txtSChange->visible());
    EXPECT_EQ(d.txtSChange->text(), "437.1");
    EXPECT_EQ(d.cboSelStanice->listIndex(), 0); // opening the cell was a change
    user([&] { d.txtSChange->setText("12,5"); }); // a decimal comma
    EXPECT_EQ(rec().RainIntensities[2], 12.5f);
    EXPECT_EQ(d.fgIntDeste->text(2, 1), "12.5");
    user([&] { d.txtSChange->setText("1e39"); }); // beyond a Single: kept
    EXPECT_EQ(rec().RainIntensities[2], 12.5f);
    messages.messages.clear();
    user([&] { d.txtSChange->keyDown(13); }); // Enter keeps what it could, and says what it could not
    EXPECT_FALSE(d.txtSChange->visible());
    EXPECT_EQ(d.focusTarget(), d.fgIntDeste);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Číslo „1e39“ v poli „Intenzita deště (l/s.ha)“ je mimo rozsah, se kterým "
                                       "program počítá. V poli zůstává předchozí hodnota 12.5."});

    period("5");
    EXPECT_EQ(rec().RainIntensities[2], 12.5f);
    EXPECT_EQ(rec().RainIntensities[3], 366.9f);
    EXPECT_EQ(d.fgIntDeste->text(2, 1), "12.5");
    EXPECT_EQ(rec().StationName, "(Vlastní hodnoty)");
    EXPECT_EQ(rec().PeriodicityText, "5");
}

// Opening a cell already moves the station to typed values and stores the
// cell's text; Esc takes all of that back, Enter keeps it.
TEST_F(RainDialogTest, EscTakesBackTheEditAndTheStationEnterKeepsThem)
{
    NEED_DATABASE();
    open();
    station("Brno");
    period("0.2");
    RainIntensityDialog& d = dlg();
    const int brno = d.cboSelStanice->listIndex();
    const std::string source = rec().RainSource;
    const std::string sourceShown = d.lblSource->caption();
    clickCell(2, 2); // the pick
    clickCell(2, 1);
    user([&] { d.txtSChange->setText("99"); });
    ASSERT_EQ(rec().RainIntensities[2], 99.0f);
    ASSERT_EQ(d.cboSelStanice->listIndex(), 0);
    bool used = false;
    user([&] { used = d.txtSChange->keyDown(27); });
    EXPECT_TRUE(used); // the window does not close on it too
    EXPECT_FALSE(d.txtSChange->visible());
    EXPECT_EQ(d.focusTarget(), d.fgIntDeste);
    expectSeries(kBrno02);
    EXPECT_EQ(d.cboSelStanice->listIndex(), brno);
    EXPECT_EQ(rec().StationName, "Brno");
    EXPECT_EQ(rec().SelIntDeste, kBrno02[1]); // the pick stays
    EXPECT_EQ(rec().RainSource, source);       // and the station's source with it
    EXPECT_EQ(d.lblSource->caption(), sourceShown);
    EXPECT_FALSE(d.cmdSaveToLibrary->enabled());
    EXPECT_TRUE(messages.messages.empty());

    // A duration too, also after a text that is no number.
    clickCell(4, 0);
    user([&] { d.txtSChange->setText("x"); });
    user([&] { d.txtSChange->keyDown(27); });
    EXPECT_EQ(rec().RainDurations[4], 20.0f);
    EXPECT_EQ(d.fgIntDeste->text(4, 0), "20");
    EXPECT_TRUE(messages.messages.empty());

    clickCell(3, 1);
    user([&] { d.txtSChange->setText("77"); });
    user([&] { used = d.txtSChange->keyDown(13); });
    EXPECT_TRUE(used);
    EXPECT_EQ(rec().RainIntensities[3], 77.0f);
    EXPECT_EQ(rec().StationName, "(Vlastní hodnoty)");
    user([&] { used = d.txtSChange->keyDown('A'); });
    EXPECT_FALSE(used);
}

TEST_F(RainDialogTest, EditorSitsInsideItsCellAndStoresAsItOpens)
{
    open();
    RainIntensityDialog& d = dlg();
    const Grid& g = *d.fgIntDeste;
    rec().RainIntensities[4] = 40.26f;
    clickCell(4, 1);
    const Grid::Geometry& e = d.editorGeometry();
    EXPECT_EQ(e.top, g.geometry().top + g.rowHeight() * 4 + 50);
    EXPECT_EQ(e.left, g.geometry().left + g.colWidth(1) + 50);
    EXPECT_EQ(d.txtSChange->text(), "40.3");
    EXPECT_EQ(rec().RainIntensities[4], 40.3f); // the one-decimal text was stored
    EXPECT_EQ(d.focusTarget(), d.txtSChange);

    // A click elsewhere in the grid takes the focus from the editor first.
    clickCell(6, 0);
    EXPECT_EQ(d.editorGeometry().left, g.geometry().left + 50);
    EXPECT_EQ(d.editorRow(), 6);
    user([&] { d.txtSChange->setText(" 7.5"); });
    EXPECT_EQ(rec().RainDurations[6], 7.5f);
    EXPECT_EQ(g.text(6, 0), "8");
    user([&] { d.txtSChange->setText(" 7.5 min"); }); // no number: the slot keeps 7.5
    EXPECT_EQ(rec().RainDurations[6], 7.5f);
    user([&] { d.txtSChange->lostFocus(); });
    EXPECT_FALSE(d.txtSChange->visible());
    EXPECT_EQ(messages.messages.back().text,
              "Text „ 7.5 min“ v poli „Doba trvání deště (min)“ není číslo. V poli zůstává předchozí hodnota 7.5.");
    EXPECT_EQ(rec().RainIntensities[6], 0.0f);
}

TEST_F(RainDialogTest, PickedRowGoesToTheMainWindowOnOk)
{
    NEED_DATABASE();
    open();
    station("Brno");
    period("0.2");
    clickCell(5, 2);
    clickCell(3, 2);
    RainIntensityDialog& d = dlg();
    // Only the current cell shows the check mark.
    EXPECT_EQ(d.fgIntDeste->cellPicture(5, 2), Grid::Picture::Blank);
    EXPECT_EQ(d.fgIntDeste->cellPicture(3, 2), Grid::Picture::Check);
    ok();
    EXPECT_FALSE(d.isOpen());
    EXPECT_TRUE(calc().enabled());
    EXPECT_EQ(calc().txtSelIntDeste->text(), "366.9");
    EXPECT_EQ(calc().txtSelDTrvDeste->text(), "15");

    // Reopening restores station, periodicity and values, and enables OK.
    open();
    EXPECT_EQ(d.cboSelStanice->text(), "Brno");
    EXPECT_EQ(d.cboSelPeriod->text(), "0.2");
    expectSeries(kBrno02);
    EXPECT_TRUE(d.cmdOK->enabled());
    for (int n = 0; n < 3; ++n)
        period("0.2");
    EXPECT_EQ(d.fgIntDeste->rows(), 10);
}

TEST_F(RainDialogTest, OkWithoutAPickWritesWhatStandsAndAlwaysRebuilds)
{
    open();
    period("1");
    rec().RainIntensities[1] = 100;
    rec().SelIntDeste = 0;
    rec().SelDTrvDeste = 30;
    ok();
    EXPECT_FALSE(dlg().isOpen());
    EXPECT_EQ(calc().txtSelIntDeste->text(), "");
    EXPECT_EQ(calc().txtSelDTrvDeste->text(), ""); // only with an intensity

    open();
    rec().SelIntDeste = 80.5f;
    rec().SelDTrvDeste = 0;
    ok();
    EXPECT_EQ(calc().txtSelIntDeste->text(), "80.5");
    EXPECT_EQ(calc().txtSelDTrvDeste->text(), "");
}

TEST(IntensitySum, RoundsAfterEveryAdditionTiesToEven)
{
    RainSeries s{};
    auto fill = [&s](std::initializer_list<float> values) {
        s = {};
        int i = 1;
        for (float v : values)
            s[i++] = v;
        return intensitySum(s);
    };
    EXPECT_EQ(fill({0.4f, 0.4f, 0.4f, 0.4f, 0.4f, 0.4f, 0.4f, 0.4f, 0.4f}), 0);
    EXPECT_EQ(fill({0.5f, 0.5f, 0.5f}), 0);      // 0.5 -> 0 each time
    EXPECT_EQ(fill({1.5f, 1.0f}), 3);            // 1.5 -> 2, then 3
    EXPECT_EQ(fill({2.5f, 0.6f}), 3);            // 2.5 -> 2, 2.6 -> 3
    EXPECT_EQ(fill({-120.0f, 120.0f}), 0);       // cancelling values are empty too
    EXPECT_EQ(fill({32767.0f}), 32767);
    EXPECT_EQ(fill({30000.0f, 30000.0f}), std::nullopt); // beyond 16 bits
    EXPECT_EQ(fill({-32768.0f, -0.6f}), std::nullopt);
}

TEST_F(RainDialogTest, StationWithoutATableFallsBackWhenTheDialogReopens)
{
    NEED_DATABASE();
    rec().StationName = "Praha - Podbaba (VÚV)"; // no table List36 in the fixture
    rec().PeriodicityText = "0.2";
    open();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("List36"), std::string::npos);
    EXPECT_EQ(dlg().cboSelStanice->listIndex(), 0);
    EXPECT_EQ(dlg().cboSelPeriod->text(), "0.2");
    EXPECT_TRUE(dlg().cmdOK->enabled());
}

} // namespace
