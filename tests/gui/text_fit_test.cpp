// Every window and box at the scale this process runs at (QT_SCALE_FACTOR):
// each control shows its caption, or the longest texts its window puts into
// it, whole and inside it, or else scrolls to all of it; check marks and
// pictures lie inside their controls, and controls inside their windows.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOption>
#include <QtTest>
#include <climits>

#include "actions/action_roll.h"
#include "activation/activation.h"
#include "activation/units.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/modal_script.h"
#include "platform/qt/pictures.h"
#include "platform/qt/qt_window_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "state/text.h"
#include "ui/app.h"
#include "ui/frame.h"

using namespace treva;

namespace {

QString brief(QString text) {
    text.replace(QChar(u'\n'), QStringLiteral("|"));
    return text.size() > 48 ? text.left(45) + QStringLiteral("...") : text;
}

QString size(QSize s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); }

// Where a label lays out its text, as QLabel works it out: the contents less
// the margin and, on the sides the text is aligned to, the indent (half an
// "x" when the label has a frame and no indent of its own).
QRect labelTextRect(const QLabel *label) {
    const int margin = label->margin();
    QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(QChar(u'x')) / 2 - margin;
    if (indent > 0) {
        const Qt::Alignment align = label->alignment();
        if (align & Qt::AlignLeft) room.setLeft(room.left() + indent);
        if (align & Qt::AlignRight) room.setRight(room.right() - indent);
        if (align & Qt::AlignTop) room.setTop(room.top() + indent);
        if (align & Qt::AlignBottom) room.setBottom(room.bottom() - indent);
    }
    return room;
}

// Text drawn into `room` with these flags, as the control draws it: what
// of it falls outside, or nothing.
QString textOutside(const QFontMetrics &metrics, const QRect &room, int flags, const QString &text) {
    if (text.isEmpty()) return {};
    const QRect need = metrics.boundingRect(room, flags, text);
    if (room.contains(need)) return {};
    return QStringLiteral("\"%1\" needs %2, has %3").arg(brief(text), size(need.size()), size(room.size()));
}

QString labelProblem(const QLabel *label) {
    // QLabel draws plain text with its alignment, its word wrap and no mnemonics.
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0) | Qt::TextHideMnemonic;
    return textOutside(label->fontMetrics(), labelTextRect(label), flags, label->text());
}

QString inside(const QRect &part, const QWidget *w, const char *what) {
    if (w->rect().contains(part)) return {};
    return QStringLiteral("%1 %2 at (%3,%4) is outside %5")
        .arg(QString::fromLatin1(what), size(part.size()))
        .arg(part.x())
        .arg(part.y())
        .arg(size(w->size()));
}

