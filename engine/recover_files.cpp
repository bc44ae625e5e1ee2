#include "copy_name.h"
#include "log.h"
#include "recovery_engine.h"
#include "text_encoding.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <optional>

namespace {

// The number a size query of the conversion would give: its length with the terminating zero, 0 on failure.
int sizeQuery(const std::optional<std::wstring>& converted)
{
    return converted ? static_cast<int>(converted->size()) + 1 : 0;
}

struct Destination {
    std::wstring path;
    std::uint64_t number = 1;
    // Nothing stood at the path when it was chosen, so whatever stands there after a failed copy
    // is that copy's.
    bool wasAbsent = false;
};

// The first name in the folder that nothing holds yet, from the number after the last one used.
Destination freeDestination(const std::wstring& folder, const std::wstring& fileName, const CopyNumbering& numbering)
{
    DWORD probeError = 0;
    CopyNumbering::Choice choice = numbering.freeName(fileName, [&](const std::wstring& candidate) {
        const bool taken = GetFileAttributesW((folder + L"\\" + candidate).c_str()) != INVALID_FILE_ATTRIBUTES;
        probeError = taken ? 0 : GetLastError();
        return taken;
    });
    return {folder + L"\\" + choice.name, choice.number,
            probeError == ERROR_FILE_NOT_FOUND || probeError == ERROR_PATH_NOT_FOUND};
}

// A copy that fails part-way may leave a truncated file that would pass for a recovered one.
void removeUnfinishedCopy(const std::wstring& destination)
{
    if (GetFileAttributesW(destination.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    // The copy may carry the source's read-only attribute.
    SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(destination.c_str());
}

FileInfo recoverOne(const FileInfo& file, const std::string& targetDir, CopyNumbering& numbering)
{
    diag::out("原始目标路径: " + targetDir);
    const auto targetConverted = toWide(targetDir);
    diag::out("目标路径缓冲区大小: " + std::to_string(sizeQuery(targetConverted)));
    std::wstring targetPath;
    if (targetConverted) {
        targetPath = *targetConverted;
        diag::wide(L"转换后的目标路径: " + targetPath);
    }

    // Logged only: an existing folder (183) is the usual case, and a missing one fails each copy.
    SetLastError(0);
    const bool created = CreateDirectoryW(targetPath.c_str(), nullptr) != FALSE;
    const DWORD createError = GetLastError();
    diag::out(std::string("创建目录结果: ") + (created ? "成功" : "失败") + ", 错误代码: " + std::to_string(createError));

    const auto nameConverted = toWide(file.name);
    diag::out("文件名缓冲区大小: " + std::to_string(sizeQuery(nameConverted)));
    std::wstring fileNameW;
    if (nameConverted) {
        fileNameW = *nameConverted;
        diag::wide(L"转换后的文件名: " + fileNameW);
    }

    // Copies go flat into the target folder and never replace a file: names that would leave the
    // folder are refused, and a taken name moves the copy to the next free numbered name.
    Destination destination{targetPath + L"\\" + fileNameW};
    DWORD refusal = 0;
    if (targetPath.empty()) {
        refusal = ERROR_PATH_NOT_FOUND;
    } else if (isRefusedCopyName(fileNameW)) {
        refusal = ERROR_INVALID_NAME;
    } else {
        destination = freeDestination(targetPath, fileNameW, numbering);
    }
    const std::wstring& destPathW = destination.path;

    const std::wstring sourcePathW = toWide(file.path).value_or(L"");
    diag::wide(L"源路径: " + sourcePathW);
    diag::wide(L"目标路径: " + destPathW);
    if (file.recoveryMethod == "filesystem_entry" || file.recoveryMethod == "recycle_bin") {
        diag::wide(L"复制文件: " + sourcePathW + L" -> " + destPathW);
    }

    bool copied = false;
    DWORD copyError = refusal;
    if (refusal == 0) {
        copied = CopyFileW(sourcePathW.c_str(), destPathW.c_str(), TRUE) != FALSE;
        copyError = copied ? 0 : GetLastError();
        if (copied) {
            numbering.used(fileNameW, destination.number);
        } else if (destination.wasAbsent && copyError != ERROR_FILE_EXISTS) {
            // Only this copy's own destination goes: a copy that found its name taken made nothing.
            removeUnfinishedCopy(destPathW);
        }
    }
    if (!copied) {
        diag::error("复制文件失败: " + file.path + " -> " + file.name + ", 错误代码: " + std::to_string(copyError));
    }

    FileInfo result = file;
    result.path = toNarrow(destPathW).value_or("[未知路径]");
    result.status = copied ? "recovered" : "partial_recovery";
    return result;
}

} // namespace

std::vector<FileInfo> RecoveryEngine::recoverFiles(const std::vector<FileInfo>& files,
                                                   const std::string& targetDir) const
{
    diag::out("开始恢复 " + std::to_string(files.size()) + " 个文件到 " + targetDir);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileInfo& file = files[i];
        diag::out("文件 " + std::to_string(i) + ": " + file.name + ", 路径: " + file.path +
                  ", 大小: " + std::to_string(file.size) + ", 恢复方法: " + file.recoveryMethod);
    }

    std::vector<FileInfo> recoveryResults;
    CopyNumbering numbering;
    for (const FileInfo& file : files) {
        try {
            recoveryResults.push_back(recoverOne(file, targetDir, numbering));
        } catch (const std::exception& error) {
            diag::error("恢复文件 " + file.name + " 失败: " + error.what());
            FileInfo failed = file;
            failed.path = targetDir + "\\" + file.name;
            failed.status = "failed";
            recoveryResults.push_back(failed);
        }
    }

    const auto success = std::count_if(recoveryResults.begin(), recoveryResults.end(),
                                       [](const FileInfo& result) { return result.status == "recovered"; });
    diag::out("恢复完成，成功: " + std::to_string(static_cast<int>(success)) +
              ", 失败: " + std::to_string(static_cast<std::uint64_t>(recoveryResults.size() - success)));
    return recoveryResults;
}
