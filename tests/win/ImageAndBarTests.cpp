// Images loaded through WIC from the program's resources, and the rating bar drawn into a
// memory DC, checked pixel by pixel. The bars are also saved as PNGs in build/win64/bars/.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/shared/AchievementBar.h"
#include "kit/ImagePlus.h"
#include "res/resource.h"

using namespace rw;

using nsHalden::CImagePlus;

namespace {

// A 32-bit top-down memory DC filled white.
class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap_.reset(CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        old_ = SelectObject(dc_, bitmap_.get());
        RECT all{0, 0, w, h};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        return std::vector<std::uint32_t>(bits_, bits_ + w_ * h_);
    }
    // Saves the canvas as an opaque PNG through WIC.
    void SavePng(const std::wstring& path) const {
        GdiFlush();
        CreateDirectoryW(L"build\\win64\\bars", nullptr);
        IWICImagingFactory* factory = nullptr;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(&factory)))) {
            return;
        }
        IWICStream* stream = nullptr;
        IWICBitmapEncoder* encoder = nullptr;
        IWICBitmapFrameEncode* frame = nullptr;
        if (SUCCEEDED(factory->CreateStream(&stream)) &&
            SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
            SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr))) {
            WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
            frame->SetSize(static_cast<UINT>(w_), static_cast<UINT>(h_));
            frame->SetPixelFormat(&format);
            frame->WritePixels(static_cast<UINT>(h_), static_cast<UINT>(w_ * 4), static_cast<UINT>(w_ * h_ * 4),
                               reinterpret_cast<BYTE*>(bits_));
            frame->Commit();
            encoder->Commit();
        }
        if (frame) frame->Release();
        if (encoder) encoder->Release();
        if (stream) stream->Release();
        factory->Release();
    }

private:
    int w_, h_;
    HDC dc_;
    rw::BitmapOwner bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

bool Greenish(COLORREF c) {
    return GetGValue(c) > GetRValue(c) + 30 && GetGValue(c) > GetBValue(c) + 30;
}
bool Orangeish(COLORREF c) {
    return GetRValue(c) > GetBValue(c) + 80 && GetRValue(c) >= GetGValue(c);
}
bool Greyish(COLORREF c) {
    return std::abs(GetRValue(c) - GetGValue(c)) < 12 && std::abs(GetGValue(c) - GetBValue(c)) < 12 &&
           GetRValue(c) < 250 && GetRValue(c) > 150;
}

TEST(ImagePlus, LoadsPngResourcesPremultiplied) {
    CImagePlus bar;
    ASSERT_EQ(bar.LoadPngResource(GetModuleHandleW(nullptr), IDB_BAR_RISING), S_OK);
    EXPECT_EQ(bar.Width(), 164);
    EXPECT_EQ(bar.Height(), 32);
    EXPECT_TRUE(bar.HasAlpha());
    // Corners of the rounded bar are transparent: premultiplied, they are black with alpha 0.
    const std::uint8_t* corner = bar.Bits();
    EXPECT_EQ(corner[3], 0);
    EXPECT_EQ(corner[0] | corner[1] | corner[2], 0);
    // No colour byte exceeds its alpha once premultiplied.
    for (int i = 0; i < 164 * 32; ++i) {
        const std::uint8_t* p = bar.Bits() + 4 * i;
        ASSERT_LE(p[0], p[3]);
        ASSERT_LE(p[1], p[3]);
        ASSERT_LE(p[2], p[3]);
    }
    CImagePlus missing;
    EXPECT_EQ(missing.LoadPngResource(GetModuleHandleW(nullptr), 4242), static_cast<HRESULT>(0x80070490));
    EXPECT_TRUE(missing.IsNull());
    EXPECT_TRUE(FAILED(missing.LoadFile(L"Z:\\no\\such\\file.png")));
    EXPECT_TRUE(missing.IsNull());
}

TEST(ImagePlus, LoadsPictureFilesAndKeepsOpaqueImagesUnchanged) {
    // The wizard header bitmap is opaque: its pixels come through as stored.
    CImagePlus header;
    ASSERT_EQ(header.LoadFile(L"src\\res\\images\\bmp139.bmp"), S_OK);
    EXPECT_EQ(header.Width(), 49);
    EXPECT_FALSE(header.HasAlpha());
    HBITMAP stored = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_HEADER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(stored, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, stored);
    const COLORREF expected = GetPixel(dc, 24, 24);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(stored);
    const std::uint8_t* p = header.Bits() + 4 * (24 * 49 + 24);
    EXPECT_EQ(RGB(p[2], p[1], p[0]), expected);
    EXPECT_EQ(p[3], 255);
}

