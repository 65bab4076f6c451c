#pragma once

#include "dataarray.h"
#include "model/specimen.h"

#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

class HeaderFields;
class OperatorMessages;

// A file that could not be created or written while saving or exporting.
class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(const std::string& what, bool oldFileKept = true)
        : std::runtime_error(what), m_oldFileKept(oldFileKept) {}
    // False when a file that was there could not be kept as it was.
    bool OldFileKept() const { return m_oldFileKept; }

private:
    bool m_oldFileKept;
};

// The most points a test may hold: more than fourteen hours at the line's
// full rate, and far beyond any real test. A data file or journal claiming
// more is refused rather than read, so a damaged or hostile header cannot ask
// for gigabytes.
constexpr std::int32_t kMostTestPoints = 20'000'000;

// `ratio` as a data file holds it: written as its number text (seven
// significant digits) and read back. A test takes its ratio in this form, so
// that the test live and the test reopened from its file convert alike.
float FileLoadCellRatio(float ratio);

// One materials test: the raw points the interface reported, the calibration
// in force, the sample's dimensions and the kind of test. Converted values are
// computed on every query for the units code the caller passes.
// Window thread only.
class Experiment {
public:
    Experiment();

    // Converted values; point numbers outside 1 to Count throw DataArrayError.
    float load(std::int32_t index, std::int32_t units) const;
    float Displacement(std::int32_t index, std::int32_t units) const;
    float MaxLoad(std::int32_t units) const;
    float MaxDisplacement(std::int32_t units) const;

    std::int32_t TestType() const { return m_testType; }
    // Stores the code and seeds the extremes for the test's loading direction.
    void SetTestType(std::int32_t code);
    std::int32_t Count() const { return m_digitalLoad.Length(); }
    std::string TestString() const;
    std::int16_t direction() const;

    float LoadCellRatio() const { return m_loadCellRatio; }
    void SetLoadCellRatio(float ratio) { m_loadCellRatio = ratio; }
    std::int32_t LoadCellOffset() const { return m_loadCellOffset; }
    void SetLoadCellOffset(std::int32_t offset) { m_loadCellOffset = offset; }
    std::int32_t MaxLoadDigital() const { return m_maxLoadDigital; }
    float MaxDisplacementDigital() const { return static_cast<float>(m_maxDisplacementDigital); }

    // The sample's dimensions in inches, kept in its specimen record. A
    // length not given reads as 1, and an area not given as 1, so that
    // dividing by them leaves a value as it was.
    float SampleThickness() const { return m_specimen.thickness; }
    void SetSampleThickness(float value) { m_specimen.thickness = value; }
    float SampleWidth() const { return m_specimen.width; }
    void SetSampleWidth(float value) { m_specimen.width = value; }
    float SampleLength() const { return m_specimen.length > 0.0f ? m_specimen.length : 1.0f; }
    void SetSampleLength(float value) { m_specimen.length = value; }
    float SampleArea() const;

    // Everything known of the specimen; kept in the data file and journal.
    const SpecimenRecord& specimen() const { return m_specimen; }
    void SetSpecimen(const SpecimenRecord& specimen) { m_specimen = specimen; }

    const DataArray& DigitalLoad() const { return m_digitalLoad; }
    const DataArray& DigitalDisplacement() const { return m_digitalDisplacement; }

    void AddDataPoint(std::int32_t tempLoad, std::int32_t tempDisp);
    void Clear();

    // Comma-delimited text of the points in `units`; false (no file) without
    // points. A file that cannot be written throws FileWriteError; a point
    // that does not convert throws ConversionError (unconverted.h), saying
    // which and why, and nothing is written.
    bool Export(const std::string& fileName, std::int32_t units) const;
    // The data file; false (no file) without points. Writes a temporary file
    // beside the target and renames it into place, so a failed save leaves an
    // existing file as it was. Throws FileWriteError on failure.
    bool SaveFile(const std::string& fileName) const;
    // The specimen, when anything is known of it, follows the last record
    // in a block of its own (specimen.h); a test without one is written
    // byte for byte as the header and records alone.
    // Replaces the contents from a data file. On failure reports
    // "File could not be opened.  Not a valid file type." to `messages` and
    // returns false, keeping what was read before the failure. A point count
    // the file is too short to hold, or one above kMostTestPoints, is such a
    // failure. A name in double quotes names the file between them. A
    // specimen block that cannot be read costs no point: the test opens
    // without its specimen and kSpecimenUnreadableMessage is reported.
    bool LoadFile(const std::string& fileName, OperatorMessages& messages);

private:
    bool ReadDataFile(const std::string& fileName, BlockReading& block);
    BlockReading ReadTail(std::ifstream& file, std::int64_t from, std::int64_t size);
    // The point count (0 or more), or -1 when the header is not valid.
    std::int32_t ReadHeader(HeaderFields& fields);
    bool ReadBody(std::ifstream& file, std::int32_t count);

    DataArray m_digitalLoad;
    DataArray m_digitalDisplacement;
    std::int32_t m_maxLoadDigital = 0;
    std::int32_t m_maxDisplacementDigital = 0;
    SpecimenRecord m_specimen;
    std::int32_t m_testType = 0;
    float m_loadCellRatio = 0.0f;
    std::int32_t m_loadCellOffset = 0;
};

// Told when a data file's points were read but its specimen block was not.
extern const char* const kSpecimenUnreadableMessage;

// Whether the file begins with a data file's version mark as LoadFile reads
// it; false for a file that does not exist or cannot be read.
bool BeginsAsDataFile(const std::string& fileName);

// Why an export or report may not be written to `output`: it is one of
// `sources` (the files its test came from) under any name, a link say, or it
// is another data file, recognised by its content. Text and reports are
// never written over raw readings.
enum class OutputRefusal { None, Source, DataFile };
OutputRefusal RefusedOutput(const std::string& output, const std::vector<std::string>& sources);
