#include "RainLibraryDialog.h"

#include "rain/DatabaseExport.h"

#include <cstdlib>

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;
// Rows of a report a message box lists before it refers to the window.
constexpr std::size_t kRowsInMessage = 12;
const char* const kCsvFilter = "Soubory CSV (*.csv);;Všechny soubory (*)";

std::string periodicitiesText(const std::vector<int>& periodicities)
{
    std::string text;
    for (int p : periodicities)
        text += (text.empty() ? "" : ", ") + rain::periodicityText(p);
    return text;
}

// The first lines of a report, and a pointer to the rest.
std::string shortened(const std::string& report)
{
    std::string out;
    std::size_t lines = 0;
    std::size_t at = 0;
    while (at <= report.size()) {
        const std::size_t end = std::min(report.find("\r\n", at), report.size());
        if (++lines > kRowsInMessage + 4) {
            out += "\r\n…\r\nCelý přehled je v okně knihovny.";
            break;
        }
        out += (out.empty() ? "" : "\r\n") + report.substr(at, end - at);
        at = end + 2;
    }
    return out;
}

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) : std::string();
}

} // namespace

std::string rainLibraryFolder(const Folders& folders)
{
    const std::string& data = folders.userData;
    return data.empty() ? std::string() : data + "/rain";
}

RainLibraryDialog::RainLibraryDialog(Application& app, std::shared_ptr<rain::RainLibrary> library)
    : Dialog("frmRainLibrary"), app_(app), library_(std::move(library))
{
    auto button = [this](const char* name, const char* caption) {
        Button* b = &add<Button>(name, kNoIndex, nullptr);
        b->setCaption(caption);
        return b;
    };
    lblFolder = &add<Label>("lblFolder", kNoIndex, nullptr);
    fgLibrary = &add<Grid>("fgLibrary", kNoIndex, nullptr);
    lblConfirm = &add<Label>("lblConfirm", kNoIndex, nullptr);
    cmdConfirmDelete = button("cmdConfirmDelete", "Smazat");
    cmdKeep = button("cmdKeep", "Ponechat");
    cmdDelete = button("cmdDelete", "Smazat…");
    cmdImport = button("cmdImport", "Importovat CSV…");
    cmdExport = button("cmdExport", "Exportovat knihovnu…");
    cmdConvert = button("cmdConvert", "Převést databázi .mdb do CSV…");
    txtReport = &add<TextBox>("txtReport", kNoIndex, nullptr);
    txtReport->setMultiLine(true);
    txtReport->setReadOnly(true);
    cmdClose = button("cmdClose", "Zavřít");

    cmdDelete->setToolTip("Smaže vybraný záznam knihovny (po potvrzení).");
    cmdImport->setToolTip("Převezme intenzity ze souboru CSV; chybné řádky odmítne a vypíše proč.");
    cmdExport->setToolTip("Uloží celou knihovnu do jednoho souboru CSV.");
    cmdConvert->setToolTip("Uloží vše, co obsahuje databáze intenzit deště (infil.mdb), do souboru CSV, "
                           "který lze potom importovat.");
    cmdConfirmDelete->setToolTip("Vybraný záznam se z knihovny smaže.");
    cmdKeep->setToolTip("Záznam zůstane v knihovně.");
    cmdClose->setToolTip("Zavře okno knihovny.");
    fgLibrary->setToolTip("Stanice a periodicity, pro které knihovna obsahuje intenzity, se zdrojem hodnot; "
                          "klepnutím se záznam vybere.");
    txtReport->setToolTip("Co poslední import, export nebo převod vykonal, a odmítnuté řádky s důvodem.");
    cmdDelete->setMnemonic('S');
    cmdConfirmDelete->setMnemonic('m');
    cmdKeep->setMnemonic('o');
    cmdImport->setMnemonic('I');
    cmdExport->setMnemonic('E');
    cmdConvert->setMnemonic('P');
    cmdClose->setMnemonic('Z');

    for (Control* c : std::initializer_list<Control*>{lblConfirm, cmdConfirmDelete, cmdKeep})
        c->setVisible(false);

    fgLibrary->onClick = [this] { rowClicked(); };
    cmdDelete->onClick = [this] { askDelete(); };
    cmdConfirmDelete->onClick = [this] { confirmDelete(); };
    cmdKeep->onClick = [this] { hideConfirmation(); };
    cmdImport->onClick = [this] { importClicked(); };
    cmdExport->onClick = [this] { exportClicked(); };
    cmdConvert->onClick = [this] { convertClicked(); };
    cmdClose->onClick = [this] { close(); };
}

void RainLibraryDialog::open()
{
    library_->reload();
    lblFolder->setCaption("Složka knihovny: " + library_->folder());
    std::string problems;
    for (const std::string& p : library_->problems())
        problems += (problems.empty() ? "" : "\r\n") + p;
    txtReport->setText(problems.empty() ? std::string()
                                        : "Některé údaje ve složce knihovny se nepoužijí:\r\n" + problems);
    fill();
    if (owner_)
        owner_->setEnabled(false);
    setOpen(true);
    setFocus(fgLibrary);
}

void RainLibraryDialog::close()
{
    if (!isOpen())
        return;
    hideConfirmation();
    setOpen(false);
    if (owner_)
        owner_->setEnabled(true);
    if (onClosed)
        onClosed();
}

