#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// A file beside the program: the folder of the instance's executable, its last backslash kept,
// followed by `relative`.
std::wstring besideProgram(HINSTANCE instance, std::wstring_view relative);
