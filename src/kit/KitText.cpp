#include "kit/KitText.h"

#include <cstring>

namespace nsHalden {

std::wstring PlainCaption(const std::wstring& caption) {
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (i + 1 < caption.size() && caption[i + 1] == L'&') {
            ++i;  // a doubled "&" shows one ampersand and stays as it is
            continue;
        }
        return caption.substr(0, i) + caption.substr(i + 1);
    }
    return caption;
}

long TakeStreamPiece(std::wstring& pending, std::uint8_t* buffer, long byteCount) {
    // Rich edit's Unicode text streams are UTF-16: two bytes a character.
    const long available = static_cast<long>(pending.size()) * 2;
    long n = byteCount < available ? byteCount : available;
    n &= ~1L;
    if (n <= 0) return 0;
    const size_t characters = static_cast<size_t>(n) / 2;
    for (size_t i = 0; i < characters; ++i) {
        const auto unit = static_cast<std::uint16_t>(pending[i]);
        buffer[2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
        buffer[2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
    }
    pending.erase(0, characters);
    return n;
}

void PremultiplyAlphaPixels(std::uint8_t* bgra, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        std::uint8_t* p = bgra + 4 * i;
        const unsigned a = p[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * a + 127) / 255);
    }
}

std::wstring TooltipText(const std::wstring& text) {
    return text.substr(0, 79);
}

}  // namespace nsHalden
