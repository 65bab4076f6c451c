#include "model/dataarray.h"

#include <algorithm>

DataArrayError::DataArrayError() : std::runtime_error("Index out of bounds.") {}

std::int32_t DataArray::Value(std::int32_t index) const {
    if (index < 1 || index > Length()) {
        throw DataArrayError();
    }
    return m_values[static_cast<std::size_t>(index) - 1];
}

void DataArray::SetValue(std::int32_t index, std::int32_t value) {
    if (index < 1) {
        throw DataArrayError();
    }
    const auto slot = static_cast<std::size_t>(index) - 1;
    if (slot >= m_values.size()) {
        // Grow geometrically rather than to the exact new length: acquisition
        // appends one point at a time and must not copy the series each time.
        if (slot >= m_values.capacity()) {
            m_values.reserve(std::max(slot + 1, 2 * m_values.capacity()));
        }
        m_values.resize(slot + 1, 0);
    }
    m_values[slot] = value;
}

void DataArray::Clear() {
    m_values.clear();
    m_values.shrink_to_fit();
}

void DataArray::Reserve(std::int32_t count) {
    if (count > 0) {
        m_values.reserve(static_cast<std::size_t>(count));
    }
}
