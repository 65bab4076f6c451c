#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/headerfields.h"
#include "model/operatormessages.h"
#include "model/replacingfile.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr char kVersionMark[] = "TDF2";
constexpr char kLineEnd[] = "\r\n";
constexpr char kInvalidFileMessage[] = "File could not be opened.  Not a valid file type.";
constexpr std::streamoff kBodyOffsetBytes = 99;
constexpr std::streamoff kRecordBytes = 8;
// No sound header comes near this; a longer one is not a data file.
constexpr std::streamoff kMaxHeaderBytes = std::streamoff{64} * 1024;
constexpr std::int32_t kBodyChunkRecords = 8192;

void AppendLittleEndian(std::string& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((bits >> shift) & 0xFFu));
    }
}

std::int32_t ReadLittleEndian(const char* bytes) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) {
        bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return static_cast<std::int32_t>(bits);
}

// A name given on a command line may come in double quotes.
std::optional<std::string> Unquoted(const std::string& fileName) {
    if (!fileName.empty() && fileName.front() == '"' && fileName.back() == '"') {
        if (fileName.size() < 2) {
            return std::nullopt;
        }
        return fileName.substr(1, fileName.size() - 2);
    }
    return fileName;
}

std::optional<std::int32_t> IntegerField(HeaderFields& fields) {
    const auto field = fields.Next();
    return field ? RoundToInt32(LeadingNumber(*field)) : std::nullopt;
}

std::optional<float> SingleField(HeaderFields& fields) {
    const auto field = fields.Next();
    if (!field) {
        return std::nullopt;
    }
    const auto value = static_cast<float>(LeadingNumber(*field));
    return std::isfinite(value) ? std::optional<float>(value) : std::nullopt;
}

std::int32_t TestTypeCode(const std::string& name) {
    for (std::int32_t code = kTestHardness; code <= kTestStructures; ++code) {
        const std::string& known = TestTypeNames(code);
        if (!known.empty() && known == name) {
            return code;
        }
    }
    return kTestNone;
}

} // namespace

const char* const kSpecimenUnreadableMessage =
    "The specimen data of this file could not be read.  Every point of the test was read; "
    "the specimen's name, dimensions and notes are not known.";

float FileLoadCellRatio(float ratio) {
    if (!std::isfinite(ratio)) {
        return ratio;
    }
    return static_cast<float>(LeadingNumber(NumberText(ratio)));
}

bool Experiment::SaveFile(const std::string& fileName) const {
    if (Count() == 0) {
        return false;
    }
    std::string header = std::string(kVersionMark) + kLineEnd;
    for (const std::string& line :
         {TestTypeNames(m_testType), NumberText(Count()), NumberText(m_maxDisplacementDigital),
          NumberText(m_maxLoadDigital), NumberText(m_loadCellRatio),
          NumberText(m_loadCellOffset)}) {
        header += line + kLineEnd;
    }
    header.resize(static_cast<std::size_t>(kBodyOffsetBytes), '\0');

    ReplacingFile file(fileName);
    file.Write(header);
    std::string records;
    records.reserve(static_cast<std::size_t>(kBodyChunkRecords * kRecordBytes));
    for (std::int32_t i = 1; i <= Count(); ++i) {
        AppendLittleEndian(records, m_digitalDisplacement.Value(i));
        AppendLittleEndian(records, m_digitalLoad.Value(i));
        if (i % kBodyChunkRecords == 0 || i == Count()) {
            file.Write(records);
            records.clear();
        }
    }
    // After the last record, where a reader of the header and records alone
    // never looks; nothing at all when nothing is known of the specimen.
    const std::string block = SpecimenBlockText(m_specimen);
    if (!block.empty()) {
        file.Write(block);
    }
    file.Commit();
    return true;
}

bool Experiment::LoadFile(const std::string& fileName, OperatorMessages& messages) {
    Clear();
    BlockReading block = BlockReading::Absent;
    if (!ReadDataFile(fileName, block)) {
        messages.Inform(kInvalidFileMessage);
        return false;
    }
    if (block == BlockReading::Unreadable) {
        messages.Inform(kSpecimenUnreadableMessage);
    }
    return true;
}

