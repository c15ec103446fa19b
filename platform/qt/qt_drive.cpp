#include "platform/qt/qt_drive.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QtTest/qtestspontaneevent.h>
#include <exception>
#include <iostream>
#include <utility>

#include "drive/drive.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/qt_window_layer.h"
#include "resources/dialogs.h"
#include "ui/app.h"
#include "ui/frame.h"

namespace treva {
namespace {

// Hands an event to Qt as the window system does: marked spontaneous, so
// that Qt treats it as a person's input (a mouse press moves the focus as the
// control's focus policy says, for one).
void deliver(QWidget *receiver, QEvent &event) {
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(receiver, &event);
}

// A mouse button at a point of the screen, for `widget`. While a popup is
// open it has the mouse: the event goes to what of it lies under the pointer.
void mouseButton(QEvent::Type type, QWidget *widget, QPointF global) {
    QWidget *receiver = widget;
    if (QWidget *popup = QApplication::activePopupWidget()) {
        QWidget *under = popup->childAt(popup->mapFromGlobal(global).toPoint());
        receiver = under ? under : popup;
    }
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, receiver->mapFromGlobal(global), global, Qt::LeftButton, held, Qt::NoModifier);
    deliver(receiver, event);
}

QPointF centreOf(QWidget *widget) { return widget->mapToGlobal(QRectF(widget->rect()).center()); }

// What the window system does between two inputs: activation, focus, showing
// and hiding.
void processWindowSystem() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// A left click at the middle of a widget. The button comes up at once: a
// list's drop-down, opened by the press, takes a release that soon after it
// opened for the end of that click, not for a choice.
void mouseClick(QWidget *widget) {
    const QPointF centre = centreOf(widget);
    mouseButton(QEvent::MouseButtonPress, widget, centre);
    mouseButton(QEvent::MouseButtonRelease, widget, centre);
}

// A key pressed and let go, for the widget that has the keyboard: the focus
// of an open popup, else the focus of `window`. The widget first sees
// whether the key is one it keeps from the shortcuts.
void key(QWidget *window, int code, Qt::KeyboardModifiers modifiers, const QString &text = {}) {
    QWidget *receiver = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : window;
    if (receiver->focusWidget()) receiver = receiver->focusWidget();
    QKeyEvent override(QEvent::ShortcutOverride, code, modifiers, text);
    override.ignore();
    deliver(receiver, override);
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    deliver(receiver, press);
    QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
    deliver(receiver, release);
}

// A list's drop-down has opened: the window system shows it before the next
// input. The offscreen platform makes every window it shows the active one,
// the drop-down too; while a drop-down is open Qt leaves the list's window
// active, as a desktop does.
void dropDownShown() { processWindowSystem(); }

// The drop-down has closed: the offscreen platform leaves the keyboard with
// it, where a desktop gives it back to the list's window.
void keyboardBack(QWidget *window) {
    if (QApplication::activePopupWidget()) throw DriveError("a drop-down list has not closed");
    window->activateWindow();
}

// The key that types a character: the printable characters of Latin-1 have
// keys of their own (a letter's is its capital's); any other character comes
// with no key, its text alone.
int keyFor(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 'a' && u <= 'z') return u - 'a' + 'A';
    if ((u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF)) return u;
    return 0;
}

class QtDriveTarget : public LayerDriveTarget<QtWindowLayer> {
public:
    using LayerDriveTarget::LayerDriveTarget;

