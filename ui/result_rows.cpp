#include "result_rows.h"

#include "size_text.h"
#include "text_encoding.h"

#include <commctrl.h>

#include <exception>
#include <memory>

namespace {

void setSubItemText(HWND list, int index, int subItem, const std::wstring& text)
{
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

} // namespace

RowTexts rowTexts(const FileInfo& file, RowTextPart part)
{
    RowTexts texts;
    try {
        texts.name = toWide(file.name).value_or(L"[转换失败]");
        texts.path = toWide(file.path).value_or(L"[未知路径]");
        if (part == RowTextPart::all) {
            texts.type = toWide(file.fileType).value_or(L"[未知类型]");
            texts.status = toWide(file.status).value_or(L"[未知状态]");
        }
    } catch (const std::exception&) {
        texts.name = L"[转换异常]";
        texts.type = L"[未知类型]";
        texts.status = L"[未知状态]";
        texts.path = L"[未知路径]";
    }
    if (part == RowTextPart::all) {
        texts.size = sizeText(file.size);
    }
    return texts;
}

int appendResultRow(HWND list, const RowTexts& texts, const FileInfo& file)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = rowCount(list);
    item.pszText = const_cast<wchar_t*>(texts.name.c_str());
    const auto index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) {
        return -1;
    }
    setSubItemText(list, index, 1, texts.size);
    setSubItemText(list, index, 2, texts.type);
    setSubItemText(list, index, 3, texts.status);
    setSubItemText(list, index, 4, texts.path);

    auto copy = std::make_unique<FileInfo>(file);
    LVITEMW data = {};
    data.mask = LVIF_PARAM;
    data.iItem = index;
    data.lParam = reinterpret_cast<LPARAM>(copy.get());
    if (SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data))) {
        copy.release();   // the row owns it now
    }
    return index;
}

int rowCount(HWND list)
{
    if (!list || !IsWindow(list)) {
        return 0;
    }
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}
