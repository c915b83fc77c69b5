// kxcall: calls one export of a Kestrel.dll build by name, as an installation
// script does, and prints its result.
//
//   kxcall.exe [--raw] DLL-PATH oracle|migration EXPORT ARG...
//
// Text arguments are passed as given (the ANSI code page); "@null" passes a
// null pointer. Integers and window handles are decimal or 0x-hex. A text
// result is printed in UTF-8 (with --raw: its bytes as they are).
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/export_catalog.h"

namespace cat = kx::catalog;

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "kxcall: %s\n", message.c_str());
    return 2;
}

std::string Utf8FromAnsi(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(m > 0 ? m : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), m, nullptr, nullptr);
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
}

std::string Signature(const cat::Export& e) {
    std::string s(e.name);
    s += "(";
    for (size_t i = 0; i < e.args.size(); ++i) {
        if (i) s += ", ";
        switch (e.args[i]) {
        case cat::arg::Text: s += "text"; break;
        case cat::arg::Int: s += "integer"; break;
        case cat::arg::UInt: s += "unsigned integer"; break;
        default: s += "window handle"; break;
        }
    }
    s += ") -> ";
    s += e.result == cat::Result::Text ? "text" : e.result == cat::Result::Int ? "integer" : "none";
    return s;
}

bool ParseNumber(const char* s, uint32_t& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s, &end, 0);
    if (errno || end == s || *end || v < INT32_MIN || v > UINT32_MAX) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

// Every argument is one word wide, so one pointer type per count covers all.
uintptr_t CallStdcall(FARPROC f, const std::vector<uintptr_t>& a) {
    using P = uintptr_t;
    switch (a.size()) {
    case 0: return reinterpret_cast<P(__stdcall*)()>(f)();
    case 1: return reinterpret_cast<P(__stdcall*)(P)>(f)(a[0]);
    case 2: return reinterpret_cast<P(__stdcall*)(P, P)>(f)(a[0], a[1]);
    case 3: return reinterpret_cast<P(__stdcall*)(P, P, P)>(f)(a[0], a[1], a[2]);
    case 4: return reinterpret_cast<P(__stdcall*)(P, P, P, P)>(f)(a[0], a[1], a[2], a[3]);
    default: return reinterpret_cast<P(__stdcall*)(P, P, P, P, P)>(f)(a[0], a[1], a[2], a[3], a[4]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int i = 1;
    bool raw = false;
    if (i < argc && std::string(argv[i]) == "--raw") raw = true, ++i;
    if (argc - i < 3) return Fail("usage: kxcall.exe [--raw] DLL-PATH oracle|migration EXPORT ARG...");
    const char* dll = argv[i++];
    const std::string buildName = argv[i++];
    const std::string name = argv[i++];
    if (buildName != "oracle" && buildName != "migration") return Fail("unknown build '" + buildName + "'");
    const auto build = buildName == "oracle" ? cat::Build::Oracle : cat::Build::Migration;

    const cat::Export* e = cat::Find(name);
    if (!e) return Fail("'" + name + "' is not an export of Kestrel.dll");
    if (cat::OrdinalIn(*e, build) == 0)
        return Fail("'" + name + "' is not an export of the " + buildName + " build (only of the " +
                    (build == cat::Build::Oracle ? "migration" : "oracle") + " build)");
    const size_t given = static_cast<size_t>(argc - i);
    if (given != e->args.size())
        return Fail("'" + name + "' takes " + std::to_string(e->args.size()) + " argument(s): " + Signature(*e));

    std::vector<uintptr_t> args;
    for (size_t k = 0; k < given; ++k) {
        const char* a = argv[i + static_cast<int>(k)];
        if (e->args[k] == cat::arg::Text) {
            args.push_back(std::string(a) == "@null" ? 0 : reinterpret_cast<uintptr_t>(a));
            continue;
        }
        uint32_t v = 0;
        if (!ParseNumber(a, v)) return Fail("argument " + std::to_string(k + 1) + " must be a number: " + Signature(*e));
        args.push_back(e->args[k] == cat::arg::Int ? static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(v))) : v);
    }

    HMODULE lib = LoadLibraryA(dll);
    if (!lib) return Fail(std::string("cannot load ") + dll + " (error " + std::to_string(GetLastError()) + ")");
    FARPROC f = GetProcAddress(lib, e->name.data());
    if (!f) {
        FreeLibrary(lib);
        return Fail("'" + name + "' is not built yet in the " + buildName + " build (ordinal " +
                    std::to_string(cat::OrdinalIn(*e, build)) + ")");
    }
    _setmode(_fileno(stdout), _O_BINARY);
    const uintptr_t r = CallStdcall(f, args);
    switch (e->result) {
    case cat::Result::Text: {
        const char* text = reinterpret_cast<const char*>(r);
        if (!text) text = "";
        if (raw) {
            std::fwrite(text, 1, std::char_traits<char>::length(text), stdout);
        } else {
            const std::string u = Utf8FromAnsi(text);
            std::fwrite(u.data(), 1, u.size(), stdout);
            if (u.empty() || u.back() != '\n') std::fputc('\n', stdout);
        }
        break;
    }
    case cat::Result::Int: std::printf("%d\n", static_cast<int>(static_cast<int32_t>(r))); break;
    case cat::Result::None: break;
    }
    std::fflush(stdout);
    FreeLibrary(lib);
    return 0;
}
