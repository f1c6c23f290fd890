// Custom action of the MSI: before the installed Restwell.exe is replaced or removed, ask the
// running program to end ("-close") and wait until its file is free, so the file operations
// that follow find nothing in use. The program ends within a second; after ten the action gives
// up and Windows Installer handles the busy file as it always does (replaced at restart).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>

#include "framework/Handles.h"

namespace {

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 100;

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
    wchar_t empty[1] = {};
    DWORD size = 0;
    if (MsiGetPropertyW(install, name, empty, &size) != ERROR_MORE_DATA) return {};
    std::wstring value(++size, L'\0');
    if (MsiGetPropertyW(install, name, value.data(), &size) != ERROR_SUCCESS) return {};
    value.resize(size);
    return value;
}

// A running image cannot be opened for writing without sharing.
bool FileInUse(const std::wstring& path) {
    rw::KernelHandleOwner file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

void RunClose(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\" -close";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return;
    }
    rw::KernelHandleOwner thread(process.hThread), owner(process.hProcess);
    WaitForSingleObject(owner.get(), kWaitMs);
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningProgram(MSIHANDLE install) {
    std::wstring folder = Property(install, L"INSTALLDIR");
    if (folder.empty()) return ERROR_SUCCESS;
    if (folder.back() != L'\\') folder += L'\\';
    const std::wstring exe = folder + L"Restwell.exe";
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;
    RunClose(exe);
    for (DWORD waited = 0; waited < kWaitMs && FileInUse(exe); waited += kPollMs) Sleep(kPollMs);
    return ERROR_SUCCESS;
}
