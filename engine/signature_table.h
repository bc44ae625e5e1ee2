#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <stdexcept>

// Up to 16 bytes held in place, so that the signature rows can be constant data.
class BytePattern {
public:
    static constexpr std::size_t capacity = 16;

    constexpr BytePattern() = default;
    constexpr BytePattern(std::initializer_list<std::uint8_t> list)
    {
        // In a constant expression this throw is a compile error: a row too long never builds.
        if (list.size() > capacity) {
            throw std::length_error("byte pattern longer than 16 bytes");
        }
        for (std::uint8_t byte : list) {
            bytes[count++] = byte;
        }
    }

    constexpr std::size_t size() const { return count; }
    constexpr bool empty() const { return count == 0; }
    constexpr const std::uint8_t* begin() const { return bytes.data(); }
    constexpr const std::uint8_t* end() const { return bytes.data() + count; }

private:
    std::array<std::uint8_t, capacity> bytes{};
    std::size_t count = 0;
};

struct SignatureRow {
    std::int32_t offset;
    BytePattern magic;
    BytePattern mask;   // empty for an exact compare
};

struct SignatureCategory {
    const char* keyword;
    std::span<const SignatureRow> rows;
};

// The detector's magic-byte table, categories in the order the detector builds them.
std::span<const SignatureCategory> signatureCategories();
