// The window layer on the Win32 interface: the frame (menu, toolbar strip,
// accelerator, the multiple-document client area) and every window and box
// built in memory from its dialog template. What the windows do is up to
// their procedures; this layer only shows controls and passes input on.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/pictures.h"
#include "resources/dialogs.h"
#include "resources/menu.h"
#include "ui/placement.h"
#include "ui/window_book.h"
#include "ui/window_layer.h"

namespace treva {

class Win32WindowLayer : public WindowLayer {
public:
    // Creates the frame, hidden until show(); COM must be initialised.
    explicit Win32WindowLayer(HINSTANCE instance);
    ~Win32WindowLayer() override;
    Win32WindowLayer(const Win32WindowLayer &) = delete;
    Win32WindowLayer &operator=(const Win32WindowLayer &) = delete;

    // WindowLayer
    TREVA_WINDOW_LAYER_OVERRIDES

    // Shows the frame at the top of the work area.
    void show();
    // The message loop, until the frame is gone: returns the quit code.
    int run();
    // One message of the loop that runs: a box's own loop gives the box its
    // dialog keys; the frame's loop the accelerator, then the dialog keys of
    // a tool window. Anything else is translated and dispatched.
    void handleMessage(MSG &message);

    // Where the places of the tool windows are kept between runs (none: for
    // this run only).
    void keepPlacesIn(SettingsStore *store) { workspace_.setStore(store); }
    // Where the menu, the toolbar, the accelerator and the frame's close box
    // send their commands (the program's frame logic); until the program
    // takes them, the close box closes the frame.
    std::function<void(int command)> onCommand = [this](int command) {
        if (command == kCmdExit) closeFrame();
    };
    // The session is ending (log-off, shut-down): whether the program agrees.
    std::function<bool()> onEndSession;

    // Seams for tests and screenshots, which cannot give input while a box
    // runs its own loop.
    // A modal box of the program has opened and takes input; it should end
    // the box (a box left open waits for the player).
    std::function<void(WindowId box)> onModal;
    // Leaves the loop of a box that is still up: the procedure that opened
    // it carries on as though it had ended with 0, and the box stays up,
    // keeping the input from the other windows. For a script that stops
    // while a box is open.
    void leaveModalLoop(WindowId box);
    // An ended tool window is hidden instead of destroyed, its controls
    // showing their last state, until the layer goes (for a script that
    // reads a window after it has ended).
    bool keepEndedWindows = false;
    // A question or message box (askSaveChanges, showError) has opened.
    std::function<void(HWND box)> onMessageBox;
    // The common file dialog: GetSaveFileNameW or GetOpenFileNameW unless set.
    std::function<bool(OPENFILENAMEW &dialog, bool save)> fileDialog;
    // Hands a page to the browser: ShellExecuteW's "open", which tests
    // replace to see what would open without starting a browser.
    std::function<bool(const std::wstring &path)> shellOpen;

    // The windows, for start-up, screenshots and tests.
    HWND frameHandle() const { return frame_; }
    HWND mdiClient() const { return mdiClient_; }
    HWND toolbar() const { return toolbar_; }
    HMENU menu() const { return menu_; }
    HWND handle(WindowId window) const; // nullptr once the window is gone
    HWND controlHandle(WindowId window, int control) const;
    WindowId windowOf(HWND window) const; // kNoWindow if not one of ours
    int templateOf(WindowId window) const;
    int image(WindowId window, int control) const; // bitmap id a picture shows
    // The newest window made from this template, open or not; kNoWindow if none.
    WindowId newestWindow(int templateId) const;
    WindowId activeWindow() const { return book_.active(); }
    const Pictures &pictures() const { return pictures_; }

private:
    struct Control {
        const ControlTemplate *source = nullptr;
        HWND hwnd = nullptr;
        int image = 0;
        // A list box's rows, asked for as the list shows them.
        int rowCount = 0;
        std::function<std::string(int)> row;
        // The widest of them the list has shown, and its width in the list's
        // font at `dpi`: the column is kept as wide, and the list scrolls
        // sideways to its end.
        std::wstring widestRow;
        int widestWidth = 0;
        UINT dpi = 96;
        bool widening = false; // the column widens once the list has painted
    };
    struct Window : BookWindow {
        Win32WindowLayer *layer = nullptr;
        bool loopLeft = false; // a modal box whose loop has been left, the box up
        HWND hwnd = nullptr;
        std::vector<Control> controls;
        int initialFocus = kNoId;
        std::vector<HWND> disabled; // what a modal box disabled, enabled again as it ends
    };
    // Our other windows take no input while a box is up, as the player expects
    // of a box: disabled on creation, enabled again when it ends.
    class ModalScope;

    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dialogMessage(Window &w, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT frameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void initDialog(Window &w, HWND hwnd);
    void command(Window &w, int id, int code, HWND control);

    HWND ownerHandle(WindowId owner) const;
    HWND dialogOwner() const; // the active window of ours, else the frame
    Window *create(int templateId, WindowId owner, WindowProc proc, bool modal);
    void send(WindowId window, const Message &message) { book_.send(window, message); }
    void place(const Window &w);
    Surroundings surroundings(HMONITOR monitor) const;
    void leave(const Window &w); // a tool window's place, for the next one of its kind
    void showPicture(Control &c, UINT dpi);
    void fitList(const Window &w, Control &c, UINT dpi);
    void fitColumn(const Control &c) const;
    HFONT fixedFont(int points, UINT dpi);
    bool showRow(Control &c, NMLVDISPINFOW &item) const; // true: the column is to widen
    static bool noteRow(Control &c, std::wstring text);  // true: wider than any row before
    void updateRadioTabStops(const Window &w, std::size_t index);
    void buildFrame();
    void buildToolbar();
    void fitFrame();
    void showCaption();
    std::vector<HWND> disableOthers(HWND except);
    const Window *runningBox() const; // the box whose loop runs, if any
    int messageBox(std::wstring_view title, std::wstring_view text, bool question);
    std::optional<std::string> askPath(bool save, std::string_view name);

    HINSTANCE instance_;
    Pictures pictures_;
    HWND frame_ = nullptr;
    HWND mdiClient_ = nullptr;
    HWND toolbar_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HIMAGELIST toolbarImages_ = nullptr;
    std::map<int, std::pair<HMENU, UINT>> menuItems_; // command -> popup and position
    std::vector<std::wstring> toolbarNames_;
    std::wstring caption_;
    bool modified_ = false;
    bool running_ = false;     // in run(): the frame's end ends the loop
    bool settingText_ = false; // the program sets an edit box: no command
    WindowBook<Window> book_{kFrameWindow, kNoWindow};
    std::vector<WindowId> boxLoops_;                   // the boxes whose loops run, innermost last
    std::map<std::pair<int, UINT>, HBITMAP> bitmaps_;  // by picture and dpi
    std::map<std::pair<int, UINT>, HFONT> fixedFonts_; // the list boxes' font, by size and dpi
    // Where the player left each kind of tool window, by template id.
    Workspace workspace_;
};

} // namespace treva
