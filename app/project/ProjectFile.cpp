#include "ProjectFile.h"

#include "ProjectKeys.h"

#include "Engine.h"
#include "FloatOps.h"
#include "Formulas.h"
#include "NumberFormat.h"
#include "ReferenceTables.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>
#include <vector>

namespace infil::project {
namespace {

using R = ProjectRecord;
using model::CalcForm;
using model::TextBox;
namespace k = key;

// ---------------------------------------------------------------------------
// The inputs and the record fields they are kept in. One row per value: the
// writer, the reader and restore() all loop over these tables.

struct NumberField {
    const char* section; // nullptr: at the top of the file
    const char* name;
    float R::*field;
};

const NumberField kNumbers[] = {
    {k::kDrainedArea, k::kReducedArea, &R::OdvodNepPlocha},
    {k::kRain, k::kDesignDuration, &R::SelDTrvDeste},
    {k::kRain, k::kDesignIntensity, &R::SelIntDeste},
    {k::kSoil, k::kKf, &R::SoucFiltrace},
    {nullptr, k::kGroundwaterDepth, &R::HPV},
    {k::kDesign, k::kSafetyFactor, &R::SoucBezp},
    {k::kCombined, k::kSwaleKf, &R::SoucFiltrPruleh},
    {k::kTrench, k::kWidth, &R::SirkaRyhy},
    {k::kTrench, k::kHeight, &R::VyskaRyhy},
    {k::kTrench, k::kFillPorosity, &R::PorVyplne},
    {k::kPipes, k::kInnerDiameter, &R::PrumTroubVnit},
    {k::kPipes, k::kOuterDiameter, &R::PrumTroubVnej},
    {k::kPipes, k::kCount, &R::PocetPotrubi},
    {k::kPipes, k::kThrottledRate, &R::SpecDrenOdtok},
    {k::kPipes, k::kOutletArea, &R::VystupPlocha},
    {k::kPipes, k::kOutletVelocity, &R::VystupRychlost},
    {k::kPipes, k::kThrottledOutflow, &R::ThrottledOutflow},
    {k::kPipes, k::kEffectivePorosity, &R::EffectivePorosity},
    {k::kShaft, k::kInnerDiameter, &R::PrumerSachtyVnit},
    {k::kShaft, k::kWidth, &R::ShaftWidth},
    {k::kShaft, k::kLength, &R::ShaftLength},
    {k::kShaft, k::kWallThickness, &R::TloustkaSteny},
    {k::kShaft, k::kOuterDiameter, &R::ShaftOuterDiameter},
    {k::kShaft, k::kInflowDepth, &R::NezamrzHlPritok},
    {k::kShaft, k::kFilterHeight, &R::VyskaFiltrVrstvy},
    {k::kShaft, k::kSandHeight, &R::VyskaPiskVrstvy},
    {k::kShaft, k::kMinSeepage, &R::MinPrusakDraha},
    {k::kBasin, k::kSpecificRate, &R::SpecInfilIntenz},
    {k::kBasin, k::kBottomLength, &R::DelkaDnaNadrz},
    {k::kBasin, k::kBottomWidth, &R::SirkaDnaNadrz},
    {k::kBasin, k::kDepth, &R::HloubkaNadrz},
    {k::kBasin, k::kSideSlope, &R::SklonSvahuNadrz},
};

struct TextField {
    const char* section;
    const char* name;
    std::string R::*field;
    std::size_t limit;
};

const TextField kTexts[] = {
    {k::kProject, k::kName, &R::ProjName, kMaxTextBytes},
    {k::kProject, k::kDesigner, &R::Projektant, kMaxTextBytes},
    {k::kProject, k::kClient, &R::Investor, kMaxTextBytes},
    {k::kProject, k::kSite, &R::MistoAkce, kMaxTextBytes},
    {k::kProject, k::kNotes, &R::Details, kMaxNotesBytes},
    {k::kRain, k::kStation, &R::StationName, kMaxTextBytes},
    {k::kRain, k::kPeriodicity, &R::PeriodicityText, kMaxTextBytes},
    {k::kSoil, k::kName, &R::TypPudyPodlozi, kMaxTextBytes},
};

// The keys of each section, as far as this program knows them; any other key
// is kept for writing back.
const std::map<std::string, std::set<std::string>>& knownKeys()
{
    static const std::map<std::string, std::set<std::string>> keys = [] {
        std::map<std::string, std::set<std::string>> m;
        for (const NumberField& n : kNumbers)
            if (n.section)
                m[n.section].insert(n.name);
        for (const TextField& t : kTexts)
            m[t.section].insert(t.name);
        m[k::kDrainedArea].insert({k::kParts, k::kSpare});
        m[k::kRain].insert({k::kDurations, k::kIntensities, k::kPickedRow, k::kStationTable, k::kSource});
        m[k::kSoil].insert(k::kPickedKf);
        m[k::kDesign].insert({k::kMode, k::kTechnology, k::kSoilOption, k::kComputed});
        m[k::kSwale].insert(k::kSoilChoice);
        m[k::kCombined].insert(k::kSoilChoice);
        m[k::kOverflow].insert({k::kOn, k::kConfirmed});
        m[k::kDrainage].insert({k::kOn, k::kConfirmed});
        m[k::kShaft].insert({k::kFilterType, k::kShape, k::kProduct, k::kCount});
        m[k::kBasin].insert(k::kSettling);
        m[k::kView].insert(k::kTab);
        return m;
    }();
    return keys;
}

// Keys at the top of the file besides the sections.
bool knownTopKey(const std::string& name)
{
    static const std::set<std::string> keys = {k::kFormat,  k::kVersion, k::kMinorVersion, k::kProgram,
                                               k::kGroundwaterDepth, k::kTexts, k::kResults, k::kRecovery};
    return keys.count(name) > 0 || knownKeys().count(name) > 0;
}

// The main window's boxes whose text a project keeps: what the user types and
// what the dialogs write. Results the program computes are not among them.
bool keptBox(const model::BoxDeclaration& decl)
{
    if (decl.change)
        return true;
    return decl.rule != model::Rule::None && decl.look != model::Look::Result && !decl.computed;
}

// Boxes inside the technology frame are replayed after the technology is
// chosen; the others (first tab, shared inputs) before.
bool inTechnologyFrame(const CalcForm& calc, const model::Control& control)
{
    for (const model::Control* c = &control; c; c = c->parent())
        if (c == calc.Frame2)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Numbers

// A Single as the shortest decimal that reads back to the same bits.
Json singleNumber(float value)
{
    if (value == 0)
        return std::signbit(value) ? Json(-0.0) : Json(0);
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, ec == std::errc() ? end : buf);
    // Read back as a reader would (a double, then a Single); where rounding
    // twice would miss, the float's exact value is written instead.
    if (text.empty() || static_cast<float>(std::strtod(text.c_str(), nullptr)) != value)
        return Json(static_cast<double>(value));
    return Json::parse(text);
}

template <typename T, int Lo, int Hi>
Json numbers(const Indexed<T, Lo, Hi>& values)
{
    Json array = Json::array();
    for (const T& v : values) {
        if constexpr (std::is_same_v<T, float>)
            array.push_back(singleNumber(v));
        else
            array.push_back(v);
    }
    return array;
}

// ---------------------------------------------------------------------------
// Reading

class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string quoted(const std::string& name) { return "„" + name + "“"; }

// One object of the file, read key by key under its path ("rain.durations").
class Reader {
public:
    Reader(const Json& object, std::string path) : object_(object), path_(std::move(path)) {}

