#include "platform/qt/screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPixmap>
#include <cstdio>

#include "platform/qt/modal_script.h"
#include "platform/qt/qt_window_layer.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/ids/setup.h"
#include "resources/menu.h"
#include "windows/frame.h"

namespace treva {
namespace {

class Shooter {
public:
    Shooter(QtWindowLayer &layer, const QString &folder) : layer_(layer), folder_(folder) {}

    bool ok = true;

    void shoot(QWidget *widget, const char *name) {
        QCoreApplication::processEvents();
        const QString path = QDir(folder_).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!widget || !widget->grab().save(path)) {
            std::fprintf(stderr, "treva: could not write %s\n", qPrintable(path));
            ok = false;
        }
    }

    void shootWindow(WindowId window, const char *name) { shoot(layer_.widget(window), name); }

    void click(WindowId window, int control) {
        if (auto *button = qobject_cast<QAbstractButton *>(layer_.controlWidget(window, control))) button->click();
    }

    // A modal box: photographed, then its button pressed.
    ModalScript::Step shootBox(const char *name, int button = kCommandOk) {
        return [this, name, button](QWidget *box) {
            shoot(box, name);
            click(layer_.windowOf(box), button);
        };
    }

private:
    QtWindowLayer &layer_;
    QString folder_;
};

} // namespace

int takeScreenshots(QtWindowLayer &layer, App &app, const QString &folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "treva: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    Shooter shooter(layer, folder);
    ModalScript script;
    layer.frameWidget()->show();

    // The boxes of start-up.
    script.then(shooter.shootBox("about"));
    script.then(shooter.shootBox("beta-notice"));
    frameCommand(app, kCmdAbout);

    // Windows with their fields full: units drawn, the longest table text.
    const WindowId activation = openToolWindow(app, ToolSlot::Activation);
    shooter.click(activation, activation_ids::kRoll);
    shooter.click(activation, activation_ids::kAllowManual);
    shooter.click(activation, activation_ids::kManual);
    shooter.shootWindow(activation, "activation");

    const WindowId actions = openToolWindow(app, ToolSlot::Actions);
    shooter.click(actions, actions_ids::kInfAction);
    shooter.click(actions, actions_ids::kDirectionButton);
    shooter.click(actions, actions_ids::kManualBox);
    shooter.click(actions, actions_ids::kVehMove);
    shooter.click(actions, actions_ids::dieButton(9));
    shooter.shootWindow(actions, "actions");

    const WindowId advance = openToolWindow(app, ToolSlot::Advance);
    shooter.click(advance, advance_ids::kNtcButton);
    shooter.shootWindow(advance, "advance");

    const WindowId random = openToolWindow(app, ToolSlot::RandomTables);
    shooter.click(random, random_tables_ids::kTableA);
    shooter.shootWindow(random, "random-number-tables");
    // A history to show, and enough dice for the chart's fairness check.
    for (int i = 0; i < 200; ++i) shooter.click(random, random_tables_ids::kTwoDice);
    for (int i = 0; i < 40; ++i) shooter.click(random, random_tables_ids::kSingleDie);
    shooter.click(random, random_tables_ids::kHexRow);

    const WindowId stats = openToolWindow(app, ToolSlot::DieStats);
    shooter.shootWindow(stats, "die-stats");
    shooter.click(stats, die_stats_ids::kChart);
    shooter.shootWindow(toolWindow(app, ToolSlot::DiceChart), "dice-chart");
    shooter.shootWindow(openToolWindow(app, ToolSlot::RollHistory), "roll-history");

    const WindowId setup = openToolWindow(app, ToolSlot::Setup);
    shooter.shootWindow(setup, "setup-options");
    script.then(shooter.shootBox("special"));
    shooter.click(setup, setup_ids::kSpecialButton);

    shooter.shoot(layer.frameWidget(), "frame");
    layer.closeFrame();
    return shooter.ok && script.done() ? 0 : 1;
}

} // namespace treva
