// The desktop windows driven as a player drives them: menus, toolbar, mouse
// clicks and keys on real Qt widgets, with the program's own procedures.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <QtTest>
#include <set>

#include "platform/guide/guide_location.h"
#include "platform/qt/modal_script.h"
#include "platform/qt/qt_window_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/dice_chart.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/roll_history.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "resources/tab_order.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

using namespace treva;

namespace {

struct ToolKind {
    int command;
    ToolSlot slot;
    const char *title;
};

const ToolKind kTools[] = {
    {kCmdActivation, ToolSlot::Activation, "Activation"},
    {kCmdSetup, ToolSlot::Setup, "Setup Options"},
    {kCmdActions, ToolSlot::Actions, "Actions"},
    {kCmdDieStats, ToolSlot::DieStats, "Die Stats"},
    {kCmdAdvance, ToolSlot::Advance, "Advance"},
    {kCmdRandomTables, ToolSlot::RandomTables, "Random Number Tables"},
};

// The program as main() puts it together, with a fixed seed.
struct Program {
    QtWindowLayer layer;
    App app{layer};

    Program() {
        layer.onCommand = [this](int command) { frameCommand(app, command); };
        resetScenario(app.state, 20240611u);
        noteScenarioSaved(app);
        layer.frameWidget()->show();
        settle();
    }

    // Lets queued activation changes and deferred deletions happen.
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget *control(WindowId window, int id) const { return layer.controlWidget(window, id); }

    bool checked(WindowId window, int id) const {
        auto *button = qobject_cast<QAbstractButton *>(control(window, id));
        return button && button->isChecked();
    }

    // A left click in the middle of a button.
    void click(WindowId window, int id) const {
        QWidget *w = control(window, id);
        QVERIFY2(w, qPrintable(QStringLiteral("no control %1").arg(id)));
        QTest::mouseClick(w, Qt::LeftButton);
        settle();
    }

    WindowId tool(ToolSlot slot) const { return toolWindow(app, slot); }

    // Opens a tool window from its menu item: the window that comes to the front.
    WindowId open(int command) const {
        layer.menuAction(command)->trigger();
        settle();
        return layer.windowOf(QApplication::activeWindow());
    }
};

// A window with a procedure that leaves every control as the template made it.
WindowId plainWindow(QtWindowLayer &layer, int templateId) {
    return layer.createModeless(templateId, layer.frame(), [](WindowId, const Message &) { return true; });
}

// The window's focus after a key, once it has settled.
QWidget *press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    Program::settle();
    return QApplication::focusWidget();
}

// A file with something in it, and the folders it needs.
void writeFile(const QString &path) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
}

// The program with its guide looked for as though it ran from `program`
// (a build folder's guide in `built`), and the pages it hands to the
// browser.
struct GuideProgram : Program {
    QStringList opened;
    GuideProgram(const QString &program, const QString &built) {
        app.guidePlaces = guidePlaces(filePath(program.toStdString()), filePath(built.toStdString()));
        layer.openUrl = [this](const QUrl &url) {
            opened << url.toLocalFile();
            return true;
        };
    }
    // F1 in a window that is active.
    void pressF1(WindowId window) {
        layer.activate(window);
        settle();
        QCOMPARE(QApplication::activeWindow(), layer.widget(window));
        QTest::keyClick(layer.widget(window)->windowHandle(), Qt::Key_F1);
        settle();
    }
};

} // namespace

