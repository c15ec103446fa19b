#include "platform/qt/qt_controls.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

#include "platform/qt/cp1252.h"
#include "platform/qt/pictures.h"
#include "resources/accessible_names.h"
#include "resources/tab_order.h"

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

QtDialogWindow::QtDialogWindow(QtWindowLayer &layer, WindowId id, const DialogTemplate &dialog, bool modal,
                               QWidget *owner)
    : QDialog(owner), layer_(layer), id_(id), modal_(modal), closeBox_((dialog.style & kDialogSystemMenu) != 0),
      escapeCloses_((dialog.style & kDialogEscapeCloses) != 0) {
    // Some window managers draw a close box whatever the window asks for: on
    // a window that has none of its own, it is the window's Cancel button,
    // else its OK button, as the template offers; else it does nothing.
    if (closeBox_ || dialog.control(kCommandCancel))
        closeCommand_ = kCommandCancel;
    else if (dialog.control(kCommandOk))
        closeCommand_ = kCommandOk;
    // A fixed size and no maximize button. The minimize button is named
    // too: a window that names no button at all gets every one from some
    // X11 window managers, maximize included.
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                            Qt::MSWindowsFixedSizeDialogHint;
    if (closeBox_) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

void QtDialogWindow::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // A modal box's own loop turns Escape into command 2, and so do the
        // tool windows that Escape closes; the others stay open.
        if (modal_ || escapeCloses_) layer_.send(id_, {MessageKind::Command, kCommandCancel});
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

void QtDialogWindow::closeEvent(QCloseEvent *event) {
    if (ending) {
        event->accept();
        return;
    }
    // The caption's close box is a command to the procedure, which decides.
    event->ignore();
    if (closeCommand_) layer_.send(id_, {MessageKind::Command, closeCommand_});
}

void PictureControl::setBitmap(int id) {
    bitmap_ = id;
    setProperty("bitmap", id);
    const QPixmap pixmap = loadPicture(id, 1.0);
    if (!pixmap.isNull()) resize(pixmap.deviceIndependentSize().toSize());
    update();
}

void PictureControl::paintEvent(QPaintEvent *) {
    if (bitmap_ == 0) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, loadPicture(bitmap_, devicePixelRatioF()));
}

namespace {

constexpr int kTextPadding = 2; // pixels between a field's frame and its text

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

// "3 rolls" and "1 roll": how a chart's bars are read out.
QString rollCount(int count) { return count == 1 ? QStringLiteral("1 roll") : QStringLiteral("%1 rolls").arg(count); }

QString controlObjectName(const ControlTemplate &c, std::size_t index) {
    return c.id == kNoId ? QStringLiteral("s%1").arg(index) : QStringLiteral("c%1").arg(c.id);
}

} // namespace

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

RowsControl::RowsControl(QWidget *parent) : QListView(parent), rows_(new RowsModel(this)) {
    setModel(rows_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row's size stands for all: the view never measures the rest.
    setUniformItemSizes(true);
    setFont(rowFont());
}

void RowsControl::setRows(int count, std::function<std::string(int)> row) {
    rows_->setRows(count, std::move(row)); // a new list: the reset clears the selection
    scrollToTop();
}

std::vector<int> RowsControl::selected() const {
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The rows line their columns up with spaces: every letter as wide as
// the next, at the size of the window's own font.
QFont RowsControl::rowFont() const {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(fixed).fixedPitch()) {
        fixed = QFont(QStringLiteral("DejaVu Sans Mono"));
        fixed.setStyleHint(QFont::TypeWriter);
    }
    fixed.setPointSize(font().pointSize());
    return fixed;
}

ChartControl::ChartControl(QWidget *parent) : QFrame(parent) {
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setAccessibleDescription(describe());
}

void ChartControl::setBars(const std::vector<ChartBar> &bars) {
    bars_ = bars;
    // A screen reader cannot see the bars: it reads them from here.
    setAccessibleDescription(describe());
    update();
}

void ChartControl::paintEvent(QPaintEvent *event) {
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
        painter.drawText(QRectF(left, axis + 1, slot, line), Qt::AlignHCenter | Qt::AlignTop, fromCp1252(bar.label));
        if (largest <= 0) continue; // no rolls yet: nothing to scale to

        const int barTop = level(std::max(0, bar.count));
        const QRect drawn(QPoint(qRound(left + slot * 0.2), barTop), QPoint(qRound(left + slot * 0.8) - 1, axis - 1));
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

QString ChartControl::describe() const {
    if (bars_.empty()) return QStringLiteral("No rolls");
    QStringList parts;
    for (const ChartBar &bar : bars_)
        parts << QStringLiteral("%1: %2, %3 expected")
                     .arg(fromCp1252(bar.label), rollCount(bar.count), QString::number(bar.expected, 'f', 1));
    return parts.join(QStringLiteral("; "));
}

QLabel *textLabel(QWidget *control) {
    if (auto *field = dynamic_cast<TextField *>(control)) return field->label();
    return qobject_cast<QLabel *>(control);
}

void showText(QWidget *control, std::string_view bytes) {
    const QString text = displayText(bytes);
    if (auto *field = dynamic_cast<TextField *>(control))
        field->setText(text);
    else
        textLabel(control)->setText(text);
    control->setAccessibleDescription(text); // what the field shows now, for screen readers
}

// ---------------------------------------------------------------------------
// Building a window's controls from its template

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

} // namespace treva
