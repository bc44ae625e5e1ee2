// Phase B of the sector-level scan on a 100 MiB disk image mapped as raw volume B:, against the
// bare reads of the same image in the same chunks: the same device flags, the same aligned buffer,
// the same overlapped reads. Phase A walks drive B:, an empty folder, and costs next to nothing.
// Then erased media (0xFF throughout, where nearly every byte starts an audio header) scanned with
// the filter "image", against phase B of the zeros image.

#include "device_read.h"
#include "drive_ownership.h"
#include "figure_line.h"
#include "header_scan.h"
#include "log.h"
#include "mapped_drive.h"
#include "sector_reader.h"
#include "stopwatch.h"
#include "unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t imageSize = 100 * 1024 * 1024;
constexpr std::uint32_t chunkSize = 512 * 1024;
constexpr std::uint64_t chunkCount = imageSize / chunkSize;
constexpr std::uint64_t pauseCount = chunkCount / 10;   // phase B yields after every tenth chunk
constexpr int rounds = 5;
const std::string location = "B:\\";
const std::string rawDevice = "\\\\.\\B:";

enum class Content { randomBytes, zeros, erased };

// Random bytes stand for compressed files, which fill much of a used disk; zeros for its empty
// space; 0xFF for erased flash media. False when the image cannot be written.
bool writeImage(const std::wstring& path, Content content)
{
    const FileHandle image(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!image) {
        return false;
    }
    std::mt19937_64 generator(20260203);
    std::vector<std::uint8_t> piece(1024 * 1024, content == Content::erased ? 0xFF : 0);
    for (std::uint64_t written = 0; written < imageSize; written += piece.size()) {
        for (std::size_t i = 0; content == Content::randomBytes && i < piece.size(); i += 8) {
            const std::uint64_t word = generator();
            std::memcpy(piece.data() + i, &word, 8);
        }
        DWORD done = 0;
        if (!WriteFile(image.get(), piece.data(), static_cast<DWORD>(piece.size()), &done, nullptr) ||
            done != piece.size()) {
            return false;
        }
    }
    return true;
}

// Negative when the device cannot be opened or a read fails.
double bareReadSeconds()
{
    const SectorReader reader;
    const Stopwatch watch;
    const FileHandle device = reader.openDevice(rawDevice);
    const AlignedBuffer chunk = alignedBuffer(chunkSize);
    for (std::uint64_t offset = 0; offset < imageSize; offset += chunkSize) {
        if (!device || !readAt(device.get(), offset, chunk.get(), chunkSize).done) {
            return -1;
        }
    }
    return watch.seconds();
}

struct Timing {
    double seconds = 0;
    std::size_t found = 0;
};

Timing phaseB(const std::vector<std::string>& fileTypes = {})
{
    const SectorReader reader;
    const Stopwatch watch;
    const std::vector<FileInfo> records = reader.performSectorLevelScan(location, fileTypes);
    return Timing{watch.seconds(), records.size()};
}

// The header scan alone over the same chunks, already in memory: what the scan adds to the reads
// when both run one after the other on one thread.
Timing inMemoryScan()
{
    const SectorReader reader;
    const FileHandle device = reader.openDevice(rawDevice);
    std::vector<AlignedBuffer> chunks;
    for (std::uint64_t offset = 0; device && offset < imageSize; offset += chunkSize) {
        chunks.push_back(alignedBuffer(chunkSize));
        readAt(device.get(), offset, chunks.back().get(), chunkSize);
    }
    const Stopwatch watch;
    std::size_t hits = 0;
    for (const AlignedBuffer& chunk : chunks) {
        hits += scanBufferForHeaders(std::span<const std::uint8_t>(chunk.get(), chunkSize)).size();
    }
    return Timing{watch.seconds(), hits};
}

