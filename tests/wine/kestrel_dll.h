// Loads one build of Kestrel.dll and calls its exports by name through
// GetProcAddress with their stdcall signatures, as an installation script does.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/export_catalog.h"

namespace kxtest {

using kx::catalog::Build;

struct BuildInfo {
    std::string name;  // "oracle" or "migration"
    Build build;
    std::string path;  // Windows path of its Kestrel.dll
};

inline void PrintTo(const BuildInfo& b, std::ostream* os) { *os << b.name; }

// The builds under test, from the command line (set by main).
std::vector<BuildInfo>& Builds();
const BuildInfo& BuildNamed(const std::string& name);

// Prints the build's name in parameterised test names.
struct BuildName {
    std::string operator()(const testing::TestParamInfo<BuildInfo>& info) const { return info.param.name; }
};

// Every argument is one machine word: a pointer, or a 32-bit integer.
template <class T>
uintptr_t Word(T v) {
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<uintptr_t>(v);
    else
        return static_cast<uintptr_t>(static_cast<uint32_t>(v));
}

class KestrelDll {
public:
    explicit KestrelDll(const BuildInfo& info) : info_(info) {
        module_ = LoadLibraryA(info.path.c_str());
        if (!module_) throw std::runtime_error("LoadLibrary " + info.path + " failed: " + std::to_string(GetLastError()));
    }
    KestrelDll(const KestrelDll&) = delete;
    KestrelDll& operator=(const KestrelDll&) = delete;
    ~KestrelDll() {
        if (module_) FreeLibrary(module_);
    }

    HMODULE module() const { return module_; }
    const BuildInfo& info() const { return info_; }

    FARPROC Proc(const char* name) const {
        FARPROC f = GetProcAddress(module_, name);
        if (!f) throw std::runtime_error(std::string("no export ") + name + " in the " + info_.name + " build");
        return f;
    }

    // Calls an export with word-sized arguments; returns its raw result.
    template <class... A>
    uintptr_t Call(const char* name, A... args) const {
        using P = uintptr_t;
        auto f = reinterpret_cast<P(__stdcall*)(decltype(Word(args))...)>(Proc(name));
        return f(Word(args)...);
    }

    // Calls a text export and copies its result before the next call.
    template <class... A>
    std::string Text(const char* name, A... args) const {
        const char* r = reinterpret_cast<const char*>(Call(name, args...));
        if (!r) throw std::runtime_error(std::string(name) + " returned a null pointer");
        return r;
    }

    template <class... A>
    int Int(const char* name, A... args) const {
        return static_cast<int32_t>(Call(name, args...));
    }

private:
    BuildInfo info_;
    HMODULE module_ = nullptr;
};

// A test that runs against each build in turn, with that build loaded.
class EachBuild : public testing::TestWithParam<BuildInfo> {
protected:
    void SetUp() override { dll_ = std::make_unique<KestrelDll>(GetParam()); }
    void TearDown() override { dll_.reset(); }
    const KestrelDll& dll() const { return *dll_; }

private:
    std::unique_ptr<KestrelDll> dll_;
};

#define KX_FOR_EACH_BUILD(suite) \
    INSTANTIATE_TEST_SUITE_P(Builds, suite, testing::ValuesIn(kxtest::Builds()), kxtest::BuildName())

}  // namespace kxtest
