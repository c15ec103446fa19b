// The operations the benchmarks measure, each with the state it starts from.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "actions/priority_tables.h"
#include "activation/activation.h"
#include "state/program_state.h"

namespace treva::bench {

struct Fixture {
    ProgramState program;
    std::string text;   // output buffer or input text of the operation
    int value = 0;      // DR or A1 DR the operation uses
    int64_t result = 0; // what the operation returned, when a number
    ActivationOutcome activation;
    ActionFields fields;
};

struct Operation {
    std::function<Fixture()> setUp;
    std::function<void(Fixture &)> run; // the operation alone
    // What the run gave, for a reader to check; made after the measurement.
    std::function<std::string(const Fixture &)> describe;
};

// Every operation with its name, in the order the tables list them.
std::vector<std::pair<std::string, Operation>> operations();

} // namespace treva::bench
