// The desktop windows driven as a player drives them: menus, toolbar, mouse
// clicks and keys on real Qt widgets, with the program's own procedures.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

#include "actions/priority_tables.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/modal_script.h"
#include "platform/qt/qt_window_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/activation.h"
#include "resources/menu.h"
#include "windows/app.h"
#include "windows/frame.h"
#include "windows/scenario_files.h"

using namespace treva;

namespace {

// The program as main() puts it together, with a fixed seed.
struct Program {
    QtWindowLayer layer;
    App app{layer};

    Program() {
        layer.onCommand = [this](int command) { frameCommand(app, command); };
        resetScenario(app.state, 20240611u);
        layer.frameWidget()->show();
        settle();
    }

    // Lets queued activation changes and deferred deletions happen.
    static void settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget *control(WindowId window, int id) const { return layer.controlWidget(window, id); }

    // What a field shows on screen.
    QString shown(WindowId window, int id) const {
        QWidget *w = control(window, id);
        if (auto *label = qobject_cast<QLabel *>(w)) return label->text();
        if (auto *edit = qobject_cast<QLineEdit *>(w)) return edit->text();
        if (auto *list = qobject_cast<QComboBox *>(w)) return list->currentText();
        if (auto *button = qobject_cast<QAbstractButton *>(w)) return button->text();
        return QStringLiteral("<no control %1>").arg(id);
    }

    bool checked(WindowId window, int id) const {
        auto *button = qobject_cast<QAbstractButton *>(control(window, id));
        return button && button->isChecked();
    }

    int picture(WindowId window, int id) const {
        QWidget *w = control(window, id);
        return w ? w->property("bitmap").toInt() : -1;
    }

    // A left click where the player would aim: a check mark, or the middle of a button.
    void click(WindowId window, int id) const {
        QWidget *w = control(window, id);
        QVERIFY2(w, qPrintable(QStringLiteral("no control %1").arg(id)));
        const bool mark = qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, mark ? QPoint(6, w->height() / 2) : w->rect().center());
        settle();
    }

    WindowId tool(ToolSlot slot) const { return toolWindow(app, slot); }
};

QString multiline(const std::string &bytes) { return displayText(bytes); }

struct ToolKind {
    int command;
    ToolSlot slot;
    int templateId;
    const char *title;
};

const ToolKind kTools[] = {
    {kCmdActivation, ToolSlot::Activation, kActivationDialog, "Activation"},
    {kCmdSetup, ToolSlot::Setup, kSetupDialog, "Setup Options"},
    {kCmdActions, ToolSlot::Actions, kActionsDialog, "Actions"},
    {kCmdDieStats, ToolSlot::DieStats, kDieStatsDialog, "Die Stats"},
    {kCmdAdvance, ToolSlot::Advance, kAdvanceDialog, "Advance"},
    {kCmdRandomTables, ToolSlot::RandomTables, kRandomTablesDialog, "Random Number Tables"},
};

int visibleWindowsOf(int templateId) {
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QStringLiteral("dialog%1").arg(templateId)) ++count;
    return count;
}

} // namespace

class QtWindowLayerTest : public QObject {
    Q_OBJECT

private slots:
    void startUpShowsTheBoxesThenTheActivationWindow();
    void startUpWithAScenarioShowsIt();
    void frameIsAFixedStripWithMenuAndToolbar();
    void everyToolWindowOpensOnceFromMenuAndToolbar();
    void closeBoxEndsAToolWindowAndReopeningStartsAfresh();
    void exitClosesEveryWindow();
    void refreshUpdatesOnlyActivationActionsAndAdvance();
    void codePage1252TextsShowTheirCharacters();
    void escapeSparesToolWindowsButEndsTheSpecialBox();
    void disabledControlIgnoresClicks();
    void radioButtonsUncheckOnlyTheirOwnGroup();
    void keyboardMovesAndPresses();
    void dropDownListReportsThePlayersChoice();
    void dropDownListReportsTheFocusItGainsNotItsDropDownClosing();
    void altOOpensTheOpenDialog();
    void clickActivationRemembersTheWindowToReturnTo();
    void everyControlFitsItsWindowAndCaption();
    void everyControlHasAName();
};

