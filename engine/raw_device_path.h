#pragma once

#include <string>

// Which rule named the raw device of a location.
enum class DevicePathRule {
    driveLetter,   // "\\.\" and the location's drive letter with its colon
    rawDevice,     // the location already names a raw device
    prefixed,      // "\\.\" and the whole location
};

struct RawDevicePath {
    std::string path;
    DevicePathRule rule;
};

// The raw volume device ("\\.\C:") of a location such as C:\Users\Public\.
RawDevicePath rawDevicePathFor(const std::string& location);
