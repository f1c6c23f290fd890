// The native suites run every settings call against one fake registry.
#include "../shared/RegistryTestEnv.h"
#include "fakes/FakeRegistry.h"

namespace rw::test {

FakeRegistry& SharedFakeRegistry() {
    static FakeRegistry registry;
    return registry;
}

void ResetTestRegistry() {
    SharedFakeRegistry().Clear();
    SetActiveRegistry(&SharedFakeRegistry());
}

}  // namespace rw::test
