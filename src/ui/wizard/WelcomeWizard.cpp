#include "ui/wizard/WelcomeWizard.h"

// The wizard's pages do not exist yet. Until they do, a first start goes on as if the user
// had finished it, so that it reaches the main window; nothing is stored, so "Welcome"
// stays unset and the real wizard will run on the first start that has it.
bool RunWelcomeWizard() {
    return true;
}