    std::string pathOf(const char* name) const { return path_.empty() ? name : path_ + "." + name; }

    const Json& get(const char* name)
    {
        const auto it = object_.find(name);
        if (it == object_.end())
            throw Refused("chybí klíč " + quoted(pathOf(name)));
        return *it;
    }
    const Json* find(const char* name)
    {
        const auto it = object_.find(name);
        return it == object_.end() ? nullptr : &*it;
    }

    Reader section(const char* name)
    {
        const Json& value = get(name);
        if (!value.is_object())
            throw Refused("klíč " + quoted(pathOf(name)) + " má být objekt { … }");
        return Reader(value, pathOf(name));
    }

    float number(const char* name) { return single(get(name), pathOf(name)); }

    static float single(const Json& value, const std::string& path)
    {
        if (!value.is_number())
            throw Refused("klíč " + quoted(path) + " má být číslo");
        const double v = value.get<double>();
        if (!std::isfinite(v) || !num::fitsSingle(v))
            throw Refused("číslo v klíči " + quoted(path) + " je mimo rozsah, se kterým program počítá");
        return static_cast<float>(v);
    }

    static long long whole(const Json& value, const std::string& path, long long min, long long max)
    {
        if (!value.is_number_integer())
            throw Refused("klíč " + quoted(path) + " má být celé číslo");
        const long long v = value.is_number_unsigned() && value.get<unsigned long long>() > 1ull << 62
                                ? max + 1
                                : value.get<long long>();
        if (v < min || v > max)
            throw Refused("klíč " + quoted(path) + " má být celé číslo od " + std::to_string(min) + " do " +
                          std::to_string(max));
        return v;
    }
    long long whole(const char* name, long long min, long long max)
    {
        return whole(get(name), pathOf(name), min, max);
    }

    // A choice among options 0..max, or null for none.
    int choice(const char* name, int max)
    {
        const Json& value = get(name);
        if (value.is_null())
            return -1;
        return static_cast<int>(whole(value, pathOf(name), 0, max));
    }

    bool flag(const char* name)
    {
        const Json& value = get(name);
        if (!value.is_boolean())
            throw Refused("klíč " + quoted(pathOf(name)) + " má být true, nebo false");
        return value.get<bool>();
    }

    static std::string text(const Json& value, const std::string& path, std::size_t limit)
    {
        if (!value.is_string())
            throw Refused("klíč " + quoted(path) + " má být text v uvozovkách");
        const std::string& s = value.get_ref<const std::string&>();
        if (s.size() > limit)
            throw Refused("text v klíči " + quoted(path) + " je delší, než program dovoluje (nejvýše " +
                          num::fixed(static_cast<double>(limit), 0) + " bajtů)");
        for (const char c : s)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
                throw Refused("text v klíči " + quoted(path) + " obsahuje řídicí znak");
        return s;
    }
    std::string text(const char* name, std::size_t limit) { return text(get(name), pathOf(name), limit); }

    const Json& array(const char* name, std::size_t count)
    {
        const Json& value = get(name);
        if (!value.is_array() || value.size() != count)
            throw Refused("klíč " + quoted(pathOf(name)) + " má být pole " + std::to_string(count) + " hodnot [ … ]");
        return value;
    }

    // Copies the keys of this object the program does not know into `kept`.
    template <typename Known>
    void keepUnknownIf(Known&& known, Json& kept) const
    {
        for (auto it = object_.begin(); it != object_.end(); ++it)
            if (!known(it.key()))
                kept[it.key()] = it.value();
    }
    void keepUnknown(const std::set<std::string>& known, Json& kept) const
    {
        keepUnknownIf([&](const std::string& name) { return known.count(name) > 0; }, kept);
    }

