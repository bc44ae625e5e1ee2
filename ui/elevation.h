#pragma once

// Whether the process token is a member of the built-in Administrators group. Under User
// Account Control an unelevated administrator's token holds the group for deny only, so this
// tells whether the process runs elevated.
bool isRunAsAdmin();

// Starts the program's own executable elevated through the shell; true when it started.
bool relaunchAsAdmin();