bool BeginsAsDataFile(const std::string& fileName) {
    std::error_code error;
    // Only a plain file is read: a pipe could block.
    if (!std::filesystem::is_regular_file(fileName, error)) {
        return false;
    }
    std::ifstream file(fileName, std::ios::binary);
    // The same head the reader takes, so any blanks before the mark count.
    std::string head(static_cast<std::size_t>(kMaxHeaderBytes), '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    const bool complete = file.eof();
    HeaderFields fields(std::move(head), complete);
    return fields.Next() == std::optional<std::string>(kVersionMark);
}

OutputRefusal RefusedOutput(const std::string& output, const std::vector<std::string>& sources) {
    std::error_code error;
    for (const std::string& source : sources) {
        if (!source.empty() && std::filesystem::equivalent(source, output, error)) {
            return OutputRefusal::Source;
        }
    }
    return BeginsAsDataFile(output) ? OutputRefusal::DataFile : OutputRefusal::None;
}

bool Experiment::ReadDataFile(const std::string& fileName, BlockReading& block) {
    const auto name = Unquoted(fileName);
    std::error_code error;
    // Only a plain file: a pipe or device could block or never end.
    if (!name || !std::filesystem::is_regular_file(*name, error)) {
        return false;
    }
    std::ifstream file(*name, std::ios::binary);
    if (!file.seekg(0, std::ios::end)) {
        return false;
    }
    const std::streamoff size = file.tellg();
    file.seekg(0);
    std::string head(static_cast<std::size_t>(std::min(size, kMaxHeaderBytes)), '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (!file) {
        return false;
    }
    HeaderFields fields(std::move(head), size <= kMaxHeaderBytes);
    const std::int32_t count = ReadHeader(fields);
    if (count < 0) {
        return false;
    }
    // No real test comes near the bound; a header claiming more (damaged, or
    // a sparse file whose length looks right) would ask for gigabytes.
    if (count > kMostTestPoints) {
        return false;
    }
    // A count the file's length cannot hold is no data file: refuse it
    // before setting aside room for points that are not there.
    if (count > 0 && size < kBodyOffsetBytes + kRecordBytes * count) {
        return false;
    }
    if (!ReadBody(file, count)) {
        return false;
    }
    block = ReadTail(file, kBodyOffsetBytes + kRecordBytes * count, size);
    return true;
}

// The bytes after the last record: nothing, or the specimen block. One
// longer than a block may be is not read at all.
BlockReading Experiment::ReadTail(std::ifstream& file, std::int64_t from, std::int64_t size) {
    if (size <= from) {
        return BlockReading::Absent;
    }
    if (size - from > static_cast<std::int64_t>(MostSpecimenBlockBytes())) {
        return BlockReading::Unreadable;
    }
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    file.clear();
    file.seekg(from);
    file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    if (!file) {
        return BlockReading::Unreadable;
    }
    SpecimenRecord specimen;
    const BlockReading reading = ReadSpecimenBlock(tail, specimen);
    if (reading == BlockReading::Read) {
        m_specimen = specimen;
    }
    return reading;
}

std::int32_t Experiment::ReadHeader(HeaderFields& fields) {
    const auto mark = fields.Next();
    if (!mark || *mark != kVersionMark) {
        return -1;
    }
    const auto testName = fields.Next();
    if (!testName) {
        return -1;
    }
    m_testType = TestTypeCode(*testName);
    const auto count = IntegerField(fields);
    if (!count) {
        return -1;
    }
    const auto maxDisplacement = IntegerField(fields);
    if (!maxDisplacement) {
        return -1;
    }
    m_maxDisplacementDigital = *maxDisplacement;
    const auto maxLoad = IntegerField(fields);
    if (!maxLoad) {
        return -1;
    }
    m_maxLoadDigital = *maxLoad;
    const auto ratio = SingleField(fields);
    if (!ratio) {
        return -1;
    }
    m_loadCellRatio = *ratio;
    const auto offset = IntegerField(fields);
    if (!offset) {
        return -1;
    }
    m_loadCellOffset = *offset;
    // Zero or a negative count is a file without points.
    return std::max(*count, 0);
}

bool Experiment::ReadBody(std::ifstream& file, std::int32_t count) {
    if (count == 0) {
        return true;
    }
    m_digitalDisplacement.Reserve(count);
    m_digitalLoad.Reserve(count);
    file.seekg(kBodyOffsetBytes);
    std::vector<char> chunk(static_cast<std::size_t>(kBodyChunkRecords * kRecordBytes));
    // 64-bit steps: the last chunk may end near the largest 32-bit count.
    for (std::int64_t first = 1; first <= count; first += kBodyChunkRecords) {
        const auto records =
            static_cast<std::int32_t>(std::min<std::int64_t>(kBodyChunkRecords, count - first + 1));
        file.read(chunk.data(), records * kRecordBytes);
        if (!file) {
            return false;
        }
        for (std::int32_t r = 0; r < records; ++r) {
            const char* record = chunk.data() + r * kRecordBytes;
            const auto point = static_cast<std::int32_t>(first + r);
            m_digitalDisplacement.SetValue(point, ReadLittleEndian(record));
            m_digitalLoad.SetValue(point, ReadLittleEndian(record + 4));
        }
    }
    return true;
}