// What a control does not show of its text or picture; empty when all of it shows.
QString controlProblem(QtWindowLayer &layer, WindowId window, int id, QWidget *w) {
    QStyle *style = w->style();
    if (auto *area = qobject_cast<QScrollArea *>(w)) {
        // A field that can hold more than it shows: its text lies whole on
        // the scrolled label, and the scroll bars reach every part of it.
        auto *label = qobject_cast<QLabel *>(area->widget());
        if (!label) return QStringLiteral("scrolls something other than a text");
        if (const QString cut = labelProblem(label); !cut.isEmpty()) return cut;
        const QSize view = area->viewport()->size();
        const auto range = [area](const QScrollBar *bar) { return bar->isVisibleTo(area) ? bar->maximum() : 0; };
        const QSize reach(view.width() + range(area->horizontalScrollBar()),
                          view.height() + range(area->verticalScrollBar()));
        if (label->width() > reach.width() || label->height() > reach.height())
            return QStringLiteral("\"%1\" is %2 high, scrolls to %3")
                .arg(brief(label->text()), size(label->size()), size(reach));
        return {};
    }
    if (auto *label = qobject_cast<QLabel *>(w)) return labelProblem(label);
    if (auto *button = qobject_cast<QPushButton *>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        // The caption is centred in the button's contents and keeps the style's margin clear.
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) / 2;
        const QRect room =
            style->subElementRect(QStyle::SE_PushButtonContents, &option, button).adjusted(margin, 0, -margin, 0);
        return textOutside(button->fontMetrics(), room, Qt::AlignCenter | Qt::TextShowMnemonic, button->text());
    }
    if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
        const bool radio = qobject_cast<QRadioButton *>(w);
        auto *button = static_cast<QAbstractButton *>(w);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect mark = style->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                                                 &option, button);
        if (const QString out = inside(mark, w, "indicator"); !out.isEmpty()) return out;
        const QRect room = style->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
                                                 &option, button);
        return textOutside(button->fontMetrics(), room.intersected(w->rect()),
                           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, button->text());
    }
    if (auto *list = qobject_cast<QComboBox *>(w)) {
        // The closed list shows any of its items.
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.frame = list->hasFrame();
        option.subControls = QStyle::SC_All;
        const QRect room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                               .adjusted(1, 0, -1, 0);
        for (int i = 0; i < list->count(); ++i)
            if (QString cut =
                    textOutside(list->fontMetrics(), room, Qt::AlignLeft | Qt::AlignVCenter, list->itemText(i));
                !cut.isEmpty())
                return cut;
        return {};
    }
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        // An edit box scrolls its line sideways itself; its line must fit in height.
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QRect room = style->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        const int need = edit->fontMetrics().height() + 2; // QLineEdit keeps a pixel above and below
        if (room.height() >= need) return {};
        return QStringLiteral("a line needs %1 high, has %2").arg(need).arg(room.height());
    }
    // A picture, drawn at its own size from the top left corner.
    const int bitmap = layer.image(window, id);
    const QPixmap picture = loadPicture(bitmap, w->devicePixelRatioF());
    if (picture.isNull()) return bitmap ? QStringLiteral("picture %1 missing").arg(bitmap) : QString();
    return inside(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()), w, "picture");
}

// Checks windows as they are now and keeps what does not show, once each.
class FitCheck {
public:
    explicit FitCheck(QtWindowLayer &layer) : layer_(layer) {}

    // Every control of the window, or only the controls listed.
    void window(WindowId window, std::initializer_list<int> only = {}) {
        QCoreApplication::processEvents(); // scroll areas follow their texts' sizes
        QWidget *dialog = layer_.widget(window);
        const DialogTemplate *t = findDialogTemplate(layer_.templateOf(window));
        if (!dialog || !t) {
            note(QStringLiteral("window %1 is not open").arg(window));
            return;
        }
        for (std::size_t i = 0; i < t->controls.size(); ++i) {
            const ControlTemplate &c = t->controls[i];
            if (only.size() && std::find(only.begin(), only.end(), c.id) == only.end()) continue;
            const QString name = c.id == kNoId ? QStringLiteral("s%1").arg(i) : QStringLiteral("c%1").arg(c.id);
            auto *w = dialog->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
            const QString where = QStringLiteral("%1 %2: ").arg(QString::fromLatin1(t->title), name);
            if (!w) {
                note(where + QStringLiteral("missing"));
                continue;
            }
            if (!dialog->rect().contains(w->geometry())) note(where + QStringLiteral("reaches outside its window"));
            if (const QString problem = controlProblem(layer_, window, c.id, w); !problem.isEmpty())
                note(where + problem);
        }
    }

    QString report() const { return problems_.join(QChar(u'\n')); }

private:
    void note(const QString &problem) {
        if (!seen_.contains(problem)) problems_ << problem;
        seen_.insert(problem);
    }

    QtWindowLayer &layer_;
    QStringList problems_;
    QSet<QString> seen_;
};

struct Program {
    QtWindowLayer layer;
    App app{layer};
    FitCheck fit{layer};

    Program() {
        layer.onCommand = [this](int command) { frameCommand(app, command); };
        resetScenario(app.state, 20240611u);
        layer.frameWidget()->show();
        QCoreApplication::processEvents();
    }

    void click(WindowId window, int id) {
        if (auto *button = qobject_cast<QAbstractButton *>(layer.controlWidget(window, id))) button->click();
    }

    // Clicks each button `times` times over, checking the window after every click.
    void clickAndCheck(WindowId window, std::initializer_list<int> buttons, int times) {
        for (int round = 0; round < times; ++round)
            for (int id : buttons) {
                click(window, id);
                fit.window(window);
            }
    }

