#pragma once
// The one program-wide record of a design: its description, inputs, intermediate
// values, results, rain series and the built-in reference tables. Plain data; the
// windows, dialogs and the engine read and write its fields directly.
//
// Types follow the original record exactly: Single -> float, Double -> double,
// Integer -> int16_t. Formulas evaluate in double and round to float when they
// assign (see FloatOps.h), so each stored value is what the user is shown.

#include "Indexed.h"

#include <cstdint>
#include <string>

namespace infil {

struct RoundShaftProduct {
    std::string Name;
    float Diameter = 0;      // m, inner diameter (DN)
    float WallThickness = 0; // m
    bool operator==(const RoundShaftProduct&) const = default;
};

struct RectShaftProduct {
    std::string Name;
    float Width = 0;         // m, inner width
    float Length = 0;        // m, inner length
    float WallThickness = 0; // m
    bool operator==(const RectShaftProduct&) const = default;
};

using RainSeries = Indexed<float, 1, 9>;
// Row k = periodicity k of Periodicities, column j = duration j.
using StationIntensityTable = Indexed<Indexed<float, 1, 9>, 1, 7>;

struct ProjectRecord {
    // Project description
    std::string ProjName;
    std::string Projektant;
    std::string MistoAkce;
    std::string Investor;
    std::string Details;

    // Files
    std::string DatabasePath;
    std::string ResultsFilePath;
    std::string ResultsFileName;

    // Drained area: slots 1..n hold the entries, slot n+1 is the spare one.
    SlotList<float> SubAreaSizes;       // m²
    SlotList<float> SubAreaCoefs;       // runoff coefficient
    SlotList<std::string> SubAreaKinds; // surface kind
    float OdvodNepPlocha = 0;           // m², reduced drained area

    // Rain
    RainSeries RainDurations{};   // min (also a reference table)
    RainSeries RainIntensities{}; // l/(s·ha)
    float SelDTrvDeste = 0;       // min
    float SelIntDeste = 0;        // l/(s·ha)
    float OdtokDoInfil = 0;       // l/s
    std::string StationName;
    std::string PeriodicityText;
    // Where the series of a station came from ("databáze infil.mdb", or the
    // source the user gave in the rain library); empty for typed values.
    std::string RainSource;
    Indexed<std::int16_t, 1, 9> StationDurations{}; // min
    StationIntensityTable StationIntensities{};     // l/(s·ha)

    // Subsoil and shared design values
    float SoucFiltrace = 0; // m/s
    std::string TypPudyPodlozi;
    float HPV = 0;          // m
    float SoucBezp = 0;     // safety coefficient, 1.2 after start-up
    float InfilPlocha = 0;  // m²
    float ObjAkum = 0;      // m³
    float VyskaVzduti = 0;  // m

    // Swale and combined object
    float SoucFiltrPruleh = 0; // m/s
    float SirkaPrulehu = 0;    // m
    float HloubkaPrulehu = 0;  // m
    float DobaPrazdneni = 0;   // h

    // Trench, pipes and drain
    float SirkaRyhy = 0;         // m
    float VyskaRyhy = 0;         // m
    float PorVyplne = 0;         // 0.35 after start-up
    float DelkaRyhy = 0;         // m
    float PrumTroubVnit = 0;     // mm
    float PrumTroubVnej = 0;     // mm
    float PocetPotrubi = 0;      // 1 after start-up
    float SpecDrenOdtok = 0;     // l/(s·ha)
    float VystupPlocha = 0;      // cm²/m
    float VystupRychlost = 0;    // m/s
    float ThrottledOutflow = 0;  // m³/s
    float EffectivePorosity = 0;
    float DrainCapacity = 0;     // l/s

    // Shaft
    std::int16_t SachtyCount = 0;   // 1 after start-up
    float PrumerSachtyVnit = 0;     // m
    float ShaftWidth = 0;           // m
    float ShaftLength = 0;          // m
    float TloustkaSteny = 0;        // m
    float ShaftOuterDiameter = 0;   // m
    float NezamrzHlPritok = 0;      // m
    float VyskaFiltrVrstvy = 0;     // m
    float VyskaPiskVrstvy = 0;      // m
    float MinPrusakDraha = 0;       // m, 1.5 after start-up
    float HloubkaSachty = 0;        // m
    float PotrHloubkaZahl = 0;      // m

    // Basin
    float SpecInfilIntenz = 0;  // l/(s·ha)
    float DelkaDnaNadrz = 0;    // m
    float SirkaDnaNadrz = 0;    // m
    float HloubkaNadrz = 0;     // m
    float SklonSvahuNadrz = 0;  // 1 : n
    float InfilTok = 0;         // m³/s
    float VypObjNadrz = 0;      // m³
    float BasinTopLength = 0;   // m
    float BasinTopWidth = 0;    // m

