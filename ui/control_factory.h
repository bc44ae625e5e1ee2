#pragma once

#include <windows.h>

class MainWindow;

// Creates every control of the main window once, in a fixed order, and hands the handles to
// the MainWindow. The controls belong to the main window; the factory keeps none of them.
class ControlFactory {
public:
    void createAll(HWND parent, HINSTANCE instance, MainWindow* owner);

private:
    void registerBottomBarClass(HINSTANCE instance);
    void createUiFont(HINSTANCE instance);
    void createMainGroup(HWND parent, HINSTANCE instance);
    void createDiskRow(HWND parent, HINSTANCE instance);
    void createScenarioRow(HWND parent, HINSTANCE instance);
    void createFileTypeRow(HWND parent, HINSTANCE instance);
    void createActionButtons(HWND parent, HINSTANCE instance);
    void createDepthRow(HWND parent, HINSTANCE instance);
    void createSearchRow(HWND parent, HINSTANCE instance);
    void createTabs(HWND parent, HINSTANCE instance);
    void createListViews(HWND parent, HINSTANCE instance);
    void createBottomBar(HWND parent, HINSTANCE instance);
    void applyFont(HWND parent, HFONT font);

    HWND parent = nullptr;
    HINSTANCE hInstance = nullptr;
    MainWindow* owner = nullptr;   // not owned
};
