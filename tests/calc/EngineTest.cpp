// The engine's worked examples, messages, faults and Compute checks. Values in
// the comments are worked by hand from the design formulas.
#include "EngineFaults.h"
#include "FakeEngineHost.h"

#include <gtest/gtest.h>

using namespace infil;
using namespace infil::test;
using Strings = std::vector<std::string>;

namespace {

Message info(const std::string& t) { return {MessageIcon::Information, "Infil", t}; }
Message warning(const std::string& t) { return {MessageIcon::Exclamation, "Infil", t}; }
Message stop(const std::string& t) { return {MessageIcon::Stop, "Infil", t}; }

// 1000 m² of reduced area, kf 1e-5, f 1.2, only 150 l/(s·ha) at 15 min.
void exampleRain(ProjectRecord& r)
{
    r.OdvodNepPlocha = 1000;
    r.SoucFiltrace = 1e-5f;
    singleRain(r, 3, 150);
}

void combinedExample(Bench& b)
{
    exampleRain(b.r);
    b.r.SoucFiltrPruleh = 1e-5f;
    b.r.VyskaRyhy = 1;
    b.r.SirkaRyhy = 0.5f;
    b.r.ThrottledOutflow = 0.5f; // left by an earlier panel; ignored while unticked
    b.r.EffectivePorosity = 0.9f;
    b.r.RainDurations[9] = 0; // the swale search evaluates it, the length search skips it
    b.engine.CalcTechnology();
}

void shaftExample(Bench& b)
{
    b.r.OdvodNepPlocha = 200;
    b.r.SoucFiltrace = 1e-4f;
    singleRain(b.r, 3, 150);
    b.r.ShaftOuterDiameter = 1.2f;
    b.r.PrumerSachtyVnit = 1.0f;
    b.r.NezamrzHlPritok = 1.0f;
    b.r.VyskaFiltrVrstvy = 0.5f;
    b.r.VyskaPiskVrstvy = 0.7f; // ignored for "typ A"
    b.host.on.insert(Switch::FilterTypeA);
    b.r.RainDurations[9] = 0; // skipped: never divided by
}

void basinExample(Bench& b)
{
    b.r.OdvodNepPlocha = 10000;
    b.r.SoucFiltrace = 1e-4f;
    singleRain(b.r, 3, 150);
    b.r.SpecInfilIntenz = 50;
    b.r.DelkaDnaNadrz = 20;
    b.r.SirkaDnaNadrz = 10;
    b.r.HloubkaNadrz = 1.5f;
    b.r.SklonSvahuNadrz = 2;
}

} // namespace

TEST(Surface, WorkedExamplesShowTheAreaWithOneDecimal)
{
    Bench b(1);
    b.r.OdvodNepPlocha = 1000;
    b.r.SelIntDeste = 150;
    b.r.SoucFiltrace = 1e-4f; // 1000 / 300 − 1 = 2.333
    b.engine.CalcTechnology();
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilPlocha, 1), "428.6");
    EXPECT_EQ(b.r.InfilPlocha, 428.6f); // read back as shown

    b.r.SoucFiltrace = 1e-5f; // 100 / 300 − 1 = −0.667: a negative area, no message
    b.engine.CalcTechnology();
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilPlocha, 1), "-1 500.0");
    EXPECT_EQ(b.r.InfilPlocha, -1500.0f);
    EXPECT_TRUE(b.host.messages.empty());
}

TEST(Surface, NoIntensityWarnsHidesThePanesAndSurvivesTheReentry)
{
    Bench b(1);
    b.r.InfilPlocha = 55;
    // The design-mode option's handler sets TechIndex 0 and calls the engine again.
    b.host.onRedo = [&] {
        b.form.TechIndex = 0;
        b.r.InfilPlocha = 7;
        b.engine.CalcTechnology();
    };
    b.engine.CalcTechnology();
    EXPECT_EQ(b.host.messages, (std::vector<Message>{{MessageIcon::Exclamation, "Chyba",
                                                      "Intenzita návrhového deště není zadána"}}));
    EXPECT_EQ(b.host.log, (Strings{"msg:Intenzita návrhového deště není zadána", "hide", "redo",
                                  "InfilPlocha(1)=0.0"}));
    EXPECT_EQ(b.r.InfilPlocha, 0.0f);
    EXPECT_EQ(b.form.TechIndex, 0);
}

