// Bounded texts, as the program's fixed-size result buffers hold them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace treva {

// The byte that marks a text cut at its buffer's capacity.
inline constexpr char kTruncationMark = '\xA5';

// Appends `addition` to `text` as a buffer of `capacity` bytes (terminator
// included) would hold it: whole while it fits, else cut to capacity - 1
// characters with the character at capacity - 2 replaced by the mark.
void appendBounded(std::string &text, std::string_view addition, std::size_t capacity);

// A number put into a text by a format with one "%i" ("DR = %i").
std::string formatNumber(const char *format, int value);

// The Unicode character of a code page 1252 byte. The five bytes the code
// page leaves undefined become the C1 controls of the same value.
char16_t cp1252ToUnicode(unsigned char byte);
// The code page 1252 byte of a character, or -1 when the code page lacks it.
int unicodeToCp1252(char32_t character);

// Decodes code page 1252 bytes into UTF-8 (for JSON and terminals).
std::string cp1252ToUtf8(std::string_view bytes);

} // namespace treva
