// The text rules of the kit's controls, apart from any window so they can be tested alone.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace nsHalden {

// A menu button's caption without its access-key marker: the first "&" not followed by
// another "&" is removed; "&&" pairs stay as they are. Without such a marker the caption is
// returned unchanged.
std::wstring PlainCaption(const std::wstring& caption);

// One piece of a rich edit stream-in: moves the first characters of pending into buffer,
// at most byteCount bytes and an even number of them, and returns how many bytes it moved
// (0 ends the stream).
long TakeStreamPiece(std::wstring& pending, std::uint8_t* buffer, long byteCount);

// Premultiplies the colour bytes of 32-bit BGRA pixels by their alpha: c becomes
// (c × A + 127) / 255 wherever A is not 255.
void PremultiplyAlphaPixels(std::uint8_t* bgra, std::size_t pixelCount);

// A tooltip text as the tooltip's 80-character buffer holds it: at most 79 characters.
std::wstring TooltipText(const std::wstring& text);

}  // namespace nsHalden
