#pragma once

// The main window's title in the user's language.
const wchar_t* windowTitle();
