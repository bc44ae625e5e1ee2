#pragma once

#include <span>

struct CategoryRow {
    const char* extension;
    const char* category;
};

// The engine's own extension table; the file-type detector keeps a separate, larger one.
std::span<const CategoryRow> engineCategoryRows();
