// The specimen record's set-up and settings fields that are neither texts
// nor lengths: choices by their words, and plain numbers.

#include "model/specimen.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

template <typename Choice> struct ChoiceWord {
    Choice choice;
    std::string_view word;
};
constexpr std::array<ChoiceWord<ShearConfiguration>, 3> kShearWords{{
    {ShearConfiguration::Pin, "pin"},
    {ShearConfiguration::Punch, "punch"},
    {ShearConfiguration::Plate, "plate"},
}};
constexpr std::array<ChoiceWord<StructureKind>, 3> kStructureWords{{
    {StructureKind::Other, "other"},
    {StructureKind::ThreePoint, "three-point"},
    {StructureKind::FourPoint, "four-point"},
}};
constexpr std::array<ChoiceWord<ModulusWindow>, 3> kWindowWords{{
    {ModulusWindow::PeakPercent, "peak"},
    {ModulusWindow::Force, "force"},
    {ModulusWindow::Stress, "stress"},
}};
constexpr std::array<ChoiceWord<bool>, 2> kFlagWords{{{false, "no"}, {true, "yes"}}};

struct NumberField {
    std::string_view name;
    float SpecimenRecord::*member;
};
constexpr std::array<NumberField, 3> kNumberFields{{
    {"window-from", &SpecimenRecord::windowFrom},
    {"window-to", &SpecimenRecord::windowTo},
    {"proof-offset", &SpecimenRecord::proofOffset},
}};
constexpr std::string_view kShearName = "shear";
constexpr std::string_view kPlanesName = "shear-planes";
constexpr std::string_view kStructureName = "structure";
constexpr std::string_view kWindowName = "window-basis";
constexpr std::string_view kFirstMaximumName = "first-local-maximum";
constexpr int kMostShearPlanes = 100;

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <typename Choice, std::size_t N>
std::string_view WordOf(const std::array<ChoiceWord<Choice>, N>& words, Choice choice) {
    for (const auto& word : words)
        if (word.choice == choice)
            return word.word;
    return words[0].word;
}

template <typename Choice, std::size_t N>
std::string SetChoice(const std::array<ChoiceWord<Choice>, N>& words,
                      std::string_view name,
                      std::string_view text,
                      Choice& member) {
    for (const auto& word : words) {
        if (Trimmed(text) == word.word) {
            member = word.choice;
            return {};
        }
    }
    std::string known;
    for (std::size_t i = 0; i < N; ++i)
        known += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(words[i].word);
    return std::string(name) + " must be " + known;
}

template <typename T> std::optional<T> NumberOf(std::string_view text) {
    text = Trimmed(text);
    T value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

template <typename T> std::string NumberString(T value) {
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

std::string Line(std::string_view name, std::string_view value) {
    return std::string(name) + '=' + std::string(value) + "\r\n";
}

} // namespace

std::string SetupPayload(const SpecimenRecord& s) {
    const SpecimenRecord defaults;
    std::string out;
    if (s.shear != defaults.shear)
        out += Line(kShearName, WordOf(kShearWords, s.shear));
    if (s.shearPlanes > 0)
        out += Line(kPlanesName, NumberString(s.shearPlanes));
    if (s.structure != defaults.structure)
        out += Line(kStructureName, WordOf(kStructureWords, s.structure));
    if (s.windowBasis != defaults.windowBasis)
        out += Line(kWindowName, WordOf(kWindowWords, s.windowBasis));
    for (const NumberField& field : kNumberFields) {
        const float value = s.*field.member;
        if (value > 0.0f && std::isfinite(value))
            out += Line(field.name, NumberString(value));
    }
    if (s.firstLocalMaximum)
        out += Line(kFirstMaximumName, WordOf(kFlagWords, true));
    return out;
}

std::optional<std::string>
SetSetupField(SpecimenRecord& s, std::string_view name, std::string_view text) {
    if (name == kShearName)
        return SetChoice(kShearWords, name, text, s.shear);
    if (name == kStructureName)
        return SetChoice(kStructureWords, name, text, s.structure);
    if (name == kWindowName)
        return SetChoice(kWindowWords, name, text, s.windowBasis);
    if (name == kFirstMaximumName)
        return SetChoice(kFlagWords, name, text, s.firstLocalMaximum);
    if (name == kPlanesName) {
        const auto planes = NumberOf<int>(text);
        if (!planes || *planes < 1 || *planes > kMostShearPlanes)
            return std::string(name) + " must be a whole number from 1 to 100";
        s.shearPlanes = *planes;
        return std::string();
    }
    for (const NumberField& field : kNumberFields) {
        if (name != field.name)
            continue;
        const auto number = NumberOf<float>(text);
        if (!number || !std::isfinite(*number) || !(*number > 0.0f))
            return std::string(name) + " must be a number above zero";
        s.*field.member = *number;
        return std::string();
    }
    return std::nullopt;
}
