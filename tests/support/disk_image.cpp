#include "disk_image.h"

#include "unique_handle.h"

#include <stdexcept>

namespace {

void moveTo(HANDLE file, std::uint64_t offset)
{
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) {
        throw std::runtime_error("cannot position in the disk image");
    }
}

} // namespace

void writeDiskImage(const std::wstring& path, std::uint64_t size, const std::vector<ImagePiece>& pieces)
{
    const FileHandle image(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!image) {
        throw std::runtime_error("cannot create the disk image");
    }
    moveTo(image.get(), size);
    if (!SetEndOfFile(image.get())) {
        throw std::runtime_error("cannot size the disk image");
    }
    for (const auto& [offset, bytes] : pieces) {
        moveTo(image.get(), offset);
        DWORD written = 0;
        if (!WriteFile(image.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            throw std::runtime_error("cannot write the disk image");
        }
    }
}
