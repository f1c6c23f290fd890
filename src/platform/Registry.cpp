#include "platform/Registry.h"

#include <cstdlib>

namespace rw {

namespace {
Registry* g_registry = nullptr;
}

Registry* DefaultRegistry();  // the Win32 adapter; null in native builds

Registry& ActiveRegistry() {
    if (!g_registry) g_registry = DefaultRegistry();
    if (!g_registry) std::abort();  // a native test forgot to install its fake
    return *g_registry;
}

void SetActiveRegistry(Registry* registry) { g_registry = registry; }

#ifndef _WIN32
Registry* DefaultRegistry() { return nullptr; }
#endif

}  // namespace rw
