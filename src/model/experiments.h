#pragma once

#include "experiment.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A position outside 1 to Count, a key not present, or a key added twice.
class ExperimentsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An ordered collection of experiments, each optionally reachable by a key
// compared without regard to letter case. Owns its members; a failed call
// leaves it unchanged. Window thread only.
class Experiments {
    struct Member {
        std::string key; // folded to lower case; empty when none
        std::unique_ptr<Experiment> experiment;
    };

public:
    // Visits the experiments in order (NewEnum).
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Experiment;
        using difference_type = std::ptrdiff_t;
        using pointer = Experiment*;
        using reference = Experiment&;

        Iterator() = default;
        explicit Iterator(std::vector<Member>::const_iterator at) : m_at(at) {}
        Experiment& operator*() const { return *m_at->experiment; }
        Experiment* operator->() const { return m_at->experiment.get(); }
        Iterator& operator++() {
            ++m_at;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++m_at;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_at == other.m_at; }

    private:
        std::vector<Member>::const_iterator m_at;
    };

    Experiment& Add(const std::string& sKey = {});
    Experiment& Item(std::int32_t position);
    Experiment& Item(const std::string& key);
    std::int32_t Count() const;
    void Remove(std::int32_t position);
    void Remove(const std::string& key);
    Iterator begin() const { return Iterator(m_members.begin()); }
    Iterator end() const { return Iterator(m_members.end()); }

private:
    std::size_t Slot(std::int32_t position) const;
    std::vector<Member>::iterator Find(const std::string& foldedKey);

    std::vector<Member> m_members;
};