// The log line each hit costs phase B, written as many times through the engine's log alone.
double hitLinesSeconds(std::size_t hits)
{
    const Stopwatch watch;
    for (std::size_t hit = 0; hit < hits; ++hit) {
        diag::out("找到匹配的文件签名: audio 在偏移量: " + std::to_string(imageSize - 1 - hit));
    }
    return watch.seconds();
}

// The fastest phase B, or a negative time when the image could not be measured.
double measure(const char* contentName, const std::wstring& image, Content content)
{
    if (!writeImage(image, content)) {
        printNote("cannot write the disk image behind B:");
        return -1;
    }
    // The first pass brings the image into the file cache, where every timed pass finds it.
    if (bareReadSeconds() < 0) {
        printNote("raw volume B: cannot be read");
        return -1;
    }
    std::vector<double> bare;
    std::vector<double> scan;
    std::vector<double> inMemory;
    Timing lastScan;
    Timing lastInMemory;
    for (int round = 0; round < rounds; ++round) {
        bare.push_back(bareReadSeconds());
        lastScan = phaseB();
        scan.push_back(lastScan.seconds);
        lastInMemory = inMemoryScan();
        inMemory.push_back(lastInMemory.seconds);
    }
    const double pause = sleepOneSeconds(100);
    const double pauses = static_cast<double>(pauseCount) * pause;

    const std::string what = std::string("sector phase B, 100 MiB ") + contentName;
    printFigure(what, fastest(scan), "bare chunked reads", fastest(bare), "s", "<= 1.2");
    printFigure(what + ", beyond pauses", fastest(scan) - pauses, "bare chunked reads", fastest(bare), "s", "<= 1.2");
    printFigure("  of which the header scan in memory", fastest(inMemory), "bare chunked reads", fastest(bare), "s",
                "none");
    if (lastScan.found > 0) {
        printFigure("  of which the hit lines of the log", hitLinesSeconds(lastScan.found), "bare chunked reads",
                    fastest(bare), "s", "none");
    }
    char note[200];
    std::snprintf(note, sizeof note, "%zu records (%zu hits in memory), %llu pauses of %.3f ms, fastest of %d rounds",
                  lastScan.found, lastInMemory.found, static_cast<unsigned long long>(pauseCount), pause * 1000,
                  rounds);
    printNote(note);
    return fastest(scan);
}

// Phase B of erased media with a filter that wants none of its hits, against zerosSeconds.
bool measureErasedWithFilter(const std::wstring& image, double zerosSeconds)
{
    if (!writeImage(image, Content::erased)) {
        printNote("cannot write the disk image behind B:");
        return false;
    }
    if (bareReadSeconds() < 0) {
        printNote("raw volume B: cannot be read");
        return false;
    }
    std::vector<double> scan;
    Timing last;
    for (int round = 0; round < rounds; ++round) {
        last = phaseB({"image"});
        scan.push_back(last.seconds);
    }
    printFigure("sector phase B, 100 MiB 0xFF, filter image", fastest(scan), "phase B, 100 MiB zeros",
                zerosSeconds, "s", "<= 3");
    char note[120];
    std::snprintf(note, sizeof note, "%zu records, fastest of %d rounds", last.found, rounds);
    printNote(note);
    return true;
}

} // namespace

int main()
{
    const std::wstring image = mappedDriveTarget(L"b::");
    if (image.empty() || mappedDriveTarget(L"b:").empty()) {
        printNote("QUORVANE_DRIVES must map b:: to an image path and b: to an empty folder");
        return 2;
    }
    for (const wchar_t* name : {L"b::", L"b:"}) {
        if (const auto owned = ownDrive(name); !owned) {
            printNote(owned.message());
            return 2;
        }
    }
    bool done = measure("random bytes", image, Content::randomBytes) >= 0;
    const double zeros = done ? measure("zeros", image, Content::zeros) : -1;
    done = zeros >= 0 && measureErasedWithFilter(image, zeros);
    DeleteFileW(image.c_str());
    return done ? 0 : 1;
}
