// The language the windows of this thread are made in: resources (dialogs, menus, strings)
// exist in several languages in the one executable, and the loader picks them by the thread.
#pragma once
#include <windows.h>

#include <vector>

#include "core/UiLanguage.h"

namespace rw {

// The languages the module's string table exists in.
std::vector<LanguageId> ResourceLanguages(HMODULE module);

// The user's interface languages, the preferred first.
std::vector<LanguageId> UserInterfaceLanguages();

// Makes the calling thread's resource loads pick `language` (then English for anything it
// lacks). True when the thread follows it.
bool UseResourceLanguage(LanguageId language);

// Chooses the module's language for the user's interface languages and uses it on this
// thread; returns it.
LanguageId UseUserInterfaceLanguage(HMODULE module);

}  // namespace rw
