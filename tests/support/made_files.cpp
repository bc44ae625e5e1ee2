#include "made_files.h"

#include "drive_ownership.h"
#include "text_encoding.h"
#include "unique_handle.h"

#include <windows.h>

#include <stdexcept>

namespace {

std::string described(const std::wstring& path)
{
    return toNarrow(path, utf8CodePage).value_or("(a path that cannot be shown)");
}

bool isInTemporaryFolder(const std::wstring& path)
{
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    return length > 3 && length <= MAX_PATH && path.size() > length &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(length), base, static_cast<int>(length), TRUE) ==
               CSTR_EQUAL;
}

void requireOwnPlace(const std::wstring& path)
{
    if (!isOnOwnDrive(path) && !isInTemporaryFolder(path)) {
        throw std::logic_error("refusing to make " + described(path) +
                               ": it is neither in the temporary folder nor on a drive this test proved its own "
                               "with ownDrive");
    }
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder, or a link to one, goes only when empty; a file goes whatever its attributes.
void removeOne(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
        return;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

} // namespace

MadeFiles::~MadeFiles()
{
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        removeOne(*it);
    }
}

std::wstring MadeFiles::writeFile(const std::wstring& path, std::string_view bytes)
{
    requireOwnPlace(path);
    makeParents(path);
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file) {
        throw std::runtime_error("cannot create the test file " + described(path));
    }
    made.push_back(path);
    DWORD written = 0;
    if (!bytes.empty() &&
        (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
         written != bytes.size())) {
        throw std::runtime_error("cannot write the test file " + described(path));
    }
    return path;
}

std::wstring MadeFiles::makeFolder(const std::wstring& path)
{
    requireOwnPlace(path);
    makeParents(path);
    if (!makeOneFolder(path) && !exists(path)) {
        throw std::runtime_error("cannot create the test folder " + described(path));
    }
    return path;
}

void MadeFiles::claim(const std::wstring& path)
{
    if (exists(path)) {
        throw std::logic_error("cannot claim " + described(path) + ": something is there already");
    }
    made.push_back(path);
}

void MadeFiles::makeParents(const std::wstring& path)
{
    // From the first separator after the drive root: "Y:\a\b\c.txt" makes "Y:\a" and "Y:\a\b".
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
        makeOneFolder(path.substr(0, slash));
    }
}

bool MadeFiles::makeOneFolder(const std::wstring& path)
{
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        return false;
    }
    made.push_back(path);
    return true;
}