    const Json& object() const { return object_; }

private:
    const Json& object_;
    std::string path_;
};

template <int Lo, int Hi>
void readSingles(const Json& array, const std::string& path, Indexed<float, Lo, Hi>& out)
{
    int i = Lo;
    std::size_t at = 0;
    for (const Json& value : array)
        out[i++] = Reader::single(value, path + "[" + std::to_string(at++) + "]");
}

struct TooDeep {};

Json parseLimited(std::string_view bytes)
{
    // Nesting beyond any project's is refused while parsing, before it costs.
    Json::parser_callback_t limit = [](int depth, nlohmann::json::parse_event_t, Json&) {
        if (depth > kMaxDepth)
            throw TooDeep{};
        return true;
    };
    return Json::parse(bytes.begin(), bytes.end(), limit);
}

// Line and column of a byte offset, for a message about a syntax error.
std::string whereIn(std::string_view bytes, std::size_t offset)
{
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "řádek " + std::to_string(line) + ", znak " + std::to_string(column > 1 ? column - 1 : 1);
}

ProjectData read(const Json& doc)
{
    if (!doc.is_object())
        throw Refused("soubor není projekt programu Infil (chybí označení " + quoted(k::kFormatName) + ")");
    Reader top(doc, "");
    const Json* format = top.find(k::kFormat);
    if (!format || !format->is_string() || format->get<std::string>() != k::kFormatName)
        throw Refused("soubor není projekt programu Infil (chybí označení " + quoted(k::kFormatName) + ")");
    const Json& version = top.get(k::kVersion);
    // A non-negative number is unsigned in the reader, and may not fit a long long.
    const bool belowOne = version.is_number_unsigned() ? version.get<unsigned long long>() == 0
                                                       : version.is_number_integer() && version.get<long long>() < 1;
    if (!version.is_number_integer() || belowOne)
        throw Refused("klíč " + quoted(k::kVersion) + " má být celé číslo od 1");
    if (version.get<unsigned long long>() > static_cast<unsigned long long>(kVersion))
        throw Refused("projekt uložila novější verze programu (formát verze " + version.dump() +
                      "); tato verze programu čte formát verze " + std::to_string(kVersion));
    if (const Json* minor = top.find(k::kMinorVersion))
        Reader::whole(*minor, k::kMinorVersion, 0, 1'000'000);
    if (const Json* program = top.find(k::kProgram))
        Reader::text(*program, k::kProgram, kMaxTextBytes);

    ProjectData d;
    ProjectRecord& r = d.record;
    InitReferenceTables(r);
    InitSubAreaLists(r);
    Json& unknown = d.unknown;
    top.keepUnknownIf(knownTopKey, unknown);
    // A section's unknown keys, once it is read.
    auto keepOf = [&unknown](const Reader& reader, const std::set<std::string>& known, const std::string& name) {
        Json kept = Json::object();
        reader.keepUnknown(known, kept);
        for (auto it = kept.begin(); it != kept.end(); ++it)
            unknown[name][it.key()] = it.value();
    };

    // Each section is read where its values are; its unknown keys are kept
    // at the end.
    std::map<std::string, Reader> sections;
    auto section = [&](const char* name) -> Reader& {
        auto it = sections.find(name);
        if (it == sections.end())
            it = sections.emplace(name, top.section(name)).first;
        return it->second;
    };
    for (const TextField& t : kTexts)
        r.*t.field = section(t.section).text(t.name, t.limit);
    // Files of minor version 0 name no source of the rain.
    if (section(k::kRain).find(k::kSource))
        r.RainSource = section(k::kRain).text(k::kSource, kMaxTextBytes);

    // drainedArea
    {
        Reader& area = section(k::kDrainedArea);
        const Json& parts = area.get(k::kParts);
        if (!parts.is_array())
            throw Refused("klíč " + quoted(area.pathOf(k::kParts)) + " má být pole [ … ]");
        if (parts.size() > kMaxParts)
            throw Refused("klíč " + quoted(area.pathOf(k::kParts)) + " má více položek, než program dovoluje (nejvýše " +
                          num::fixed(static_cast<double>(kMaxParts), 0) + ")");
        std::vector<const Json*> slots;
        for (const Json& part : parts)
            slots.push_back(&part);
        const Json* spare = area.find(k::kSpare);
        const int count = static_cast<int>(slots.size()) + 1;
        r.SubAreaSizes.reset(count);
        r.SubAreaCoefs.reset(count);
        r.SubAreaKinds.reset(count);
        if (spare)
            slots.push_back(spare);
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const std::string path = i < parts.size() ? area.pathOf(k::kParts) + "[" + std::to_string(i) + "]"
                                                      : area.pathOf(k::kSpare);
            if (!slots[i]->is_object())
                throw Refused("klíč " + quoted(path) + " má být objekt { … }");
            Reader part(*slots[i], path);
            const int slot = static_cast<int>(i) + 1;
            r.SubAreaSizes[slot] = part.number(k::kArea);
            r.SubAreaCoefs[slot] = part.number(k::kCoefficient);
            r.SubAreaKinds[slot] = part.text(k::kSurface, kMaxTextBytes);
        }
    }

