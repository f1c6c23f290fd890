#include "framework/ResourceLanguage.h"

#include <cwchar>

namespace rw {

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<LanguageId>*>(list)->push_back(language);
    return TRUE;
}

}  // namespace

std::vector<LanguageId> ResourceLanguages(HMODULE module) {
    std::vector<LanguageId> languages;
    // The string table is stored in blocks of 16 strings; the block holding IDS_OK "OK" (200)
    // exists in every language the program speaks.
    EnumResourceLanguagesW(module, RT_STRING, MAKEINTRESOURCEW(200 / 16 + 1), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::vector<LanguageId> UserInterfaceLanguages() {
    std::vector<LanguageId> languages;
    ULONG count = 0;
    ULONG length = 0;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_ID, &count, nullptr, &length) && length > 0) {
        std::vector<wchar_t> list(length);
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_ID, &count, list.data(), &length)) {
            // Hexadecimal ids, each ended by a zero, the list by another.
            for (const wchar_t* id = list.data(); *id; id += wcslen(id) + 1) {
                languages.push_back(static_cast<LanguageId>(wcstoul(id, nullptr, 16)));
            }
        }
    }
    if (languages.empty()) languages.push_back(GetUserDefaultUILanguage());
    return languages;
}

bool UseResourceLanguage(LanguageId language) {
    // Windows' loader follows the thread's interface language. Wine's ignores it and follows
    // the thread's locale instead, which on Windows no longer picks resources: set that only
    // when the interface language did not take.
    SetThreadUILanguage(language);
    if (GetThreadUILanguage() == language) return true;
    return SetThreadLocale(MAKELCID(language, SORT_DEFAULT)) != FALSE;
}

LanguageId UseUserInterfaceLanguage(HMODULE module) {
    const LanguageId language = ChooseResourceLanguage(UserInterfaceLanguages(), ResourceLanguages(module));
    UseResourceLanguage(language);
    return language;
}

}  // namespace rw