    // A drop-down list that the click drops down closes again with Escape:
    // the click chooses nothing.
    void click(WindowId window, int control) override {
        QWidget *w = widget(window, control);
        mouseClick(w);
        if (QApplication::activePopupWidget()) {
            dropDownShown();
            key(w->window(), Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            keyboardBack(w->window());
        }
        modalErrors_.rethrow();
    }

    // The list drops down under the mouse; then, in it, the first item, down
    // to the chosen one, and Enter.
    void choose(WindowId window, int control, int item) override {
        auto *list = qobject_cast<QComboBox *>(widget(window, control));
        mouseClick(list);
        if (QApplication::activePopupWidget()) { // a disabled list stays shut
            dropDownShown();
            key(list->window(), Qt::Key_Home, Qt::NoModifier);
            for (int i = 0; i < item; ++i) key(list->window(), Qt::Key_Down, Qt::NoModifier);
            key(list->window(), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            keyboardBack(list->window());
        }
        modalErrors_.rethrow();
    }

    // A click into the box, all its text selected and deleted, then the
    // text, key by key.
    void type(WindowId window, int control, std::string_view text) override {
        QWidget *edit = widget(window, control);
        mouseClick(edit);
        if (edit->window()->focusWidget() == edit) { // a disabled box takes no focus
            key(edit->window(), Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
            key(edit->window(), Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
            for (const QChar c : fromCp1252(text)) key(edit->window(), keyFor(c), Qt::NoModifier, QString(c));
        }
        modalErrors_.rethrow();
    }

    bool closeBox(WindowId window) override {
        QWidget *w = layer_.widget(window);
        if (!w || !(w->windowFlags() & Qt::WindowCloseButtonHint)) return false;
        QCloseEvent close;
        deliver(w, close);
        modalErrors_.rethrow();
        return true;
    }

    void settle() override { processWindowSystem(); }

    // Open is shown: an ended window is hidden at once, its widgets deleted later.
    bool isOpen(WindowId window) const override {
        const QWidget *w = layer_.widget(window);
        return w && w->isVisible();
    }

    int templateOf(WindowId window) const override { return layer_.templateOf(window); }

    int itemCount(WindowId window, int control) const override {
        auto *list = qobject_cast<QComboBox *>(widget(window, control));
        return list ? list->count() : 0;
    }

    ControlView read(WindowId window, const ControlTemplate &control) const override {
        QWidget *w = widget(window, control.id);
        ControlView view;
        view.text = layer_.text(window, control.id);
        view.enabled = w->isEnabled();
        if (auto *button = qobject_cast<QAbstractButton *>(w)) view.checked = button->isChecked();
        if (auto *list = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < list->count(); ++i) view.items.push_back(toCp1252(list->itemText(i)));
            view.selection = list->currentIndex();
        }
        view.image = layer_.image(window, control.id);
        return view;
    }

private:
    // A window's control. An ended window's widgets are deleted by the next
    // event loop; the drive runs none once the window it opened has ended, so
    // they still show their last state.
    QWidget *widget(WindowId window, int control) const {
        QWidget *w = layer_.controlWidget(window, control);
        if (!w)
            throw DriveError("control " + std::to_string(control) + " of window " +
                             std::to_string(layer_.templateOf(window)) + " is gone");
        return w;
    }
};

// The real windows of one drive.
class QtDriveWindows : public DriveWindows {
public:
    QtDriveWindows() : app_(layer_), target_(layer_, app_) {
        layer_.onCommand = [this](int command) { frameCommand(app_, command); };
    }
    DriveTarget &target() override { return target_; }
    void show() override { layer_.frameWidget()->show(); }

private:
    QtWindowLayer layer_;
    App app_;
    QtDriveTarget target_;
};

// What every drive needs of the process: Qt, which sees none of the
// arguments (they are the drive's), and a standard error with nothing but the
// drive's own lines.
template <typename Run> int withQt(const char *program, Run run) {
    // Qt's own notes (a missing runtime folder, say) are left out, all but
    // the one it stops on.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) std::cerr << "treva: " << message.toStdString() << std::endl;
    });
    int argc = 1;
    char *argv[] = {const_cast<char *>(program), nullptr};
    QApplication application(argc, argv);
    QApplication::setFont(dialogFont(*findDialogTemplate(kActivationDialog)));
    return run();
}

int driveOnce(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
    return runDriveSession("treva", args, out, err, [] { return std::make_unique<QtDriveWindows>(); });
}

} // namespace

int runDesktopDrive(const char *program, const std::vector<std::string> &args) {
    return withQt(program, [&] { return driveOnce(args, std::cout, std::cerr); });
}

int runDesktopDriveBatch(const char *program) {
    return withQt(program, [] { return runDriveBatch("treva", std::cin, std::cout, std::cerr, driveOnce); });
}

} // namespace treva
