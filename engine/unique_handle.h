#pragma once

#include <windows.h>

#include <utility>

// A move-only owner of one Win32 handle; the traits give its empty value and how to close it.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle; }
    bool valid() const { return handle != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    Handle release() { return std::exchange(handle, Traits::invalid()); }

    void reset(Handle replacement = Traits::invalid())
    {
        if (valid()) {
            Traits::close(handle);
        }
        handle = replacement;
    }

private:
    Handle handle = Traits::invalid();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { CloseHandle(handle); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static void close(Handle handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle handle) { FindClose(handle); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;      // CreateFile: INVALID_HANDLE_VALUE when empty
using KernelHandle = UniqueHandle<KernelHandleTraits>;  // tokens, events, mutexes: null when empty
using FindHandle = UniqueHandle<FindHandleTraits>;
