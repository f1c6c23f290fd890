// The first-run welcome wizard: a welcome page, the breaks settings page and a closing page
// that explains the notification-area icons. Finish saves the break settings and "Welcome".
#pragma once
#include <windows.h>

#include "ui/shared/AppShared.h"
#include "framework/Handles.h"
#include "kit/WizardBase.h"

class CppWizardWelcomeStart : public nsHalden::CppWizardBase {
public:
    explicit CppWizardWelcomeStart(const rw::AppShared& app);
};

class CppWizardWelcomeFinish : public nsHalden::CppWizardBase {
public:
    explicit CppWizardWelcomeFinish(rw::AppShared& app);

protected:
    rw::InitFocus OnInitDialog() override;
    // Saves the settings pages, then the welcome time.
    bool OnWizardFinish() override;

private:
    rw::AppShared& app_;
    rw::IconOwner icons_[4];
};

// Sets up a sheet the way every wizard of the program looks: the product's name as caption,
// the watermark and header pictures, Wizard 97.
void SetUpWizardSheet(nsHalden::CpsWizardBase& sheet);

// Runs the welcome wizard; true when the user finished it.
bool RunWelcomeWizard(rw::AppShared& app);
