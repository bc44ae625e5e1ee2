#include "log.h"
#include "recovery_engine.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>

namespace {

// Empty when the variable is not set: the fallback paths then simply lack the user's name.
std::string userName()
{
    const DWORD size = GetEnvironmentVariableA("USERNAME", nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA("USERNAME", value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

std::string userFolder(const char* leaf)
{
    return "C:\\Users\\" + userName() + "\\" + leaf + "\\";
}

std::string shellFolder(int folderId, const char* fallbackLeaf)
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return userFolder(fallbackLeaf);
    }
    return folder;
}

std::optional<std::string> aliasPath(const std::string& alias)
{
    if (alias == "local_disk_c") {
        return "C:\\";
    }
    if (alias == "local_disk_d") {
        return "D:\\";
    }
    if (alias == "desktop") {
        return shellFolder(CSIDL_DESKTOP, "Desktop");
    }
    if (alias == "documents") {
        return shellFolder(CSIDL_PERSONAL, "Documents");
    }
    if (alias == "downloads") {
        return userFolder("Downloads");
    }
    return std::nullopt;
}

} // namespace

std::string RecoveryEngine::resolveDevicePath(const std::string& location) const
{
    std::string devicePath = location;
    if (devicePath.size() >= 2 && devicePath[1] == ':') {
        if (devicePath.size() == 2) {
            devicePath += '\\';
        }
    } else if (const auto alias = aliasPath(devicePath)) {
        devicePath = *alias;
    } else if (!devicePath.ends_with('\\') && !devicePath.ends_with('/')) {
        devicePath += '\\';
    }

    if (GetFileAttributesA(devicePath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        diag::out("警告: 路径不存在: " + devicePath);
        return location;
    }
    return devicePath;
}
