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
    : savedOut(std::cout.rdbuf(&out)),
      savedError(std::cerr.rdbuf(&error)),
      savedWide(std::wcout.rdbuf(&wide))
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
    return splitLines(out.text());
}

std::vector<std::string> StreamCapture::errorLines() const
{
    return splitLines(error.text());
}

std::vector<std::wstring> StreamCapture::wideLines() const
{
    return splitLines(wide.text());
}

size_t countOf(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}
