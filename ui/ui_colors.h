#pragma once

#include <windows.h>

// The window's colours (COLORREF: red in the low byte).
namespace uiColor {

constexpr COLORREF accent = RGB(18, 150, 219);
constexpr COLORREF panel = RGB(240, 240, 240);
constexpr COLORREF progressBackground = RGB(230, 230, 230);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);

} // namespace uiColor
