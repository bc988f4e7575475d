#include "RainIntensityDialog.h"

#include "NumberEntry.h"
#include "NumberFormat.h"
#include "RainLibraryDialog.h"
#include "RainSourceDialog.h"
#include "rain/DatabaseExport.h"
#include "rain/StationIntensities.h"
#include "rain/StationTable.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;
constexpr int kDataRows = 9;
constexpr int kEditorInset = 50; // twips between a cell's top-left corner and its editor
constexpr int kEnter = 13;
constexpr int kEscape = 27;

// The original's twips to a whole twip: ties go to the even neighbour, as the
// original's conversion to a whole number does.
int wholeTwips(double twips) { return static_cast<int>(std::nearbyint(twips)); }

// Slot i (1..9) of the durations the library's columns stand for.
float libraryDuration(int i) { return rain::column::kDurations[static_cast<std::size_t>(i - 1)]; }

bool fileExists(const std::string& path, struct stat* st = nullptr)
{
    struct stat own {};
    return !path.empty() && ::stat(path.c_str(), st ? st : &own) == 0;
}

Message stop(std::string text) { return {MessageIcon::Stop, std::string(kAppTitle), std::move(text)}; }
Message warning(std::string text) { return {MessageIcon::Exclamation, std::string(kAppTitle), std::move(text)}; }

} // namespace

const char* const RainIntensityDialog::kLayout = "td [min]|<i (t,p) [l/s.ha]|<Výběr";

// Trailing blanks belong to the lines; every line ends in CR LF.
const char* const RainIntensityDialog::kHelpText = "Nápověda:\r\n"
                                                   "U plošného infilování (infilování \r\n"
                                                   "bez akumulace) volte dobu trvání \r\n"
                                                   "deště t=10 min.\r\n"
                                                   "Pro velké a málo sklonité připojované \r\n"
                                                   "plochy může být doba zvýšena na t=15 \r\n"
                                                   "min.\r\n"
                                                   "Periodicitu volte p=0,2\r\n";

const char* const RainIntensityDialog::kNoIntensities =
    "Nejsou zadány žádné intenzity deště. Vyberte dešťoměrnou stanici, nebo zadejte hodnoty ručně.";

int RainIntensityDialog::scaled(int twips) { return wholeTwips(twips * 1.5); }

Grid::Geometry RainIntensityDialog::place(int left, int top, int width, int height)
{
    return {scaled(left), scaled(top), scaled(width), scaled(height)};
}

std::optional<std::int16_t> intensitySum(const RainSeries& intensities)
{
    std::int16_t sum = 0;
    for (float intensity : intensities) {
        // A whole number plus a Single is a Single, then rounded to a whole number.
        const float total = static_cast<float>(sum + static_cast<double>(intensity));
        const double whole = std::nearbyint(static_cast<double>(total)); // ties to even
        if (!std::isfinite(whole) || whole < -32768.0 || whole > 32767.0)
            return std::nullopt;
        sum = static_cast<std::int16_t>(whole);
    }
    return sum;
}

RainIntensityDialog::RainIntensityDialog(Application& app, std::shared_ptr<rain::RainLibrary> library)
    : Dialog("frmIntDialog"), app_(app), library_(std::move(library))
{
    build();
    wireHandlers();
}

// ---------------------------------------------------------------------------
// Controls

