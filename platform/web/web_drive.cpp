// The drive on the page's real controls (web/drive), a program of its own:
// the page asks the browser's driver for each input, as a person would give
// it, and hands back the drive's output, error and exit status. With the
// argument --screenshots it plays the screenshot scenes on the page instead
// (web/screenshots), the browser photographing each window.
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "drive/drive.h"
#include "platform/web/web_layer.h"
#include "resources/menu.h"
#include "state/text.h"
#include "ui/frame.h"
#include "ui/screenshot_scenes.h"

extern "C" {
void web_driveInput(const char *kind, int window, int control, const char *text);
int web_isShown(int window);
void web_driveDone(int status, const char *out, const char *err);
int web_photograph(int window, const char *name);
}

namespace treva {
namespace {

// The close box's selector in the page.
constexpr int kCloseBox = -2;

class WebDriveTarget : public LayerDriveTarget<WebLayer> {
public:
    using LayerDriveTarget::LayerDriveTarget;

    void click(WindowId window, int control) override {
        web_driveInput("click", window, control, "");
        modalErrors_.rethrow();
    }
    void choose(WindowId window, int control, int item) override {
        web_driveInput("choose", window, control, std::to_string(item).c_str());
        modalErrors_.rethrow();
    }
    // Only what keys type: control characters have no key that types them
    // into a box (Enter and Tab do other things).
    void type(WindowId window, int control, std::string_view text) override {
        std::string typed;
        for (const char byte : text)
            if (typedByKeys(static_cast<unsigned char>(byte))) typed += byte;
        web_driveInput("type", window, control, cp1252ToUtf8(typed).c_str());
        modalErrors_.rethrow();
    }
    bool closeBox(WindowId window) override {
        const WebWindow *w = layer_.window(window);
        if (!w || !w->open || !(w->dialog->style & kDialogSystemMenu)) return false;
        web_driveInput("click", window, kCloseBox, "");
        modalErrors_.rethrow();
        return true;
    }

    bool isOpen(WindowId window) const override { return web_isShown(window); }
    int templateOf(WindowId window) const override {
        const WebWindow *w = layer_.window(window);
        return w ? w->dialog->id : 0;
    }
    int itemCount(WindowId window, int control) const override { return layer_.itemCount(window, control); }
    ControlView read(WindowId window, const ControlTemplate &control) const override {
        ControlView view;
        view.text = layer_.text(window, control.id);
        view.enabled = layer_.isEnabled(window, control.id);
        view.checked = layer_.isChecked(window, control.id);
        const int items = layer_.itemCount(window, control.id);
        for (int i = 0; i < items; ++i) view.items.push_back(layer_.itemText(window, control.id, i));
        view.selection = layer_.selection(window, control.id);
        view.image = layer_.image(window, control.id);
        return view;
    }
};

// The drive's program and windows live as long as the page: the page reads
// the windows after the drive has returned.
struct WebDriveRun {
    std::unique_ptr<WebLayer> layer;
    std::unique_ptr<App> app;
};
WebDriveRun driveRun;

// The page's windows for one drive; the program and windows themselves stay
// in driveRun.
class WebDriveWindows : public DriveWindows {
public:
    WebDriveWindows(WebLayer &layer, App &app) : target_(layer, app) {}
    DriveTarget &target() override { return target_; }

private:
    WebDriveTarget target_;
};

int runWebDrive(const std::vector<std::string> &args) {
    std::ostringstream out, err;
    const int status = runDriveSession("treva", args, out, err, [] {
        driveRun.layer = std::make_unique<WebLayer>(true);
        driveRun.app = std::make_unique<App>(*driveRun.layer);
        App &app = *driveRun.app;
        webPage.onFrameCommand = [&app](int command) { frameCommand(app, command); };
        return std::make_unique<WebDriveWindows>(*driveRun.layer, app);
    });
    web_driveDone(status, out.str().c_str(), err.str().c_str());
    return status;
}

// The scenes' camera: the browser photographs the window's panel (the
// frame's picture is the whole page), and a click is a real one.
class WebCamera : public Camera {
public:
    explicit WebCamera(WebLayer &layer) : layer_(layer) {}
    bool photograph(WindowId window, const char *name) override { return web_photograph(window, name) != 0; }
    void click(WindowId window, int control) override { web_driveInput("click", window, control, ""); }
    void answerBoxes(std::function<void(WindowId box)> answer) override { layer_.onModal = std::move(answer); }

private:
    WebLayer &layer_;
};

int runWebScreenshots() {
    driveRun.layer = std::make_unique<WebLayer>();
    driveRun.app = std::make_unique<App>(*driveRun.layer);
    driveRun.app->builtWith = "for the browser";
    App &app = *driveRun.app;
    webPage.onFrameCommand = [&app](int command) { frameCommand(app, command); };
    driveRun.layer->buildFrame();
    driveRun.layer->setFrameCaption(kUntitledCaption);
    WebCamera camera(*driveRun.layer);
    const bool taken = playScreenshotScenes(app, camera);
    web_driveDone(taken ? 0 : 1, "", taken ? "" : "treva: not every scene was photographed\n");
    return taken ? 0 : 1;
}

} // namespace
} // namespace treva

// treva-cli's arguments, without the command "drive"; or --screenshots.
int main(int argc, char **argv) {
    ::umask(022); // as the page's program: new files readable, as on a desktop
    if (argc == 2 && std::strcmp(argv[1], "--screenshots") == 0) return treva::runWebScreenshots();
    return treva::runWebDrive({argv + 1, argv + argc});
}
