#include "model/specimen.h"

#include "model/gfunctions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

// The most bytes of each text the record keeps: a specimen block can then
// never outgrow its bound, escapes and all.
constexpr std::size_t kMostShortTextBytes = 500;
constexpr std::size_t kMostNotesBytes = 16000;
constexpr std::size_t kMostBlockBytes = 64 * 1024;

constexpr std::string_view kShapeName = "shape";
constexpr std::string_view kBeganName = "began";
constexpr std::string_view kLengthUnitName = "length-unit";
constexpr std::string_view kLengthUnit = "inch";
constexpr std::string_view kRound = "round";
constexpr std::string_view kRectangular = "rectangular";
constexpr std::string_view kMillimetreSuffix = "mm";

struct TextField {
    std::string_view name;
    std::string SpecimenRecord::*member;
    std::size_t mostBytes;
};
constexpr std::array<TextField, 5> kTextFields{{
    {"specimen", &SpecimenRecord::name, kMostShortTextBytes},
    {"material", &SpecimenRecord::material, kMostShortTextBytes},
    {"operator", &SpecimenRecord::operatorName, kMostShortTextBytes},
    {"notes", &SpecimenRecord::notes, kMostNotesBytes},
    {"excluded", &SpecimenRecord::excluded, kMostShortTextBytes},
}};

struct LengthField {
    std::string_view name;
    float SpecimenRecord::*member;
    // Giving this length says the specimen's shape, on the command line.
    std::optional<SpecimenShape> shape;
};
constexpr std::array<LengthField, 13> kLengthFields{{
    {"thickness", &SpecimenRecord::thickness, SpecimenShape::Rectangular},
    {"width", &SpecimenRecord::width, SpecimenShape::Rectangular},
    {"diameter", &SpecimenRecord::diameter, SpecimenShape::Round},
    {"length", &SpecimenRecord::length, std::nullopt},
    {"gauge-length", &SpecimenRecord::gaugeLength, std::nullopt},
    {"final-length", &SpecimenRecord::finalLength, std::nullopt},
    {"final-width", &SpecimenRecord::finalWidth, SpecimenShape::Rectangular},
    {"final-thickness", &SpecimenRecord::finalThickness, SpecimenShape::Rectangular},
    {"final-diameter", &SpecimenRecord::finalDiameter, SpecimenShape::Round},
    {"shear-diameter", &SpecimenRecord::shearDiameter, std::nullopt},
    {"shear-length", &SpecimenRecord::shearLength, std::nullopt},
    {"span", &SpecimenRecord::span, std::nullopt},
    {"loading-span", &SpecimenRecord::loadingSpan, std::nullopt},
}};

// Cuts a text to at most `most` bytes without splitting a UTF-8 character.
std::string Bounded(std::string_view text, std::size_t most) {
    if (text.size() <= most)
        return std::string(text);
    std::size_t end = most;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u)
        --end;
    return std::string(text.substr(0, end));
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <typename T> std::string NumberString(T value) {
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

template <typename T> std::optional<T> ExactNumber(std::string_view text) {
    T value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Backslash, carriage return and line feed become two-character escapes,
// so that a value is one line.
std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        const char c = text[i];
        if (c != '\\' && c != 'r' && c != 'n')
            return std::nullopt;
        out += c == '\\' ? '\\' : c == 'r' ? '\r' : '\n';
    }
    return out;
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string HexText(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xFu];
    return text;
}

// The fields as "name=value" lines, each ended by CR LF; lengths in inches.
std::string Payload(const SpecimenRecord& specimen) {
    std::string out = std::string(kLengthUnitName) + '=' + std::string(kLengthUnit) + "\r\n";
    out += std::string(kShapeName) + '=' +
           std::string(specimen.shape == SpecimenShape::Round ? kRound : kRectangular) + "\r\n";
    for (const TextField& field : kTextFields) {
        const std::string& value = specimen.*field.member;
        if (!value.empty())
            out +=
                std::string(field.name) + '=' + Escaped(Bounded(value, field.mostBytes)) + "\r\n";
    }
    for (const LengthField& field : kLengthFields) {
        const float value = specimen.*field.member;
        if (value > 0.0f && std::isfinite(value))
            out += std::string(field.name) + '=' + NumberString(value) + "\r\n";
    }
    if (specimen.beganSeconds)
        out += std::string(kBeganName) + '=' + NumberString(*specimen.beganSeconds) + "\r\n";
    return out + SetupPayload(specimen);
}

