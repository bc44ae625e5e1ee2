#pragma once

#include <string>

// The detector's answer for one file.
struct FileTypeInfo {
    std::string type;
    std::string extension;
    std::string description;   // UTF-8
};
