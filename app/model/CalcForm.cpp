#include "CalcForm.h"

#include "Application.h"
#include "FloatOps.h"
#include "Formulas.h"
#include "ReferenceTables.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;
const char* const kReminderArea = "Zadejte nepropustnou odvodňovanou plochu";
const char* const kReminderSoil = "Zadejte součinitel filtrace podloží";
const char* const kNoTechnology = "Není vybrána technologie";

// Which tab index of txtSoucBezp belongs to which pane: the shaft's box is (1),
// the basin's (5); the others follow the technology.
constexpr int kSafetyBoxes[] = {2, 3, 4, 1, 5};

void removeQuietly(const std::string& path)
{
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

} // namespace

CalcForm::CalcForm(Application& app)
    : Form("frmCalc"), app_(app), engine_(app.record(), state_, *this)
{
    build();
    wireHandlers();
    setOpen(true);
}

ProjectRecord& CalcForm::record() { return app_.record(); }

const char* CalcForm::linkAddress(int index)
{
    // Kept in one place; neither address belongs to a real company.
    return index == 0 ? "https://infil.example.org/" : "https://sachty.example.org/";
}

// ---------------------------------------------------------------------------
// Controls

void CalcForm::build()
{
    auto box = [this](const char* name, int index = kNoIndex, Control* parent = nullptr) {
        return &add<TextBox>(name, index, parent);
    };
    auto result = [&box](const char* name, int index, Control* parent) {
        TextBox* b = box(name, index, parent);
        b->setReadOnly(true);
        b->setBackground(TextBox::Background::ButtonFace);
        return b;
    };
    auto button = [this](const char* name, int index, Control* parent, const char* caption) {
        Button* b = &add<Button>(name, index, parent);
        b->setCaption(caption);
        return b;
    };
    auto option = [this](const char* name, int index, Control* parent, OptionGroup& group,
                         const char* caption) {
        OptionButton* o = &add<OptionButton>(name, index, parent, group);
        o->setCaption(caption);
        return o;
    };

    // Tab 0: the project
    txtProjName = box("txtProjName");
    txtProjektant = box("txtProjektant");
    txtInvestor = box("txtInvestor");
    txtMistoAkce = box("txtMistoAkce");
    txtDetails = box("txtDetails");
    txtDetails->setMultiLine(true);
    lblTime = &add<Label>("lblTime", kNoIndex, nullptr);
    for (int k = 0; k <= 1; ++k) {
        lblOdkaz[k] = &add<Label>("lblOdkaz", k, nullptr);
        lblOdkaz[k]->setCaption(k == 0 ? "infil.example.org" : "sachty.example.org");
    }

    // Frame1: the shared inputs
    Frame1 = &add<Container>("Frame1", kNoIndex, nullptr);
    txtSelIntDeste = box("txtSelIntDeste", kNoIndex, Frame1);
    txtSelIntDeste->setBackground(TextBox::Background::ButtonFace);
    txtSelDTrvDeste = result("txtSelDTrvDeste", kNoIndex, Frame1);
    txtOdvodNepPlocha = result("txtOdvodNepPlocha", kNoIndex, Frame1);
    txtOdtokDoInfil = result("txtOdtokDoInfil", kNoIndex, Frame1);
    txtSoucFiltrace = box("txtSoucFiltrace", kNoIndex, Frame1);
    txtTypPudyPodlozi = box("txtTypPudyPodlozi", kNoIndex, Frame1);
    txtHPV = box("txtHPV", kNoIndex, Frame1);
    for (int k = 0; k <= 2; ++k)
        cmdEdit[k] = button("cmdEdit", k, Frame1, "Zadat");

    // Frame2: the technology
    Frame2 = &add<Container>("Frame2", kNoIndex, nullptr);
    optSelType[0] = option("optSelType", 0, Frame2, optSelTypeGroup, "Decenralizované");
    optSelType[1] = option("optSelType", 1, Frame2, optSelTypeGroup, "Centralizované");
    cboSelType = &add<ComboBox>("cboSelType", kNoIndex, Frame2);
    cboSelType->setEnabled(false);
    for (int k = 1; k <= 6; ++k) {
        picResults[k] = &add<Container>("picResults", k, Frame2);
        picResults[k]->setVisible(false);
    }
    Container* pane1 = picResults[1];
    Container* pane2 = picResults[2];
    Container* pane3 = picResults[3];
    Container* pane5 = picResults[5];
    Container* pane6 = picResults[6];

    // Pane 1: surface
    txtInfilPlocha[1] = result("txtInfilPlocha", 1, pane1);
    for (int k = 0; k <= 1; ++k) {
        cmdCalcul[k] = button("cmdCalcul", k, pane1, "Výpočti");
        cmdCalcul[k]->setVisible(false);
    }

    // Pane 2: swale
    optSelTypPudy2[0] = option("optSelTypPudy2", 0, pane2, soil2Group, "Písek střední až jemný");
    optSelTypPudy2[1] = option("optSelTypPudy2", 1, pane2, soil2Group, "Slit a písek, slit");
    txtSoucBezp[2] = box("txtSoucBezp", 2, pane2);
    cmdCalcul[2] = button("cmdCalcul", 2, pane2, "Výpočti");
    cmdCalcul[2]->setVisible(false);
    txtInfilPlocha[2] = result("txtInfilPlocha", 2, pane2);
    txtObjAkum[2] = result("txtObjAkum", 2, pane2);
    txtVyskaVzduti[2] = result("txtVyskaVzduti", 2, pane2);
    txtDobaPrazdneni[2] = result("txtDobaPrazdneni", 2, pane2);

    // Panes 3 and 4 share their trench inputs and panel layout.
    optSelTypPudy3[0] = option("optSelTypPudy3", 0, pane3, soil3Group, "Písek střední až jemný");
    optSelTypPudy3[1] = option("optSelTypPudy3", 1, pane3, soil3Group, "Slit a písek, slit");
    txtSoucFiltrPruleh[3] = box("txtSoucFiltrPruleh", 3, pane3);
    for (int k = 3; k <= 4; ++k) {
        Container* pane = picResults[k];
        txtSoucBezp[k] = box("txtSoucBezp", k, pane);
        txtPorVyplne[k] = box("txtPorVyplne", k, pane);
        txtSirkaRyhy[k] = box("txtSirkaRyhy", k, pane);
        txtVyskaRyhy[k] = box("txtVyskaRyhy", k, pane);
        chkSelPretok[k] = &add<CheckBox>("chkSelPretok", k, pane);
        chkSelPretok[k]->setCaption(k == 3 ? "Přetok a škrcený odtok" : "Drenáž");
        cmdEdit[k] = button("cmdEdit", k, pane, "Editovat");
        cmdEdit[k]->setEnabled(false);
        cmdCalcul[k] = button("cmdCalcul", k, pane, "Výpočti");
        txtInfilPlocha[k] = result("txtInfilPlocha", k, pane);
        txtObjAkum[k] = result("txtObjAkum", k, pane);
        txtDelkaRyhy[k] = result("txtDelkaRyhy", k, pane);
        if (k == 3) {
            // The combined object's swale area may be typed over.
            txtInfilPlocha[3]->setReadOnly(false);
            txtInfilPlocha[3]->setBackground(TextBox::Background::Window);
            txtSirkaPrulehu = result("txtSirkaPrulehu", 3, pane);
            txtHloubkaPrulehu = result("txtHloubkaPrulehu", 3, pane);
            txtDobaPrazdneni[3] = result("txtDobaPrazdneni", 3, pane);
        }

        Container* panel = &add<Container>("picPretokSkrOdtok", k, pane);
        panel->setVisible(false);
        picPretokSkrOdtok[k] = panel;
        txtPrumTroubVnit[k] = box("txtPrumTroubVnit", k, panel);
        txtPrumTroubVnej[k] = box("txtPrumTroubVnej", k, panel);
        if (k == 3)
            txtSpecDrenOdtok[3] = box("txtSpecDrenOdtok", 3, panel);
        txtPocetPotrubi[k] = box("txtPocetPotrubi", k, panel);
        txtPocetPotrubi[k]->setReadOnly(true);
        UpDownPipes[k] = &add<UpDown>("UpDown", k, panel, *txtPocetPotrubi[k], 1, 10);
        if (k == 4) {
            txtVystupPlocha[4] = box("txtVystupPlocha", 4, panel);
            txtVystupRychlost[4] = box("txtVystupRychlost", 4, panel);
        }
        cmdOK[k] = button("cmdOK", k, panel, "OK");
    }

    // Pane 5: shaft
    optSelTypPudy5[0] = option("optSelTypPudy5", 0, pane5, soil5Group, "typ A");
    optSelTypPudy5[1] = option("optSelTypPudy5", 1, pane5, soil5Group, "typ B");
    optSelTypSachty[0] = option("optSelTypSachty", 0, pane5, shaftShapeGroup, "kruhový");
    optSelTypSachty[1] = option("optSelTypSachty", 1, pane5, shaftShapeGroup, "pravoúhlý");
    cboTypSachty = &add<ComboBox>("cboTypSachty", kNoIndex, pane5);
    txtSachtyCount = box("txtSachtyCount", kNoIndex, pane5);
    txtSachtyCount->setReadOnly(true);
    updSacht = &add<UpDown>("updSacht", kNoIndex, pane5, *txtSachtyCount, 1, 50);
    txtPrumerSachtyVnit = box("txtPrumerSachtyVnit", kNoIndex, pane5);
    txtPrumerSachtyVnej = box("txtPrumerSachtyVnej", kNoIndex, pane5);
    txtTloustkaSteny = box("txtTloustkaSteny", kNoIndex, pane5);
    txtSoucBezp[1] = box("txtSoucBezp", 1, pane5);
    txtNezamrzHlPritok = box("txtNezamrzHlPritok", kNoIndex, pane5);
    txtVyskaFiltrVrstvy = box("txtVyskaFiltrVrstvy", kNoIndex, pane5);
    txtVyskaPiskVrstvy = box("txtVyskaPiskVrstvy", kNoIndex, pane5);
    txtMinPrusakDraha = box("txtMinPrusakDraha", kNoIndex, pane5);
    cmdCalcul[5] = button("cmdCalcul", 5, pane5, "Výpočti");
    txtVyskaVzduti[5] = result("txtVyskaVzduti", 5, pane5);
    txtHloubkaSachty = result("txtHloubkaSachty", kNoIndex, pane5);
    txtPotrHloubkaZahl = result("txtPotrHloubkaZahl", kNoIndex, pane5);
    txtInfilPlocha[5] = result("txtInfilPlocha", 5, pane5);
    txtObjAkum[5] = result("txtObjAkum", 5, pane5);
    txtSoucFiltrPruleh[5] = box("txtSoucFiltrPruleh", 5, pane5);
    txtSoucFiltrPruleh[5]->setBackground(TextBox::Background::ButtonFace);

    // Pane 6: basin
    txtSoucBezp[5] = box("txtSoucBezp", 5, pane6);
    txtSpecInfilIntenz = box("txtSpecInfilIntenz", kNoIndex, pane6);
    txtDelkaDnaNadrz = box("txtDelkaDnaNadrz", kNoIndex, pane6);
    txtSirkaDnaNadrz = box("txtSirkaDnaNadrz", kNoIndex, pane6);
    txtHloubkaNadrz = box("txtHloubkaNadrz", kNoIndex, pane6);
    txtSklonSvahuNadrz = box("txtSklonSvahuNadrz", kNoIndex, pane6);
    chkPredUsaz = &add<CheckBox>("chkPredUsaz", kNoIndex, pane6);
    chkPredUsaz->setCaption("Předsazené usazování");
    cmdCalcul[6] = button("cmdCalcul", 6, pane6, "Výpočti");
    txtInfilTok = box("txtInfilTok", kNoIndex, pane6);
    txtInfilTok->setBackground(TextBox::Background::ButtonFace);
    txtObjAkum[6] = result("txtObjAkum", 6, pane6);
    txtVypObjNadrz = result("txtVypObjNadrz", kNoIndex, pane6);

    // Tab 3: results
    cmdSaveResults = button("cmdSaveResults", kNoIndex, nullptr, "Uložit jako");
    cmdPrint = button("cmdPrint", kNoIndex, nullptr, "Tisk");
    cmdSaveResults->setVisible(false);
    cmdPrint->setVisible(false);

    // The texts the window starts with (no handler runs for them).
    for (int k : kSafetyBoxes)
        txtSoucBezp[k]->setText("1.2");
    txtPorVyplne[3]->setText("0.35");
    txtPocetPotrubi[3]->setText("1");
    txtPocetPotrubi[4]->setText("1");
    txtSachtyCount->setText("1");
    txtMinPrusakDraha->setText("1.5");
}

