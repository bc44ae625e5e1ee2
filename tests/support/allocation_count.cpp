#include "allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocatedBytes{0};

} // namespace

void* operator new(std::size_t size)
{
    allocatedBytes += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

AllocationCount::AllocationCount() : start(allocatedBytes.load())
{
}

std::uint64_t AllocationCount::bytes() const
{
    return allocatedBytes.load() - start;
}
