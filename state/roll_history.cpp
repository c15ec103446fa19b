#include "state/roll_history.h"

#include <cstdio>
#include <cstring>

#include "state/scenario.h"

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

bool parseTime(std::string_view text, RollEntry &e) {
    // YYYY-MM-DD HH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return false;
    for (const std::size_t at : {0u, 5u, 8u, 11u, 14u, 17u})
        if (!digits(text.substr(at, at == 0 ? 4 : 2), at == 0 ? 4 : 2)) return false;
    std::memcpy(e.time, text.data(), 19);
    e.time[19] = '\0';
    return true;
}

bool parseDie(std::string_view text, uint8_t &die) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '6') return false;
    die = uint8_t(text[0] - '0');
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
        return e.pick.size() <= 8;
    }
    return false;
}

bool printable(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

bool parseLine(std::string_view line, RollEntry &e) {
    const std::vector<std::string_view> f = split(line, '\t');
    if (f.size() != 6 || !parseTime(f[0], e)) return false;
    if (f[1].empty() || f[1].size() > 40 || !printable(f[1])) return false;
    e.purpose = f[1];
    if (!parseRoll(f[2], e)) return false;
    if (f[3] != "counted" && f[3] != "not counted") return false;
    e.counted = f[3] == "counted";
    // Only dice are counted, and a mark is none.
    if (e.counted && (e.kind == RollKind::Pick || e.kind == RollKind::StatsCleared)) return false;
    if (f[4].size() != 7 || !digits(f[4].substr(0, 4), 4) || f[4][4] != '-' || !digits(f[4].substr(5), 2)) return false;
    e.yearIndex = number(f[4].substr(0, 4)) - 1935;
    e.month = number(f[4].substr(5));
    if (e.month > 12) return false;
    if (f[5] != "Hold" && f[5] != "Advance") return false;
    e.attitude = f[5] == "Hold" ? 0 : 1;
    return true;
}

} // namespace

std::string historyFileText(const RollHistory &history) {
    std::string text = std::string(kHeader) + "\n";
    text.reserve(history.entries.size() * 64);
    for (const RollEntry &e : history.entries) {
        text += e.time;
        text += '\t';
        text += e.purpose;
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

bool parseHistoryFile(std::string_view text, RollHistory &out, std::string &error) {
    if (text.size() > kHistoryFileLimit) {
        error = "it is larger than " + std::to_string(kHistoryFileLimit >> 20) + " MB";
        return false;
    }
    RollHistory history;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1); // edited on Windows
        if (lineNumber == 1) {
            if (line != kHeader) {
                error = "it is not a TREVA roll history";
                return false;
            }
            continue;
        }
        if (line.empty()) continue;
        RollEntry entry;
        if (!parseLine(line, entry)) {
            error = "line " + std::to_string(lineNumber) + " is damaged";
            return false;
        }
        history.entries.push_back(std::move(entry));
    }
    if (lineNumber == 0) {
        error = "it is empty";
        return false;
    }
    history.version = out.version + 1;
    out = std::move(history);
    return true;
}

} // namespace treva
