#include "bench_setup.h"

#include <cstdio>
#include <sstream>

#include "actions/action_roll.h"
#include "activation/units.h"
#include "cli/cli.h"
#include "resources/ids/actions.h"
#include "state/scenario.h"
#include "ui/setup_window.h"

namespace treva::bench {
namespace {

// The scenario a player starts from: January 1939, Hold, MSR 0.
Fixture fresh(uint32_t seed) {
    Fixture f;
    resetScenario(f.program, seed);
    return f;
}

std::string firstLine(const std::string &text) { return text.substr(0, text.find('\r')); }

// The first seed whose activation roll activates the unit by the dice (not
// automatically), so that the measured roll includes the A1 DR and its units.
uint32_t seedThatActivates() {
    for (uint32_t seed = 1;; ++seed) {
        Fixture f = fresh(seed);
        const ActivationOutcome o = rollActivation(f.program);
        if (o.status == "S? Activated" && o.a1 && !o.a1->empty()) return seed;
    }
}

using Lookup = void (*)(ProgramState &, int, ActionFields &);

Operation lookup(Lookup function) {
    return {[] {
                Fixture f = fresh(1);
                f.value = 7; // the most frequent DR
                return f;
            },
            [function](Fixture &f) { function(f.program, f.value, f.fields); },
            [](const Fixture &f) { return "DR 7: " + firstLine(f.fields.results.value_or("")); }};
}

std::string dice(const Fixture &f) { return f.fields.dice.value_or(""); }

} // namespace

std::vector<std::pair<std::string, Operation>> operations() {
    std::vector<std::pair<std::string, Operation>> ops;
    ops.emplace_back("none", Operation{[] { return fresh(1); }, [](Fixture &) {},
                                       [](const Fixture &) { return std::string("nothing"); }});

    const uint32_t activating = seedThatActivates();
    ops.emplace_back("activation", Operation{[activating] { return fresh(activating); },
                                             [](Fixture &f) { f.activation = rollActivation(f.program); },
                                             [](const Fixture &f) {
                                                 return "status \"" + firstLine(f.activation.status.value_or("")) +
                                                        "\", units \"" + firstLine(f.program.unitsText) + "\"";
                                             }});

    // A1 results -3..14, chosen through the A1 modifier with the A1 DR 7.
    for (int a1 = -3; a1 <= 14; ++a1) {
        char name[16];
        std::snprintf(name, sizeof name, "units:%d", a1);
        ops.emplace_back(
            name,
            Operation{[a1] {
                          Fixture f = fresh(1);
                          f.value = 7;
                          f.program.scenario.a1Modifier = a1 - 7;
                          f.text.reserve(kUnitsTextCapacity);
                          return f;
                      },
                      [](Fixture &f) { f.result = generateUnits(f.program, f.value, f.text, kUnitsTextCapacity); },
                      [](const Fixture &f) {
                          return "A1 " + std::to_string(f.value + f.result) + ": " + firstLine(f.text);
                      }});
    }

    ops.emplace_back("inf-action", Operation{[] { return fresh(1); },
                                             [](Fixture &f) { f.fields = infantryAction(f.program); }, dice});
    ops.emplace_back("afv-action",
                     Operation{[] { return fresh(1); }, [](Fixture &f) { f.fields = vehicleAction(f.program); }, dice});

    ops.emplace_back("lookup:ift", lookup(iftAttackLookup));
    ops.emplace_back("lookup:inf-move", lookup(infantryMovementLookup));
    ops.emplace_back("lookup:veh-move", lookup(vehicleMovementLookup));
    ops.emplace_back("lookup:latw", lookup(latwLookup));
    ops.emplace_back("lookup:ord-veh", lookup(ordnanceVsVehicleLookup));
    ops.emplace_back("lookup:ord-inf", lookup(ordnanceVsInfantryLookup));

    ops.emplace_back("decode",
                     Operation{[] {
                                   Fixture f = fresh(1);
                                   const ScenarioBytes bytes = encodeScenario(f.program.scenario);
                                   f.text.assign(bytes.begin(), bytes.end());
                                   return f;
                               },
                               [](Fixture &f) {
                                   ScenarioError error;
                                   f.result = decodeScenario(reinterpret_cast<const uint8_t *>(f.text.data()),
                                                             f.text.size(), f.program.snapshot, error);
                               },
                               [](const Fixture &f) { return std::string(f.result ? "accepted" : "refused"); }});
    ops.emplace_back("encode", Operation{[] { return fresh(1); },
                                         [](Fixture &f) { f.result = encodeScenario(f.program.scenario)[0]; },
                                         [](const Fixture &) { return std::string("144 bytes"); }});
    ops.emplace_back("modifier-text", Operation{[] {
                                                    Fixture f = fresh(1);
                                                    f.text = "  -12";
                                                    return f;
                                                },
                                                [](Fixture &f) { f.result = parseModifierText(f.text); },
                                                [](const Fixture &f) { return std::to_string(f.result); }});
    // A whole treva-cli invocation inside the process: windows, tokens, JSON.
    ops.emplace_back(
        "cli-drive-103",
        Operation{
            [] { return fresh(1); },
            [](Fixture &f) {
                std::ostringstream out, err;
                f.value = runCli({"--seed", "1", "drive", "103", std::to_string(actions_ids::kInfAction)}, out, err);
                f.result = int64_t(out.str().size());
            },
            [](const Fixture &f) {
                return "status " + std::to_string(f.value) + ", " + std::to_string(f.result) + " bytes of JSON";
            }});
    return ops;
}

} // namespace treva::bench
