#pragma once

#include <string>
#include <string_view>

// A fresh folder under the temporary folder, removed with everything in it at the end.
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

// The same for full paths anywhere.
std::wstring makeFolderAt(const std::wstring& full);
std::wstring writeFileAt(const std::wstring& full, std::string_view bytes = {});

// Removes a folder with everything in it; links to folders are removed, not followed.
void removeTree(const std::wstring& folder);

std::string ansi(std::wstring_view text);
std::wstring unicode(std::string_view ansiText);
