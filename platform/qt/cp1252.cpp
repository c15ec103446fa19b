#include "platform/qt/cp1252.h"

#include "state/text.h"

namespace treva {

QString fromCp1252(std::string_view bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (const char c : bytes) text.append(QChar(cp1252ToUnicode(static_cast<unsigned char>(c))));
    return text;
}

std::string toCp1252(const QString &text) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (const QChar ch : text) {
        const int byte = unicodeToCp1252(ch.unicode());
        bytes.push_back(byte < 0 ? '?' : char(byte));
    }
    return bytes;
}

QString displayText(std::string_view bytes) {
    QString text = fromCp1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    return text;
}

} // namespace treva
