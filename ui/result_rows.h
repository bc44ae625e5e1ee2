#pragma once

#include "file_info.h"

#include <windows.h>

#include <string>

// The five column texts of a result row.
struct RowTexts {
    std::wstring name;
    std::wstring size;
    std::wstring type;
    std::wstring status;
    std::wstring path;
};

// What rowTexts builds: the whole row, or only the name and the path that the search matches on.
enum class RowTextPart { all, nameAndPath };

// A record's column texts, the one way every result list builds them. A text that cannot be
// converted shows its fallback ("[转换失败]", "[未知类型]", "[未知状态]", "[未知路径]"); when a conversion
// throws, every text does ("[转换异常]" for the name).
RowTexts rowTexts(const FileInfo& file, RowTextPart part = RowTextPart::all);

// Appends a row at the end of the list. The row owns a heap copy of the record as its item data,
// freed when the list reports the row's deletion. Returns the row's index, or -1 when the list
// refused the row.
int appendResultRow(HWND list, const RowTexts& texts, const FileInfo& file);

// The number of rows of a list; 0 for a handle that is no window.
int rowCount(HWND list);
