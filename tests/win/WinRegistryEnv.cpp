// The Windows suite runs the shared settings cases against the real (Wine) registry.
#include <windows.h>

#include "../shared/RegistryTestEnv.h"
#include "platform/win32/RegistryWin32.h"

namespace rw::test {

Registry& TestRegistry() {
    static RegistryWin32 registry;
    return registry;
}

void ResetTestRegistry() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteTreeW(root, L"Software\\QuillfenTest");
        RegDeleteTreeW(root, L"Software\\Policies\\QuillfenTest");
        RegDeleteKeyW(root, L"Software\\QuillfenTest");
        RegDeleteKeyW(root, L"Software\\Policies\\QuillfenTest");
    }
}

}  // namespace rw::test
