// Turns a fuzzer's bytes into the program's inputs. Texts are decoded as UTF-8 into 16-bit
// code units, as Windows holds them: characters beyond the basic plane become surrogate
// pairs and every byte that is not valid UTF-8 becomes a lone surrogate (0xDC00 + byte), so
// seeds stay readable while the fuzzer still reaches every code unit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace rw::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline std::wstring Utf16Of(const std::uint8_t* data, size_t size) {
    std::wstring out;
    size_t i = 0;
    while (i < size) {
        const std::uint8_t b = data[i];
        size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        std::uint32_t cp = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        for (size_t k = 1; length && k < length; ++k) {
            if (i + k >= size || (data[i + k] & 0xC0) != 0x80) {
                length = 0;
            } else {
                cp = (cp << 6) | (data[i + k] & 0x3F);
            }
        }
        if (length == 0) {
            out += static_cast<wchar_t>(0xDC00 + b);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
        i += length;
    }
    return out;
}

// The input split at its zero bytes, each part decoded.
inline std::vector<std::wstring> Parts(const std::uint8_t* data, size_t size) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            parts.push_back(Utf16Of(data + start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

}  // namespace rw::fuzz