    // Shows a text through the layer and checks that the field reads it back as given.
    void showText(WindowId window, int id, const std::string &text) {
        layer.setText(window, id, text);
        QCOMPARE(layer.text(window, id), text);
        fit.window(window, {id});
    }
};

// The typed modifiers the Special box takes: its nine characters at their widest.
constexpr int32_t kWidestModifiers[] = {999999999, -99999999};

} // namespace

class TextFitTest : public QObject {
    Q_OBJECT

private slots:
    void activationWindow() {
        Program p;
        using namespace activation_ids;
        ScenarioState &s = p.app.state.scenario;
        const WindowId window = openToolWindow(p.app, ToolSlot::Activation);
        p.fit.window(window);

        // Rolls under every nationality, attitude and modifier the Special box takes.
        p.click(window, kAllowManual);
        p.click(window, kAllowAttitude);
        for (int32_t modifier : {0, kWidestModifiers[0], kWidestModifiers[1]}) {
            for (int n = 0; n < kNationalityCount; ++n) {
                s.nationality = n;
                s.a1Modifier = s.a5Modifier = modifier;
                p.clickAndCheck(window, {kRoll, kVpo, kManual, kAdvance, kStone, kHold}, 3);
            }
        }

        // The conditions of every nationality; the longest unit lists its tables
        // give for any A1 DR the modifiers reach.
        std::string mostBytes, mostLines;
        const auto lines = [](const std::string &text) { return std::count(text.begin(), text.end(), '\r'); };
        for (int n = 0; n < kNationalityCount; ++n) {
            s.nationality = n;
            s.a1Modifier = s.a5Modifier = 0;
            p.showText(window, kConditions, activationConditionsText(n));
            for (s.yearIndex = kFirstYearIndex; s.yearIndex <= kLastYearIndex; ++s.yearIndex)
                for (s.attitude = 0; s.attitude <= 1; ++s.attitude)
                    for (s.a1Modifier = -5; s.a1Modifier <= 2; ++s.a1Modifier)
                        for (int a1 = 2; a1 <= 12; ++a1)
                            for (int draw = 0; draw < 3; ++draw) {
                                std::string units;
                                generateUnits(p.app.state, a1, units, kUnitsTextCapacity);
                                if (units.size() > mostBytes.size()) mostBytes = units;
                                if (lines(units) > lines(mostLines)) mostLines = units;
                            }
        }
        QVERIFY2(lines(mostLines) >= 4, mostLines.c_str());
        p.showText(window, kUnitsField, mostBytes);
        p.showText(window, kUnitsField, mostLines);
        // As much as the units buffer takes: generated lists one after another.
        std::string full;
        while (full.size() < kUnitsTextCapacity - 1) {
            std::string units;
            generateUnits(p.app.state, 3, units, kUnitsTextCapacity);
            appendBounded(full, units + "\r", kUnitsTextCapacity);
        }
        p.showText(window, kUnitsField, full);
        QVERIFY2(p.fit.report().isEmpty(), qPrintable(p.fit.report()));
    }

    void actionsWindow() {
        Program p;
        using namespace actions_ids;
        ScenarioState &s = p.app.state.scenario;
        const WindowId window = openToolWindow(p.app, ToolSlot::Actions);
        const WindowId activation = openToolWindow(p.app, ToolSlot::Activation);
        p.fit.window(window);

        // Every table at every DR, as the die buttons give them.
        p.click(window, kManualBox);
        for (int table = kVehMove; table <= kOrdInf; ++table) {
            p.click(window, table);
            p.fit.window(window);
            for (int dr = 2; dr <= 12; ++dr) {
                p.click(window, dieButton(dr));
                p.fit.window(window);
            }
        }
        // Rolled actions, panic and directions under both attitudes.
        p.click(window, kManualBox);
        for (int32_t attitude : {0, 1}) {
            s.attitude = attitude;
            p.clickAndCheck(
                window,
                {kInfAction, kAfvAction, kVehMove, kInfMove, kIftAttack, kLatw, kOrdVeh, kOrdInf, kDirectionButton},
                12);
        }
        for (int total = 2; total <= 12; total += 2) p.showText(window, kPanic, panicText(total));

        // The scenario summary here and in the Activation window, for every scenario.
        for (int n = 0; n < kNationalityCount; ++n)
            for (int month = 1; month <= 12; ++month)
                for (int32_t attitude : {0, 1})
                    for (int32_t msr : {-2, 2}) {
                        s.nationality = n;
                        s.month = month;
                        s.attitude = attitude;
                        s.msr = msr;
                        refreshToolWindows(p.app);
                        p.fit.window(window, {kSummary});
                        p.fit.window(activation, {activation_ids::kSummary});
                    }
        QVERIFY2(p.fit.report().isEmpty(), qPrintable(p.fit.report()));
    }

