#include "file_type_detector.h"

#include "detector_extension_map.h"
#include "extension.h"
#include "format_list.h"
#include "signature_match.h"
#include "signature_table.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <system_error>

namespace {

// detectFileType judges a file on this many leading bytes, detectAllBySignatures on fewer.
constexpr std::size_t detectionWindow = 4096;
constexpr std::size_t allSignaturesWindow = 1024;

using ByteView = std::span<const std::uint8_t>;

#ifndef _WIN32
// POSIX systems open a folder as a stream whose reads then fail; Windows refuses to open it.
// Refusing it here makes both answer alike.
bool isFolder(const std::string& path)
{
    try {
        std::error_code error;
        return std::filesystem::is_directory(std::filesystem::path(path), error);
    } catch (const std::filesystem::filesystem_error&) {
        return false;   // a name the path type cannot convert; opening it already worked
    }
}
#endif

// Read-only, binary; not open for a missing file or a folder.
std::ifstream openBinary(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
#ifndef _WIN32
    // Windows never opens a folder as a stream, so there the extra look at the path is saved:
    // it costs a file-system lookup for every file detected.
    if (stream.is_open() && isFolder(path)) {
        stream.close();
        stream.setstate(std::ios::failbit);
    }
#endif
    return stream;
}

// 0 when the stream cannot tell its length (tellg gives -1), so no buffer is sized from it.
std::uint64_t streamSize(std::ifstream& stream)
{
    stream.seekg(0, std::ios::end);
    const std::streamoff end = stream.tellg();
    stream.clear();
    stream.seekg(0, std::ios::beg);
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

// The bytes the stream actually delivers of the first min(size, 4096); nothing when it does not open.
std::optional<std::vector<std::uint8_t>> readLeadingBytes(const std::string& path)
{
    std::ifstream stream = openBinary(path);
    if (!stream.is_open()) {
        return std::nullopt;
    }
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(streamSize(stream), detectionWindow));
    std::vector<std::uint8_t> bytes(wanted, 0);
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(wanted));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    return bytes;
}

bool anyRowMatches(ByteView bytes, const std::vector<FileSignature>& rows)
{
    return std::any_of(rows.begin(), rows.end(),
                       [bytes](const FileSignature& row) { return signatureRowMatches(bytes, row); });
}

} // namespace

FileTypeDetector::FileTypeDetector()
{
    initializeSignatures();
}

void FileTypeDetector::initializeSignatures()
{
    for (const SignatureCategory& category : signatureCategories()) {
        std::vector<FileSignature>& rows = signatures[category.keyword];
        rows = {};
        for (const SignatureRow& row : category.rows) {
            rows.push_back(FileSignature{row.offset,
                                         {row.magic.begin(), row.magic.end()},
                                         {row.mask.begin(), row.mask.end()}});
        }
    }
}

FileTypeInfo FileTypeDetector::detectFileType(const std::string& filePath) const
{
    FileTypeInfo answer;
    answer.type = "unknown";
    // Cut at the last dot of the whole path, even when that dot stands in a folder name.
    answer.extension = lowerAsciiExtension(filePath);
    if (!answer.extension.empty()) {
        answer.type = categoryForExtension(answer.extension);
    }

    // One read serves every category: each would be judged on the same leading bytes.
    if (const auto leading = readLeadingBytes(filePath)) {
        for (const auto& [category, rows] : signatures) {
            if (anyRowMatches(*leading, rows)) {
                answer.type = category;
                break;
            }
        }
    }

    answer.description = "检测到的" + answer.type + "文件";
    return answer;
}

bool FileTypeDetector::matchesAnySignature(const std::string& filePath, const std::vector<FileSignature>& rows) const
{
    const auto leading = readLeadingBytes(filePath);
    return leading && anyRowMatches(*leading, rows);
}

std::vector<FileTypeInfo> FileTypeDetector::detectAllBySignatures(const std::string& filePath) const
{
    std::vector<FileTypeInfo> found;
    std::ifstream stream = openBinary(filePath);
    if (!stream.is_open()) {
        return found;
    }
    std::array<std::uint8_t, allSignaturesWindow> buffer{};
    stream.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    const ByteView leading(buffer.data(), static_cast<std::size_t>(stream.gcount()));

    const std::string extension = lowerAsciiExtension(filePath);
    for (const auto& [category, rows] : signatures) {
        if (anyRowMatches(leading, rows)) {
            found.push_back(FileTypeInfo{category, extension, "通过签名检测到的" + category + "文件"});
        }
    }
    return found;
}

bool FileTypeDetector::isReadable(const std::string& filePath) const
{
    return openBinary(filePath).good();
}

std::string FileTypeDetector::categoryForExtension(const std::string& extension)
{
    // Built on the first call; a local static is initialised once even when threads race to it.
    static const std::map<std::string, std::string> categories = [] {
        std::map<std::string, std::string> map;
        for (const CategoryRow& row : detectorExtensionRows()) {
            map.emplace(row.extension, row.category);   // a repeated key keeps its first row
        }
        return map;
    }();

    const auto found = categories.find(extension);
    return found != categories.end() ? found->second : "other";
}

FileTypeDetector::FormatList FileTypeDetector::getSupportedFormats()
{
    FormatList formats;
    formats.reserve(formatRows().size());
    for (const FormatRow& row : formatRows()) {
        formats.emplace_back(row.name, row.extensions);
    }
    return formats;
}
