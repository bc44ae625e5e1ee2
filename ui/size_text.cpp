#include "size_text.h"

#include <iomanip>
#include <locale>
#include <sstream>

std::wstring sizeText(std::uint64_t size)
{
    constexpr std::uint64_t kilobyte = 1024;
    constexpr std::uint64_t megabyte = kilobyte * 1024;
    constexpr std::uint64_t gigabyte = megabyte * 1024;

    std::wostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(2);
    if (size < kilobyte) {
        text << size << L" B";
    } else if (size < megabyte) {
        text << static_cast<double>(size) / 1024.0 << L" KB";
    } else if (size < gigabyte) {
        text << static_cast<double>(size) / 1048576.0 << L" MB";
    } else {
        text << static_cast<double>(size) / 1073741824.0 << L" GB";
    }
    return text.str();
}