TEST(Surface, ZeroDivisorFaultsAndKeepsTheOldArea)
{
    Bench b(1);
    b.r.OdvodNepPlocha = 1000;
    b.r.InfilPlocha = 77;
    b.r.SoucFiltrace = 0x1p-15f;       // 10^7 × kf = 305.17578125, exactly
    b.r.SelIntDeste = 152.587890625f;  // twice this is the same: the divisor is 0
    EXPECT_THROW(b.engine.CalcTechnology(), FloatFault);
    EXPECT_EQ(b.r.InfilPlocha, 77.0f);
    EXPECT_TRUE(b.host.boxes.empty());
}

TEST(Swale, WorkedExampleSandAndSilt)
{
    Bench b(2);
    exampleRain(b.r);
    b.engine.CalcTechnology();
    // V = (10^-7 × 1100 × 150 − 0.5e-5 × 100) × 60 × 1.2 × 15 = 17.28
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilPlocha, 2), "100.0");
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 2), "17.3");
    EXPECT_EQ(b.host.box(&ProjectRecord::VyskaVzduti, 2), "0.17");
    EXPECT_EQ(b.host.box(&ProjectRecord::DobaPrazdneni, 2), "9.6");
    EXPECT_FLOAT_EQ(b.r.ObjAkum, 17.28f);
    EXPECT_FLOAT_EQ(b.r.VyskaVzduti, 0.1728f); // the unrounded height gives 9.6 h
    EXPECT_EQ(b.r.SelDTrvDeste, 15.0f);
    EXPECT_EQ(b.r.SelIntDeste, 150.0f);
    EXPECT_TRUE(b.host.messages.empty());

    b.form.SoilOption = 1;
    b.engine.CalcTechnology();
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilPlocha, 2), "200.0");
}

TEST(Swale, ZeroRainZeroKfAndNoArea)
{
    Bench b(2);
    exampleRain(b.r);
    singleRain(b.r, 3, 0);
    b.engine.CalcTechnology();
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 2), "0.0");
    EXPECT_EQ(b.host.box(&ProjectRecord::VyskaVzduti, 2), "0.00");
    EXPECT_EQ(b.host.box(&ProjectRecord::DobaPrazdneni, 2), "0.0");

    // kf = 0: the emptying time is left as it was.
    singleRain(b.r, 3, 150);
    b.r.SoucFiltrace = 0;
    b.r.DobaPrazdneni = 4;
    b.engine.CalcTechnology();
    EXPECT_EQ(b.host.box(&ProjectRecord::VyskaVzduti, 2), "0.18"); // 17.82 / 100 without infiltration
    EXPECT_EQ(b.host.box(&ProjectRecord::DobaPrazdneni, 2), "0.0");
    EXPECT_EQ(b.r.DobaPrazdneni, 4.0f);

    b.host.log.clear();
    b.r.OdvodNepPlocha = 0;
    b.engine.CalcTechnology();
    EXPECT_TRUE(b.host.log.empty());
}

TEST(Swale, FaultOnTheHeightKeepsTheVolumeAlreadyShown)
{
    Bench b(2);
    exampleRain(b.r);
    b.form.SoilOption = 9; // no soil option: the area (0) stays
    b.r.VyskaVzduti = 3;
    EXPECT_THROW(b.engine.CalcTechnology(), FloatFault);
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 2), "16.2"); // 10^-7 × 1000 × 150 × 1080
    EXPECT_EQ(b.r.VyskaVzduti, 3.0f);
    EXPECT_EQ(b.host.box(&ProjectRecord::VyskaVzduti, 2), "<unset>");
}

TEST(Combined, WorkedExampleWithItsMessage)
{
    Bench b(3);
    combinedExample(b);
    EXPECT_EQ(b.host.log, (Strings{"ObjAkum(3)=", "DelkaRyhy(3)=", "SirkaPrulehu(3)=",
                                  "HloubkaPrulehu(3)=", "DobaPrazdneni(3)=",
                                  "InfilPlocha(3)=100.0"}));
    b.engine.ComputeButton(3);
    EXPECT_EQ(b.r.ThrottledOutflow, 0.0f);
    EXPECT_EQ(b.r.EffectivePorosity, 0.35f);
    // L = (0.0165 − 17.28 / 1080) / (0.175 / 1080 + 1 × 0.5e-5) = 2.993
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 3), "17.3");
    EXPECT_EQ(b.host.box(&ProjectRecord::DelkaRyhy, 3), "3.0");
    EXPECT_EQ(b.host.box(&ProjectRecord::SirkaPrulehu, 3), "0.50");
    EXPECT_EQ(b.host.box(&ProjectRecord::HloubkaPrulehu, 3), "11.55");
    EXPECT_EQ(b.host.box(&ProjectRecord::DobaPrazdneni, 3), "641.4");
    EXPECT_FLOAT_EQ(b.r.VyskaVzduti, 0.1728f);
    EXPECT_EQ(b.host.messages,
              std::vector<Message>{info("Navržená infilovací plocha je dostatečná ( 1.50 < 100.00 ).")});
}

