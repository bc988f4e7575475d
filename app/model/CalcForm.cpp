#include "CalcForm.h"

#include "Application.h"
#include "FloatOps.h"
#include "Formulas.h"
#include "NumberEntry.h"
#include "ReferenceTables.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <system_error>

// The declarations below name only the attributes a control has; the others keep
// their defaults. GCC 12 warns about every omitted member even in designated
// initializers, where omitting is the point.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;
const char* const kReminderArea = "Zadejte nepropustnou odvodňovanou plochu";
const char* const kReminderSoil = "Zadejte součinitel filtrace podloží";
const char* const kNoTechnology = "Není vybrána technologie";

// Units as the window shows them.
const char* const kM = "m";
const char* const kM2 = "m²";
const char* const kM3 = "m³";
const char* const kHours = "h";
const char* const kMetresPerSecond = "m/s";
const char* const kCompute = "Výpočti";
const char* const kComputeTip = "Ověřit zadání a spočítat výsledky";

using R = ProjectRecord;

void removeQuietly(const std::string& path)
{
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// Shows a value in a box and reads it back, also when the text is unchanged.
void showAndReadBack(TextBox& box, const std::string& text)
{
    if (box.text() == text) {
        if (box.onChange)
            box.onChange();
    } else {
        box.setText(text);
    }
}

// Gives a control its Alt key and says what it is for.
template <typename T>
T* keyed(T* control, char mnemonic, const char* tip)
{
    control->setMnemonic(mnemonic);
    control->setToolTip(tip);
    return control;
}

} // namespace

// ---------------------------------------------------------------------------
// Declaring controls

// Creates the controls of one container together with their rows, and wires
// each declared handler.
class CalcForm::Builder {
public:
    explicit Builder(CalcForm& form) : f_(form) {}

    // The container the next controls go into; nullptr for the first tab.
    void into(Container* container) { where_ = container; }
    Container* where() const { return where_; }

    Container& container(const char* name, int index, bool visible)
    {
        auto& c = f_.add<Container>(name, index, where_);
        c.setVisible(visible);
        return c;
    }

    // A box, not yet in a row.
    TextBox& makeBox(const BoxDeclaration& decl)
    {
        auto& box = f_.add<TextBox>(decl.name, decl.index, where_);
        box.setMultiLine(decl.multiLine);
        box.setToolTip(decl.tip);
        const bool grey = decl.look == Look::Result || decl.look == Look::Grey;
        box.setBackground(grey ? TextBox::Background::ButtonFace : TextBox::Background::Window);
        box.setReadOnly(decl.look == Look::Result);
        box.setText(decl.initial); // before the handler exists: none runs for it
        f_.declarations_.emplace(&box, Declared{&box, decl});
        f_.lastAccepted_[&box] = decl.initial;
        if (auto* shown = std::get_if<float R::*>(&decl.field))
            f_.registerShown(*shown, paneOf(where_), box);
        if (decl.rule != Rule::None || decl.change)
            box.onChange = [&f = f_, &box] { f.readBox(box, f.decl(box)); };
        if (decl.rule != Rule::None && decl.rule != Rule::T)
            box.onLostFocus = [&f = f_, &box] { f.numberLeft(box); };
        return box;
    }

    Button& button(const char* name, int index, const char* caption, Handler click, bool visible = true)
    {
        auto& b = f_.add<Button>(name, index, where_);
        b.setCaption(caption);
        b.setVisible(visible);
        wire(b, click);
        return b;
    }

    OptionButton& option(const char* name, int index, OptionGroup& group, const char* caption,
                         Handler click)
    {
        auto& o = f_.add<OptionButton>(name, index, where_, group);
        o.setCaption(caption);
        wire(o, click);
        return o;
    }

    CheckBox& check(const char* name, int index, const char* caption, Handler click)
    {
        auto& c = f_.add<CheckBox>(name, index, where_);
        c.setCaption(caption);
        wire(c, click);
        return c;
    }

    ComboBox& list(const char* name, Handler click, Handler gotFocus = nullptr)
    {
        auto& l = f_.add<ComboBox>(name, kNoIndex, where_);
        CalcForm* f = &f_;
        if (click)
            l.onClick = [f, click] { (f->*click)(kNoIndex); };
        if (gotFocus)
            l.onGotFocus = [f, gotFocus] { (f->*gotFocus)(kNoIndex); };
        return l;
    }

    // ---- rows ----

    // label | box | unit (| a button beside it)
    TextBox& field(const BoxDeclaration& decl, Button* beside = nullptr)
    {
        TextBox& box = makeBox(decl);
        Row row{.kind = RowKind::Field, .label = decl.label, .symbol = decl.symbol, .unit = decl.unit};
        row.controls = {&box};
        if (beside)
            row.controls.push_back(beside);
        row.width = decl.width;
        add(std::move(row));
        return box;
    }
    // label | "1 : " box
    TextBox& prefixed(const char* prefix, const BoxDeclaration& decl)
    {
        TextBox& box = field(decl);
        f_.rowsOf(where_).back().prefix = prefix;
        return box;
    }
    void options(const char* label, std::initializer_list<OptionButton*> options, bool inRow = false)
    {
        add({.kind = inRow ? RowKind::OptionsInRow : RowKind::Options, .label = label,
             .controls = {options.begin(), options.end()}});
    }
    void list(const char* label, ComboBox& list, Width width = Width::Box)
    {
        add({.kind = RowKind::List, .label = label, .controls = {&list}, .width = width});
    }
    // label | box with up-down arrows stepping it within [min, max]
    TextBox& counted(const BoxDeclaration& decl, const char* upDownName, int min, int max)
    {
        TextBox& box = makeBox(decl);
        auto& arrows = f_.add<UpDown>(upDownName, decl.index, where_, box, min, max);
        // The arrow keys in the box step it as the arrows beside it do.
        box.onKeyDown = [&arrows](int keyCode) { return arrows.key(keyCode); };
        f_.counters_[&box] = &arrows;
        add({.kind = RowKind::Counted, .label = decl.label, .unit = decl.unit, .controls = {&box, &arrows},
             .width = decl.width});
        return box;
    }
    // boxes side by side, each captioned above, one unit after them
    std::vector<TextBox*> sideBySide(std::initializer_list<BoxDeclaration> decls, const char* unit)
    {
        Row row{.kind = RowKind::SideBySide, .unit = unit, .width = Width::Narrow};
        std::vector<TextBox*> boxes;
        for (const BoxDeclaration& decl : decls) {
            boxes.push_back(&makeBox(decl));
            row.controls.push_back(boxes.back());
            row.captions.emplace_back(decl.label);
        }
        add(std::move(row));
        return boxes;
    }
    void checkRow(CheckBox& check, Button* beside = nullptr)
    {
        Row row{.kind = RowKind::Check, .controls = {&check}};
        if (beside)
            row.controls.push_back(beside);
        add(std::move(row));
    }
    void buttons(std::initializer_list<Control*> buttons)
    {
        add({.kind = RowKind::Buttons, .controls = {buttons.begin(), buttons.end()}});
    }
    // A pane's compute button cmdCalcul(k), between the inputs and the results.
    void compute(int k, bool visible = true)
    {
        add({.kind = RowKind::Compute,
             .controls = {keyed(&button("cmdCalcul", k, kCompute, &CalcForm::computeClicked, visible), 'V',
                                kComputeTip)}});
    }
    void confirm(Button& ok) { add({.kind = RowKind::Confirm, .controls = {&ok}}); }
    void note(const char* text) { add({.kind = RowKind::Note, .label = text}); }
    void gap() { add({.kind = RowKind::Gap}); }

    // Where the next row will stand, for a row declared later (a panel whose
    // controls come after the pane's results).
    std::size_t mark() const { return f_.rowsOf(where_).size(); }
    void panelAt(Container* pane, std::size_t position, Container& panel)
    {
        auto& rows = f_.rowsOf(pane);
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(position),
                    Row{.kind = RowKind::Panel, .controls = {&panel}});
    }

