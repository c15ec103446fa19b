// The Special window's modifier boxes accept any typed text; the value must
// be what a plain reading of the box gives, never an overflow.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ui/setup_window.h"

namespace {

// Read as the box is meant to be read: the first nine characters, white
// space skipped, one optional sign, then decimal digits.
long long reference(std::string_view text) {
    if (text.size() > 9) text = text.substr(0, 9);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v' ||
                               text[i] == '\f' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
    return negative ? -value : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const long long expected = reference(text);
    const long long got = treva::parseModifierText(text);
    if (got != expected) {
        std::fprintf(stderr, "modifier_text_fuzz: \"%.*s\" reads %lld, expected %lld\n", int(size > 64 ? 64 : size),
                     text.data(), got, expected);
        std::abort();
    }
    return 0;
}
