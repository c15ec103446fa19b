// The window layer in a web page: every window a panel of the page built from
// its template, every control a real HTML control that holds its own value.
// The page's side (web_layer.js) makes and reads the elements; this side
// keeps what a window is (its procedure, owner, whether it has ended) and
// turns the page's events into the procedures' messages.
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

struct WebWindow : BookWindow {
    // A list box's rows, drawn when the page shows them.
    std::map<int, std::function<std::string(int)>> rows;
};

class WebLayer : public WindowLayer {
public:
    // `keepEnded`: an ended window stays in the page, hidden, so that what it
    // last showed can still be read (the drive reads it after the end).
    explicit WebLayer(bool keepEnded = false);
    ~WebLayer() override;

    // The header: the menu and the strip of picture buttons.
    void buildFrame();

    // WindowLayer
    WindowId frame() const override { return kFrameWindow; }
    WindowId createModeless(int templateId, WindowId owner, WindowProc proc) override;
    int runModal(int templateId, WindowId owner, WindowProc proc) override;
    void endWindow(WindowId window, int result) override;
    void activate(WindowId window) override;
    bool isOpen(WindowId window) const override;
    void setText(WindowId window, int control, std::string_view text) override;
    std::string text(WindowId window, int control) const override;
    void setChecked(WindowId window, int control, bool checked) override;
    bool isChecked(WindowId window, int control) const override;
    void setEnabled(WindowId window, int control, bool enabled) override;
    void addItem(WindowId window, int control, std::string_view item) override;
    void setSelection(WindowId window, int control, int index) override;
    int selection(WindowId window, int control) const override;
    void setImage(WindowId window, int control, int bitmapId) override;
    void focusAndSelectAll(WindowId window, int control) override;
    void setRows(WindowId window, int control, int count, std::function<std::string(int)> row) override;
    std::vector<int> selectedRows(WindowId window, int control) const override;
    void setChart(WindowId window, int control, const std::vector<ChartBar> &bars) override;
    void copyText(std::string_view text) override;
    void setFrameCaption(std::string_view caption) override;
    void setFrameModified(bool modified) override;
    void setMenuItemEnabled(int command, bool enabled) override;
    void closeFrame() override;
    std::optional<std::string> askOpenPath(std::string_view startName) override;
    std::optional<std::string> askSavePath(std::string_view proposedName) override;
    SaveAnswer askSaveChanges(std::string_view name) override;
    void showError(std::string_view title, std::string_view text) override;
    bool openDocument(std::string_view path) override;

    // The page's events.
    void command(WindowId window, int control);
    void clickActivate(WindowId window);
    // Row `index` of a list box as the page shows it (UTF-8).
    std::string row(WindowId window, int control, int index) const;

    // What the drive reads.
    const WebWindow *window(WindowId window) const;
    WindowId newestWindow(int templateId) const;
    int itemCount(WindowId window, int control) const;
    std::string itemText(WindowId window, int control, int index) const;
    bool isEnabled(WindowId window, int control) const;
    int image(WindowId window, int control) const;

    // Called by runModal with the new box (the drive gives it its input); a
    // box still open when this returns is left open, and runModal returns 0.
    std::function<void(WindowId box)> onModal;

    static constexpr WindowId kFrameWindow = 1;

private:
    WebWindow *find(WindowId window) { return book_.find(window); }
    const WebWindow *find(WindowId window) const { return book_.find(window); }
    bool hasControl(WindowId window, int control) const;
    WindowId createWindow(int templateId, WindowId owner, WindowProc proc, bool modal);
    void send(WindowId window, const Message &message) { book_.send(window, message); }
    void activateAs(WindowId window, int state);

    WindowBook<WebWindow> book_{kFrameWindow, kFrameWindow};
    bool frameClosed_ = false;
    bool keepEnded_ = false;
};

// The layer the page's events go to (one page, one layer).
struct WebPage {
    WebLayer *layer = nullptr;
    std::function<void(int command)> onFrameCommand;
    // After every event the page has handed to the program.
    std::function<void()> afterEvent;
    std::string rowShown; // the row last handed to the page
};
extern WebPage webPage;

} // namespace treva
