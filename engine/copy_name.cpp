#include "copy_name.h"

bool isRefusedCopyName(std::wstring_view name)
{
    return name.empty() || name == L"." || name == L".." || name.find_first_of(L"\\/:") != std::wstring_view::npos;
}

std::wstring numberedCopyName(std::wstring_view name, std::uint64_t number)
{
    if (number <= 1) {
        return std::wstring(name);
    }
    const std::wstring suffix = L" (" + std::to_wstring(number) + L")";
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) {
        return std::wstring(name) + suffix;
    }
    return std::wstring(name.substr(0, dot)) + suffix + std::wstring(name.substr(dot));
}

void CopyNumbering::used(std::wstring_view name, std::uint64_t number)
{
    const auto known = nextNumber.find(name);
    if (known == nextNumber.end()) {
        nextNumber.emplace(std::wstring(name), number + 1);
    } else if (known->second <= number) {
        known->second = number + 1;
    }
}

std::uint64_t CopyNumbering::firstToTry(std::wstring_view name) const
{
    const auto known = nextNumber.find(name);
    return known == nextNumber.end() ? 1 : known->second;
}
