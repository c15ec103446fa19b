#include "platform/qt/qt_window_layer.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "platform/qt/cp1252.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_frame.h"
#include "ui/placement.h"

namespace treva {
namespace {

// Today's screens, the primary first.
std::vector<ScreenRect> screenLayout() {
    const QScreen *primary = QGuiApplication::primaryScreen();
    std::vector<ScreenRect> screens;
    if (primary) screens.push_back(screenRect(primary->geometry()));
    for (const QScreen *s : QGuiApplication::screens())
        if (s != primary) screens.push_back(screenRect(s->geometry()));
    return screens;
}

} // namespace

// ---------------------------------------------------------------------------
// The layer

QtWindowLayer::QtWindowLayer() : openUrl(openWithDesktop) {
    buildFrame();
    placeFrame();
    qApp->installEventFilter(this);
}

QtWindowLayer::~QtWindowLayer() {
    qApp->removeEventFilter(this);
    book_.closeFrame([](Window &) {});
    for (const auto &[id, w] : book_.all())
        if (w->widget) w->widget->ending = true;
    frame_.reset();
}

QWidget *QtWindowLayer::ownerWidget(WindowId owner) const {
    const Window *w = find(owner);
    if (w && w->open && w->widget) return w->widget;
    return frame_.get();
}

WindowId QtWindowLayer::createWindow(int templateId, WindowId owner, WindowProc proc, bool modal) {
    const DialogTemplate *dialog = findDialogTemplate(templateId);
    if (!dialog || book_.frameClosed()) return kNoWindow;
    Window &w = book_.add(*dialog, std::move(proc), owner, modal);

    auto *window = new QtDialogWindow(*this, w.id, *dialog, modal, ownerWidget(owner));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(fromCp1252(dialog->title));
    window->setObjectName(QStringLiteral("dialog%1").arg(dialog->id));
    const QFont font = dialogFont(*dialog);
    window->setFont(font);
    const DialogUnits du = dialogUnits(font);
    window->setFixedSize(du.x(dialog->width), du.y(dialog->height));
    if (modal) window->setWindowModality(Qt::ApplicationModal);
    w.widget = window;
    w.address = window;
    buildControls(w, window, font);
    applyTabOrder(w, window);

    const WindowId id = w.id;
    send(id, {MessageKind::Init});
    Window *after = find(id);
    if (!after->open) return id; // ended during Init: never shown
    place(*after, window);
    programActivation_ = id; // showing it activates it, at the program's request
    window->show();
    if (after->initialFocus) {
        after->initialFocus->setFocus(Qt::OtherFocusReason);
        after->initialFocus = nullptr;
    }
    activate(id);
    return id;
}

void QtWindowLayer::place(Window &w, QtDialogWindow *dialog) {
    QWidget *owner = ownerWidget(w.owner);
    QScreen *screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QSize size = dialog->size();
    if (!w.modal) {
        // Not shown yet, a tool window has no frame of its own: it will get
        // one like the frame's.
        const QRect frame = frame_->frameGeometry();
        const QSize outer = size + frame.size() - frame_->size();
        workspace_.setScreens(screenLayout());
        if (const std::optional<ScreenRect> left = workspace_.kept(w.dialog->id)) {
            const QPoint at(left->x, left->y);
            QScreen *there = QGuiApplication::screenAt(at);
            screen = there ? there : QGuiApplication::primaryScreen();
        }
        const ScreenPoint at = workspace_.place(w.dialog->id, surroundings(screen), {outer.width(), outer.height()});
        dialog->move(at.x, at.y);
    } else if (w.dialog->style & kDialogCentred) {
        const QRect area = screen->availableGeometry();
        dialog->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        dialog->move(owner->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

ScreenRect screenRect(const QRect &r) { return {r.x(), r.y(), r.width(), r.height()}; }

Surroundings QtWindowLayer::surroundings(const QScreen *screen) const {
    Surroundings around{screenRect(screen->availableGeometry()), screenRect(frame_->frameGeometry()), {}, 0};
    for (const auto &[id, w] : book_.all())
        if (w->open && !w->modal && w->widget && w->widget->isVisible())
            around.open.push_back(screenRect(w->widget->frameGeometry()));
    // The frame's title bar and border; where the windows have none
    // (offscreen), a line of text.
    around.caption = std::max(frame_->geometry().y() - frame_->frameGeometry().y(), frame_->fontMetrics().height() + 8);
    return around;
}

void QtWindowLayer::arrangeWindows() {
    std::vector<QWidget *> tools;
    std::vector<ScreenRect> outer;
    for (const auto &[id, w] : book_.all()) {
        if (!w->open || w->modal || !w->widget) continue;
        tools.push_back(w->widget);
        outer.push_back(screenRect(w->widget->frameGeometry()));
    }
    const QScreen *screen = frame_->screen() ? frame_->screen() : QGuiApplication::primaryScreen();
    const std::vector<ScreenRect> placed = Workspace::arrange(surroundings(screen), outer);
    for (size_t i = 0; i < tools.size(); ++i) tools[i]->move(placed[i].x, placed[i].y);
}

WindowId QtWindowLayer::createModeless(int templateId, WindowId owner, WindowProc proc) {
    return createWindow(templateId, owner, std::move(proc), false);
}

int QtWindowLayer::runModal(int templateId, WindowId owner, WindowProc proc) {
    const WindowId box = createWindow(templateId, owner, std::move(proc), true);
    Window *w = find(box);
    if (!w) return kNoBox;
    if (w->open) {
        QEventLoop loop;
        w->loop = &loop;
        if (onModal) {
            QTimer::singleShot(0, &loop, [this, box, script = onModal] {
                script(box);
                if (Window *left = find(box); left->open && left->loop) left->loop->exit(0);
            });
        }
        loop.exec(QEventLoop::DialogExec);
        w = find(box);
        w->loop = nullptr;
    }
    return w->result;
}

void QtWindowLayer::endWindow(WindowId window, int result) {
    Window *w = book_.end(window, result);
    if (!w) return;
    if (w->loop) w->loop->exit(result);
    if (unexplainedActivation_ == window) unexplainedActivation_ = kNoWindow;
    if (QtDialogWindow *widget = w->widget) {
        if (!w->modal) workspace_.leave(w->dialog->id, screenRect(widget->frameGeometry())); // it comes back there
        // The procedure that ends its window may still be running on its
        // stack: hide now, delete once back in the event loop.
        widget->ending = true;
        widget->hide();
        widget->deleteLater();
    }
}

void QtWindowLayer::activate(WindowId window) {
    if (!isOpen(window)) return;
    QWidget *target = window == kFrameWindow ? static_cast<QWidget *>(frame_.get()) : widget(window);
    if (!target) return;
    if (window != book_.active()) programActivation_ = window;
    if (target->isMinimized()) target->showNormal();
    // The offscreen platform (screenshots, tests) has no stacking order and
    // says so on every raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) target->raise();
    target->activateWindow();
}

bool QtWindowLayer::isOpen(WindowId window) const { return book_.isOpen(window); }

void QtWindowLayer::setText(WindowId window, int control, std::string_view text) {
    Control *c = findControl(window, control);
    if (!c || !c->widget) return;
    if (textLabel(c->widget))
        showText(c->widget, text);
    else if (auto *edit = qobject_cast<QLineEdit *>(c->widget))
        edit->setText(fromCp1252(text));
    else if (auto *button = qobject_cast<QAbstractButton *>(c->widget))
        button->setText(fromCp1252(text));
}

std::string QtWindowLayer::text(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    if (!c || !c->widget) return {};
    if (const QLabel *label = textLabel(c->widget)) {
        QString shown = label->text();
        shown.replace(QChar(u'\n'), QChar(u'\r'));
        return toCp1252(shown);
    }
    if (auto *edit = qobject_cast<QLineEdit *>(c->widget)) return toCp1252(edit->text());
    if (auto *list = qobject_cast<QComboBox *>(c->widget)) return toCp1252(list->currentText());
    if (auto *button = qobject_cast<QAbstractButton *>(c->widget)) return toCp1252(button->text());
    return {};
}

void QtWindowLayer::setChecked(WindowId window, int control, bool checked) {
    const Control *c = findControl(window, control);
    auto *button = c ? qobject_cast<QAbstractButton *>(c->widget.data()) : nullptr;
    if (!button || !button->isCheckable()) return;
    // The procedure sets each button as it says, as in every realisation (it
    // may even leave a radio group with none checked); the group's
    // exclusivity is for the player's clicks and arrow keys.
    QButtonGroup *group = button->group();
    if (group) group->setExclusive(false);
    button->setChecked(checked);
    if (group) group->setExclusive(true);
}

bool QtWindowLayer::isChecked(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    auto *button = c ? qobject_cast<QAbstractButton *>(c->widget.data()) : nullptr;
    return button && button->isChecked();
}

void QtWindowLayer::setEnabled(WindowId window, int control, bool enabled) {
    const Control *c = findControl(window, control);
    if (c && c->widget) c->widget->setEnabled(enabled);
}

void QtWindowLayer::addItem(WindowId window, int control, std::string_view item) {
    const Control *c = findControl(window, control);
    auto *list = c ? qobject_cast<QComboBox *>(c->widget.data()) : nullptr;
    if (!list) return;
    const int selected = list->currentIndex();
    list->addItem(fromCp1252(item));
    list->setCurrentIndex(selected); // adding an item selects nothing
}

void QtWindowLayer::setSelection(WindowId window, int control, int index) {
    const Control *c = findControl(window, control);
    auto *list = c ? qobject_cast<QComboBox *>(c->widget.data()) : nullptr;
    if (!list) return;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int QtWindowLayer::selection(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    auto *list = c ? qobject_cast<QComboBox *>(c->widget.data()) : nullptr;
    return list ? list->currentIndex() : -1;
}

void QtWindowLayer::setImage(WindowId window, int control, int bitmapId) {
    const Control *c = findControl(window, control);
    if (auto *picture = c ? dynamic_cast<PictureControl *>(c->widget.data()) : nullptr) picture->setBitmap(bitmapId);
}

int QtWindowLayer::image(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    const auto *picture = c ? dynamic_cast<const PictureControl *>(c->widget.data()) : nullptr;
    return picture ? picture->bitmap() : 0;
}

void QtWindowLayer::focusAndSelectAll(WindowId window, int control) {
    Window *w = find(window);
    Control *c = findControl(window, control);
    if (!w || !c || !c->widget) return;
    if (auto *edit = qobject_cast<QLineEdit *>(c->widget)) edit->selectAll();
    if (w->widget && w->widget->isVisible())
        c->widget->setFocus(Qt::OtherFocusReason);
    else
        w->initialFocus = c->widget; // takes the focus once shown
}

void QtWindowLayer::setRows(WindowId window, int control, int count, std::function<std::string(int)> row) {
    const Control *c = findControl(window, control);
    if (auto *rows = c ? dynamic_cast<RowsControl *>(c->widget.data()) : nullptr) rows->setRows(count, std::move(row));
}

std::vector<int> QtWindowLayer::selectedRows(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    const auto *rows = c ? dynamic_cast<const RowsControl *>(c->widget.data()) : nullptr;
    return rows ? rows->selected() : std::vector<int>();
}

void QtWindowLayer::setChart(WindowId window, int control, const std::vector<ChartBar> &bars) {
    const Control *c = findControl(window, control);
    if (auto *chart = c ? dynamic_cast<ChartControl *>(c->widget.data()) : nullptr) chart->setBars(bars);
}

void QtWindowLayer::copyText(std::string_view text) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

bool QtWindowLayer::openDocument(std::string_view path) {
    return openUrl(QUrl::fromLocalFile(QString::fromUtf8(path.data(), qsizetype(path.size()))));
}

// ---------------------------------------------------------------------------
// Accessors

QMainWindow *QtWindowLayer::frameWidget() const { return frame_.get(); }

QWidget *QtWindowLayer::widget(WindowId window) const {
    if (window == kFrameWindow) return frame_.get();
    const Window *w = find(window);
    return w && w->open ? w->widget.data() : nullptr;
}

QWidget *QtWindowLayer::controlWidget(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    return c ? c->widget.data() : nullptr;
}

WindowId QtWindowLayer::windowOf(const QWidget *widget) const {
    if (!widget) return kNoWindow;
    if (widget == frame_.get()) return kFrameWindow;
    for (const auto &[id, w] : book_.all())
        if (!w->widget.isNull() && w->address == widget) return id;
    return kNoWindow;
}

int QtWindowLayer::templateOf(WindowId window) const {
    const Window *w = find(window);
    return w ? w->dialog->id : 0;
}

QAction *QtWindowLayer::menuAction(int command) const {
    auto it = menuActions_.find(command);
    return it == menuActions_.end() ? nullptr : it->second;
}

QToolButton *QtWindowLayer::toolbarButton(int command) const {
    auto it = toolButtons_.find(command);
    return it == toolButtons_.end() ? nullptr : it->second;
}

WindowId QtWindowLayer::newestWindow(int templateId) const { return book_.newest(templateId); }

// ---------------------------------------------------------------------------
// Activation
//
// The procedures want to know how a window became active: by the program
// (activate(): kActive), or by a mouse click on it (kClickActive), and which
// window lost activation. Qt reports only that a window became active, so:
//  - the layer keeps the active window of its own (in its book), which gives
//    `other` on both sides of a change;
//  - a mouse press on a window of ours that is not the active one marks it;
//    its activation, when it follows, is a click activation;
//  - some window systems activate the window before they deliver the press
//    that caused it. An activation the program did not ask for is held as
//    "unexplained"; if the first input that follows is a mouse press on that
//    window, shortly after, the window gets kClickActive as well. Keyboard
//    input first (Alt+Tab and the like) settles it as a plain activation.

namespace {
constexpr qint64 kPressAfterActivationMs = 400;
}

void QtWindowLayer::windowActivated(WindowId window) {
    if (window == book_.active()) return;
    const WindowId previous = book_.active();
    int state = kActive;
    if (pressedInactive_ == window) state = kClickActive;
    if (state == kActive && programActivation_ != window) {
        unexplainedActivation_ = window;
        unexplainedPrevious_ = previous;
        sinceUnexplained_.start();
    } else {
        unexplainedActivation_ = kNoWindow;
    }
    pressedInactive_ = kNoWindow;
    programActivation_ = kNoWindow;
    book_.changeActive(window, state);
}

bool QtWindowLayer::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress: {
        if (!watched->isWidgetType()) break;
        const WindowId window = windowOf(static_cast<QWidget *>(watched)->window());
        if (window == kNoWindow) break;
        if (window != book_.active()) {
            pressedInactive_ = window;
        } else if (window == unexplainedActivation_ && sinceUnexplained_.elapsed() < kPressAfterActivationMs) {
            const WindowId previous = unexplainedPrevious_;
            unexplainedActivation_ = kNoWindow;
            send(window, {MessageKind::Activate, 0, kClickActive, previous});
        }
        unexplainedActivation_ = kNoWindow;
        break;
    }
    case QEvent::KeyPress: unexplainedActivation_ = kNoWindow; break;
    case QEvent::WindowActivate:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow()) {
            const WindowId window = windowOf(static_cast<QWidget *>(watched));
            if (window != kNoWindow) windowActivated(window);
        }
        break;
    case QEvent::WindowDeactivate:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow() &&
            windowOf(static_cast<QWidget *>(watched)) == book_.active() && book_.active() != kNoWindow) {
            // Another program took the keyboard when none of ours is active
            // once the change has settled: the window hears of it then.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (QApplication::activeWindow() || book_.active() == kNoWindow) return;
                    const WindowId previous = book_.active();
                    book_.setActive(kNoWindow);
                    send(previous, {MessageKind::Activate, 0, kInactive, kNoWindow});
                },
                Qt::QueuedConnection);
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace treva
