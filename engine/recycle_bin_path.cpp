#include "recovery_engine.h"

std::string RecoveryEngine::getRecycleBinPath(const std::string& devicePath) const
{
    return devicePath.substr(0, 3) + "$Recycle.Bin";
}
