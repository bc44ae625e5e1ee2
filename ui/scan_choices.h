#pragma once

#include <array>
#include <string>
#include <vector>

// How the controls of the main window turn into the parameters of a scan.

// The category keyword of each check box, 2000 to 2007, in box order.
constexpr std::array<const char*, 8> categoryBoxKeywords = {
    "document", "image", "video", "audio", "email", "archive", "other", "text",
};

// The keywords of the ticked boxes in box order; every keyword when none is ticked.
std::vector<std::string> categoryKeywords(const std::array<bool, 8>& ticked);

// The scenario keyword of a selection of the scenario box; empty (the comprehensive scan) for
// no selection or any other index.
std::string scenarioKeyword(long long selection);

// The deepest folder level of a selection of the depth box: 3, 4, 5, or 10 for "不限"; 3 otherwise.
int scanDepthFor(long long selection);

// A typed drive path such as "D:/data" becomes "D:\data\": a text of more than three characters
// with ":" second and a slash third ends in a separator and has backslashes only. Every other
// text comes back unchanged.
std::wstring normalizeLocation(std::wstring text);