void CalcForm::wireHandlers()
{
    ProjectRecord& r = record();

    // Rule T: the field is the text.
    const std::pair<TextBox*, std::string*> texts[] = {
        {txtProjName, &r.ProjName},     {txtProjektant, &r.Projektant},
        {txtMistoAkce, &r.MistoAkce},   {txtInvestor, &r.Investor},
        {txtDetails, &r.Details},       {txtTypPudyPodlozi, &r.TypPudyPodlozi},
    };
    for (auto [box, field] : texts)
        box->onChange = [box, field] { *field = box->text(); };

    // Rule R without further steps.
    auto plainNumber = [this](TextBox* box, float& field) {
        box->onChange = [this, box, &field] { readNumber(*box, field, num::ruleR); };
    };
    plainNumber(txtHPV, r.HPV);
    for (auto& [k, box] : txtInfilPlocha)
        plainNumber(box, r.InfilPlocha);
    for (int k = 3; k <= 4; ++k) {
        plainNumber(txtPorVyplne[k], r.PorVyplne);
        plainNumber(txtSirkaRyhy[k], r.SirkaRyhy);
        plainNumber(txtVyskaRyhy[k], r.VyskaRyhy);
        plainNumber(txtPrumTroubVnit[k], r.PrumTroubVnit);
        plainNumber(txtPrumTroubVnej[k], r.PrumTroubVnej);
        // Rule P boxes are written by the program and the up-down controls only;
        // anything else is read like rule R.
        txtPocetPotrubi[k]->onChange = [this, box = txtPocetPotrubi[k], &r] {
            readNumber(*box, r.PocetPotrubi, num::ruleP);
        };
    }
    plainNumber(txtSpecDrenOdtok[3], r.SpecDrenOdtok);
    plainNumber(txtVystupPlocha[4], r.VystupPlocha);
    plainNumber(txtVystupRychlost[4], r.VystupRychlost);
    plainNumber(txtNezamrzHlPritok, r.NezamrzHlPritok);
    plainNumber(txtVyskaFiltrVrstvy, r.VyskaFiltrVrstvy);
    plainNumber(txtVyskaPiskVrstvy, r.VyskaPiskVrstvy);
    plainNumber(txtMinPrusakDraha, r.MinPrusakDraha);
    plainNumber(txtSpecInfilIntenz, r.SpecInfilIntenz);
    plainNumber(txtDelkaDnaNadrz, r.DelkaDnaNadrz);
    plainNumber(txtSirkaDnaNadrz, r.SirkaDnaNadrz);
    plainNumber(txtHloubkaNadrz, r.HloubkaNadrz);
    plainNumber(txtSklonSvahuNadrz, r.SklonSvahuNadrz);
    txtPotrHloubkaZahl->onChange = [this, &r] {
        readNumber(*txtPotrHloubkaZahl, r.PotrHloubkaZahl, num::ruleP);
    };
    txtSachtyCount->onChange = [this, &r] { readWhole(*txtSachtyCount, r.SachtyCount); };

    // Filtration coefficients: rule K, reformatted when the box is left.
    txtSoucFiltrace->onChange = [this, &r] {
        readNumber(*txtSoucFiltrace, r.SoucFiltrace, num::ruleK);
        if (!txtSoucFiltrace->text().empty()) // an emptied box recalculates nothing
            ignoringFaults([this] { RebuildCalc(); });
    };
    txtSoucFiltrace->onLostFocus = [this, &r] { filtrationLostFocus(*txtSoucFiltrace, r.SoucFiltrace); };
    for (auto& [k, box] : txtSoucFiltrPruleh) {
        TextBox* b = box;
        b->onChange = [this, b, &r] { readNumber(*b, r.SoucFiltrPruleh, num::ruleK); };
        b->onLostFocus = [this, b, &r] { filtrationLostFocus(*b, r.SoucFiltrPruleh); };
    }

    // Safety coefficients recompute the selected technology.
    for (auto& [k, box] : txtSoucBezp) {
        TextBox* b = box;
        b->onChange = [this, b, &r] {
            readNumber(*b, r.SoucBezp, num::ruleR);
            if (!b->text().empty()) // an emptied box recalculates nothing
                ignoringFaults([this] { engine_.CalcTechnology(); });
        };
    }

    // The shared inputs the dialogs and the engine write.
    txtOdvodNepPlocha->onChange = [this] { inflowChanged(true); };
    txtSelIntDeste->onChange = [this] { inflowChanged(false); };
    txtSelDTrvDeste->onChange = [this] { RebuildCalc(); };

    // Design mode and technology.
    for (auto& [k, option] : optSelType)
        option->onClick = [this, k = k] { designModeClicked(k); };
    cboSelType->onClick = [this] { technologyListClicked(); };
    cboSelType->onGotFocus = [this] { technologyListGotFocus(); };

    for (auto& [k, option] : optSelTypPudy2)
        option->onClick = [this, k = k] {
            state_.SoilOption = static_cast<std::int16_t>(k);
            engine_.CalcTechnology();
        };
    for (auto& [k, option] : optSelTypPudy3)
        option->onClick = [this, k = k] {
            state_.SoilOption = static_cast<std::int16_t>(k);
            engine_.CalcTechnology();
        };
    for (auto& [k, option] : optSelTypPudy5)
        option->onClick = [this, k = k] {
            state_.SoilOption = static_cast<std::int16_t>(k);
            const bool sandLayer = k == 1; // "typ B" has the sand layer
            txtVyskaPiskVrstvy->setEnabled(sandLayer);
            txtVyskaPiskVrstvy->setBackground(sandLayer ? TextBox::Background::Window
                                                        : TextBox::Background::ButtonFace);
        };

    // Shaft.
    for (auto& [k, option] : optSelTypSachty)
        option->onClick = [this, k = k] { shaftShapeClicked(k); };
    cboTypSachty->onClick = [this] { shaftProductClicked(); };
    txtPrumerSachtyVnit->onChange = [this] { shaftInnerChanged(); };
    txtPrumerSachtyVnej->onChange = [this] { shaftLengthChanged(); };
    txtTloustkaSteny->onChange = [this] { shaftWallChanged(); };

    // Buttons, panels, links.
    for (auto& [k, button] : cmdEdit)
        button->onClick = [this, k = k] { editButtonClicked(k); };
    for (auto& [k, button] : cmdCalcul)
        button->onClick = [this, k = k] { engine_.ComputeButton(k); };
    for (auto& [k, check] : chkSelPretok)
        check->onClick = [this, k = k] { overflowChecked(k); };
    for (auto& [k, button] : cmdOK)
        button->onClick = [this, k = k] { panelOkClicked(k); };
    cmdSaveResults->onClick = [this] {
        cmdSaveResults->setEnabled(false);
        app_.saveShownReport();
        cmdSaveResults->setEnabled(true);
    };
    cmdPrint->onClick = [this] { app_.previewShownReport(); };
    for (auto& [k, link] : lblOdkaz)
        link->onClick = [this, k = k] { app_.openUrl(linkAddress(k)); };
}