    // Reference tables (filled by InitReferenceTables)
    Indexed<std::string, 1, 20> SurfaceGroups{};
    Indexed<std::string, 1, 20> SurfaceKinds{};
    Indexed<float, 1, 20> RunoffCoefs{};
    Indexed<std::string, 0, 8> TechnologyNames{};
    Indexed<float, 1, 7> Periodicities{};
    Indexed<std::string, 0, 92> StationNames{};
    Indexed<std::int16_t, 1, 92> StationIds{};
    Indexed<std::string, 1, 8> SoilNames{};
    Indexed<double, 1, 8> SoilFiltrationCoefs{};
    Indexed<RoundShaftProduct, 1, 8> RoundShaftProducts{};
    Indexed<RectShaftProduct, 1, 10> RectShaftProducts{};

    // The user's regional settings. This build never touches them (numbers use the
    // program's own conventions everywhere); the fields stay for completeness.
    std::int16_t LocaleId = 0;
    std::string SavedDecimalSep;
    std::string SavedThousandSep;
    std::string SavedListSep;
};

// Calls v(name, field) for every field of the record except the reference
// tables (RainDurations, being also part of the rain series, is included), in
// the record's own order. Used to address fields by name (scenario steps) and to
// list them (scenario output).
template <typename Record, typename Visitor>
void visitFields(Record& r, Visitor&& v)
{
    v("ProjName", r.ProjName);
    v("Projektant", r.Projektant);
    v("MistoAkce", r.MistoAkce);
    v("Investor", r.Investor);
    v("Details", r.Details);
    v("DatabasePath", r.DatabasePath);
    v("ResultsFilePath", r.ResultsFilePath);
    v("ResultsFileName", r.ResultsFileName);
    v("SubAreaSizes", r.SubAreaSizes);
    v("SubAreaCoefs", r.SubAreaCoefs);
    v("SubAreaKinds", r.SubAreaKinds);
    v("OdvodNepPlocha", r.OdvodNepPlocha);
    v("RainDurations", r.RainDurations);
    v("RainIntensities", r.RainIntensities);
    v("SelDTrvDeste", r.SelDTrvDeste);
    v("SelIntDeste", r.SelIntDeste);
    v("OdtokDoInfil", r.OdtokDoInfil);
    v("StationName", r.StationName);
    v("PeriodicityText", r.PeriodicityText);
    v("RainSource", r.RainSource);
    v("StationDurations", r.StationDurations);
    v("StationIntensities", r.StationIntensities);
    v("SoucFiltrace", r.SoucFiltrace);
    v("TypPudyPodlozi", r.TypPudyPodlozi);
    v("HPV", r.HPV);
    v("SoucBezp", r.SoucBezp);
    v("InfilPlocha", r.InfilPlocha);
    v("ObjAkum", r.ObjAkum);
    v("VyskaVzduti", r.VyskaVzduti);
    v("SoucFiltrPruleh", r.SoucFiltrPruleh);
    v("SirkaPrulehu", r.SirkaPrulehu);
    v("HloubkaPrulehu", r.HloubkaPrulehu);
    v("DobaPrazdneni", r.DobaPrazdneni);
    v("SirkaRyhy", r.SirkaRyhy);
    v("VyskaRyhy", r.VyskaRyhy);
    v("PorVyplne", r.PorVyplne);
    v("DelkaRyhy", r.DelkaRyhy);
    v("PrumTroubVnit", r.PrumTroubVnit);
    v("PrumTroubVnej", r.PrumTroubVnej);
    v("PocetPotrubi", r.PocetPotrubi);
    v("SpecDrenOdtok", r.SpecDrenOdtok);
    v("VystupPlocha", r.VystupPlocha);
    v("VystupRychlost", r.VystupRychlost);
    v("ThrottledOutflow", r.ThrottledOutflow);
    v("EffectivePorosity", r.EffectivePorosity);
    v("DrainCapacity", r.DrainCapacity);
    v("SachtyCount", r.SachtyCount);
    v("PrumerSachtyVnit", r.PrumerSachtyVnit);
    v("ShaftWidth", r.ShaftWidth);
    v("ShaftLength", r.ShaftLength);
    v("TloustkaSteny", r.TloustkaSteny);
    v("ShaftOuterDiameter", r.ShaftOuterDiameter);
    v("NezamrzHlPritok", r.NezamrzHlPritok);
    v("VyskaFiltrVrstvy", r.VyskaFiltrVrstvy);
    v("VyskaPiskVrstvy", r.VyskaPiskVrstvy);
    v("MinPrusakDraha", r.MinPrusakDraha);
    v("HloubkaSachty", r.HloubkaSachty);
    v("PotrHloubkaZahl", r.PotrHloubkaZahl);
    v("SpecInfilIntenz", r.SpecInfilIntenz);
    v("DelkaDnaNadrz", r.DelkaDnaNadrz);
    v("SirkaDnaNadrz", r.SirkaDnaNadrz);
    v("HloubkaNadrz", r.HloubkaNadrz);
    v("SklonSvahuNadrz", r.SklonSvahuNadrz);
    v("InfilTok", r.InfilTok);
    v("VypObjNadrz", r.VypObjNadrz);
    v("BasinTopLength", r.BasinTopLength);
    v("BasinTopWidth", r.BasinTopWidth);
    v("LocaleId", r.LocaleId);
    v("SavedDecimalSep", r.SavedDecimalSep);
    v("SavedThousandSep", r.SavedThousandSep);
    v("SavedListSep", r.SavedListSep);
}

} // namespace infil
