#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Sets an environment variable (or removes it) for one test and puts it back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name)
    {
        char old[512] = {};
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof(old));
        if (length > 0 && length < sizeof(old)) {
            saved = std::string(old, length);
        }
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name, saved ? saved->c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;
    std::optional<std::string> saved;
};

// Runs with another working folder, for relative locations.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::wstring& folder)
    {
        GetCurrentDirectoryW(MAX_PATH, saved);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~ScopedWorkingFolder() { SetCurrentDirectoryW(saved); }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

private:
    wchar_t saved[MAX_PATH] = {};
};
