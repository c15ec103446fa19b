// Every command of treva-cli on any scenario file, with any roll history
// beside it. A scenario is refused (status 2, nothing written) or the command
// runs on it; whatever happens, the two files stay one record: a command that
// fails changes neither, and one that succeeds leaves a history that reads
// as before plus a row for each roll the scenario counted.
//
// Input: 144 bytes of scenario, a command byte, a flags byte, then the
// history file's bytes. Flag 1: there is a history file. Flag 2: the
// scenario's die counts are mended to add up (cut to the bits flag bits 4..6
// leave), so that the commands get past decoding more often.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/cli.h"
#include "state/scenario.h"
#include "ui/history_file.h"
#include "ui/scenario_files.h"

using namespace treva;

namespace {

[[noreturn]] void fail(const char *what, const std::vector<std::string> &args, const std::string &err) {
    std::fprintf(stderr, "cli_scenario_fuzz: %s\nargs:", what);
    for (const std::string &a : args) std::fprintf(stderr, " [%s]", a.c_str());
    std::fprintf(stderr, "\nstderr: %.400s\n", err.c_str());
    std::abort();
}

std::string readAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The counts made to add up, with the totals they give.
void mendCounts(uint8_t *record, int keepBits) {
    const auto word = [&](int at) -> uint32_t {
        return uint32_t(record[at]) | uint32_t(record[at + 1]) << 8 | uint32_t(record[at + 2]) << 16 |
               uint32_t(record[at + 3]) << 24;
    };
    const auto put = [&](int at, uint32_t value) {
        for (int i = 0; i < 4; ++i) record[at + i] = uint8_t(value >> (8 * i));
    };
    const uint32_t mask = (1u << keepBits) - 1;
    for (int kind = 0; kind < 2; ++kind) {
        const int first = kind == 0 ? 60 : 104, faces = kind == 0 ? 11 : 6, lowest = kind == 0 ? 2 : 1;
        uint64_t rolls = 0, sum = 0;
        for (int i = 0; i < faces; ++i) {
            const uint32_t count = word(first + 4 * i) & mask;
            put(first + 4 * i, count);
            rolls += count;
            sum += uint64_t(count) * uint64_t(lowest + i);
        }
        put(kind == 0 ? 128 : 132, uint32_t(rolls));
        put(kind == 0 ? 136 : 140, uint32_t(sum));
    }
}

const std::vector<std::vector<std::string>> &commands() {
    static const std::vector<std::vector<std::string>> list = {
        {"show"},
        {"stats"},
        {"stats", "--chart"},
        {"history"},
        {"history", "--json"},
        {"roll"},
        {"roll", "dr"},
        {"activate"},
        {"units"},
        {"action", "inf"},
        {"action", "afv"},
        {"lookup", "ift"},
        {"lookup", "latw", "7"},
        {"table", "6c"},
        {"advance"},
        {"ntc"},
        {"pairings"},
        {"attack"},
        {"drive", "101", "1000"},
        {"drive", "102", "1", "1"},
        {"drive", "103", "1000"},
        {"drive", "114", "1000"},
        {"drive", "115"},
        {"drive", "128", "1000"},
    };
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    if (size < kScenarioBytes + 2 || size > 8192) return 0;
    static const std::string folder = [] {
        const std::string f =
            (std::filesystem::temp_directory_path() / ("treva-fuzz-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(f);
        return f;
    }();
    const std::string scenarioPath = folder + "/s.trv", historyPath = historyPathFor(scenarioPath);
    std::error_code ec;
    std::filesystem::remove_all(historyPath, ec);
    for (const auto &entry : std::filesystem::directory_iterator(folder, ec)) std::filesystem::remove_all(entry, ec);

    std::vector<uint8_t> record(data, data + kScenarioBytes);
    const uint8_t command = data[kScenarioBytes], flags = data[kScenarioBytes + 1];
    if (flags & 2) mendCounts(record.data(), 8 + (flags >> 4 & 7) * 3);
    std::ofstream(scenarioPath, std::ios::binary).write(reinterpret_cast<const char *>(record.data()), kScenarioBytes);
    const std::string historyBytes(reinterpret_cast<const char *>(data) + kScenarioBytes + 2,
                                   size - kScenarioBytes - 2);
    if (flags & 1) std::ofstream(historyPath, std::ios::binary) << historyBytes;

    ScenarioState before{};
    ScenarioError decodeError;
    const bool decodes = decodeScenario(record.data(), record.size(), before, decodeError);
    RollHistory historyBefore;
    std::string error;
    const bool historyReads = readHistoryFile(historyPath, historyBefore, error);

    std::vector<std::string> args{"--scenario", scenarioPath, "--seed", std::to_string(command)};
    const std::vector<std::string> &cmd = commands()[command % commands().size()];
    args.insert(args.end(), cmd.begin(), cmd.end());
    std::ostringstream out, err;
    const int status = runCli(args, out, err);
    const std::string e = err.str();

    if (status != 0 && status != 2) fail("exit status neither 0 nor 2", args, e);
    if (!decodes && status != 2) fail("a scenario that does not decode was used", args, e);
    if (status == 2) {
        if (e.rfind("treva-cli: ", 0) != 0 || e.find('\n') != e.size() - 1) fail("error is not one line", args, e);
        if (readAll(scenarioPath) != std::string(record.begin(), record.end()))
            fail("a failed command changed the scenario", args, e);
        if ((flags & 1) && readAll(historyPath) != historyBytes) fail("a failed command changed the history", args, e);
        return 0;
    }
    ScenarioState after{};
    std::string readError;
    if (!readScenarioFile(scenarioPath, after, readError)) fail("the scenario written does not read", args, readError);
    if (!historyReads) {
        // Damaged where a roll does not look (it reads only the file's ends),
        // or kept aside, when a new history began.
        if (!std::filesystem::exists(historyPath + ".damaged", ec)) return 0;
        historyBefore = {};
    }
    RollHistory historyAfter;
    if (!readHistoryFile(historyPath, historyAfter, readError))
        fail("the history written does not read", args, readError);
    const std::vector<RollEntry> &rows = historyAfter.entries;
    if (rows.size() < historyBefore.entries.size() ||
        !std::equal(historyBefore.entries.begin(), historyBefore.entries.end(), rows.begin()))
        fail("the rows that were there changed", args, e);
    // Every roll the scenario counted has its row.
    int64_t oneDie = 0, twoDice = 0;
    bool cleared = false;
    for (std::size_t i = historyBefore.entries.size(); i < rows.size(); ++i) {
        const RollEntry &r = rows[i];
        cleared |= r.kind == RollKind::StatsCleared;
        if (!r.counted) continue;
        if (r.kind == RollKind::OneDie) oneDie += 1;
        if (r.kind == RollKind::TwoSingleDice) oneDie += 2;
        if (r.kind == RollKind::TwoDice) twoDice += 1;
    }
    if (!cleared && (after.stats.oneDieRolls - before.stats.oneDieRolls != oneDie ||
                     after.stats.twoDiceRolls - before.stats.twoDiceRolls != twoDice))
        fail("the scenario counted rolls the history does not have, or the other way round", args, e);
    return 0;
}