void QtWindowLayerTest::startUpShowsTheBoxesThenTheActivationWindow() {
    Program p;
    ModalScript script;
    QStringList titles;
    script.then([&](QWidget *box) {
        titles << box->windowTitle();
        p.click(p.layer.windowOf(box), kCommandOk);
    });
    script.then([&](QWidget *box) {
        titles << box->windowTitle();
        QTest::keyClick(box, Qt::Key_Return); // the default button, "Enough"
    });
    script.then([&](QWidget *box) {
        titles << box->windowTitle();
        const WindowId setup = p.layer.windowOf(box);
        p.click(setup, 1020); // AC# 4
        p.click(setup, kCommandOk);
    });
    startUp(p.app, "");
    Program::settle();

    QCOMPARE(titles, (QStringList{"About TREVA!", "Beta Notice", "Setup Options"}));
    QVERIFY(script.done());
    const WindowId activation = p.tool(ToolSlot::Activation);
    QVERIFY(p.layer.isOpen(activation));
    QVERIFY(p.layer.widget(activation)->isVisible());
    QCOMPARE(p.shown(activation, 1085), QStringLiteral("4"));
    QCOMPARE(p.tool(ToolSlot::Setup), kNoWindow); // the start-up box is no tool window
    QCOMPARE(p.layer.frameWidget()->windowTitle(), QString::fromLatin1(kUntitledCaption));
    QVERIFY(p.layer.menuAction(kCmdSave)->isEnabled());
    QVERIFY(!p.layer.menuAction(kCmdSaveAs)->isEnabled());
}

void QtWindowLayerTest::startUpWithAScenarioShowsIt() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::string path = (folder.path() + QStringLiteral("/my june.trv")).toStdString();
    ScenarioState saved{};
    {
        ProgramState fresh;
        resetScenario(fresh, 1);
        saved = fresh.scenario;
    }
    saved.nationality = 3;
    saved.acNumber = 5;
    std::string error;
    QVERIFY2(writeScenarioFile(path, saved, error), error.c_str());

    Program p;
    ModalScript script;
    QStringList titles;
    for (int box = 0; box < 2; ++box) {
        script.then([&](QWidget *w) {
            titles << w->windowTitle();
            p.click(p.layer.windowOf(w), kCommandOk);
        });
    }
    startUp(p.app, path);
    Program::settle();

    QCOMPARE(titles, (QStringList{"About TREVA!", "Beta Notice"}));
    QCOMPARE(p.layer.frameWidget()->windowTitle(), QStringLiteral("TREVA! (my june)"));
    const WindowId activation = p.tool(ToolSlot::Activation);
    QVERIFY(p.layer.isOpen(activation));
    QCOMPARE(p.shown(activation, 1085), QStringLiteral("5"));
    QVERIFY(p.shown(activation, 1044).startsWith(QStringLiteral("vs. Americans")));
    QVERIFY(!p.layer.menuAction(kCmdSave)->isEnabled());
    QVERIFY(p.layer.menuAction(kCmdSaveAs)->isEnabled());
}

void QtWindowLayerTest::frameIsAFixedStripWithMenuAndToolbar() {
    Program p;
    QMainWindow *frame = p.layer.frameWidget();
    QCOMPARE(frame->size(), QSize(kFrameWidth, kFrameHeight));
    QCOMPARE(frame->minimumSize(), frame->maximumSize());
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
        QVERIFY(frame->rect().contains(button->geometry().translated(button->parentWidget()->pos())));
    }

    p.layer.setFrameCaption("TREVA! (Russians \xBB 1944)");
    QCOMPARE(frame->windowTitle(), QString::fromUtf16(u"TREVA! (Russians \u00BB 1944)"));
    p.layer.setMenuItemEnabled(kCmdSave, false);
    QVERIFY(!p.layer.menuAction(kCmdSave)->isEnabled());
}

void QtWindowLayerTest::everyToolWindowOpensOnceFromMenuAndToolbar() {
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
        QCOMPARE(visibleWindowsOf(t.templateId), 1);
        QCOMPARE(QApplication::activeWindow(), widget);
    }

    // The About button shows both boxes, one after the other.
    ModalScript script;
    QStringList titles;
    for (int i = 0; i < 2; ++i)
        script.then([&](QWidget *box) {
            titles << box->windowTitle();
            p.click(p.layer.windowOf(box), kCommandOk);
        });
    QTest::mouseClick(p.layer.toolbarButton(kCmdAbout), Qt::LeftButton);
    QCOMPARE(titles, (QStringList{"About TREVA!", "Beta Notice"}));
}

