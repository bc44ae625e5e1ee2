#pragma once

#include <string>
#include <string_view>

// A fresh folder under the temporary folder, removed with everything in it at the end: its name is
// new, so everything in it was made by the test or by the code under test.
class TempFolder {
public:
    TempFolder();
    // The same inside another folder, for a folder on another volume.
    explicit TempFolder(std::wstring basePath);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return root; }
    std::string narrowPath() const;   // ANSI code page
    std::wstring pathOf(std::wstring_view relative) const;

    // Both create missing parent folders and return the full path.
    std::wstring makeFolder(std::wstring_view relative) const;
    std::wstring writeFile(std::wstring_view relative, std::string_view bytes = {}) const;

private:
    std::wstring root;
};

// Files and folders anywhere else, on a drive of the test's own, are made through MadeFiles
// (made_files.h), which removes them by name.

std::string ansi(std::wstring_view text);
std::wstring unicode(std::string_view ansiText);
