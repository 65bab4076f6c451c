#pragma once

// What the results of one test are computed from besides its curve: the kind
// of test, the specimen's geometry and the operator's settings. A plain
// aggregate in inches, so that a specimen record can be copied onto it field
// by field; a length of 0 means "not entered".

enum class TestKind { Tension, Compression, Shear, Beam, Structure };

// The cross-section of a tension or compression specimen.
enum class SectionShape { Rectangle, Round };

enum class ShearKind { Pin, Punch, Plate };

enum class BeamKind { ThreePoint, FourPoint };

// Which force range the modulus line is fitted over.
enum class WindowBasis {
    PeakShare, // shares of the peak force (0.10 is 10%)
    Force,     // lbf
    Stress,    // psi, over the original area
};

struct ResultSettings {
    WindowBasis windowBasis = WindowBasis::PeakShare;
    double windowFrom = 0.10;
    double windowTo = 0.40;
    double proofOffsetPercent = 0.2;
    // Plastics: also report the stress at the first local maximum of force.
    bool firstLocalMaximum = false;
    // A fit whose r-squared is below this is no straight part.
    double minimumRSquared = 0.995;
};

struct TestInput {
    TestKind kind = TestKind::Tension;

    // Tension and compression: the original cross-section. An area above 0
    // is taken as it is; otherwise it comes from the shape's dimensions.
    SectionShape shape = SectionShape::Rectangle;
    double area = 0.0; // sq. in.
    double thickness = 0.0;
    double width = 0.0;
    double diameter = 0.0;
    // Tension: the original gauge length; compression: the specimen's height.
    double gaugeLength = 0.0;

    // Measured after a tension test, for the ductility after fracture.
    double finalGaugeLength = 0.0;
    double finalThickness = 0.0;
    double finalWidth = 0.0;
    double finalDiameter = 0.0;

    // Shear: a pin of `pinDiameter` cut in `shearPlanes` planes (1 single,
    // 2 double); a punch of `punchDiameter` through `shearThickness`; a plate
    // cut along `shearLength` through `shearThickness`.
    ShearKind shear = ShearKind::Pin;
    double pinDiameter = 0.0;
    int shearPlanes = 1;
    double punchDiameter = 0.0;
    double shearThickness = 0.0;
    double shearLength = 0.0;

    // Beam in bending: supports `span` apart; four-point loads `loadingSpan`
    // apart, placed symmetrically about mid-span.
    BeamKind beam = BeamKind::ThreePoint;
    double span = 0.0;
    double loadingSpan = 0.0;
    double beamWidth = 0.0;
    double beamDepth = 0.0;

    ResultSettings settings;
};
