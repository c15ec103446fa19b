#include "cli/cli.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "activation/activation.h"
#include "dice/fairness.h"
#include "drive/drive.h"
#include "drive/json.h"
#include "platform/headless/headless_drive.h"
#include "resources/dialogs.h"
#include "resources/ids/actions.h"
#include "resources/ids/activation.h"
#include "resources/ids/advance.h"
#include "resources/ids/die_stats.h"
#include "resources/ids/random_tables.h"
#include "resources/menu.h"
#include "state/text.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

namespace treva {
namespace {

const char kUsage[] = "Usage: treva-cli [--scenario FILE] [--seed N] COMMAND [ARGS...]\n"
                      "\n"
                      "Runs TREVA's dice, tables and windows without a display. With --scenario the\n"
                      "scenario (statistics included) is read from FILE and written back after the\n"
                      "command; without it the command runs on a fresh scenario and writes nothing.\n"
                      "--seed N (0..4294967295) makes every die of the command reproducible.\n"
                      "\n"
                      "Commands:\n"
                      "  new FILE [--force]     write a fresh scenario to FILE\n"
                      "  show                   the scenario as JSON\n"
                      "  drive TEMPLATE TOKEN.. open a window (101 Activation, 102 Setup Options,\n"
                      "                         103 Actions, 114 Die Stats, 115 Advance,\n"
                      "                         128 Random Number Tables), apply the tokens and print\n"
                      "                         its controls as JSON. Tokens: N (click control N),\n"
                      "                         N=K (choose item K of list N), N:TEXT (type TEXT\n"
                      "                         into edit box N), close (the close box)\n"
                      "  roll [dr|DR]           one die (dr) or two dice (DR)\n"
                      "  activate               an activation roll, with the units that appear\n"
                      "  units                  units without an activation roll (manual activation)\n"
                      "  action inf|afv         an ENEMY infantry or AFV action roll\n"
                      "  lookup TABLE [DR]      a priority table for a DR (rolled when left out);\n"
                      "                         TABLE: veh-move inf-move ift latw ord-veh ord-inf\n"
                      "  table 6a..6h           one of the small random number tables (or A..H)\n"
                      "  advance|ntc|pairings|attack   the Advance window's rolls\n"
                      "  stats [--chart]        the die roll statistics; --chart adds bars beside\n"
                      "                         what fair dice would roll, and a fairness check\n"
                      "  history [--json]       the roll history kept beside the --scenario file\n"
                      "  -h, --help             this text\n"
                      "  --version              the program's version\n";

// Text fields for a terminal: lines broken with newlines, UTF-8.
std::string plain(const std::string &cp1252) {
    std::string text = cp1252ToUtf8(cp1252);
    for (char &c : text)
        if (c == '\r') c = '\n';
    return text;
}

// One run of the program on in-memory windows.
class Session {
public:
    explicit Session(const Invocation &inv) : scenario_(inv, windows_.app().state) {}

    App &app() { return windows_.app(); }
    HeadlessLayer &ui() { return windows_.ui(); }
    ScenarioState &scenario() { return app().state.scenario; }

    // Adds the run's rolls to the history and writes the scenario back where
    // it came from, if it differs from the file.
    void finish(std::ostream &notices) { scenario_.writeBack(app().state, notices, "treva-cli"); }
    const RunScenario &run() const { return scenario_; }

