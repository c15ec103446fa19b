#include "platform/win32/screenshots.h"

#include <wincodec.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/win32/pictures.h"
#include "platform/win32/win32_window_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/about.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "windows/frame.h"

namespace treva {
namespace {

// The window as it shows itself, frame and caption included, top row first.
std::vector<BYTE> capture(HWND hwnd, UINT &width, UINT &height) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Let the window system put what the window drew on the screen: a box
    // just opened may not be there yet.
    for (int round = 0; round < 10; ++round) {
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
        GdiFlush();
        Sleep(20);
    }
    RECT r{};
    GetWindowRect(hwnd, &r);
    width = static_cast<UINT>(r.right - r.left);
    height = static_cast<UINT>(r.bottom - r.top);
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

class Shooter {
public:
    Shooter(Win32WindowLayer &layer, std::wstring folder) : layer_(layer), folder_(std::move(folder)) {}

    bool ok = true;

    void shoot(HWND hwnd, const wchar_t *name) {
        const std::wstring path = (std::filesystem::path(folder_) / (std::wstring(name) + L".png")).wstring();
        UINT width = 0, height = 0;
        const std::vector<BYTE> pixels = hwnd ? capture(hwnd, width, height) : std::vector<BYTE>();
        if (!writePng(layer_.pictures().factory(), pixels, width, height, path)) {
            std::fprintf(stderr, "treva: could not write %ls\n", path.c_str());
            ok = false;
        }
    }

    void shootWindow(WindowId window, const wchar_t *name) { shoot(layer_.handle(window), name); }

    // A click on a button, as the button itself reports it.
    void click(WindowId window, int control) {
        if (HWND button = layer_.controlHandle(window, control)) SendMessageW(button, BM_CLICK, 0, 0);
    }

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
    Shooter shooter(layer, folder);
    layer.show();

    // Each box photographed as it opens, then its button pressed.
    const wchar_t *const boxes[] = {L"about", L"beta-notice", L"special"};
    std::size_t box = 0;
    layer.onModal = [&](WindowId window) {
        if (box < std::size(boxes)) shooter.shootWindow(window, boxes[box++]);
        shooter.click(window, kCommandOk);
    };
    frameCommand(app, kCmdAbout);

    // Windows with their fields full: units drawn, the longest table text.
    const WindowId activation = openToolWindow(app, ToolSlot::Activation);
    shooter.click(activation, activation_ids::kRoll);
    shooter.click(activation, activation_ids::kAllowManual);
    shooter.click(activation, activation_ids::kManual);
    shooter.shootWindow(activation, L"activation");

    const WindowId actions = openToolWindow(app, ToolSlot::Actions);
    shooter.click(actions, actions_ids::kInfAction);
    shooter.click(actions, actions_ids::kDirectionButton);
    shooter.click(actions, actions_ids::kManualBox);
    shooter.click(actions, actions_ids::kVehMove);
    shooter.click(actions, actions_ids::dieButton(9));
    shooter.shootWindow(actions, L"actions");

    const WindowId advance = openToolWindow(app, ToolSlot::Advance);
    shooter.click(advance, advance_ids::kNtcButton);
    shooter.shootWindow(advance, L"advance");

    const WindowId random = openToolWindow(app, ToolSlot::RandomTables);
    shooter.click(random, random_tables_ids::kTableA);
    shooter.shootWindow(random, L"random-number-tables");
    // A history to show, and enough dice for the chart's fairness check.
    for (int i = 0; i < 200; ++i) shooter.click(random, random_tables_ids::kTwoDice);
    for (int i = 0; i < 40; ++i) shooter.click(random, random_tables_ids::kSingleDie);
    shooter.click(random, random_tables_ids::kHexRow);

    const WindowId stats = openToolWindow(app, ToolSlot::DieStats);
    shooter.shootWindow(stats, L"die-stats");
    shooter.click(stats, die_stats_ids::kChart);
    shooter.shootWindow(toolWindow(app, ToolSlot::DiceChart), L"dice-chart");
    shooter.shootWindow(openToolWindow(app, ToolSlot::RollHistory), L"roll-history");

    const WindowId setup = openToolWindow(app, ToolSlot::Setup);
    shooter.shootWindow(setup, L"setup-options");
    shooter.click(setup, setup_ids::kSpecialButton);

    shooter.shoot(layer.frameHandle(), L"frame");
    layer.closeFrame();
    return shooter.ok && box == std::size(boxes) ? 0 : 1;
}

} // namespace treva