TEST(Combined, FootprintLargerThanTheSwaleWarns)
{
    // Script case 4: h 0.2, b 2.0, s_e 0.01 (panel confirmed), kf 1e-7.
    Bench b(3);
    combinedExample(b);
    b.r.SoucFiltrace = 1e-7f;
    b.r.VyskaRyhy = 0.2f;
    b.r.SirkaRyhy = 2.0f;
    b.r.ThrottledOutflow = 0;
    b.r.EffectivePorosity = 0.01f;
    b.host.on.insert(Switch::Overflow);
    b.engine.ComputeButton(3);
    EXPECT_EQ(b.r.EffectivePorosity, 0.01f);
    EXPECT_FLOAT_EQ(b.r.DelkaRyhy, 131.27827f);
    EXPECT_EQ(b.host.box(&ProjectRecord::DobaPrazdneni, 3), "3.7");
    EXPECT_EQ(b.host.messages, std::vector<Message>{warning(
                                   "Navržená infilovací plocha je nedostatečná ( 262.56 > 100.00 ).")});
}

TEST(Combined, NoPositiveLengthLeavesNoStaleEmptyingTime)
{
    Bench b(3);
    combinedExample(b);
    b.engine.ComputeButton(3);
    b.host.messages.clear();
    // A throttled outflow larger than the inflow leaves nothing to the trench.
    b.host.on.insert(Switch::Overflow);
    b.r.ThrottledOutflow = 0.02f;
    b.r.EffectivePorosity = 0.35f;
    b.engine.ComputeButton(3);
    EXPECT_EQ(b.r.DelkaRyhy, 0.0f);
    EXPECT_EQ(b.host.box(&ProjectRecord::DelkaRyhy, 3), "0.0");
    EXPECT_EQ(b.host.box(&ProjectRecord::DobaPrazdneni, 3), "");
    EXPECT_FLOAT_EQ(b.r.DobaPrazdneni, 641.42224f); // unchanged from the first design
    EXPECT_TRUE(b.host.messages.empty());
}

TEST(Combined, NoSwaleAreaReportsAndGoesOn)
{
    Bench b(3);
    combinedExample(b);
    b.r.InfilPlocha = 0; // the area box is editable on this pane
    b.engine.ComputeButton(3);
    ASSERT_FALSE(b.host.messages.empty());
    EXPECT_EQ(b.host.messages[0],
              (Message{MessageIcon::Stop, "Chyba", "Není zadána odvodňovaná plocha."}));
    EXPECT_NE(b.host.box(&ProjectRecord::DelkaRyhy, 3), "<unset>");
}

TEST(Trench, WorkedExample)
{
    Bench b(4);
    exampleRain(b.r);
    b.r.VyskaRyhy = 1;
    b.r.SirkaRyhy = 0.5f;
    b.r.EffectivePorosity = 0.2f;
    b.engine.ComputeButton(4);
    // L = 0.015 / (0.175 / 1080 + 1 × 0.5e-5) = 89.8; V = (0.015 − 89.8 × 0.5e-5) × 1080
    EXPECT_EQ(b.host.box(&ProjectRecord::DelkaRyhy, 4), "89.8");
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 4), "15.7");
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilPlocha, 4), "89.8");
    EXPECT_EQ(b.r.InfilPlocha, 89.8f);
    EXPECT_EQ(b.r.EffectivePorosity, 0.35f);
    EXPECT_FLOAT_EQ(b.r.OdtokDoInfil, 15.0f);
    EXPECT_TRUE(b.host.messages.empty());
}