private:
    template <typename T>
    void wire(T& control, Handler click)
    {
        if (!click)
            return;
        control.onClick = [f = &f_, click, index = control.index()] { (f->*click)(index); };
    }

    void add(Row row) { f_.addRow(where_, std::move(row)); }

    // The technology pane a container belongs to (0: none).
    static int paneOf(const Control* where)
    {
        for (const Control* c = where; c; c = c->parent())
            if (c->name() == "picResults")
                return c->index();
        return 0;
    }

    CalcForm& f_;
    Container* where_ = nullptr;
};

CalcForm::CalcForm(Application& app)
    : Form("frmCalc"), app_(app), engine_(app.record(), state_, *this)
{
    Builder b(*this);
    declareProjectTab(b);
    declareSharedInputs(b);
    declareTechnologyChoice(b);
    declareSurface(b);
    declareSwale(b);
    declareCombined(b);
    declareTrench(b);
    declareShaft(b);
    declareBasin(b);
    declareResultsTab(b);
    // Who mirrors whom, worked out once: every keystroke uses it.
    for (const auto& [box, declared] : declarations_) {
        const BoxDeclaration& mine = declared.decl;
        if (mine.computed)
            computedBoxes_.push_back(declared.box);
        if (std::holds_alternative<std::monostate>(mine.field) || mine.look == Look::Result)
            continue;
        std::vector<TextBox*>& partners = partners_[box];
        for (const auto& [other, theirs] : declarations_)
            if (other != box && theirs.decl.field == mine.field && theirs.decl.look != Look::Result &&
                !theirs.decl.computed)
                partners.push_back(theirs.box);
    }
    setOpen(true);
}

void CalcForm::declareProjectTab(Builder& b)
{
    b.into(nullptr);
    b.field({.name = "txtProjName", .label = "Název projektu:", .rule = Rule::T, .field = &R::ProjName, .width = Width::Wide,
             .tip = "Název projektu; uvádí se v protokolu s výsledky"});
    b.field({.name = "txtProjektant", .label = "Řešitel projektu:", .rule = Rule::T, .field = &R::Projektant, .width = Width::Wide,
             .tip = "Kdo návrh zpracoval; uvádí se v protokolu"});
    b.field({.name = "txtInvestor", .label = "Investor:", .rule = Rule::T, .field = &R::Investor, .width = Width::Wide,
             .tip = "Investor stavby; uvádí se v protokolu"});
    b.field({.name = "txtMistoAkce", .label = "Místo akce:", .rule = Rule::T, .field = &R::MistoAkce, .width = Width::Wide,
             .tip = "Místo stavby (obec, ulice, parcela); uvádí se v protokolu"});
    b.field({.name = "txtDetails", .label = "Detilní popis:", .rule = Rule::T, .field = &R::Details, .width = Width::Wide,
             .multiLine = true, .tip = "Podrobnější popis projektu pro protokol, i na více řádků"});
    lblTime = &add<Label>("lblTime", kNoIndex, nullptr);
    for (int k = 0; k <= 1; ++k) {
        auto& link = add<Label>("lblOdkaz", k, nullptr);
        link.setCaption(k == 0 ? "infil.example.org" : "sachty.example.org");
        link.onClick = [this, k] { linkClicked(k); };
    }
}

void CalcForm::declareSharedInputs(Builder& b)
{
    b.into(nullptr);
    Frame1 = &b.container("Frame1", kNoIndex, true);
    b.into(Frame1);
    // Three buttons of one caption: each takes another of its letters.
    auto dialogButton = [&](int k, char mnemonic, const char* tip) {
        return cmdEdit[k] = keyed(&b.button("cmdEdit", k, "Zadat", &CalcForm::editButtonClicked), mnemonic, tip);
    };
    txtSelIntDeste = &b.field({.name = "txtSelIntDeste", .label = "Intenzita trvání deště", .unit = "l/(s.ha)",
                               .look = Look::Grey, .change = &CalcForm::intensityChanged,
                               .symbol = "<i>i</i> (t,p)",
                               .tip = "Intenzita návrhového deště i [l/(s.ha)], vybraná "
                                      "tlačítkem Zadat, obvykle 30 až 400"},
                              dialogButton(0, 'Z', "Vybrat návrhový déšť: stanici, periodicitu a dobu trvání"));
    txtSelDTrvDeste = &b.field({.name = "txtSelDTrvDeste", .label = "Doba trvání deště", .unit = "min",
                                .look = Look::Result, .change = &CalcForm::durationChanged,
                                .symbol = "<i>t</i><sub>d</sub>",
                                .tip = "Doba trvání návrhového deště td [min], vybraná spolu s intenzitou, 5 až 120"});
    txtOdvodNepPlocha = &b.field({.name = "txtOdvodNepPlocha", .label = "Celková odvodňovaná plocha", .unit = kM2,
                                  .look = Look::Result, .change = &CalcForm::areaChanged,
                                  .tip = "Redukovaná odvodňovaná plocha [m²]: součet dílčích ploch násobených "
                                         "součinitelem odtoku, zadává se tlačítkem Zadat"},
                                 dialogButton(1, 'd', "Složit odvodňovanou plochu z dílčích ploch a "
                                                      "jejich součinitelů odtoku"));
    txtOdtokDoInfil = &b.field({.name = "txtOdtokDoInfil", .label = "Odtok do infilovacího zařízení", .unit = "l/s",
                                .field = &R::OdtokDoInfil, .look = Look::Result,
                                .tip = "Přítok do infilovacího zařízení Q [l/s] z plochy a "
                                       "intenzity deště; počítá program"});
    b.gap(); // the soil rows stand apart
    txtSoucFiltrace = &b.field({.name = "txtSoucFiltrace", .label = "Součinitel filtrace (kf) podloží",
                                .unit = kMetresPerSecond, .rule = Rule::K, .field = &R::SoucFiltrace,
                                .then = &CalcForm::filtrationRead, .stored = &CalcForm::filtrationStored,
                                .tip = "Součinitel filtrace podloží kf [m/s], obvykle 1.0E-06 až 1.0E-03"},
                               dialogButton(2, 't', "Vybrat součinitel filtrace podle druhu nesoudržné horniny"));
    txtTypPudyPodlozi = &b.field({.name = "txtTypPudyPodlozi", .label = "Typ nesoudržné horniny", .rule = Rule::T,
                                  .field = &R::TypPudyPodlozi, .stored = &CalcForm::soilNameTyped,
                                  .width = Width::Wide,
                                  .tip = "Druh nesoudržné horniny v podloží; vyplní se s výběrem "
                                         "součinitele filtrace, lze jej i napsat"});
    b.field({.name = "txtHPV", .label = "Hladina podzemní vody (pod povrchem)", .unit = kM, .rule = Rule::R,
             .field = &R::HPV,
             .tip = "Hloubka hladiny podzemní vody pod terénem [m]; dno zařízení má ležet aspoň 1 m nad ní"});
}

void CalcForm::declareTechnologyChoice(Builder& b)
{
    b.into(nullptr);
    Frame2 = &b.container("Frame2", kNoIndex, true);
    b.into(Frame2);
    optSelType[0] = keyed(&b.option("optSelType", 0, optSelTypeGroup, "Decenralizované", &CalcForm::designModeClicked),
                          'e', "Infilování u odvodňovaných ploch: plošné, v průlehu, průleh s rýhou, rýha, šachty");
    optSelType[1] = keyed(&b.option("optSelType", 1, optSelTypeGroup, "Centralizované", &CalcForm::designModeClicked),
                          'C', "Jedno společné zařízení pro celou plochu: infilovací nádrž");
    b.options("", {optSelType[0], optSelType[1]}, true);
    cboSelType = &b.list("cboSelType", &CalcForm::technologyListClicked, &CalcForm::technologyListGotFocus);
    cboSelType->setEnabled(false);
    cboSelType->setToolTip("Technologie infilování; její popis ukáže karta Popis technologie nebo klávesa F1");
    b.list("", *cboSelType, Width::Wide);
    Row panes{.kind = RowKind::Stack};
    for (int k = 1; k <= 6; ++k)
        panes.controls.push_back(picResults[k] = &b.container("picResults", k, false));
    addRow(Frame2, std::move(panes));
}

