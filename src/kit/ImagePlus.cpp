#include "kit/ImagePlus.h"

#include <wincodec.h>

#include <new>

#include "kit/KitText.h"

namespace nsHalden {
namespace {

HRESULT CreateFactory(rw::ComPtr<IWICImagingFactory>& factory) {
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                            factory.receiveVoid());
}

}  // namespace

void CImagePlus::Destroy() {
    bitmap_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
    hasAlpha_ = false;
}

HRESULT CImagePlus::LoadFromDecoder(IWICImagingFactory* factory, IWICBitmapDecoder* decoder) {
    rw::ComPtr<IWICBitmapFrameDecode> frame;
    HRESULT hr = decoder->GetFrame(0, frame.receive());
    if (FAILED(hr)) return hr;
    WICPixelFormatGUID format{};
    frame->GetPixelFormat(&format);
    rw::ComPtr<IWICFormatConverter> converter;
    hr = factory->CreateFormatConverter(converter.receive());
    if (FAILED(hr)) return hr;
    hr = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                               WICBitmapPaletteTypeCustom);
    if (FAILED(hr)) return hr;
    UINT w = 0, h = 0;
    hr = converter->GetSize(&w, &h);
    if (FAILED(hr)) return hr;
    if (w == 0 || h == 0 || w > 16384 || h > 16384) return E_FAIL;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    rw::BitmapOwner bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) return E_OUTOFMEMORY;
    hr = converter->CopyPixels(nullptr, w * 4, w * 4 * h, static_cast<BYTE*>(bits));
    if (FAILED(hr)) return hr;

    Destroy();
    bitmap_ = std::move(bitmap);
    bits_ = static_cast<std::uint8_t*>(bits);
    width_ = static_cast<int>(w);
    height_ = static_cast<int>(h);
    // Formats without an alpha channel convert to opaque pixels; any other pixel tells.
    hasAlpha_ = false;
    for (size_t i = 3; i < static_cast<size_t>(w) * h * 4; i += 4) {
        if (bits_[i] != 255) {
            hasAlpha_ = true;
            break;
        }
    }
    return S_OK;
}

HRESULT CImagePlus::LoadFromStream(IStream* stream) {
    rw::ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CreateFactory(factory);
    if (FAILED(hr)) return hr;
    rw::ComPtr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder.receive());
    if (FAILED(hr)) return hr;
    return LoadFromDecoder(factory.get(), decoder.get());
}

HRESULT CImagePlus::LoadPngResource(HMODULE module, UINT id) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    const DWORD size = SizeofResource(module, resource);
    if (size == 0) return E_FAIL;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return E_FAIL;

    // The decoder reads from a stream over a movable copy that stays ours to free.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return E_FAIL;
    HRESULT hr = E_FAIL;
    if (void* copy = GlobalLock(block)) {
        memcpy(copy, data, size);
        GlobalUnlock(block);
        rw::ComPtr<IStream> stream;
        hr = CreateStreamOnHGlobal(block, FALSE, stream.receive());
        if (SUCCEEDED(hr)) hr = LoadFromStream(stream.get());
    }
    GlobalFree(block);
    if (SUCCEEDED(hr)) PremultiplyAlpha();
    return hr;
}

HRESULT CImagePlus::LoadFile(const wchar_t* path) {
    if (!path || !*path) return E_INVALIDARG;
    rw::ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CreateFactory(factory);
    if (FAILED(hr)) return hr;
    rw::ComPtr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                            decoder.receive());
    if (FAILED(hr)) return hr;
    hr = LoadFromDecoder(factory.get(), decoder.get());
    if (SUCCEEDED(hr)) PremultiplyAlpha();
    return hr;
}

void CImagePlus::PremultiplyAlpha() {
    if (bits_) PremultiplyAlphaPixels(bits_, static_cast<size_t>(width_) * static_cast<size_t>(height_));
}

bool CImagePlus::Draw(HDC dc, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH, BYTE opacity) const {
    if (!bitmap_ || w <= 0 || h <= 0 || srcW <= 0 || srcH <= 0) return false;
    const rw::MemoryDCOwner source(CreateCompatibleDC(dc));
    if (!source) return false;
    // Declared after the DC: the bitmap is selected out again before the DC is deleted.
    rw::SelectionGuard select(source.get(), bitmap_.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, static_cast<BYTE>(hasAlpha_ ? AC_SRC_ALPHA : 0)};
    return AlphaBlend(dc, x, y, w, h, source.get(), srcX, srcY, srcW, srcH, blend) != FALSE;
}

}  // namespace nsHalden
