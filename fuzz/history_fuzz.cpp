// Any bytes offered as a roll history file: read whole and in pieces alike,
// and what is read, written and read again is the same history. The end a
// roll would be added at, found from the file's first and last bytes alone,
// agrees with the whole read.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "state/roll_history.h"

using namespace treva;

namespace {

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "history_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    RollHistory history;
    std::string error;
    bool torn = false;
    const bool read = parseHistoryFile(text, history, error, &torn);
    if (!read && error.empty()) fail("refused without a reason");

    // In pieces of a size the input chooses, the same answer.
    HistoryParser parser;
    const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 17;
    bool ok = true;
    for (std::size_t at = 0; ok && at < size; at += piece) ok = parser.feed(text.substr(at, piece));
    ok = ok && parser.finish();
    if (ok != read) fail("pieces and the whole text disagree");
    if (read && (parser.history().entries != history.entries || parser.tornTail() != torn))
        fail("pieces read other rows");

    const std::size_t n = std::min(size, kHistoryEndBytes);
    const HistoryEnd end = findHistoryEnd(text.substr(0, n), text.substr(size - n), size);
    if (end.nextRow > size) fail("the next row would start past the end");
    if (!read) return 0;
    if (end.damaged) fail("a history that reads whole was judged damaged at its ends");
    if (torn != (end.nextRow < size)) fail("the ends and the whole read disagree about a cut last line");

    // Written and read again: the same rows and the same text.
    const std::string written = historyFileText(history);
    RollHistory again;
    bool tornAgain = true;
    if (!parseHistoryFile(written, again, error, &tornAgain)) fail("what was written does not read");
    if (tornAgain) fail("what was written has a cut line");
    if (again.entries != history.entries) fail("what was written reads other rows");
    if (historyFileText(again) != written) fail("written twice, the text differs");
    for (const RollEntry &e : history.entries)
        if (historyRow(e).empty()) fail("a row that shows nothing");

    // A row added where the ends say gives the rows read and one more.
    const std::string row = "2026-12-07 14:05:09\tA1 DR\t4 + 3 = 7\tcounted\t1944-06\tHold\n";
    const std::string grown =
        std::string(text.substr(0, std::size_t(end.nextRow))) + (end.needsLineEnd ? "\n" : "") + row;
    RollHistory after;
    if (!parseHistoryFile(grown, after, error)) fail("a row added where the ends say does not read");
    if (after.entries.size() != history.entries.size() + 1) fail("a row added where the ends say is not one more row");
    return 0;
}
