#pragma once

#include <cstdint>
#include <functional>
#include <string>

// One found or recovered file. Narrow texts naming files are in the ANSI code page;
// keyword fields hold ASCII; the fixed words of the description are UTF-8.
struct FileInfo {
    std::string id;
    std::string name;
    std::string path;
    std::uint64_t size = 0;
    std::string modifiedTime;
    std::string status = "unknown";
    std::string fileType = "unknown";
    std::string extension;
    std::string description;
    std::string recoveryMethod = "unknown";
};

using FileFoundCallback = std::function<void(const FileInfo&)>;
// (position, total, count); a total of 0 means no total is known.
using ProgressCallback = std::function<void(std::uint64_t, std::uint64_t, std::uint64_t)>;