void CalcForm::declareSurface(Builder& b)
{
    b.into(picResults[1]);
    b.field({.name = "txtInfilPlocha", .index = 1, .label = "Plocha potřebná pro infilování", .unit = kM2,
             .rule = Rule::R, .field = &R::InfilPlocha, .look = Look::Result,
             .tip = "Plocha potřebná pro infilování [m²]; počítá program"});
    // The array's first two compute buttons are never shown.
    b.buttons({keyed(&b.button("cmdCalcul", 0, kCompute, &CalcForm::computeClicked, false), 'V', kComputeTip),
               keyed(&b.button("cmdCalcul", 1, kCompute, &CalcForm::computeClicked, false), 'V', kComputeTip)});
}

void CalcForm::declareSwale(Builder& b)
{
    b.into(picResults[2]);
    declareSoilOptions(b, optSelTypPudy2, soil2Group, "optSelTypPudy2");
    b.options("Typ půdy", {optSelTypPudy2[0], optSelTypPudy2[1]});
    b.field({.name = "txtSoucBezp", .index = 2, .label = "Součinitel bezpečnosti", .rule = Rule::R, .field = &R::SoucBezp,
             .initial = num::plain(defaults::SoucBezp), .then = &CalcForm::safetyRead,
             .tip = "Součinitel bezpečnosti [-], obvykle 1.2; menší než 1 nemá být"});
    b.compute(2, false); // stays hidden: the swale computes at once
    b.field({.name = "txtInfilPlocha", .index = 2, .label = "Plocha potřebná pro infilování", .unit = kM2,
             .rule = Rule::R, .field = &R::InfilPlocha, .look = Look::Result,
             .tip = "Plocha dna průlehu potřebná pro infilování [m²]; počítá program"});
    b.field({.name = "txtObjAkum", .index = 2, .label = "Objem akumulace průlehu", .unit = kM3, .field = &R::ObjAkum,
             .look = Look::Result, .tip = "Objem, který průleh zadrží při návrhovém dešti [m³]; počítá program"});
    b.field({.name = "txtVyskaVzduti", .index = 2, .label = "Výška vzdutí", .unit = kM, .field = &R::VyskaVzduti,
             .look = Look::Result, .tip = "Výška vody v průlehu [m], obvykle do 0.3 m; počítá program"});
    b.field({.name = "txtDobaPrazdneni", .index = 2, .label = "Doba prázdnění průlehu", .unit = kHours,
             .field = &R::DobaPrazdneni, .look = Look::Result,
             .tip = "Za jak dlouho se průleh vyprázdní [h], obvykle do 24 h; počítá program"});
}

// The soil under a swale, which sets its area (panes 2 and 3).
void CalcForm::declareSoilOptions(Builder& b, Array<OptionButton>& options, OptionGroup& group, const char* name)
{
    options[0] = keyed(&b.option(name, 0, group, "Písek střední až jemný", &CalcForm::soilOptionClicked), 'P',
                       "Propustnější půda: plocha průlehu je desetina odvodňované plochy");
    options[1] = keyed(&b.option(name, 1, group, "Slit a písek, slit", &CalcForm::soilOptionClicked), 'S',
                       "Méně propustná půda: plocha průlehu je pětina odvodňované plochy");
}

// The inputs the combined object (pane 3) and the trench (pane 4) share, and
// the check box that opens the pane's pipe panel.
void CalcForm::declareTrenchInputs(Builder& b, int k, const char* panelCaption)
{
    b.field({.name = "txtSoucBezp", .index = k, .label = "Součinitel bezpečnosti", .rule = Rule::R, .field = &R::SoucBezp,
             .initial = num::plain(defaults::SoucBezp), .then = &CalcForm::safetyRead,
             .tip = "Součinitel bezpečnosti [-], obvykle 1.2; menší než 1 nemá být"});
    b.field({.name = "txtPorVyplne", .index = k, .label = "Pórovitost výplně rýhy", .rule = Rule::R,
             .field = &R::PorVyplne, .initial = num::plain(defaults::PorVyplne),
             .tip = "Pórovitost štěrkové výplně rýhy [-], obvykle 0.3 až 0.4"});
    b.field({.name = "txtSirkaRyhy", .index = k, .label = "Šířka rýhy (střední)", .unit = kM, .rule = Rule::R,
             .field = &R::SirkaRyhy, .tip = "Střední šířka infilovací rýhy [m], obvykle 0.3 až 1.5"});
    b.field({.name = "txtVyskaRyhy", .index = k, .label = "Výška rýhy", .unit = kM, .rule = Rule::R,
             .field = &R::VyskaRyhy, .tip = "Výška infilovací rýhy [m], obvykle 0.5 až 2"});
    const bool combined = k == 3;
    chkSelPretok[k] = keyed(&b.check("chkSelPretok", k, panelCaption, &CalcForm::overflowChecked), combined ? 'k' : 'r',
                            combined ? "Část vody odtéká přetokem se škrceným odtokem; údaje o potrubí zadá panel"
                                     : "Rýha s drenážním potrubím; údaje o potrubí zadá panel");
    cmdEdit[k] = keyed(&b.button("cmdEdit", k, "Editovat", &CalcForm::editButtonClicked), 'i',
                       "Znovu otevřít panel s údaji o potrubí");
    cmdEdit[k]->setEnabled(false);
    b.checkRow(*chkSelPretok[k], cmdEdit[k]);
}

// The results both panes show, below their compute button.
void CalcForm::declareTrenchResults(Builder& b, int k, Look area)
{
    const bool combined = k == 3;
    b.compute(k);
    b.field({.name = "txtInfilPlocha", .index = k, .label = "Plocha potřebná pro infilování", .unit = kM2,
             .rule = Rule::R, .field = &R::InfilPlocha, .look = area,
             .tip = combined ? "Plocha průlehu nad rýhou [m²]; program ji navrhne, lze ji i přepsat"
                             : "Plocha dna rýhy potřebná pro infilování [m²]; počítá program",
             .computed = area == Look::Result});
    b.field({.name = "txtObjAkum", .index = k, .label = "Objem akumulace průlehu", .unit = kM3, .field = &R::ObjAkum,
             .look = Look::Result,
             .tip = combined ? "Objem akumulace v průlehu a rýze [m³]; počítá program"
                             : "Objem akumulace v rýze [m³]; počítá program",
             .computed = true});
    b.field({.name = "txtDelkaRyhy", .index = k, .label = "Délka infilovací rýhy", .unit = kM, .field = &R::DelkaRyhy,
             .look = Look::Result, .tip = "Potřebná délka infilovací rýhy [m]; počítá program", .computed = true});
}

void CalcForm::declareCombined(Builder& b)
{
    Container* pane = picResults[3];
    b.into(pane);
    declareSoilOptions(b, optSelTypPudy3, soil3Group, "optSelTypPudy3");
    b.options("Typ půdy:", {optSelTypPudy3[0], optSelTypPudy3[1]});
    b.field({.name = "txtSoucFiltrPruleh", .index = 3, .label = "Součinitel filtrace (kf) průlehu",
             .unit = kMetresPerSecond, .rule = Rule::K, .field = &R::SoucFiltrPruleh,
             .tip = "Součinitel filtrace půdy v průlehu kf [m/s], obvykle 1.0E-06 až 1.0E-03"});
    declareTrenchInputs(b, 3, "Přetok a škrcený odtok");
    const std::size_t panelRow = b.mark();
    // The swale's area may be typed over here.
    declareTrenchResults(b, 3, Look::Input);
    b.field({.name = "txtSirkaPrulehu", .index = 3, .label = "Šířka průlehu", .unit = kM, .field = &R::SirkaPrulehu,
             .look = Look::Result, .tip = "Šířka průlehu [m]; počítá program", .computed = true});
    b.field({.name = "txtHloubkaPrulehu", .index = 3, .label = "Hloubka průlehu (výška vzdutí)", .unit = kM,
             .field = &R::HloubkaPrulehu, .look = Look::Result,
             .tip = "Hloubka vody v průlehu [m], obvykle do 0.3 m; počítá program", .computed = true});
    b.field({.name = "txtDobaPrazdneni", .index = 3, .label = "Doba prázdnění průlehu", .unit = kHours,
             .field = &R::DobaPrazdneni, .look = Look::Result,
             .tip = "Za jak dlouho se průleh vyprázdní [h], obvykle do 24 h; počítá program", .computed = true});

    // The overflow and throttled outflow panel, opening below the check box.
    b.into(pane);
    picPretokSkrOdtok[3] = &b.container("picPretokSkrOdtok", 3, false);
    b.into(picPretokSkrOdtok[3]);
    declarePipeDiameters(b, 3);
    b.field({.name = "txtSpecDrenOdtok", .index = 3, .label = "Škrcená odtoková intenzita", .unit = "l/(s.ha)",
             .rule = Rule::R, .field = &R::SpecDrenOdtok, .width = Width::Narrow,
             .tip = "Povolený odtok z území do kanalizace nebo toku [l/(s.ha)], obvykle 2 až 10"});
    declarePipeCount(b, 3);
    b.confirm(*keyed(&b.button("cmdOK", 3, "OK", &CalcForm::panelOkClicked), 'O',
                     "Uložit údaje o potrubí a zavřít panel"));
    b.panelAt(pane, panelRow, *picPretokSkrOdtok[3]);
}

