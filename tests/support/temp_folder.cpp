#include "temp_folder.h"

#include "text_encoding.h"
#include "unique_handle.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace {

void createParents(const std::wstring& path)
{
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
}

// Removes a folder with everything in it; links to folders are removed, not followed.
void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry{};
    FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (isFolder && !isLink) {
                removeTree(full);
            } else if (isFolder) {
                RemoveDirectoryW(full.c_str());
            } else {
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(search.get(), &entry));
    }
    search.reset();
    RemoveDirectoryW(folder.c_str());
}

std::wstring temporaryFolder()
{
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    return base;
}

} // namespace

TempFolder::TempFolder() : TempFolder(temporaryFolder())
{
}

TempFolder::TempFolder(std::wstring basePath)
{
    static std::atomic<unsigned> sequence{0};
    if (!basePath.empty() && basePath.back() == L'\\') {
        basePath.pop_back();
    }
    root = basePath + L"\\quorvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(sequence++);
    if (!CreateDirectoryW(root.c_str(), nullptr)) {
        throw std::runtime_error("cannot create the test folder");
    }
}

TempFolder::~TempFolder()
{
    removeTree(root);
}

std::string TempFolder::narrowPath() const
{
    return ansi(root);
}

std::wstring TempFolder::pathOf(std::wstring_view relative) const
{
    return root + L"\\" + std::wstring(relative);
}

std::wstring TempFolder::makeFolder(std::wstring_view relative) const
{
    const std::wstring full = pathOf(relative);
    createParents(full);
    CreateDirectoryW(full.c_str(), nullptr);
    return full;
}

std::wstring TempFolder::writeFile(std::wstring_view relative, std::string_view bytes) const
{
    const std::wstring full = pathOf(relative);
    createParents(full);
    FileHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot create a test file");
    }
    DWORD written = 0;
    if (!bytes.empty()) {
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    return full;
}

std::string ansi(std::wstring_view text)
{
    return toNarrow(text).value_or("");
}

std::wstring unicode(std::string_view ansiText)
{
    return toWide(ansiText).value_or(L"");
}
