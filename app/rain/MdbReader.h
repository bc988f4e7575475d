#pragma once
// The rain database read through libmdb (mdbtools), on an image of the file
// already read into memory and checked (DatabaseFile.h). Read-only by
// construction: libmdb never sees the file itself.
//
// Numbers do not depend on the process's locale: floating-point columns are
// taken from their stored bytes, every other value from libmdb's text under
// the "C" locale, and text cells are read by the program's own number rules.

#include "rain/TableReader.h"

#include <memory>
#include <span>
#include <string>

namespace infil::rain {

class MdbDatabase : public TableSource {
public:
    // nullptr when libmdb cannot make sense of the image or its catalogue of
    // objects cannot be read. `image` must outlive the database and its tables.
    static std::unique_ptr<MdbDatabase> open(std::span<unsigned char> image);

    ~MdbDatabase() override;
    MdbDatabase(const MdbDatabase&) = delete;
    MdbDatabase& operator=(const MdbDatabase&) = delete;

    Result openTable(const std::string& name) override;

    struct Handle;

private:
    explicit MdbDatabase(Handle* handle);
    Handle* handle_;
};

// A value libmdb handed over as text (integers, money, text cells) as a
// number, read by the program's number rules; Unreadable when it is none.
Cell numberFromText(const std::string& text);

} // namespace infil::rain
