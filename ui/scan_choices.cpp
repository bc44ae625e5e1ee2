#include "scan_choices.h"

#include <algorithm>

namespace {

constexpr std::array<const char*, 4> scenarioKeywords = {
    "accidental_deletion", "empty_recycle_bin", "format", "reinstall_system",
};

constexpr std::array<int, 4> depthBySelection = {3, 4, 5, 10};

bool isSlash(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

std::vector<std::string> categoryKeywords(const std::array<bool, 8>& ticked)
{
    std::vector<std::string> keywords;
    for (size_t i = 0; i < ticked.size(); ++i) {
        if (ticked[i]) {
            keywords.emplace_back(categoryBoxKeywords[i]);
        }
    }
    if (keywords.empty()) {
        keywords.assign(categoryBoxKeywords.begin(), categoryBoxKeywords.end());
    }
    return keywords;
}

std::string scenarioKeyword(long long selection)
{
    if (selection < 0 || selection >= static_cast<long long>(scenarioKeywords.size())) {
        return {};
    }
    return scenarioKeywords[static_cast<size_t>(selection)];
}

int scanDepthFor(long long selection)
{
    if (selection < 0 || selection >= static_cast<long long>(depthBySelection.size())) {
        return 3;
    }
    return depthBySelection[static_cast<size_t>(selection)];
}

std::wstring normalizeLocation(std::wstring text)
{
    if (text.size() <= 3 || text[1] != L':' || !isSlash(text[2])) {
        return text;
    }
    if (!isSlash(text.back())) {
        text += L'\\';
    }
    std::replace(text.begin(), text.end(), L'/', L'\\');
    return text;
}
