#include "list_redraw_hold.h"

#include <algorithm>

namespace {

bool hasVisibleStyle(HWND window)
{
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

} // namespace

void ListRedrawHold::hold(const std::vector<HWND>& lists)
{
    for (HWND list : lists) {
        const bool alreadyHeld =
            std::any_of(held.begin(), held.end(), [list](const Held& entry) { return entry.list == list; });
        if (!list || alreadyHeld) {
            continue;
        }
        held.push_back({list, hasVisibleStyle(list)});
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    }
}

void ListRedrawHold::release()
{
    for (const Held& entry : held) {
        letGo(entry);
    }
    held.clear();
}

void ListRedrawHold::releaseShown()
{
    const auto hidden = std::partition(held.begin(), held.end(), [](const Held& entry) { return !entry.shown; });
    std::for_each(hidden, held.end(), letGo);
    held.erase(hidden, held.end());
}

bool ListRedrawHold::holdingShown() const
{
    return std::any_of(held.begin(), held.end(), [](const Held& entry) { return entry.shown; });
}

void ListRedrawHold::letGo(const Held& entry)
{
    SendMessageW(entry.list, WM_SETREDRAW, TRUE, 0);
    // A window that leaves the message to DefWindowProc has its visible style cleared by FALSE and
    // set by TRUE, shown or not: a hidden list must not come out of the hold shown.
    if (hasVisibleStyle(entry.list) != entry.shown) {
        ShowWindow(entry.list, entry.shown ? SW_SHOW : SW_HIDE);
    }
    if (entry.shown) {
        RedrawWindow(entry.list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}
