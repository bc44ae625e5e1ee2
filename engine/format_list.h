#pragma once

#include <span>

struct FormatRow {
    const char* name;
    const char* extensions;   // with their dots, joined by "/"
};

// The formats the file-type detector names, for display.
std::span<const FormatRow> formatRows();
