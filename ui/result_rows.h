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

// Appends a row at the end of the list. The row owns a heap copy of the record as its item data,
// freed when the list reports the row's deletion. Returns the row's index, or -1 when the list
// refused the row.
int appendResultRow(HWND list, const RowTexts& texts, const FileInfo& file);

// The number of rows of a list; 0 for a handle that is no window.
int rowCount(HWND list);
