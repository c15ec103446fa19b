// In-memory windows: each window holds its controls as data built from its
// template, and takes input as a player would give it (clicks, list choices,
// typing, Escape). Serves tests and treva-cli.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "resources/dialogs.h"
#include "ui/window_book.h"
#include "ui/window_layer.h"

namespace treva {

struct HeadlessControl {
    const ControlTemplate *source = nullptr;
    std::string text;
    bool enabled = true;
    bool checked = false;
    std::vector<std::string> items;
    int selection = -1;
    int image = 0;
    int rowCount = 0; // a list box's rows, drawn by `row`
    std::function<std::string(int)> row;
    std::vector<int> selectedRows;
    std::vector<ChartBar> bars;
};

struct HeadlessWindow : BookWindow {
    int focus = kNoId;
    bool focusTextSelected = false;
    std::vector<HeadlessControl> controls;

    HeadlessControl *control(int id);
    const HeadlessControl *control(int id) const;
};

class HeadlessLayer : public WindowLayer {
public:
    HeadlessLayer();

    // WindowLayer
    TREVA_WINDOW_LAYER_OVERRIDES

    // Input. Each returns false when the window has no such control or the
    // input does not apply to it (nothing is sent then). A disabled control
    // ignores input; a control that takes input also takes the focus, and a
    // drop-down list that gains the focus sends its command, as the real ones
    // report it.
    // A mouse click: a push button sends its command, a check box toggles
    // then sends, a radio button checks itself (unchecking its group) then
    // sends. A drop-down list drops down and closes again with nothing
    // chosen; an edit box takes the caret. Texts and pictures send nothing.
    bool click(WindowId window, int control);
    // Chooses item `index` of a drop-down list, then sends its command.
    bool choose(WindowId window, int control, int index);
    // Replaces the text of an edit box by what typing `text` puts there,
    // then sends its command. Control characters are left out: no key types
    // them into an edit box; typing stops when the box is full.
    bool type(WindowId window, int control, std::string_view text);
    // Selects rows of a list box as clicks with Ctrl held do (rows outside
    // the list are left out); sends nothing.
    bool selectRows(WindowId window, int control, const std::vector<int> &rows);
    // The caption's close box: command 2, where the window has one.
    bool closeBox(WindowId window);
    // The Escape key: command 2 in a modal box and in a tool window that
    // Escape closes, nothing in the others.
    void escape(WindowId window);
    // Makes a window active by a mouse click.
    void clickActivate(WindowId window);

    // What the windows show.
    const HeadlessWindow *window(WindowId window) const;
    const HeadlessControl *control(WindowId window, int control) const;
    WindowId activeWindow() const { return book_.active(); }
    // The newest window made from this template, open or not; kNoWindow if none.
    WindowId newestWindow(int templateId) const;
    std::vector<WindowId> openWindows() const;

    // Called by runModal with the new box so that a test or script can give
    // it input; a box still open when this returns is left open, and runModal
    // returns 0.
    std::function<void(WindowId box)> onModal;
    // Answers of the file dialogs (nothing: the player cancels).
    std::function<std::optional<std::string>(bool save, std::string_view name)> onFileDialog;

    std::string frameCaption;
    bool frameModified = false;
    std::vector<SaveAnswer> saveAnswers;    // askSaveChanges takes from the front; Cancel when none is left
    std::vector<std::string> saveQuestions; // the names asked about
    std::map<int, bool> menuEnabled;
    bool frameClosed() const { return book_.frameClosed(); }
    std::vector<std::string> errors;          // what showError told the player
    std::vector<std::string> documentsOpened; // what openDocument was asked to show
    bool documentsOpen = true;                // whether a browser takes them
    std::string clipboard;

private:
    HeadlessWindow *find(WindowId window) { return book_.find(window); }
    const HeadlessWindow *find(WindowId window) const { return book_.find(window); }
    HeadlessControl *findControl(WindowId window, int control) { return book_.control(window, control); }
    const HeadlessControl *findControl(WindowId window, int control) const { return book_.control(window, control); }
    WindowId createWindow(int templateId, WindowId owner, WindowProc proc, bool modal);
    void takeFocus(HeadlessWindow &window, const HeadlessControl &control);
    void send(WindowId window, const Message &message) { book_.send(window, message); }
    void activateAs(WindowId window, int state);

    WindowBook<HeadlessWindow> book_{kFrameWindow, kFrameWindow};
};

} // namespace treva
