// The main window's behaviour without a window: reading rules, design mode and
// technology, shaft geometry, the overflow and drainage panels, tabs.
#include "AppFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <filesystem>
#include <fstream>

using namespace infil;
using namespace infil::model;
using infil::test::AppTest;

using CalcFormTest = AppTest;

TEST_F(CalcFormTest, StartsOnTheFirstTabWithDefaultsAndNothingChosen)
{
    EXPECT_EQ(calc().tab(), 0);
    EXPECT_EQ(calc().shownPane(), 0);
    EXPECT_EQ(calc().state().TechIndex, 0);
    EXPECT_FALSE(calc().cboSelType->enabled());
    EXPECT_TRUE(calc().cboSelType->items().empty());
    EXPECT_FLOAT_EQ(rec().SoucBezp, 1.2f);
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 1);
    for (int k : {1, 2, 3, 4, 5})
        EXPECT_EQ(calc().box("txtSoucBezp", k).text(), "1.2");
    // Both trench panes show the porosity in use.
    EXPECT_EQ(calc().box("txtPorVyplne", 3).text(), "0.35");
    EXPECT_EQ(calc().box("txtPorVyplne", 4).text(), "0.35");
    EXPECT_FALSE(calc().cmdEdit[3]->enabled());
    EXPECT_TRUE(messages.messages.empty());
}

// A control declared inside a frame, pane or panel stands in one of its rows, so
// the window, which lays out rows, shows it; and every box shows its field on one
// pane only.
TEST_F(CalcFormTest, EveryControlInAContainerStandsInOneOfItsRows)
{
    for (const auto& control : calc().controls()) {
        const Control* container = control->parent();
        if (!container)
            continue;
        int found = 0;
        for (const Row& row : calc().rows(container))
            for (const Control* c : row.controls)
                found += c == control.get();
        EXPECT_EQ(found, 1) << control->key() << " in " << container->key();
    }
    EXPECT_EQ(&calc().boxShowing(&ProjectRecord::ObjAkum, 6), &calc().box("txtObjAkum", 6));
    EXPECT_EQ(&calc().boxShowing(&ProjectRecord::HloubkaSachty, 5), &calc().box("txtHloubkaSachty"));
    EXPECT_THROW(calc().boxShowing(&ProjectRecord::HloubkaSachty, 4), std::logic_error);
    EXPECT_THROW(calc().box("txtObjAkum", 1), std::logic_error);
}

TEST_F(CalcFormTest, FiltrationCoefficientUsesTheLeadingNumberOfAnUnfinishedExponent)
{
    TextBox& box = *calc().txtSoucFiltrace;
    box.setText("1.5e-");
    EXPECT_EQ(box.text(), "1.5e-");
    EXPECT_FLOAT_EQ(rec().SoucFiltrace, 1.5f);
    box.setText("2E-"); // an uppercase E reads like e
    EXPECT_EQ(box.text(), "2E-");
    EXPECT_FLOAT_EQ(rec().SoucFiltrace, 2.0f);
    box.setText("1.5e-05");
    box.lostFocus();
    EXPECT_EQ(box.text(), "1.5E-05");
    EXPECT_FLOAT_EQ(rec().SoucFiltrace, 1.5e-5f);
    // Leaving a box whose leading number is not positive leaves its text alone.
    box.setText("0");
    box.lostFocus();
    EXPECT_EQ(box.text(), "0");
    EXPECT_TRUE(messages.messages.empty());
}

// The user's mistake: a decimal comma. It is read as the point and shown as
// the program's own form once the box is left.
TEST_F(CalcFormTest, ADecimalCommaIsTheDecimalPoint)
{
    TextBox& width = calc().box("txtSirkaRyhy", 4);
    user([&] { width.setText("0,8"); });
    EXPECT_FLOAT_EQ(rec().SirkaRyhy, 0.8f);
    EXPECT_EQ(width.text(), "0,8");
    user([&] { width.lostFocus(); });
    EXPECT_EQ(width.text(), "0.8");
    EXPECT_FLOAT_EQ(rec().SirkaRyhy, 0.8f);
    user([&] { calc().txtSoucFiltrace->setText("2,5e-5"); });
    user([&] { calc().txtSoucFiltrace->lostFocus(); });
    EXPECT_EQ(calc().txtSoucFiltrace->text(), "2.5E-05");
    EXPECT_TRUE(messages.messages.empty());
}

