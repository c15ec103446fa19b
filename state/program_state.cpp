#include "state/program_state.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace treva {

void localTimeText(char (&text)[20]) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    // A clock that cannot say the time still gives a time the history reads.
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) != 19)
        std::snprintf(text, sizeof text, "%s", "1970-01-01 00:00:00");
}

namespace {

// An entry for a roll made now in the scenario as it stands.
RollEntry entryNow(ProgramState &program, const char *purpose, RollKind kind) {
    RollEntry e;
    program.clock(e.time);
    e.purpose = purpose;
    e.kind = kind;
    e.yearIndex = program.scenario.yearIndex;
    e.month = program.scenario.month;
    e.attitude = program.scenario.attitude;
    return e;
}

} // namespace

int rollDice(ProgramState &program, int count, int faces, const char *purpose) {
    const Throw t = throwDice(program.generator, program.scenario.stats, count, faces);
    RollEntry e = entryNow(program, purpose, count == 2 ? RollKind::TwoDice : RollKind::OneDie);
    e.dice[0] = uint8_t(t.dice[0]);
    e.dice[1] = uint8_t(t.dice[1]);
    e.counted = t.counted;
    program.history.add(std::move(e));
    return t.sum;
}

std::pair<int, int> rollTwoSingleDice(ProgramState &program, const char *purpose) {
    // Both dice are counted or neither, as the history's one row says.
    DieRollStats stats = program.scenario.stats;
    const Throw a = throwDice(program.generator, stats, 1, 6);
    const Throw b = throwDice(program.generator, stats, 1, 6);
    RollEntry e = entryNow(program, purpose, RollKind::TwoSingleDice);
    e.dice[0] = uint8_t(a.sum);
    e.dice[1] = uint8_t(b.sum);
    e.counted = a.counted && b.counted;
    if (e.counted) program.scenario.stats = stats;
    program.history.add(std::move(e));
    return {a.sum, b.sum};
}

int drawPick(ProgramState &program, const char *purpose, int choices, const char *const *labels) {
    const int index = drawRandom(program.generator) % choices;
    RollEntry e = entryNow(program, purpose, RollKind::Pick);
    e.pick = labels ? labels[index] : std::to_string(index + 1);
    program.history.add(std::move(e));
    return index;
}

void clearDieStats(ProgramState &program) {
    clearStats(program.scenario.stats);
    program.history.add(entryNow(program, "Die Stats cleared", RollKind::StatsCleared));
}

} // namespace treva
