// The drive on in-memory windows: treva-cli's windows.
#pragma once

#include "drive/drive.h"
#include "platform/headless/headless_layer.h"

namespace treva {

class HeadlessDriveTarget : public DriveTarget {
public:
    HeadlessDriveTarget(HeadlessLayer &ui, App &app) : ui_(ui), app_(app) {}

    App &app() override { return app_; }
    void click(WindowId window, int control) override { ui_.click(window, control); }
    void choose(WindowId window, int control, int item) override { ui_.choose(window, control, item); }
    void type(WindowId window, int control, std::string_view text) override { ui_.type(window, control, text); }
    bool closeBox(WindowId window) override { return ui_.closeBox(window); }
    void setModalHandler(std::function<void(WindowId box)> handler) override { ui_.onModal = std::move(handler); }

    bool isOpen(WindowId window) const override { return ui_.isOpen(window); }
    int templateOf(WindowId window) const override;
    WindowId newestWindow(int templateId) const override { return ui_.newestWindow(templateId); }
    int itemCount(WindowId window, int control) const override;
    ControlView read(WindowId window, const ControlTemplate &control) const override;

private:
    HeadlessLayer &ui_;
    App &app_;
};

// treva-cli's windows for one drive.
class HeadlessDriveWindows : public DriveWindows {
public:
    HeadlessDriveWindows();
    DriveTarget &target() override { return target_; }

private:
    HeadlessLayer ui_;
    App app_;
    HeadlessDriveTarget target_;
};

} // namespace treva
