#include "drive/drive.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <sstream>
#include <utility>

#include "drive/json.h"
#include "state/program_state.h"
#include "ui/frame.h"
#include "ui/scenario_files.h"

namespace treva {

std::optional<long long> parseNumber(const std::string &text, long long low, long long high) {
    // Twelve digits at most: no sign, no blanks, nothing after them.
    if (text.empty() || text.size() > 12 || text[0] < '0' || text[0] > '9') return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

Invocation parseInvocation(const std::vector<std::string> &args) {
    Invocation inv;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--scenario" || a == "--seed") {
            if (i + 1 >= args.size()) throw DriveError(a + " needs a value");
            const std::string &value = args[++i];
            if (a == "--scenario") {
                if (value.empty()) throw DriveError("--scenario needs a file name");
                inv.scenarioPath = value;
            } else {
                const auto seed = parseNumber(value, 0, 4294967295LL);
                if (!seed) throw DriveError("--seed takes a number from 0 to 4294967295, not \"" + value + "\"");
                inv.seed = uint32_t(*seed);
            }
        } else if (a.rfind("--", 0) == 0 && a != "--help" && a != "--version") {
            throw DriveError("unknown option " + a);
        } else {
            break;
        }
    }
    inv.command.assign(args.begin() + std::ptrdiff_t(i), args.end());
    return inv;
}

RunScenario::RunScenario(const Invocation &inv, ProgramState &state) : path_(inv.scenarioPath) {
    resetScenario(state);
    if (path_) {
        ScenarioState loaded{};
        std::string error;
        if (!readScenarioFile(*path_, loaded, error))
            throw DriveError("cannot read scenario \"" + *path_ + "\": " + error);
        adoptLoadedScenario(state, loaded);
        // The record as loaded (its changed flag cleared): a command that
        // changes nothing writes nothing, so read-only files can be shown.
        fileBytes_ = encodeScenario(state.scenario);
    }
    if (inv.seed) seedGenerator(state, *inv.seed);
}

void RunScenario::writeBack(const ProgramState &state, std::ostream &notices, std::string_view program) const {
    if (!path_) return;
    const ScenarioBytes bytes = encodeScenario(state.scenario);
    const bool scenarioChanged = bytes != fileBytes_;
    const std::vector<RollEntry> &rolls = state.history.entries; // this run's alone
    if (!scenarioChanged && rolls.empty()) return;
    std::string error;
    // The scenario is written beside its place first, so that a scenario
    // that cannot be written stops the run before the history is touched.
    PreparedFile scenario;
    if (scenarioChanged &&
        !prepareWholeFile(*path_, "scenario file",
                          std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()), scenario,
                          error))
        throw DriveError("cannot write scenario \"" + *path_ + "\": " + error + "; nothing was written");
    // The rolls are in the history before the scenario counts them.
    HistoryChange change;
    const std::string history = historyPathFor(*path_);
    if (!rolls.empty() && !appendHistory(history, historyRowsText(rolls), change, error)) {
        abandonWholeFile(scenario);
        throw DriveError("cannot write the roll history \"" + history + "\": " + error + "; nothing was written");
    }
    if (scenarioChanged && !commitWholeFile(scenario, error)) {
        undoHistoryChange(change);
        throw DriveError("cannot write scenario \"" + *path_ + "\": " + error + "; nothing was written");
    }
    if (const std::string notice = historyChangeNotice(change); !notice.empty())
        notices << program << ": " << notice << "\n";
}

std::function<void(WindowId box)> ModalErrors::guard(std::function<void(WindowId box)> handler) {
    return [this, handler = std::move(handler)](WindowId box) {
        try {
            handler(box);
        } catch (...) {
            error_ = std::current_exception();
        }
    };
}

