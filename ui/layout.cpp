#include "control_ids.h"
#include "main_window.h"

// Fixed positions; only the right-hand buttons and some widths and heights follow the client size.
LRESULT MainWindow::onSize(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right;
    const int h = client.bottom;

    const auto place = [](HWND control, int x, int y, int width, int height) {
        if (control) {
            MoveWindow(control, x, y, width, height, TRUE);
        }
    };
    const auto placeItem = [&](int id, int x, int y, int width, int height) {
        place(GetDlgItem(window, id), x, y, width, height);
    };

    placeItem(controlId::mainGroup, 10, 10, w - 130, 84);
    placeItem(controlId::diskLabel, 30, 33, 80, 20);
    placeItem(controlId::scenarioLabel, 360, 33, 80, 20);
    placeItem(controlId::fileTypeLabel, 30, 62, 80, 20);
    for (int i = 0; i < categoryBoxCount; ++i) {
        placeItem(controlId::firstCategoryBox + i, 110 + 60 * i, 62, 60, 20);
    }
    // A combo box's height includes its drop-down list.
    place(pathCombo, 110, 30, 160, 100);
    place(browseButton, 280, 30, 30, 25);
    place(scenarioCombo, 440, 30, 200, 100);
    place(scanButton, w - 110, 20, 100, 30);
    place(recoverButton, w - 110, 61, 100, 30);
    placeItem(controlId::depthGroup, 10, 95, 180, 44);
    placeItem(controlId::depthLabel, 32, 112, 60, 18);
    place(depthCombo, 110, 108, 60, 100);
    placeItem(controlId::searchLabel, 380, 114, 80, 20);
    place(searchEdit, 440, 110, 140, 25);
    if (searchEdit) {
        placeItem(controlId::searchHint, 590, 114, w - 40, 20);
    }
    place(tabControl, 10, 148, w - 20, 30);
    for (size_t i = 0; i < tabCount; ++i) {
        if (i < listViews.size()) {
            place(listViews[i], 10, 176, w - 20, h - 206);
        }
        if (i < emptyStateViews.size()) {
            place(emptyStateViews[i].getHwnd(), 10, 176, w - 20, h - 206);
        }
    }
    place(bottomBar, 0, h - 30, w, 30);
    place(statusText, 10, h - 24, 400, 20);
    place(progressBar, 420, h - 24, w - 440, 20);
    return 0;
}
