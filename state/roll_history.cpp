#include "state/roll_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "state/scenario.h"
#include "state/text.h"

namespace treva {

bool RollEntry::operator==(const RollEntry &o) const {
    return std::memcmp(time, o.time, sizeof time) == 0 && purpose == o.purpose && kind == o.kind &&
           dice[0] == o.dice[0] && dice[1] == o.dice[1] && counted == o.counted && pick == o.pick &&
           yearIndex == o.yearIndex && month == o.month && attitude == o.attitude;
}

std::string rollText(const RollEntry &e) {
    char text[40];
    switch (e.kind) {
    case RollKind::OneDie: std::snprintf(text, sizeof text, "%d", e.dice[0]); break;
    case RollKind::TwoDice:
        std::snprintf(text, sizeof text, "%d + %d = %d", e.dice[0], e.dice[1], e.dice[0] + e.dice[1]);
        break;
    case RollKind::TwoSingleDice: std::snprintf(text, sizeof text, "%d, %d", e.dice[0], e.dice[1]); break;
    case RollKind::Pick: return e.pick;
    case RollKind::StatsCleared: return "";
    }
    return text;
}

namespace {

const char *attitudeWord(int32_t attitude) { return attitude == 0 ? "Hold" : "Advance"; }

std::string dateField(const RollEntry &e) {
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d", 1935LL + e.yearIndex, int(e.month));
    return text;
}

} // namespace

std::string scenarioDateText(const RollEntry &e) {
    const char *month = e.month >= 1 && e.month <= 12 ? monthNames[e.month] : "?";
    char text[64];
    std::snprintf(text, sizeof text, "%s %lld, %s", month, 1935LL + e.yearIndex, attitudeWord(e.attitude));
    return text;
}

std::string historyRow(const RollEntry &e) {
    char text[160];
    if (e.kind == RollKind::StatsCleared) {
        std::snprintf(text, sizeof text, "%s  %s", e.time, e.purpose.c_str());
        return text;
    }
    std::snprintf(text, sizeof text, "%s  %-16s %-11s %s%s", e.time, e.purpose.c_str(), rollText(e).c_str(),
                  scenarioDateText(e).c_str(), e.counted || e.kind == RollKind::Pick ? "" : "  (not counted)");
    return text;
}

CountedRolls countedSinceCleared(const RollHistory &history) {
    CountedRolls n;
    for (const RollEntry &e : history.entries) {
        if (e.kind == RollKind::StatsCleared) n = {};
        if (!e.counted) continue;
        if (e.kind == RollKind::OneDie) n.oneDie += 1;
        if (e.kind == RollKind::TwoSingleDice) n.oneDie += 2;
        if (e.kind == RollKind::TwoDice) n.twoDice += 1;
    }
    return n;
}

namespace {

constexpr char kHeader[] = "TREVA roll history 1";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t at; (at = line.find(separator, start)) != std::string_view::npos; start = at + 1)
        fields.push_back(line.substr(start, at - start));
    fields.push_back(line.substr(start));
    return fields;
}

bool digits(std::string_view text, std::size_t count) {
    if (text.size() != count) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int number(std::string_view text) {
    int n = 0;
    for (const char c : text) n = n * 10 + (c - '0');
    return n;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A time the clock can show: YYYY-MM-DD HH:MM:SS.
bool parseTime(std::string_view text, RollEntry &e) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return false;
    for (const std::size_t at : {0u, 5u, 8u, 11u, 14u, 17u})
        if (!digits(text.substr(at, at == 0 ? 4 : 2), at == 0 ? 4 : 2)) return false;
    const int year = number(text.substr(0, 4)), month = number(text.substr(5, 2)), day = number(text.substr(8, 2));
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return false;
    // A leap second shows as :60.
    if (number(text.substr(11, 2)) > 23 || number(text.substr(14, 2)) > 59 || number(text.substr(17, 2)) > 60)
        return false;
    std::memcpy(e.time, text.data(), 19);
    e.time[19] = '\0';
    return true;
}

bool parseDie(std::string_view text, uint8_t &die) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '6') return false;
    die = uint8_t(text[0] - '0');
    return true;
}

