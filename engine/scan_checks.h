#pragma once

#include <atomic>
#include <string>
#include <vector>

// True when a stop was asked for; then the stop line is written.
bool stopRequested(const std::atomic<bool>* stopFlag);

// An empty list wants every category; otherwise the keyword must be in it exactly.
bool isWantedCategory(const std::vector<std::string>& fileTypes, const std::string& fileType);
