// The program's texts are code page 1252 bytes; Qt speaks UTF-16.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace treva {

// Decodes code page 1252 bytes. The five bytes the code page leaves undefined
// become the C1 control characters of the same value, as the system's own
// conversion does.
QString fromCp1252(std::string_view bytes);

// Encodes back into code page 1252; a character the code page lacks becomes "?".
std::string toCp1252(const QString &text);

// A static text's line breaks ("\r", "\r\n" or "\n") as Qt's "\n".
QString displayText(std::string_view bytes);

} // namespace treva