void CalcForm::declareTrench(Builder& b)
{
    Container* pane = picResults[4];
    b.into(pane);
    declareTrenchInputs(b, 4, "Drenáž");
    const std::size_t panelRow = b.mark();
    declareTrenchResults(b, 4, Look::Result);

    // The drain panel, opening below the check box.
    b.into(pane);
    picPretokSkrOdtok[4] = &b.container("picPretokSkrOdtok", 4, false);
    b.into(picPretokSkrOdtok[4]);
    declarePipeDiameters(b, 4);
    declarePipeCount(b, 4);
    b.field({.name = "txtVystupPlocha", .index = 4, .label = "Výstupní plocha", .unit = "cm²/m",
             .rule = Rule::R, .field = &R::VystupPlocha, .width = Width::Narrow,
             .tip = "Plocha otvorů drenážní trouby na metr délky [cm²/m], podle výrobce"});
    b.field({.name = "txtVystupRychlost", .index = 4, .label = "Výstupní rychlost", .unit = kMetresPerSecond,
             .rule = Rule::R, .field = &R::VystupRychlost, .width = Width::Narrow,
             .tip = "Rychlost vody v otvorech drenáže [m/s], podle výrobce"});
    b.confirm(*keyed(&b.button("cmdOK", 4, "OK", &CalcForm::panelOkClicked), 'O',
                     "Uložit údaje o drenáži a zavřít panel"));
    b.panelAt(pane, panelRow, *picPretokSkrOdtok[4]);
}

void CalcForm::declarePipeDiameters(Builder& b, int k)
{
    b.field({.name = "txtPrumTroubVnit", .index = k, .label = "Vnitřní průměr infilovací trouby", .unit = "mm",
             .rule = Rule::R, .field = &R::PrumTroubVnit, .width = Width::Narrow,
             .tip = "Vnitřní průměr infilovací trouby [mm], obvykle 100 až 300"});
    b.field({.name = "txtPrumTroubVnej", .index = k, .label = "Vnější průměr infilovací trouby", .unit = "mm",
             .rule = Rule::R, .field = &R::PrumTroubVnej, .width = Width::Narrow,
             .tip = "Vnější průměr infilovací trouby [mm], větší než vnitřní"});
}

void CalcForm::declarePipeCount(Builder& b, int k)
{
    b.counted({.name = "txtPocetPotrubi", .index = k, .label = "Počet potrubí", .rule = Rule::P,
               .field = &R::PocetPotrubi, .initial = num::plain(defaults::PocetPotrubi),
               .width = Width::Narrow, .tip = "Počet trub v rýze, 1 až 10; šipky nahoru a dolů jej mění o jednu"},
              "UpDown", 1, 10);
}

void CalcForm::declareShaft(Builder& b)
{
    b.into(picResults[5]);
    optSelTypPudy5[0] = keyed(&b.option("optSelTypPudy5", 0, soil5Group, "typ A", &CalcForm::filterTypeClicked), 'A',
                              "Šachta typu A: na dně jen filtrační vrstva");
    optSelTypPudy5[1] = keyed(&b.option("optSelTypPudy5", 1, soil5Group, "typ B", &CalcForm::filterTypeClicked), 'B',
                              "Šachta typu B: filtrační vrstva na vrstvě písku nebo jemného štěrku");
    b.options("Typ šachty:", {optSelTypPudy5[0], optSelTypPudy5[1]}, true);
    auto shape = [&](int k, const char* caption) {
        return &b.option("optSelTypSachty", k, shaftShapeGroup, caption, &CalcForm::shaftShapeClicked);
    };
    optSelTypSachty[0] = keyed(shape(0, "kruhový"), 'k', "Šachty z kruhových skruží");
    optSelTypSachty[1] = keyed(shape(1, "pravoúhlý"), 'p', "Šachty pravoúhlého půdorysu");
    b.options("", {optSelTypSachty[0], optSelTypSachty[1]}, true);
    cboTypSachty = &b.list("cboTypSachty", &CalcForm::shaftProductClicked);
    cboTypSachty->setToolTip("Výrobek: vyplní rozměry a tloušťku stěny šachty");
    b.list("", *cboTypSachty);
    b.counted({.name = "txtSachtyCount", .label = "Počet šachet:", .rule = Rule::I, .field = &R::SachtyCount,
               .initial = num::plain(defaults::SachtyCount),
               .tip = "Počet stejných šachet, 1 až 50; šipky nahoru a dolů jej mění o jednu"},
              "updSacht", 1, 50);
    // Which field the first two boxes read depends on the shape: their handlers
    // decide.
    const auto sizes = b.sideBySide({{.name = "txtPrumerSachtyVnit", .label = "DN / Šířka", .rule = Rule::R,
                                      .change = &CalcForm::shaftInnerChanged,
                                      .tip = "Vnitřní průměr kruhové šachty, nebo šířka pravoúhlé "
                                             "šachty [m]; vyplní se s výrobkem"},
                                     {.name = "txtPrumerSachtyVnej", .label = "Délka", .rule = Rule::R,
                                      .field = &R::ShaftLength, .change = &CalcForm::shaftLengthChanged,
                                      .tip = "Délka pravoúhlé šachty [m]; vyplní se s výrobkem"},
                                     {.name = "txtTloustkaSteny", .label = "Tloušťka", .rule = Rule::R,
                                      .field = &R::TloustkaSteny, .change = &CalcForm::shaftWallChanged,
                                      .tip = "Tloušťka stěny šachty [m], obvykle 0.1 až 0.2; vyplní se s výrobkem"}},
                                    kM);
    txtPrumerSachtyVnit = sizes[0];
    txtPrumerSachtyVnej = sizes[1];
    txtTloustkaSteny = sizes[2];
    b.field({.name = "txtSoucBezp", .index = 1, .label = "Součinitel bezpečnosti", .rule = Rule::R, .field = &R::SoucBezp,
             .initial = num::plain(defaults::SoucBezp), .then = &CalcForm::safetyRead,
             .tip = "Součinitel bezpečnosti [-], obvykle 1.2; menší než 1 nemá být"});
    b.field({.name = "txtNezamrzHlPritok", .label = "Nezámrzná hloubka přitoku", .unit = kM, .rule = Rule::R,
             .field = &R::NezamrzHlPritok,
             .tip = "Hloubka přítokového potrubí pod terénem, kam nezamrzá [m], obvykle 0.8 až 1.2"});
    b.field({.name = "txtVyskaFiltrVrstvy", .label = "Výška filtrační vrstvy", .unit = kM, .rule = Rule::R,
             .field = &R::VyskaFiltrVrstvy, .tip = "Výška filtrační vrstvy na dně šachty [m], obvykle 0.3 až 0.5"});
    txtVyskaPiskVrstvy = &b.field({.name = "txtVyskaPiskVrstvy", .label = "Vrstva písku/jemného štěrku", .unit = kM,
                                   .rule = Rule::R, .field = &R::VyskaPiskVrstvy,
                                   .tip = "Výška vrstvy písku nebo jemného štěrku pod filtrem [m]; jen u typu B"});
    b.field({.name = "txtMinPrusakDraha", .label = "Minimální průsaková dráha", .unit = kM, .rule = Rule::R,
             .field = &R::MinPrusakDraha, .initial = num::plain(defaults::MinPrusakDraha),
             .tip = "Nejmenší dráha průsaku od dna šachty k hladině podzemní vody [m], obvykle 1.5"});
    b.compute(5);
    b.field({.name = "txtVyskaVzduti", .index = 5, .label = "Výška vzdutí", .unit = kM, .field = &R::VyskaVzduti,
             .look = Look::Result,
             .tip = "Výška vody v šachtě při návrhovém dešti [m]; počítá program", .computed = true});
    b.field({.name = "txtHloubkaSachty", .label = "Potřebná hloubka šachty", .unit = kM, .field = &R::HloubkaSachty,
             .look = Look::Result, .tip = "Potřebná hloubka šachty pod terénem [m]; počítá program", .computed = true});
    b.field({.name = "txtPotrHloubkaZahl", .label = "Min. hloubka hladiny podzemní vody", .unit = kM, .rule = Rule::P,
             .field = &R::PotrHloubkaZahl, .look = Look::Result,
             .tip = "Nejmenší hloubka hladiny podzemní vody pod terénem, kterou "
                    "šachta potřebuje [m]; počítá program", .computed = true});
    b.field({.name = "txtInfilPlocha", .index = 5, .label = "Infilovací plocha šachty", .unit = kM2, .rule = Rule::R,
             .field = &R::InfilPlocha, .look = Look::Result,
             .tip = "Plocha, kterou šachty vsakují, dno a část stěn [m²]; počítá program", .computed = true});
    b.field({.name = "txtObjAkum", .index = 5, .label = "Objem akumulace šachty", .unit = kM3, .field = &R::ObjAkum,
             .look = Look::Result, .tip = "Objem vody zadržené v šachtách [m³]; počítá program", .computed = true});
    b.field({.name = "txtSoucFiltrPruleh", .index = 5, .label = "Součinitel filtrace náplně filtru",
             .unit = kMetresPerSecond, .rule = Rule::K, .field = &R::SoucFiltrPruleh, .look = Look::Grey,
             .tip = "Součinitel filtrace, který musí mít náplň filtru [m/s], "
                    "nejvýše 1.0E-03; počítá program", .computed = true});
}

