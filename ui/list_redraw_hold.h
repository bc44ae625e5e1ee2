#pragma once

#include <windows.h>

#include <vector>

// Holds off the drawing of list views while rows are added to them in a run, and lets it go
// afterwards. A drawn list view updates its scroll bars and its window for every row (under Wine
// that takes milliseconds a row), though nothing is painted while more rows wait in the queue.
// Nothing may show or hide a held list: release it first.
class ListRedrawHold {
public:
    ListRedrawHold() = default;
    ListRedrawHold(const ListRedrawHold&) = delete;
    ListRedrawHold& operator=(const ListRedrawHold&) = delete;

    // Holds the lists that are not held yet.
    void hold(const std::vector<HWND>& lists);
    // Lets every held list draw again, as shown or hidden as it was when held.
    void release();
    // The same for the held lists that are shown; the hidden ones, with nothing to draw, stay held.
    void releaseShown();
    bool holdingShown() const;

private:
    struct Held {
        HWND list;
        bool shown;
    };
    static void letGo(const Held& entry);

    std::vector<Held> held;
};