// The user's mistake: a text that is no number, or a number beyond what the
// program computes with, left in a box. It is named, with the box, and the box
// shows the value still in use again.
TEST_F(CalcFormTest, ATextLeftAsNoNumberIsNamedAndTheValueInUseShownAgain)
{
    TextBox& hpv = calc().box("txtHPV");
    user([&] { hpv.setText("2.5"); });
    user([&] { hpv.setText("2.5 m"); });
    EXPECT_EQ(hpv.text(), "2.5 m"); // typing is never undone
    EXPECT_FLOAT_EQ(rec().HPV, 2.5f);
    user([&] { hpv.lostFocus(); });
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0],
              (Message{MessageIcon::Exclamation, "Infil",
                       "Text „2.5 m“ v poli „Hladina podzemní vody (pod povrchem)“ není číslo. V poli zůstává "
                       "předchozí hodnota 2.5."}));
    EXPECT_EQ(hpv.text(), "2.5");

    user([&] { hpv.setText("1e39"); });
    EXPECT_FLOAT_EQ(rec().HPV, 2.5f);
    user([&] { hpv.lostFocus(); });
    EXPECT_EQ(messages.messages.back().text,
              "Číslo „1e39“ v poli „Hladina podzemní vody (pod povrchem)“ je mimo rozsah, se kterým program "
              "počítá. V poli zůstává předchozí hodnota 2.5.");
    EXPECT_EQ(hpv.text(), "2.5");

    TextBox& depth = calc().box("txtHloubkaNadrz");
    user([&] { depth.setText("-"); });
    user([&] { depth.lostFocus(); });
    EXPECT_EQ(messages.messages.back().text,
              "Text „-“ v poli „Hloubka nádrže“ není číslo. Pole zůstává prázdné.");
    EXPECT_EQ(depth.text(), "");
    EXPECT_EQ(rec().HloubkaNadrz, 0.0f);
}

// Typing a number key by key never destroys it: every prefix waits as typed, in
// every kind of box, and the field ends as the whole number read.
TEST_F(CalcFormTest, TypingAnyNumberKeyByKeyKeepsEveryPrefix)
{
    std::vector<std::string> numbers = {"-12.5", "0,8", "1e-5", "1E-05", "2,5E+3", "+3", ".5", ",25",
                                        "1 234,5", "-0.001", "7", "4.5e1", "10", "0,35"};
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> mantissa(-999.0, 999.0);
    std::uniform_int_distribution<int> exponent(-8, 6), style(0, 3);
    for (int i = 0; i < 200; ++i) {
        char text[64];
        const double m = mantissa(random);
        switch (style(random)) {
        case 0: std::snprintf(text, sizeof text, "%.3f", m); break;
        case 1: std::snprintf(text, sizeof text, "%.2fe%d", m, exponent(random)); break;
        case 2: std::snprintf(text, sizeof text, "%.1fE%+d", m, exponent(random)); break;
        default: std::snprintf(text, sizeof text, "%.4f", m / 100); break;
        }
        std::string typed = text;
        std::replace(typed.begin(), typed.end(), ',', '.'); // whatever the C locale wrote
        if (i % 2 == 1)
            std::replace(typed.begin(), typed.end(), '.', ','); // as a Czech user types it
        numbers.push_back(typed);
    }
    struct Kind {
        const char* box;
        num::Reading (*rule)(std::string_view);
    };
    const Kind kinds[] = {{"txtHPV", num::ruleR}, {"txtSoucFiltrace", num::ruleK},
                          {"txtSachtyCount", num::ruleI}, {"txtPotrHloubkaZahl", num::ruleP}};
    for (const Kind& kind : kinds) {
        TextBox& box = calc().box(kind.box);
        for (const std::string& number : numbers) {
            SCOPED_TRACE(std::string(kind.box) + " <- " + number);
            user([&] { box.setText(""); });
            for (std::size_t n = 1; n <= number.size(); ++n) {
                const std::string prefix = number.substr(0, n);
                user([&] { box.setText(prefix); });
                ASSERT_EQ(box.text(), prefix);
            }
            const num::Reading whole = kind.rule(number);
            if (whole.action != num::Reading::Action::Store)
                continue; // a whole number beyond 16 bits: kept as typed, reported when left
            if (kind.rule == num::ruleI && (whole.value < 1 || whole.value > 50))
                continue; // the shaft count takes only what its up-down allows
            const double field = kind.rule == num::ruleI ? rec().SachtyCount
                                 : kind.box == std::string("txtHPV") ? rec().HPV
                                 : kind.box == std::string("txtSoucFiltrace") ? rec().SoucFiltrace
                                                                             : rec().PotrHloubkaZahl;
            EXPECT_EQ(field, whole.value);
        }
    }
    // Rule T takes every text as it is.
    for (const std::string& number : numbers) {
        for (std::size_t n = 1; n <= number.size(); ++n)
            user([&] { calc().box("txtProjName").setText(number.substr(0, n)); });
        EXPECT_EQ(rec().ProjName, number);
    }
    EXPECT_TRUE(messages.messages.empty());
}

