#pragma once

#include "sector_math.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>

// Memory an unbuffered handle reads into: its address is aligned to unbufferedAlignment.
struct AlignedDelete {
    void operator()(std::uint8_t* buffer) const { ::operator delete(buffer, std::align_val_t{unbufferedAlignment}); }
};
using AlignedBuffer = std::unique_ptr<std::uint8_t, AlignedDelete>;

AlignedBuffer alignedBuffer(std::uint32_t length);

struct ReadOutcome {
    bool done = false;
    DWORD bytesRead = 0;
    DWORD error = 0;
};

// Reads length bytes at a byte offset of the device, on an overlapped handle or a plain one,
// and returns only once the read has finished, so the buffer is free to use afterwards.
ReadOutcome readAt(HANDLE device, std::uint64_t offset, std::uint8_t* buffer, DWORD length);
