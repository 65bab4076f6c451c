#pragma once

#include "experiment.h"

#include <cstdint>
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
// compared without regard to letter case. Owns its members.
class Experiments {
public:
    Experiment& Add(const std::string& sKey = {});
    Experiment& Item(std::int32_t position);
    Experiment& Item(const std::string& key);
    std::int32_t Count() const;
    void Remove(std::int32_t position);
    void Remove(const std::string& key);
    // NewEnum: members in order.
    auto begin() const { return m_members.begin(); }
    auto end() const { return m_members.end(); }

private:
    struct Member {
        std::string key; // folded to lower case; empty when none
        std::unique_ptr<Experiment> experiment;
    };
    std::vector<Member> m_members;
};
