#include "scan_checks.h"

#include "log.h"

#include <algorithm>

bool stopRequested(const std::atomic<bool>* stopFlag)
{
    if (stopFlag != nullptr && stopFlag->load()) {
        diag::out("收到停止请求，退出扫描");
        return true;
    }
    return false;
}

bool isWantedCategory(const std::vector<std::string>& fileTypes, const std::string& fileType)
{
    return fileTypes.empty() || std::find(fileTypes.begin(), fileTypes.end(), fileType) != fileTypes.end();
}