void CalcForm::declareBasin(Builder& b)
{
    b.into(picResults[6]);
    b.field({.name = "txtSoucBezp", .index = 5, .label = "Součinitel bezpečnosti", .rule = Rule::R, .field = &R::SoucBezp,
             .initial = num::plain(defaults::SoucBezp), .then = &CalcForm::safetyRead,
             .tip = "Součinitel bezpečnosti [-], obvykle 1.2; menší než 1 nemá být"});
    b.field({.name = "txtSpecInfilIntenz", .label = "Specifická infilovací intenzita", .unit = "l/s.ha", .rule = Rule::R,
             .field = &R::SpecInfilIntenz, .tip = "Specifická infilovací intenzita dna nádrže [l/(s.ha)]"});
    b.field({.name = "txtDelkaDnaNadrz", .label = "Délka dna nádrže", .unit = kM, .rule = Rule::R,
             .field = &R::DelkaDnaNadrz, .tip = "Délka dna nádrže [m]"});
    b.field({.name = "txtSirkaDnaNadrz", .label = "Šířka dna nádrže", .unit = kM, .rule = Rule::R,
             .field = &R::SirkaDnaNadrz, .tip = "Šířka dna nádrže [m]"});
    b.field({.name = "txtHloubkaNadrz", .label = "Hloubka nádrže", .unit = kM, .rule = Rule::R, .field = &R::HloubkaNadrz,
             .tip = "Hloubka nádrže [m], aspoň 0.5 m"});
    b.prefixed("1 : ", {.name = "txtSklonSvahuNadrz", .label = "Sklon svahů nádrže", .rule = Rule::R,
                        .field = &R::SklonSvahuNadrz, .tip = "Sklon svahů nádrže 1 : n, zadává se n, obvykle 2 až 3"});
    chkPredUsaz = keyed(&b.check("chkPredUsaz", kNoIndex, "Předsazené usazování", &CalcForm::settlingClicked), 'P',
                        "Voda se před nádrží nejprve usadí; bez toho se dno zanáší a počítá se s pětinou propustnosti");
    b.checkRow(*chkPredUsaz);
    b.compute(6);
    b.field({.name = "txtInfilTok", .label = "Infilovací tok", .unit = "m³/s", .field = &R::InfilTok,
             .look = Look::Grey, .tip = "Tok, který vsakuje dno nádrže [m³/s]; počítá program", .computed = true});
    b.field({.name = "txtObjAkum", .index = 6, .label = "Potřebný objem akumulace nádrže", .unit = kM3,
             .field = &R::ObjAkum, .look = Look::Result,
             .tip = "Objem, který musí nádrž zadržet [m³]; počítá program", .computed = true});
    b.field({.name = "txtVypObjNadrz", .label = "Objem dle rozměrů nádrže", .unit = kM3, .field = &R::VypObjNadrz,
             .look = Look::Result,
             .tip = "Objem nádrže podle zadaných rozměrů [m³]; má být aspoň potřebný objem", .computed = true});
    b.note("Nutno ověřit dlouhodobou simulací!");
}

void CalcForm::declareResultsTab(Builder& b)
{
    b.into(nullptr);
    cmdSaveResults = keyed(&b.button("cmdSaveResults", kNoIndex, "Uložit jako", &CalcForm::saveResultsClicked, false),
                           'U', "Uložit protokol jako webovou stránku nebo dokument PDF");
    cmdPrint = keyed(&b.button("cmdPrint", kNoIndex, "Tisk", &CalcForm::printClicked, false), 'T',
                     "Náhled protokolu před tiskem");
}

void CalcForm::registerShown(float ProjectRecord::*field, int pane, TextBox& box)
{
    std::vector<Shown>& onPane = shown_.at(static_cast<std::size_t>(pane));
    for (const Shown& s : onPane)
        if (s.field == field)
            throw std::logic_error("two boxes show one field on pane " + std::to_string(pane) + ": " +
                                   s.box->key() + ", " + box.key());
    onPane.push_back({field, pane, &box});
}

ProjectRecord& CalcForm::record() { return app_.record(); }

const char* CalcForm::linkAddress(int index)
{
    // Kept in one place; neither address belongs to a real company.
    return index == 0 ? "https://infil.example.org/" : "https://sachty.example.org/";
}

void CalcForm::throwNoControl(std::string_view name, int index)
{
    throw std::logic_error("the main window has no control " + std::string(name) +
                           (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()) +
                           " of that kind");
}

TextBox& CalcForm::boxShowing(float ProjectRecord::*field, int pane) const
{
    if (pane >= 0 && pane < static_cast<int>(shown_.size()))
        for (const Shown& s : shown_[static_cast<std::size_t>(pane)])
            if (s.field == field)
                return *s.box;
    throw std::logic_error("the main window shows no such field on pane " + std::to_string(pane));
}

const BoxDeclaration& CalcForm::decl(const TextBox& box) const { return declarations_.at(&box).decl; }

// ---------------------------------------------------------------------------
// Reading the boxes

