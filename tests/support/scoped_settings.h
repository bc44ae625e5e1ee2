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

// Runs with another working folder (for relative locations, or as a shortcut's "Start in" does)
// and puts the previous one back afterwards.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::wstring& folder)
    {
        wchar_t current[MAX_PATH] = {};
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
        if (length > 0 && length < MAX_PATH) {
            saved = current;
            changed = SetCurrentDirectoryW(folder.c_str()) != FALSE;
        }
    }
    ~ScopedWorkingFolder()
    {
        if (changed) {
            SetCurrentDirectoryW(saved.c_str());
        }
    }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

    bool isChanged() const { return changed; }

private:
    std::wstring saved;
    bool changed = false;
};
