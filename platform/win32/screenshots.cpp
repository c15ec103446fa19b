#include "platform/win32/screenshots.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/win32/pictures.h"
#include "platform/win32/win32_window_layer.h"
#include "ui/screenshot_scenes.h"

namespace treva {
namespace {

// The part of the window a picture shows, on the screen: its client area
// and, above it, its menu bar if it has one. The caption and the frame are
// the window system's, not the program's: Wine draws the glyphs of the
// caption's buttons with a font it may lack, as letters; and the desktop
// program's pictures on Linux show no caption either.
RECT pictureArea(HWND hwnd) {
    RECT area{};
    GetClientRect(hwnd, &area);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT *>(&area), 2);
    MENUBARINFO bar{};
    bar.cbSize = sizeof(bar);
    if (GetMenu(hwnd) && GetMenuBarInfo(hwnd, OBJID_MENU, 0, &bar)) area.top = std::min(area.top, bar.rcBar.top);
    return area;
}

} // namespace

std::vector<BYTE> windowPicture(HWND hwnd, UINT &width, UINT &height) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Let the window system put what the window drew on the screen: a box
    // just opened may not be there yet.
    for (int round = 0; round < 10; ++round) {
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
        GdiFlush();
        Sleep(20);
    }
    const RECT r = pictureArea(hwnd);
    width = static_cast<UINT>(std::max(0L, r.right - r.left));
    height = static_cast<UINT>(std::max(0L, r.bottom - r.top));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<BYTE> pixels;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        // Taken from the screen, where the window is in front: what the
        // player sees, drawn by the window system as it draws it.
        BitBlt(memory, 0, 0, static_cast<int>(width), static_cast<int>(height), screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<BYTE *>(bits), static_cast<BYTE *>(bits) + std::size_t(width) * height * 4);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {

bool writePng(IWICImagingFactory *factory, const std::vector<BYTE> &pixels, UINT width, UINT height,
              const std::wstring &path) {
    if (!factory || pixels.empty()) return false;
    // Three bytes a pixel, blue first, as every PNG encoder takes them.
    const UINT stride = width * 3;
    std::vector<BYTE> rows(std::size_t(stride) * height);
    for (std::size_t i = 0, j = 0; i < pixels.size(); i += 4, j += 3) {
        rows[j] = pixels[i];
        rows[j + 1] = pixels[i + 1];
        rows[j + 2] = pixels[i + 2];
    }
    Released<IWICStream> stream;
    Released<IWICBitmapEncoder> encoder;
    Released<IWICBitmapFrameEncode> frame;
    Released<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    return SUCCEEDED(factory->CreateStream(&stream.p)) &&
           SUCCEEDED(stream.p->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p)) &&
           SUCCEEDED(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder.p->CreateNewFrame(&frame.p, &options.p)) && SUCCEEDED(frame.p->Initialize(options.p)) &&
           SUCCEEDED(frame.p->SetSize(width, height)) && SUCCEEDED(frame.p->SetPixelFormat(&format)) &&
           IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
           SUCCEEDED(frame.p->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data())) &&
           SUCCEEDED(frame.p->Commit()) && SUCCEEDED(encoder.p->Commit());
}

class Win32Camera : public Camera {
public:
    Win32Camera(Win32WindowLayer &layer, std::wstring folder) : layer_(layer), folder_(std::move(folder)) {}

    bool photograph(WindowId window, const char *name) override {
        const std::filesystem::path path = std::filesystem::path(folder_) / (std::string(name) + ".png");
        UINT width = 0, height = 0;
        HWND hwnd = layer_.handle(window);
        const std::vector<BYTE> pixels = hwnd ? windowPicture(hwnd, width, height) : std::vector<BYTE>();
        if (writePng(layer_.pictures().factory(), pixels, width, height, path.wstring())) return true;
        std::fprintf(stderr, "treva: could not write %ls\n", path.wstring().c_str());
        return false;
    }

    // A click on a button, as the button itself reports it.
    void click(WindowId window, int control) override {
        if (HWND button = layer_.controlHandle(window, control)) SendMessageW(button, BM_CLICK, 0, 0);
    }

    void answerBoxes(std::function<void(WindowId box)> answer) override { layer_.onModal = std::move(answer); }

private:
    Win32WindowLayer &layer_;
    std::wstring folder_;
};

} // namespace

int takeScreenshots(Win32WindowLayer &layer, App &app, const std::wstring &folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    if (error) {
        std::fprintf(stderr, "treva: cannot create %ls\n", folder.c_str());
        return 1;
    }
    Win32Camera camera(layer, folder);
    layer.show();
    return playScreenshotScenes(app, camera) ? 0 : 1;
}

} // namespace treva