void CalcForm::readBox(TextBox& box, const BoxDeclaration& decl)
{
    if (decl.change) {
        (this->*decl.change)(box.index());
        return;
    }
    // A count takes only what its up-down allows, as a whole number; leaving
    // the box brings anything else within the limits.
    const bool counted = counters_.contains(&box);
    if (counted && !counters_.at(&box)->allows(box.text()))
        return;
    ProjectRecord& r = record();
    num::Reading::Action action = num::Reading::Action::Store;
    switch (decl.rule) {
    case Rule::None:
        return;
    case Rule::T:
        r.*std::get<std::string R::*>(decl.field) = box.text();
        accepted(box);
        if (decl.stored)
            (this->*decl.stored)(box.index());
        return;
    case Rule::R:
        action = readNumber(box, r.*std::get<float R::*>(decl.field), num::ruleR);
        break;
    case Rule::K:
        action = readNumber(box, r.*std::get<float R::*>(decl.field), num::ruleK);
        break;
    case Rule::P:
        action = readNumber(box, r.*std::get<float R::*>(decl.field), counted ? num::ruleI : num::ruleP);
        break;
    case Rule::I: {
        std::int16_t& field = r.*std::get<std::int16_t R::*>(decl.field);
        const std::int16_t before = field;
        action = num::apply(num::ruleI(box.text()), field);
        if (action == num::Reading::Action::Store) {
            accepted(box);
            if (field != before)
                inputChanged(&box);
        }
        break;
    }
    }
    if (decl.stored && action == num::Reading::Action::Store)
        (this->*decl.stored)(box.index());
    // Only a value just read changes the design; an emptied box recalculates nothing.
    if (decl.then && action == num::Reading::Action::Store && !box.text().empty())
        ignoringFaults([this, &decl, &box] { (this->*decl.then)(box.index()); });
}

num::Reading::Action CalcForm::readNumber(TextBox& box, float& field, num::Reading (*rule)(std::string_view))
{
    const float before = field;
    const num::Reading::Action action = num::apply(rule(box.text()), field);
    if (action == num::Reading::Action::Store) {
        accepted(box);
        if (field != before)
            inputChanged(&box);
    }
    return action;
}

void CalcForm::accepted(TextBox& box)
{
    lastAccepted_[&box] = box.text();
    // Every other box the user types this field into shows it too, so no pane
    // shows a value that is not the one in use (a computed result shows what
    // its Compute gave, or nothing).
    const auto partners = partners_.find(&box);
    if (partners == partners_.end())
        return;
    for (TextBox* other : partners->second) {
        other->mirror(box.text());
        lastAccepted_[other] = box.text();
    }
}

void CalcForm::numberLeft(TextBox& box)
{
    const BoxDeclaration& s = decl(box);
    const std::string text = box.text();
    if (s.rule == Rule::K && num::valueOf(text) > 0) {
        // A coefficient is shown in its pattern; the change handler reads it back.
        box.setText(num::scientific(record().*std::get<float R::*>(s.field), 1));
        return;
    }
    const num::Typed typed = num::classify(text);
    const bool countTyped = typed.kind == num::Typed::Kind::Number || typed.kind == num::Typed::Kind::Empty;
    if (const auto counter = counters_.find(&box); counter != counters_.end() && countTyped) {
        // A count beyond the limits becomes the nearest limit, an emptied one
        // the count still in use.
        const std::string count = counter->second->settled(text, lastAccepted_[&box]);
        if (!count.empty())
            box.setText(count);
        return;
    }
    if (typed.kind == num::Typed::Kind::Empty)
        return;
    const bool outOfRange = typed.kind == num::Typed::Kind::Number &&
                            (s.rule == Rule::I ? num::ruleI(text) : num::ruleR(text)).action ==
                                num::Reading::Action::OutOfRange;
    if (typed.kind == num::Typed::Kind::Number && !outOfRange) {
        // The program's own form: a decimal comma becomes its point.
        std::string own = text;
        std::replace(own.begin(), own.end(), ',', '.');
        box.setText(own);
        return;
    }
    // Left unfinished, mistyped or beyond the range: say so, and show again the
    // value still in use instead of a text that means nothing to the design.
    const std::string previous = lastAccepted_[&box];
    showMessage(unreadNumber(text, s.label, previous, outOfRange));
    box.setText(previous);
}

void CalcForm::ignoringFaults(const std::function<void()>& step)
{
    try {
        step();
    } catch (const FloatFault&) {
        // The number-reading handlers go on after a fault; the fields keep what
        // was assigned before it.
    }
}

void CalcForm::filtrationRead(int) { RebuildCalc(); }

void CalcForm::soilPicked()
{
    soilNameFromPicker_ = true;
    pickedCoefficient_ = record().SoucFiltrace;
}

void CalcForm::soilPicked(float coefficient)
{
    soilNameFromPicker_ = true;
    pickedCoefficient_ = coefficient;
}

std::optional<float> CalcForm::pickedSoilCoefficient() const
{
    if (!soilNameFromPicker_)
        return std::nullopt;
    return pickedCoefficient_;
}

void CalcForm::filtrationStored(int)
{
    // The picked soil's name would otherwise stand beside a coefficient the
    // user typed, in the window and in the report.
    if (soilNameFromPicker_ && record().SoucFiltrace != pickedCoefficient_)
        txtTypPudyPodlozi->setText("");
}

void CalcForm::soilNameTyped(int) { soilNameFromPicker_ = false; }
void CalcForm::safetyRead(int) { engine_.CalcTechnology(); }
void CalcForm::areaChanged(int) { inflowChanged(true); }
void CalcForm::intensityChanged(int) { inflowChanged(false); }
void CalcForm::durationChanged(int) { RebuildCalc(); }

void CalcForm::inflowChanged(bool testIntensity)
{
    ProjectRecord& r = record();
    if (!testIntensity || r.SelIntDeste > 0) {
        r.OdtokDoInfil = formulas::inflowLps(r.OdvodNepPlocha, r.SelIntDeste);
        txtOdtokDoInfil->setText(num::fixed(r.OdtokDoInfil, 1));
    }
    RebuildCalc();
}

// ---------------------------------------------------------------------------
// Engine procedures of the window

void CalcForm::redo(OptionButton& option)
{
    option.setValue(false);
    option.setValue(true);
}

void CalcForm::ClearResults()
{
    ++programWriting_;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done{programWriting_};
    auto blank = [this](int pane, std::initializer_list<float ProjectRecord::*> fields) {
        for (auto field : fields)
            boxShowing(field, pane).setText("");
    };
    auto redoSoilOption = [this](Array<OptionButton>& options) {
        if (auto it = options.find(state_.SoilOption); it != options.end())
            redo(*it->second);
    };
    switch (state_.TechIndex) {
    case 1:
        boxShowing(&R::InfilPlocha, 1).setText("0");
        engine_.CalcTechnology();
        break;
    case 2:
        blank(2, {&R::InfilPlocha, &R::ObjAkum, &R::VyskaVzduti, &R::DobaPrazdneni});
        redoSoilOption(optSelTypPudy2);
        break;
    case 3:
        // Emptied results are no results: the pane needs its Compute again.
        current_[3] = false;
        blank(3, {&R::InfilPlocha, &R::ObjAkum, &R::DelkaRyhy, &R::SirkaPrulehu, &R::HloubkaPrulehu,
                  &R::DobaPrazdneni});
        redoSoilOption(optSelTypPudy3);
        break;
    case 4:
        current_[4] = false;
        blank(4, {&R::InfilPlocha, &R::ObjAkum, &R::DelkaRyhy});
        break;
    case 5:
        redoSoilOption(optSelTypPudy5);
        break;
    default:
        break;
    }
}

void CalcForm::RebuildCalc()
{
    // A shared input (area, rain, coefficient) has changed.
    inputChanged();
    if (auto it = optSelType.find(state_.DesignMode); it != optSelType.end())
        it->second->setValue(true);
    hideResultPanes();
    if (state_.DesignMode == 0 || state_.DesignMode == 1) {
        const int t = state_.TechIndex;
        if (t >= 0 && t <= 8)
            cboSelType->selectText(record().TechnologyNames[t]);
    }
}

// ---------------------------------------------------------------------------
// EngineHost

void CalcForm::show(float ProjectRecord::*field, int pane, const std::string& text)
{
    ++programWriting_;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done{programWriting_};
    boxShowing(field, pane).setText(text);
}

void CalcForm::hideResultPanes()
{
    for (int k = 1; k <= 6; ++k)
        picResults[k]->setVisible(false);
}

