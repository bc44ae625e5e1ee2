#include "log.h"

#include "text_encoding.h"

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

namespace {

// std::wcout in the "C" locale fails at the first character outside ASCII and then drops
// every later line. This buffer writes UTF-8 bytes to stdout instead, through the same
// stdio stream as std::cout, so narrow and wide lines keep their order.
class Utf8StdoutBuffer : public std::wstreambuf {
protected:
    int_type overflow(int_type ch) override
    {
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            const wchar_t c = traits_type::to_char_type(ch);
            write(&c, 1);
        }
        return traits_type::not_eof(ch);
    }

    std::streamsize xsputn(const wchar_t* text, std::streamsize count) override
    {
        write(text, static_cast<size_t>(count));
        return count;
    }

    int sync() override
    {
        return std::fflush(stdout) == 0 ? 0 : -1;
    }

private:
    void write(const wchar_t* text, size_t count)
    {
        std::wstring pending;
        if (highSurrogate != 0) {
            pending.push_back(highSurrogate);
            highSurrogate = 0;
        }
        pending.append(text, count);
        // Keep a trailing half of a surrogate pair until its other half arrives.
        if (!pending.empty() && pending.back() >= 0xD800 && pending.back() <= 0xDBFF) {
            highSurrogate = pending.back();
            pending.pop_back();
        }
        const auto bytes = toNarrow(pending, utf8CodePage);
        if (bytes && !bytes->empty()) {
            std::fwrite(bytes->data(), 1, bytes->size(), stdout);
        }
    }

    wchar_t highSurrogate = 0;
};

// Made once and never destroyed: std::wcout itself is never destroyed and takes its last flush at
// exit after file-level objects are gone, and destructors that run late may still write lines.
Utf8StdoutBuffer* const wideStdout = [] {
    auto* buffer = new Utf8StdoutBuffer;
    std::wcout.rdbuf(buffer);
    return buffer;
}();

} // namespace

namespace diag {

void out(std::string_view line)
{
    std::cout.write(line.data(), static_cast<std::streamsize>(line.size())) << std::endl;
}

void error(std::string_view line)
{
    std::cerr.write(line.data(), static_cast<std::streamsize>(line.size())) << std::endl;
}

void wide(std::wstring_view line)
{
    std::wcout.write(line.data(), static_cast<std::streamsize>(line.size())) << std::endl;
}

} // namespace diag