void QtWindowLayerTest::closeBoxEndsAToolWindowAndReopeningStartsAfresh() {
    Program p;
    p.layer.menuAction(kCmdActivation)->trigger();
    const WindowId first = p.tool(ToolSlot::Activation);
    QCOMPARE(p.shown(first, 1038), QStringLiteral("0"));
    p.click(first, 1039); // Activation DR
    QVERIFY(p.shown(first, 1038) != QStringLiteral("0"));

    QPointer<QWidget> widget = p.layer.widget(first);
    widget->close();
    Program::settle();
    QVERIFY(!p.layer.isOpen(first));
    QVERIFY(widget.isNull());
    QCOMPARE(p.tool(ToolSlot::Activation), kNoWindow);

    p.layer.menuAction(kCmdActivation)->trigger();
    const WindowId second = p.tool(ToolSlot::Activation);
    QVERIFY(second != first);
    QCOMPARE(p.shown(second, 1038), QStringLiteral("0"));

    // The Setup window has no close box: closing it asks nothing of it.
    p.layer.menuAction(kCmdSetup)->trigger();
    const WindowId setup = p.tool(ToolSlot::Setup);
    QVERIFY(!(p.layer.widget(setup)->windowFlags() & Qt::WindowCloseButtonHint));
    p.layer.widget(setup)->close();
    Program::settle();
    QVERIFY(p.layer.isOpen(setup));
    QVERIFY(p.layer.widget(setup)->isVisible());
}

void QtWindowLayerTest::exitClosesEveryWindow() {
    Program p;
    QList<QPointer<QWidget>> widgets;
    for (const ToolKind &t : kTools) {
        p.layer.menuAction(t.command)->trigger();
        widgets << p.layer.widget(p.tool(t.slot));
    }
    p.layer.menuAction(kCmdExit)->trigger();
    Program::settle();
    QVERIFY(!p.layer.isOpen(p.layer.frame()));
    QVERIFY(!p.layer.frameWidget()->isVisible());
    for (const QPointer<QWidget> &w : widgets) QVERIFY(w.isNull() || !w->isVisible());
    for (const ToolKind &t : kTools) QVERIFY(!p.layer.isOpen(p.tool(t.slot)));
}

void QtWindowLayerTest::refreshUpdatesOnlyActivationActionsAndAdvance() {
    Program p;
    p.app.state.scenario.acNumber = 3;
    p.app.state.scenario.mapOrientation = 0;
    for (const ToolKind &t : kTools) p.layer.menuAction(t.command)->trigger();
    const WindowId activation = p.tool(ToolSlot::Activation);
    const WindowId actions = p.tool(ToolSlot::Actions);
    const WindowId advance = p.tool(ToolSlot::Advance);
    const WindowId stats = p.tool(ToolSlot::DieStats);
    const WindowId setup = p.tool(ToolSlot::Setup);
    QCOMPARE(p.picture(actions, 1090), directionKeyBitmap(0));
    const QString statsTotal = p.shown(stats, 1074);
    const bool setupAc3 = p.checked(setup, 1019);
    QVERIFY(setupAc3);

    ScenarioState &s = p.app.state.scenario;
    s.acNumber = 5;
    s.mapOrientation = 1;
    s.nationality = (s.nationality + 1) % kNationalityCount;
    rollDice(p.app.state, 2, 6);
    refreshToolWindows(p.app);

    QCOMPARE(p.shown(activation, 1085), QStringLiteral("5"));
    QCOMPARE(p.shown(activation, 1044), multiline(formatScenarioSummary(s)));
    QCOMPARE(p.shown(actions, 1051), multiline(formatScenarioSummary(s)));
    QCOMPARE(p.picture(actions, 1090), directionKeyBitmap(1));
    QCOMPARE(p.picture(advance, 1088), directionKeyBitmap(1));
    QVERIFY(directionKeyBitmap(1) != directionKeyBitmap(0));
    // The others show what they showed.
    QCOMPARE(p.shown(stats, 1074), statsTotal);
    QVERIFY(p.checked(setup, 1019));
    QVERIFY(!p.checked(setup, 1021));
}

