#pragma once

#include <iostream>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

// A stream buffer that collects text and may be written from several threads at once: a scan
// worker writes the engine's lines while the window's thread writes its own.
template <typename Char>
class SharedTextBuffer : public std::basic_streambuf<Char> {
public:
    using Traits = typename std::basic_streambuf<Char>::traits_type;

    std::basic_string<Char> text() const
    {
        std::lock_guard<std::mutex> guard(lock);
        return collected;
    }

protected:
    typename Traits::int_type overflow(typename Traits::int_type ch) override
    {
        if (!Traits::eq_int_type(ch, Traits::eof())) {
            std::lock_guard<std::mutex> guard(lock);
            collected.push_back(Traits::to_char_type(ch));
        }
        return Traits::not_eof(ch);
    }

    std::streamsize xsputn(const Char* text, std::streamsize count) override
    {
        std::lock_guard<std::mutex> guard(lock);
        collected.append(text, static_cast<size_t>(count));
        return count;
    }

private:
    mutable std::mutex lock;
    std::basic_string<Char> collected;
};

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
    SharedTextBuffer<char> out;
    SharedTextBuffer<char> error;
    SharedTextBuffer<wchar_t> wide;
    std::streambuf* savedOut;
    std::streambuf* savedError;
    std::wstreambuf* savedWide;
};

// How many lines equal the given one.
size_t countOf(const std::vector<std::string>& lines, const std::string& line);
