#include "platform/qt/qt_window_layer.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/qt/cp1252.h"
#include "platform/qt/pictures.h"
#include "resources/accessible_names.h"
#include "resources/menu.h"
#include "resources/tab_order.h"
#include "ui/placement.h"

namespace treva {

// ---------------------------------------------------------------------------
// Dialog units

int DialogUnits::x(int units) const { return qRound(units * letterWidth / 4); }
int DialogUnits::y(int units) const { return (units * lineHeight + 4) / 8; }

QFont dialogFont(const DialogTemplate &dialog) {
    // The templates name a bitmap font of another system. DejaVu Sans reads
    // well at small sizes and is the sans font every Debian desktop has.
    static const QString family = [] {
        for (const char *candidate : {"DejaVu Sans", "Nimbus Sans", "Liberation Sans", "Arial"}) {
            const QString name = QString::fromLatin1(candidate);
            // The database knows families by foundry too ("Nimbus Sans [urw]").
            if (QFontInfo(QFont(name)).family().startsWith(name)) return name;
        }
        return QApplication::font().family();
    }();
    QFont font(family);
    font.setPointSize(dialog.pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits dialogUnits(const QFont &font) {
    const QFontMetricsF metrics(font);
    const qreal average =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    // The templates' captions were measured in a font whose narrow letters
    // (i, l, t, punctuation) are narrower against its average than DejaVu
    // Sans sets them: "Attitude:" needs 4 % more than the average promises.
    // Six hundredths more width per unit keep every caption whole.
    constexpr qreal kNarrowLetterAllowance = 1.06;
    // A line of text takes whole pixels: a field so many lines high holds them.
    return {average * kNarrowLetterAllowance, int(std::ceil(std::max(metrics.height(), metrics.lineSpacing())))};
}

// ---------------------------------------------------------------------------
// Widgets

class QtDialogWindow : public QDialog {
public:
    QtDialogWindow(QtWindowLayer &layer, WindowId id, const DialogTemplate &dialog, bool modal, QWidget *owner)
        : QDialog(owner), layer_(layer), id_(id), modal_(modal), closeBox_((dialog.style & kDialogSystemMenu) != 0) {
        // A fixed size and no maximize button. The minimize button is named
        // too: a window that names no button at all gets every one from some
        // X11 window managers, maximize included.
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowMinimizeButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        if (closeBox_) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        setWindowFlags(flags);
    }

    WindowId id() const { return id_; }
    bool ending = false; // ended by the program: let it go without asking

protected:
    void keyPressEvent(QKeyEvent *event) override {
        switch (event->key()) {
        case Qt::Key_Escape:
            // Only a modal box's own loop turns Escape into command 2; a tool
            // window stays open.
            if (modal_) layer_.send(id_, {MessageKind::Command, kCommandCancel});
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modal_)
                QDialog::keyPressEvent(event); // presses the default button
            else
                event->accept();
            return;
        default: QDialog::keyPressEvent(event);
        }
    }

    void closeEvent(QCloseEvent *event) override {
        if (ending) {
            event->accept();
            return;
        }
        // The caption's close box is command 2 to the procedure, which decides.
        event->ignore();
        if (closeBox_) layer_.send(id_, {MessageKind::Command, kCommandCancel});
    }

private:
    QtWindowLayer &layer_;
    WindowId id_;
    bool modal_;
    bool closeBox_;
};

class QtFrameWindow : public QMainWindow {
public:
    explicit QtFrameWindow(QtWindowLayer &layer) : layer_(layer) {}

protected:
    void closeEvent(QCloseEvent *event) override {
        if (layer_.frameClosed_) {
            event->accept();
            return;
        }
        event->ignore();
        layer_.frameCloseBox();
    }

private:
    QtWindowLayer &layer_;
};

namespace {

constexpr int kTextPadding = 2; // pixels between a field's frame and its text

// A static picture: the bitmap at its own size, the sharp variant on a 200% screen.
class PictureControl : public QWidget {
public:
    explicit PictureControl(QWidget *parent) : QWidget(parent) {}

    int bitmap() const { return bitmap_; }

    void setBitmap(int id) {
        bitmap_ = id;
        setProperty("bitmap", id);
        const QPixmap pixmap = loadPicture(id, 1.0);
        if (!pixmap.isNull()) resize(pixmap.deviceIndependentSize().toSize());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        if (bitmap_ == 0) return;
        QPainter painter(this);
        painter.drawPixmap(0, 0, loadPicture(bitmap_, devicePixelRatioF()));
    }

private:
    int bitmap_ = 0;
};

// A drop-down list also tells its window when it gets the focus. Its own
// list, dropped down and closed again, hands the focus back to it: that is
// no new focus.
class DropDownControl : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> onFocus;

protected:
    void focusInEvent(QFocusEvent *event) override {
        QComboBox::focusInEvent(event);
        if (onFocus && event->reason() != Qt::PopupFocusReason) onFocus();
    }
};

// Qt draws a larger check mark, and further from its caption, than the
// templates allow for: a check box or radio button takes the room its mark
// and caption need, reaching right up to the window's edge and growing
// about its middle when the mark is taller than the template's line.
QRect roomForIndicator(QRect rect, QSize hint, int windowWidth) {
    rect.setWidth(std::max(rect.width(), std::min(hint.width(), windowWidth - rect.x() - 2)));
    if (hint.height() > rect.height()) {
        rect.translate(0, -(hint.height() - rect.height()) / 2);
        rect.setHeight(hint.height());
    }
    return rect;
}

// A text the program writes. It may receive more than its template made
// room for (a unit list, a die count after a long campaign): what does not
// fit scrolls.
class TextField : public QScrollArea {
public:
    explicit TextField(QWidget *parent) : QScrollArea(parent), label_(new QLabel) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        label_->setWordWrap(true);
        setWidget(label_);
        viewport()->setAutoFillBackground(false);
        label_->setAutoFillBackground(false);
    }

    QLabel *label() const { return label_; }

    void setText(const QString &text) {
        label_->setText(text);
        // The label's new size reaches the scroll bars through a layout request.
        QEvent request(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(this, &request);
    }

private:
    QLabel *label_;
};

// The rows of a list box, asked of the window's function whenever the view
// shows one and kept nowhere: a history of a hundred thousand rolls costs
// the list no more than one of ten.
class RowsModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setRows(int count, std::function<std::string(int)> row) {
        beginResetModel();
        count_ = row ? std::max(0, count) : 0;
        row_ = std::move(row);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : count_; }

    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count_) return {};
        return fromCp1252(row_(index.row()));
    }