class AchievementBar : public ::testing::Test {
protected:
    void SetUp() override {
        const HMODULE module = GetModuleHandleW(nullptr);
        ASSERT_EQ(rising.LoadPngResource(module, IDB_BAR_RISING), S_OK);
        ASSERT_EQ(falling.LoadPngResource(module, IDB_BAR_FALLING), S_OK);
        ASSERT_EQ(empty.LoadPngResource(module, IDB_BAR_EMPTY), S_OK);
        LOGFONTW lf{};
        lf.lfHeight = -16;
        lf.lfWeight = FW_BOLD;
        wcscpy(lf.lfFaceName, L"Tahoma");
        font.reset(CreateFontIndirectW(&lf));
    }
    std::vector<std::uint32_t> Draw(Canvas& canvas, bool enable, float score, bool rising_, bool withImages,
                                    const wchar_t* saveAs = nullptr) {
        const AchievementBarImages images =
            withImages ? AchievementBarImages{&rising, &falling, &empty} : AchievementBarImages{};
        DrawAchievementBar(canvas.dc(), kRect, enable, score, rising_, images, font.get());
        if (saveAs) canvas.SavePng(std::wstring(L"build\\win64\\bars\\") + saveAs + L".png");
        return canvas.Pixels();
    }

    static constexpr RECT kRect{0, 0, 200, 40};
    CImagePlus rising, falling, empty;
    rw::FontOwner font;
};

TEST_F(AchievementBar, ImagesFillUpToTheRating) {
    // The 164 × 32 images are centred: x = 18, y = 4; 47.9 % of 164 is 78 columns.
    {
        Canvas c(200, 40);
        Draw(c, true, 47.9f, true, true, L"images-47_9-rising");
        EXPECT_TRUE(Greenish(c.At(18 + 77, 20)));
        EXPECT_TRUE(Greyish(c.At(18 + 78, 20)));
        EXPECT_TRUE(Greenish(c.At(18 + 10, 20)));
        EXPECT_TRUE(Greyish(c.At(18 + 150, 20)));
        EXPECT_EQ(c.At(5, 20), RGB(255, 255, 255));  // outside the image
    }
    {
        Canvas c(200, 40);
        Draw(c, true, 47.9f, false, true, L"images-47_9-falling");
        EXPECT_TRUE(Orangeish(c.At(18 + 77, 20)));
        EXPECT_TRUE(Greyish(c.At(18 + 78, 20)));
    }
    {
        Canvas c(200, 40);
        Draw(c, true, 0.0f, true, true, L"images-0");
        EXPECT_TRUE(Greyish(c.At(18 + 5, 20)));
    }
    {
        Canvas c(200, 40);
        Draw(c, true, 100.0f, true, true, L"images-100");
        EXPECT_TRUE(Greenish(c.At(18 + 158, 20)));
    }
    {
        Canvas c(200, 40);
        Draw(c, false, 100.0f, true, true, L"images-off");
        EXPECT_TRUE(Greyish(c.At(18 + 10, 20)));  // reminders off: the empty bar whole
    }
}

TEST_F(AchievementBar, WithoutImagesAFrameWithTheFillAndThePercentage) {
    // Inner width 198; 47.9 % fills to 1 + 94 = column 95.
    Canvas c(200, 40);
    const std::vector<std::uint32_t> bar479 = Draw(c, true, 47.9f, true, false, L"plain-47_9");
    EXPECT_EQ(c.At(94, 3), RGB(248, 175, 0));
    EXPECT_EQ(c.At(95, 3), RGB(221, 221, 221));
    EXPECT_EQ(c.At(1, 3), RGB(248, 175, 0));
    EXPECT_EQ(c.At(0, 20), RGB(0, 0, 0));  // the frame
    EXPECT_EQ(c.At(199, 20), RGB(0, 0, 0));
    EXPECT_EQ(c.At(100, 39), RGB(0, 0, 0));
    // The text reads "47 %" for 47.9 and 47.0 alike: apart from the fill boundary the bars match.
    Canvas c47(200, 40);
    const std::vector<std::uint32_t> bar47 = Draw(c47, true, 47.0f, true, false);
    Canvas c48(200, 40);
    const std::vector<std::uint32_t> bar48 = Draw(c48, true, 48.0f, true, false);
    int differ47 = 0, differ48 = 0, textPixels = 0;
    for (int y = 4; y < 36; ++y) {
        for (int x = 100 - 40; x < 100 + 40; ++x) {
            if (x >= 93 && x <= 96) continue;  // the fill boundaries of 47, 47.9 and 48
            differ47 += bar479[y * 200 + x] != bar47[y * 200 + x];
            differ48 += bar479[y * 200 + x] != bar48[y * 200 + x];
            textPixels += (bar479[y * 200 + x] & 0xFFFFFF) == 0;
        }
    }
    EXPECT_EQ(differ47, 0);
    EXPECT_GT(differ48, 10);  // "48 %" is drawn differently
    EXPECT_GT(textPixels, 30);
    {
        Canvas z(200, 40);
        Draw(z, 1, 0.0f, true, false, L"plain-0");
        EXPECT_EQ(z.At(1, 3), RGB(221, 221, 221));
        Canvas f(200, 40);
        Draw(f, 1, 100.0f, true, false, L"plain-100");
        EXPECT_EQ(f.At(198, 3), RGB(248, 175, 0));
        Canvas off(200, 40);
        Draw(off, 0, 50.0f, true, false);
        EXPECT_EQ(off.At(100, 20), RGB(255, 255, 255));  // nothing drawn when reminders are off
        EXPECT_EQ(off.At(0, 0), RGB(255, 255, 255));
    }
}

}  // namespace
