#include "RainSourceDialog.h"

#include "NumberFormat.h"

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;

std::string trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

} // namespace

RainSourceDialog::RainSourceDialog(Application& app) : Dialog("frmRainSource"), app_(app)
{
    auto label = [this](const char* name, const char* caption) {
        Label* l = &add<Label>(name, kNoIndex, nullptr);
        l->setCaption(caption);
        return l;
    };
    lblStation = label("lblStation", "Stanice");
    cboStation = &add<ComboBox>("cboStation", kNoIndex, nullptr);
    lblPeriod = label("lblPeriod", "Periodicita");
    cboPeriod = &add<ComboBox>("cboPeriod", kNoIndex, nullptr);
    lblSource = label("lblSource", "Zdroj hodnot");
    txtSource = &add<TextBox>("txtSource", kNoIndex, nullptr);
    lblHint = label("lblHint", "Například „Trupl 1958, tab. 12“ nebo „ČHMÚ 2024, objednávka 123“. "
                               "Zdroj se uvádí ve zprávě u návrhového deště.");
    cmdOK = &add<Button>("cmdOK", kNoIndex, nullptr);
    cmdOK->setCaption("Uložit");
    cmdCancel = &add<Button>("cmdCancel", kNoIndex, nullptr);
    cmdCancel->setCaption("Storno");

    cboStation->setToolTip("Stanice, pod kterou se hodnoty uloží; v knihovně má každá stanice a periodicita "
                           "jeden záznam.");
    cboPeriod->setToolTip("Periodicita deště p [rok⁻¹], ke které hodnoty patří.");
    txtSource->setToolTip("Odkud hodnoty pocházejí (publikace a tabulka, objednávka dat); povinný údaj.");
    cmdOK->setToolTip("Uloží zadané intenzity do knihovny intenzit deště.");
    cmdOK->setMnemonic('U');
    cmdCancel->setToolTip("Zavře okno a nic neuloží.");
    cmdCancel->setMnemonic('S');

    cmdOK->onClick = [this] { okClicked(); };
    cmdCancel->onClick = [this] { close(); };
}

void RainSourceDialog::prepare(Form* owner, int stationPosition, int periodicity)
{
    owner_ = owner;
    stationPosition_ = stationPosition;
    periodicity_ = periodicity;
}

void RainSourceDialog::open()
{
    const ProjectRecord& r = app_.record();
    cboStation->clear();
    for (int k = 1; k <= 92; ++k)
        cboStation->addItem(r.StationNames[k]);
    cboPeriod->clear();
    for (int k = 1; k <= 7; ++k)
        cboPeriod->addItem(num::plain(r.Periodicities[k]));
    // Choosing here only names the values; the lists have no handlers.
    cboStation->setListIndex(stationPosition_ >= 1 && stationPosition_ <= 92 ? stationPosition_ - 1 : -1);
    cboPeriod->setListIndex(periodicity_ >= 1 && periodicity_ <= 7 ? periodicity_ - 1 : -1);
    if (owner_)
        owner_->setEnabled(false);
    setOpen(true);
    setFocus(cboStation->listIndex() < 0 ? static_cast<Control*>(cboStation) : txtSource);
}

void RainSourceDialog::close()
{
    if (!isOpen())
        return;
    setOpen(false);
    if (owner_)
        owner_->setEnabled(true);
}

void RainSourceDialog::okClicked()
{
    const ProjectRecord& r = app_.record();
    Choice choice;
    if (const int k = cboStation->listIndex(); k >= 0)
        choice.station = r.StationIds[k + 1];
    if (const int p = cboPeriod->listIndex(); p >= 0)
        choice.periodicity = p + 1;
    choice.source = trimmed(txtSource->text());
    if (onSave && onSave(choice))
        close();
}

} // namespace infil::model
