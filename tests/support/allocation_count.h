#pragma once

#include <cstdint>

// The bytes that the program asks of operator new from construction on, on every thread. Linking
// this replaces the global operator new and delete of the test program with counting ones.
class AllocationCount {
public:
    AllocationCount();
    std::uint64_t bytes() const;

private:
    std::uint64_t start;
};
