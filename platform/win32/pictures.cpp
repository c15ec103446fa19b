#include "platform/win32/pictures.h"

#include <wincodec.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace treva {
namespace {

// The PNG bytes of a picture resource, or empty.
std::pair<const BYTE *, DWORD> resourceBytes(const std::wstring &name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found) return {nullptr, 0};
    const HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {nullptr, 0};
    return {static_cast<const BYTE *>(LockResource(loaded)), SizeofResource(module, found)};
}

} // namespace

Pictures::Pictures() {
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void **>(&factory_))))
        factory_ = nullptr;
}

Pictures::~Pictures() {
    if (factory_) factory_->Release();
}

HBITMAP Pictures::load(int id, UINT dpi, COLORREF background) const {
    if (!factory_) return nullptr;
    const std::wstring name = L"PICTURE_" + std::to_wstring(id);
    auto [bytes, size] = resourceBytes(name + L"_2X");
    int drawnScale = 2;
    if (!bytes || dpi <= 96) {
        std::tie(bytes, size) = resourceBytes(name);
        drawnScale = 1;
    }
    if (!bytes) return nullptr;

    Released<IWICStream> stream;
    Released<IWICBitmapDecoder> decoder;
    Released<IWICBitmapFrameDecode> frame;
    Released<IWICFormatConverter> converter;
    if (FAILED(factory_->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE *>(bytes), size)) ||
        FAILED(factory_->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) || FAILED(factory_->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    UINT drawnWidth = 0, drawnHeight = 0;
    if (FAILED(converter->GetSize(&drawnWidth, &drawnHeight))) return nullptr;
    // The size on this screen, from the picture's own size at 100 %.
    const UINT width =
        static_cast<UINT>(std::max(1, MulDiv(static_cast<int>(drawnWidth) / drawnScale, static_cast<int>(dpi), 96)));
    const UINT height =
        static_cast<UINT>(std::max(1, MulDiv(static_cast<int>(drawnHeight) / drawnScale, static_cast<int>(dpi), 96)));
    IWICBitmapSource *source = converter.p;
    Released<IWICBitmapScaler> scaler;
    if (width != drawnWidth || height != drawnHeight) {
        if (FAILED(factory_->CreateBitmapScaler(scaler.out())) ||
            FAILED(scaler->Initialize(converter.p, width, height, WICBitmapInterpolationModeFant)))
            return nullptr;
        source = scaler.p;
    }
    std::vector<BYTE> pixels(std::size_t(width) * height * 4);
    if (FAILED(source->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data()))) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    const int back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    for (UINT y = 0; y < height; ++y) {
        const BYTE *from = pixels.data() + std::size_t(y) * width * 4;
        BYTE *to = static_cast<BYTE *>(bits) + y * stride;
        for (UINT x = 0; x < width; ++x, from += 4, to += 3) {
            const int alpha = from[3];
            for (int c = 0; c < 3; ++c)
                to[c] = static_cast<BYTE>((from[c] * alpha + back[c] * (255 - alpha) + 127) / 255);
        }
    }
    return bitmap;
}

} // namespace treva
