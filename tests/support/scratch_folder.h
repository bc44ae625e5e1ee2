#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with its contents at the end.
// Built on the standard library alone, so the platform-free tests run natively and under Windows.
// Relative names are UTF-8 with "/" between parts; paths come back as the narrow text the engine
// takes (UTF-8, which is also the ANSI code page of a Windows process with our manifest).
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path() const;
    std::string pathOf(std::string_view relative) const;

    // Both create missing parent folders and return the full path.
    std::string makeFolder(std::string_view relative) const;
    std::string writeFile(std::string_view relative, std::string_view bytes = {}) const;

private:
    std::filesystem::path fullPath(std::string_view relative) const;

    std::filesystem::path root;
};

// The platform's separator between folder names, as narrow text.
std::string separator();
