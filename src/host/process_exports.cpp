// Process exports: start a program (with or without waiting for it), and find
// or stop running programs by the file name of their executable.
#include <vector>

#include "frame/guard.h"
#include "frame/handles.h"
#include "frame/sys.h"
#include "frame/text_rules.h"

namespace {

// The command-line buffer of ExecuteProgramWait: 512 characters and a zero.
constexpr size_t kCommandLineBuffer = 513;
constexpr DWORD kWaitStartFlags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;

// A process's executable name matches when both are equal with A..Z lowered;
// a directory in the argument therefore never matches.
bool NameMatches(const kx::Char* exeFile, const kx::Text& wantedLower) {
    kx::TextView name(exeFile);
    const size_t slash = name.find_last_of(KX_T("\\:"));
    if (slash != kx::TextView::npos) name.remove_prefix(slash + 1);
    return kx::LowerAZ(name) == wantedLower;
}

// Calls `each(entry)` for every process of a fresh snapshot; false when no
// snapshot can be taken.
template <class F>
bool ForEachProcess(F&& each) {
    kx::SnapshotHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    kx::sys::ProcessEntry entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = kx::sys::FirstProcess(snapshot.get(), &entry); more;
         more = kx::sys::NextProcess(snapshot.get(), &entry)) {
        if (!each(entry)) break;
    }
    return true;
}

}  // namespace

KX_EXPORT int ExecuteProgram(const char* command) {
    return kx::GuardInt(0, [&] { return static_cast<int>(WinExec(command ? command : "", SW_SHOWNORMAL)); });
}

KX_EXPORT int ExecuteProgramWait(const char* command) {
    return kx::GuardInt(-1, [&] {
        const kx::Text line = kx::Arg(command);
        // A longer command line is refused: a cut one could run something else.
        if (line.size() >= kCommandLineBuffer) return -1;
        std::vector<kx::Char> buffer(kCommandLineBuffer, kx::Char(0));
        line.copy(buffer.data(), line.size());
        PROCESS_INFORMATION pi{};
        if (!kx::sys::StartProcess(buffer.data(), kWaitStartFlags, SW_SHOWNORMAL, &pi)) return -1;
        const kx::KernelHandle process(pi.hProcess), thread(pi.hThread);
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = 0;
        if (!GetExitCodeProcess(process.get(), &code)) return -1;
        return static_cast<int>(code);
    });
}

KX_EXPORT int ProcessExists(const char* name) {
    return kx::GuardInt(0, [&] {
        const kx::Text wanted = kx::LowerAZ(kx::TextView(kx::Arg(name)));
        bool found = false;
        ForEachProcess([&](const kx::sys::ProcessEntry& e) {
            found = NameMatches(e.szExeFile, wanted);
            return !found;
        });
        return found ? 1 : 0;
    });
}

KX_EXPORT int KillProcess(const char* name) {
    return kx::GuardInt(0, [&] {
        const kx::Text wanted = kx::LowerAZ(kx::TextView(kx::Arg(name)));
        int result = 0;
        ForEachProcess([&](const kx::sys::ProcessEntry& e) {
            if (NameMatches(e.szExeFile, wanted)) {
                // A process we may not open or stop is passed over.
                const kx::KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID));
                if (process && TerminateProcess(process.get(), 0)) result = 1;
            }
            return true;
        });
        return result;
    });
}