TEST(Trench, DrainCapacityAgainstTheInflow)
{
    Bench b(4);
    exampleRain(b.r);
    b.r.VyskaRyhy = 1;
    b.r.SirkaRyhy = 0.5f;
    b.r.EffectivePorosity = 0.35f;
    b.host.on.insert(Switch::Drainage);
    b.r.VystupPlocha = 10;
    b.r.VystupRychlost = 0.1f;
    b.engine.ComputeButton(4); // 10 / 10000 × 1 × 0.1 × 89.8 × 1000 = 8.98 l/s
    EXPECT_EQ(b.host.messages.back(),
              warning("Není splněna podmínka výstupního odtoku. ( 8.98 < 15.00 )"));

    // Equal capacity counts as met: no rain gives no length, capacity and inflow 0.
    singleRain(b.r, 3, 0);
    b.r.SelIntDeste = 0;
    b.engine.ComputeButton(4);
    ASSERT_EQ(b.r.DrainCapacity, b.r.OdtokDoInfil);
    EXPECT_EQ(b.host.messages.back(), info("Podmínka výstupního odtoku je splněna. ( 0.00 > 0.00 )"));
}

TEST(Trench, NoPositiveLengthUsesThePreviousRain)
{
    Bench b(4);
    exampleRain(b.r);
    singleRain(b.r, 3, 0);
    b.r.RainDurations[1] = 0; // skipped: never divided by
    b.r.RainIntensities[1] = 500;
    b.r.VyskaRyhy = 1;
    b.r.SirkaRyhy = 0.5f;
    b.r.SelDTrvDeste = 10;
    b.r.SelIntDeste = 100;
    b.engine.ComputeButton(4);
    EXPECT_EQ(b.r.DelkaRyhy, 0.0f);
    EXPECT_EQ(b.r.InfilPlocha, 0.0f);
    EXPECT_FLOAT_EQ(b.r.ObjAkum, 7.2f); // 10^-7 × 1000 × 100 × 600 × 1.2
    EXPECT_EQ(b.r.SelDTrvDeste, 10.0f);
}

TEST(Trench, ZeroSafetyCoefficientFaultsAtTheFirstDuration)
{
    Bench b(4);
    exampleRain(b.r);
    b.r.VyskaRyhy = 1;
    b.r.SirkaRyhy = 0.5f;
    b.r.SoucBezp = 0; // not checked by the trench's Compute
    b.r.ObjAkum = 5;
    b.r.DelkaRyhy = 40;
    EXPECT_THROW(b.engine.ComputeButton(4), FloatFault);
    EXPECT_EQ(b.r.ObjAkum, 0.0f);
    EXPECT_EQ(b.r.EffectivePorosity, 0.35f);
    EXPECT_EQ(b.r.DelkaRyhy, 40.0f);
    EXPECT_TRUE(b.host.boxes.empty());
}

TEST(Shaft, WorkedExampleWithTheFilterAtItsLimit)
{
    Bench b(5);
    shaftExample(b);
    b.engine.ComputeButton(5);
    // Q 0.003, A_b 1.131, numerator 0.0029435, denominator 0.000727 + 0.0000942
    EXPECT_EQ(b.host.box(&ProjectRecord::VyskaVzduti, 5), "3.58");
    EXPECT_FLOAT_EQ(b.r.VyskaVzduti, 3.5831587f);
    // 1.131 + π × 1.2 × 3.584 / 2 = 7.887
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilPlocha, 5), "7.89");
    EXPECT_EQ(b.r.InfilPlocha, 7.89f);
    EXPECT_EQ(b.host.box(&ProjectRecord::HloubkaSachty, 5), "5.08"); // no sand layer for "typ A"
    EXPECT_EQ(b.host.box(&ProjectRecord::PotrHloubkaZahl, 5), "6.08");
    EXPECT_EQ(b.r.PotrHloubkaZahl, 6.08f);
    // (0.003 − 1e-4 × 7.89 / 2) × 900 × 1.2 = 2.81
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 5), "2.81");
    // (1.44 + 2 × 3.584 × 1.2) × 1e-4 = 1.004e-3, shown 1.0E-03 and read back as 0.001
    EXPECT_EQ(b.host.box(&ProjectRecord::SoucFiltrPruleh, 5), "1.0E-03");
    EXPECT_EQ(b.r.SoucFiltrPruleh, 0.001f);
    EXPECT_EQ(b.host.messages,
              std::vector<Message>{info("Potřebná propustnost filtru je dostačující.")});
}

TEST(Shaft, EqualDiametersAreRefusedBeforeAnyCalculation)
{
    Bench b(5);
    shaftExample(b);
    b.r.ShaftOuterDiameter = 1.0f;
    b.engine.ComputeButton(5);
    EXPECT_EQ(b.host.messages,
              std::vector<Message>{stop("Vnější průměr šachty je menší než vnitřní průměr.")});
    EXPECT_TRUE(b.host.boxes.empty());
}

