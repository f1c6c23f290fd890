#include <gtest/gtest.h>

#include <vector>

#include "kit/KitText.h"

using namespace nsHalden;

namespace {

TEST(KitText, MenuButtonCaptionLosesOnlyItsAccessKeyMarker) {
    struct Case {
        const wchar_t* full;
        const wchar_t* plain;
    };
    for (const Case& c :
         {Case{L"&Suspend", L"Suspend"}, Case{L"Sus&pend", L"Suspend"}, Case{L"Tom && Jerry", L"Tom && Jerry"},
          Case{L"Tom && &Jerry", L"Tom && Jerry"}, Case{L"&&&Help", L"&&Help"}, Case{L"No marker", L"No marker"},
          Case{L"End&", L"End"}, Case{L"", L""}, Case{L"&a&b", L"a&b"}}) {
        EXPECT_EQ(PlainCaption(c.full), c.plain) << c.full;
    }
}

std::wstring StreamAll(std::wstring text, long pieceBytes, int* pieces) {
    std::vector<std::uint8_t> buffer(static_cast<size_t>(pieceBytes));
    std::wstring received;
    *pieces = 0;
    for (;;) {
        const long n = TakeStreamPiece(text, buffer.data(), pieceBytes);
        if (n == 0) break;
        EXPECT_EQ(n % 2, 0);
        EXPECT_LE(n, pieceBytes);
        ++*pieces;
        for (long i = 0; i < n; i += 2) received += static_cast<wchar_t>(buffer[i] | (buffer[i + 1] << 8));
    }
    return received;
}

TEST(KitText, StreamTextArrivesWholeInPieces) {
    int pieces = 0;
    EXPECT_EQ(StreamAll(L"", 4096, &pieces), L"");
    EXPECT_EQ(pieces, 0);
    std::wstring longText;
    for (int i = 0; i < 10000; ++i) longText += static_cast<wchar_t>(L'a' + i % 26);
    longText += L"\u00e9\u2014";
    EXPECT_EQ(StreamAll(longText, 4096, &pieces), longText);
    EXPECT_EQ(pieces, 5);                              // 20004 bytes in pieces of at most 4096
    EXPECT_EQ(StreamAll(L"odd", 5, &pieces), L"odd");  // an odd buffer takes whole characters only
    EXPECT_EQ(pieces, 2);
}

TEST(KitText, PremultiplyAlpha) {
    std::vector<std::uint8_t> px = {
        10,  20,  30, 255,  // opaque: unchanged
        255, 128, 1,  0,    // transparent: black
        255, 128, 1,  128,  // half: (c * 128 + 127) / 255
        200, 100, 50, 1,
    };
    PremultiplyAlphaPixels(px.data(), 4);
    EXPECT_EQ(px, (std::vector<std::uint8_t>{10, 20, 30, 255, 0, 0, 0, 0, 128, 64, 1, 128, 1, 0, 0, 1}));
}

}  // namespace
