#include "stream_capture.h"

#include <algorithm>

namespace {

template <typename Char>
std::vector<std::basic_string<Char>> splitLines(const std::basic_string<Char>& text)
{
    std::vector<std::basic_string<Char>> lines;
    std::basic_istringstream<Char> input(text);
    std::basic_string<Char> line;
    while (std::getline(input, line)) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

StreamCapture::StreamCapture()
    : savedOut(std::cout.rdbuf(out.rdbuf())),
      savedError(std::cerr.rdbuf(error.rdbuf())),
      savedWide(std::wcout.rdbuf(wide.rdbuf()))
{
}

StreamCapture::~StreamCapture()
{
    std::cout.rdbuf(savedOut);
    std::cerr.rdbuf(savedError);
    std::wcout.rdbuf(savedWide);
}

std::vector<std::string> StreamCapture::outLines() const
{
    return splitLines(out.str());
}

std::vector<std::string> StreamCapture::errorLines() const
{
    return splitLines(error.str());
}

std::vector<std::wstring> StreamCapture::wideLines() const
{
    return splitLines(wide.str());
}

size_t countOf(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}