    WindowId openTemplate(int templateId) { return openTemplateWindow(windows_.target(), templateId); }

private:
    HeadlessDriveWindows windows_;
    RunScenario scenario_;
};

void requireArgs(const std::vector<std::string> &cmd, std::size_t low, std::size_t high) {
    if (cmd.size() - 1 < low || cmd.size() - 1 > high)
        throw DriveError("\"" + cmd[0] + "\" takes " +
                         (low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high)) +
                         " argument(s); see treva-cli --help");
}

int newCommand(const Invocation &inv, std::ostream &out) {
    std::vector<std::string> rest(inv.command.begin() + 1, inv.command.end());
    bool force = false;
    std::string path;
    for (const std::string &a : rest) {
        if (a == "--force")
            force = true;
        else if (path.empty() && a.rfind("--", 0) != 0)
            path = a;
        else
            throw DriveError("new takes FILE and optionally --force");
    }
    if (path.empty()) throw DriveError("new needs a file name");
    std::error_code ec;
    if (!force && std::filesystem::exists(filePath(path), ec))
        throw DriveError("\"" + path + "\" exists; use --force to replace it");
    // A history left beside the name belongs to another game: the fresh
    // scenario starts with an empty one, as a Save over it would write. Only
    // a roll history is emptied, and never through a link: what the name
    // holds is checked before anything is written.
    const std::string history = historyPathFor(path);
    const auto status = std::filesystem::symlink_status(filePath(history), ec);
    const bool emptyHistory = status.type() != std::filesystem::file_type::not_found;
    if (status.type() == std::filesystem::file_type::symlink)
        throw DriveError("\"" + history + "\" is a link; TREVA empties no roll history through a link");
    if (std::string error; emptyHistory && !isRollHistoryFile(history, error))
        throw DriveError("\"" + history + "\" is not a roll history TREVA can empty (" + error +
                         "); move it away first");
    ProgramState fresh;
    resetScenario(fresh, 1);
    std::string error;
    if (!writeScenarioFile(path, fresh.scenario, error)) throw DriveError("cannot write \"" + path + "\": " + error);
    // The fresh scenario counts nothing, so an old history beside it is
    // never a count without its row, even should emptying it fail.
    if (emptyHistory && !writeWholeFile(history, "roll history", historyFileText(fresh.history), error))
        throw DriveError("wrote " + path + ", but cannot empty its roll history \"" + history + "\": " + error);
    out << "wrote a fresh scenario to " << path << "\n";
    return 0;
}

// The history of the scenario, oldest first: as the window's rows, or as
// JSON with --json.
void historyCommand(Session &s, const std::vector<std::string> &cmd, std::ostream &out, std::ostream &err) {
    requireArgs(cmd, 0, 1);
    const bool json = cmd.size() == 2;
    if (json && cmd[1] != "--json") throw DriveError("history takes only --json");
    RollHistory history;
    if (const std::optional<std::string> &scenario = s.run().path()) {
        std::string error;
        HistoryFileRead read;
        const std::string path = historyPathFor(*scenario);
        if (!readHistoryFile(path, history, error, &read))
            throw DriveError("cannot read the roll history \"" + path + "\": " + error);
        if (read.tornTail)
            err << "treva-cli: the last line of the roll history \"" << path
                << "\" was cut short as it was written (its roll was never counted) and is left out\n";
    }
    if (!json) {
        for (const RollEntry &e : history.entries) out << cp1252ToUtf8(historyRow(e)) << "\n";
        return;
    }
    static const char *const kinds[] = {"dr", "DR", "two dr", "pick", "stats cleared"};
    out << "[";
    for (std::size_t i = 0; i < history.entries.size(); ++i) {
        const RollEntry &e = history.entries[i];
        out << (i ? ",\n " : "") << "{\"time\": " << jsonString(e.time) << ", \"purpose\": " << jsonString(e.purpose)
            << ", \"kind\": \"" << kinds[int(e.kind)] << "\"";
        if (e.kind == RollKind::OneDie) out << ", \"dice\": [" << int(e.dice[0]) << "]";
        if (e.kind == RollKind::TwoDice || e.kind == RollKind::TwoSingleDice)
            out << ", \"dice\": [" << int(e.dice[0]) << ", " << int(e.dice[1]) << "]";
        if (e.kind == RollKind::Pick) out << ", \"pick\": " << jsonString(e.pick);
        out << ", \"counted\": " << (e.counted ? "true" : "false") << ", \"year\": " << 1935LL + e.yearIndex
            << ", \"month\": " << e.month << ", \"attitude\": \"" << (e.attitude == 0 ? "Hold" : "Advance") << "\"}";
    }
    out << "]\n";
}

// Text bars of the counts, each with the count fair dice would give, and
// the fairness check.
std::string statsChart(const DieRollStats &stats) {
    std::string text;
    const auto chart = [&](const char *title, const int32_t *counts, const FairnessCheck &check, int firstFace) {
        double top = 1;
        for (std::size_t i = 0; i < check.expected.size(); ++i)
            top = std::max({top, double(counts[i]), check.expected[i]});
        constexpr int kWidth = 40;
        text += std::string(title) + " (| marks what fair dice would roll)\n";
        for (std::size_t i = 0; i < check.expected.size(); ++i) {
            const int bar = std::clamp(int(std::lround(counts[i] / top * kWidth)), 0, kWidth);
            const int mark = int(std::lround(check.expected[i] / top * kWidth));
            std::string line(kWidth + 1, ' ');
            for (int x = 0; x < bar; ++x) line[std::size_t(x)] = '#';
            line[std::size_t(std::min(mark, kWidth))] = '|';
            char head[64];
            std::snprintf(head, sizeof head, "%3d %7d  ", firstFace + int(i), counts[i]);
            const std::size_t end = line.find_last_not_of(' ');
            text += head + line.substr(0, end + 1);
            std::snprintf(head, sizeof head, "  (%.1f)\n", check.expected[i]);
            text += head;
        }
        text += check.text + "\n";
    };
    chart("DR", stats.twoDiceCounts, twoDiceFairness(stats), 2);
    text += "\n";
    chart("dr", stats.oneDieCounts, oneDieFairness(stats), 1);
    return text;
}

struct FieldLine {
    const char *label;
    int control;
};

// The fields that show something: an empty one or "-" says nothing.
void printFields(std::ostream &out, Session &s, WindowId w, std::initializer_list<FieldLine> fields) {
    for (const FieldLine &f : fields) {
        const std::string text = plain(s.ui().text(w, f.control));
        if (!text.empty() && text != "-") out << f.label << ": " << text << "\n";
    }
}

int terminalCommand(Session &s, const std::vector<std::string> &cmd, std::ostream &out, std::ostream &err) {
    const std::string &name = cmd[0];
    if (name == "roll") {
        requireArgs(cmd, 0, 1);
        const std::string kind = cmd.size() > 1 ? cmd[1] : "DR";
        if (kind != "dr" && kind != "DR") throw DriveError("roll takes dr or DR");
        const WindowId w = s.openTemplate(kRandomTablesDialog);
        s.ui().click(w, kind == "dr" ? random_tables_ids::kSingleDie : random_tables_ids::kTwoDice);
        out << (kind == "dr" ? "One die: dr = " : "Two dice: DR = ") << s.ui().text(w, random_tables_ids::kDrField)
            << "\n";
    } else if (name == "activate" || name == "units") {
        requireArgs(cmd, 0, 0);
        const WindowId w = s.openTemplate(kActivationDialog);
        if (name == "units") {
            s.ui().click(w, activation_ids::kAllowManual);
            s.ui().click(w, activation_ids::kManual);
        } else {
            s.ui().click(w, activation_ids::kRoll);
            printFields(out, s, w,
                        {{"Activation dr", activation_ids::kDrField},
                         {"Modifiers", activation_ids::kModifierField},
                         {"Final DR", activation_ids::kFinalField},
                         {"AC#", activation_ids::kAcField}});
        }
        printFields(out, s, w, {{"Result", activation_ids::kStatus}});
        // The A1 field names itself ("A1 DR = 9/9").
        if (const std::string a1 = plain(s.ui().text(w, activation_ids::kA1Field)); !a1.empty()) out << a1 << "\n";
        out << "Units:\n" << plain(s.ui().text(w, activation_ids::kUnitsField)) << "\n";
    } else if (name == "action") {
        requireArgs(cmd, 1, 1);
        if (cmd[1] != "inf" && cmd[1] != "afv") throw DriveError("action takes inf or afv");
        const WindowId w = s.openTemplate(kActionsDialog);
        s.ui().click(w, cmd[1] == "inf" ? actions_ids::kInfAction : actions_ids::kAfvAction);
        printFields(out, s, w,
                    {{"Action dice", actions_ids::kDice},
                     {"Panic", actions_ids::kPanic},
                     {"Table", actions_ids::kTitle},
                     {"Table roll", actions_ids::kRoll}});
        out << plain(s.ui().text(w, actions_ids::kResults)) << "\n";
    } else if (name == "lookup") {
        requireArgs(cmd, 1, 2);
        const char *const tables[] = {"veh-move", "inf-move", "ift", "latw", "ord-veh", "ord-inf"};
        int category = -1;
        for (int i = 0; i < 6; ++i)
            if (cmd[1] == tables[i]) category = i;
        if (category < 0) throw DriveError("unknown table \"" + cmd[1] + "\"; see treva-cli --help");
        std::optional<long long> dr;
        if (cmd.size() > 2 && !(dr = parseNumber(cmd[2], 2, 12))) throw DriveError("DR must be 2..12");
        const WindowId w = s.openTemplate(kActionsDialog);
        if (dr) {
            // The manual die buttons read a DR rolled by the player; the mode
            // is put back as it was.
            const bool wasManual = s.scenario().manualDieRoll == 1;
            if (!wasManual) s.ui().click(w, actions_ids::kManualBox);
            s.ui().click(w, actions_ids::kVehMove + category);
            s.ui().click(w, actions_ids::dieButton(int(*dr)));
            const std::string title = s.ui().text(w, actions_ids::kTitle), roll = s.ui().text(w, actions_ids::kRoll),
                              results = s.ui().text(w, actions_ids::kResults),
                              direction = s.ui().text(w, actions_ids::kDirection);
            if (!wasManual) s.ui().click(w, actions_ids::kManualBox);
            out << "Table: " << plain(title) << "\nTable roll: " << plain(roll) << "\n";
            if (!direction.empty()) out << "Direction: " << plain(direction) << "\n";
            out << plain(results) << "\n";
        } else {
            if (s.scenario().manualDieRoll == 1) throw DriveError("manual die roll is on: give the DR");
            s.ui().click(w, actions_ids::kVehMove + category);
            printFields(out, s, w,
                        {{"Table", actions_ids::kTitle},
                         {"Table roll", actions_ids::kRoll},
                         {"Direction", actions_ids::kDirection}});
            out << plain(s.ui().text(w, actions_ids::kResults)) << "\n";
        }
    } else if (name == "table") {
        requireArgs(cmd, 1, 1);
        using namespace random_tables_ids;
        const int buttons[] = {kTableA, kTableB, kTableC, kTableD, kTableE, kTableF, kTableG, kTableH};
        // By the window's name ("6c") or the letter alone.
        std::string t = cmd[1];
        if (t.size() == 2 && t[0] == '6') t.erase(0, 1);
        if (t.size() != 1 || std::toupper(t[0]) < 'A' || std::toupper(t[0]) > 'H')
            throw DriveError("table takes 6a..6h (or A..H)");
        const WindowId w = s.openTemplate(kRandomTablesDialog);
        s.ui().click(w, buttons[std::toupper(t[0]) - 'A']);
        out << plain(s.ui().text(w, kTitleField)) << ": dr = " << s.ui().text(w, kDrField)
            << ", result = " << s.ui().text(w, kResultField) << "\n";
    } else if (name == "advance" || name == "ntc" || name == "pairings" || name == "attack") {
        requireArgs(cmd, 0, 0);
        const WindowId w = s.openTemplate(kAdvanceDialog);
        using namespace advance_ids;
        struct Roll {
            const char *name, *label;
            int button;
        };
        static const Roll rolls[] = {{"advance", "Advance direction", kAdvanceButton},
                                     {"ntc", "Close combat NTC", kNtcButton},
                                     {"pairings", "Close combat pairings", kPairingsButton},
                                     {"attack", "Close combat attack", kAttackButton}};
        const Roll &roll =
            *std::find_if(std::begin(rolls), std::end(rolls), [&](const Roll &r) { return name == r.name; });
        s.ui().click(w, roll.button);
        out << roll.label << ": " << plain(s.ui().text(w, kRollField)) << "\n";
        if (name != "attack" && !s.ui().text(w, kTextArea).empty()) out << plain(s.ui().text(w, kTextArea)) << "\n";
    } else if (name == "history") {
        historyCommand(s, cmd, out, err);
    } else if (name == "stats") {
        requireArgs(cmd, 0, 1);
        if (cmd.size() == 2 && cmd[1] != "--chart") throw DriveError("stats takes only --chart");
        const WindowId w = s.openTemplate(kDieStatsDialog);
        out << "DR ";
        using namespace die_stats_ids;
        const auto count = [&](int control) {
            const std::string text = s.ui().text(w, control);
            return text.empty() ? std::string("0") : text;
        };
        for (int r = 2; r <= 12; ++r) out << " " << r << ":" << count(twoDiceCount(r));
        out << "\ndr ";
        for (int r = 1; r <= 6; ++r) out << " " << r << ":" << count(oneDieCount(r));
        out << "\nDR rolls: " << s.ui().text(w, kTwoDiceTotal) << ", average " << s.ui().text(w, kTwoDiceAverage)
            << "\n"
            << "dr rolls: " << s.ui().text(w, kOneDieTotal) << ", average " << s.ui().text(w, kOneDieAverage) << "\n";
        if (cmd.size() == 2) out << "\n" << statsChart(s.scenario().stats);
    } else {
        throw DriveError("unknown command \"" + name + "\"; see treva-cli --help");
    }
    return 0;
}

int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
        const std::optional<std::string> &guide) {
    const Invocation inv = parseInvocation(args);
    if (inv.command.empty()) throw DriveError("no command; see treva-cli --help");
    const std::string &name = inv.command[0];
    if (name == "--help" || name == "-h" || name == "help") {
        out << kUsage << "\n";
        if (guide)
            out << "The TREVA Guide, for players: " << *guide << "\n";
        else
            out << "The TREVA Guide, for players, is not installed.\n";
        return 0;
    }
    if (name == "--version") {
        out << "treva-cli " TREVA_VERSION "\n";
        return 0;
    }
    if (name == "new") return newCommand(inv, out);
    if (name == "drive") {
        // The drive's own arguments: the options and what follows "drive".
        std::vector<std::string> driveArgs(args.begin(), args.end() - std::ptrdiff_t(inv.command.size()));
        driveArgs.insert(driveArgs.end(), inv.command.begin() + 1, inv.command.end());
        return runDriveSession("treva-cli", driveArgs, out, err,
                               [] { return std::make_unique<HeadlessDriveWindows>(); });
    }

    Session s(inv);
    if (name == "show") {
        requireArgs(inv.command, 0, 0);
        const ScenarioState &sc = s.scenario();
        out << "{\"scenario\": " << scenarioJson(sc) << ", \"stats\": " << statsJson(sc.stats)
            << ", \"summary\": " << jsonString(formatScenarioSummary(sc))
            << ", \"fileName\": " << jsonString(formatScenarioFileName(sc))
            << ", \"conditions\": " << jsonString(activationConditionsText(sc.nationality)) << "}\n";
    } else {
        terminalCommand(s, inv.command, out, err);
    }
    s.finish(err);
    return 0;
}

} // namespace

int runCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
           const std::optional<std::string> &guide) {
    // What a command shows is printed only once its files are written: a
    // roll that could not be kept is not shown as though it counted.
    std::ostringstream shown;
    const int status = reportErrors("treva-cli", err, [&] { return run(args, shown, err, guide); });
    if (status == 0) out << shown.str();
    return status;
}

} // namespace treva
