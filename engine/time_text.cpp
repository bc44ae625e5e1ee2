#include "time_text.h"

#include <cstddef>

namespace {

// The number in decimal, led by zeros up to the width, as a stream with fill '0' and that width
// writes it (the zeros go before a minus sign). Every listed file passes here, so no stream.
void appendPadded(std::string& text, int value, std::size_t width)
{
    const std::string digits = std::to_string(value);
    if (digits.size() < width) {
        text.append(width - digits.size(), '0');
    }
    text += digits;
}

} // namespace

std::string calendarTimeText(int year, int month, int day, int hour, int minute, int second)
{
    std::string text;
    text.reserve(19);
    appendPadded(text, year, 4);
    text += '-';
    appendPadded(text, month, 2);
    text += '-';
    appendPadded(text, day, 2);
    text += ' ';
    appendPadded(text, hour, 2);
    text += ':';
    appendPadded(text, minute, 2);
    text += ':';
    appendPadded(text, second, 2);
    return text;
}