void QtWindowLayerTest::codePage1252TextsShowTheirCharacters() {
    Program p;
    p.layer.menuAction(kCmdActions)->trigger();
    const WindowId actions = p.tool(ToolSlot::Actions);
    p.click(actions, 1003);                                          // Manual die roll
    QCOMPARE(p.shown(actions, 1081), QString::fromUtf16(u"\u00BB")); // the marker at IFT Attack
    p.click(actions, 1017);                                          // Veh. Move.
    QCOMPARE(p.shown(actions, 1079), QString::fromUtf16(u"\u00BB"));
    QCOMPARE(p.shown(actions, 1081), QString());
    p.click(actions, 1034); // die button 5
    const QString results = p.shown(actions, 1050);
    QVERIFY2(results.contains(QString::fromUtf16(u"\u2265 7 hexes")), qPrintable(results));
    QVERIFY(!results.contains(QChar(u'\r')));

    // Typed text goes back to the program as code page 1252 bytes.
    p.layer.menuAction(kCmdSetup)->trigger();
    const WindowId setup = p.tool(ToolSlot::Setup);
    ModalScript script;
    std::string typed;
    script.then([&](QWidget *box) {
        const WindowId special = p.layer.windowOf(box);
        auto *a1 = qobject_cast<QLineEdit *>(p.control(special, 1094));
        a1->clear();
        // Characters beyond the keyboard's letters, as a compose key types them.
        QKeyEvent compose(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf16(u"\u00BB\u20AC"));
        QApplication::sendEvent(a1, &compose);
        typed = p.layer.text(special, 1094);
        a1->clear();
        QTest::keyClicks(a1, QStringLiteral("-3"));
        p.click(special, kCommandOk);
    });
    p.click(setup, 1000); // Special Controls
    QVERIFY(script.done());
    QCOMPARE(typed, std::string("\xBB\x80"));
    QCOMPARE(p.app.state.scenario.a1Modifier, -3);
}

void QtWindowLayerTest::escapeSparesToolWindowsButEndsTheSpecialBox() {
    Program p;
    p.layer.menuAction(kCmdActivation)->trigger();
    const WindowId activation = p.tool(ToolSlot::Activation);
    QTest::keyClick(p.layer.widget(activation), Qt::Key_Escape);
    Program::settle();
    QVERIFY(p.layer.isOpen(activation));
    QVERIFY(p.layer.widget(activation)->isVisible());

    p.layer.menuAction(kCmdSetup)->trigger();
    const WindowId setup = p.tool(ToolSlot::Setup);
    QTest::keyClick(p.layer.widget(setup), Qt::Key_Escape);
    QVERIFY(p.layer.isOpen(setup));

    ModalScript script;
    WindowId special = kNoWindow;
    script.then([&](QWidget *box) {
        special = p.layer.windowOf(box);
        QTest::keyClicks(p.control(special, 1094), QStringLiteral("7")); // replaces the selected 0
        QTest::keyClick(box, Qt::Key_Escape);
    });
    p.click(setup, 1000);
    QVERIFY(script.done());
    QCOMPARE(p.layer.templateOf(special), int(kSpecialDialog));
    QVERIFY(!p.layer.isOpen(special));
    QCOMPARE(p.app.state.scenario.a1Modifier, 0); // cancelled: nothing taken
    QVERIFY(p.layer.isOpen(setup));
}

void QtWindowLayerTest::disabledControlIgnoresClicks() {
    Program p;
    p.layer.menuAction(kCmdActivation)->trigger();
    const WindowId activation = p.tool(ToolSlot::Activation);
    QVERIFY(!p.control(activation, 1049)->isEnabled());
    p.click(activation, 1049); // Manual Activation, disabled
    QCOMPARE(p.shown(activation, 1047), QString());

    p.click(activation, 1012); // Allow manual unit generation
    QVERIFY(p.checked(activation, 1012));
    QVERIFY(p.control(activation, 1049)->isEnabled());
    p.click(activation, 1049);
    QVERIFY(!p.shown(activation, 1047).isEmpty());
}

