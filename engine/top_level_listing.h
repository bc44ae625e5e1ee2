#pragma once

#include "recovery_engine.h"

// The kinds of record that the listings of fixed folders make.
enum class TopLevelRecord {
    recycleBin,   // a file at the top of the recycle-bin folder
    userData,     // a file at the top of a user-data root
};

// Lists the files directly inside folder (sub-folders are passed over), reports every wanted one
// and counts it into counter. A folder that cannot be listed reports nothing. False when a stop
// request ended the listing; the stop line is written then.
bool listTopLevelFiles(const RecoveryEngine& engine,
                       const std::string& folder,
                       TopLevelRecord kind,
                       const std::vector<std::string>& fileTypes,
                       const FileFoundCallback& onFileFound,
                       const std::atomic<bool>* stopFlag,
                       const ProgressCallback& onProgress,
                       std::uint64_t& counter,
                       std::uint64_t totalSectors);
