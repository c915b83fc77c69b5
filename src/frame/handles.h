// Owners of system handles: each kind knows its empty value and how it is
// released, so every path out of a function releases what it took.
#pragma once

#include <windows.h>
#include <tlhelp32.h>
#include <wincrypt.h>

#include <utility>

namespace kx {

template <class Traits>
class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() noexcept = default;
    explicit Owned(Handle h) noexcept : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& o) noexcept : h_(o.release()) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~Owned() { reset(); }

    Handle get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Empty(); }

    // For functions that hand back a handle through a pointer.
    Handle* put() noexcept {
        reset();
        return &h_;
    }
    Handle release() noexcept { return std::exchange(h_, Traits::Empty()); }
    void reset(Handle h = Traits::Empty()) noexcept {
        if (h_ != Traits::Empty()) Traits::Close(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::Empty();
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
// Kernel objects whose failure value is null: processes, threads, events.
struct KernelTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
// Files and toolhelp snapshots, whose failure value is INVALID_HANDLE_VALUE.
struct FileTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};

struct CryptProviderTraits {
    using Handle = HCRYPTPROV;
    static Handle Empty() { return 0; }
    static void Close(Handle h) { CryptReleaseContext(h, 0); }
};
struct CryptHashTraits {
    using Handle = HCRYPTHASH;
    static Handle Empty() { return 0; }
    static void Close(Handle h) { CryptDestroyHash(h); }
};

using RegKey = Owned<RegKeyTraits>;
using CryptProvider = Owned<CryptProviderTraits>;
using CryptHash = Owned<CryptHashTraits>;
using KernelHandle = Owned<KernelTraits>;
using FileHandle = Owned<FileTraits>;
using SnapshotHandle = Owned<FileTraits>;
using FindHandle = Owned<FindTraits>;
using ModuleHandle = Owned<ModuleTraits>;

}  // namespace kx
