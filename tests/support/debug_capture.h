#pragma once

#include <mutex>
#include <string>
#include <vector>

// Captures what this process writes with OutputDebugStringW while the object lives,
// one entry per call, as written (line ends included).
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::wstring> lines() const;
    size_t countOf(const std::wstring& line) const;
};
