#pragma once

#include "model/specimen.h"
#include "standards/result.h"
#include "standards/testinput.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class Experiment;

// The one place where a test and its specimen record meet the standards'
// results: which kind of results a test type has (none for hardness or an
// unknown type), the input they are computed from, and the results of a
// test from its readings in lbf and inches.
std::optional<TestKind> ResultKind(std::int32_t testType, const SpecimenRecord& specimen);
TestInput StandardInput(TestKind kind, const SpecimenRecord& specimen);
// Every result of the test's kind, those that cannot be computed empty with
// the reason; no results for a test without a kind. Never throws.
TestResults StandardResults(const Experiment& experiment);

// What a chart of the test can mark, in inches of extension and lbf (the
// readings' units): the modulus line from where it meets zero force up to the
// peak force, the proof point, the peak and the fracture. Empty parts are not
// known.
struct ResultMarks {
    std::vector<std::pair<double, double>> modulusLine;
    std::optional<std::pair<double, double>> proof;
    std::optional<std::pair<double, double>> peak;
    std::optional<std::pair<double, double>> fracture;
};
ResultMarks MarksOf(const Experiment& experiment, const TestResults& results);

// What the results are the results of, for headings: "tension test",
// "beam in three-point bending", ...
std::string ResultKindText(TestKind kind);
// A result's name with its unit, as tables and the export head a column:
// "Tensile strength (Rm) [psi]".
std::string ResultHeading(const Result& result, std::int32_t units);
// Its value in `units` as the tables show it (seven significant digits);
// empty when it has none.
std::string ResultValueText(const Result& result, std::int32_t units);
// As a table of one test shows it: the value and, in brackets, what it was
// found from; or the reason it is empty, in brackets.
std::string ResultCellText(const Result& result, std::int32_t units);