bool printable(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

// The purpose says what its kind of roll is; a pick's text is any short word.
bool parseRoll(std::string_view text, RollEntry &e) {
    if (text == "cleared") {
        e.kind = RollKind::StatsCleared;
        return true;
    }
    if (parseDie(text, e.dice[0])) {
        e.kind = RollKind::OneDie;
        return true;
    }
    if (text.size() >= 9 && text.substr(1, 3) == " + " && text.substr(5, 3) == " = ") {
        e.kind = RollKind::TwoDice;
        return parseDie(text.substr(0, 1), e.dice[0]) && parseDie(text.substr(4, 1), e.dice[1]) &&
               text.substr(8) == std::to_string(e.dice[0] + e.dice[1]);
    }
    if (text.size() == 4 && text.substr(1, 2) == ", ") {
        e.kind = RollKind::TwoSingleDice;
        return parseDie(text.substr(0, 1), e.dice[0]) && parseDie(text.substr(3, 1), e.dice[1]);
    }
    if (text.size() > 5 && text.substr(0, 5) == "pick ") {
        e.kind = RollKind::Pick;
        e.pick = text.substr(5);
        return e.pick.size() <= 8 && printable(e.pick);
    }
    return false;
}

// The purpose as the program keeps it (code page 1252). Files are written in
// UTF-8; one written by an older TREVA, or by an editor in the code page, is
// read in the code page. Either way through its characters, so that a
// purpose reads the same after it is written again.
std::string purposeText(std::string_view field) {
    return utf8ToCp1252(isUtf8(field) ? std::string(field) : cp1252ToUtf8(field));
}

} // namespace

bool parseHistoryRow(std::string_view line, RollEntry &e) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1); // edited on Windows
    const std::vector<std::string_view> f = split(line, '\t');
    if (f.size() != 6 || !parseTime(f[0], e)) return false;
    e.purpose = purposeText(f[1]);
    if (e.purpose.empty() || e.purpose.size() > 40 || !printable(e.purpose)) return false;
    if (!parseRoll(f[2], e)) return false;
    if (f[3] != "counted" && f[3] != "not counted") return false;
    e.counted = f[3] == "counted";
    // Only dice are counted, and a mark is none.
    if (e.counted && (e.kind == RollKind::Pick || e.kind == RollKind::StatsCleared)) return false;
    // The scenario's date: only dates a scenario can have.
    if (f[4].size() != 7 || !digits(f[4].substr(0, 4), 4) || f[4][4] != '-' || !digits(f[4].substr(5), 2)) return false;
    e.yearIndex = number(f[4].substr(0, 4)) - 1935;
    e.month = number(f[4].substr(5));
    if (e.yearIndex < kFirstYearIndex || e.yearIndex > kLastYearIndex || e.month < 1 || e.month > 12) return false;
    if (f[5] != "Hold" && f[5] != "Advance") return false;
    e.attitude = f[5] == "Hold" ? 0 : 1;
    return true;
}

std::string historyRowsText(const std::vector<RollEntry> &entries, std::size_t from) {
    std::string text;
    text.reserve((entries.size() - std::min(from, entries.size())) * 64);
    for (std::size_t i = from; i < entries.size(); ++i) {
        const RollEntry &e = entries[i];
        text += e.time;
        text += '\t';
        text += cp1252ToUtf8(e.purpose);
        text += '\t';
        if (e.kind == RollKind::StatsCleared)
            text += "cleared";
        else if (e.kind == RollKind::Pick)
            text += "pick " + e.pick;
        else
            text += rollText(e);
        text += e.counted ? "\tcounted\t" : "\tnot counted\t";
        text += dateField(e);
        text += '\t';
        text += attitudeWord(e.attitude);
        text += '\n';
    }
    return text;
}

std::string historyFileText(const RollHistory &history) {
    return std::string(kHeader) + "\n" + historyRowsText(history.entries);
}

bool HistoryParser::line(std::string_view text, bool ended) {
    ++lineNumber_;
    if (text.size() > kLongestHistoryLine) {
        error_ = "line " + std::to_string(lineNumber_) + " is damaged";
        return !(failed_ = true);
    }
    if (lineNumber_ == 1) {
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text == kHeader) return true;
        error_ = "it is not a TREVA roll history";
        return !(failed_ = true);
    }
    if (text.empty() || text == "\r") return true;
    RollEntry entry;
    if (!parseHistoryRow(text, entry)) {
        if (!ended) {
            torn_ = true; // cut short as it was written: set aside
            return true;
        }
        error_ = "line " + std::to_string(lineNumber_) + " is damaged";
        return !(failed_ = true);
    }
    history_.entries.push_back(std::move(entry));
    return true;
}

