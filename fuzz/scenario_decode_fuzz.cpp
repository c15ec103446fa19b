// Any bytes offered as a scenario file: a record is either refused with a
// reason, or accepted and then safe to show, to save unchanged, to draw units
// from and to play in every tool window.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "activation/activation.h"
#include "activation/units.h"
#include "platform/headless/headless_layer.h"
#include "resources/dialogs.h"
#include "state/program_state.h"
#include "state/scenario.h"
#include "ui/app.h"
#include "ui/frame.h"

using namespace treva;

namespace {

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "scenario_decode_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    ScenarioState scenario{};
    ScenarioError error;
    if (!decodeScenario(data, size, scenario, error)) {
        if (error.field.empty() || error.message.empty()) fail("refused without naming the field and the problem");
        return 0;
    }
    if (size != kScenarioBytes) fail("accepted a record that is not 144 bytes");

    // Saving a scenario that was read must give the file back byte for byte.
    const ScenarioBytes again = encodeScenario(scenario);
    if (std::memcmp(again.data(), data, kScenarioBytes) != 0) fail("encoding does not give the same bytes back");

    const std::string summary = formatScenarioSummary(scenario);
    const std::string fileName = formatScenarioFileName(scenario);
    if (summary.empty() || fileName.empty()) fail("empty summary or file name");

    // Units for every A1 DR the dice can show, then a whole activation roll,
    // with a generator seeded from the record so that runs repeat.
    ProgramState program;
    program.scenario = scenario;
    uint32_t seed = 0;
    for (std::size_t i = 0; i < size; ++i) seed = seed * 31u + data[i];
    seedGenerator(program, seed);
    std::string units;
    for (int a1Dr = 2; a1Dr <= 12; ++a1Dr) {
        generateUnits(program, a1Dr, units, kUnitsTextCapacity);
        if (units.size() >= kUnitsTextCapacity) fail("units text beyond its buffer");
    }
    const ActivationOutcome outcome = rollActivation(program);
    if (program.unitsText.size() >= kUnitsTextCapacity) fail("remembered units text beyond its buffer");
    (void)outcome;
    (void)activationConditionsText(scenario.nationality);

    // The record as a loaded file: every tool window opened on it and each of
    // its controls clicked once, in template order.
    HeadlessLayer ui;
    App app(ui);
    resetScenario(app.state, seed);
    adoptLoadedScenario(app.state, scenario);
    for (int templateId :
         {kActivationDialog, kSetupDialog, kActionsDialog, kDieStatsDialog, kAdvanceDialog, kRandomTablesDialog}) {
        frameCommand(app, commandForTemplate(templateId));
        const WindowId window = ui.newestWindow(templateId);
        if (window == kNoWindow) fail("a tool window did not open");
        std::vector<int> ids;
        for (const HeadlessControl &c : ui.window(window)->controls)
            if (c.source->id != kNoId) ids.push_back(c.source->id);
        for (int id : ids) ui.click(window, id);
    }
    return 0;
}