    // rain
    {
        Reader& rain = section(k::kRain);
        readSingles(rain.array(k::kDurations, 9), rain.pathOf(k::kDurations), r.RainDurations);
        readSingles(rain.array(k::kIntensities, 9), rain.pathOf(k::kIntensities), r.RainIntensities);
        // The design rain may be named by its row alone.
        const Json* picked = rain.find(k::kPickedRow);
        int row = 0;
        if (picked && !picked->is_null())
            row = static_cast<int>(Reader::whole(*picked, rain.pathOf(k::kPickedRow), 1, 9));
        const bool duration = rain.object().contains(k::kDesignDuration);
        const bool intensity = rain.object().contains(k::kDesignIntensity);
        if (row > 0 && !duration && !intensity) {
            r.SelDTrvDeste = r.RainDurations[row];
            r.SelIntDeste = r.RainIntensities[row];
        }
        if (const Json* table = rain.find(k::kStationTable)) {
            if (!table->is_object())
                throw Refused("klíč " + quoted(rain.pathOf(k::kStationTable)) + " má být objekt { … }");
            Reader station(*table, rain.pathOf(k::kStationTable));
            const Json& durations = station.array(k::kDurations, 9);
            std::size_t i = 0;
            for (auto& d16 : r.StationDurations) {
                d16 = static_cast<std::int16_t>(Reader::whole(
                    durations[i], station.pathOf(k::kDurations) + "[" + std::to_string(i) + "]", -32768, 32767));
                ++i;
            }
            const Json& rows = station.array(k::kIntensities, 7);
            i = 0;
            for (auto& series : r.StationIntensities) {
                const std::string path = station.pathOf(k::kIntensities) + "[" + std::to_string(i) + "]";
                if (!rows[i].is_array() || rows[i].size() != 9)
                    throw Refused("klíč " + quoted(path) + " má být pole 9 hodnot [ … ]");
                readSingles(rows[i], path, series);
                ++i;
            }
            Json kept = Json::object();
            station.keepUnknown(std::set<std::string>{k::kDurations, k::kIntensities}, kept);
            if (!kept.empty())
                unknown[k::kRain][k::kStationTable] = kept;
        }
        if (!(row > 0 && !duration && !intensity)) {
            r.SelDTrvDeste = rain.number(k::kDesignDuration);
            r.SelIntDeste = rain.number(k::kDesignIntensity);
        }
    }

    for (const NumberField& n : kNumbers) {
        if (n.field == &R::SelDTrvDeste || n.field == &R::SelIntDeste)
            continue; // read with the rain
        r.*n.field = n.section ? section(n.section).number(n.name) : Reader::single(top.get(n.name), n.name);
    }

    // soil
    if (const Json* picked = section(k::kSoil).find(k::kPickedKf); picked && !picked->is_null())
        d.pickedKf = Reader::single(*picked, section(k::kSoil).pathOf(k::kPickedKf));

    // design
    {
        Reader& design = section(k::kDesign);
        const Json& mode = design.get(k::kMode);
        if (mode.is_null())
            d.mode = -1;
        else if (mode == k::kModeDecentralised)
            d.mode = 0;
        else if (mode == k::kModeCentralised)
            d.mode = 1;
        else
            throw Refused("klíč " + quoted(design.pathOf(k::kMode)) + " má být " + quoted(k::kModeDecentralised) +
                          ", " + quoted(k::kModeCentralised) + ", nebo null");
        d.technology = static_cast<std::int16_t>(design.whole(k::kTechnology, 0, 6));
        d.soilOption = static_cast<std::int16_t>(design.whole(k::kSoilOption, 0, 1));
        d.computed = design.flag(k::kComputed);
        // 0 with the centralised mode: the window refused the mode for a
        // missing area or kf, and keeps its option ticked.
        if (d.mode == 1 && d.technology != 6 && d.technology != 0)
            throw Refused("klíč " + quoted(design.pathOf(k::kTechnology)) +
                          " má být 6 pro centralizované infilování (0, pokud program režim nepřijal)");
        if (d.mode != 1 && d.technology == 6)
            throw Refused("klíč " + quoted(design.pathOf(k::kMode)) + " má být " + quoted(k::kModeCentralised) +
                          " pro technologii 6");
        if (d.mode < 0 && d.technology != 0)
            throw Refused("klíč " + quoted(design.pathOf(k::kMode)) + " chybí technologii " +
                          std::to_string(d.technology));
    }
    d.swaleSoil = section(k::kSwale).choice(k::kSoilChoice, 1);
    d.combinedSoil = section(k::kCombined).choice(k::kSoilChoice, 1);
    d.overflowOn = section(k::kOverflow).flag(k::kOn);
    d.overflowConfirmed = section(k::kOverflow).flag(k::kConfirmed) && d.overflowOn;
    d.drainageOn = section(k::kDrainage).flag(k::kOn);
    d.drainageConfirmed = section(k::kDrainage).flag(k::kConfirmed) && d.drainageOn;
    {
        Reader& shaft = section(k::kShaft);
        d.filterType = shaft.choice(k::kFilterType, 1);
        d.shaftShape = shaft.choice(k::kShape, 1);
        r.SachtyCount = static_cast<std::int16_t>(shaft.whole(k::kCount, -32768, 32767));
        const Json& product = shaft.get(k::kProduct);
        if (!product.is_null()) {
            d.shaftProduct = Reader::text(product, shaft.pathOf(k::kProduct), kMaxTextBytes);
            bool known = false;
            if (d.shaftShape == 0)
                for (const auto& p : r.RoundShaftProducts)
                    known = known || p.Name == d.shaftProduct;
            if (d.shaftShape == 1)
                for (const auto& p : r.RectShaftProducts)
                    known = known || p.Name == d.shaftProduct;
            if (!known)
                throw Refused("klíč " + quoted(shaft.pathOf(k::kProduct)) + " nenese název výrobku, který program zná" +
                              (d.shaftShape < 0 ? " (není zvolen tvar šachty)" : ""));
        }
    }
    d.settling = section(k::kBasin).flag(k::kSettling);

