#include "log.h"
#include "main_window.h"
#include "progress_mode.h"

#include <commctrl.h>

#include <string>

std::atomic<bool> lastIndeterminate{false};

namespace {

constexpr int progressRangeTop = 10000;
constexpr UINT marqueePeriodMs = 50;

bool isMarquee(HWND bar)
{
    return (GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE) != 0;
}

} // namespace

void MainWindow::setProgressMarquee(bool marquee)
{
    lastIndeterminate.store(marquee);
    if (!progressBar) {
        return;
    }
    const LONG style = GetWindowLongW(progressBar, GWL_STYLE);
    if (marquee) {
        SetWindowLongW(progressBar, GWL_STYLE, style | PBS_MARQUEE);
        SendMessageW(progressBar, PBM_SETMARQUEE, TRUE, marqueePeriodMs);
    } else {
        SetWindowLongW(progressBar, GWL_STYLE, style & ~PBS_MARQUEE);
        SendMessageW(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, progressRangeTop));
    }
}

void MainWindow::setProgress(int position)
{
    // A marquee bar has no position.
    if (!progressBar || isMarquee(progressBar)) {
        return;
    }
    SendMessageW(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, progressRangeTop));
    diag::out("progress: " + std::to_string(position));
    SendMessageW(progressBar, PBM_SETPOS, position, 0);
}

void MainWindow::setStatusText(const std::wstring& text)
{
    if (statusText) {
        SetWindowTextW(statusText, text.c_str());
    }
}

void MainWindow::setProgressStep(int step)
{
    if (progressBar) {
        SendMessageW(progressBar, PBM_SETSTEP, step, 0);
    }
}

void MainWindow::stepProgress(int count)
{
    if (!progressBar) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        SendMessageW(progressBar, PBM_STEPIT, 0, 0);
    }
}
