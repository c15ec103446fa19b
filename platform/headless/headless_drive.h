// The drive on in-memory windows: treva-cli's windows.
#pragma once

#include "drive/drive.h"
#include "platform/headless/headless_layer.h"

namespace treva {

class HeadlessDriveTarget : public LayerDriveTarget<HeadlessLayer> {
public:
    using LayerDriveTarget::LayerDriveTarget;
    void click(WindowId window, int control) override { layer_.click(window, control); }
    void choose(WindowId window, int control, int item) override { layer_.choose(window, control, item); }
    void type(WindowId window, int control, std::string_view text) override { layer_.type(window, control, text); }
    bool closeBox(WindowId window) override { return layer_.closeBox(window); }
    void setModalHandler(std::function<void(WindowId box)> handler) override { layer_.onModal = std::move(handler); }

    bool isOpen(WindowId window) const override { return layer_.isOpen(window); }
    int templateOf(WindowId window) const override;
    int itemCount(WindowId window, int control) const override;
    ControlView read(WindowId window, const ControlTemplate &control) const override;
};

// treva-cli's windows for one drive.
class HeadlessDriveWindows : public DriveWindows {
public:
    HeadlessDriveWindows();
    DriveTarget &target() override { return target_; }
    HeadlessLayer &ui() { return ui_; }
    App &app() { return app_; }

private:
    HeadlessLayer ui_;
    App app_;
    HeadlessDriveTarget target_;
};

} // namespace treva