    if (const Json* view = top.find(k::kView)) {
        if (!view->is_object())
            throw Refused("klíč " + quoted(k::kView) + " má být objekt { … }");
        Reader v(*view, k::kView);
        d.tab = static_cast<int>(v.whole(k::kTab, 0, 3));
        keepOf(v, knownKeys().at(k::kView), k::kView);
    }

    if (const Json* texts = top.find(k::kTexts)) {
        if (!texts->is_object())
            throw Refused("klíč " + quoted(k::kTexts) + " má být objekt { … }");
        if (texts->size() > 1000)
            throw Refused("klíč " + quoted(k::kTexts) + " má více položek, než program dovoluje");
        for (auto it = texts->begin(); it != texts->end(); ++it) {
            const std::string path = std::string(k::kTexts) + "." + it.key();
            const std::size_t limit = it.key() == "txtDetails" ? kMaxNotesBytes : kMaxTextBytes;
            d.texts[it.key()] = Reader::text(it.value(), path, limit);
        }
    }

    if (const Json* recovery = top.find(k::kRecovery); recovery && recovery->is_object()) {
        const auto file = recovery->find(k::kFile);
        if (file != recovery->end() && file->is_string())
            d.recoveryOf = Reader::text(*file, std::string(k::kRecovery) + "." + k::kFile, 65536);
        else
            d.recoveryOf = std::string();
    }

    for (const auto& [name, reader] : sections)
        keepOf(reader, knownKeys().at(name), name);
    return d;
}

// ---------------------------------------------------------------------------
// Writing

Json optionOrNull(int index) { return index < 0 ? Json(nullptr) : Json(index); }

Json part(float area, float coefficient, const std::string& surface)
{
    return Json{{k::kArea, singleNumber(area)}, {k::kCoefficient, singleNumber(coefficient)}, {k::kSurface, surface}};
}

// Merges the kept keys into a written document, section by section.
void mergeUnknown(Json& doc, const Json& unknown)
{
    for (auto it = unknown.begin(); it != unknown.end(); ++it) {
        auto mine = doc.find(it.key());
        if (mine == doc.end())
            doc[it.key()] = it.value();
        else if (mine->is_object() && it->is_object())
            mergeUnknown(*mine, *it);
    }
}

// The record's name of a field ("InfilPlocha").
std::string fieldName(float R::*member)
{
    static ProjectRecord probe;
    std::string name;
    visitFields(probe, [&](const char* fieldName, auto& field) {
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, float>)
            if (&field == &(probe.*member))
                name = fieldName;
    });
    return name;
}

Json results(const ProjectData& d, model::Application& app)
{
    const ProjectRecord& r = d.record;
    Json out;
    out[k::kTechnology] = d.technology;
    const bool current = app.calc().resultsCurrent(d.technology);
    out[k::kCurrent] = current;
    Json values = Json::array();
    if (current) {
        for (const ShownResult& shown : shownResults()) {
            if (shown.pane != d.technology)
                continue;
            const float value = r.*shown.field;
            const std::string text = app.calc().boxShowing(shown.field, shown.pane).text();
            if (text.empty())
                continue;
            values.push_back({{k::kName, fieldName(shown.field)},
                              {k::kCaption, shown.caption},
                              {k::kUnit, shown.unit},
                              {k::kValue, std::isfinite(value) ? singleNumber(value) : Json(nullptr)},
                              {k::kText, text}});
        }
    }
    out[k::kValues] = values;
    out[k::kInflow] = singleNumber(r.OdtokDoInfil);
    Json verdict = Json::array();
    for (const verdict::Item& item : app.calc().verdict())
        verdict.push_back({{k::kCode, item.code}, {k::kSeverity, verdict::severityCode(item.severity)}, {k::kText, item.text}});
    out[k::kVerdict] = verdict;
    return out;
}

int pickedRow(const ProjectRecord& r)
{
    for (int i = 1; i <= 9; ++i)
        if (r.RainDurations[i] == r.SelDTrvDeste && r.RainIntensities[i] == r.SelIntDeste && r.SelIntDeste != 0)
            return i;
    return 0;
}

bool anyNonZero(const ProjectRecord& r)
{
    for (auto d : r.StationDurations)
        if (d != 0)
            return true;
    for (const auto& series : r.StationIntensities)
        for (float v : series)
            if (v != 0)
                return true;
    return false;
}

