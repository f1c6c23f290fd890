// The first-run welcome wizard.
#pragma once

// Runs the welcome wizard; true when the user finished it.
bool RunWelcomeWizard();
