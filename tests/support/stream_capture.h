#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// Captures the standard output, standard error and wide standard output streams in-process.
class StreamCapture {
public:
    StreamCapture();
    ~StreamCapture();
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    std::vector<std::string> outLines() const;
    std::vector<std::string> errorLines() const;
    std::vector<std::wstring> wideLines() const;

private:
    std::ostringstream out;
    std::ostringstream error;
    std::wostringstream wide;
    std::streambuf* savedOut;
    std::streambuf* savedError;
    std::wstreambuf* savedWide;
};

// How many lines equal the given one.
size_t countOf(const std::vector<std::string>& lines, const std::string& line);
