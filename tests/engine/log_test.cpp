#include "log.h"
#include "stream_capture.h"
#include "temp_folder.h"
#include "unique_handle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

namespace {

std::string readAll(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::wstring besideThisProgram(const wchar_t* name)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

FileHandle inheritableFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct ChildOutput {
    std::string out;
    std::string error;
};

// Runs log_child.exe with its standard output and error redirected into files of a folder of its
// own, and gives back the bytes that reached them.
ChildOutput runLogChild(const std::wstring& arguments)
{
    TempFolder folder;
    const std::wstring outPath = folder.pathOf(L"out.txt");
    const std::wstring errorPath = folder.pathOf(L"error.txt");
    {
        FileHandle out = inheritableFile(outPath);
        FileHandle error = inheritableFile(errorPath);
        if (!out.valid() || !error.valid()) {
            ADD_FAILURE() << "cannot create the files for the child's output";
            return {};
        }

        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.get();
        startup.hStdError = error.get();
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + besideThisProgram(L"log_child.exe") + L"\" " + arguments;
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "log_child.exe did not start: " << GetLastError();
            return {};
        }
        KernelHandle child(process.hProcess);
        KernelHandle thread(process.hThread);
        if (WaitForSingleObject(child.get(), 60000) != WAIT_OBJECT_0) {
            TerminateProcess(child.get(), 1);
            ADD_FAILURE() << "log_child.exe did not end";
        }
        DWORD exitCode = 1;
        GetExitCodeProcess(child.get(), &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }
    return {readAll(outPath), readAll(errorPath)};
}

} // namespace

TEST(Diagnostics, EachStreamGetsItsLines)
{
    StreamCapture capture;
    diag::out("标准输出");
    diag::error("标准错误");
    diag::wide(L"宽输出 \U0001F600");

    EXPECT_EQ(capture.outLines(), std::vector<std::string>{"标准输出"});
    EXPECT_EQ(capture.errorLines(), std::vector<std::string>{"标准错误"});
    EXPECT_EQ(capture.wideLines(), std::vector<std::wstring>{L"宽输出 \U0001F600"});
}

// Only another process with its streams redirected sees what really reaches the stream bytes.
TEST(Diagnostics, WideLinesReachRedirectedOutputAsUtf8)
{
    const ChildOutput child = runLogChild(L"");
    EXPECT_EQ(child.out,
              "开始扫描\r\n"
              "递归扫描子目录(深度1): C:\\照片\\\xF0\x9F\x98\x80\r\n"
              "ascii after wide\r\n"
              "结束\r\n");
    EXPECT_EQ(child.error, "复制文件失败\r\n");
}

// The wide stream outlives every file-level object, so its buffer must too.
TEST(Diagnostics, WideLineFromALateDestructorStillReachesTheOutput)
{
    const ChildOutput child = runLogChild(L"at-exit");
    EXPECT_EQ(child.out,
              "运行中\r\n"
              "退出时 \xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(child.error, "");
}