class QtWindowLayerTest : public QObject {
    Q_OBJECT

private slots:
    void frameIsAFixedStripWithMenuAndToolbar() {
        Program p;
        QMainWindow *frame = p.layer.frameWidget();
        QCOMPARE(frame->width(), kFrameWidth);
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        // The strip starts where the menu ends and ends with the frame.
        const QRect menu = frame->menuBar()->geometry();
        const QRect strip = frame->centralWidget()->geometry();
        QCOMPARE(strip.top(), menu.bottom() + 1);
        QCOMPARE(strip.bottom(), frame->rect().bottom());
        QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));

        QStringList titles;
        for (QAction *menu : frame->menuBar()->actions()) titles << menu->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Windows", "Help"}));
        QVERIFY(!p.layer.menuAction(kCmdScenario)->isEnabled());
        QCOMPARE(p.layer.menuAction(kCmdScenario)->text(), QStringLiteral("Scenar&io..."));

        // Left to right as the strip's pictures run, each button a picture only.
        int lastX = -1;
        for (const ToolbarButton &b : toolbarButtons()) {
            QToolButton *button = p.layer.toolbarButton(b.command);
            QVERIFY(button);
            QVERIFY(button->isVisible());
            QVERIFY(button->x() > lastX);
            lastX = button->x();
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
            QCOMPARE(button->iconSize(), QSize(kToolbarButtonSize, kToolbarButtonSize));
            QVERIFY(!button->icon().isNull());
            QCOMPARE(button->toolTip(), QString::fromLatin1(b.name));
            QVERIFY(strip.contains(button->geometry().translated(button->parentWidget()->pos())));
        }

        p.layer.setFrameCaption("TREVA! (Russians \xC2\xBB 1944)"); // UTF-8, as the file name in it
        QCOMPARE(frame->windowHandle()->title(), QString::fromUtf16(u"TREVA! (Russians \u00BB 1944)"));
        p.layer.setFrameModified(true);
        QCOMPARE(frame->windowHandle()->title(), QString::fromUtf16(u"TREVA! (Russians \u00BB 1944)*"));
    }

    void everyToolWindowOpensOnceFromMenuAndToolbar() {
        Program p;
        for (const ToolKind &t : kTools) {
            p.layer.menuAction(t.command)->trigger();
            Program::settle();
            const WindowId window = p.tool(t.slot);
            QVERIFY2(p.layer.isOpen(window), t.title);
            QWidget *widget = p.layer.widget(window);
            QCOMPARE(widget->windowTitle(), QString::fromLatin1(t.title));
            // Its own window, owned by the frame, not inside it.
            QVERIFY(widget->isWindow());
            QCOMPARE(widget->parentWidget(), static_cast<QWidget *>(p.layer.frameWidget()));
            QCOMPARE(QApplication::activeWindow(), widget);

            p.layer.frameWidget()->activateWindow();
            Program::settle();
            QTest::mouseClick(p.layer.toolbarButton(t.command), Qt::LeftButton);
            Program::settle();
            QCOMPARE(p.tool(t.slot), window);
            QCOMPARE(QApplication::activeWindow(), widget);
        }

        // The About button shows both boxes, one after the other; Enter ends
        // each at its default button.
        ModalScript script;
        for (int box = 0; box < 2; ++box) script.then([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
        QTest::mouseClick(p.layer.toolbarButton(kCmdAbout), Qt::LeftButton);
        QVERIFY(script.done());
    }

    void closeBoxEndsAToolWindowAndSetupOptionsKeepsItsChoices() {
        Program p;
        const WindowId activation = p.open(kCmdActivation);
        QPointer<QWidget> widget = p.layer.widget(activation);
        widget->close();
        Program::settle();
        QVERIFY(!p.layer.isOpen(activation));
        QVERIFY(widget.isNull());
        QCOMPARE(p.tool(ToolSlot::Activation), kNoWindow);

        // The Setup window asks for no close box; a window manager that draws
        // one all the same gets its only button, OK, which keeps the choices.
        const WindowId setup = p.open(kCmdSetup);
        QVERIFY(!(p.layer.widget(setup)->windowFlags() & Qt::WindowCloseButtonHint));
        p.layer.setSelection(setup, setup_ids::kMonthList, 5); // June
        p.layer.widget(setup)->close();
        Program::settle();
        QVERIFY(!p.layer.isOpen(setup));
        QCOMPARE(p.app.state.scenario.month, 6);
    }

    void theFramesCloseBoxAsksAboutUnsavedChanges() {
        Program p;
        setMenuItemState(p.app, kCmdSave, false); // as after an Open
        QVERIFY(!p.layer.menuAction(kCmdSave)->isEnabled());
        // A roll alone changes the scenario: its statistics are saved with it.
        const WindowId random = p.open(kCmdRandomTables);
        p.click(random, random_tables_ids::kSingleDie);
        QVERIFY(p.layer.frameWidget()->isWindowModified());
        QVERIFY(p.layer.menuAction(kCmdSave)->isEnabled());

        ModalScript script;
        QString question;
        script.then([&](QWidget *box) {
            auto *message = qobject_cast<QMessageBox *>(box);
            QVERIFY2(message, "a question box");
            question = message->text();
            for (QAbstractButton *button : message->buttons())
                if (button->text() == QStringLiteral("Cancel")) button->click();
        });
        p.layer.frameWidget()->close();
        Program::settle();
        QVERIFY(script.done());
        QCOMPARE(question, QStringLiteral("Save changes to Untitled?"));
        QVERIFY(p.layer.frameWidget()->isVisible());
        QVERIFY(p.layer.isOpen(random));
    }

    void escapeSparesToolWindowsButEndsTheSpecialBox() {
        Program p;
        const WindowId activation = p.open(kCmdActivation);
        QTest::keyClick(p.layer.widget(activation), Qt::Key_Escape);
        Program::settle();
        QVERIFY(p.layer.isOpen(activation));
        QVERIFY(p.layer.widget(activation)->isVisible());

        // A tool window of ours closes on it, as its close box does.
        const WindowId history = p.open(kCmdRollHistory);
        QVERIFY(p.layer.isOpen(history));
        QTest::keyClick(p.layer.widget(history), Qt::Key_Escape);
        Program::settle();
        QVERIFY(!p.layer.isOpen(history));

        const WindowId setup = p.open(kCmdSetup);
        ModalScript script;
        WindowId special = kNoWindow;
        script.then([&](QWidget *box) {
            special = p.layer.windowOf(box);
            QTest::keyClicks(p.control(special, special_ids::kA1Box), QStringLiteral("7")); // replaces the selected 0
            QTest::keyClick(box, Qt::Key_Escape);
        });
        p.click(setup, setup_ids::kSpecialButton);
        QVERIFY(script.done());
        QCOMPARE(p.layer.templateOf(special), int(kSpecialDialog));
        QVERIFY(!p.layer.isOpen(special));
        QCOMPARE(p.app.state.scenario.a1Modifier, 0); // cancelled: nothing taken
        QVERIFY(p.layer.isOpen(setup));
    }

    void dropDownListReportsTheFocusItGainsNotItsDropDownClosing() {
        QtWindowLayer layer;
        layer.frameWidget()->show();
        std::vector<int> commands;
        const WindowId window = layer.createModeless(kActivationDialog, layer.frame(), [&](WindowId, const Message &m) {
            if (m.kind == MessageKind::Command) commands.push_back(m.id);
            return false;
        });
        for (const char *item : {"a", "b"}) layer.addItem(window, activation_ids::kLevelList, item);
        layer.setSelection(window, activation_ids::kLevelList, 0);
        Program::settle();
        QWidget *list = layer.controlWidget(window, activation_ids::kLevelList);
        QTest::mouseClick(list, Qt::LeftButton); // the list takes the focus and drops down
        Program::settle();
        QWidget *dropDown = QApplication::activePopupWidget();
        QVERIFY(dropDown);
        QTest::keyClick(dropDown->focusWidget(), Qt::Key_Escape); // and gives its focus back to the list
        Program::settle();
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(commands, std::vector<int>{activation_ids::kLevelList});
        QCOMPARE(layer.selection(window, activation_ids::kLevelList), 0);
    }

    void altOOpensTheOpenDialog() {
        Program p;
        ModalScript script;
        QString title;
        QStringList filters;
        bool opening = false;
        script.then([&](QWidget *box) {
            auto *dialog = qobject_cast<QFileDialog *>(box);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            opening = dialog->acceptMode() == QFileDialog::AcceptOpen;
            dialog->reject();
        });
        p.layer.activate(p.layer.frame());
        Program::settle();
        QCOMPARE(QApplication::activeWindow(), static_cast<QWidget *>(p.layer.frameWidget()));
        QTest::keyClick(p.layer.frameWidget()->windowHandle(), Qt::Key_O, Qt::AltModifier);
        Program::settle();
        QVERIFY(script.done());
        QCOMPARE(title, QStringLiteral("Open"));
        QVERIFY(opening);
        QCOMPARE(filters, (QStringList{"Treva Files (*.TRV)", "All Files (*.*)"}));
    }

    void clickActivationRemembersTheWindowToReturnTo() {
        Program p;
        const WindowId activation = p.open(kCmdActivation);
        const WindowId advance = p.open(kCmdAdvance);
        QCOMPARE(QApplication::activeWindow(), p.layer.widget(advance));
        QCOMPARE(p.app.frame.returnWindow, kNoWindow); // opened by the program, not clicked

        // The player clicks into the Activation window; the window system then activates it.
        QWidget *activationWidget = p.layer.widget(activation);
        QWidget *conditions = p.control(activation, activation_ids::kConditions);
        QTest::mousePress(conditions, Qt::LeftButton);
        activationWidget->activateWindow();
        Program::settle();
        QTest::mouseRelease(conditions, Qt::LeftButton);
        QCOMPARE(QApplication::activeWindow(), activationWidget);
        QCOMPARE(p.app.frame.returnWindow, advance);

        // Activated by the program, a window records nothing: not the one it took over.
        p.layer.activate(advance);
        Program::settle();
        QCOMPARE(QApplication::activeWindow(), p.layer.widget(advance));
        QCOMPARE(p.app.frame.returnWindow, advance);
    }

    void everyWindowIsFixedInSizeAndNamesEachControl() {
        Program p;
        for (const DialogTemplate &t : allDialogTemplates()) {
            QWidget *dialog = p.layer.widget(plainWindow(p.layer, t.id));
            QVERIFY2(dialog, t.title);
            QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
            const Qt::WindowFlags flags = dialog->windowFlags();
            QVERIFY2(!(flags & Qt::WindowMaximizeButtonHint), t.title);
            // Some window managers give a window that names no button every one of them.
            QVERIFY2(flags & Qt::WindowMinimizeButtonHint, t.title);
            QCOMPARE(bool(flags & Qt::WindowCloseButtonHint), bool(t.style & kDialogSystemMenu));
            for (QWidget *w : dialog->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                const QString name = w->accessibleName();
                const QString where = QStringLiteral("%1 %2").arg(t.title, w->objectName());
                QVERIFY2(!name.isEmpty(), qPrintable(where));
                // Made up from the kind: a captionless field missing from the names table.
                for (const char *made : {"Field ", "List ", "Edit box ", "Picture ", "Chart "})
                    QVERIFY2(!name.startsWith(QString::fromLatin1(made)), qPrintable(where + ": " + name));
            }
        }
        using namespace die_stats_ids;
        const WindowId stats = p.open(kCmdDieStats);
        QCOMPARE(p.control(stats, twoDiceCount(2))->accessibleName(), QStringLiteral("DR 2 count"));
        QCOMPARE(p.control(stats, oneDieCount(6))->accessibleName(), QStringLiteral("dr 6 count"));
        p.layer.setText(stats, kTwoDiceTotal, "17");
        QCOMPARE(p.control(stats, kTwoDiceTotal)->accessibleDescription(), QStringLiteral("17"));
        for (const ToolbarButton &b : toolbarButtons())
            QCOMPARE(p.layer.toolbarButton(b.command)->accessibleName(), QString::fromLatin1(b.name));
    }

    void tabFollowsTheReadingOrderOfEveryWindow() {
        Program p;
        for (const DialogTemplate &t : allDialogTemplates()) {
            // The window's reading order; with nothing checked yet, a radio group
            // is stopped at by its first button there.
            QStringList expected;
            std::set<std::size_t> groups;
            for (const std::size_t i : tabOrder(t))
                if (t.controls[i].kind != ControlKind::RadioButton || groups.insert(t.groupOf(i).first).second)
                    expected << QStringLiteral("c%1").arg(t.controls[i].id);

            const WindowId window = plainWindow(p.layer, t.id);
            Program::settle();
            QWidget *first = QApplication::focusWidget();
            QVERIFY2(first && first->window() == p.layer.widget(window), t.title);
            QStringList stops{first->objectName()};
            for (QWidget *at = press(Qt::Key_Tab); at != first && stops.size() < 64; at = press(Qt::Key_Tab))
                stops << at->objectName();
            QCOMPARE(stops, expected);
            QCOMPARE(press(Qt::Key_Backtab)->objectName(), stops.last());
            p.layer.endWindow(window, 0);
            Program::settle();
        }
    }

    void aRadioGroupIsOneTabStopAndArrowsMoveWithinIt() {
        using namespace setup_ids;
        Program p;
        p.app.state.scenario.acNumber = 3;
        p.app.state.scenario.attitude = 0;
        const WindowId setup = p.open(kCmdSetup);
        // The window opens on its first stop, the AC# group, at its checked button.
        QCOMPARE(QApplication::focusWidget(), p.control(setup, kAc3));

        QCOMPARE(press(Qt::Key_Right), p.control(setup, kAc4));
        QVERIFY(p.checked(setup, kAc4));
        QVERIFY(!p.checked(setup, kAc3));
        QCOMPARE(p.app.state.scenario.acNumber, 4);

        QCOMPARE(press(Qt::Key_Tab), p.control(setup, kHold)); // out of the group, to the next one's checked button
        QCOMPARE(press(Qt::Key_Down), p.control(setup, kAdvance));
        QCOMPARE(p.app.state.scenario.attitude, 1);
        QVERIFY(p.checked(setup, kAc4)); // the other group keeps its choice
        QCOMPARE(press(Qt::Key_Tab), p.control(setup, kYearList));
        QCOMPARE(press(Qt::Key_Backtab), p.control(setup, kAdvance));
        QCOMPARE(press(Qt::Key_Backtab), p.control(setup, kAc4));
    }

    void listBoxRowsComeFromTheirFunctionAsTheyShowUntilTheNext() {
        using namespace roll_history_ids;
        Program p;
        const WindowId history = plainWindow(p.layer, kRollHistoryDialog);
        auto *list = qobject_cast<QListView *>(p.control(history, kRows));
        QVERIFY(list);
        const auto shown = [&](int row) { return list->model()->index(row, 0).data().toString(); };

        // Asked again whenever shown: a row tells what its function says now.
        std::string result = "7";
        int oldAsked = 0;
        p.layer.setRows(history, kRows, 3, [&](int i) {
            ++oldAsked;
            return "#" + std::to_string(i + 1) + " DR \xBB " + result; // code page 1252
        });
        QCOMPARE(list->model()->rowCount(), 3);
        QCOMPARE(shown(2), QString::fromUtf16(u"#3 DR \u00BB 7"));
        result = "12";
        QCOMPARE(shown(0), QString::fromUtf16(u"#1 DR \u00BB 12"));

        p.layer.setRows(history, kRows, 2, [](int i) { return "new " + std::to_string(i); });
        const int asked = oldAsked;
        list->grab();
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(shown(1), QStringLiteral("new 1"));
        QCOMPARE(oldAsked, asked);

        // Rows line their columns up with spaces.
        const QFontMetrics metrics(list->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("1111")), metrics.horizontalAdvance(QStringLiteral("WWWW")));

        // Of a hundred thousand rows, only those in sight are asked for.
        int manyAsked = 0;
        p.layer.setRows(history, kRows, 100000, [&](int i) {
            ++manyAsked;
            return std::to_string(i);
        });
        Program::settle();
        list->grab();
        QVERIFY(manyAsked > 0);
        QVERIFY2(manyAsked < 1000, qPrintable(QStringLiteral("%1 rows asked for").arg(manyAsked)));
    }

    void severalRowsAreSelectedAndANewListStartsAfresh() {
        using namespace roll_history_ids;
        Program p;
        std::vector<int> commands;
        const WindowId history =
            p.layer.createModeless(kRollHistoryDialog, p.layer.frame(), [&](WindowId, const Message &m) {
                if (m.kind == MessageKind::Command) commands.push_back(m.id);
                return true;
            });
        auto *list = qobject_cast<QListView *>(p.control(history, kRows));
        QVERIFY(list);
        const auto rows = [](int i) { return std::to_string(i); };
        p.layer.setRows(history, kRows, 200, rows);
        Program::settle();
        for (const auto &[row, modifiers] :
             {std::pair(5, Qt::NoModifier), std::pair(1, Qt::ControlModifier), std::pair(3, Qt::ControlModifier)}) {
            const QRect at = list->visualRect(list->model()->index(row, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at.center());
        }
        Program::settle();
        QCOMPARE(p.layer.selectedRows(history, kRows), (std::vector<int>{1, 3, 5}));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(list));
        QCOMPARE(commands, std::vector<int>{}); // a list box sends nothing

        list->scrollToBottom();
        p.layer.setRows(history, kRows, 200, rows);
        Program::settle();
        QCOMPARE(p.layer.selectedRows(history, kRows), std::vector<int>{});
        QCOMPARE(list->indexAt(QPoint(1, 1)).row(), 0);
    }

    void chartDrawsBarsByCountWithMarksAtTheExpectedCounts() {
        using namespace dice_chart_ids;
        Program p;
        const WindowId window = plainWindow(p.layer, kDiceChartDialog);
        QWidget *chart = p.control(window, kOneDieChart);
        QCOMPARE(chart->focusPolicy(), Qt::NoFocus);
        const auto drawn = [&](const std::vector<ChartBar> &bars) {
            p.layer.setChart(window, kOneDieChart, bars);
            return chart->grab().toImage();
        };
        // No rolls: axes and labels, against which the bars show.
        const QImage none = drawn({{"1", 0, 0}, {"2", 0, 0}});
        // How many pixels down the middle of a bar's half of the chart differ from `before`.
        const auto inked = [](const QImage &image, const QImage &before, int bar) {
            const int x = image.width() * (2 * bar + 1) / 4;
            int pixels = 0;
            for (int y = 0; y < image.height(); ++y) pixels += image.pixel(x, y) != before.pixel(x, y);
            return pixels;
        };

        const QImage counted = drawn({{"1", 1, 0}, {"2", 4, 0}});
        QVERIFY(inked(counted, none, 0) > 0);
        QVERIFY(inked(counted, none, 1) > 2 * inked(counted, none, 0));

        // A mark only where an expected count changes; an expected count above
        // every count sets the scale and shortens the bars.
        const QImage marked = drawn({{"1", 1, 0}, {"2", 4, 3}});
        QCOMPARE(inked(marked, counted, 0), 0);
        QVERIFY(inked(marked, counted, 1) > 0);
        const QImage scaled = drawn({{"1", 1, 0}, {"2", 4, 8}});
        QVERIFY(inked(scaled, none, 0) < inked(counted, none, 0));

        p.layer.setChart(window, kOneDieChart, {{"1", 1, 2.5}, {"2", 4, 2.5}});
        QCOMPARE(chart->accessibleDescription(), QStringLiteral("1: 1 roll, 2.5 expected; 2: 4 rolls, 2.5 expected"));
    }

    void menuShortcutRunsItsCommandFromAToolWindow() {
        Program p;
        const WindowId activation = p.open(kCmdActivation);
        QCOMPARE(QApplication::activeWindow(), p.layer.widget(activation));
        std::vector<int> commands;
        p.layer.onCommand = [&](int command) { commands.push_back(command); };
        QTest::keyClick(p.layer.widget(activation)->windowHandle(), Qt::Key_H, Qt::ControlModifier);
        Program::settle();
        QCOMPARE(commands, std::vector<int>{kCmdRollHistory});
        QCOMPARE(p.layer.menuAction(kCmdRollHistory)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    }

    // Help and F1 show the installed guide, which comes before the build folder's.
    void helpGuideAndF1OpenTheInstalledGuideFromEveryWindow() {
        QTemporaryDir prefix, build;
        const QString installed = prefix.filePath(QStringLiteral("share/doc/treva/guide/index.html"));
        writeFile(installed);
        QVERIFY(QDir(prefix.path()).mkdir(QStringLiteral("bin")));
        const QString built = build.filePath(QStringLiteral("guide/index.html"));
        writeFile(built);
        GuideProgram p(prefix.filePath(QStringLiteral("bin/treva")), built);
        QCOMPARE(p.layer.menuAction(kCmdGuide)->text(), QStringLiteral("TREVA &Guide"));
        p.layer.menuAction(kCmdGuide)->trigger();
        QCOMPARE(p.opened, QStringList{installed});
        p.pressF1(p.layer.frame());
        QCOMPARE(p.opened, QStringList(2, installed));
        p.pressF1(p.open(kCmdActivation));
        QCOMPARE(p.opened, QStringList(3, installed));
    }

    // The desktop's opener fails at once when no browser can show the page
    // (as xdg-open does): the program is told, and says so, instead of nothing
    // happening.
    void aPageNoBrowserTakesIsAFailure() {
#if defined(__linux__)
        QTemporaryDir bin;
        const QString opener = bin.filePath(QStringLiteral("xdg-open"));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        const QUrl page = QUrl::fromLocalFile(bin.filePath(QStringLiteral("index.html")));
        const auto openerDoes = [&](const QByteArray &script) {
            QFile file(opener);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("#!/bin/sh\n" + script + "\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        openerDoes("exit 3"); // xdg-open: no program to show it
        QVERIFY(!openWithDesktop(page));
        openerDoes("exit 0");
        QVERIFY(openWithDesktop(page));
        QFile::remove(opener);
        qputenv("PATH", QFile::encodeName(bin.path()));
        QVERIFY2(!openWithDesktop(page), "no opener at all");
        qputenv("PATH", path);
#else
        QSKIP("the desktop's opener is the Linux side's");
#endif
    }
};

QTEST_MAIN(QtWindowLayerTest)
#include "qt_window_layer_test.moc"