void QtWindowLayerTest::radioButtonsUncheckOnlyTheirOwnGroup() {
    Program p;
    // A procedure that leaves the buttons alone: what is checked is the layer's doing.
    QList<int> commands;
    const WindowId window = p.layer.createModeless(kSetupDialog, p.layer.frame(), [&](WindowId, const Message &m) {
        if (m.kind == MessageKind::Command) commands << m.id;
        return true;
    });
    p.click(window, 1020); // AC# 4
    p.click(window, 1019); // AC# 3
    QVERIFY(p.checked(window, 1019));
    QVERIFY(!p.checked(window, 1020));
    p.click(window, 1022); // Hold: the next group, after "Attitude:"
    p.click(window, 1028); // pointed-topped hexes: the group after "Map Orientation"
    QVERIFY(p.checked(window, 1019));
    QVERIFY(p.checked(window, 1022));
    QVERIFY(p.checked(window, 1028));
    p.click(window, 1023); // Advance
    QVERIFY(!p.checked(window, 1022));
    QVERIFY(p.checked(window, 1019));
    p.click(window, 1023); // clicking a checked radio button leaves it checked
    QVERIFY(p.checked(window, 1023));
    QCOMPARE(commands, (QList<int>{1020, 1019, 1022, 1028, 1023, 1023}));

    // With the Setup window's own procedure, the choice reaches the scenario.
    p.app.state.scenario.acNumber = 2;
    p.layer.menuAction(kCmdSetup)->trigger();
    const WindowId setup = p.tool(ToolSlot::Setup);
    p.click(setup, 1020);
    QCOMPARE(p.app.state.scenario.acNumber, 4);
}

void QtWindowLayerTest::keyboardMovesAndPresses() {
    Program p;
    p.layer.menuAction(kCmdActivation)->trigger();
    const WindowId activation = p.tool(ToolSlot::Activation);
    QWidget *roll = p.control(activation, 1039);
    roll->setFocus(Qt::TabFocusReason);
    QTest::keyClick(roll, Qt::Key_Space);
    Program::settle();
    QVERIFY(p.shown(activation, 1038) != QStringLiteral("0"));

    // Tab goes through the controls in the template's order.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), p.control(activation, 1009));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); // toggles the check box
    QVERIFY(p.checked(activation, 1009));
    QCOMPARE(p.app.state.modifiers.vpoAdjacent, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), p.control(activation, 1010));
}

void QtWindowLayerTest::dropDownListReportsThePlayersChoice() {
    Program p;
    p.layer.menuAction(kCmdActivation)->trigger();
    const WindowId activation = p.tool(ToolSlot::Activation);
    auto *terrain = qobject_cast<QComboBox *>(p.control(activation, 1016));
    QCOMPARE(terrain->count(), 3);
    QCOMPARE(terrain->currentIndex(), 0);
    // Closed, a list is one line high whatever room the template gives it.
    QVERIFY(terrain->height() < 2 * terrain->fontMetrics().height() + 12);
    terrain->setFocus(Qt::TabFocusReason);
    QTest::keyClick(terrain, Qt::Key_Down);
    Program::settle();
    QCOMPARE(terrain->currentText(), QStringLiteral("Village"));
    QCOMPARE(p.app.state.modifiers.terrainModifier, 1);
}

