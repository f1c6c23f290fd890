// The first-run welcome wizard: a welcome page, the breaks settings page and a closing page
// that explains the notification-area icons. Finish saves the break settings and "Welcome".
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>

#include "engine/PlannedBreakList.h"
#include "ui/shared/WindowServices.h"
#include "framework/Handles.h"
#include "kit/WizardBase.h"

namespace rw {

class CppWizardWelcomeStart : public nsHalden::CppWizardBase {
public:
    explicit CppWizardWelcomeStart(const rw::WindowServices& services);
};

class CppWizardWelcomeFinish : public nsHalden::CppWizardBase {
public:
    explicit CppWizardWelcomeFinish(const rw::WindowServices& services);
    // When Finish was pressed (calendar time); nothing before.
    std::optional<std::int64_t> FinishedAt() const { return finishedAt_; }

protected:
    rw::InitFocus OnInitDialog() override;
    // Saves the settings pages, then the welcome time.
    bool OnWizardFinish() override;

private:
    const rw::WindowServices& services_;
    std::optional<std::int64_t> finishedAt_;
    rw::IconOwner icons_[4];
};

// Sets up a sheet the way every wizard of the program looks: the product's name as caption,
// the watermark and header pictures, Wizard 97.
void SetUpWizardSheet(nsHalden::CpsWizardBase& sheet);

// Runs the welcome wizard with the planned breaks stored so far; the time the user finished
// it, nothing when cancelled.
std::optional<std::int64_t> RunWelcomeWizard(const rw::WindowServices& services, const rw::CPlannedBreakList& planned);

}  // namespace rw
