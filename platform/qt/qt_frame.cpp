#include "platform/qt/qt_frame.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QToolButton>

#include "platform/qt/cp1252.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_controls.h"
#include "resources/menu.h"

namespace treva {

void QtFrameWindow::closeEvent(QCloseEvent *event) {
    if (layer_.book_.frameClosed()) {
        event->accept();
        return;
    }
    event->ignore();
    layer_.frameCloseBox();
}

void QtWindowLayer::buildFrame() {
    frame_ = std::make_unique<QtFrameWindow>(*this);
    frame_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFrameCaption(kUntitledCaption);
    frame_->setContextMenuPolicy(Qt::PreventContextMenu); // the toolbar stays put

    for (const MenuPopup &popup : frameMenu()) {
        QMenu *menu = frame_->menuBar()->addMenu(fromCp1252(popup.title));
        for (const MenuItem &item : popup.items) {
            if (!item.text) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(fromCp1252(item.text));
            action->setEnabled(!item.grayed);
            const int command = item.command;
            connect(action, &QAction::triggered, this, [this, command] {
                if (onCommand) onCommand(command);
            });
            if (item.shortcut) {
                // The menu shows the key beside the item. Tool windows are
                // windows of their own: the key works from each of them, as
                // Alt+O does; a modal box keeps it from the rest.
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut), QKeySequence::PortableText));
                action->setShortcutContext(Qt::ApplicationShortcut);
            }
            menuActions_[command] = action;
        }
    }

    // The toolbar: seven picture buttons side by side right under the menu.
    // A plain strip of buttons rather than a dockable toolbar, which would
    // bring handles and an overflow button the strip never needs.
    auto *toolbar = new QFrame(frame_.get());
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(toolbar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    // Only the drawing for this screen's density is decoded: the other one
    // would cost start-up time for nothing.
    const QPixmap strip = loadPicture(kToolbarBitmap, qApp->devicePixelRatio());
    const qreal ratio = strip.devicePixelRatio();
    const int size = qRound(kToolbarButtonSize * ratio);
    for (const ToolbarButton &button : toolbarButtons()) {
        QPixmap picture = strip.copy(button.image * size, 0, size, size);
        picture.setDevicePixelRatio(ratio);
        const QString name = QString::fromLatin1(button.name);
        auto *toolButton = new QToolButton(toolbar);
        toolButton->setIcon(QIcon(picture));
        toolButton->setIconSize(QSize(kToolbarButtonSize, kToolbarButtonSize));
        toolButton->setAutoRaise(true);
        toolButton->setToolTip(name);
        toolButton->setAccessibleName(name);
        toolButton->setObjectName(QStringLiteral("tool%1").arg(button.command));
        const int command = button.command;
        connect(toolButton, &QToolButton::clicked, this, [this, command] {
            if (onCommand) onCommand(command);
        });
        row->addWidget(toolButton);
        toolButtons_[command] = toolButton;
    }
    row->addStretch(1);
    frame_->setCentralWidget(toolbar);
    // As high as the menu and the strip: no blank band between them.
    frame_->setFixedSize(kFrameWidth, frame_->sizeHint().height());

    // Alt+O opens a scenario from the frame or any tool window; the letter
    // typed with Shift counts too.
    for (const QKeySequence &keys :
         {QKeySequence(Qt::ALT | Qt::Key_O), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_O)}) {
        auto *shortcut = new QShortcut(keys, frame_.get());
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (QApplication::activeModalWidget() || !onCommand) return; // a box has the keyboard
            onCommand(kCmdOpen);
        });
    }
    static_assert(kOpenAcceleratorChar == 'O');
}

// The frame, a strip of menu and toolbar, opens at the top of the screen and
// leaves the room below it to the tool windows.
void QtWindowLayer::placeFrame() {
    QScreen *screen = frame_->screen() ? frame_->screen() : QGuiApplication::primaryScreen();
    if (screen) frame_->move(screen->availableGeometry().topLeft());
}

void QtWindowLayer::frameCloseBox() { onCommand(kCmdExit); }

void QtWindowLayer::setFrameCaption(std::string_view caption) {
    const QString title = QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    // "[*]" is where the window system marks unsaved changes; it shows nothing otherwise.
    frame_->setWindowTitle(title + QStringLiteral("[*]"));
    frame_->setAccessibleName(title);
}

void QtWindowLayer::setFrameModified(bool modified) { frame_->setWindowModified(modified); }

void QtWindowLayer::setMenuItemEnabled(int command, bool enabled) {
    auto it = menuActions_.find(command);
    if (it != menuActions_.end()) it->second->setEnabled(enabled);
}

void QtWindowLayer::closeFrame() {
    // The frame takes its windows with it; a running box ends with 0.
    const bool closing = book_.closeFrame([this](Window &w) {
        if (w.loop) w.loop->exit(0);
        if (QtDialogWindow *widget = w.widget) {
            if (!w.modal) workspace_.leave(w.dialog->id, screenRect(widget->frameGeometry()));
            widget->ending = true;
            widget->hide();
            widget->deleteLater();
        }
    });
    if (!closing) return;
    frame_->close();
    // Ends the program's event loop. Outside one (start-up, tests) main()
    // sees the frame closed instead: exiting then would make every later
    // loop return at once.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

} // namespace treva