// What is shown is what is used: every box of one field shows it.
TEST_F(CalcFormTest, EveryBoxOfAFieldShowsItsValue)
{
    user([&] { calc().box("txtSoucBezp", 2).setText("1.5"); });
    for (int k : {1, 2, 3, 4, 5})
        EXPECT_EQ(calc().box("txtSoucBezp", k).text(), "1.5") << k;
    user([&] { calc().box("txtSoucBezp", 4).setText(""); });
    EXPECT_EQ(rec().SoucBezp, 0.0f);
    EXPECT_EQ(calc().box("txtSoucBezp", 3).text(), "");
    user([&] { calc().box("txtPrumTroubVnit", 3).setText("100"); });
    EXPECT_EQ(calc().box("txtPrumTroubVnit", 4).text(), "100");
    // A text still being typed shows nowhere else; the value in use stays shown.
    user([&] { calc().box("txtPorVyplne", 3).setText("0."); });
    EXPECT_EQ(calc().box("txtPorVyplne", 4).text(), "0.");
    user([&] { calc().box("txtPorVyplne", 3).setText("0.x"); });
    EXPECT_EQ(calc().box("txtPorVyplne", 4).text(), "0.");
    EXPECT_FLOAT_EQ(rec().PorVyplne, 0.0f);
}

// A coefficient typed by hand is no longer the picked soil's.
TEST_F(CalcFormTest, TypingACoefficientClearsThePickedSoilsName)
{
    rec().SoucFiltrace = 2e-5f;
    user([&] {
        calc().txtSoucFiltrace->setText("2.0E-05");
        calc().txtTypPudyPodlozi->setText("Jemný písek");
        calc().soilPicked();
    });
    user([&] { calc().txtSoucFiltrace->setText("2.0E-05 "); }); // the same value
    EXPECT_EQ(rec().TypPudyPodlozi, "Jemný písek");
    user([&] { calc().txtSoucFiltrace->setText("3e-5"); });
    EXPECT_EQ(rec().TypPudyPodlozi, "");
    EXPECT_EQ(calc().txtTypPudyPodlozi->text(), "");
    // A name the user typed is the user's: it stays.
    user([&] { calc().txtTypPudyPodlozi->setText("hlinitý písek"); });
    user([&] { calc().txtSoucFiltrace->setText("4e-5"); });
    EXPECT_EQ(rec().TypPudyPodlozi, "hlinitý písek");
}

TEST_F(CalcFormTest, InflowFollowsTheAreaOnlyOnceAnIntensityIsKnown)
{
    rec().OdvodNepPlocha = 1000;
    calc().txtOdvodNepPlocha->setText("1000");
    EXPECT_EQ(calc().txtOdtokDoInfil->text(), "");
    rec().SelIntDeste = 150;
    calc().txtSelIntDeste->setText("150");
    EXPECT_EQ(calc().txtOdtokDoInfil->text(), "15.0");
    EXPECT_FLOAT_EQ(rec().OdtokDoInfil, 15.0f);
}

