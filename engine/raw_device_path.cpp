#include "raw_device_path.h"

namespace {

constexpr char rawDevicePrefix[] = "\\\\.\\";

} // namespace

RawDevicePath rawDevicePathFor(const std::string& location)
{
    if (location.size() >= 2 && location[1] == ':') {
        return {rawDevicePrefix + location.substr(0, 2), DevicePathRule::driveLetter};
    }
    if (location.starts_with(rawDevicePrefix)) {
        return {location, DevicePathRule::rawDevice};
    }
    return {rawDevicePrefix + location, DevicePathRule::prefixed};
}
