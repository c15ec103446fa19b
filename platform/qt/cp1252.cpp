#include "platform/qt/cp1252.h"

namespace treva {
namespace {

// 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString fromCp1252(std::string_view bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b)));
    }
    return text;
}

std::string toCp1252(const QString &text) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        char out = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            out = char(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kHighControls[i] == u) out = char(0x80 + i);
        }
        bytes.push_back(out);
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
