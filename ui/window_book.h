// The book every realisation keeps of its windows: which are open, their
// procedures and owners, which one is active, and the rules for ending and
// activating them, written once. A realisation adds its toolkit's part of a
// window by deriving from BookWindow; its controls are a vector `controls`
// whose elements name their template as `source`.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "resources/dialogs.h"
#include "ui/window_layer.h"

namespace treva {

struct BookWindow {
    WindowId id = kNoWindow;
    const DialogTemplate *dialog = nullptr;
    WindowProc proc;
    WindowId owner = kNoWindow;
    bool modal = false;
    bool open = true;
    int result = 0;
};

template <typename Window> class WindowBook {
public:
    // The frame's id comes first; windows are numbered after it. `active`
    // is the window active before any is made.
    WindowBook(WindowId frame, WindowId active) : frame_(frame), next_(frame + 1), active_(active) {}

    // A new window, open, numbered after the last.
    Window &add(const DialogTemplate &dialog, WindowProc proc, WindowId owner, bool modal) {
        auto record = std::make_unique<Window>();
        record->id = next_++;
        record->dialog = &dialog;
        record->proc = std::move(proc);
        record->owner = owner;
        record->modal = modal;
        Window &w = *record;
        windows_[w.id] = std::move(record);
        return w;
    }

    Window *find(WindowId window) {
        auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : it->second.get();
    }
    const Window *find(WindowId window) const { return const_cast<WindowBook *>(this)->find(window); }

    // A control of a window by its id; none for kNoId or a window without it.
    auto *control(WindowId window, int id) {
        Window *w = find(window);
        decltype(&w->controls.front()) found = nullptr;
        if (!w || id == kNoId) return found;
        for (auto &c : w->controls)
            if (c.source->id == id) return &c;
        return found;
    }
    const auto *control(WindowId window, int id) const { return const_cast<WindowBook *>(this)->control(window, id); }

    // The frame until it is closed; a window of the book while it is open.
    bool isOpen(WindowId window) const {
        if (window == frame_) return !frameClosed_;
        const Window *w = find(window);
        return w && w->open;
    }

    bool frameClosed() const { return frameClosed_; }
    // The frame takes its windows with it: each open one is marked ended and
    // handed to `ended`. False when the frame was closed already.
    template <typename Ended> bool closeFrame(Ended ended) {
        if (frameClosed_) return false;
        frameClosed_ = true;
        for (const WindowId id : openWindows()) {
            Window *w = find(id); // an earlier one's ending may have taken it
            if (!w) continue;
            w->open = false;
            ended(*w);
        }
        return true;
    }

    // The newest window made from this template, open or not; kNoWindow if none.
    WindowId newest(int templateId) const {
        WindowId newest = kNoWindow;
        for (const auto &[id, w] : windows_)
            if (w->dialog->id == templateId) newest = id;
        return newest;
    }

    std::vector<WindowId> openWindows() const {
        std::vector<WindowId> ids;
        for (const auto &[id, w] : windows_)
            if (w->open) ids.push_back(id);
        return ids;
    }

    // Hands a message to an open window's procedure.
    void send(WindowId window, const Message &message) {
        Window *w = find(window);
        if (!w || !w->open || !w->proc) return;
        WindowProc proc = w->proc; // the procedure may end its window while it runs
        proc(window, message);
    }

    // Ends an open window with its result; nullptr when it was not open. The
    // active window, if it was this one, passes to its owner while that is
    // open, else to the frame.
    Window *end(WindowId window, int result) {
        Window *w = find(window);
        if (!w || !w->open) return nullptr;
        w->open = false;
        w->result = result;
        if (active_ == window) active_ = isOpen(w->owner) ? w->owner : frame_;
        return w;
    }

    WindowId active() const { return active_; }
    void setActive(WindowId window) { active_ = window; }

    // `window` becomes the active one, as `state` says (kActive, or
    // kClickActive for a click): the window that loses activation hears of
    // it first, then `window`, each naming the other. False when `window`
    // was active already.
    bool changeActive(WindowId window, int state) {
        if (window == active_) return false;
        const WindowId previous = active_;
        active_ = window;
        send(previous, {MessageKind::Activate, 0, kInactive, window});
        send(window, {MessageKind::Activate, 0, state, previous});
        return true;
    }

    void erase(WindowId window) { windows_.erase(window); }
    const std::map<WindowId, std::unique_ptr<Window>> &all() const { return windows_; }

private:
    WindowId frame_;
    WindowId next_;
    WindowId active_;
    bool frameClosed_ = false;
    std::map<WindowId, std::unique_ptr<Window>> windows_;
};

} // namespace treva
