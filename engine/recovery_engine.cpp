#include "recovery_engine.h"

#include "log.h"

#include <exception>

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
