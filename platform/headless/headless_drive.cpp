#include "platform/headless/headless_drive.h"

#include "resources/menu.h"
#include "ui/frame.h"

namespace treva {

HeadlessDriveWindows::HeadlessDriveWindows() : app_(ui_), target_(ui_, app_) { ui_.frameCaption = kUntitledCaption; }

int HeadlessDriveTarget::templateOf(WindowId window) const {
    const HeadlessWindow *w = layer_.window(window);
    return w ? w->dialog->id : 0;
}

int HeadlessDriveTarget::itemCount(WindowId window, int control) const {
    const HeadlessControl *c = layer_.control(window, control);
    return c ? int(c->items.size()) : 0;
}

ControlView HeadlessDriveTarget::read(WindowId window, const ControlTemplate &control) const {
    const HeadlessControl *c = layer_.control(window, control.id);
    if (!c) return {};
    return {c->text, c->enabled, c->checked, c->items, c->selection, c->image};
}

} // namespace treva
