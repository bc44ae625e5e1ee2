#include "control_ids.h"
#include "main_window.h"
#include "ui_colors.h"

#include <commctrl.h>

HBRUSH MainWindow::onCtlColorStatic(HDC dc, HWND control)
{
    const auto id = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
    SetTextColor(dc, id == controlId::searchHint ? uiColor::accent : uiColor::black);
    if (id == controlId::statusText) {
        SetBkColor(dc, uiColor::panel);
        if (!panelBrush) {
            panelBrush.reset(CreateSolidBrush(uiColor::panel));
        }
        return panelBrush.get();
    }
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, uiColor::white);
    if (!whiteBrush) {
        whiteBrush.reset(CreateSolidBrush(uiColor::white));
    }
    return whiteBrush.get();
}

BOOL MainWindow::onDrawItem(const DRAWITEMSTRUCT* item)
{
    if (item->CtlID != controlId::tabControl) {
        return FALSE;
    }
    const bool selected =
        static_cast<LRESULT>(item->itemID) == SendMessageW(tabControl, TCM_GETCURSEL, 0, 0);

    RECT area = item->rcItem;
    {
        const GdiBrush fill(CreateSolidBrush(selected ? uiColor::accent : uiColor::panel));
        FillRect(item->hDC, &area, fill.get());
    }
    SetTextColor(item->hDC, selected ? uiColor::white : uiColor::black);
    SetBkMode(item->hDC, TRANSPARENT);

    wchar_t text[32] = {};
    TCITEMW tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = text;
    tab.cchTextMax = 32;
    SendMessageW(tabControl, TCM_GETITEMW, item->itemID, reinterpret_cast<LPARAM>(&tab));
    DrawTextW(item->hDC, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return TRUE;
}