void RainIntensityDialog::build()
{
    auto label = [this](int index, const char* caption) {
        Label* l = &add<Label>("lblInt", index, nullptr);
        l->setCaption(caption);
        return l;
    };
    auto button = [this](const char* name, const char* caption) {
        Button* b = &add<Button>(name, kNoIndex, nullptr);
        b->setCaption(caption);
        return b;
    };

    lblInt[0] = label(0, "Stanice");
    lblInt[1] = label(1, "Periodicita");
    cboSelStanice = &add<ComboBox>("cboSelStanice", kNoIndex, nullptr);
    cboSelStanice->setToolTip("Dešťoměrná stanice; (Vlastní hodnoty) pro intenzity zadané ručně");
    cboSelPeriod = &add<ComboBox>("cboSelPeriod", kNoIndex, nullptr);
    cboSelPeriod->setToolTip("Periodicita návrhového deště p [1/rok], pro infilování obvykle 0.2");

    fgIntDeste = &add<Grid>("fgIntDeste", kNoIndex, nullptr);
    fgIntDeste->setGeometry(place(120, 960, 3135, 2415));
    // Header row and nine rows fill the grid's height.
    fgIntDeste->setRowHeight(scaled(Grid::kDefaultRowHeight));
    fgIntDeste->setToolTip("Návrhový déšť se vybere ve sloupci Výběr klepnutím, mezerníkem nebo Enterem; "
                           "dobu a intenzitu lze přepsat, Esc oprava vrátí");

    txtSChange = &add<TextBox>("txtSChange", kNoIndex, nullptr);
    txtSChange->setVisible(false);

    txtHelp = &add<TextBox>("txtHelp", kNoIndex, nullptr);
    txtHelp->setMultiLine(true);
    txtHelp->setReadOnly(true);
    txtHelp->setText(kHelpText);
    txtHelp->setVisible(false);
    cmdCloseHelp = button("cmdCloseHelp", "x");
    cmdCloseHelp->setVisible(false);
    cmdCloseHelp->setMnemonic('x');
    cmdCloseHelp->setToolTip("Zavřít nápovědu");

    cmdOK = button("cmdOK", "OK");
    cmdOK->setEnabled(false);
    cmdOK->setMnemonic('O');
    cmdOK->setToolTip("Převzít vybraný déšť do výpočtu");
    cmdEdit = button("cmdEdit", "?");
    cmdEdit->setMnemonic('?');
    cmdEdit->setToolTip("Nápověda k volbě deště");

    lblSource = &add<Label>("lblSource", kNoIndex, nullptr);
    cmdSaveToLibrary = button("cmdSaveToLibrary", "Uložit do knihovny…");
    cmdSaveToLibrary->setToolTip("Uloží ručně zadané intenzity do knihovny intenzit deště pod stanici a periodicitu "
                                 "se zdrojem hodnot; potom je stanice k dispozici v každém projektu.");
    cmdLibrary = button("cmdLibrary", "Knihovna…");
    cmdLibrary->setToolTip("Co knihovna intenzit deště obsahuje; mazání, import a export.");
    cmdSaveToLibrary->setMnemonic('U');
    cmdLibrary->setMnemonic('K');
}

void RainIntensityDialog::wireHandlers()
{
    cboSelStanice->onClick = [this] { stationChosen(); };
    cboSelPeriod->onClick = [this] { periodicityChosen(); };
    fgIntDeste->onLeaveCell = [this] { gridCellLeft(); };
    fgIntDeste->onClick = [this] { gridCellClicked(); };
    txtSChange->onChange = [this] { editorChanged(); };
    txtSChange->onKeyDown = [this](int keyCode) { return EditKeyCode(*fgIntDeste, *txtSChange, keyCode); };
    txtSChange->onLostFocus = [this] { hideEditor(); };
    cmdEdit->onClick = [this] {
        txtHelp->setVisible(true);
        cmdCloseHelp->setVisible(true);
    };
    cmdCloseHelp->onClick = [this] {
        txtHelp->setVisible(false);
        cmdCloseHelp->setVisible(false);
    };
    cmdOK->onClick = [this] { okClicked(); };
    cmdSaveToLibrary->onClick = [this] { openSavePrompt(); };
    cmdLibrary->onClick = [this] { openLibrary(); };
}

void RainIntensityDialog::resetText(TextBox& box, const std::string& text)
{
    auto handler = std::move(box.onChange);
    box.onChange = nullptr;
    box.setText(text);
    box.onChange = std::move(handler);
}

// ---------------------------------------------------------------------------
// Opening and closing

