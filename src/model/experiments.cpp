#include "model/experiments.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Folded(const std::string& key) {
    std::string folded = key;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

} // namespace

Experiment& Experiments::Add(const std::string& sKey) {
    const std::string key = Folded(sKey);
    if (!key.empty() && Find(key) != m_members.end()) {
        throw ExperimentsError("Key is already associated with an element of this collection");
    }
    m_members.push_back(Member{key, std::make_unique<Experiment>()});
    return *m_members.back().experiment;
}

Experiment& Experiments::Item(std::int32_t position) {
    return *m_members[Slot(position)].experiment;
}

Experiment& Experiments::Item(const std::string& key) {
    const auto member = Find(Folded(key));
    if (key.empty() || member == m_members.end()) {
        throw ExperimentsError("Invalid procedure call or argument");
    }
    return *member->experiment;
}

std::int32_t Experiments::Count() const {
    return static_cast<std::int32_t>(m_members.size());
}

void Experiments::Remove(std::int32_t position) {
    m_members.erase(m_members.begin() + static_cast<std::ptrdiff_t>(Slot(position)));
}

void Experiments::Remove(const std::string& key) {
    const auto member = Find(Folded(key));
    if (key.empty() || member == m_members.end()) {
        throw ExperimentsError("Invalid procedure call or argument");
    }
    m_members.erase(member);
}

std::size_t Experiments::Slot(std::int32_t position) const {
    if (position < 1 || position > Count()) {
        throw ExperimentsError("Invalid procedure call or argument");
    }
    return static_cast<std::size_t>(position) - 1;
}

std::vector<Experiments::Member>::iterator Experiments::Find(const std::string& foldedKey) {
    return std::find_if(m_members.begin(), m_members.end(),
                        [&](const Member& member) { return member.key == foldedKey; });
}
