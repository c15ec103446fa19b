// The drive: a script's way through one tool window, the same in every program
// that has windows (treva-cli on in-memory windows, treva --drive on real
// ones). The global options, the tokens and their checks, the error texts, the
// scenario read and written back and the JSON printed are all here; a program
// supplies its windows, how a person's input reaches them and what they show,
// through DriveTarget.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "resources/dialogs.h"
#include "state/scenario.h"
#include "ui/app.h"

namespace treva {

// A bad argument or token, or a scenario file that cannot be read or written:
// one line for the player, exit status 2.
struct DriveError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Strict decimal number within [low, high].
std::optional<long long> parseNumber(const std::string &text, long long low, long long high);

struct Invocation {
    std::optional<std::string> scenarioPath;
    std::optional<uint32_t> seed;
    std::vector<std::string> command; // the command and its arguments
};

// The global options (--scenario FILE, --seed N) up to the first argument
// that is not one: the command.
Invocation parseInvocation(const std::vector<std::string> &args);

// The scenario of one run: fresh, or read from --scenario, then seeded with
// --seed. Afterwards the rolls of the run are added to the roll history
// beside the file, then the scenario is written back when the command
// changed it: whatever fails, neither file is changed. The history is not
// read: a run costs the same however long it is.
class RunScenario {
public:
    RunScenario(const Invocation &invocation, ProgramState &state);
    // Throws DriveError when a file cannot be written. What a player should
    // hear besides (a damaged history kept aside) goes to `notices` as
    // "<program>: <notice>".
    void writeBack(const ProgramState &state, std::ostream &notices, std::string_view program) const;
    const std::optional<std::string> &path() const { return path_; }

private:
    std::optional<std::string> path_;
    std::optional<ScenarioBytes> fileBytes_;
};

// One control as it shows itself; which fields count depends on its kind.
struct ControlView {
    std::string text; // code page 1252
    bool enabled = true;
    bool checked = false;
    std::vector<std::string> items;
    int selection = -1;
    int image = 0;
};

// A modal box's handler runs inside the window system's own loop, where
// nothing may be thrown: its error is kept, and thrown again once the input
// that opened the box has returned.
class ModalErrors {
public:
    std::function<void(WindowId box)> guard(std::function<void(WindowId box)> handler);
    void rethrow();

private:
    std::exception_ptr error_;
};

// A program's windows as the drive uses them.
class DriveTarget {
public:
    virtual ~DriveTarget() = default;

    virtual App &app() = 0;

    // A person's input. The drive has checked that the window is open and
    // has the control, of the kind the input is for, and that the list has
    // the item.
    virtual void click(WindowId window, int control) = 0;
    virtual void choose(WindowId window, int control, int item) = 0;
    virtual void type(WindowId window, int control, std::string_view text) = 0;
    // The caption's close box; false when the caption has none.
    virtual bool closeBox(WindowId window) = 0;
    // `handler` is called with each modal box once it takes the input. A box
    // still open when the handler returns stays open, and the procedure that
    // opened it carries on as though it had ended with 0.
    virtual void setModalHandler(std::function<void(WindowId box)> handler) = 0;
    // Lets what the last input or the opening of a window set going finish
    // (the window system's activation and focus changes), as it does before
    // a person's next input or look.
    virtual void settle() {}

    // What the windows show, read from the controls themselves.
    virtual bool isOpen(WindowId window) const = 0;
    virtual int templateOf(WindowId window) const = 0;
    // The newest window made from this template, open or not; kNoWindow if none.
    virtual WindowId newestWindow(int templateId) const = 0;
    virtual int itemCount(WindowId window, int control) const = 0;
    virtual ControlView read(WindowId window, const ControlTemplate &control) const = 0;
};

// A drive target on one realisation's window layer and the program on it.
template <typename Layer> class LayerDriveTarget : public DriveTarget {
public:
    LayerDriveTarget(Layer &layer, App &app) : layer_(layer), app_(app) {}
    App &app() override { return app_; }
    WindowId newestWindow(int templateId) const override { return layer_.newestWindow(templateId); }
    void setModalHandler(std::function<void(WindowId box)> handler) override {
        layer_.onModal = handler ? modalErrors_.guard(std::move(handler)) : nullptr;
    }

protected:
    Layer &layer_;
    App &app_;
    ModalErrors modalErrors_;
};

// Opens the tool window of a dialog template as the frame's command does.
WindowId openTemplateWindow(DriveTarget &target, int templateId);

// `drive TEMPLATE TOKEN...` (command[0] is "drive"): opens the window, applies
// the tokens to the window that has the input, and prints the JSON object.
void runDriveCommand(DriveTarget &target, const std::vector<std::string> &command, std::ostream &out);

// Runs `run`; an exception from it becomes one line "<program>: <what>" on
// `err` and exit status 2.
int reportErrors(std::string_view program, std::ostream &err, const std::function<int()> &run);

// A program's windows for one drive, made afresh: the target they answer
// through, and how the program shows its frame once the scenario is read.
class DriveWindows {
public:
    virtual ~DriveWindows() = default;
    virtual DriveTarget &target() = 0;
    virtual void show() {}
};
using MakeDriveWindows = std::function<std::unique_ptr<DriveWindows>()>;

// One drive, the same in every program: `args` are the drive's own
// ([--scenario FILE] [--seed N] TEMPLATE TOKEN...). The windows are made by
// `make`, the scenario read, the tokens applied, the JSON printed on `out` and
// the files written back; an error is one line "<program>: <what>" on `err`
// and status 2.
int runDriveSession(std::string_view program, const std::vector<std::string> &args, std::ostream &out,
                    std::ostream &err, const MakeDriveWindows &make);

// Many drives read from `in`, one after another: each the count of its
// arguments, then the arguments, each ended by a NUL byte. Each is answered on
// `out` with a line "STATUS OUTLEN ERRLEN", then its output and its error.
// Starting a program costs more than a drive where a program starts slowly.
int runDriveBatch(
    std::string_view program, std::istream &in, std::ostream &out, std::ostream &err,
    const std::function<int(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)> &drive);

} // namespace treva