void RainIntensityDialog::open()
{
    ProjectRecord& r = app_.record();
    app_.calc().setEnabled(false);

    // A window loads afresh each time: editor and help hidden, first cell current.
    txtSChange->setVisible(false);
    resetText(*txtSChange, "");
    editCol_ = kNoIndex;
    editRow_ = 0;
    txtHelp->setVisible(false);
    cmdCloseHelp->setVisible(false);
    fgIntDeste->setRow(1);
    fgIntDeste->setCol(0);
    setFocus(nullptr);
    setOpen(true);

    cmdOK->setEnabled(false);

    cboSelStanice->clear();
    for (int k = 0; k <= 92; ++k)
        cboSelStanice->addItem(r.StationNames[k]);
    cboSelPeriod->clear();
    for (int k = 1; k <= 7; ++k)
        cboSelPeriod->addItem(num::plain(r.Periodicities[k]));

    library_->reload();
    markStations();

    // A station name the list does not hold (not one of ours) counts as none.
    if (r.StationName.empty() || !cboSelStanice->selectText(r.StationName))
        cboSelStanice->setListIndex(0);
    if (!r.PeriodicityText.empty())
        cboSelPeriod->selectText(r.PeriodicityText);
    rebuildGrid();
}

void RainIntensityDialog::close()
{
    if (!isOpen())
        return;
    // The windows it opened go with it.
    for (const char* name : {"frmRainSource", "frmRainLibrary"})
        if (Form* form = app_.form(name); form && form->isOpen())
            form->close();
    setEnabled(true);
    txtSChange->setVisible(false);
    setOpen(false);
    app_.calc().setEnabled(true);
}

// ---------------------------------------------------------------------------
// Station and periodicity

void RainIntensityDialog::stationChosen()
{
    ProjectRecord& r = app_.record();
    r.StationName = cboSelStanice->text();
    const int k = cboSelStanice->listIndex();
    cmdSaveToLibrary->setEnabled(k < 1);
    sources_ = {};
    if (k < 1) {
        // "(Vlastní hodnoty)": the typed series stays, and is no station's.
        r.RainSource.clear();
        showSource();
        return;
    }
    lastStation_ = k;
    if (!loadStation(r.StationIds[k])) {
        // The message has said why. The series shown is not this station's, so
        // the choice falls back to typed values rather than label it wrongly.
        cboSelStanice->setListIndex(0);
        return;
    }
    if (!r.PeriodicityText.empty())
        cboSelPeriod->selectText(r.PeriodicityText);
    showSource();
}

bool RainIntensityDialog::loadStation(std::int16_t station)
{
    ProjectRecord& r = app_.record();
    std::array<const rain::RainRow*, 7> fromLibrary{};
    bool inLibrary = false;
    bool complete = true;
    for (int p = 1; p <= 7; ++p) {
        fromLibrary[static_cast<std::size_t>(p - 1)] = library_->find(station, p);
        inLibrary = inLibrary || fromLibrary[static_cast<std::size_t>(p - 1)];
        complete = complete && fromLibrary[static_cast<std::size_t>(p - 1)];
    }
    const SeriesSource database{Origin::Database, rain::databaseSource(r.DatabasePath)};
    rain::LoadOptions options;
    options.searched = app_.folders().rainDatabasePlaces();
    if (!inLibrary) {
        if (!rain::LoadStationIntensities(r, station, r.DatabasePath, app_.messages(), options))
            return false;
        sources_.fill(database);
        return true;
    }

    // The library gives some periodicities: the database, when it has the
    // station, the others. Without it they have no values (0) and say so when
    // chosen.
    ProjectRecord read = r;
    const auto& inDatabase = databaseMarks_.stations;
    const bool databaseHasIt = databaseMarks_.path == r.DatabasePath &&
                               std::find(inDatabase.begin(), inDatabase.end(), station) != inDatabase.end();
    const bool fromDatabase = !complete && databaseHasIt &&
                              rain::LoadStationIntensities(read, station, r.DatabasePath, app_.messages(), options);
    if (!fromDatabase)
        for (int i = 1; i <= 9; ++i)
            read.StationDurations[i] = static_cast<std::int16_t>(libraryDuration(i));
    std::string gaps;
    for (int p = 1; p <= 7; ++p) {
        SeriesSource& source = sources_[static_cast<std::size_t>(p - 1)];
        const rain::RainRow* row = fromLibrary[static_cast<std::size_t>(p - 1)];
        if (row) {
            source = {Origin::Library, row->source};
            std::string missing;
            for (int i = 1; i <= 9; ++i) {
                const auto& value = row->intensities[static_cast<std::size_t>(i - 1)];
                read.StationIntensities[p][i] = value.value_or(0.0f);
                if (!value)
                    missing += (missing.empty() ? "" : ", ") + num::plain(libraryDuration(i));
            }
            if (!missing.empty())
                gaps += "\r\nperiodicita " + rain::periodicityText(p) + ": " + missing + " min";
        } else if (fromDatabase) {
            source = database;
        } else {
            source = {};
            for (int i = 1; i <= 9; ++i)
                read.StationIntensities[p][i] = 0;
        }
    }
    r.StationIntensities = read.StationIntensities;
    r.StationDurations = read.StationDurations;
    if (!gaps.empty())
        app_.messages().showMessage(warning("V knihovně intenzit deště chybějí u stanice " + r.StationName +
                                            " některé intenzity; počítá se místo nich s nulou:" + gaps));
    return true;
}

