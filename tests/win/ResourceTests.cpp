// The executable's resources as Windows loads them: version block, icons at 16 px, and the
// string table generated from its single source.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/ResourceString.h"
#include "core/VersionQuad.h"
#include "res/resource.h"

namespace {

struct PixelSum {
    long r = 0, g = 0, b = 0, opaque = 0;
};

// Draws the icon at 16 × 16 on white into a DIB section and returns its pixels (BGRA).
std::vector<std::uint32_t> RenderIcon16(int id, HDC dc, HBITMAP dib, void* bits) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    EXPECT_NE(icon, nullptr) << "icon " << id;
    HGDIOBJ old = SelectObject(dc, dib);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (icon) DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    GdiFlush();
    SelectObject(dc, old);
    if (icon) DestroyIcon(icon);
    const auto* p = static_cast<const std::uint32_t*>(bits);
    return std::vector<std::uint32_t>(p, p + 256);
}

TEST(Resources, StateIconsLoadAt16PixelsAndDifferInColour) {
    const int ids[] = {IDI_PROGRAM, IDI_WORKING, IDI_RESTED, IDI_BREAK_DUE, IDI_RESTING, IDI_DUE_SUSPENDED};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    std::vector<PixelSum> sums;
    std::vector<std::uint32_t> strip(16 * 16 * 6);
    for (size_t i = 0; i < 6; ++i) {
        const std::vector<std::uint32_t> px = RenderIcon16(ids[i], dc, dib, bits);
        PixelSum s;
        for (size_t k = 0; k < px.size(); ++k) {
            const std::uint32_t c = px[k] & 0xFFFFFF;
            strip[(k / 16) * 96 + i * 16 + k % 16] = c;
            if (c == 0xFFFFFF) continue;
            s.r += (c >> 16) & 0xFF;
            s.g += (c >> 8) & 0xFF;
            s.b += c & 0xFF;
            ++s.opaque;
        }
        EXPECT_GT(s.opaque, 120) << "icon " << ids[i] << " covers most of its 16 x 16 cell";
        sums.push_back(s);
    }
    // Every pair differs clearly in its mean colour.
    for (size_t a = 0; a < sums.size(); ++a) {
        for (size_t b = a + 1; b < sums.size(); ++b) {
            const double d = std::abs(double(sums[a].r) / sums[a].opaque - double(sums[b].r) / sums[b].opaque) +
                             std::abs(double(sums[a].g) / sums[a].opaque - double(sums[b].g) / sums[b].opaque) +
                             std::abs(double(sums[a].b) / sums[a].opaque - double(sums[b].b) / sums[b].opaque);
            EXPECT_GT(d, 30.0) << "icons " << ids[a] << " and " << ids[b];
        }
    }
    DeleteObject(dib);
    DeleteDC(dc);
    // Keep the strip as rendered by Windows for a look (build/win64/icons16.ppm).
    if (FILE* f = std::fopen("build/win64/icons16.ppm", "wb")) {
        std::fprintf(f, "P6 96 16 255\n");
        for (std::uint32_t c : strip) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 8),
                                          static_cast<unsigned char>(c)};
            std::fwrite(rgb, 1, 3, f);
        }
        std::fclose(f);
    }
}

TEST(Resources, VersionBlockNamesTheProduct) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    // The version block carries the same quad the program compares with.
    const std::uint64_t fileVersion = (std::uint64_t{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
    const std::uint64_t productVersion = (std::uint64_t{fixed->dwProductVersionMS} << 32) | fixed->dwProductVersionLS;
    EXPECT_EQ(fileVersion, rw::kRunningVersion);
    EXPECT_EQ(productVersion, rw::kRunningVersion);
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&text),
                               &len));
    EXPECT_EQ(std::wstring(text), rw::kRunningVersionText);
    wchar_t* name = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductName", reinterpret_cast<void**>(&name),
                               &len));
    EXPECT_EQ(std::wstring(name), L"Restwell");
}

TEST(Resources, StringTableMatchesTheSource) {
    // Loaded through LoadStringW from the STRINGTABLE the build generated.
    EXPECT_EQ(rw::ResourceText(IDS_STATUS_BREAK_DUE), L"You have been working for %1!d! minutes.\nTime for a break.");
    EXPECT_EQ(rw::ResourceText(IDS_BROWSER_FAILED).substr(0, 28), L"There was a problem launchin");
    EXPECT_EQ(rw::ResourceText(IDS_RATING_PERCENT), L"%d %%");
    std::wstring out;
    EXPECT_TRUE(rw::FormatResourceString(out, IDS_PLANNED_IN_DAYS, {L"12:30", L"Lunch", 7}));
    EXPECT_EQ(out, L"In 7 days at 12:30, Lunch, is your next planned break.");
}

}  // namespace
