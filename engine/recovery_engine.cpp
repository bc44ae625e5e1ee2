#include "recovery_engine.h"

#include "log.h"
#include "sector_reader.h"

#include <exception>
#include <stdexcept>

bool RecoveryEngine::initialize()
{
    diag::out("正在初始化Quorvane引擎...");
    try {
        diag::out("Quorvane引擎初始化完成");
        initialized = true;
        return true;
    } catch (const std::exception& error) {
        diag::error(std::string("恢复引擎初始化失败: ") + error.what());
        return false;
    }
}

void RecoveryEngine::scanDevice(const std::string& location,
                                const std::string& scenario,
                                const std::vector<std::string>& fileTypes,
                                FileFoundCallback onFileFound,
                                std::atomic<bool>* stopFlag,
                                int maxDepth,
                                ProgressCallback onProgress)
{
    if (!initialized) {
        throw std::runtime_error("恢复引擎尚未初始化");
    }
    std::string startLine = "开始扫描设备: " + location + ", 场景: " + scenario + ", 文件类型: ";
    for (const std::string& fileType : fileTypes) {
        startLine += fileType + " ";
    }
    diag::out(startLine);

    const std::string devicePath = resolveDevicePath(location);
    if (devicePath.empty()) {
        throw std::runtime_error("设备不存在: " + location);
    }

    SectorReader sectorReader;
    const std::uint64_t totalSectors = sectorReader.getTotalSectors(devicePath);
    if (totalSectors == 0) {
        diag::error("无法获取设备扇区信息，使用无限进度条");
    }

    if (scenario == "accidental_deletion") {
        scanAccidentalDeletion(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    } else if (scenario == "empty_recycle_bin") {
        scanEmptyRecycleBin(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    } else if (scenario == "format") {
        scanFormat(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    } else if (scenario == "reinstall_system") {
        scanReinstallSystem(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    } else {
        scanComprehensive(devicePath, fileTypes, onFileFound, stopFlag, maxDepth, onProgress, totalSectors);
    }
    diag::out("扫描完成");
}