void QtWindowLayerTest::dropDownListReportsTheFocusItGainsNotItsDropDownClosing() {
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

void QtWindowLayerTest::altOOpensTheOpenDialog() {
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
    QCOMPARE(p.layer.frameWidget()->windowTitle(), QString::fromLatin1(kUntitledCaption));
}

void QtWindowLayerTest::clickActivationRemembersTheWindowToReturnTo() {
    Program p;
    p.layer.menuAction(kCmdActivation)->trigger();
    p.layer.menuAction(kCmdAdvance)->trigger();
    Program::settle();
    const WindowId activation = p.tool(ToolSlot::Activation);
    const WindowId advance = p.tool(ToolSlot::Advance);
    QCOMPARE(QApplication::activeWindow(), p.layer.widget(advance));
    QCOMPARE(p.app.frame.returnWindow, kNoWindow); // opened by the program, not clicked

    // The player clicks into the Activation window; the window system then activates it.
    QWidget *activationWidget = p.layer.widget(activation);
    QTest::mousePress(p.control(activation, 1046), Qt::LeftButton);
    activationWidget->activateWindow();
    Program::settle();
    QTest::mouseRelease(p.control(activation, 1046), Qt::LeftButton);
    QCOMPARE(QApplication::activeWindow(), activationWidget);
    QCOMPARE(p.app.frame.returnWindow, advance);

    // Closing it goes back to the window it was clicked away from.
    p.layer.frameWidget()->activateWindow();
    Program::settle();
    p.layer.activate(activation); // by the program: not a click
    Program::settle();
    QCOMPARE(p.app.frame.returnWindow, advance);
    activationWidget->close();
    Program::settle();
    QVERIFY(!p.layer.isOpen(activation));
    QCOMPARE(QApplication::activeWindow(), p.layer.widget(advance));
}

void QtWindowLayerTest::everyControlFitsItsWindowAndCaption() {
    Program p;
    for (const DialogTemplate &t : allDialogTemplates()) {
        const WindowId window =
            p.layer.createModeless(t.id, p.layer.frame(), [](WindowId, const Message &) { return true; });
        QWidget *dialog = p.layer.widget(window);
        QVERIFY(dialog);
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        for (std::size_t i = 0; i < t.controls.size(); ++i) {
            const ControlTemplate &c = t.controls[i];
            QWidget *w = dialog->findChild<QWidget *>(c.id == kNoId ? QStringLiteral("s%1").arg(i)
                                                                    : QStringLiteral("c%1").arg(c.id));
            const QString where = QStringLiteral("%1 control %2 (%3)").arg(t.title).arg(c.id).arg(i);
            QVERIFY2(w, qPrintable(where));
            QVERIFY2(dialog->rect().contains(w->geometry()), qPrintable(where));
            const QString caption = displayText(c.caption);
            if (caption.isEmpty()) continue;
            if (auto *label = qobject_cast<QLabel *>(w)) {
                const QRect need = label->fontMetrics().boundingRect(
                    label->contentsRect(), Qt::TextWordWrap | int(label->alignment()), caption);
                QVERIFY2(need.height() <= label->contentsRect().height(), qPrintable(where + " is cut off"));
            } else if (qobject_cast<QPushButton *>(w)) {
                // The style's hint asks for a wide button whatever its caption; the caption itself must fit.
                const int need = w->fontMetrics().horizontalAdvance(caption) + 4;
                QVERIFY2(need <= w->width(), qPrintable(where + " is cut off"));
            } else if (qobject_cast<QAbstractButton *>(w)) {
                QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(where + " is cut off"));
            }
        }
    }
}

void QtWindowLayerTest::everyControlHasAName() {
    Program p;
    for (const DialogTemplate &t : allDialogTemplates()) {
        const WindowId window =
            p.layer.createModeless(t.id, p.layer.frame(), [](WindowId, const Message &) { return true; });
        for (QWidget *w : p.layer.widget(window)->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            const QString name = w->accessibleName();
            const QString where = QStringLiteral("%1 %2").arg(t.title, w->objectName());
            QVERIFY2(!name.isEmpty(), qPrintable(where));
            // Made up from the kind: a captionless field missing from the names table.
            for (const char *made : {"Field ", "List ", "Edit box ", "Picture "})
                QVERIFY2(!name.startsWith(QString::fromLatin1(made)), qPrintable(where + ": " + name));
        }
    }
    p.layer.menuAction(kCmdDieStats)->trigger();
    const WindowId stats = p.tool(ToolSlot::DieStats);
    QCOMPARE(p.control(stats, 1057)->accessibleName(), QStringLiteral("DR 2 count"));
    QCOMPARE(p.control(stats, 1073)->accessibleName(), QStringLiteral("dr 6 count"));
    p.layer.setText(stats, 1074, "17");
    QCOMPARE(p.control(stats, 1074)->accessibleDescription(), QStringLiteral("17"));
    for (const ToolbarButton &b : toolbarButtons())
        QCOMPARE(p.layer.toolbarButton(b.command)->accessibleName(), QString::fromLatin1(b.name));
}

QTEST_MAIN(QtWindowLayerTest)
#include "qt_window_layer_test.moc"