private:
    int count_ = 0;
    std::function<std::string(int)> row_;
};

// A list box: rows of text, several selectable with Shift and Ctrl as in
// any list. It sends no command; the window reads its selection when asked.
class RowsControl : public QListView {
public:
    explicit RowsControl(QWidget *parent) : QListView(parent), rows_(new RowsModel(this)) {
        setModel(rows_);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        // One row's size stands for all: the view never measures the rest.
        setUniformItemSizes(true);
        setFont(rowFont());
    }

    void setRows(int count, std::function<std::string(int)> row) {
        rows_->setRows(count, std::move(row)); // a new list: the reset clears the selection
        scrollToTop();
    }

    std::vector<int> selected() const {
        std::vector<int> rows;
        for (const QModelIndex &index : selectionModel()->selectedRows()) rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

private:
    // The rows line their columns up with spaces: every letter as wide as
    // the next, at the size of the window's own font.
    QFont rowFont() const {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (!QFontInfo(fixed).fixedPitch()) {
            fixed = QFont(QStringLiteral("DejaVu Sans Mono"));
            fixed.setStyleHint(QFont::TypeWriter);
        }
        fixed.setPointSize(font().pointSize());
        return fixed;
    }

    RowsModel *rows_;
};

// "3 rolls" and "1 roll": how a chart's bars are read out.
QString rollCount(int count) { return count == 1 ? QStringLiteral("1 roll") : QStringLiteral("%1 rolls").arg(count); }

// A bar chart: for each result a bar as high as its count, the count above
// it, the result under it, and a line across its slot at the count fair
// dice would have given. Everything is scaled to the largest count or
// expected count. It shows, takes no input and never the focus.
class ChartControl : public QFrame {
public:
    explicit ChartControl(QWidget *parent) : QFrame(parent) {
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(true);
        setAccessibleDescription(describe());
    }