void RainIntensityDialog::showSource()
{
    const ProjectRecord& r = app_.record();
    const int k = cboSelStanice->listIndex();
    const int p = cboSelPeriod->listIndex();
    std::string text;
    if (k < 1) {
        text = "Zdroj: hodnoty zadané ručně";
    } else if (p >= 0 && p <= 6 && !r.PeriodicityText.empty()) {
        const SeriesSource& source = sources_[static_cast<std::size_t>(p)];
        switch (source.origin) {
        case Origin::Library: text = "Zdroj: knihovna – " + source.text; break;
        case Origin::Database: text = "Zdroj: " + source.text; break;
        case Origin::None: text = "Zdroj: žádné údaje pro tuto periodicitu"; break;
        }
    }
    lblSource->setCaption(text);
}

void RainIntensityDialog::markStations()
{
    const ProjectRecord& r = app_.record();
    // The database is read once for each version of the file.
    struct stat st {};
    if (fileExists(r.DatabasePath, &st)) {
        const long long modified = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
        if (databaseMarks_.path != r.DatabasePath || databaseMarks_.size != st.st_size ||
            databaseMarks_.modified != modified) {
            databaseMarks_ = {r.DatabasePath, static_cast<long long>(st.st_size), modified,
                              rain::stationsWithData(rain::readWholeDatabase(r.DatabasePath))};
        }
    } else {
        databaseMarks_ = {};
    }
    const auto& inDatabase = databaseMarks_.stations;
    const std::string databaseName = rain::databaseSource(r.DatabasePath).substr(std::string("databáze ").size());
    for (int k = 1; k <= 92; ++k) {
        const std::int16_t id = r.StationIds[k];
        const bool library = library_->holds(id);
        const bool database = std::find(inDatabase.begin(), inDatabase.end(), id) != inDatabase.end();
        cboSelStanice->setItemMark(k, library && database ? "údaje v knihovně i v " + databaseName
                                      : library           ? std::string("údaje v knihovně")
                                      : database          ? "údaje v " + databaseName
                                                          : std::string());
    }
}

