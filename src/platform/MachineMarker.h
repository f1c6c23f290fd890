// The machine-wide named event that keeps upgrade checks of all sessions one at a time.
#pragma once
#include <memory>

namespace rw {

class MachineMarker {
public:
    virtual ~MachineMarker() = default;
    // Creates (or opens) the event; alreadyExisted tells whether another process holds it.
    // The returned object keeps the event open until it is destroyed; null when creation failed.
    struct Holder {
        virtual ~Holder() = default;
    };
    virtual std::unique_ptr<Holder> Create(bool& alreadyExisted) = 0;
};

}  // namespace rw
