#pragma once

#include "elevation.h"

#include <windows.h>

#include <functional>

// How the start-up learns whether it runs elevated and how it restarts itself elevated.
// The program uses the real ones; tests pass their own to reach the elevation offer.
struct ElevationHooks {
    std::function<bool()> isAdministrator = isRunAsAdmin;
    std::function<bool()> relaunchElevated = relaunchAsAdmin;
};

// The whole run of the program, from the single-instance check to the shut-down;
// returns the process exit code.
int runProgram(HINSTANCE instance, const ElevationHooks& hooks = {});
