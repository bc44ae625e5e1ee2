#include "window_title.h"

#include <windows.h>

const wchar_t* windowTitle()
{
    constexpr const wchar_t* chineseTitle = L"Quorvane v1.0";
    constexpr const wchar_t* otherTitle = L"Quorvane v1.0";
    return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_CHINESE ? chineseTitle : otherTitle;
}
