// Texts at the edge of the Windows interface, which speaks UTF-16. The
// program's own texts are code page 1252 bytes and go through the program's
// one code page table, so that every window shows the same characters on
// every Windows language; file names are UTF-8 inside the program.
#pragma once

#include <string>
#include <string_view>

namespace treva {

// Code page 1252 bytes as UTF-16, and back ("?" for a character the code
// page lacks).
std::wstring fromCp1252(std::string_view bytes);
std::string toCp1252(std::wstring_view text);

// A text the program writes, for a static control: its line breaks ("\r",
// "\n" or "\r\n") as the "\r\n" the control breaks lines at; and back, each
// line break as the program's lone "\r".
std::wstring displayText(std::string_view bytes);
std::wstring withLineBreaks(std::wstring_view text);
std::string programText(std::wstring_view shown);

// UTF-8 and UTF-16; a sequence that does not convert becomes U+FFFD.
std::wstring widenUtf8(std::string_view text);
std::string narrowUtf8(std::wstring_view text);

} // namespace treva
