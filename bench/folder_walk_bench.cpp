// The folder walk over a tree of 100,000 files against a bare FindFirstFileW / FindNextFileW loop
// over the same tree. The walk's pacing pauses stay: they are counted from the walk's own reports,
// priced with Sleep(1) measured on another thread while the walk runs, and the figure is the time
// the walk spends beyond them.
//
// scripts/bench makes the tree on the Linux side and maps it as drive B: (Wine takes about half a
// minute to create 100,000 files and as long to remove them): three levels of ten folders over
// 1,000 folders of 100 empty files each, named file<n> with the extensions below in turn.

#include "drive_ownership.h"
#include "figure_line.h"
#include "mapped_drive.h"
#include "recovery_engine.h"
#include "stopwatch.h"
#include "temp_folder.h"
#include "unique_handle.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int rounds = 5;

// Of the extensions in the tree (.jpg .docx .mp4 .mp3 .zip .txt .eml .dat), the first four are
// wanted; the walk passes over the rest.
const std::vector<std::string> wanted = {"image", "document", "video", "audio"};

struct Listing {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
};

void bareWalk(const std::wstring& folder, Listing& listing)
{
    WIN32_FIND_DATAW entry{};
    const FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!search) {
        return;
    }
    do {
        const std::wstring_view name(entry.cFileName);
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ++listing.files;
        } else if (name != L"." && name != L"..") {
            ++listing.folders;
            bareWalk(folder + L"\\" + std::wstring(name), listing);
        }
    } while (FindNextFileW(search.get(), &entry));
}

struct WalkRun {
    double seconds = 0;
    std::uint64_t files = 0;
    std::uint64_t kept = 0;
    std::uint64_t pauses = 0;
};

// In this tree no folder holds both files and folders, so the walk pauses after every subfolder
// (entered while its folder's file count stands at 0) and, as its reports show, after a kept file
// whose count in its folder reaches a multiple of 25 or a passed-over one at a multiple of 50.
WalkRun engineWalk(const std::string& root, std::uint64_t folders)
{
    RecoveryEngine engine;
    WalkRun run;
    run.pauses = folders;
    bool lastKept = false;   // a kept file is reported before its progress
    std::uint64_t position = 0;
    const Stopwatch watch;
    RecoveryEngine::scanDirectoryRecursive(
        root, wanted, [&](const FileInfo&) { lastKept = true; }, &engine, nullptr, 0, 10,
        [&](std::uint64_t, std::uint64_t, std::uint64_t count) {
            ++run.files;
            run.kept += lastKept ? 1 : 0;
            run.pauses += count % (lastKept ? 25 : 50) == 0 ? 1 : 0;
            lastKept = false;
        },
        &position, 0);
    run.seconds = watch.seconds();
    return run;
}

} // namespace

int main()
{
    const std::wstring root = mappedDriveTarget(L"b:");
    if (root.empty()) {
        printNote("QUORVANE_DRIVES must map b: to the tree");
        return 2;
    }
    // Also takes the drive's marker out of the tree, so that the walk counts only the tree.
    if (const auto owned = ownDrive(L"b:"); !owned) {
        printNote(owned.message());
        return 2;
    }

    Listing listing;
    bareWalk(root, listing);   // the first listing fills the caches that every timed one finds full
    if (listing.files == 0) {
        printNote("the tree behind B: holds no files");
        return 1;
    }
    std::vector<double> bare;
    std::vector<double> beyondPauses;
    WalkRun last;
    double pause = 0;
    for (int round = 0; round < rounds; ++round) {
        const Stopwatch watch;
        Listing timed;
        bareWalk(root, timed);
        bare.push_back(watch.seconds());
        SleepSampler sampler;
        last = engineWalk(ansi(root), listing.folders);
        pause = sampler.finish();
        beyondPauses.push_back(last.seconds - static_cast<double>(last.pauses) * pause);
    }
    printFigure("folder walk, 100,000 files, beyond pauses", fastest(beyondPauses), "bare FindFirstFileW loop",
                fastest(bare), "s", "<= 1.2");
    char note[240];
    std::snprintf(note, sizeof note,
                  "%llu files walked (%llu kept), %llu files and %llu folders listed bare; %llu pauses of "
                  "%.3f ms; the walk took %.2f s in all; fastest of %d rounds",
                  static_cast<unsigned long long>(last.files), static_cast<unsigned long long>(last.kept),
                  static_cast<unsigned long long>(listing.files), static_cast<unsigned long long>(listing.folders),
                  static_cast<unsigned long long>(last.pauses), pause * 1000, last.seconds, rounds);
    printNote(note);
    return 0;
}