void RainLibraryDialog::fill()
{
    entries_ = library_->entries();
    picked_ = 0;
    Grid& g = *fgLibrary;
    Grid::Batch batch(g);
    g.reset(kLayout);
    g.setColWidth(0, 2700);
    g.setColWidth(1, 2400);
    g.setColWidth(2, 3600);
    for (const auto& e : entries_)
        g.addRow({rain::stationLabel(e.station), periodicitiesText(e.periodicities), e.source});
    if (!entries_.empty())
        g.removeRow(1); // the blank row a fresh grid starts with
    else
        g.setText(1, 0, "(knihovna je prázdná)");
    cmdDelete->setEnabled(false);
    hideConfirmation();
}

void RainLibraryDialog::rowClicked()
{
    hideConfirmation();
    const int row = fgLibrary->row();
    picked_ = row >= 1 && row <= static_cast<int>(entries_.size()) ? row : 0;
    cmdDelete->setEnabled(picked_ > 0);
}

void RainLibraryDialog::askDelete()
{
    if (picked_ < 1)
        return;
    const auto& e = entries_[static_cast<std::size_t>(picked_ - 1)];
    lblConfirm->setCaption("Smazat z knihovny stanici " + rain::stationLabel(e.station) + ", periodicity " +
                           periodicitiesText(e.periodicities) + ", zdroj „" + e.source + "“?");
    for (Control* c : std::initializer_list<Control*>{lblConfirm, cmdConfirmDelete, cmdKeep})
        c->setVisible(true);
    for (Control* c : std::initializer_list<Control*>{fgLibrary, cmdDelete, cmdImport, cmdExport, cmdConvert})
        c->setEnabled(false);
    setFocus(cmdKeep);
}

void RainLibraryDialog::hideConfirmation()
{
    for (Control* c : std::initializer_list<Control*>{lblConfirm, cmdConfirmDelete, cmdKeep})
        c->setVisible(false);
    for (Control* c : std::initializer_list<Control*>{fgLibrary, cmdImport, cmdExport, cmdConvert})
        c->setEnabled(true);
    cmdDelete->setEnabled(picked_ > 0);
}

void RainLibraryDialog::confirmDelete()
{
    if (picked_ < 1)
        return hideConfirmation();
    const auto e = entries_[static_cast<std::size_t>(picked_ - 1)];
    const rain::WriteResult result = library_->remove(e.station, e.source);
    if (!result.ok) {
        hideConfirmation();
        app_.messages().showMessage({MessageIcon::Stop, std::string(kAppTitle), result.reason});
        return;
    }
    showReport("Smazáno z knihovny: stanice " + rain::stationLabel(e.station) + ", periodicity " +
               periodicitiesText(e.periodicities) + ", zdroj „" + e.source + "“.");
    fill();
    setFocus(fgLibrary);
}

std::optional<std::string> RainLibraryDialog::choose(bool save, const char* title, const char* filter,
                                                     const std::string& start)
{
    return app_.platform().chooseFile({save, title, filter, start});
}

void RainLibraryDialog::showReport(const std::string& text)
{
    txtReport->setText(text);
}

void RainLibraryDialog::importClicked()
{
    const auto path = choose(false, "Importovat intenzity deště ze souboru CSV", kCsvFilter, homeFolder());
    if (!path)
        return;
    const rain::ImportReport report = library_->importFile(*path);
    const std::string text = report.text();
    showReport(text);
    fill();
    const bool refusedWhole = report.reading.status != rain::CsvReading::Status::Read || !report.written.ok;
    const MessageIcon icon = report.complete() ? MessageIcon::Information
                             : refusedWhole    ? MessageIcon::Stop
                                               : MessageIcon::Exclamation;
    app_.messages().showMessage({icon, std::string(kAppTitle), shortened(text)});
}

void RainLibraryDialog::exportClicked()
{
    const auto path = choose(true, "Exportovat knihovnu intenzit deště", kCsvFilter, homeFolder() + "/intenzity-deste.csv");
    if (!path)
        return;
    const rain::WriteResult result = library_->exportTo(*path);
    if (!result.ok) {
        app_.messages().showMessage({MessageIcon::Stop, std::string(kAppTitle), result.reason});
        return;
    }
    const std::string text = "Knihovna intenzit deště (" + rain::rowCount(library_->rows().size()) +
                             ") je uložena do souboru " + *path + ".";
    showReport(text);
    app_.messages().showMessage({MessageIcon::Information, std::string(kAppTitle), text});
}

void RainLibraryDialog::convertClicked()
{
    const auto database = choose(false, "Databáze intenzit deště k převodu", "Databáze Access (*.mdb);;Všechny soubory (*)",
                                 app_.record().DatabasePath);
    if (!database)
        return;
    const rain::DatabaseContent content = rain::readWholeDatabase(*database);
    const rain::DatabaseExport exported = rain::exportDatabase(content, rain::databaseSource(*database));
    if (!exported.read) {
        const std::string text = exported.text(*database, "");
        showReport(text);
        app_.messages().showMessage({MessageIcon::Stop, std::string(kAppTitle), text});
        return;
    }
    const auto output = choose(true, "Uložit intenzity z databáze jako CSV", kCsvFilter, homeFolder() + "/infil-mdb.csv");
    if (!output)
        return;
    const rain::WriteResult written = rain::replaceFiles({{*output, rain::writeRainCsv(exported.rows)}});
    if (!written.ok) {
        app_.messages().showMessage(
            {MessageIcon::Stop, std::string(kAppTitle), "Soubor nelze zapsat: " + written.reason + "."});
        return;
    }
    const std::string text = exported.text(*database, *output) +
                             "\r\nSoubor lze prohlédnout, opravit zdroj a potom převzít tlačítkem „Importovat CSV…“.";
    showReport(text);
    app_.messages().showMessage({MessageIcon::Information, std::string(kAppTitle), shortened(text)});
}

} // namespace infil::model
