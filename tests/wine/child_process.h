// A running child program for the tests, ended and waited for when the owner
// goes: a copy of kxchild.exe under the name a test needs.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

#include "file_fixture.h"

namespace kxtest {

class ChildProcess {
public:
    // Starts `exe` with `args`, first copying kxchild.exe there when it is
    // not there yet; an empty `exe` starts kxchild.exe itself.
    ChildProcess(const std::string& exe, const std::string& args) {
        const std::string program = exe.empty() ? BesideTests("kxchild.exe") : exe;
        if (!exe.empty() && GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !CopyFileA(BesideTests("kxchild.exe").c_str(), exe.c_str(), FALSE))
            throw std::runtime_error("cannot copy kxchild.exe to " + exe);
        std::string line = "\"" + program + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
            throw std::runtime_error("cannot start " + program);
        CloseHandle(pi_.hThread);
        WaitForInputIdle(pi_.hProcess, 5000);
    }
    ~ChildProcess() { Stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Ends the child if it still runs and waits until it has gone.
    void Stop() {
        if (!pi_.hProcess) return;
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hProcess);
        pi_.hProcess = nullptr;
    }
    DWORD id() const { return pi_.dwProcessId; }
    HANDLE handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
};

}  // namespace kxtest