void ModalErrors::rethrow() {
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

WindowId openTemplateWindow(DriveTarget &target, int templateId) {
    // Scripts drive the six tool windows of the strip; the roll history and
    // the chart hold nothing a token could give.
    constexpr int kScripted[] = {kActivationDialog, kSetupDialog,   kActionsDialog,
                                 kDieStatsDialog,   kAdvanceDialog, kRandomTablesDialog};
    const bool scripted = std::find(std::begin(kScripted), std::end(kScripted), templateId) != std::end(kScripted);
    const int command = scripted ? commandForTemplate(templateId) : -1;
    if (command < 0) throw DriveError("no tool window has template " + std::to_string(templateId));
    frameCommand(target.app(), command);
    return target.newestWindow(templateId);
}

namespace {

// Applies tokens to a window; a modal box opened on the way takes the tokens
// until it ends.
class Driver {
public:
    explicit Driver(DriveTarget &target) : target_(target) {}

    void drive(WindowId window, const std::vector<std::string> &tokens) {
        std::size_t next = 0;
        target_.setModalHandler([&](WindowId box) {
            target_.settle();
            while (target_.isOpen(box) && next < tokens.size()) {
                apply(box, tokens[next++]);
                target_.settle();
            }
            if (target_.isOpen(box)) openModal_ = box;
        });
        target_.settle();
        while (next < tokens.size()) {
            apply(window, tokens[next++]);
            target_.settle();
        }
        target_.setModalHandler(nullptr);
    }

    WindowId openModal() const { return target_.isOpen(openModal_) ? openModal_ : kNoWindow; }

private:
    void apply(WindowId window, const std::string &token) {
        const int templateId = target_.templateOf(window);
        const std::string name = std::to_string(templateId);
        if (!target_.isOpen(window)) throw DriveError("window " + name + " has closed; token " + token);
        if (token == "close") {
            if (!target_.closeBox(window)) throw DriveError("window " + name + " has no close box");
            return;
        }
        const std::size_t sep = token.find_first_of("=:");
        const auto id = parseNumber(token.substr(0, sep), 0, 65535);
        if (!id) throw DriveError("bad token \"" + token + "\" (N, N=K, N:TEXT or close)");
        const int control = int(*id);
        const ControlTemplate *c = findDialogTemplate(templateId)->control(control);
        if (!c || (c->style & kAdded))
            throw DriveError("window " + name + " has no control " + std::to_string(control));
        if (sep == std::string::npos) {
            target_.click(window, control);
        } else if (token[sep] == '=') {
            const auto item = parseNumber(token.substr(sep + 1), 0, 1000000);
            if (c->kind != ControlKind::DropDownList)
                throw DriveError("control " + std::to_string(control) + " is not a list");
            if (!item || *item >= target_.itemCount(window, control))
                throw DriveError("list " + std::to_string(control) + " has no item " + token.substr(sep + 1));
            target_.choose(window, control, int(*item));
        } else {
            if (c->kind != ControlKind::EditBox)
                throw DriveError("control " + std::to_string(control) + " is not an edit box");
            target_.type(window, control, std::string_view(token).substr(sep + 1));
        }
    }

    DriveTarget &target_;
    WindowId openModal_ = kNoWindow;
};

} // namespace

void runDriveCommand(DriveTarget &target, const std::vector<std::string> &command, std::ostream &out) {
    if (command.size() < 2) throw DriveError("drive needs a template number");
    const auto templateId = parseNumber(command[1], 0, 65535);
    if (!templateId) throw DriveError("bad template \"" + command[1] + "\"");
    const WindowId window = openTemplateWindow(target, int(*templateId));
    Driver driver(target);
    driver.drive(window, {command.begin() + 2, command.end()});
    const WindowId modal = driver.openModal();
    const ScenarioState &scenario = target.app().state.scenario;
    out << windowJsonFields(target, window)
        << ", \"modal\": " << (modal ? windowJsonFields(target, modal) + "}" : std::string("null"))
        << ", \"scenario\": " << scenarioJson(scenario) << ", \"stats\": " << statsJson(scenario.stats) << "}\n";
}

int reportErrors(std::string_view program, std::ostream &err, const std::function<int()> &run) {
    try {
        return run();
    } catch (const std::exception &e) { // DriveError and anything the library throws
        err << program << ": " << e.what() << "\n";
    }
    return 2;
}

int runDriveSession(std::string_view program, const std::vector<std::string> &args, std::ostream &out,
                    std::ostream &err, const MakeDriveWindows &make) {
    return reportErrors(program, err, [&] {
        Invocation invocation = parseInvocation(args);
        invocation.command.insert(invocation.command.begin(), "drive");
        const std::unique_ptr<DriveWindows> windows = make();
        DriveTarget &target = windows->target();
        const RunScenario scenario(invocation, target.app().state);
        windows->show();
        runDriveCommand(target, invocation.command, out);
        scenario.writeBack(target.app().state, err, program);
        out.flush();
        if (!out) throw DriveError("cannot write the output");
        return 0;
    });
}

int runDriveBatch(
    std::string_view program, std::istream &in, std::ostream &out, std::ostream &err,
    const std::function<int(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)> &drive) {
    const auto next = [&in](std::string &field) { return std::getline(in, field, '\0') && !in.eof(); };
    std::string field;
    while (next(field)) {
        const auto count = parseNumber(field, 0, 100000);
        if (!count) {
            err << program << ": --drive-batch: bad count of arguments \"" << field << "\"\n";
            return 2;
        }
        std::vector<std::string> args(static_cast<std::size_t>(*count));
        for (std::string &arg : args)
            if (!next(arg)) {
                err << program << ": --drive-batch: a session is cut short\n";
                return 2;
            }
        std::ostringstream driveOut, driveErr;
        const int status = drive(args, driveOut, driveErr);
        out << status << ' ' << driveOut.str().size() << ' ' << driveErr.str().size() << '\n'
            << driveOut.str() << driveErr.str();
        out.flush();
    }
    return out ? 0 : 2;
}

} // namespace treva
