#include "core/UiLanguage.h"

#include <algorithm>

namespace rw {

namespace {

constexpr LanguageId PrimaryLanguage(LanguageId id) {
    return static_cast<LanguageId>(id & 0x3FF);
}

}  // namespace

LanguageId ChooseResourceLanguage(const std::vector<LanguageId>& preferred, const std::vector<LanguageId>& available) {
    for (const LanguageId wanted : preferred) {
        if (std::find(available.begin(), available.end(), wanted) != available.end()) return wanted;
        const auto sameLanguage = std::find_if(available.begin(), available.end(), [wanted](LanguageId id) {
            return PrimaryLanguage(id) == PrimaryLanguage(wanted);
        });
        if (sameLanguage != available.end()) return *sameLanguage;
    }
    return kEnglishUs;
}

}  // namespace rw