TEST_F(CalcFormTest, DecentralisedModeListsFiveTechnologiesAndShowsNoPane)
{
    user([&] { calc().optSelType[0]->click(); });
    const auto& items = calc().cboSelType->items();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], "[Vyber typ zasakování]");
    EXPECT_EQ(items[5], "Šachtové infilování");
    EXPECT_EQ(calc().cboSelType->listIndex(), 0);
    EXPECT_TRUE(calc().cboSelType->enabled());
    EXPECT_EQ(calc().shownPane(), 0);
    user([&] { calc().cboSelType->setListIndex(5); });
    EXPECT_EQ(calc().state().TechIndex, 5);
    EXPECT_EQ(calc().shownPane(), 5);
}

TEST_F(CalcFormTest, CentralisedModeWithoutAreaRemindsAndKeepsTheOldMode)
{
    user([&] { calc().optSelType[1]->click(); });
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Zadejte nepropustnou odvodňovanou plochu");
    EXPECT_EQ(messages.messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.messages[0].title, "Infil");
    EXPECT_EQ(calc().state().DesignMode, 0);
    EXPECT_EQ(calc().state().TechIndex, 5);
    EXPECT_EQ(calc().cboSelType->items(), std::vector<std::string>{"Infilovací nádrže"});
    EXPECT_FALSE(calc().cboSelType->enabled());
}

TEST_F(CalcFormTest, CentralisedModeWithoutSoilRemindsAndFocusesTheCoefficient)
{
    rec().OdvodNepPlocha = 500;
    user([&] { calc().optSelType[1]->click(); });
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Zadejte součinitel filtrace podloží"});
    EXPECT_EQ(calc().focusTarget(), calc().txtSoucFiltrace);

    messages.messages.clear();
    rec().SoucFiltrace = 1e-5f;
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().optSelType[1]->click(); });
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(calc().state().DesignMode, 1);
    EXPECT_EQ(calc().state().TechIndex, 6);
    EXPECT_EQ(calc().shownPane(), 6);
}

TEST_F(CalcFormTest, EnteringTheListRemindsOfMissingInputs)
{
    user([&] { calc().cboSelType->gotFocus(); });
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Zadejte nepropustnou odvodňovanou plochu"});
    rec().OdvodNepPlocha = 10;
    user([&] { calc().cboSelType->gotFocus(); });
    EXPECT_EQ(messages.texts().back(), "Zadejte součinitel filtrace podloží");
}

TEST_F(CalcFormTest, RebuildCalcShowsTheSelectedPaneAgain)
{
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().cboSelType->setListIndex(5); });
    user([&] { calc().optSelTypPudy5[1]->click(); });
    EXPECT_TRUE(calc().txtVyskaPiskVrstvy->enabled());
    user([&] { calc().RebuildCalc(); });
    EXPECT_EQ(calc().shownPane(), 5);
    EXPECT_EQ(calc().cboSelType->listIndex(), 5);
    // ClearResults re-applied the remembered filter option.
    EXPECT_TRUE(calc().optSelTypPudy5[1]->value());
    EXPECT_TRUE(calc().txtVyskaPiskVrstvy->enabled());
    user([&] { calc().optSelTypPudy5[0]->click(); });
    EXPECT_FALSE(calc().txtVyskaPiskVrstvy->enabled());
    EXPECT_EQ(calc().txtVyskaPiskVrstvy->background(), TextBox::Background::ButtonFace);
}

