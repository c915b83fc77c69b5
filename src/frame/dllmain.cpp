// Load and unload. The run-time library has initialised the library's
// components before DllMain runs.
#include <windows.h>

#include "frame/load_setup.h"
#include "frame/result.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        kx::SetBtrieveIntlOptions();
        break;
    case DLL_PROCESS_DETACH:
        kx::ReleaseResultBuffer();
        break;
    default:
        break;
    }
    return TRUE;
}
