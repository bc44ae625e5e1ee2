#include "scratch_folder.h"

#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

std::filesystem::path fromUtf8(std::string_view text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string toUtf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

ScratchFolder::ScratchFolder()
{
    static std::atomic<unsigned> sequence{0};
    const auto base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "quorvane-test-" + std::to_string(random()) + "-" +
                                 std::to_string(sequence++);
        if (std::filesystem::create_directory(base / name)) {
            root = base / name;
            return;
        }
    }
    throw std::runtime_error("cannot create the test folder");
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string ScratchFolder::path() const
{
    return toUtf8(root);
}

std::string ScratchFolder::pathOf(std::string_view relative) const
{
    return toUtf8(fullPath(relative));
}

std::string ScratchFolder::makeFolder(std::string_view relative) const
{
    const auto full = fullPath(relative);
    std::filesystem::create_directories(full);
    return toUtf8(full);
}

std::string ScratchFolder::writeFile(std::string_view relative, std::string_view bytes) const
{
    const auto full = fullPath(relative);
    std::filesystem::create_directories(full.parent_path());
    std::ofstream file(full, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write a test file");
    }
    return toUtf8(full);
}

std::filesystem::path ScratchFolder::fullPath(std::string_view relative) const
{
    return (root / fromUtf8(relative)).make_preferred();
}

std::string separator()
{
    return std::string(1, static_cast<char>(std::filesystem::path::preferred_separator));
}
