// The machine-wide named event that keeps upgrade checks of all sessions one at a time.
#pragma once
#include <string>

#include "platform/MachineMarker.h"

namespace rw {

class MachineMarkerWin32 final : public MachineMarker {
public:
    explicit MachineMarkerWin32(std::wstring name) : name_(std::move(name)) {}
    std::unique_ptr<Holder> Create(bool& alreadyExisted) override;

private:
    std::wstring name_;
};

// "Global\UPGRADE_" and the program's GUID.
inline const wchar_t* const kUpgradeMarkerName = L"Global\\UPGRADE_2B2D6DA9-F264-4505-809F-D5B3D342EEA2";

}  // namespace rw