// One stored field. Names this version does not know are passed over: a
// later version may add fields and still be read here.
bool ReadStoredField(SpecimenRecord& s, std::string_view name, std::string_view value) {
    for (const TextField& field : kTextFields) {
        if (name == field.name) {
            const auto text = Unescaped(value);
            if (!text || text->size() > field.mostBytes)
                return false;
            s.*field.member = *text;
            return true;
        }
    }
    for (const LengthField& field : kLengthFields) {
        if (name == field.name) {
            const auto number = ExactNumber<float>(value);
            if (!number || !std::isfinite(*number) || !(*number > 0.0f))
                return false;
            s.*field.member = *number;
            return true;
        }
    }
    if (name == kShapeName) {
        if (value != kRound && value != kRectangular)
            return false;
        s.shape = value == kRound ? SpecimenShape::Round : SpecimenShape::Rectangular;
        return true;
    }
    if (name == kBeganName) {
        const auto seconds = ExactNumber<std::int64_t>(value);
        s.beganSeconds = seconds;
        return seconds.has_value();
    }
    if (name == kLengthUnitName)
        return value == kLengthUnit;
    if (const auto setup = SetSetupField(s, name, value))
        return setup->empty();
    return true;
}

std::optional<SpecimenRecord> ReadPayload(std::string_view payload) {
    SpecimenRecord specimen;
    bool unitSaid = false;
    while (!payload.empty()) {
        const auto end = payload.find("\r\n");
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = payload.substr(0, end);
        payload.remove_prefix(end + 2);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = line.substr(0, equals);
        unitSaid = unitSaid || name == kLengthUnitName;
        if (!ReadStoredField(specimen, name, line.substr(equals + 1)))
            return std::nullopt;
    }
    // Lengths without their unit could be anything.
    if (!unitSaid)
        return std::nullopt;
    return specimen;
}

constexpr std::string_view kBlockMark = "TORVIK SPECIMEN\r\n";
constexpr std::string_view kVersionKey = "VERSION ";
constexpr std::string_view kBytesKey = "BYTES ";
constexpr std::string_view kCrcKey = "CRC32 ";
constexpr int kBlockVersion = 1;

// The value after `key` on the next CR LF line; empty when it is not there.
std::optional<std::string_view> KeyedLine(std::string_view& bytes, std::string_view key) {
    const auto end = bytes.find("\r\n");
    if (end == std::string_view::npos || !bytes.starts_with(key))
        return std::nullopt;
    const std::string_view value = bytes.substr(key.size(), end - key.size());
    bytes.remove_prefix(end + 2);
    return value;
}

} // namespace

double SpecimenArea(const SpecimenRecord& s) {
    if (s.shape == SpecimenShape::Round) {
        const double d = s.diameter;
        return d > 0.0 ? std::numbers::pi * d * d / 4.0 : 0.0;
    }
    return s.thickness > 0.0f && s.width > 0.0f ? double{s.thickness} * double{s.width} : 0.0;
}

double StrainLength(const SpecimenRecord& s) {
    if (s.gaugeLength > 0.0f)
        return s.gaugeLength;
    return s.length > 0.0f ? s.length : 0.0;
}

bool HasStressDimensions(const SpecimenRecord& s) {
    return SpecimenArea(s) > 0.0 && StrainLength(s) > 0.0;
}

double SpecimenArea(const SpecimenRecord& specimen, std::int32_t units) {
    const double area = SpecimenArea(specimen);
    return units == kUnitsEnglish ? area : area * kSquareMillimetresPerSquareInch;
}

