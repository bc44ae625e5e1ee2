#pragma once

#include "category_table.h"

#include <span>

// The file-type detector's extension rows in build order; a key that occurs twice keeps its first row.
std::span<const CategoryRow> detectorExtensionRows();