// ---------------------------------------------------------------------------
// Reading the boxes

num::Reading::Action CalcForm::readNumber(TextBox& box, float& field, Rule rule)
{
    const std::string text = box.text();
    if (rule == num::ruleK)
        expPos_ = static_cast<std::int16_t>(num::lowercaseExpPos(text));
    const num::Reading reading = rule(text);
    switch (reading.action) {
    case num::Reading::Action::Store:
        field = static_cast<float>(reading.value);
        break;
    case num::Reading::Action::ClearBox:
        box.setText(""); // runs this handler again, which stores 0
        break;
    case num::Reading::Action::Keep:
        break;
    }
    return reading.action;
}

void CalcForm::readWhole(TextBox& box, std::int16_t& field)
{
    const std::string text = box.text();
    const num::Reading reading = num::ruleI(text);
    switch (reading.action) {
    case num::Reading::Action::Store:
        field = static_cast<std::int16_t>(reading.value);
        break;
    case num::Reading::Action::ClearBox:
        box.setText("");
        break;
    case num::Reading::Action::Keep:
        break;
    }
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

void CalcForm::filtrationLostFocus(TextBox& box, const float& field)
{
    if (num::valueOf(box.text()) > 0)
        box.setText(num::scientific(field, 1));
}

void CalcForm::inflowChanged(bool testIntensity)
{
    ProjectRecord& r = record();
    if (!testIntensity || r.SelIntDeste > 0) {
        r.OdtokDoInfil = formulas::inflowLps(r.OdvodNepPlocha, r.SelIntDeste);
        txtOdtokDoInfil->setText(num::fixed(r.OdtokDoInfil, 1));
    }
    RebuildCalc();
}

void CalcForm::showAndReadBack(TextBox& box, const std::string& text)
{
    if (box.text() == text) {
        if (box.onChange)
            box.onChange();
    } else {
        box.setText(text);
    }
}

// ---------------------------------------------------------------------------
// Engine procedures of the window

void CalcForm::ClearResults()
{
    switch (state_.TechIndex) {
    case 1:
        txtInfilPlocha[1]->setText("0");
        engine_.CalcTechnology();
        break;
    case 2:
        for (TextBox* b : {txtInfilPlocha[2], txtObjAkum[2], txtVyskaVzduti[2], txtDobaPrazdneni[2]})
            b->setText("");
        if (auto it = optSelTypPudy2.find(state_.SoilOption); it != optSelTypPudy2.end()) {
            it->second->setValue(false);
            it->second->setValue(true);
        }
        break;
    case 3:
        for (TextBox* b : {txtInfilPlocha[3], txtObjAkum[3], txtDelkaRyhy[3], txtSirkaPrulehu,
                           txtHloubkaPrulehu, txtDobaPrazdneni[3]})
            b->setText("");
        if (auto it = optSelTypPudy3.find(state_.SoilOption); it != optSelTypPudy3.end()) {
            it->second->setValue(false);
            it->second->setValue(true);
        }
        break;
    case 4:
        for (TextBox* b : {txtInfilPlocha[4], txtObjAkum[4], txtDelkaRyhy[4]})
            b->setText("");
        break;
    case 5:
        if (auto it = optSelTypPudy5.find(state_.SoilOption); it != optSelTypPudy5.end()) {
            it->second->setValue(false);
            it->second->setValue(true);
        }
        break;
    default:
        break;
    }
}

void CalcForm::RebuildCalc()
{
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

void CalcForm::setBoxText(std::string_view control, int index, const std::string& text)
{
    auto* box = dynamic_cast<TextBox*>(find(control, index));
    if (!box)
        throw std::logic_error("the main window has no box " + std::string(control) + "(" +
                               std::to_string(index) + ")");
    const bool shownValue = control == "txtInfilPlocha" || control == "txtPotrHloubkaZahl" ||
                            (control == "txtSoucFiltrPruleh" && index == 5);
    if (shownValue)
        showAndReadBack(*box, text);
    else
        box->setText(text);
}

void CalcForm::hideResultPanes()
{
    for (int k = 1; k <= 6; ++k)
        picResults[k]->setVisible(false);
}

void CalcForm::redoDesignModeOption()
{
    if (auto it = optSelType.find(state_.DesignMode); it != optSelType.end()) {
        it->second->setValue(false);
        it->second->setValue(true);
    }
}

bool CalcForm::isChecked(std::string_view control, int index) const
{
    const auto* check = dynamic_cast<const CheckBox*>(find(control, index));
    return check && check->checked();
}

bool CalcForm::isOptionOn(std::string_view control, int index) const
{
    const auto* option = dynamic_cast<const OptionButton*>(find(control, index));
    return option && option->value();
}

bool CalcForm::isShown(std::string_view control, int index) const
{
    const Control* c = find(control, index);
    return c && c->visible();
}

void CalcForm::showMessage(const Message& message) { app_.messages().showMessage(message); }

// ---------------------------------------------------------------------------
// Design mode and technology

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
        if (!(r.OdvodNepPlocha > 0)) {
            showMessage({MessageIcon::Stop, std::string(kAppTitle), kReminderArea});
            return;
        }
        if (!(r.SoucFiltrace > 0)) {
            showMessage({MessageIcon::Stop, std::string(kAppTitle), kReminderSoil});
            setFocus(txtSoucFiltrace);
            return;
        }
        ClearResults();
    }
    cboSelType->setEnabled(true);
    state_.DesignMode = static_cast<std::int16_t>(k);
    cboSelType->setListIndex(0);
}

