// The window layer on Qt Widgets: the frame (menu, toolbar, accelerator) and
// every window and box built from its dialog template. What the windows do is
// up to their procedures; this layer only shows controls and passes input on.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "resources/dialogs.h"
#include "resources/menu.h"
#include "ui/placement.h"
#include "ui/window_book.h"
#include "ui/window_layer.h"

class QAction;
class QDialog;
class QEventLoop;
class QMainWindow;
class QToolButton;
class QUrl;
class QWidget;

class QScreen;

namespace treva {

class QtDialogWindow;
class QtFrameWindow;

// Dialog units to pixels for one dialog font: a vertical unit is an eighth
// of a line of it, a horizontal one a quarter of its average letter width
// (widened: see dialogUnits()).
struct DialogUnits {
    qreal letterWidth = 0;
    int lineHeight = 0;
    int x(int units) const;
    int y(int units) const;
};

// The font a template asks for, realised with a sans font that exists here.
QFont dialogFont(const DialogTemplate &dialog);
DialogUnits dialogUnits(const QFont &font);

ScreenRect screenRect(const QRect &r);

// Opens a page in the desktop's browser; false when none took it. On Linux
// the desktop's opener (xdg-open) is asked and waited for a moment: it ends
// at once with a failure when no browser can show the page, while a browser
// it starts may keep it running, which is no failure.
bool openWithDesktop(const QUrl &url);

class QtWindowLayer : public QObject, public WindowLayer {
public:
    QtWindowLayer();
    ~QtWindowLayer() override;

    // WindowLayer
    TREVA_WINDOW_LAYER_OVERRIDES

    // Hands a page to the desktop's browser: openWithDesktop, which tests
    // replace to see what would open without starting a browser.
    std::function<bool(const QUrl &url)> openUrl;

    // Where the places of the tool windows are kept between runs (none: for
    // this run only).
    void keepPlacesIn(SettingsStore *store) { workspace_.setStore(store); }
    // Where the menu, the toolbar, the accelerator and the frame's close box
    // send their commands (the program's frame logic); until the program
    // takes them, the close box closes the frame.
    std::function<void(int command)> onCommand = [this](int command) {
        if (command == kCmdExit) closeFrame();
    };
    // Called from within runModal's loop with the new box, once the loop
    // runs, so that a script can give it input. A box still open when this
    // returns is left open, and runModal returns 0.
    std::function<void(WindowId box)> onModal;

    // The widgets, for start-up, screenshots and tests.
    QMainWindow *frameWidget() const;
    QWidget *widget(WindowId window) const; // nullptr once the window is gone
    // A control's widget; its object name is "c<id>".
    QWidget *controlWidget(WindowId window, int control) const;
    WindowId windowOf(const QWidget *widget) const; // kNoWindow if not one of ours
    int templateOf(WindowId window) const;          // 0 if unknown
    int image(WindowId window, int control) const;  // bitmap id a picture shows
    QAction *menuAction(int command) const;
    QToolButton *toolbarButton(int command) const;
    // The newest window made from this template, open or not; kNoWindow if none.
    WindowId newestWindow(int templateId) const;
    WindowId activeWindow() const { return book_.active(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Control {
        const ControlTemplate *source = nullptr;
        QPointer<QWidget> widget;
    };
    struct Window : BookWindow {
        QPointer<QtDialogWindow> widget;
        // For telling which window an event is for, also while its widget is
        // being destroyed and no longer is a QtDialogWindow.
        const QWidget *address = nullptr;
        std::vector<Control> controls;
        QPointer<QWidget> initialFocus;
        QEventLoop *loop = nullptr;
    };
    friend class QtDialogWindow;
    friend class QtFrameWindow;

    Window *find(WindowId window) { return book_.find(window); }
    const Window *find(WindowId window) const { return book_.find(window); }
    Control *findControl(WindowId window, int control) { return book_.control(window, control); }
    const Control *findControl(WindowId window, int control) const { return book_.control(window, control); }
    QWidget *ownerWidget(WindowId owner) const;
    WindowId createWindow(int templateId, WindowId owner, WindowProc proc, bool modal);
    void buildControls(Window &w, QtDialogWindow *dialog, const QFont &font);
    void place(Window &w, QtDialogWindow *dialog);
    Surroundings surroundings(const QScreen *screen) const;
    void applyTabOrder(Window &w, QtDialogWindow *dialog);
    void send(WindowId window, const Message &message) { book_.send(window, message); }
    void buildFrame();
    void placeFrame();
    void frameCloseBox();
    void windowActivated(WindowId window);

    std::unique_ptr<QtFrameWindow> frame_;
    std::map<int, QAction *> menuActions_;
    std::map<int, QToolButton *> toolButtons_;
    // The windows and the active one: see windowActivated() and eventFilter().
    WindowBook<Window> book_{kFrameWindow, kNoWindow};
    // Where the player left each kind of tool window.
    Workspace workspace_;

    // Activation tracking besides the book's active window.
    WindowId pressedInactive_ = kNoWindow;       // pressed with the mouse while inactive
    WindowId programActivation_ = kNoWindow;     // asked for by activate()
    WindowId unexplainedActivation_ = kNoWindow; // activated by the window system
    WindowId unexplainedPrevious_ = kNoWindow;
    QElapsedTimer sinceUnexplained_;
};

} // namespace treva