double StrainLength(const SpecimenRecord& specimen, std::int32_t units) {
    const double length = StrainLength(specimen);
    return units == kUnitsEnglish ? length : length * kMillimetresPerInch;
}

bool HasMillimetreSuffix(std::string_view text) {
    const std::string_view trimmed = Trimmed(text);
    if (trimmed.size() < kMillimetreSuffix.size())
        return false;
    const std::string_view tail = trimmed.substr(trimmed.size() - kMillimetreSuffix.size());
    return (tail[0] == 'm' || tail[0] == 'M') && (tail[1] == 'm' || tail[1] == 'M');
}

std::optional<float> LengthInInches(std::string_view text) {
    const double number = LeadingNumber(text);
    if (!(number > 0.0) || !std::isfinite(number))
        return std::nullopt;
    const double inches = HasMillimetreSuffix(text) ? number / kMillimetresPerInch : number;
    const auto value = static_cast<float>(inches);
    if (!(value > 0.0f) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsSpecimenFieldName(std::string_view name) {
    for (const TextField& field : kTextFields)
        if (name == field.name)
            return true;
    for (const LengthField& field : kLengthFields)
        if (name == field.name)
            return true;
    SpecimenRecord scratch;
    return SetSetupField(scratch, name, "").has_value();
}

std::string
SetSpecimenField(SpecimenRecord& specimen, std::string_view name, std::string_view text) {
    for (const TextField& field : kTextFields) {
        if (name == field.name) {
            specimen.*field.member = Bounded(text, field.mostBytes);
            return {};
        }
    }
    for (const LengthField& field : kLengthFields) {
        if (name != field.name)
            continue;
        const auto inches = LengthInInches(text);
        if (!inches)
            return std::string(name) + " must be a length above zero, in inches or with mm";
        specimen.*field.member = *inches;
        if (field.shape)
            specimen.shape = *field.shape;
        return {};
    }
    if (auto setup = SetSetupField(specimen, name, text))
        return *setup;
    return "no specimen field is called " + std::string(name);
}

std::string SpecimenBlockText(const SpecimenRecord& specimen) {
    if (specimen.Empty())
        return {};
    const std::string payload = Payload(specimen);
    return std::string(kBlockMark) + std::string(kVersionKey) + NumberString(kBlockVersion) +
           "\r\n" + std::string(kBytesKey) + NumberString(payload.size()) + "\r\n" +
           std::string(kCrcKey) + HexText(Crc32(payload)) + "\r\n" + payload;
}

BlockReading ReadSpecimenBlock(std::string_view bytes, SpecimenRecord& specimen) {
    if (bytes.empty())
        return BlockReading::Absent;
    if (bytes.size() > kMostBlockBytes || !bytes.starts_with(kBlockMark))
        return BlockReading::Unreadable;
    bytes.remove_prefix(kBlockMark.size());
    const auto version = KeyedLine(bytes, kVersionKey);
    const auto size = KeyedLine(bytes, kBytesKey);
    const auto crc = KeyedLine(bytes, kCrcKey);
    if (!version || ExactNumber<int>(*version) != kBlockVersion || !size || !crc)
        return BlockReading::Unreadable;
    // The block ends the file: a cut block, or bytes after it, is damage.
    if (ExactNumber<std::size_t>(*size) != bytes.size() || *crc != HexText(Crc32(bytes)))
        return BlockReading::Unreadable;
    const auto read = ReadPayload(bytes);
    if (!read)
        return BlockReading::Unreadable;
    specimen = *read;
    return BlockReading::Read;
}

std::size_t MostSpecimenBlockBytes() {
    return kMostBlockBytes;
}

std::string SpecimenLineText(const SpecimenRecord& specimen) {
    return Escaped(Payload(specimen));
}

std::optional<SpecimenRecord> ReadSpecimenLine(std::string_view line) {
    if (line.size() > 2 * kMostBlockBytes)
        return std::nullopt;
    const auto payload = Unescaped(line);
    return payload ? ReadPayload(*payload) : std::nullopt;
}