TEST_F(CalcFormTest, RectangularProductGivesEquivalentDiametersFromTheShownSizes)
{
    user([&] { calc().optSelTypSachty[1]->click(); });
    ASSERT_EQ(calc().cboTypSachty->items().size(), 10u);
    EXPECT_EQ(calc().cboTypSachty->items()[0], "PNC 240/190/..");
    user([&] { calc().cboTypSachty->setListIndex(0); });
    EXPECT_EQ(calc().txtPrumerSachtyVnit->text(), "2.40");
    EXPECT_EQ(calc().txtPrumerSachtyVnej->text(), "1.90");
    EXPECT_EQ(calc().txtTloustkaSteny->text(), "0.10");
    EXPECT_TRUE(calc().txtPrumerSachtyVnej->enabled());
    // √(4 × 2.4 × 1.9 / π) and √(4 × 2.5 × 2.0 / π), one wall added to each side.
    EXPECT_NEAR(rec().PrumerSachtyVnit, 2.40956, 1e-4);
    EXPECT_NEAR(rec().ShaftOuterDiameter, 2.5231, 1e-4);
    EXPECT_FLOAT_EQ(rec().ShaftWidth, 2.4f);
    EXPECT_FLOAT_EQ(rec().ShaftLength, 1.9f);
}

TEST_F(CalcFormTest, RoundProductShowsTwoDecimalsAndComputesWithThem)
{
    user([&] { calc().optSelTypSachty[0]->click(); });
    ASSERT_EQ(calc().cboTypSachty->items().size(), 8u);
    user([&] { calc().cboTypSachty->setListIndex(3); }); // TBS - Q.1 120/.., wall 0.135
    EXPECT_EQ(calc().txtPrumerSachtyVnit->text(), "1.20");
    EXPECT_EQ(calc().txtTloustkaSteny->text(), "0.14");
    EXPECT_FALSE(calc().txtPrumerSachtyVnej->enabled());
    EXPECT_FLOAT_EQ(rec().TloustkaSteny, 0.14f);
    EXPECT_FLOAT_EQ(rec().ShaftOuterDiameter, 1.48f);
    // Picking it again gives the same values: the shown text is always read back.
    user([&] { calc().cboTypSachty->setListIndex(3); });
    EXPECT_FLOAT_EQ(rec().ShaftOuterDiameter, 1.48f);
    // Another shape empties the three boxes and their fields.
    user([&] { calc().optSelTypSachty[1]->click(); });
    EXPECT_EQ(calc().txtPrumerSachtyVnit->text(), "");
    EXPECT_EQ(rec().PrumerSachtyVnit, 0.0f);
    EXPECT_EQ(rec().TloustkaSteny, 0.0f);
    EXPECT_EQ(calc().state().ShaftShape, 1);
}

TEST_F(CalcFormTest, UpDownControlsStayWithinTheirLimits)
{
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().cboSelType->setListIndex(5); });
    for (int i = 0; i < 60; ++i)
        calc().control<UpDown>("updSacht").up();
    EXPECT_EQ(calc().box("txtSachtyCount").text(), "50");
    EXPECT_EQ(rec().SachtyCount, 50);
    for (int i = 0; i < 60; ++i)
        calc().control<UpDown>("updSacht").down();
    EXPECT_EQ(rec().SachtyCount, 1);
    for (int i = 0; i < 12; ++i)
        calc().control<UpDown>("UpDown", 4).up();
    EXPECT_EQ(calc().box("txtPocetPotrubi", 4).text(), "10");
    EXPECT_FLOAT_EQ(rec().PocetPotrubi, 10.0f);
}

