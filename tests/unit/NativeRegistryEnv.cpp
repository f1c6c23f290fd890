// The native suites run every settings call against one fake registry.
#include "../shared/RegistryTestEnv.h"
#include "fakes/FakeRegistry.h"

namespace rw::test {

FakeRegistry& SharedFakeRegistry() {
    static FakeRegistry registry;
    return registry;
}

Registry& TestRegistry() { return SharedFakeRegistry(); }

void ResetTestRegistry() { SharedFakeRegistry().Clear(); }

}  // namespace rw::test