void CalcForm::redoDesignModeOption()
{
    if (auto it = optSelType.find(state_.DesignMode); it != optSelType.end())
        redo(*it->second);
}

bool CalcForm::isOn(Switch which) const
{
    switch (which) {
    case Switch::Overflow: return chkSelPretok.at(3)->checked();
    case Switch::Drainage: return chkSelPretok.at(4)->checked();
    case Switch::Settling: return chkPredUsaz->checked();
    case Switch::FilterTypeA: return optSelTypPudy5.at(0)->value();
    case Switch::FilterTypeB: return optSelTypPudy5.at(1)->value();
    }
    return false;
}

bool CalcForm::isPipePanelOpen(int pane) const
{
    const auto it = picPretokSkrOdtok.find(pane);
    return it != picPretokSkrOdtok.end() && it->second->visible();
}

void CalcForm::showMessage(const Message& message)
{
    if (message.icon == MessageIcon::Stop)
        stopShown_ = true;
    app_.messages().showMessage(message);
}

// ---------------------------------------------------------------------------
// Design mode and technology

bool CalcForm::remindOfSharedInputs()
{
    const ProjectRecord& r = record();
    if (!(r.OdvodNepPlocha > 0)) {
        showMessage({MessageIcon::Stop, std::string(kAppTitle), kReminderArea});
        return true;
    }
    if (!(r.SoucFiltrace > 0)) {
        showMessage({MessageIcon::Stop, std::string(kAppTitle), kReminderSoil});
        setFocus(txtSoucFiltrace);
        return true;
    }
    return false;
}

void CalcForm::designModeClicked(int k)
{
    ProjectRecord& r = record();
    cboSelType->clear();
    state_.TechIndex = 0;
    engine_.CalcTechnology();
    if (k == 0) {
        for (int t = 0; t <= 5; ++t)
            cboSelType->addItem(r.TechnologyNames[t]);
    } else {
        cboSelType->addItem(r.TechnologyNames[6]);
        state_.TechIndex = static_cast<std::int16_t>(cboSelType->listIndex() + 6);
        if (remindOfSharedInputs())
            return;
        ClearResults();
    }
    cboSelType->setEnabled(true);
    state_.DesignMode = static_cast<std::int16_t>(k);
    cboSelType->setListIndex(0);
}

void CalcForm::technologyListClicked(int)
{
    const int position = cboSelType->listIndex();
    state_.TechIndex = static_cast<std::int16_t>(position + (state_.DesignMode == 1 ? 6 : 0));
    hideResultPanes();
    if (position < 1 && state_.DesignMode != 1)
        return;
    if (state_.TechIndex == 2)
        optSelTypPudy2[0]->setValue(false);
    if (state_.TechIndex == 3)
        optSelTypPudy3[0]->setValue(false);
    if (auto it = picResults.find(state_.TechIndex); it != picResults.end())
        it->second->setVisible(true);
    ClearResults();
}

void CalcForm::technologyListGotFocus(int) { remindOfSharedInputs(); }

int CalcForm::shownPane() const
{
    for (const auto& [k, pane] : picResults)
        if (pane->visible())
            return k;
    return 0;
}

void CalcForm::soilOptionClicked(int k)
{
    inputChanged();
    state_.SoilOption = static_cast<std::int16_t>(k);
    engine_.CalcTechnology();
}

void CalcForm::filterTypeClicked(int k)
{
    inputChanged();
    state_.SoilOption = static_cast<std::int16_t>(k);
    const bool sandLayer = k == 1; // "typ B" has the sand layer
    txtVyskaPiskVrstvy->setEnabled(sandLayer);
    txtVyskaPiskVrstvy->setBackground(sandLayer ? TextBox::Background::Window : TextBox::Background::ButtonFace);
}

// ---------------------------------------------------------------------------
// Shaft

void CalcForm::shaftShapeClicked(int)
{
    inputChanged();
    const ProjectRecord& r = record();
    txtPrumerSachtyVnej->setText("");
    txtPrumerSachtyVnit->setText("");
    txtTloustkaSteny->setText("");
    if (optSelTypSachty[0]->value())
        state_.ShaftShape = 0;
    else if (optSelTypSachty[1]->value())
        state_.ShaftShape = 1;
    cboTypSachty->clear();
    if (state_.ShaftShape == 0) {
        for (const auto& product : r.RoundShaftProducts)
            cboTypSachty->addItem(product.Name);
        txtPrumerSachtyVnej->setBackground(TextBox::Background::ButtonFace);
    } else {
        for (const auto& product : r.RectShaftProducts)
            cboTypSachty->addItem(product.Name);
        txtPrumerSachtyVnej->setBackground(TextBox::Background::Window);
    }
}

void CalcForm::shaftProductClicked(int)
{
    ProjectRecord& r = record();
    const int k = cboTypSachty->listIndex() + 1;
    if (state_.ShaftShape == 0) {
        const RoundShaftProduct& p = r.RoundShaftProducts[k];
        r.PrumerSachtyVnit = p.Diameter;
        r.TloustkaSteny = p.WallThickness;
        redoShaftGeometry(false);
        showAndReadBack(*txtPrumerSachtyVnit, num::fixed(r.PrumerSachtyVnit, 2));
        txtPrumerSachtyVnej->setEnabled(false);
        showAndReadBack(*txtTloustkaSteny, num::fixed(r.TloustkaSteny, 2));
    } else {
        const RectShaftProduct& p = r.RectShaftProducts[k];
        r.ShaftWidth = p.Width;
        r.ShaftLength = p.Length;
        r.TloustkaSteny = p.WallThickness;
        redoShaftGeometry(true);
        showAndReadBack(*txtPrumerSachtyVnit, num::fixed(r.ShaftWidth, 2));
        showAndReadBack(*txtPrumerSachtyVnej, num::fixed(r.ShaftLength, 2));
        txtPrumerSachtyVnej->setEnabled(true);
        showAndReadBack(*txtTloustkaSteny, num::fixed(r.TloustkaSteny, 2));
    }
}

void CalcForm::redoShaftGeometry(bool rectangular)
{
    ProjectRecord& r = record();
    if (rectangular) {
        r.PrumerSachtyVnit = formulas::rectEquivalentDiameter(r.ShaftWidth, r.ShaftLength);
        r.ShaftOuterDiameter = formulas::rectOuterDiameter(r.ShaftWidth, r.ShaftLength, r.TloustkaSteny);
    } else {
        r.ShaftOuterDiameter = formulas::roundOuterDiameter(r.TloustkaSteny, r.PrumerSachtyVnit);
    }
}

void CalcForm::shaftInnerChanged(int)
{
    ProjectRecord& r = record();
    if (txtPrumerSachtyVnit->text().empty()) {
        r.PrumerSachtyVnit = 0; // in both shapes
        return;
    }
    const bool round = state_.ShaftShape == 0;
    if (readNumber(*txtPrumerSachtyVnit, round ? r.PrumerSachtyVnit : r.ShaftWidth, num::ruleR) !=
        num::Reading::Action::Store)
        return;
    ignoringFaults([&] { redoShaftGeometry(!round); });
}

void CalcForm::shaftLengthChanged(int)
{
    ProjectRecord& r = record();
    if (txtPrumerSachtyVnej->text().empty()) {
        r.ShaftLength = 0;
        return;
    }
    if (readNumber(*txtPrumerSachtyVnej, r.ShaftLength, num::ruleR) != num::Reading::Action::Store)
        return;
    // The length only exists for rectangular shafts, so its formulas apply
    // whatever shape is chosen.
    ignoringFaults([&] { redoShaftGeometry(true); });
}

void CalcForm::shaftWallChanged(int)
{
    ProjectRecord& r = record();
    if (txtTloustkaSteny->text().empty()) {
        r.TloustkaSteny = 0;
        return;
    }
    if (readNumber(*txtTloustkaSteny, r.TloustkaSteny, num::ruleR) != num::Reading::Action::Store)
        return;
    ignoringFaults([&] { redoShaftGeometry(state_.ShaftShape != 0); });
}

// ---------------------------------------------------------------------------
// Buttons, overflow and drainage panels, links