    void setBars(const std::vector<ChartBar> &bars) {
        bars_ = bars;
        // A screen reader cannot see the bars: it reads them from here.
        setAccessibleDescription(describe());
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        const int line = metrics.height();
        const QRect area = contentsRect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
        // Labels along the bottom, room above the tallest bar for its count.
        const int axis = area.bottom() - line - 1;
        const int top = area.top() + line + 1;
        const qreal height = std::max(0, axis - top);

        painter.setPen(palette().color(QPalette::Text));
        painter.drawLine(area.left(), top, area.left(), axis);
        painter.drawLine(area.left(), axis, area.right(), axis);
        if (bars_.empty()) return;

        qreal largest = 0;
        for (const ChartBar &bar : bars_) largest = std::max({largest, qreal(bar.count), qreal(bar.expected)});
        const qreal slot = qreal(area.width() - 1) / qreal(bars_.size());
        const auto level = [&](qreal value) { return qRound(axis - value / largest * height); };
        for (std::size_t i = 0; i < bars_.size(); ++i) {
            const ChartBar &bar = bars_[i];
            const qreal left = area.left() + 1 + slot * qreal(i);
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(QRectF(left, axis + 1, slot, line), Qt::AlignHCenter | Qt::AlignTop,
                             fromCp1252(bar.label));
            if (largest <= 0) continue; // no rolls yet: nothing to scale to

            const int barTop = level(std::max(0, bar.count));
            const QRect drawn(QPoint(qRound(left + slot * 0.2), barTop),
                              QPoint(qRound(left + slot * 0.8) - 1, axis - 1));
            if (bar.count > 0) painter.fillRect(drawn, palette().color(QPalette::Highlight));

            const int mark = level(std::max(0.0, bar.expected));
            painter.setPen(QPen(palette().color(QPalette::Text), 2));
            painter.drawLine(qRound(left + slot * 0.08), mark, qRound(left + slot * 0.92), mark);

            // Above the bar and above its mark, which may be the higher.
            const int above = std::min(barTop, mark - 1);
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(QRectF(left, above - line - 1, slot, line), Qt::AlignHCenter | Qt::AlignBottom,
                             QString::number(bar.count));
        }
    }

private:
    static constexpr int kMargin = 3; // pixels between the frame and the drawing

    QString describe() const {
        if (bars_.empty()) return QStringLiteral("No rolls");
        QStringList parts;
        for (const ChartBar &bar : bars_)
            parts << QStringLiteral("%1: %2, %3 expected")
                         .arg(fromCp1252(bar.label), rollCount(bar.count), QString::number(bar.expected, 'f', 1));
        return parts.join(QStringLiteral("; "));
    }

    std::vector<ChartBar> bars_;
};

// The label that shows a text control's text: a caption's own, or a field's.
QLabel *textLabel(QWidget *control) {
    if (auto *field = dynamic_cast<TextField *>(control)) return field->label();
    return qobject_cast<QLabel *>(control);
}

QString controlObjectName(const ControlTemplate &c, std::size_t index) {
    return c.id == kNoId ? QStringLiteral("s%1").arg(index) : QStringLiteral("c%1").arg(c.id);
}

void showText(QWidget *control, std::string_view bytes) {
    const QString text = displayText(bytes);
    if (auto *field = dynamic_cast<TextField *>(control))
        field->setText(text);
    else
        textLabel(control)->setText(text);
    control->setAccessibleDescription(text); // what the field shows now, for screen readers
}

} // namespace

// ---------------------------------------------------------------------------
// The layer

QtWindowLayer::QtWindowLayer() : openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); }) {
    buildFrame();
    placeFrame();
    qApp->installEventFilter(this);
}