TEST(Shaft, NoInnerDiameterFaultsAfterTheVolume)
{
    Bench b(5);
    shaftExample(b);
    b.engine.CalcTechnology();
    b.r.PrumerSachtyVnit = 0;
    b.r.SoucFiltrPruleh = 3;
    EXPECT_THROW(b.engine.CheckDesign(), FloatFault);
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 5), "2.81");
    EXPECT_EQ(b.r.SoucFiltrPruleh, 3.0f);
}

TEST(Basin, WorkedExampleAndItsMessages)
{
    Bench b(6);
    basinExample(b);
    b.engine.ComputeButton(6);
    EXPECT_EQ(b.r.BasinTopLength, 26.0f);
    EXPECT_EQ(b.r.BasinTopWidth, 16.0f);
    // (√(26 × 20 × 10 × 16) + 416 + 200) × 0.5 = 452.22
    EXPECT_EQ(b.host.box(&ProjectRecord::VypObjNadrz, 6), "452.22");
    EXPECT_EQ(b.host.box(&ProjectRecord::InfilTok, 6), "0.05");
    EXPECT_EQ(b.host.box(&ProjectRecord::ObjAkum, 6), "108.00"); // (0.15 − 0.05) × 900 × 1.2
    // Unsettled: (416 + 200) / 2 × 2e-5 / 2 = 0.00308 < 0.05
    EXPECT_EQ(b.host.texts(), (Strings{"Objem nádrže je dostačující.",
                                       "Infilovací tok přesahuje průměrný infilovací tok."}));
    EXPECT_EQ(b.host.messages[1].icon, MessageIcon::Exclamation);

    b.r.HloubkaNadrz = 0.5f;
    b.r.SklonSvahuNadrz = 0; // vertical sides: 20 × 10 × 0.5 = 100 < 108
    b.host.messages.clear();
    b.engine.ComputeButton(6);
    EXPECT_EQ(b.r.VypObjNadrz, 100.0f);
    EXPECT_EQ(b.host.messages, std::vector<Message>{warning(
                                   "Vypočítaný objem nádrže je menší než nutná akumulace. "
                                   "Zvětšete rozměry nádrže.")});
}

TEST(Basin, VolumeEqualToTheRequiredOneIsEnough)
{
    Bench b(6);
    basinExample(b);
    b.r.RainIntensities[3] = 0;
    b.r.RainIntensities[2] = 150; // 10 min: (0.15 − 0.05) × 600 × 1.2 = 72
    b.r.DelkaDnaNadrz = 12;
    b.r.SirkaDnaNadrz = 6;
    b.r.HloubkaNadrz = 1;
    b.r.SklonSvahuNadrz = 0;
    b.r.SoucFiltrace = 0.004f; // settled: 72 × 0.004 / 2 = 0.144 ≥ 0.05
    b.host.on.insert(Switch::Settling);
    b.engine.ComputeButton(6);
    ASSERT_EQ(b.r.VypObjNadrz, b.r.ObjAkum);
    EXPECT_EQ(b.host.messages, (std::vector<Message>{
                                   info("Objem nádrže je dostačující."),
                                   info("Průkaz předpokladu infilovacího toku je v pořádku.")}));

    // Unsettled, a fifth of kf: 72 × 0.0008 / 2 = 0.0288 < 0.05
    b.host.on.clear();
    b.engine.ComputeButton(6);
    EXPECT_EQ(b.host.messages.back(), warning("Infilovací tok přesahuje průměrný infilovací tok."));
}

TEST(Basin, OverflowOnAssignmentKeepsTheFlowAlreadyComputed)
{
    Bench b(6);
    basinExample(b);
    b.r.OdvodNepPlocha = 1e5f;
    b.r.RainIntensities[3] = 3e38f; // 10^-7 × 1e5 × 3e38 × 1080 > 3.4e38
    EXPECT_THROW(b.engine.CheckDesign(), FloatFault);
    EXPECT_FLOAT_EQ(b.r.InfilTok, 0.5f);
    EXPECT_EQ(b.r.BasinTopLength, 0.0f);
}