void RainIntensityDialog::periodicityChosen()
{
    ProjectRecord& r = app_.record();
    r.PeriodicityText = cboSelPeriod->text();
    const int p = cboSelPeriod->listIndex();
    if (cboSelStanice->listIndex() >= 1 && p >= 0 && p <= 6) {
        for (int i = 1; i <= kDataRows; ++i)
            r.RainIntensities[i] = r.StationIntensities[p + 1][i];
        const SeriesSource& source = sources_[static_cast<std::size_t>(p)];
        r.RainSource = source.text;
        if (source.origin == Origin::None)
            app_.messages().showMessage(warning(
                "Pro stanici " + r.StationName + " a periodicitu " + r.PeriodicityText +
                " nejsou v knihovně intenzit deště žádné hodnoty a " +
                (fileExists(r.DatabasePath) ? "databáze intenzit deště tuto stanici neobsahuje"
                                            : "databáze intenzit deště nebyla nalezena") +
                "; intenzity jsou nulové.\r\nHodnoty z vlastního podkladu lze zadat ručně a uložit do knihovny "
                "tlačítkem „Uložit do knihovny…“."));
    }
    rebuildGrid();
    showSource();
    cmdOK->setEnabled(true);
}

void RainIntensityDialog::rebuildGrid()
{
    const ProjectRecord& r = app_.record();
    Grid& g = *fgIntDeste;
    Grid::Batch batch(g);
    g.clear();
    g.setFixedCols(0);
    g.setLayout(kLayout);
    g.setColShares({0.35, 0.35, 0.30});
    g.setColAlignment(0, Grid::Align::Center);
    g.setColAlignment(1, Grid::Align::Center);
    g.setRows(1 + kDataRows);
    for (int i = 1; i <= kDataRows; ++i) {
        g.setText(i, 0, num::plain(r.RainDurations[i]));
        g.setText(i, 1, num::plain(r.RainIntensities[i]));
    }
}

// ---------------------------------------------------------------------------
// The grid, its pick column and its editor

void RainIntensityDialog::gridCellLeft()
{
    // A click elsewhere in the grid takes the focus from an open editor first.
    if (txtSChange->visible())
        txtSChange->lostFocus();
    fgIntDeste->setCellPicture(Grid::Picture::Blank);
}

void RainIntensityDialog::gridCellClicked()
{
    if (txtSChange->visible())
        txtSChange->lostFocus();
    ProjectRecord& r = app_.record();
    const int row = fgIntDeste->row();
    const int col = fgIntDeste->col();
    if (row < 1 || row > kDataRows)
        return;
    if (col == kPickCol) {
        fgIntDeste->setCellPicture(Grid::Picture::Check);
        r.SelIntDeste = r.RainIntensities[row];
        r.SelDTrvDeste = r.RainDurations[row];
    } else if (col == 0 || col == 1) {
        openEditor(row, col);
    }
}

void RainIntensityDialog::openEditor(int row, int col)
{
    const ProjectRecord& r = app_.record();
    const Grid& g = *fgIntDeste;
    const Grid::Geometry& grid = g.geometry();
    editRow_ = row;
    editCol_ = col;
    // Columns 0 and 1 are equally wide, so the second's width places either.
    editorGeometry_ = {grid.left + g.colWidth(1) * col + kEditorInset,
                       grid.top + g.rowHeight() * row + kEditorInset, g.colWidth(col) - kEditorInset,
                       g.rowHeight() - kEditorInset};
    ++editorOpenings_;
    beforeEdit_ = {col == 0 ? r.RainDurations[row] : r.RainIntensities[row],
                   g.text(row, col),
                   r.StationName,
                   cboSelStanice->listIndex(),
                   r.RainSource,
                   sources_};
    // Filling the editor is a change of its text like any other.
    txtSChange->setText(col == 0 ? num::plain(r.RainDurations[row]) : num::fixed(r.RainIntensities[row], 1));
    txtSChange->setVisible(true);
    setFocus(txtSChange);
}

void RainIntensityDialog::editorChanged()
{
    cboSelStanice->setListIndex(0); // typed values are no station's
    if (editRow_ < 1 || editRow_ > kDataRows || (editCol_ != 0 && editCol_ != 1))
        return;
    // An emptied cell holds 0. A text that is no number (yet), or one beyond a
    // Single's range, leaves the slot as it was.
    const num::Typed typed = num::classify(txtSChange->text());
    if (typed.kind != num::Typed::Kind::Number && typed.kind != num::Typed::Kind::Empty)
        return;
    const double value = typed.value;
    if (!num::fitsSingle(value))
        return;
    ProjectRecord& r = app_.record();
    if (editCol_ == 0) {
        r.RainDurations[editRow_] = static_cast<float>(value);
        fgIntDeste->setText(editRow_, 0, num::fixed(r.RainDurations[editRow_], 0));
    } else {
        r.RainIntensities[editRow_] = static_cast<float>(value);
        fgIntDeste->setText(editRow_, 1, num::fixed(r.RainIntensities[editRow_], 1));
    }
}

