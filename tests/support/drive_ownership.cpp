#include "drive_ownership.h"

#include "mapped_drive.h"
#include "unique_handle.h"

#include <windows.h>

#include <cwctype>
#include <mutex>
#include <optional>
#include <set>

namespace {

constexpr const wchar_t* markerSuffix = L".quorvane-drive";
constexpr DWORD imageProbeBytes = 4096;   // a whole number of sectors, as a volume read must be

std::mutex provenLock;
std::set<std::wstring> provenNames;   // lower case, as QUORVANE_DRIVES names them

std::wstring lowered(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return lower;
}

bool isRawVolumeName(std::wstring_view name)
{
    return name.size() == 3 && name.ends_with(L"::");
}

bool isFolderDriveName(std::wstring_view name)
{
    return name.size() == 2 && name[1] == L':';
}

std::wstring letterOf(std::wstring_view name)
{
    return std::wstring(1, static_cast<wchar_t>(std::towupper(name[0]))) + L":";
}

std::string runToken()
{
    wchar_t value[256] = {};
    const DWORD length = GetEnvironmentVariableW(L"QUORVANE_DRIVE_TOKEN", value, 256);
    if (length == 0 || length >= 256) {
        return {};
    }
    // The token is hexadecimal digits, so each character is one byte.
    return std::string(value, value + length);
}

// The marker's text without its line end; nothing when it cannot be read, with the error code.
std::optional<std::string> readMarker(const std::wstring& path, DWORD& error)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return std::nullopt;
    }
    char bytes[256] = {};
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, sizeof(bytes), &read, nullptr)) {
        error = GetLastError();
        return std::nullopt;
    }
    std::string text(bytes, read);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

::testing::AssertionResult refused(std::wstring_view name, const std::wstring& reason)
{
    return ::testing::AssertionFailure()
           << "refusing drive \"" << std::wstring(name) << "\": " << reason
           << ". Tests touch only drives that scripts/wine-run mapped for this run (QUORVANE_DRIVES, as CTest "
              "sets it), proven by a marker holding the run's token; nothing on "
           << letterOf(name) << " was touched.";
}

// Checks that the marker file holds the run's token; on success the marker, read, is removed.
::testing::AssertionResult markerHoldsToken(std::wstring_view name, const std::wstring& marker,
                                            const std::string& token)
{
    DWORD error = 0;
    const auto text = readMarker(marker, error);
    if (!text) {
        return refused(name, marker + L" cannot be read (error " + std::to_wstring(error) + L")");
    }
    if (*text != token) {
        return refused(name, marker + L" does not hold this run's token");
    }
    DeleteFileW(marker.c_str());
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult proveFolderDrive(std::wstring_view name, const std::string& token)
{
    return markerHoldsToken(name, letterOf(name) + L"\\" + markerSuffix, token);
}

// The first bytes of the raw volume, or nothing when it cannot be opened or read.
std::optional<std::string> volumeStart(std::wstring_view name)
{
    const std::wstring device = L"\\\\.\\" + letterOf(name);
    FileHandle volume(CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!volume) {
        return std::nullopt;
    }
    std::string bytes(imageProbeBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(volume.get(), bytes.data(), imageProbeBytes, &read, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(read);
    return bytes;
}

bool writeProbeImage(const std::wstring& image, const std::string& token)
{
    FileHandle file(CreateFileW(image.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    std::string bytes(imageProbeBytes, '\0');
    bytes.replace(0, token.size(), token);
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), imageProbeBytes, &written, nullptr) &&
           written == imageProbeBytes;
}

::testing::AssertionResult proveRawVolume(std::wstring_view name, const std::string& token)
{
    const std::wstring image = mappedDriveTarget(name);
    if (image.empty()) {
        return refused(name, L"QUORVANE_DRIVES maps no " + std::wstring(name));
    }
    if (auto marked = markerHoldsToken(name, image + markerSuffix, token); !marked) {
        return marked;
    }
    // The image's path is the run's own now; whether the letter shows that image, only its bytes tell.
    if (!writeProbeImage(image, token)) {
        DeleteFileW(image.c_str());
        return refused(name, L"cannot write " + image);
    }
    const auto shown = volumeStart(name);
    DeleteFileW(image.c_str());
    if (!shown || !shown->starts_with(token)) {
        return refused(name, L"\\\\.\\" + letterOf(name) + L" does not show the image " + image);
    }
    return ::testing::AssertionSuccess();
}

} // namespace

::testing::AssertionResult ownDrive(std::wstring_view name)
{
    const std::wstring key = lowered(name);
    if (!isRawVolumeName(key) && !isFolderDriveName(key)) {
        return ::testing::AssertionFailure() << "not a drive name: " << std::wstring(name)
                                             << " (expected \"y:\" or \"x::\")";
    }
    std::lock_guard<std::mutex> guard(provenLock);
    if (provenNames.count(key) != 0) {
        return ::testing::AssertionSuccess();
    }
    const std::string token = runToken();
    if (token.empty()) {
        return refused(key, L"QUORVANE_DRIVE_TOKEN is not set");
    }
    auto proof = isRawVolumeName(key) ? proveRawVolume(key, token) : proveFolderDrive(key, token);
    if (proof) {
        provenNames.insert(key);
    }
    return proof;
}

bool isOnOwnDrive(std::wstring_view path)
{
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\') {
        return false;
    }
    std::lock_guard<std::mutex> guard(provenLock);
    return provenNames.count(lowered(path.substr(0, 2))) != 0;
}