const char* modeName(int mode)
{
    return mode == 0 ? k::kModeDecentralised : mode == 1 ? k::kModeCentralised : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------

std::string usualText(const CalcForm& calc, const TextBox& box, const ProjectRecord& r, int shaftShape)
{
    auto shown = [](float value) { return value == 0 ? std::string() : num::plain(value); };
    if (&box == calc.txtOdtokDoInfil) {
        if (!(r.SelIntDeste > 0))
            return "";
        try {
            return num::fixed(formulas::inflowLps(r.OdvodNepPlocha, r.SelIntDeste), 1);
        } catch (const FloatFault&) {
            return "";
        }
    }
    if (&box == calc.txtSelIntDeste)
        return shown(r.SelIntDeste);
    if (&box == calc.txtSelDTrvDeste)
        return shown(r.SelDTrvDeste);
    if (&box == calc.txtOdvodNepPlocha)
        return shown(r.OdvodNepPlocha);
    if (&box == calc.txtPrumerSachtyVnit)
        return shown(shaftShape == 1 ? r.ShaftWidth : r.PrumerSachtyVnit);
    if (&box == calc.txtPrumerSachtyVnej)
        return shown(r.ShaftLength);
    if (&box == calc.txtTloustkaSteny)
        return shown(r.TloustkaSteny);
    const model::BoxDeclaration& decl = calc.decl(box);
    if (const auto* text = std::get_if<std::string R::*>(&decl.field))
        return r.**text;
    if (const auto* whole = std::get_if<std::int16_t R::*>(&decl.field))
        return r.**whole == 0 ? std::string() : std::to_string(r.**whole);
    if (const auto* number = std::get_if<float R::*>(&decl.field)) {
        const float value = r.**number;
        if (value == 0)
            return "";
        return decl.rule == model::Rule::K ? num::scientific(value, 1) : num::plain(value);
    }
    return "";
}

ProjectData capture(model::Application& app)
{
    CalcForm& c = app.calc();
    ProjectData d;
    d.record = app.record();
    // The notes as typed: the record holds them with the report's "<br>" once
    // a report was written.
    d.record.Details = c.box("txtDetails").text();
    d.mode = c.optSelTypeGroup.selectedIndex();
    d.technology = c.state().TechIndex;
    // A centralised mode the window refused (no area or kf yet) leaves its
    // option ticked over no technology; opening clicks it again.
    if (d.mode == 1 && d.technology != 6)
        d.technology = 0;
    d.soilOption = c.state().SoilOption;
    d.swaleSoil = c.soil2Group.selectedIndex();
    d.combinedSoil = c.soil3Group.selectedIndex();
    d.filterType = c.soil5Group.selectedIndex();
    d.shaftShape = c.shaftShapeGroup.selectedIndex();
    d.shaftProduct = c.cboTypSachty->text();
    d.overflowOn = c.chkSelPretok.at(3)->checked();
    d.overflowConfirmed = d.overflowOn && !c.picPretokSkrOdtok.at(3)->visible();
    d.drainageOn = c.chkSelPretok.at(4)->checked();
    d.drainageConfirmed = d.drainageOn && !c.picPretokSkrOdtok.at(4)->visible();
    d.settling = c.chkPredUsaz->checked();
    d.pickedKf = c.pickedSoilCoefficient();
    d.computed = d.technology >= 3 && d.technology <= 6 && c.resultsCurrent(d.technology);
    d.tab = c.tab();
    for (const auto& control : c.controls()) {
        const auto* box = dynamic_cast<const TextBox*>(control.get());
        if (!box || !keptBox(c.decl(*box)))
            continue;
        if (box->text() != usualText(c, *box, d.record, d.shaftShape))
            d.texts[box->key()] = box->text();
    }
    // The inflow is computed when the area or the design rain is written; a
    // design rain found by the search leaves it unshown until then.
    if (c.txtOdtokDoInfil->text().empty() && !usualText(c, *c.txtOdtokDoInfil, d.record, d.shaftShape).empty())
        d.texts[c.txtOdtokDoInfil->key()] = "";
    return d;
}

Json inputsJson(const ProjectData& d)
{
    const ProjectRecord& r = d.record;
    Json doc;
    doc[k::kFormat] = k::kFormatName;
    doc[k::kVersion] = kVersion;
    doc[k::kMinorVersion] = kMinorVersion;
    doc[k::kProgram] = "Infil";
    auto section = [&](const char* name) -> Json& {
        Json& s = doc[name];
        if (s.is_null())
            s = Json::object();
        return s;
    };
    for (const TextField& t : kTexts)
        if (std::strcmp(t.section, k::kProject) == 0)
            section(t.section)[t.name] = r.*t.field;

    Json& area = section(k::kDrainedArea);
    const int entries = std::max(0, r.SubAreaCoefs.slotCount() - 1);
    auto slot = [&](int i) {
        auto at = [i](const auto& list, auto none) { return i <= list.slotCount() ? list[i] : none; };
        return part(at(r.SubAreaSizes, 0.0f), at(r.SubAreaCoefs, 0.0f), at(r.SubAreaKinds, std::string()));
    };
    Json parts = Json::array();
    for (int i = 1; i <= entries; ++i)
        parts.push_back(slot(i));
    area[k::kParts] = parts;
    if (r.SubAreaCoefs.slotCount() >= 1) {
        Json spare = slot(entries + 1);
        if (spare != part(0, 0, ""))
            area[k::kSpare] = spare;
    }
    area[k::kReducedArea] = singleNumber(r.OdvodNepPlocha);

    Json& rain = section(k::kRain);
    rain[k::kStation] = r.StationName;
    rain[k::kPeriodicity] = r.PeriodicityText;
    if (!r.RainSource.empty())
        rain[k::kSource] = r.RainSource;
    rain[k::kDurations] = numbers(r.RainDurations);
    rain[k::kIntensities] = numbers(r.RainIntensities);
    rain[k::kDesignDuration] = singleNumber(r.SelDTrvDeste);
    rain[k::kDesignIntensity] = singleNumber(r.SelIntDeste);
    if (const int row = pickedRow(r))
        rain[k::kPickedRow] = row;
    if (anyNonZero(r)) {
        Json table;
        table[k::kDurations] = numbers(r.StationDurations);
        Json rows = Json::array();
        for (const auto& series : r.StationIntensities)
            rows.push_back(numbers(series));
        table[k::kIntensities] = rows;
        rain[k::kStationTable] = table;
    }

    Json& soil = section(k::kSoil);
    soil[k::kKf] = singleNumber(r.SoucFiltrace);
    soil[k::kName] = r.TypPudyPodlozi;
    if (d.pickedKf)
        soil[k::kPickedKf] = singleNumber(*d.pickedKf);
    doc[k::kGroundwaterDepth] = singleNumber(r.HPV);

    // The technology's sections in the window's order.
    for (const char* name : {k::kDesign, k::kSwale, k::kCombined, k::kTrench, k::kPipes, k::kOverflow, k::kDrainage,
                             k::kShaft, k::kBasin})
        section(name);
    Json& design = section(k::kDesign);
    design[k::kMode] = modeName(d.mode) ? Json(modeName(d.mode)) : Json(nullptr);
    design[k::kTechnology] = d.technology;
    design[k::kSoilOption] = d.soilOption;
    design[k::kSafetyFactor] = singleNumber(r.SoucBezp);
    design[k::kComputed] = d.computed;
    section(k::kSwale)[k::kSoilChoice] = optionOrNull(d.swaleSoil);
    section(k::kCombined)[k::kSoilChoice] = optionOrNull(d.combinedSoil);
    section(k::kShaft)[k::kFilterType] = optionOrNull(d.filterType);
    section(k::kShaft)[k::kShape] = optionOrNull(d.shaftShape);
    section(k::kShaft)[k::kProduct] = d.shaftProduct.empty() ? Json(nullptr) : Json(d.shaftProduct);
    section(k::kShaft)[k::kCount] = r.SachtyCount;
    for (const NumberField& n : kNumbers) {
        if (!n.section || n.field == &R::SoucBezp)
            continue; // written above
        if (std::strcmp(n.section, k::kDrainedArea) == 0 || std::strcmp(n.section, k::kRain) == 0 ||
            std::strcmp(n.section, k::kSoil) == 0)
            continue;
        section(n.section)[n.name] = singleNumber(r.*n.field);
    }
    section(k::kOverflow)[k::kOn] = d.overflowOn;
    section(k::kOverflow)[k::kConfirmed] = d.overflowConfirmed;
    section(k::kDrainage)[k::kOn] = d.drainageOn;
    section(k::kDrainage)[k::kConfirmed] = d.drainageConfirmed;
    section(k::kBasin)[k::kSettling] = d.settling;
    Json texts = Json::object();
    for (const auto& [box, text] : d.texts)
        texts[box] = text;
    doc[k::kTexts] = texts;
    return doc;
}

Fingerprint fingerprint(model::Application& app)
{
    const ProjectRecord& r = app.record();
    CalcForm& c = app.calc();
    Fingerprint f;
    f.numbers.reserve(std::size(kNumbers) + 1);
    for (const NumberField& n : kNumbers)
        f.numbers.push_back(r.*n.field);
    f.numbers.push_back(r.SachtyCount);
    for (const TextField& t : kTexts)
        if (t.field != &R::Details) // the box below holds the notes as typed
            f.texts.push_back(r.*t.field);
    f.texts.push_back(r.RainSource);
    for (const auto& control : c.controls())
        if (const auto* box = dynamic_cast<const TextBox*>(control.get()); box && keptBox(c.decl(*box)))
            f.texts.push_back(box->text());
    f.texts.push_back(c.txtOdtokDoInfil->text());
    f.lists = {r.SubAreaSizes.raw(), r.SubAreaCoefs.raw(),
               std::vector<float>(r.RainDurations.begin(), r.RainDurations.end()),
               std::vector<float>(r.RainIntensities.begin(), r.RainIntensities.end())};
    for (const auto& series : r.StationIntensities)
        f.lists.emplace_back(series.begin(), series.end());
    f.lists.emplace_back(r.StationDurations.begin(), r.StationDurations.end());
    f.surfaces = r.SubAreaKinds.raw();
    const std::optional<float> picked = c.pickedSoilCoefficient();
    if (picked)
        f.numbers.push_back(*picked);
    f.choices = {c.optSelTypeGroup.selectedIndex(),
                 c.state().TechIndex,
                 c.state().SoilOption,
                 c.soil2Group.selectedIndex(),
                 c.soil3Group.selectedIndex(),
                 c.soil5Group.selectedIndex(),
                 c.shaftShapeGroup.selectedIndex(),
                 c.cboTypSachty->listIndex(),
                 c.chkSelPretok.at(3)->checked(),
                 c.picPretokSkrOdtok.at(3)->visible(),
                 c.chkSelPretok.at(4)->checked(),
                 c.picPretokSkrOdtok.at(4)->visible(),
                 c.chkPredUsaz->checked(),
                 picked.has_value(),
                 c.state().TechIndex >= 3 && c.state().TechIndex <= 6 && c.resultsCurrent(c.state().TechIndex)};
    return f;
}

Json toJson(const ProjectData& d, model::Application& app)
{
    Json doc = inputsJson(d);
    doc[k::kView] = {{k::kTab, d.tab}};
    doc[k::kResults] = results(d, app);
    if (d.recoveryOf)
        doc[k::kRecovery] = {{k::kFile, *d.recoveryOf}};
    if (!d.unknown.empty()) {
        // A newer minor version's keys go back with the number they came with.
        if (const auto minor = d.unknown.find(k::kMinorVersion); minor != d.unknown.end())
            doc[k::kMinorVersion] = std::max<long long>(kMinorVersion, minor->get<long long>());
        mergeUnknown(doc, d.unknown);
    }
    return doc;
}

std::string encode(const Json& document)
{
    return document.dump(2, ' ', false, Json::error_handler_t::strict) + "\n";
}

std::variant<ProjectData, ReadError> decode(std::string_view bytes)
{
    if (bytes.size() > kMaxFileBytes)
        return ReadError{"soubor je větší, než projekt může být (nejvýše " +
                         num::fixed(static_cast<double>(kMaxFileBytes >> 20), 0) + " MiB)"};
    Json doc;
    try {
        doc = parseLimited(bytes);
    } catch (const TooDeep&) {
        return ReadError{"soubor je vnořen hlouběji, než projekt může být"};
    } catch (const nlohmann::json::parse_error& e) {
        return ReadError{"obsah není platný zápis JSON (" + whereIn(bytes, e.byte > 0 ? e.byte - 1 : 0) + ")"};
    } catch (const nlohmann::json::exception&) {
        return ReadError{"obsah není platný zápis JSON"};
    }
    try {
        ProjectData d = read(doc);
        if (const auto minor = doc.find(k::kMinorVersion); minor != doc.end() && minor->get<long long>() > kMinorVersion)
            d.unknown[k::kMinorVersion] = *minor;
        return d;
    } catch (const Refused& e) {
        return ReadError{e.what()};
    } catch (const nlohmann::json::exception& e) {
        return ReadError{std::string("soubor nelze přečíst (") + e.what() + ")"};
    }
}

// ---------------------------------------------------------------------------
// Restoring

namespace {

// The values the project holds, set in the record as the dialogs and the
// earlier typing left them.
void setInputs(ProjectRecord& r, const ProjectData& d)
{
    const ProjectRecord& from = d.record;
    for (const TextField& t : kTexts)
        r.*t.field = from.*t.field;
    for (const NumberField& n : kNumbers)
        r.*n.field = from.*n.field;
    r.SachtyCount = from.SachtyCount;
    r.SubAreaSizes = from.SubAreaSizes;
    r.SubAreaCoefs = from.SubAreaCoefs;
    r.SubAreaKinds = from.SubAreaKinds;
    r.RainDurations = from.RainDurations;
    r.RainIntensities = from.RainIntensities;
    r.StationDurations = from.StationDurations;
    r.StationIntensities = from.StationIntensities;
    r.RainSource = from.RainSource;
}

// Types each kept box's text, inside or outside the technology frame, as the
// user would: its change handler runs.
void typeBoxes(CalcForm& c, const ProjectData& d, bool technologyFrame)
{
    for (const auto& control : c.controls()) {
        auto* box = dynamic_cast<TextBox*>(control.get());
        if (!box || !keptBox(c.decl(*box)) || inTechnologyFrame(c, *box) != technologyFrame)
            continue;
        const auto typed = d.texts.find(box->key());
        const std::string text =
            typed != d.texts.end() ? typed->second : usualText(c, *box, d.record, d.shaftShape);
        box->setText(text);
    }
}

void click(model::OptionButton* option)
{
    if (option)
        option->click();
}

} // namespace

void restore(model::Application& app, const ProjectData& d)
{
    ProjectRecord& r = app.record();
    CalcForm& c = app.calc();
    auto step = [&](const std::function<void()>& action) { app.userAction(action); };

    step([&] { setInputs(r, d); });
    // The first tab and the shared inputs, as typed or as the dialogs wrote them.
    step([&] { typeBoxes(c, d, false); });
    if (d.pickedKf)
        c.soilPicked(*d.pickedKf);

    // The design mode and the technology.
    if (d.mode >= 0)
        step([&] { click(c.optSelType.at(d.mode)); });
    if (d.technology >= 1) {
        const int position = d.technology - (d.mode == 1 ? 6 : 0);
        if (c.state().TechIndex != d.technology || c.shownPane() != d.technology)
            step([&] { c.cboSelType->setListIndex(position); });
    }

    // The pane's options, its product, its panels, then its boxes.
    if (d.swaleSoil >= 0)
        step([&] { click(c.optSelTypPudy2.at(d.swaleSoil)); });
    if (d.combinedSoil >= 0)
        step([&] { click(c.optSelTypPudy3.at(d.combinedSoil)); });
    if (d.filterType >= 0)
        step([&] { click(c.optSelTypPudy5.at(d.filterType)); });
    if (d.shaftShape >= 0)
        step([&] { click(c.optSelTypSachty.at(d.shaftShape)); });
    if (!d.shaftProduct.empty())
        step([&] { c.cboTypSachty->selectText(d.shaftProduct); });
    step([&] { c.chkSelPretok.at(3)->setChecked(d.overflowOn); });
    step([&] { c.chkSelPretok.at(4)->setChecked(d.drainageOn); });
    step([&] { c.chkPredUsaz->setChecked(d.settling); });
    step([&] { typeBoxes(c, d, true); });
    if (d.overflowConfirmed)
        step([&] { c.control<model::Button>("cmdOK", 3).click(); });
    if (d.drainageConfirmed)
        step([&] { c.control<model::Button>("cmdOK", 4).click(); });

    // The form's own variables and the values exactly as saved, then the
    // results computed again from them; without them none stands.
    c.state().SoilOption = d.soilOption;
    setInputs(r, d);
    if (d.computed && d.technology >= 3 && d.technology <= 6)
        step([&] { c.control<model::Button>("cmdCalcul", d.technology).click(); });
    else
        step([&] { c.forgetResults(); });
    // A result the window did not show stays unshown; a shown one is never
    // taken from the file.
    for (const auto& [key, text] : d.texts) {
        auto* box = c.txtOdtokDoInfil->key() == key ? c.txtOdtokDoInfil : nullptr;
        if (box && text.empty())
            box->mirror("");
    }
}

} // namespace infil::project
