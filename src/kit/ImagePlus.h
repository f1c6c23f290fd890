// An image held as a 32-bit top-down DIB section with premultiplied alpha, loaded from a PNG
// resource or a picture file through WIC, ready for AlphaBlend.
#pragma once
#include <windows.h>
#include <objidl.h>

#include <cstdint>

#include "framework/Handles.h"

struct IWICImagingFactory;
struct IWICBitmapDecoder;

namespace nsHalden {

class CImagePlus {
public:
    CImagePlus() = default;
    CImagePlus(const CImagePlus&) = delete;
    CImagePlus& operator=(const CImagePlus&) = delete;

    // The resource of type "PNG" with that id: 0x80070490 when there is none, E_FAIL when it
    // is empty or cannot be loaded, the decoder's result when it is no picture.
    HRESULT LoadPngResource(HMODULE module, UINT id);
    // Any picture file WIC can decode (PNG, BMP, GIF, JPEG, TIFF, ICO).
    HRESULT LoadFile(const wchar_t* path);
    void Destroy();
    // Colour bytes times alpha for every pixel that is not opaque (done by both loads).
    void PremultiplyAlpha();

    bool IsNull() const { return !bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool HasAlpha() const { return hasAlpha_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    // BGRA rows, top row first.
    const std::uint8_t* Bits() const { return bits_; }

    // Blends the source rectangle onto dc with per-pixel alpha (when the image has any) at
    // the constant opacity given.
    bool Draw(HDC dc, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, BYTE opacity = 255) const;
    bool Draw(HDC dc, int x, int y) const { return Draw(dc, x, y, width_, height_, 0, 0, width_, height_); }

private:
    HRESULT LoadFromStream(IStream* stream);
    HRESULT LoadFromDecoder(IWICImagingFactory* factory, IWICBitmapDecoder* decoder);

    rw::BitmapOwner bitmap_;
    std::uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool hasAlpha_ = false;
};

}  // namespace nsHalden