TEST(ComputeChecks, EveryFailureInOrderInOneStopMessage)
{
    struct Case {
        int index;
        std::function<void(Bench&)> setUp;
        std::string text;
    };
    const std::vector<Case> cases = {
        {4, [](Bench& b) { b.r.VyskaRyhy = 0; b.r.SirkaRyhy = 0; b.r.PorVyplne = 0.35f; },
         "Výška rýhy je menší nebo rovna nule.\r\nŠířka rýhy je menší nebo rovna nule.\r\n"},
        {3,
         [](Bench& b) {
             b.r.SoucBezp = 0;
             b.r.PorVyplne = std::nanf("");
             b.host.on.insert(Switch::Overflow);
             b.host.openPanels.insert(3);
         },
         "Součinitel filtrace průlehu je menší nebo rovna nule.\r\n"
         "Součinitel bezpečnosti je menší nebo roven nule.\r\n"
         "Pórovitost výplně je menší nebo rovna nule.\r\n"
         "Výška rýhy je menší nebo rovna nule.\r\n"
         "Šířka rýhy je menší nebo rovna nule.\r\n"
         "Parametry potrubí nejsou potvrzeny tlačítkem OK.\r\n"},
        {5,
         [](Bench& b) {
             b.r.SoucBezp = -1;
             b.r.MinPrusakDraha = 0;
             b.host.on.insert(Switch::FilterTypeB);
         },
         "Součinitel bezpečnosti je menší nebo roven nule.\r\n"
         "Nezámrzná hloubka přítoku je menší nebo rovna nule.\r\n"
         "Výška filtrační vrstvy je menší nebo rovna nule.\r\n"
         "Vnitřní průměr šachty je menší nebo rovna nule.\r\n"
         "Vnější průměr šachty je menší nebo rovna nule.\r\n"
         "Minimální průsaková dráha je menší nebo rovna nule.\r\n"
         "Výška pískové vrstvy je menší nebo rovna nule.\r\n"},
        {5, [](Bench& b) { b.r.NezamrzHlPritok = 1; b.r.VyskaFiltrVrstvy = 1; b.r.ShaftOuterDiameter = 1; },
         "Vnitřní průměr šachty je menší nebo rovna nule.\r\n"}, // "typ A": no sand check
        {6, [](Bench& b) { b.r.SklonSvahuNadrz = -0.5f; },
         "Specifická infilovací intenzita je menší nebo rovna nule.\r\n"
         "Délka dna nádrže je menší nebo rovna nule.\r\n"
         "Šířka dna nádrže je menší nebo rovna nule.\r\n"
         "Hloubka nádrže je menší nebo rovna nule.\r\n"
         "Sklon svahů nádrže je menší než nula.\r\n"},
    };
    for (const auto& c : cases) {
        Bench b(c.index);
        c.setUp(b);
        b.engine.ComputeButton(c.index);
        EXPECT_EQ(b.host.messages, std::vector<Message>{stop(c.text)}) << c.index;
        EXPECT_TRUE(b.host.boxes.empty()) << c.index;
    }
}

TEST(ComputeChecks, PassingChecksRunTheDesignAndOtherButtonsDoNothing)
{
    Bench basin(6);
    basinExample(basin);
    basin.r.SklonSvahuNadrz = 0; // a zero slope is allowed
    basin.engine.ComputeButton(6);
    EXPECT_EQ(basin.host.messages.front(), info("Objem nádrže je dostačující."));

    // A confirmed panel (ticked, hidden again) does not block the trench.
    Bench trench(4);
    exampleRain(trench.r);
    trench.r.VyskaRyhy = 1;
    trench.r.SirkaRyhy = 0.5f;
    trench.r.EffectivePorosity = 0.35f;
    trench.host.on.insert(Switch::Drainage);
    trench.engine.ComputeButton(4);
    EXPECT_EQ(trench.host.box(&ProjectRecord::DelkaRyhy, 4), "89.8");

    for (int index : {0, 1, 2, 7}) {
        Bench b(index);
        b.engine.ComputeButton(index);
        EXPECT_TRUE(b.host.log.empty()) << index;
    }
}

TEST(FaultReport, AFaultStopsTheStepAndNamesItsKind)
{
    Bench b(4);
    exampleRain(b.r);
    b.r.VyskaRyhy = 1;
    b.r.SirkaRyhy = 0.5f;
    b.r.SoucBezp = 0;
    try {
        b.engine.ComputeButton(4);
        FAIL() << "a zero safety coefficient divides by zero";
    } catch (const FloatFault& fault) {
        const Message m = floatFaultMessage(fault);
        EXPECT_EQ(m.icon, MessageIcon::Stop);
        EXPECT_EQ(m.text,
                  "Výpočet byl přerušen (dělení nulou). Zkontrolujte zadané hodnoty a opakujte výpočet.");
    }
}