QtWindowLayer::~QtWindowLayer() {
    qApp->removeEventFilter(this);
    frameClosed_ = true;
    for (auto &[id, w] : windows_)
        if (w->widget) w->widget->ending = true;
    frame_.reset();
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

void QtWindowLayer::frameCloseBox() {
    if (onCommand)
        onCommand(kCmdExit);
    else
        closeFrame();
}

QtWindowLayer::Window *QtWindowLayer::find(WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

const QtWindowLayer::Window *QtWindowLayer::find(WindowId window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

QtWindowLayer::Control *QtWindowLayer::findControl(WindowId window, int control) {
    Window *w = find(window);
    if (!w || control == kNoId) return nullptr;
    for (Control &c : w->controls)
        if (c.source->id == control) return &c;
    return nullptr;
}

const QtWindowLayer::Control *QtWindowLayer::findControl(WindowId window, int control) const {
    return const_cast<QtWindowLayer *>(this)->findControl(window, control);
}

void QtWindowLayer::send(WindowId window, const Message &message) {
    Window *w = find(window);
    if (!w || !w->open || !w->proc) return;
    WindowProc proc = w->proc; // the procedure may end its window while it runs
    proc(window, message);
}

QWidget *QtWindowLayer::ownerWidget(WindowId owner) const {
    const Window *w = find(owner);
    if (w && w->open && w->widget) return w->widget;
    return frame_.get();
}

WindowId QtWindowLayer::createWindow(int templateId, WindowId owner, WindowProc proc, bool modal) {
    const DialogTemplate *dialog = findDialogTemplate(templateId);
    if (!dialog || frameClosed_) return kNoWindow;
    auto record = std::make_unique<Window>();
    Window &w = *record;
    w.id = next_++;
    w.dialog = dialog;
    w.proc = std::move(proc);
    w.owner = owner;
    w.modal = modal;
    windows_[w.id] = std::move(record);

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

void QtWindowLayer::place(Window &w, QtDialogWindow *dialog) const {
    QWidget *owner = ownerWidget(w.owner);
    QScreen *screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QSize size = dialog->size();
    if (!w.modal) {
        // A tool window leaves the frame's menu and toolbar in sight. Not shown
        // yet, it has no frame of its own: it will get one like the frame's.
        const QRect frame = frame_->frameGeometry();
        const QSize outer = size + frame.size() - frame_->size();
        std::optional<QPoint> remembered;
        if (auto it = lastPosition_.find(w.dialog->id); it != lastPosition_.end()) {
            remembered = it->second;
            if (QScreen *there = QGuiApplication::screenAt(it->second)) screen = there;
        }
        dialog->move(toolWindowPosition(screen->availableGeometry(), frame, outer, remembered));
    } else if (w.dialog->style & kDialogCentred) {
        const QRect area = screen->availableGeometry();
        dialog->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        dialog->move(owner->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

QPoint toolWindowPosition(const QRect &available, const QRect &frame, const QSize &window,
                          std::optional<QPoint> remembered) {
    const auto rect = [](const QRect &r) { return ScreenRect{r.x(), r.y(), r.width(), r.height()}; };
    std::optional<ScreenPoint> at;
    if (remembered) at = ScreenPoint{remembered->x(), remembered->y()};
    const ScreenPoint placed =
        toolWindowPosition(rect(available), rect(frame), ScreenSize{window.width(), window.height()}, at);
    return {placed.x, placed.y};
}

void QtWindowLayer::buildControls(Window &w, QtDialogWindow *dialog, const QFont &font) {
    const DialogUnits du = dialogUnits(font);
    const QFontMetrics metrics(font);
    const WindowId wid = w.id;
    for (std::size_t index = 0; index < w.dialog->controls.size(); ++index) {
        const ControlTemplate &c = w.dialog->controls[index];
        // From edges, so that controls the template puts side by side meet.
        const QRect rect(QPoint(du.x(c.x), du.y(c.y)), QPoint(du.x(c.x + c.width) - 1, du.y(c.y + c.height) - 1));
        const QString caption = fromCp1252(c.caption ? c.caption : "");
        const int id = c.id;
        QWidget *widget = nullptr;
        switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto *button = new QPushButton(caption, dialog);
            button->setAutoDefault(false); // Enter presses the default button only
            button->setDefault(c.kind == ControlKind::DefaultPushButton);
            connect(button, &QPushButton::clicked, this, [this, wid, id] { send(wid, {MessageKind::Command, id}); });
            button->setGeometry(rect);
            widget = button;
            break;
        }
        case ControlKind::CheckBox: {
            auto *box = new QCheckBox(caption, dialog);
            // Qt toggles the box before it reports the click, as the procedures expect.
            connect(box, &QCheckBox::clicked, this, [this, wid, id] { send(wid, {MessageKind::Command, id}); });
            box->setGeometry(roomForIndicator(rect, box->sizeHint(), dialog->width()));
            widget = box;
            break;
        }
        case ControlKind::RadioButton: {
            // Checks itself and unchecks the rest of its group: see applyTabOrder().
            auto *radio = new QRadioButton(caption, dialog);
            connect(radio, &QRadioButton::clicked, this, [this, wid, id] { send(wid, {MessageKind::Command, id}); });
            radio->setGeometry(roomForIndicator(rect, radio->sizeHint(), dialog->width()));
            widget = radio;
            break;
        }
        case ControlKind::DropDownList: {
            auto *list = new DropDownControl(dialog);
            list->setEditable(false);
            list->onFocus = [this, wid, id] { send(wid, {MessageKind::Command, id}); };
            connect(list, &QComboBox::activated, this, [this, wid, id] { send(wid, {MessageKind::Command, id}); });
            // The template's height includes the dropped list; closed it is one line.
            const int closed = std::min(rect.height(), list->sizeHint().height());
            list->setGeometry(rect.x(), rect.y(), rect.width(), closed);
            list->setMaxVisibleItems(std::max(4, (rect.height() - closed) / std::max(1, metrics.height())));
            widget = list;
            break;
        }
        case ControlKind::EditBox: {
            auto *edit = new QLineEdit(dialog);
            edit->setFrame(c.style & kBorder);
            edit->setMaxLength(kEditBoxCapacity);
            connect(edit, &QLineEdit::textEdited, this, [this, wid, id] { send(wid, {MessageKind::Command, id}); });
            edit->setGeometry(rect);
            widget = edit;
            break;
        }
        case ControlKind::Text: {
            const bool framed = c.style & (kSunken | kBorder);
            QRect area = rect;
            if (framed) {
                // The frame and a little room beside the text go around the
                // template's area, which stays the text's own.
                area.adjust(-1 - kTextPadding, -1, 1 + kTextPadding, 1);
            } else if (id != kNoId) {
                const DialogTemplate::Room room = w.dialog->freeRoom(c);
                area =
                    QRect(QPoint(du.x(room.left), du.y(room.top)), QPoint(du.x(room.right) - 1, du.y(room.bottom) - 1));
            }
            QFrame *field = nullptr;
            QLabel *label = nullptr;
            if (id == kNoId) { // a caption: it says what the template says
                field = label = new QLabel(dialog);
                label->setWordWrap(true);
            } else {
                auto *text = new TextField(dialog);
                field = text;
                label = text->label();
            }
            label->setTextFormat(Qt::PlainText);
            label->setIndent(0);
            label->setAlignment((c.style & kCentred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
            if (framed) {
                field->setFrameStyle(c.style & kSunken ? QFrame::Panel | QFrame::Sunken : QFrame::Box | QFrame::Plain);
                field->setLineWidth(1);
                label->setContentsMargins(kTextPadding, 0, kTextPadding, 0);
            }
            field->setGeometry(area);
            showText(field, c.caption ? c.caption : "");
            widget = field;
            break;
        }
        case ControlKind::Picture: {
            auto *picture = new PictureControl(dialog);
            picture->setGeometry(rect);
            picture->setBitmap(c.bitmap);
            widget = picture;
            break;
        }
        case ControlKind::ListBox: {
            auto *rows = new RowsControl(dialog);
            rows->setGeometry(rect);
            widget = rows;
            break;
        }
        case ControlKind::BarChart: {
            auto *chart = new ChartControl(dialog);
            if (c.style & (kSunken | kBorder))
                chart->setFrameStyle(c.style & kSunken ? QFrame::Panel | QFrame::Sunken : QFrame::Box | QFrame::Plain);
            chart->setGeometry(rect);
            widget = chart;
            break;
        }
        }
        widget->setObjectName(controlObjectName(c, index));
        widget->setAccessibleName(QString::fromUtf8(accessibleName(*w.dialog, c)));
        widget->setFocusPolicy(takesFocus(c.kind) ? Qt::StrongFocus : Qt::NoFocus);
        Control control;
        control.source = &c;
        control.widget = widget;
        w.controls.push_back(control);
    }
}

namespace {

// The Tab key stops at a radio group's checked button, or at its first when
// none is checked; the arrow keys move within the group.
void tabStopOnChecked(QButtonGroup *group) {
    const QList<QAbstractButton *> buttons = group->buttons();
    QAbstractButton *stop = group->checkedButton();
    if (!stop && !buttons.isEmpty()) stop = buttons.first();
    for (QAbstractButton *button : buttons) button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

// Tab follows the template's reading order. The radio buttons of a template
// group join one exclusive button group, which checks the clicked button and
// unchecks the rest of that group only (Qt's own exclusivity would join every
// sibling), and moves and checks with the arrow keys as one stop.
void QtWindowLayer::applyTabOrder(Window &w, QtDialogWindow *dialog) {
    std::map<std::size_t, QButtonGroup *> groups; // by the template group's first control
    // The chain starts at the window itself, so that the window opens on the
    // first stop. Qt orders only widgets that take the focus: for a moment it does.
    const Qt::FocusPolicy policy = dialog->focusPolicy();
    dialog->setFocusPolicy(Qt::TabFocus);
    QWidget *previous = dialog;
    for (std::size_t index : tabOrder(*w.dialog)) {
        if (!takesFocus(w.dialog->controls[index].kind)) continue;
        QWidget *widget = w.controls[index].widget;
        QWidget::setTabOrder(previous, widget);
        previous = widget;
        if (w.dialog->controls[index].kind != ControlKind::RadioButton) continue;
        QButtonGroup *&group = groups[w.dialog->groupOf(index).first];
        if (!group) {
            group = new QButtonGroup(dialog);
            connect(group, &QButtonGroup::buttonToggled, group, [group] { tabStopOnChecked(group); });
        }
        group->addButton(static_cast<QAbstractButton *>(widget));
    }
    dialog->setFocusPolicy(policy);
    for (const auto &[first, group] : groups) tabStopOnChecked(group);
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
    Window *w = find(window);
    if (!w || !w->open) return;
    w->open = false;
    w->result = result;
    if (w->loop) w->loop->exit(result);
    if (active_ == window) active_ = isOpen(w->owner) ? w->owner : kFrameWindow;
    if (unexplainedActivation_ == window) unexplainedActivation_ = kNoWindow;
    if (QtDialogWindow *widget = w->widget) {
        if (!w->modal) lastPosition_[w->dialog->id] = widget->pos(); // it comes back there
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
    if (window != active_) programActivation_ = window;
    if (target->isMinimized()) target->showNormal();
    // The offscreen platform (screenshots, tests) has no stacking order and
    // says so on every raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) target->raise();
    target->activateWindow();
}

bool QtWindowLayer::isOpen(WindowId window) const {
    if (window == kFrameWindow) return !frameClosed_;
    const Window *w = find(window);
    return w && w->open;
}

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

void QtWindowLayer::setFrameCaption(std::string_view caption) {
    const QString title = QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    // "[*]" is where the window system marks unsaved changes; it shows nothing otherwise.
    frame_->setWindowTitle(title + QStringLiteral("[*]"));
    frame_->setAccessibleName(title);
}

void QtWindowLayer::setFrameModified(bool modified) { frame_->setWindowModified(modified); }

WindowLayer::SaveAnswer QtWindowLayer::askSaveChanges(std::string_view name) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("TREVA!"),
                    QStringLiteral("Save changes to %1?").arg(QString::fromUtf8(name.data(), qsizetype(name.size()))),
                    QMessageBox::NoButton, frame_.get());
    QPushButton *save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SaveAnswer::Save;
    return box.clickedButton() == discard ? SaveAnswer::DontSave : SaveAnswer::Cancel;
}

void QtWindowLayer::setMenuItemEnabled(int command, bool enabled) {
    auto it = menuActions_.find(command);
    if (it != menuActions_.end()) it->second->setEnabled(enabled);
}

void QtWindowLayer::closeFrame() {
    if (frameClosed_) return;
    frameClosed_ = true;
    for (auto &[id, w] : windows_) {
        if (!w->open) continue;
        // The frame takes its windows with it; a running box ends with 0.
        w->open = false;
        if (w->loop) w->loop->exit(0);
        if (QtDialogWindow *widget = w->widget) {
            widget->ending = true;
            widget->hide();
            widget->deleteLater();
        }
    }
    frame_->close();
    // Ends the program's event loop. Outside one (start-up, tests) main()
    // sees the frame closed instead: exiting then would make every later
    // loop return at once.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

namespace {

// The scenario file dialog: Treva files or all files, asking before it
// accepts a name that does not exist (Open) or replaces a file (Save).
class ScenarioFileDialog : public QFileDialog {
public:
    ScenarioFileDialog(QWidget *owner, bool save) : QFileDialog(owner), save_(save) {
        setOption(QFileDialog::DontUseNativeDialog);
        setWindowTitle(save ? QStringLiteral("Save As") : QStringLiteral("Open"));
        setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters({QStringLiteral("Treva Files (*.TRV)"), QStringLiteral("All Files (*.*)")});
        // "*.*" names every file here, dotted or not; the file list matches
        // without regard to case, so "*.TRV" also shows "x.trv".
        connect(this, &QFileDialog::filterSelected, this, [this](const QString &filter) {
            if (filter.startsWith(QStringLiteral("All Files"))) setNameFilter(QStringLiteral("All Files (*)"));
        });
        if (save) setDefaultSuffix(QStringLiteral("trv"));
    }

    void accept() override {
        if (!save_) {
            const QStringList files = selectedFiles();
            if (!files.isEmpty()) {
                const QFileInfo info(files.first());
                if (!info.exists()) {
                    const auto answer = QMessageBox::question(
                        this, windowTitle(),
                        QStringLiteral("%1\nThis file does not exist.\nCreate the file?").arg(info.fileName()),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
                    if (answer != QMessageBox::Yes) return;
                }
            }
        }
        QFileDialog::accept();
    }

private:
    bool save_;
};

std::optional<std::string> askPath(QWidget *owner, bool save, std::string_view name) {
    ScenarioFileDialog dialog(owner, save);
    if (!name.empty()) {
        const QFileInfo start(QString::fromLocal8Bit(name.data(), qsizetype(name.size())));
        if (!start.path().isEmpty() && start.path() != QStringLiteral(".")) dialog.setDirectory(start.path());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first().toLocal8Bit().toStdString();
}

} // namespace

std::optional<std::string> QtWindowLayer::askOpenPath(std::string_view startName) {
    return askPath(QApplication::activeWindow() ? QApplication::activeWindow() : frame_.get(), false, startName);
}

std::optional<std::string> QtWindowLayer::askSavePath(std::string_view proposedName) {
    return askPath(QApplication::activeWindow() ? QApplication::activeWindow() : frame_.get(), true, proposedName);
}

void QtWindowLayer::showError(std::string_view title, std::string_view text) {
    QWidget *owner = QApplication::activeWindow() ? QApplication::activeWindow() : frame_.get();
    QString shown = QString::fromUtf8(text.data(), qsizetype(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    QMessageBox::warning(owner, QString::fromUtf8(title.data(), qsizetype(title.size())), shown);
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
    for (const auto &[id, w] : windows_)
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

WindowId QtWindowLayer::newestWindow(int templateId) const {
    WindowId newest = kNoWindow;
    for (const auto &[id, w] : windows_)
        if (w->dialog->id == templateId) newest = id;
    return newest;
}

// ---------------------------------------------------------------------------
// Activation
//
// The procedures want to know how a window became active: by the program
// (activate(): kActive), or by a mouse click on it (kClickActive), and which
// window lost activation. Qt reports only that a window became active, so:
//  - the layer keeps the active window of its own (active_), which gives
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
    if (window == active_) return;
    const WindowId previous = active_;
    active_ = window;
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
    send(previous, {MessageKind::Activate, 0, kInactive, window});
    send(window, {MessageKind::Activate, 0, state, previous});
}

bool QtWindowLayer::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress: {
        if (!watched->isWidgetType()) break;
        const WindowId window = windowOf(static_cast<QWidget *>(watched)->window());
        if (window == kNoWindow) break;
        if (window != active_) {
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
            windowOf(static_cast<QWidget *>(watched)) == active_ && active_ != kNoWindow) {
            // Another program took the keyboard when none of ours is active
            // once the change has settled: the window hears of it then.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (QApplication::activeWindow() || active_ == kNoWindow) return;
                    const WindowId previous = active_;
                    active_ = kNoWindow;
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