// The counts may be typed and stepped with the arrow keys; whatever is typed,
// the field only takes a count within the limits, and leaving the box shows one.
TEST_F(CalcFormTest, CountsAreTypedAndSteppedWithinTheSameLimits)
{
    TextBox& shafts = calc().box("txtSachtyCount");
    EXPECT_FALSE(shafts.readOnly());
    bool used = false;
    user([&] { used = shafts.keyDown(38); }); // up
    EXPECT_TRUE(used);
    EXPECT_EQ(shafts.text(), "2");
    EXPECT_EQ(rec().SachtyCount, 2);
    user([&] { used = shafts.keyDown(40); }); // down
    user([&] { used = shafts.keyDown(40); });
    EXPECT_EQ(shafts.text(), "1");
    user([&] { used = shafts.keyDown('7'); });
    EXPECT_FALSE(used); // typing is the box's own

    struct Case {
        const char* typed;
        const char* shown; // after leaving the box
        int field;
    };
    const Case cases[] = {{"7", "7", 7},     {"80", "50", 50}, {"0", "1", 1},   {"", "1", 1},
                          {"12", "12", 12},  {"2,5", "2", 2},  {"-4", "1", 1},  {"99999", "50", 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        user([&] { shafts.setText("1"); });
        user([&] { shafts.setText(c.typed); });
        EXPECT_EQ(shafts.text(), c.typed); // typing is never undone meanwhile
        EXPECT_GE(rec().SachtyCount, 1);
        EXPECT_LE(rec().SachtyCount, 50);
        user([&] { shafts.lostFocus(); });
        EXPECT_EQ(shafts.text(), c.shown);
        EXPECT_EQ(rec().SachtyCount, c.field);
    }
    EXPECT_TRUE(messages.messages.empty());

    // The pipes: the same through their own limits, and with their arrows.
    TextBox& pipes = calc().box("txtPocetPotrubi", 3);
    user([&] { pipes.setText("15"); });
    user([&] { pipes.lostFocus(); });
    EXPECT_EQ(pipes.text(), "10");
    EXPECT_FLOAT_EQ(rec().PocetPotrubi, 10.0f);
    user([&] { pipes.keyDown(38); });
    EXPECT_EQ(pipes.text(), "10");
    user([&] { pipes.keyDown(40); });
    EXPECT_FLOAT_EQ(rec().PocetPotrubi, 9.0f);
    EXPECT_EQ(calc().box("txtPocetPotrubi", 4).text(), "9"); // one field, every box shows it

    // A text that is no count is said and the count in use comes back.
    user([&] { shafts.setText("abc"); });
    user([&] { shafts.lostFocus(); });
    EXPECT_EQ(shafts.text(), "50");
    EXPECT_EQ(messages.messages.size(), 1u);
}

class PanelTest : public AppTest {
protected:
    void SetUp() override
    {
        rec().OdvodNepPlocha = 1000;
        rec().SoucFiltrace = 1e-5f;
        user([&] { calc().optSelType[0]->click(); });
        user([&] { calc().cboSelType->setListIndex(3); });
        calc().box("txtSirkaRyhy", 3).setText("0.5");
        calc().box("txtVyskaRyhy", 3).setText("1");
    }
};

TEST_F(PanelTest, TickingOpensThePanelAndEnablesEditing)
{
    user([&] { calc().chkSelPretok[3]->setChecked(true); });
    EXPECT_TRUE(calc().picPretokSkrOdtok[3]->visible());
    EXPECT_TRUE(calc().cmdEdit[3]->enabled());
    user([&] { calc().chkSelPretok[3]->setChecked(false); });
    EXPECT_FALSE(calc().picPretokSkrOdtok[3]->visible());
    EXPECT_FALSE(calc().cmdEdit[3]->enabled());
}

TEST_F(PanelTest, OkComputesTheEffectivePorosityOfTheTrenchWithItsPipe)
{
    user([&] { calc().chkSelPretok[3]->setChecked(true); });
    calc().box("txtPrumTroubVnit", 3).setText("100");
    calc().box("txtPrumTroubVnej", 3).setText("120");
    calc().box("txtSpecDrenOdtok", 3).setText("10");
    user([&] { calc().control<Button>("cmdOK", 3).click(); });
    // 0.35 + π/4 × (0.01 − 0.35 × 0.0144) / 0.5
    EXPECT_NEAR(rec().EffectivePorosity, 0.35 + 0.78539816 * (0.01 - 0.35 * 0.0144) / 0.5, 1e-6);
    EXPECT_NEAR(rec().EffectivePorosity, 0.3578, 1e-4);
    EXPECT_FLOAT_EQ(rec().ThrottledOutflow, 0.001f); // 0.1 ha × 10 l/(s·ha)
    EXPECT_FALSE(calc().picPretokSkrOdtok[3]->visible());
    EXPECT_TRUE(calc().chkSelPretok[3]->checked());
    EXPECT_TRUE(calc().cmdEdit[3]->enabled());
    user([&] { calc().cmdEdit[3]->click(); });
    EXPECT_TRUE(calc().picPretokSkrOdtok[3]->visible());
}

TEST_F(PanelTest, ZeroDiametersLeaveTheFillPorosityAndTheOptionOn)
{
    user([&] { calc().chkSelPretok[3]->setChecked(true); });
    calc().box("txtSpecDrenOdtok", 3).setText("10");
    user([&] { calc().control<Button>("cmdOK", 3).click(); });
    EXPECT_FLOAT_EQ(rec().EffectivePorosity, 0.35f);
    EXPECT_TRUE(calc().chkSelPretok[3]->checked());
    EXPECT_FALSE(calc().picPretokSkrOdtok[3]->visible());
}

TEST_F(PanelTest, NoThrottledOutflowSwitchesTheOptionOff)
{
    user([&] { calc().chkSelPretok[3]->setChecked(true); });
    user([&] { calc().control<Button>("cmdOK", 3).click(); });
    EXPECT_FALSE(calc().chkSelPretok[3]->checked());
    EXPECT_FALSE(calc().picPretokSkrOdtok[3]->visible());
    EXPECT_FALSE(calc().cmdEdit[3]->enabled());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PanelTest, ZeroTrenchWidthKeepsTheEarlierPorosity)
{
    rec().EffectivePorosity = 0.4f;
    calc().box("txtSirkaRyhy", 3).setText("0");
    user([&] { calc().chkSelPretok[3]->setChecked(true); });
    calc().box("txtSpecDrenOdtok", 3).setText("10");
    calc().box("txtPrumTroubVnit", 3).setText("100");
    user([&] { calc().control<Button>("cmdOK", 3).click(); });
    EXPECT_FLOAT_EQ(rec().EffectivePorosity, 0.4f);
    EXPECT_FALSE(calc().picPretokSkrOdtok[3]->visible()); // the old value is not 0
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(PanelTest, DrainWithoutBothDiametersIsSwitchedOff)
{
    user([&] { calc().cboSelType->setListIndex(4); });
    user([&] { calc().chkSelPretok[4]->setChecked(true); });
    calc().box("txtPrumTroubVnit", 4).setText("100");
    user([&] { calc().control<Button>("cmdOK", 4).click(); });
    EXPECT_FALSE(calc().chkSelPretok[4]->checked());
    calc().box("txtPrumTroubVnej", 4).setText("120");
    user([&] { calc().chkSelPretok[4]->setChecked(true); });
    user([&] { calc().control<Button>("cmdOK", 4).click(); });
    EXPECT_TRUE(calc().chkSelPretok[4]->checked());
    EXPECT_FALSE(calc().picPretokSkrOdtok[4]->visible());
}

TEST_F(CalcFormTest, DescriptionAndResultsNeedATechnology)
{
    user([&] { calc().selectTab(1); });
    user([&] { calc().selectTab(2); });
    EXPECT_EQ(calc().tab(), 1);
    user([&] { calc().selectTab(3); });
    EXPECT_EQ(calc().tab(), 1);
    ASSERT_EQ(messages.messages.size(), 2u);
    for (const auto& m : messages.messages) {
        EXPECT_EQ(m.text, "Není vybrána technologie");
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    }
    EXPECT_FALSE(calc().cmdSaveResults->visible());
    EXPECT_TRUE(calc().descriptionPage().empty());
}

TEST_F(CalcFormTest, GoingBackToATabThatAlsoNeedsATechnologyStopsThere)
{
    // The technology is given up while its description is shown; the results tab
    // then sends the pane back to the description, which must not send it on.
    rec().OdvodNepPlocha = 100;
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().cboSelType->setListIndex(4); });
    user([&] { calc().selectTab(2); });
    ASSERT_EQ(calc().tab(), 2);
    user([&] { calc().cboSelType->setListIndex(0); });
    ASSERT_EQ(calc().state().TechIndex, 0);
    messages.messages.clear();

    user([&] { calc().selectTab(3); });
    EXPECT_EQ(calc().tab(), 2);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Není vybrána technologie"});
    EXPECT_TRUE(calc().descriptionPage().empty());
    EXPECT_FALSE(calc().cmdSaveResults->visible());
    EXPECT_TRUE(app.lastReport().empty());

    // And from there the way back to the description's own previous tab works.
    user([&] { calc().selectTab(1); });
    user([&] { calc().selectTab(2); });
    EXPECT_EQ(calc().tab(), 1);
}

