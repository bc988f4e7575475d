#pragma once
// Arrays that keep the lower bounds the project's tables are addressed by
// (RainDurations(1..9), StationNames(0..92) ...), so code reads like the tables
// it implements and an index outside the bounds is caught instead of corrupting
// a neighbour.

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace infil {

// A fixed array with the index range Lo..Hi, both inclusive.
template <typename T, int Lo, int Hi>
class Indexed {
    static_assert(Hi >= Lo);

public:
    static constexpr int lower = Lo;
    static constexpr int upper = Hi;
    static constexpr std::size_t count = static_cast<std::size_t>(Hi - Lo + 1);

    T& operator[](int i) { return data_[offset(i)]; }
    const T& operator[](int i) const { return data_[offset(i)]; }

    auto begin() { return data_.begin(); }
    auto end() { return data_.end(); }
    auto begin() const { return data_.begin(); }
    auto end() const { return data_.end(); }

    bool operator==(const Indexed&) const = default;

private:
    static std::size_t offset(int i)
    {
        if (i < Lo || i > Hi)
            throw std::out_of_range("index " + std::to_string(i) + " outside " +
                                    std::to_string(Lo) + ".." + std::to_string(Hi));
        return static_cast<std::size_t>(i - Lo);
    }
    std::array<T, count> data_{};
};

// A growable list addressed from 1. The drained-area editor keeps one more slot
// than it has entries: the last slot is the spare one the next entry is written
// into before the list grows. slotCount() is the upper bound; the list never has
// fewer than one slot once it has been sized.
template <typename T>
class SlotList {
public:
    // The upper bound: entries plus the spare slot.
    int slotCount() const { return static_cast<int>(data_.size()); }

    T& operator[](int i) { return data_[offset(i)]; }
    const T& operator[](int i) const { return data_[offset(i)]; }

    // Changes the upper bound, keeping the contents of the slots that remain;
    // new slots hold the empty value.
    void resizeKeeping(int slots)
    {
        if (slots < 0)
            throw std::out_of_range("negative slot count");
        data_.resize(static_cast<std::size_t>(slots));
    }

    // Drops every entry and leaves `slots` empty slots.
    void reset(int slots)
    {
        data_.assign(static_cast<std::size_t>(slots < 0 ? 0 : slots), T{});
    }

    const std::vector<T>& raw() const { return data_; }
    bool operator==(const SlotList&) const = default;

private:
    std::size_t offset(int i) const
    {
        if (i < 1 || i > slotCount())
            throw std::out_of_range("slot " + std::to_string(i) + " outside 1.." +
                                    std::to_string(slotCount()));
        return static_cast<std::size_t>(i - 1);
    }
    std::vector<T> data_;
};

} // namespace infil
