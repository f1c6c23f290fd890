// Custom action of the MSI: before the installed Restwell.exe is replaced or removed, ask the
// running program to end ("-close") and wait until its file is free, so the file operations
// that follow find nothing in use. The program ends within a second; after ten the action gives
// up and Windows Installer handles the busy file as it always does (replaced at restart).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "framework/Handles.h"

namespace {

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 100;

// The installed program's path from INSTALLDIR; false when it does not fit (it cannot be ours).
bool ProgramPath(MSIHANDLE install, wchar_t (&path)[MAX_PATH]) {
    DWORD size = MAX_PATH;
    if (MsiGetPropertyW(install, L"INSTALLDIR", path, &size) != ERROR_SUCCESS || size == 0) return false;
    const wchar_t* name = path[size - 1] == L'\\' ? L"Restwell.exe" : L"\\Restwell.exe";
    return lstrlenW(name) < MAX_PATH - static_cast<int>(size) && lstrcatW(path, name) != nullptr;
}

// A running image cannot be opened for writing without sharing.
bool FileInUse(const wchar_t* path) {
    rw::KernelHandleOwner file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

void RunClose(const wchar_t* exe) {
    wchar_t commandLine[MAX_PATH + 16] = L"\"";
    lstrcatW(commandLine, exe);
    lstrcatW(commandLine, L"\" -close");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
    rw::KernelHandleOwner thread(process.hThread), owner(process.hProcess);
    WaitForSingleObject(owner.get(), kWaitMs);
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningProgram(MSIHANDLE install) {
    wchar_t exe[MAX_PATH] = {};
    if (!ProgramPath(install, exe) || GetFileAttributesW(exe) == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
    RunClose(exe);
    for (DWORD waited = 0; waited < kWaitMs && FileInUse(exe); waited += kPollMs) Sleep(kPollMs);
    return ERROR_SUCCESS;
}
