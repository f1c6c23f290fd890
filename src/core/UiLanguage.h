// Which of the program's resource languages to show, for the languages the user has chosen
// for Windows' user interface.
#pragma once
#include <cstdint>
#include <vector>

namespace rw {

// Windows language ids (LANGID): the primary language in the low 10 bits, the region above.
using LanguageId = std::uint16_t;

inline constexpr LanguageId kEnglishUs = 0x0409;

// The first of the user's interface languages (in the user's order) that the program has:
// the same language and region, else the same language in another region (German for an
// Austrian user). English when the program has none of them.
LanguageId ChooseResourceLanguage(const std::vector<LanguageId>& preferred, const std::vector<LanguageId>& available);

}  // namespace rw
