#include <gtest/gtest.h>

#include "core/UiLanguage.h"

namespace {

using rw::LanguageId;

constexpr LanguageId kGerman = 0x0407, kAustrian = 0x0C07, kSwissGerman = 0x0807, kFrench = 0x040C,
                     kCanadianFrench = 0x0C0C, kSpanish = 0x0C0A, kBritish = 0x0809, kPseudo = 0x0501;

TEST(ChooseResourceLanguage, TakesTheUsersFirstLanguageTheProgramHasInItsOwnOrAnotherRegion) {
    const std::vector<LanguageId> program = {rw::kEnglishUs, kGerman, kFrench, kPseudo};
    struct Case {
        std::vector<LanguageId> user;
        LanguageId shown;
    } cases[] = {
        {{kGerman}, kGerman},
        {{kFrench}, kFrench},
        {{kPseudo}, kPseudo},
        {{kAustrian}, kGerman},              // another region of a language it has
        {{kSwissGerman, kFrench}, kGerman},  // the first such in the user's order
        {{kCanadianFrench}, kFrench},
        {{kSpanish}, rw::kEnglishUs},    // a language it does not have: English
        {{kSpanish, kFrench}, kFrench},  // or the user's next one it has
        {{kBritish}, rw::kEnglishUs},
        {{}, rw::kEnglishUs},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rw::ChooseResourceLanguage(c.user, program), c.shown) << std::hex << (c.user.empty() ? 0 : c.user[0]);
    }
    // The exact region wins over an earlier entry of the same language in the program's list.
    EXPECT_EQ(rw::ChooseResourceLanguage({kCanadianFrench}, {kFrench, kCanadianFrench}), kCanadianFrench);
}

}  // namespace