void CalcForm::technologyListClicked()
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

void CalcForm::technologyListGotFocus()
{
    const ProjectRecord& r = record();
    if (!(r.OdvodNepPlocha > 0)) {
        showMessage({MessageIcon::Stop, std::string(kAppTitle), kReminderArea});
    } else if (!(r.SoucFiltrace > 0)) {
        showMessage({MessageIcon::Stop, std::string(kAppTitle), kReminderSoil});
        setFocus(txtSoucFiltrace);
    }
}

int CalcForm::shownPane() const
{
    for (const auto& [k, pane] : picResults)
        if (pane->visible())
            return k;
    return 0;
}

// ---------------------------------------------------------------------------
// Shaft

void CalcForm::shaftShapeClicked(int)
{
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

void CalcForm::shaftProductClicked()
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

void CalcForm::shaftInnerChanged()
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

void CalcForm::shaftLengthChanged()
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

void CalcForm::shaftWallChanged()
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
// Dialog buttons, overflow and drainage panels

void CalcForm::editButtonClicked(int k)
{
    // The rain dialog may read the database while it loads, so the path is set
    // before it opens as well as after.
    record().DatabasePath = app_.appDir() + "/infil.mdb";
    switch (k) {
    case 0: app_.openDialog("frmIntDialog"); break;
    case 1: app_.openDialog("frmDialog"); break;
    case 2: app_.openDialog("frmCoefDialog"); break;
    case 3:
    case 4: picPretokSkrOdtok[k]->setVisible(true); break;
    default: break;
    }
    record().DatabasePath = app_.appDir() + "/infil.mdb";
}

void CalcForm::overflowChecked(int k)
{
    ClearResults();
    const bool on = chkSelPretok[k]->checked();
    picPretokSkrOdtok[k]->setVisible(on);
    cmdEdit[k]->setEnabled(on);
}

void CalcForm::panelOkClicked(int k)
{
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

// ---------------------------------------------------------------------------
// Start-up, shutdown and tabs

void CalcForm::load()
{
    ProjectRecord& r = record();
    lblTime->setCaption(app_.formatTime(app_.clock()));
    InitReferenceTables(r);
    tab_ = 0;
    InitSubAreaLists(r);
    notify();
}

void CalcForm::unload() { removeQuietly(record().ResultsFilePath); }

void CalcForm::clockTick() { lblTime->setCaption(app_.formatTime(app_.clock())); }

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
