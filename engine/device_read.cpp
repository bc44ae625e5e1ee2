#include "device_read.h"

#include "unique_handle.h"

AlignedBuffer alignedBuffer(std::uint32_t length)
{
    return AlignedBuffer(static_cast<std::uint8_t*>(::operator new(length, std::align_val_t{unbufferedAlignment})));
}

// The position travels in the request; on an overlapped handle the read always completes
// later, so wait for its outcome before the buffer is touched.
ReadOutcome readAt(HANDLE device, std::uint64_t offset, std::uint8_t* buffer, DWORD length)
{
    KernelHandle finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED request{};
    request.Offset = static_cast<DWORD>(offset);
    request.OffsetHigh = static_cast<DWORD>(offset >> 32);
    request.hEvent = finished.get();

    ReadOutcome outcome;
    if (!ReadFile(device, buffer, length, nullptr, &request) && GetLastError() != ERROR_IO_PENDING) {
        outcome.error = GetLastError();
        return outcome;
    }
    if (!GetOverlappedResult(device, &request, &outcome.bytesRead, TRUE)) {
        outcome.error = GetLastError();
        return outcome;
    }
    outcome.done = true;
    return outcome;
}
