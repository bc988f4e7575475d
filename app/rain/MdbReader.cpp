#include "rain/MdbReader.h"

#include "NumberFormat.h"

// mdbtools.h includes glib.h inside its extern "C" block, which breaks glib's
// C++ parts; including glib first makes that inner include a no-op.
#include <glib.h>
#include <mdbtools.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <vector>

namespace infil::rain {

struct MdbDatabase::Handle {
    MdbHandle* mdb = nullptr;
};

namespace {

// libmdb formats numbers with printf; under the "C" locale its text never
// carries a decimal comma, whatever the program's locale is.
class CLocaleScope {
public:
    CLocaleScope() : c_(::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr)))
    {
        if (c_)
            previous_ = ::uselocale(c_);
    }
    ~CLocaleScope()
    {
        if (c_) {
            ::uselocale(previous_);
            ::freelocale(c_);
        }
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t c_;
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

bool sameName(const char* stored, std::string_view wanted)
{
    const std::size_t n = std::strlen(stored);
    if (n != wanted.size())
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (g_ascii_tolower(stored[i]) != g_ascii_tolower(wanted[i]))
            return false;
    return true;
}

MdbColumn* columnAt(MdbTableDef* def, unsigned i)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
}

class MdbTable : public Table {
public:
    MdbTable(MdbHandle* mdb, MdbTableDef* def) : mdb_(mdb), def_(def)
    {
        // The library may fill a bound buffer up to its bind size.
        const std::size_t size = std::max<std::size_t>(MDB_BIND_SIZE, mdb_->bind_size) + 1;
        buffers_.assign(def_->num_cols, std::vector<char>(size, '\0'));
        lengths_.assign(def_->num_cols, 0);
        for (unsigned i = 0; i < def_->num_cols; ++i)
            mdb_bind_column(def_, static_cast<int>(i + 1), buffers_[i].data(), &lengths_[i]);
        mdb_rewind_table(def_);
    }
    ~MdbTable() override { mdb_free_tabledef(def_); }
    MdbTable(const MdbTable&) = delete;
    MdbTable& operator=(const MdbTable&) = delete;

    bool nextRow() override
    {
        CLocaleScope c;
        std::fill(lengths_.begin(), lengths_.end(), 0);
        onRow_ = mdb_fetch_row(def_) != 0;
        if (onRow_)
            ++fetched_;
        else
            ended_ = true;
        return onRow_;
    }

    Cell read(std::string_view name) override
    {
        int index = -1;
        for (unsigned i = 0; i < def_->num_cols; ++i) {
            if (sameName(columnAt(def_, i)->name, name)) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (index < 0)
            return Cell::missing();
        if (!onRow_)
            return Cell::unreadable();
        const auto i = static_cast<std::size_t>(index);
        if (lengths_[i] <= 0)
            return Cell::unreadable(); // NULL (or an empty text)

        MdbColumn* col = columnAt(def_, static_cast<unsigned>(index));
        switch (col->col_type) {
        case MDB_FLOAT:
            if (const auto v = stored<float>(col))
                return std::isfinite(*v) ? Cell::number(*v) : Cell::unreadable();
            break;
        case MDB_DOUBLE:
            if (const auto v = stored<double>(col))
                return std::isfinite(*v) ? Cell::number(*v) : Cell::unreadable();
            break;
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_NUMERIC:
        case MDB_TEXT:
        case MDB_MEMO:
            break;
        default:
            return Cell::unreadable(); // yes/no, dates, binary data ...
        }
        buffers_[i].back() = '\0';
        return numberFromText(buffers_[i].data());
    }

    bool endedEarly() const override { return ended_ && fetched_ < def_->num_rows; }

private:
    // The value as stored in the row (little-endian IEEE), which libmdb's text
    // of a single (8 significant digits) does not always give back exactly.
    template <typename T>
    std::optional<T> stored(const MdbColumn* col) const
    {
        const int start = col->cur_value_start;
        if (col->cur_value_len != static_cast<int>(sizeof(T)) || start < 0 ||
            static_cast<std::size_t>(start) + sizeof(T) > sizeof mdb_->pg_buf)
            return std::nullopt;
        T v;
        std::memcpy(&v, mdb_->pg_buf + start, sizeof(T));
        return v;
    }

    MdbHandle* mdb_;
    MdbTableDef* def_;
    std::vector<std::vector<char>> buffers_;
    std::vector<int> lengths_;
    bool onRow_ = false;
    bool ended_ = false;
    unsigned fetched_ = 0;
};

} // namespace

Cell numberFromText(const std::string& text)
{
    const auto value = num::convert(text);
    if (!value || !std::isfinite(*value))
        return Cell::unreadable();
    return Cell::number(*value);
}

std::unique_ptr<MdbDatabase> MdbDatabase::open(std::span<unsigned char> image)
{
    if (image.empty())
        return nullptr;
    CLocaleScope c;
    MdbHandle* mdb = mdb_open_buffer(image.data(), image.size(), MDB_NOFLAGS);
    if (!mdb)
        return nullptr;
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        mdb_close(mdb);
        return nullptr;
    }
    return std::unique_ptr<MdbDatabase>(new MdbDatabase(new Handle{mdb}));
}

MdbDatabase::MdbDatabase(Handle* handle) : handle_(handle) {}

MdbDatabase::~MdbDatabase()
{
    mdb_close(handle_->mdb);
    delete handle_;
}

TableSource::Result MdbDatabase::openTable(const std::string& name)
{
    CLocaleScope c;
    MdbHandle* mdb = handle_->mdb;
    MdbCatalogEntry* entry = nullptr;
    for (unsigned i = 0; mdb->catalog && i < mdb->catalog->len; ++i) {
        auto* e = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (e && e->object_type == MDB_TABLE && sameName(e->object_name, name)) {
            entry = e;
            break;
        }
    }
    if (!entry)
        return {Status::NoSuchTable, nullptr};

    MdbTableDef* def = mdb_read_table(entry);
    if (!def)
        return {Status::Damaged, nullptr};
    GPtrArray* columns = mdb_read_columns(def);
    if (!columns || columns->len != def->num_cols || def->num_cols > MDB_MAX_COLS) {
        mdb_free_tabledef(def);
        return {Status::Damaged, nullptr};
    }
    return {Status::Opened, std::make_unique<MdbTable>(mdb, def)};
}

} // namespace infil::rain
