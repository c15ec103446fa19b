// The window layer in a web page: every window a panel of the page built from
// its template, every control a real HTML control that holds its own value.
// The page's side (web_layer.js) makes and reads the elements; this side
// keeps what a window is (its procedure, owner, whether it has ended) and
// turns the page's events into the procedures' messages.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "resources/dialogs.h"
#include "ui/placement.h"
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
    TREVA_WINDOW_LAYER_OVERRIDES

    // Where the places of the tool windows are kept between visits (none:
    // for this visit only).
    void keepPlacesIn(SettingsStore *store) { workspace_.setStore(store); }

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

private:
    WebWindow *find(WindowId window) { return book_.find(window); }
    const WebWindow *find(WindowId window) const { return book_.find(window); }
    bool hasControl(WindowId window, int control) const;
    WindowId createWindow(int templateId, WindowId owner, WindowProc proc, bool modal);
    std::optional<ScreenRect> placeOf(const WebWindow &w) const; // a shown tool window's, on the desk
    Surroundings surroundings(WindowId window) const;
    void place(const WebWindow &w);
    void leave(const WebWindow &w);
    void send(WindowId window, const Message &message) { book_.send(window, message); }
    void activateAs(WindowId window, int state);

    WindowBook<WebWindow> book_{kFrameWindow, kFrameWindow};
    bool keepEnded_ = false;
    Workspace workspace_;
};

// Where the page keeps the places of its windows between visits: the
// browser's storage.
class PageSettingsStore : public SettingsStore {
public:
    std::optional<std::string> read(const std::string &key) const override;
    void write(const std::string &key, const std::string &value) override;
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