bool HistoryParser::feed(std::string_view piece) {
    if (failed_) return false;
    if (!started_) {
        // Windows editors start a UTF-8 file with a byte-order mark.
        const std::size_t take = std::min(piece.size(), kByteOrderMark.size() - pending_.size());
        pending_.append(piece.substr(0, take));
        piece.remove_prefix(take);
        if (pending_.size() < kByteOrderMark.size() && kByteOrderMark.substr(0, pending_.size()) == pending_)
            return true;
        started_ = true;
        const std::string first = std::move(pending_);
        pending_.clear();
        if (first != kByteOrderMark && !feed(first)) return false;
    }
    while (!piece.empty()) {
        const std::size_t end = piece.find('\n');
        if (end == std::string_view::npos) {
            pending_.append(piece);
            break;
        }
        if (pending_.empty()) {
            if (!line(piece.substr(0, end), true)) return false;
        } else {
            pending_.append(piece.substr(0, end));
            if (!line(pending_, true)) return false;
            pending_.clear();
        }
        piece.remove_prefix(end + 1);
    }
    // No row is this long: do not wait for its end.
    if (pending_.size() > kLongestHistoryLine) return line(pending_, true);
    return true;
}

bool HistoryParser::finish() {
    if (failed_) return false;
    started_ = true;
    if (!pending_.empty() && !line(pending_, false)) return false;
    pending_.clear();
    if (lineNumber_ == 0) {
        error_ = "it is empty";
        return !(failed_ = true);
    }
    return true;
}

bool parseHistoryFile(std::string_view text, RollHistory &out, std::string &error, bool *torn) {
    HistoryParser parser;
    if (!parser.feed(text) || !parser.finish()) {
        error = parser.error();
        return false;
    }
    if (torn) *torn = parser.tornTail();
    RollHistory &read = parser.history();
    read.version = out.version + 1;
    read.generation = out.generation + 1;
    out = std::move(read);
    return true;
}

HistoryEnd findHistoryEnd(std::string_view head, std::string_view tail, uint64_t size) {
    HistoryEnd end;
    end.nextRow = size;
    const auto damaged = [&end](std::string error) {
        end.damaged = true;
        end.error = std::move(error);
        return end;
    };
    if (size == 0) return damaged("it is empty");
    // The header line.
    std::size_t skip = head.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
    const std::size_t headerEnd = head.find('\n', skip);
    std::string_view header =
        head.substr(skip, headerEnd == std::string_view::npos ? head.size() - skip : headerEnd - skip);
    if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
    if (header != kHeader) return damaged("it is not a TREVA roll history");
    const uint64_t firstRow = headerEnd == std::string_view::npos ? size : headerEnd + 1;
    const uint64_t tailStart = size - tail.size();
    if (firstRow >= size) {
        end.needsLineEnd = headerEnd == std::string_view::npos;
        return end;
    }
    if (tail.empty()) return damaged("its last line is damaged");
    // The last line: whole, a whole row without its line end, or cut short.
    const auto lineStart = [&](std::size_t endAt) -> std::optional<uint64_t> {
        const std::size_t at = endAt == 0 ? std::string_view::npos : tail.rfind('\n', endAt - 1);
        if (at != std::string_view::npos) return tailStart + at + 1;
        if (tailStart <= firstRow) return firstRow;
        return std::nullopt; // longer than any row
    };
    std::size_t lastEnd = tail.size();
    if (tail.back() != '\n') {
        const std::optional<uint64_t> start = lineStart(tail.size());
        if (!start) return damaged("its last line is damaged");
        const std::string_view last = tail.substr(std::size_t(*start - tailStart));
        RollEntry entry;
        if (last == "\r" || parseHistoryRow(last, entry)) {
            end.needsLineEnd = true;
            return end;
        }
        end.nextRow = *start; // cut short: set aside
        if (end.nextRow <= firstRow) return end;
        lastEnd = std::size_t(end.nextRow - tailStart) - 1;
    } else {
        lastEnd = tail.size() - 1;
    }
    const std::optional<uint64_t> start = lineStart(lastEnd);
    if (!start) return damaged("its last line is damaged");
    RollEntry entry;
    const std::string_view last =
        tail.substr(std::size_t(*start - tailStart), lastEnd - std::size_t(*start - tailStart));
    if (!last.empty() && last != "\r" && !parseHistoryRow(last, entry)) return damaged("its last line is damaged");
    return end;
}

} // namespace treva
