#pragma once
// The little the rain intensity store needs from a database: open a table by
// name, walk its rows in stored order, and read a column of the current row by
// name as a number. The real database is read through libmdb (MdbReader.h);
// tests use tables held in memory.

#include <memory>
#include <string>
#include <string_view>

namespace infil::rain {

// One column of the current row, read as a number.
struct Cell {
    enum class State {
        Number,       // `value` holds it
        NoSuchColumn, // the table has no column of that name
        Unreadable    // NULL, or a value that is not a number
    };
    State state = State::Unreadable;
    double value = 0;

    static Cell number(double v) { return {State::Number, v}; }
    static Cell missing() { return {State::NoSuchColumn, 0}; }
    static Cell unreadable() { return {State::Unreadable, 0}; }
};

// An open table, positioned before its first row.
class Table {
public:
    virtual ~Table() = default;
    // Moves to the next row in stored order; false when there is none.
    virtual bool nextRow() = 0;
    // A column of the current row. Column names compare without regard to case,
    // as the database itself treats them.
    virtual Cell read(std::string_view column) = 0;
    // After nextRow() said false: whether rows the table declares were lost
    // (pages missing from a damaged file) rather than the table having ended.
    virtual bool endedEarly() const { return false; }
};

class TableSource {
public:
    enum class Status {
        Opened,
        NoSuchTable,
        Damaged // the table is listed but its definition or pages cannot be read
    };
    struct Result {
        Status status = Status::NoSuchTable;
        std::unique_ptr<Table> table; // set when opened
    };

    virtual ~TableSource() = default;
    virtual Result openTable(const std::string& name) = 0;
};

} // namespace infil::rain
