// The desktop program's tool windows on a real display with a window manager
// (scripts/with-window-manager: openbox under Xvfb, at 1920x1080 and at
// 1366x768): opened one after another from the menus, they leave the frame's
// menu and the captions in sight; a window asked for again comes to the top
// of the stacking order; a window the player moved comes back there after a
// restart.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/qt_settings.h"
#include "platform/qt/qt_window_layer.h"
#include "resources/menu.h"
#include "ui/app.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

using namespace treva;

namespace {

// Activation first, as start-up opens it, then the Windows menu and Edit > View Stats.
const std::pair<int, ToolSlot> kOpenings[] = {
    {kCmdActivation, ToolSlot::Activation},   {kCmdActions, ToolSlot::Actions},
    {kCmdAdvance, ToolSlot::Advance},         {kCmdRandomTables, ToolSlot::RandomTables},
    {kCmdRollHistory, ToolSlot::RollHistory}, {kCmdDiceChart, ToolSlot::DiceChart},
    {kCmdDieStats, ToolSlot::DieStats},
};

// Lets the window manager frame, place and stack what was shown.
void settle() { QTest::qWait(300); }

// One run of the program, its places kept in `store`.
struct Run {
    explicit Run(SettingsStore *store) {
        layer.keepPlacesIn(store);
        layer.onCommand = [this](int command) { frameCommand(app, command); };
        resetScenario(app.state, 1);
        noteScenarioSaved(app);
        layer.frameWidget()->show();
        (void)QTest::qWaitForWindowExposed(layer.frameWidget());
        settle();
    }
    ~Run() {
        if (layer.isOpen(layer.frame())) layer.menuAction(kCmdExit)->trigger();
        settle();
    }
    QWidget *open(int command, ToolSlot slot) {
        layer.menuAction(command)->trigger();
        QWidget *window = layer.widget(toolWindow(app, slot));
        if (window) (void)QTest::qWaitForWindowExposed(window);
        settle();
        return window;
    }

    QtWindowLayer layer;
    App app{layer};
};

QRect caption(const QWidget *window) {
    const QRect outer = window->frameGeometry();
    return {outer.topLeft(), QSize(outer.width(), window->geometry().top() - outer.top())};
}

// The window manager's stacking order of the top-level windows, bottom first.
QList<WId> stacking() {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    xprop.waitForFinished();
    const QString line = QString::fromLatin1(xprop.readAllStandardOutput());
    QList<WId> ids;
    for (const QString &id : line.section(QLatin1Char('#'), 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids << id.trimmed().toULongLong(nullptr, 16);
    return ids;
}

} // namespace

class WorkspaceTest : public QObject {
    Q_OBJECT

private slots:
    void everyToolWindowLeavesTheMenuAndTheCaptionsInSight() {
        Run run(nullptr);
        const QRect available = run.layer.frameWidget()->screen()->availableGeometry();
        const QMenuBar *menuBar = run.layer.frameWidget()->menuBar();
        const QRect menu(menuBar->mapToGlobal(QPoint(0, 0)), menuBar->size());
        // With room for all of them, nothing hides a caption; without, no more than half.
        const bool roomy = available.width() >= 1920;
        QList<QWidget *> opened;
        for (const auto &[command, slot] : kOpenings) {
            QWidget *window = run.open(command, slot);
            QVERIFY(window);
            const QRect outer = window->frameGeometry();
            const QString what = window->windowTitle();
            QVERIFY2(available.contains(outer), qPrintable(what));
            QVERIFY2(!outer.intersects(menu), qPrintable(what + " covers the frame's menu"));
            for (const QWidget *earlier : opened) {
                const QRect bar = caption(earlier), hidden = bar.intersected(outer);
                const int share = roomy ? 0 : bar.width() * bar.height() / 2;
                QVERIFY2(hidden.width() * hidden.height() <= share,
                         qPrintable(what + " hides the caption of " + earlier->windowTitle()));
            }
            opened << window;
        }
    }

    void aWindowAskedForAgainComesToTheTop() {
        Run run(nullptr);
        QWidget *history = run.open(kCmdRollHistory, ToolSlot::RollHistory);
        QWidget *chart = run.open(kCmdDiceChart, ToolSlot::DiceChart);
        chart->move(history->frameGeometry().topLeft());
        settle();
        QVERIFY(stacking().indexOf(chart->winId()) > stacking().indexOf(history->winId()));

        run.layer.menuAction(kCmdRollHistory)->trigger(); // as Ctrl+H, the menu or the strip
        settle();
        const QList<WId> order = stacking();
        QVERIFY(order.indexOf(history->winId()) > order.indexOf(chart->winId()));
        QTRY_COMPARE(QApplication::activeWindow(), history);
    }

    void aWindowMovedByThePlayerComesBackThereAfterARestart() {
        QTemporaryDir folder;
        QtSettingsStore store(folder.filePath(QStringLiteral("TREVA.conf")));
        QPoint left;
        {
            Run first(&store);
            QWidget *activation = first.open(kCmdActivation, ToolSlot::Activation);
            left = activation->frameGeometry().topLeft() + QPoint(150, 60);
            activation->move(left);
            settle();
            QCOMPARE(activation->frameGeometry().topLeft(), left);
        } // Exit, with the window open
        Run second(&store);
        QCOMPARE(second.open(kCmdActivation, ToolSlot::Activation)->frameGeometry().topLeft(), left);
    }
};

QTEST_MAIN(WorkspaceTest)
#include "workspace_test.moc"
