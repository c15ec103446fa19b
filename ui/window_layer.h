// The window layer: what the program's window procedures ask of the windowing
// system. Realised by real windows (platform/qt) and by in-memory windows
// (platform/headless) for tests and treva-cli.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_id.h"

namespace treva {

enum class MessageKind {
    Init,     // the window has been created from its template
    Command,  // a control (or menu, or close box as 2) sent command `id`
    Activate, // activation changed: `activeState`, and the `other` window
};

// How a window became active.
enum ActiveState { kInactive = 0, kActive = 1, kClickActive = 2 };

struct Message {
    MessageKind kind;
    int id = 0;
    int activeState = kInactive;
    WindowId other = kNoWindow;
};

// A window procedure: true when it handled the message.
using WindowProc = std::function<bool(WindowId self, const Message &message)>;

// One bar of a chart: a result, how often it came up, and how often fair dice
// would have given it in as many rolls (drawn as a mark across the bar).
struct ChartBar {
    std::string label; // code page 1252
    int count = 0;
    double expected = 0;
};

// Standard command ids that windows send to themselves.
inline constexpr int kCommandOk = 1;
inline constexpr int kCommandCancel = 2; // Escape in a modal box; the caption's close box

// What runModal returns for a box that could not be made.
inline constexpr int kNoBox = -1;

class WindowLayer {
public:
    virtual ~WindowLayer() = default;

    // The frame window, owner of every tool window and box.
    WindowId frame() const { return kFrameWindow; }

    // A modeless window from dialog template `templateId`, shown at once; its
    // procedure receives Init before this returns. kNoWindow when there is no
    // such template or the window cannot be made.
    virtual WindowId createModeless(int templateId, WindowId owner, WindowProc proc) = 0;
    // A modal box: returns once the box has ended, with its result; kNoBox
    // when it cannot be made.
    virtual int runModal(int templateId, WindowId owner, WindowProc proc) = 0;
    // Ends a window (modal or modeless) from within its procedure.
    virtual void endWindow(WindowId window, int result) = 0;
    virtual void activate(WindowId window) = 0;
    virtual bool isOpen(WindowId window) const = 0;

    // Controls of a window, by control id. An id the window lacks is ignored.
    virtual void setText(WindowId window, int control, std::string_view text) = 0;
    virtual std::string text(WindowId window, int control) const = 0;
    virtual void setChecked(WindowId window, int control, bool checked) = 0;
    virtual bool isChecked(WindowId window, int control) const = 0;
    virtual void setEnabled(WindowId window, int control, bool enabled) = 0;
    virtual void addItem(WindowId window, int control, std::string_view item) = 0;
    virtual void setSelection(WindowId window, int control, int index) = 0;
    virtual int selection(WindowId window, int control) const = 0; // -1 for none
    virtual void setImage(WindowId window, int control, int bitmapId) = 0;
    // Puts the focus on an edit box with all its text selected.
    virtual void focusAndSelectAll(WindowId window, int control) = 0;
    // A list box of `count` rows; `row(i)` gives row i (code page 1252)
    // whenever the list shows it, until the next setRows, so that a list of a
    // hundred thousand rows costs no more than one of ten. The selection is
    // cleared and the first row scrolled into view.
    virtual void setRows(WindowId window, int control, int count, std::function<std::string(int)> row) = 0;
    // The selected rows of a list box, in ascending order.
    virtual std::vector<int> selectedRows(WindowId window, int control) const = 0;
    // The bars of a chart, left to right.
    virtual void setChart(WindowId window, int control, const std::vector<ChartBar> &bars) = 0;
    // Puts a text (UTF-8) on the clipboard.
    virtual void copyText(std::string_view text) = 0;

    // The frame's caption and menu. The caption names the scenario's file,
    // so it is UTF-8, as file names are.
    virtual void setFrameCaption(std::string_view caption) = 0;
    // Marks the caption, in the platform's way, while there are unsaved changes.
    virtual void setFrameModified(bool modified) = 0;
    virtual void setMenuItemEnabled(int command, bool enabled) = 0;
    virtual void closeFrame() = 0;

    // File dialogs: a full path, or nothing when the player cancels. Open asks
    // before accepting a missing name; Save asks before replacing a file.
    virtual std::optional<std::string> askOpenPath(std::string_view startName) = 0;
    virtual std::optional<std::string> askSavePath(std::string_view proposedName) = 0;
    // "Save changes to NAME?" with Save, Don't Save and Cancel; NAME is the
    // file's (UTF-8).
    enum class SaveAnswer { Save, DontSave, Cancel };
    virtual SaveAnswer askSaveChanges(std::string_view name) = 0;
    // Tells the player something went wrong (a file that could not be read or
    // written); UTF-8, as the file name in it.
    virtual void showError(std::string_view title, std::string_view text) = 0;
    // Shows a local HTML page (its path UTF-8) in the platform's browser and
    // returns at once; false when the platform could not hand it over.
    virtual bool openDocument(std::string_view path) = 0;
    // Windows > Arrange Windows: every open tool window back in free room.
    virtual void arrangeWindows() = 0;
};

// Every realisation overrides the whole interface: it declares it with this
// one list, kept beside the interface.
#define TREVA_WINDOW_LAYER_OVERRIDES                                                                                   \
    WindowId createModeless(int templateId, WindowId owner, WindowProc proc) override;                                 \
    int runModal(int templateId, WindowId owner, WindowProc proc) override;                                            \
    void endWindow(WindowId window, int result) override;                                                              \
    void activate(WindowId window) override;                                                                           \
    bool isOpen(WindowId window) const override;                                                                       \
    void setText(WindowId window, int control, std::string_view text) override;                                        \
    std::string text(WindowId window, int control) const override;                                                     \
    void setChecked(WindowId window, int control, bool checked) override;                                              \
    bool isChecked(WindowId window, int control) const override;                                                       \
    void setEnabled(WindowId window, int control, bool enabled) override;                                              \
    void addItem(WindowId window, int control, std::string_view item) override;                                        \
    void setSelection(WindowId window, int control, int index) override;                                               \
    int selection(WindowId window, int control) const override;                                                        \
    void setImage(WindowId window, int control, int bitmapId) override;                                                \
    void focusAndSelectAll(WindowId window, int control) override;                                                     \
    void setRows(WindowId window, int control, int count, std::function<std::string(int)> row) override;               \
    std::vector<int> selectedRows(WindowId window, int control) const override;                                        \
    void setChart(WindowId window, int control, const std::vector<ChartBar> &bars) override;                           \
    void copyText(std::string_view text) override;                                                                     \
    void setFrameCaption(std::string_view caption) override;                                                           \
    void setFrameModified(bool modified) override;                                                                     \
    void setMenuItemEnabled(int command, bool enabled) override;                                                       \
    void closeFrame() override;                                                                                        \
    std::optional<std::string> askOpenPath(std::string_view startName) override;                                       \
    std::optional<std::string> askSavePath(std::string_view proposedName) override;                                    \
    SaveAnswer askSaveChanges(std::string_view name) override;                                                         \
    void showError(std::string_view title, std::string_view text) override;                                            \
    bool openDocument(std::string_view path) override;                                                                 \
    void arrangeWindows() override;

// Checks `checkedId` and unchecks the other buttons first..last.
void checkRadioButton(WindowLayer &ui, WindowId window, int first, int last, int checkedId);

} // namespace treva
