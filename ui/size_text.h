#pragma once

#include <cstdint>
#include <string>

// A byte count as a result row shows it: "512 B", "1.50 KB", "1024.00 MB", "2048.00 GB".
std::wstring sizeText(std::uint64_t size);