void RainIntensityDialog::hideEditor()
{
    if (!txtSChange->visible())
        return;
    txtSChange->setVisible(false);
    const std::string& text = txtSChange->text();
    const num::Typed typed = num::classify(text);
    if (editRow_ < 1 || editRow_ > kDataRows || typed.kind == num::Typed::Kind::Empty ||
        (typed.kind == num::Typed::Kind::Number && num::fitsSingle(typed.value)))
        return;
    // The slot kept its value: say so rather than leave the typing unexplained.
    const ProjectRecord& r = app_.record();
    const bool duration = editCol_ == 0;
    app_.messages().showMessage(unreadNumber(
        text, duration ? "Doba trvání deště (min)" : "Intenzita deště (l/s.ha)",
        duration ? num::plain(r.RainDurations[editRow_]) : num::plain(r.RainIntensities[editRow_]),
        typed.kind == num::Typed::Kind::Number));
}

bool RainIntensityDialog::EditKeyCode(Grid& grid, TextBox& editor, int keyCode)
{
    if (keyCode != kEnter && keyCode != kEscape)
        return false;
    if (&editor == txtSChange) {
        if (keyCode == kEscape)
            cancelEdit();
        else
            hideEditor();
    }
    editor.setVisible(false);
    setFocus(&grid);
    return true;
}

void RainIntensityDialog::cancelEdit()
{
    // Every keystroke was stored as it came, and opening the cell alone moved
    // the station to typed values: Esc puts back the cell and the station the
    // user had, without reading the station's table again.
    if (!txtSChange->visible())
        return;
    txtSChange->setVisible(false);
    ProjectRecord& r = app_.record();
    if (editRow_ >= 1 && editRow_ <= kDataRows && (editCol_ == 0 || editCol_ == 1)) {
        (editCol_ == 0 ? r.RainDurations : r.RainIntensities)[editRow_] = beforeEdit_.value;
        fgIntDeste->setText(editRow_, editCol_, beforeEdit_.cellText);
    }
    if (beforeEdit_.station >= 0) {
        auto handler = std::move(cboSelStanice->onClick);
        cboSelStanice->onClick = nullptr;
        cboSelStanice->setListIndex(beforeEdit_.station);
        cboSelStanice->onClick = std::move(handler);
        r.StationName = beforeEdit_.stationName;
        r.RainSource = beforeEdit_.rainSource;
        sources_ = beforeEdit_.sources;
        cmdSaveToLibrary->setEnabled(beforeEdit_.station < 1);
        showSource();
    }
}

// ---------------------------------------------------------------------------
// The rain library

void RainIntensityDialog::openSavePrompt()
{
    auto* prompt = dynamic_cast<RainSourceDialog*>(app_.form("frmRainSource"));
    if (!prompt)
        return;
    prompt->onSave = [this](const RainSourceDialog::Choice& c) { return saveTyped(c.station, c.periodicity, c.source); };
    prompt->prepare(this, lastStation_, cboSelPeriod->listIndex() + 1);
    prompt->open();
}