void CalcForm::editButtonClicked(int k)
{
    // The rain dialog may read the database while it loads, so the path is set
    // before it opens as well as after.
    record().DatabasePath = app_.rainDatabasePath();
    switch (k) {
    case 0: app_.openDialog("frmIntDialog"); break;
    case 1: app_.openDialog("frmDialog"); break;
    case 2: app_.openDialog("frmCoefDialog"); break;
    case 3:
    case 4: picPretokSkrOdtok[k]->setVisible(true); break;
    default: break;
    }
    record().DatabasePath = app_.rainDatabasePath();
}

void CalcForm::computeClicked(int k)
{
    // A Compute that stops on a check or a fault leaves no current results.
    stopShown_ = false;
    if (k >= 0 && k <= 6)
        current_[k] = false;
    engine_.ComputeButton(k);
    if (k >= 3 && k <= 6 && !stopShown_)
        current_[k] = true;
}

void CalcForm::settlingClicked(int) { inputChanged(); }

void CalcForm::inputChanged(const TextBox* typedInto)
{
    if (programWriting_ > 0)
        return;
    searchesAtInputChange_ = engine_.searches().revision;
    for (int k = 3; k <= 6; ++k)
        current_[k] = false;
    // Emptied without their handlers: the fields keep what was computed, for
    // boxes of other panes that show the same field as an input.
    static const std::string empty;
    for (TextBox* box : computedBoxes_)
        if (box != typedInto)
            box->mirror(empty);
}

bool CalcForm::resultsCurrent(int pane) const
{
    if (pane == 1 || pane == 2)
        return true;
    return pane >= 3 && pane <= 6 && current_[pane];
}

std::vector<verdict::Item> CalcForm::verdict() const
{
    verdict::Context context;
    context.techIndex = state_.TechIndex;
    context.resultsCurrent = resultsCurrent(state_.TechIndex);
    context.drainage = chkSelPretok.at(4)->checked();
    return verdict::assess(app_.record(), context);
}

std::vector<SearchTrace> CalcForm::currentSearches() const
{
    const SearchLog& log = engine_.searches();
    if (log.revision <= searchesAtInputChange_)
        return {};
    for (const SearchTrace& trace : log.traces)
        if (trace.pane != state_.TechIndex)
            return {};
    return log.traces;
}

report::DiagramSource CalcForm::diagramSource() const
{
    return {state_.TechIndex, resultsCurrent(state_.TechIndex), currentSearches()};
}

void CalcForm::actionDone()
{
    std::vector<verdict::Item> now = verdict();
    if (now == shownVerdict_)
        return;
    shownVerdict_ = std::move(now);
    for (const auto& observer : verdictObservers_)
        observer(shownVerdict_);
}

void CalcForm::overflowChecked(int k)
{
    inputChanged();
    ClearResults();
    const bool on = chkSelPretok[k]->checked();
    picPretokSkrOdtok[k]->setVisible(on);
    cmdEdit[k]->setEnabled(on);
}

void CalcForm::panelOkClicked(int k)
{
    inputChanged();
    ProjectRecord& r = record();
    auto porosity = [&] {
        ignoringFaults([&] {
            r.EffectivePorosity = formulas::effectivePorosity(r.SirkaRyhy, r.VyskaRyhy, r.PorVyplne,
                                                              r.PocetPotrubi, r.PrumTroubVnit,
                                                              r.PrumTroubVnej);
        });
    };
    if (k == 3) {
        ClearResults();
        r.ThrottledOutflow = formulas::throttledOutflow(r.OdvodNepPlocha, r.SpecDrenOdtok);
        if (r.ThrottledOutflow == 0) {
            chkSelPretok[3]->setChecked(false);
            return;
        }
        porosity();
        if (r.EffectivePorosity != 0)
            picPretokSkrOdtok[3]->setVisible(false);
        else
            chkSelPretok[3]->setChecked(false);
    } else if (k == 4) {
        porosity();
        if (r.PrumTroubVnej != 0 && r.PrumTroubVnit != 0)
            picPretokSkrOdtok[4]->setVisible(false);
        else
            chkSelPretok[4]->setChecked(false);
    }
}

void CalcForm::saveResultsClicked(int)
{
    cmdSaveResults->setEnabled(false);
    app_.reportView().saveShownReport();
    cmdSaveResults->setEnabled(true);
}

void CalcForm::printClicked(int) { app_.reportView().previewShownReport(); }

void CalcForm::linkClicked(int k) { app_.platform().openUrl(linkAddress(k)); }

// ---------------------------------------------------------------------------
// Start-up, shutdown and tabs

void CalcForm::load()
{
    ProjectRecord& r = record();
    lblTime->setCaption(app_.platform().timeOfDay(app_.platform().now()));
    InitReferenceTables(r);
    tab_ = 0;
    InitSubAreaLists(r);
    notify();
}

void CalcForm::adopt(const CalcForm& other)
{
    const auto& mine = controls();
    const auto& theirs = other.controls();
    if (mine.size() != theirs.size())
        throw std::logic_error("the two main windows are not built alike");
    std::map<const Control*, Control*> counterpart;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        mine[i]->adoptState(*theirs[i]);
        counterpart[theirs[i].get()] = mine[i].get();
    }
    state_ = other.state_;
    tab_ = other.tab_;
    descriptionPage_ = other.descriptionPage_;
    resultsPage_ = other.resultsPage_;
    // The views load their pages again whatever they showed before.
    pageRevision_ = std::max(pageRevision_, other.pageRevision_) + 1;
    std::copy(std::begin(other.current_), std::end(other.current_), std::begin(current_));
    soilNameFromPicker_ = other.soilNameFromPicker_;
    pickedCoefficient_ = other.pickedCoefficient_;
    lastAccepted_.clear();
    for (const auto& [box, text] : other.lastAccepted_)
        lastAccepted_[static_cast<const TextBox*>(counterpart.at(box))] = text;
    const Control* focus = other.focusTarget();
    setFocus(focus ? counterpart.at(focus) : nullptr); // tells the views
}

void CalcForm::unload()
{
    removeQuietly(record().ResultsFilePath);
    app_.removeReportPictures();
}

void CalcForm::clockTick() { lblTime->setCaption(app_.platform().timeOfDay(app_.platform().now())); }

void CalcForm::selectTab(int tab)
{
    if (tab < 0 || tab > 3 || tab == tab_)
        return;
    const int previous = tab_;
    tab_ = tab;
    notify();
    tabChanged(previous);
}

bool CalcForm::returnForLackOfTechnology(int previous)
{
    // The tab gone back to may itself want a technology (the description and the
    // results tab): it then stays shown, empty, instead of sending the pane back
    // and forth without end.
    if (returningToPrevious_)
        return false;
    returningToPrevious_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{returningToPrevious_};
    selectTab(previous);
    return true;
}

void CalcForm::tabChanged(int previous)
{
    switch (tab_) {
    case 1:
        removeQuietly(record().ResultsFilePath);
        app_.removeReportPictures();
        break;
    case 2:
        ++pageRevision_;
        descriptionPage_.clear();
        if (state_.TechIndex < 1) {
            if (returnForLackOfTechnology(previous))
                showMessage({MessageIcon::Exclamation, std::string(kAppTitle), kNoTechnology});
            break;
        }
        descriptionPage_ = app_.appDir() + "/Webs/Desc0" + std::to_string(state_.TechIndex) + ".htm";
        break;
    case 3:
        ++pageRevision_;
        resultsPage_.clear();
        cmdSaveResults->setVisible(false);
        cmdPrint->setVisible(false);
        cmdPrint->setEnabled(true);
        if (state_.TechIndex < 1) {
            if (returnForLackOfTechnology(previous))
                showMessage({MessageIcon::Exclamation, std::string(kAppTitle), kNoTechnology});
            break;
        }
        if (app_.writeResultsReport()) {
            resultsPage_ = record().ResultsFilePath;
            cmdSaveResults->setVisible(true);
            cmdPrint->setVisible(true);
        }
        break;
    default:
        break;
    }
    notify();
}

} // namespace infil::model
