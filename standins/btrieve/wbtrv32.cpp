// The stand-in wbtrv32.dll: the Btrieve engine's entry points (stdcall) over
// the portable engine. One engine per process, as the real one serves every
// caller of the process; changed files are written when they are closed, when
// the engine stops, and when the process lets the DLL go.
#include <windows.h>

#include <mutex>

#include "btr_engine.h"

namespace {

std::mutex& Lock() {
    static std::mutex m;
    return m;
}

btr::Engine*& TheEngine() {
    static btr::Engine* engine = nullptr;
    return engine;
}

btr::Engine& Engine() {
    if (!TheEngine()) TheEngine() = new btr::Engine(btr::FileSystemStorage());
    return *TheEngine();
}

}  // namespace

extern "C" int __stdcall BTRCALL(WORD operation, void* positionBlock, void* data, DWORD* dataLength, void* key,
                                 BYTE keyLength, CHAR keyNumber) {
    std::lock_guard<std::mutex> guard(Lock());
    try {
        uint32_t length = dataLength ? *dataLength : 0;
        const int result = Engine().Call(operation, positionBlock, data, dataLength ? &length : nullptr, key,
                                         keyLength, static_cast<int8_t>(keyNumber));
        if (dataLength) *dataLength = length;
        return result;
    } catch (...) {
        return btr::status::IoError;
    }
}

// The same with a client identifier; every client shares the one engine here.
extern "C" int __stdcall BTRCALLID(WORD operation, void* positionBlock, void* data, DWORD* dataLength, void* key,
                                   BYTE keyLength, CHAR keyNumber, void* /*clientId*/) {
    return BTRCALL(operation, positionBlock, data, dataLength, key, keyLength, keyNumber);
}

extern "C" int __stdcall WBTRVINIT(char* /*options*/) {
    std::lock_guard<std::mutex> guard(Lock());
    Engine();
    return 0;
}

extern "C" int __stdcall WBTRVSTOP() {
    std::lock_guard<std::mutex> guard(Lock());
    if (!TheEngine()) return 0;
    const int result = TheEngine()->Stop();
    delete TheEngine();
    TheEngine() = nullptr;
    return result;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // At process exit (reserved non-null) other threads are gone: write what
    // was changed all the same.
    if (reason == DLL_PROCESS_DETACH && TheEngine()) {
        TheEngine()->Stop();
        if (!reserved) {
            delete TheEngine();
            TheEngine() = nullptr;
        }
    }
    return TRUE;
}
