#include "platform/win32/MachineMarkerWin32.h"

#include <windows.h>
#include <sddl.h>

namespace rw {
namespace {

constexpr DWORD kEventQueryState = 0x0001;  // EVENT_QUERY_STATE, missing from the headers here

struct EventHolder final : MachineMarker::Holder {
    explicit EventHolder(HANDLE h) : handle(h) {}
    ~EventHolder() override { CloseHandle(handle); }
    HANDLE handle;
};

}  // namespace

std::unique_ptr<MachineMarker::Holder> MachineMarkerWin32::Create(bool& alreadyExisted) {
    alreadyExisted = false;
    // Every user may open the event to see that it exists (synchronise, query), none but
    // the system and administrators may change it or its security.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)",
                                                             SDDL_REVISION_1, &descriptor, nullptr)) {
        attributes.lpSecurityDescriptor = descriptor;
    }
    // Only synchronise and query are asked for, so that opening one another user made
    // succeeds and reports that it existed.
    HANDLE event = CreateEventExW(&attributes, name_.c_str(), CREATE_EVENT_MANUAL_RESET | CREATE_EVENT_INITIAL_SET,
                                  SYNCHRONIZE | kEventQueryState);
    const DWORD error = GetLastError();
    if (descriptor) LocalFree(descriptor);
    if (!event) {
        // Denied means that it exists and belongs to someone else.
        alreadyExisted = error == ERROR_ACCESS_DENIED;
        return nullptr;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        alreadyExisted = true;
        CloseHandle(event);
        return nullptr;
    }
    return std::make_unique<EventHolder>(event);
}

}  // namespace rw