TEST_F(CalcFormTest, DescriptionPageOfTheSelectedTechnology)
{
    rec().OdvodNepPlocha = 100;
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().cboSelType->setListIndex(4); });
    user([&] { calc().selectTab(2); });
    EXPECT_EQ(calc().tab(), 2);
    EXPECT_EQ(calc().descriptionPage(), app.appDir() + "/Webs/Desc04.htm");
}

TEST_F(CalcFormTest, SwitchingToTheCalculationTabDeletesTheReport)
{
    const auto path = std::filesystem::temp_directory_path() / "infil-calcform-report-test";
    std::ofstream(path) << "old";
    rec().ResultsFilePath = path.string();
    user([&] { calc().selectTab(1); });
    EXPECT_FALSE(std::filesystem::exists(path));
    user([&] { calc().selectTab(0); }); // a missing file is no error
    user([&] { calc().selectTab(1); });
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(CalcFormTest, EditButtonsSetTheDatabasePath)
{
    user([&] { calc().cmdEdit[0]->click(); });
    EXPECT_EQ(rec().DatabasePath, app.appDir() + "/infil.mdb");
}

// Results stand only beside the inputs they were computed from, and only while
// they are shown: an input changed, or the pane selected again, ends them.
TEST_F(CalcFormTest, ResultsEndWithAChangedInputOrTheirPaneSelectedAgain)
{
    rec().OdvodNepPlocha = 1000;
    rec().SoucFiltrace = 1e-5f;
    rec().RainIntensities[3] = 150;
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().cboSelType->setListIndex(4); });
    user([&] { calc().box("txtSirkaRyhy", 4).setText("0.5"); });
    user([&] { calc().box("txtVyskaRyhy", 4).setText("1"); });
    EXPECT_FALSE(calc().resultsCurrent(4));
    user([&] { calc().control<Button>("cmdCalcul", 4).click(); });
    ASSERT_TRUE(calc().resultsCurrent(4));
    ASSERT_NE(calc().box("txtDelkaRyhy", 4).text(), "");
    user([&] { calc().box("txtSirkaRyhy", 4).setText("0.8"); });
    EXPECT_FALSE(calc().resultsCurrent(4));
    EXPECT_EQ(calc().box("txtDelkaRyhy", 4).text(), "");

    user([&] { calc().control<Button>("cmdCalcul", 4).click(); });
    ASSERT_TRUE(calc().resultsCurrent(4));
    user([&] { calc().cboSelType->setListIndex(2); });
    user([&] { calc().cboSelType->setListIndex(4); });
    EXPECT_EQ(calc().box("txtDelkaRyhy", 4).text(), "");
    EXPECT_FALSE(calc().resultsCurrent(4));
    // A Compute that stops on a check leaves no results either.
    user([&] { calc().box("txtVyskaRyhy", 4).setText("0"); });
    user([&] { calc().control<Button>("cmdCalcul", 4).click(); });
    EXPECT_FALSE(calc().resultsCurrent(4));
}

TEST_F(CalcFormTest, TextThatIsNotANumberRecalculatesNothing)
{
    rec().OdvodNepPlocha = 1000;
    rec().SoucFiltrace = 1e-5f;
    rec().RainIntensities[3] = 150;
    user([&] { calc().optSelType[0]->click(); });
    user([&] { calc().cboSelType->setListIndex(2); });
    ASSERT_EQ(calc().box("txtObjAkum", 2).text(), "17.3");
    user([&] { calc().box("txtSoucBezp", 2).setText("abc"); });
    EXPECT_EQ(calc().box("txtSoucBezp", 2).text(), "abc");
    EXPECT_FLOAT_EQ(rec().SoucBezp, 1.2f);
    EXPECT_EQ(calc().box("txtObjAkum", 2).text(), "17.3");
    user([&] { calc().box("txtSoucBezp", 2).setText("1.5"); });
    EXPECT_EQ(calc().box("txtObjAkum", 2).text(), "21.6"); // 17.28 × 1.5 / 1.2
}
