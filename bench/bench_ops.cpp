// One operation of the program, chosen by name, for counting its
// instructions under callgrind. Setting up and one warm-up run of the same
// operation (on a copy, so the measured run sees the same state) happen with
// collection off; only the operation itself is collected.
//
//   treva_bench_ops OP        OP: none, activation, units:R (R = -3..14),
//                             inf-action, afv-action, lookup:TABLE (ift
//                             inf-move veh-move latw ord-veh ord-inf),
//                             decode, encode, modifier-text, cli-drive-103
//   treva_bench_ops --list    the operation names, one a line
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define TREVA_COLLECT() CALLGRIND_TOGGLE_COLLECT
#else
#define TREVA_COLLECT() ((void)0)
#endif

#include "bench_setup.h"

int main(int argc, char **argv) {
    using namespace treva::bench;
    const auto ops = operations();
    if (argc != 2) {
        std::fprintf(stderr, "usage: treva_bench_ops OP | --list\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--list") == 0) {
        for (const auto &[name, op] : ops) std::printf("%s\n", name.c_str());
        return 0;
    }
    const auto it = std::find_if(ops.begin(), ops.end(), [&](const auto &op) { return op.first == argv[1]; });
    if (it == ops.end()) {
        std::fprintf(stderr, "treva_bench_ops: no operation \"%s\"\n", argv[1]);
        return 2;
    }
    Fixture warm = it->second.setUp();
    it->second.run(warm); // first-call costs (allocations, statics) stay out
    Fixture fixture = it->second.setUp();
    TREVA_COLLECT();
    it->second.run(fixture);
    TREVA_COLLECT();
    std::printf("%s\n", it->second.describe(fixture).c_str());
    return 0;
}
