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
    TempFolder folder;
    const std::wstring outPath = folder.pathOf(L"out.txt");
    const std::wstring errorPath = folder.pathOf(L"error.txt");
    {
        FileHandle out = inheritableFile(outPath);
        FileHandle error = inheritableFile(errorPath);
        ASSERT_TRUE(out.valid() && error.valid());

        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = out.get();
        startup.hStdError = error.get();
        PROCESS_INFORMATION process{};
        std::wstring commandLine = L"\"" + besideThisProgram(L"log_child.exe") + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                   &startup, &process));
        KernelHandle child(process.hProcess);
        KernelHandle thread(process.hThread);
        ASSERT_EQ(WaitForSingleObject(child.get(), 60000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(child.get(), &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }

    EXPECT_EQ(readAll(outPath),
              "开始扫描\r\n"
              "递归扫描子目录(深度1): C:\\照片\\\xF0\x9F\x98\x80\r\n"
              "ascii after wide\r\n"
              "结束\r\n");
    EXPECT_EQ(readAll(errorPath), "复制文件失败\r\n");
}