    void advanceAndRandomTablesWindows() {
        Program p;
        using namespace random_tables_ids;
        const WindowId advance = openToolWindow(p.app, ToolSlot::Advance);
        p.fit.window(advance);
        p.clickAndCheck(advance,
                        {advance_ids::kAdvanceButton, advance_ids::kNtcButton, advance_ids::kPairingsButton,
                         advance_ids::kAttackButton, advance_ids::kNtcButton},
                        12);

        const WindowId random = openToolWindow(p.app, ToolSlot::RandomTables);
        p.fit.window(random);
        p.clickAndCheck(random,
                        {kTableA, kTableB, kTableC, kTableD, kTableE, kTableF, kTableG, kTableH, kSingleDie, kTwoDice,
                         kHexRow, kHexNumber},
                        20);
        QVERIFY2(p.fit.report().isEmpty(), qPrintable(p.fit.report()));
    }

    void dieStatsWindow() {
        Program p;
        // The counters at their largest value; the averages at their widest.
        DieRollStats &stats = p.app.state.scenario.stats;
        for (int32_t &count : stats.twoDiceCounts) count = INT32_MAX;
        for (int32_t &count : stats.oneDieCounts) count = INT32_MAX;
        stats.twoDiceRolls = stats.oneDieRolls = INT32_MAX;
        stats.twoDiceSum = INT32_MAX;
        stats.oneDieSum = INT32_MAX;
        const WindowId window = openToolWindow(p.app, ToolSlot::DieStats);
        p.fit.window(window);
        stats.twoDiceRolls = 1;
        stats.twoDiceSum = 12;
        stats.oneDieRolls = 1;
        stats.oneDieSum = 6;
        closeToolWindow(p.app, window, ToolSlot::DieStats, false);
        p.fit.window(openToolWindow(p.app, ToolSlot::DieStats));
        QVERIFY2(p.fit.report().isEmpty(), qPrintable(p.fit.report()));
    }

    void setupWindowAndSpecialBox() {
        Program p;
        p.app.state.scenario.a1Modifier = kWidestModifiers[1];
        p.app.state.scenario.a5Modifier = kWidestModifiers[0];
        const WindowId setup = openToolWindow(p.app, ToolSlot::Setup);
        p.fit.window(setup);
        ModalScript script;
        script.then([&](QWidget *box) {
            const WindowId special = p.layer.windowOf(box);
            p.fit.window(special);
            p.click(special, special_ids::kFortificationBox);
            p.fit.window(special);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        p.click(setup, setup_ids::kSpecialButton);
        QVERIFY(script.done());
        QVERIFY2(p.fit.report().isEmpty(), qPrintable(p.fit.report()));
    }

    void aboutAndNoticeBoxes() {
        Program p;
        ModalScript script;
        QStringList titles;
        for (int box = 0; box < 2; ++box)
            script.then([&](QWidget *w) {
                titles << w->windowTitle();
                const WindowId window = p.layer.windowOf(w);
                p.fit.window(window);
                p.click(window, kCommandOk);
            });
        frameCommand(p.app, kCmdAbout);
        QCOMPARE(titles, (QStringList{"About TREVA!", "Beta Notice"}));
        QVERIFY2(p.fit.report().isEmpty(), qPrintable(p.fit.report()));
    }
};

QTEST_MAIN(TextFitTest)
#include "text_fit_test.moc"
