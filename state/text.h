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
// page leaves undefined become the C1 controls of the same value, and the two
// bytes the module's tables use for other signs show those signs: 0xB3 is
// "greater or equal" (U+2265) and 0xD5 the apostrophe U+2019.
char16_t cp1252ToUnicode(unsigned char byte);
// The byte of a character as the program's texts hold it, or -1 when there is
// none. U+2019 is 0xD5, the tables' byte.
int unicodeToCp1252(char32_t character);

// Whether a key types this byte's character into an edit box: not the
// control characters (Enter and Tab do other things, the code page's
// undefined bytes are controls too).
bool typedByKeys(unsigned char byte);

// Decodes code page 1252 bytes into UTF-8 (for JSON and terminals).
std::string cp1252ToUtf8(std::string_view bytes);
// Encodes UTF-8 (a web page's texts) back into code page 1252 bytes. A
// character the code page lacks, and a byte that starts no whole character,
// becomes "?".
std::string utf8ToCp1252(std::string_view utf8);
// Whether the bytes are UTF-8 through and through (an ASCII text is).
bool isUtf8(std::string_view bytes);

} // namespace treva
