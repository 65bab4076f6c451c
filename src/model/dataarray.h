#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The error a series raises for a point number outside 1 to Length. It carries
// the code, source and text that the operator's message reports.
class DataArrayError : public std::runtime_error {
public:
    static constexpr std::int32_t kIndexOutOfBoundsCode =
        static_cast<std::int32_t>(0x800403E8u); // object error base + 1000
    DataArrayError();
    std::int32_t code() const { return kIndexOutOfBoundsCode; }
    std::string source() const { return "DataArray"; }
    std::string description() const { return "Index out of bounds."; }
};

// A growable series of raw readings addressed by point number from 1.
// Storage grows by doubling, so appending point after point costs amortised
// constant time; Length is always the highest point number written.
// Window thread only.
class DataArray {
public:
    std::int32_t Value(std::int32_t index) const;
    // Writing past the end grows the series; the gap reads 0. A point number
    // below 1 throws DataArrayError and leaves the series unchanged.
    void SetValue(std::int32_t index, std::int32_t value);
    std::int32_t Length() const { return static_cast<std::int32_t>(m_values.size()); }
    // Every value, point 1 first, for a caller that runs through them all.
    const std::vector<std::int32_t>& Values() const { return m_values; }
    void Clear();
    // Makes room for `count` points without changing Length, so that a known
    // number of appends allocates once.
    void Reserve(std::int32_t count);
    // Bytes of storage held, spare capacity included.
    std::size_t CapacityBytes() const { return m_values.capacity() * sizeof(std::int32_t); }

private:
    std::vector<std::int32_t> m_values; // point i is m_values[i - 1]
};
