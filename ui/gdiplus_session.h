#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// GDI+ for the life of the program. shutdown() lets it end earlier, at a fixed point of the
// shut-down; the destructor then does nothing more.
class GdiplusSession {
public:
    GdiplusSession()
    {
        const Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
    ~GdiplusSession() { shutdown(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    void shutdown()
    {
        if (token != 0) {
            Gdiplus::GdiplusShutdown(token);
            token = 0;
        }
    }

private:
    ULONG_PTR token = 0;
};