bool RainIntensityDialog::saveTyped(std::int16_t station, int periodicity, const std::string& source)
{
    ProjectRecord& r = app_.record();
    auto refuse = [&](std::string text) {
        app_.messages().showMessage(stop(std::move(text)));
        return false;
    };
    int position = 0;
    for (int k = 1; k <= 92; ++k)
        if (r.StationIds[k] == station)
            position = k;
    if (position == 0)
        return refuse("Vyberte stanici, ke které zadané intenzity patří.");
    if (periodicity < 1 || periodicity > 7)
        return refuse("Vyberte periodicitu, ke které zadané intenzity patří.");
    if (source.empty())
        return refuse("Uveďte zdroj hodnot (například „Trupl 1958, tab. 12“), aby zpráva mohla uvést, odkud "
                      "návrhový déšť pochází.");
    if (source.size() > rain::kMaxSourceBytes)
        return refuse("Zdroj hodnot je příliš dlouhý (nejvýše " + std::to_string(rain::kMaxSourceBytes) + " bajtů).");
    if (std::any_of(source.begin(), source.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return refuse("Zdroj hodnot nesmí obsahovat zalomení řádku ani řídicí znaky.");
    for (int i = 1; i <= kDataRows; ++i)
        if (r.RainDurations[i] != libraryDuration(i))
            return refuse("Doby trvání deště v tabulce se liší od obvyklých 5, 10, 15, 20, 30, 45, 60, 90 a 120 min; "
                          "knihovna uchovává intenzity jen pro tyto doby. Vraťte doby trvání a uložte znovu.");
    rain::RainRow row;
    row.station = station;
    row.periodicity = periodicity;
    row.source = source;
    bool any = false;
    for (int i = 1; i <= kDataRows; ++i) {
        const float value = r.RainIntensities[i];
        if (!std::isfinite(value) || value < 0 || value >= rain::kImplausibleIntensity)
            return refuse("Intenzita " + num::plain(value) + " l/(s.ha) pro dobu " + num::plain(r.RainDurations[i]) +
                          " min není přípustná; musí být nezáporná a menší než " +
                          num::plain(static_cast<float>(rain::kImplausibleIntensity)) + ".");
        // 0 is what the dialog shows for a value nobody entered: not known.
        if (value > 0)
            row.intensities[static_cast<std::size_t>(i - 1)] = value;
        any = any || value > 0;
    }
    if (!any)
        return refuse(kNoIntensities);
    const rain::WriteResult written = library_->add(row);
    if (!written.ok)
        return refuse(written.reason);

    // From now on the station's series is the library's: choosing it shows
    // these values with their source.
    markStations();
    cboSelPeriod->setListIndex(periodicity - 1);
    cboSelStanice->setListIndex(position);
    return true;
}

void RainIntensityDialog::openLibrary()
{
    auto* window = dynamic_cast<RainLibraryDialog*>(app_.form("frmRainLibrary"));
    if (!window)
        return;
    libraryAtOpening_ = library_->rows();
    window->onClosed = [this] { libraryClosed(); };
    window->prepare(this);
    window->open();
}

void RainIntensityDialog::libraryClosed()
{
    library_->reload();
    markStations();
    // A change of the chosen station's data shows at once.
    const int k = cboSelStanice->listIndex();
    if (k < 1)
        return;
    const std::int16_t station = app_.record().StationIds[k];
    auto ofStation = [station](std::vector<rain::RainRow> rows) {
        std::erase_if(rows, [station](const rain::RainRow& row) { return row.station != station; });
        return rows;
    };
    if (ofStation(libraryAtOpening_) != ofStation(library_->rows()))
        cboSelStanice->setListIndex(k);
}

// ---------------------------------------------------------------------------
// OK

void RainIntensityDialog::okClicked()
{
    ProjectRecord& r = app_.record();
    // A sum beyond the 16-bit range is certainly not an empty series.
    const std::optional<std::int16_t> sum = intensitySum(r.RainIntensities);
    if (sum && *sum == 0) {
        app_.messages().showMessage({MessageIcon::Stop, std::string(kAppTitle), kNoIntensities});
        return;
    }
    CalcForm& calc = app_.calc();
    if (r.SelIntDeste > 0) {
        calc.txtSelIntDeste->setText(num::plain(r.SelIntDeste));
        if (r.SelDTrvDeste > 0)
            calc.txtSelDTrvDeste->setText(num::plain(r.SelDTrvDeste));
    }
    calc.RebuildCalc();
    close();
}

} // namespace infil::model
