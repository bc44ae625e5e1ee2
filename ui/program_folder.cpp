#include "program_folder.h"

std::wstring besideProgram(HINSTANCE instance, std::wstring_view relative)
{
    wchar_t modulePath[MAX_PATH] = {};
    GetModuleFileNameW(instance, modulePath, MAX_PATH);
    std::wstring path = modulePath;
    path.erase(path.rfind(L'\\') + 1);
    path += relative;
    return path;
}
