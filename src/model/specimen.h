#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The shape of a specimen's cross-section: a rectangle (thickness by width)
// or a circle (its diameter).
enum class SpecimenShape { Rectangular, Round };

// How a shear specimen is cut: by a pin (in one or more planes), by a punch
// through a sheet, or along a plate's edge.
enum class ShearConfiguration { Pin, Punch, Plate };
// What a structures test loads: a beam in three- or four-point bending, or
// any other structure.
enum class StructureKind { Other, ThreePoint, FourPoint };
// What the modulus window's ends are given in: percent of the peak force,
// lbf, or psi.
enum class ModulusWindow { PeakPercent, Force, Stress };

// What a test knows of its specimen: who and what it is, its dimensions
// before the test, its dimensions after it, and when the test began. Every
// length is in inches; 0 stands for a length not given. Kept with the test in
// its data file and its journal. Plain data; any thread.
struct SpecimenRecord {
    std::string name;
    std::string material;
    std::string operatorName;
    std::string notes; // may run over several lines

    SpecimenShape shape = SpecimenShape::Rectangular;
    float thickness = 0.0f;
    float width = 0.0f;
    float diameter = 0.0f; // round specimens
    float length = 0.0f;
    float gaugeLength = 0.0f; // the length when not given

    // Measured after the test (elongation after fracture, reduction of area).
    float finalLength = 0.0f; // the final gauge length
    float finalWidth = 0.0f;
    float finalThickness = 0.0f;
    float finalDiameter = 0.0f;

    std::optional<std::int64_t> beganSeconds; // wall clock, seconds since the epoch

    // The set-up, for the results of a shear or a structures test. A shear
    // specimen's thickness is `thickness`; a beam's width and depth are
    // `width` and `thickness`.
    ShearConfiguration shear = ShearConfiguration::Pin;
    float shearDiameter = 0.0f; // the pin's or the punch's
    int shearPlanes = 0;        // a pin's; 0: not given (one)
    float shearLength = 0.0f;   // a plate's cut
    StructureKind structure = StructureKind::Other;
    float span = 0.0f;        // between the supports
    float loadingSpan = 0.0f; // between the two loads of four-point bending

    // The settings of the results; 0 for a number stands for its default.
    ModulusWindow windowBasis = ModulusWindow::PeakPercent;
    float windowFrom = 0.0f;        // 10% of the peak
    float windowTo = 0.0f;          // 40% of the peak
    float proofOffset = 0.0f;       // percent of the gauge length: 0.2
    bool firstLocalMaximum = false; // plastics: the stress at the first maximum too

    // Why the specimen is left out of its set's statistics; empty: counted.
    std::string excluded;

    bool operator==(const SpecimenRecord&) const = default;
    // Whether anything at all is known: a test without it is stored as before.
    bool Empty() const { return *this == SpecimenRecord{}; }
};

inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kSquareMillimetresPerSquareInch = kMillimetresPerInch * kMillimetresPerInch;

// The original cross-section in square inches: thickness times width, or
// pi d^2 / 4 for a round specimen; 0 while the dimensions it needs are not
// all given.
double SpecimenArea(const SpecimenRecord& specimen);
// The length strains are taken over, in inches: the gauge length, or the
// length when no gauge length is given; 0 when neither is.
double StrainLength(const SpecimenRecord& specimen);
// Whether stress and strain can be worked out: an area and a strain length.
bool HasStressDimensions(const SpecimenRecord& specimen);

// The same in the display units of `units` (1 English, any other metric):
// square inches or square millimetres, inches or millimetres. A load in lbf
// or N over the first is a stress in psi or MPa (N/mm^2); a displacement
// over the second is a strain, the same number in either units.
double SpecimenArea(const SpecimenRecord& specimen, std::int32_t units);
double StrainLength(const SpecimenRecord& specimen, std::int32_t units);

// The names the specimen's fields go by in the data file, the journal and on
// torvik-export's command line, and setting one from its text. A length is
// in inches, or in millimetres with the suffix "mm" ("12.7 mm"). Empty when
// done; otherwise why not, in words.
std::string
SetSpecimenField(SpecimenRecord& specimen, std::string_view name, std::string_view text);
// Whether `name` is one of the field names above.
bool IsSpecimenFieldName(std::string_view name);

// A length as typed: a number, in inches, or in millimetres when it ends in
// "mm". Empty when the text holds no number or one that is not above zero.
std::optional<float> LengthInInches(std::string_view text);
// Whether a length's text ends in the millimetre suffix.
bool HasMillimetreSuffix(std::string_view text);

// The set-up and settings fields that are neither texts nor lengths (the
// shear configuration, the number of shear planes, the structure, the modulus
// window, the proof offset, the first local maximum): their lines as stored,
// only those not at their defaults; and setting one from its text, empty when
// done, why not otherwise, no value when `name` is none of them.
std::string SetupPayload(const SpecimenRecord& specimen);
std::optional<std::string>
SetSetupField(SpecimenRecord& specimen, std::string_view name, std::string_view text);

// The block of a data file that holds the specimen (after the last record),
// and reading it back. BlockText of an empty specimen is empty.
std::string SpecimenBlockText(const SpecimenRecord& specimen);
enum class BlockReading { Absent, Read, Unreadable };
BlockReading ReadSpecimenBlock(std::string_view bytes, SpecimenRecord& specimen);
// The most bytes a specimen block may take; a longer tail is not read.
std::size_t MostSpecimenBlockBytes();

// The specimen as one line of text without line breaks (the journal's form),
// and back; empty when the line cannot be read.
std::string SpecimenLineText(const SpecimenRecord& specimen);
std::optional<SpecimenRecord> ReadSpecimenLine(std::string_view line);
