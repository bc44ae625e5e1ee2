#include "debug_capture.h"

#include "text_encoding.h"

#include <windows.h>

#include <algorithm>

namespace {

// The system raises one of these for every debug string; a vectored handler sees it first.
constexpr DWORD wideDebugString = 0x4001000A;
constexpr DWORD narrowDebugString = 0x40010006;

std::mutex captureLock;
std::vector<std::wstring> captured;

LONG CALLBACK onDebugString(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->NumberParameters < 2) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const auto length = static_cast<size_t>(record->ExceptionInformation[0]);
    std::wstring text;
    if (record->ExceptionCode == wideDebugString) {
        text.assign(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]), length);
    } else if (record->ExceptionCode == narrowDebugString) {
        const std::string_view narrow(reinterpret_cast<const char*>(record->ExceptionInformation[1]), length);
        text = toWide(narrow).value_or(L"");
    } else {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    while (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    std::lock_guard<std::mutex> guard(captureLock);
    captured.push_back(text);
    return EXCEPTION_CONTINUE_EXECUTION;
}

PVOID handler = nullptr;

} // namespace

DebugCapture::DebugCapture()
{
    std::lock_guard<std::mutex> guard(captureLock);
    captured.clear();
    handler = AddVectoredExceptionHandler(1, onDebugString);
}

DebugCapture::~DebugCapture()
{
    RemoveVectoredExceptionHandler(handler);
}

std::vector<std::wstring> DebugCapture::lines() const
{
    std::lock_guard<std::mutex> guard(captureLock);
    return captured;
}

size_t DebugCapture::countOf(const std::wstring& line) const
{
    const auto all = lines();
    return static_cast<size_t>(std::count(all.begin(), all.end(), line));
}
