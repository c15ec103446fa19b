#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <vector>

#include "state/program_state.h"
#include "state/scenario.h"
#include "state/text.h"

namespace treva {
namespace {

ScenarioState freshScenario() {
    ProgramState p;
    resetScenario(p, 1);
    return p.scenario;
}

// The record is 32-bit words but for two runs of four single bytes.
bool isByteField(int at) { return (at >= 36 && at < 40) || (at >= 56 && at < 60); }
// Each word names its offset; the die counts are their offsets, and the
// totals after them agree with those counts, as a decodable record's must.
uint32_t wordAt(int at) {
    at &= ~3;
    if (at < 60) return 0xA0B0C000u | unsigned(at);
    if (at < 128) return unsigned(at);
    uint32_t rolls = 0, sum = 0;
    const bool twoDice = at == 128 || at == 136;
    for (int i = 0; i < (twoDice ? 11 : 6); ++i) {
        const uint32_t count = unsigned((twoDice ? 60 : 104) + 4 * i);
        rolls += count;
        sum += count * unsigned(i + (twoDice ? 2 : 1));
    }
    return at < 136 ? rolls : sum;
}

// A record whose every field holds a value that names its offset. The record
// in memory mirrors the file (scenario.h asserts it), so each field can be set
// through its offset.
ScenarioState patternedRecord() {
    ScenarioState s{};
    auto *raw = reinterpret_cast<unsigned char *>(&s);
    for (int at = 0; at < int(kScenarioBytes); at += 4) {
        const int32_t value = int32_t(wordAt(at));
        std::memcpy(raw + at, &value, 4);
    }
    for (int at = 0; at < int(kScenarioBytes); ++at)
        if (isByteField(at)) raw[at] = uint8_t(0x80 + at);
    return s;
}

TEST(ScenarioRecord, EveryFieldIsLittleEndianAtItsOffset) {
    const ScenarioBytes b = encodeScenario(patternedRecord());
    for (int at = 0; at < int(kScenarioBytes); ++at)
        EXPECT_EQ(b[at], isByteField(at) ? 0x80 + at : int(uint8_t(wordAt(at) >> 8 * (at % 4)))) << "byte " << at;
}

// A record in range decodes to every byte it was encoded from; one field out
// of its range refuses the record, names the field and leaves the target as
// it was.
TEST(ScenarioRecord, DecodeKeepsEveryByteAndChecksEachRangeAtBothEnds) {
    const struct {
        int offset, width;
        const char *field;
        int32_t low, high;
    } ranges[] = {{8, 4, "yearIndex", 4, 10},
                  {12, 4, "month", 1, 12},
                  {16, 4, "attitude", 0, 1},
                  {24, 4, "acNumber", 2, 5},
                  {28, 4, "nationality", 0, 7},
                  {32, 4, "msr", -2, 2},
                  {36, 1, "manualDieRoll", 0, 1},
                  {40, 4, "actionCategory", 0, 0},
                  {40, 4, "actionCategory", kVehicleMovementCategory, kOrdnanceVsInfantryCategory},
                  {52, 4, "fortificationEvenDr", 0, 1}};
    const auto put = [](ScenarioBytes &bytes, const auto &r, int32_t value) {
        for (int i = 0; i < r.width; ++i) bytes[r.offset + i] = uint8_t(uint32_t(value) >> (8 * i));
    };
    ScenarioBytes good = encodeScenario(patternedRecord());
    for (const auto &r : ranges) put(good, r, r.high);
    for (const auto &r : ranges) {
        for (int32_t value : {r.low - 1, r.low, r.high, r.high + 1}) {
            ScenarioBytes bytes = good;
            put(bytes, r, value);
            ScenarioState out{};
            out.nationality = 5;
            ScenarioError error;
            const bool inRange = value >= r.low && value <= r.high;
            ASSERT_EQ(decodeScenario(bytes.data(), bytes.size(), out, error), inRange) << r.field << " " << value;
            if (inRange) {
                EXPECT_EQ(encodeScenario(out), bytes);
            } else {
                EXPECT_EQ(error.field, r.field);
                EXPECT_EQ(error.message.rfind("the ", 0), 0u) << error.message; // in the player's words
                EXPECT_EQ(out.nationality, 5);
            }
        }
    }
    for (std::size_t size : {0, 143, 145}) {
        std::vector<uint8_t> data(good.begin(), good.end());
        data.resize(size);
        ScenarioState out{};
        ScenarioError error;
        EXPECT_FALSE(decodeScenario(data.data(), data.size(), out, error));
        EXPECT_EQ(error.field, "size");
        EXPECT_NE(error.message.find(std::to_string(size)), std::string::npos) << error.message;
    }
}

TEST(ScenarioRecord, RefusalsSpeakThePlayersWords) {
    const auto refusal = [](int offset, int32_t value) {
        ScenarioBytes bytes = encodeScenario(freshScenario());
        for (int i = 0; i < 4; ++i) bytes[offset + i] = uint8_t(uint32_t(value) >> (8 * i));
        ScenarioState out{};
        ScenarioError error;
        EXPECT_FALSE(decodeScenario(bytes.data(), bytes.size(), out, error));
        return error.message;
    };
    EXPECT_EQ(refusal(12, 14), "the month is 14; a scenario's month is 1 to 12");
    EXPECT_EQ(refusal(8, 20), "the year is 1955; a scenario's year is 1939 to 1945");
    EXPECT_EQ(refusal(16, 3), "the attitude is 3; a scenario's attitude is 0 (Hold) or 1 (Advance)");
}

// The die statistics must agree with themselves: one flipped bit makes a
// count negative, and any count that does not add up to the rolls and their
// sum is damage too. Every reader of the counts relies on it.
TEST(ScenarioRecord, DieStatisticsThatContradictThemselvesAreRefused) {
    ScenarioState counted = freshScenario();
    uint32_t generator = 5;
    for (int i = 0; i < 40; ++i) throwDice(generator, counted.stats, 1 + i % 2, 6);
    const ScenarioBytes good = encodeScenario(counted);
    ScenarioState out{};
    ScenarioError error;
    ASSERT_TRUE(decodeScenario(good.data(), good.size(), out, error)) << error.message;

    const auto refused = [&](const char *why, const std::function<void(ScenarioState &)> &damage) {
        ScenarioState bad = counted;
        damage(bad);
        const ScenarioBytes bytes = encodeScenario(bad);
        ScenarioState target = counted;
        EXPECT_FALSE(decodeScenario(bytes.data(), bytes.size(), target, error)) << why;
        EXPECT_EQ(encodeScenario(target), good) << why;
        return error;
    };
    ScenarioBytes flipped = good;
    flipped[63] ^= 0x80; // the top bit of the count of 2s
    EXPECT_FALSE(decodeScenario(flipped.data(), flipped.size(), out, error));
    EXPECT_EQ(error.field, "twoDiceCounts");
    EXPECT_EQ(error.message.rfind("the count of DR 2 rolls is -", 0), 0u) << error.message;
    EXPECT_EQ(refused("a count below 0", [](ScenarioState &s) { s.stats.oneDieCounts[3] = -1; }).message,
              "the count of dr 4 rolls is -1; a count is never below 0");
    const ScenarioError rolls = refused("one more roll", [](ScenarioState &s) { s.stats.twoDiceRolls += 1; });
    EXPECT_EQ(rolls.field, "twoDiceRolls");
    EXPECT_NE(rolls.message.find("but the counts of each DR add up to"), std::string::npos) << rolls.message;
    EXPECT_EQ(refused("a sum off by one", [](ScenarioState &s) { s.stats.oneDieSum -= 1; }).field, "oneDieSum");
    EXPECT_EQ(refused("a count moved", [](ScenarioState &s) { --s.stats.twoDiceCounts[5], ++s.stats.twoDiceCounts[6]; })
                  .field,
              "twoDiceSum");
    // Counts so large that their totals pass 32 bits cannot be matched.
    EXPECT_EQ(refused("totals past 32 bits",
                      [](ScenarioState &s) {
                          for (int32_t &c : s.stats.twoDiceCounts) c = INT32_MAX;
                      })
                  .field,
              "twoDiceRolls");
}

TEST(ScenarioText, SummaryAndFileName) {
    ScenarioState s = freshScenario();
    s.nationality = 6;
    s.yearIndex = 10;
    s.month = 12;
    s.attitude = 1;
    s.msr = -2;
    const std::string name = nationalityNames[6];
    EXPECT_EQ(formatScenarioSummary(s), name + "\rDecember, 1945\rAdvance Attitude\rMSR = -2");
    EXPECT_EQ(formatScenarioFileName(s), name + " (12-45)");
    s.attitude = 0;
    s.month = 1;
    EXPECT_NE(formatScenarioSummary(s).find("\rJanuary, 1945\rHold Attitude\r"), std::string::npos);
    EXPECT_EQ(formatScenarioFileName(s), name + " (1-45)") << "month and year unpadded";
}

// British (ETO) scenarios start in June 1944, British (Italy) ones in June
// 1943; other nationalities have no floor.
TEST(ScenarioText, BritishDatesAreRaisedToTheirFloor) {
    const struct {
        int nationality, year, month, wantYear, wantMonth;
    } cases[] = {{6, 9, 5, 9, 6},  {6, 8, 7, 9, 6}, {6, 9, 6, 9, 6}, {6, 9, 7, 9, 7},
                 {7, 7, 12, 8, 6}, {7, 8, 5, 8, 6}, {7, 8, 6, 8, 6}, {5, 4, 1, 4, 1}};
    for (const auto &c : cases) {
        ScenarioState s = freshScenario();
        s.nationality = c.nationality;
        s.yearIndex = c.year;
        s.month = c.month;
        applyNationalityDateFloor(s);
        EXPECT_EQ(s.yearIndex * 100 + s.month, c.wantYear * 100 + c.wantMonth)
            << c.nationality << " " << c.year << "/" << c.month;
    }
}

TEST(ChangeTracking, OnlyADifferenceFromTheSnapshotMarksAChange) {
    ProgramState p;
    p.scenario.actionCategory = kInfantryMovementCategory;
    p.scenario.stats.oneDieRolls = 8;
    p.modifiers.levelModifier = -3;
    resetScenario(p, 7);
    EXPECT_EQ(p.scenario.actionCategory, kInfantryMovementCategory)
        << "a new scenario keeps the Actions window's category";
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 0);
    EXPECT_EQ(p.modifiers.levelModifier, 0);
    EXPECT_EQ(p.generator, 7u);
    ScenarioState loaded = p.scenario;
    loaded.changed = 1;
    loaded.acNumber = 5;
    adoptLoadedScenario(p, loaded);
    noteScenarioChange(p);
    EXPECT_EQ(p.scenario.changed, 0) << "a scenario as loaded is unchanged";
    rollDice(p, 1, 6, "Single Die");
    noteScenarioChange(p);
    EXPECT_EQ(p.scenario.changed, 1) << "the statistics belong to the scenario";
    p.scenario.changed = 0; // what a save does; the snapshot keeps changed = 1
    noteScenarioChange(p);
    EXPECT_EQ(p.scenario.changed, 1);
}

TEST(AppendBounded, WholeWhileItFitsElseCutWithTheMark) {
    const std::string mark(1, kTruncationMark);
    const struct {
        std::string text, addition;
        std::size_t capacity;
        std::string want;
    } cases[] = {
        {"abc", "def", 7, "abcdef"},           // capacity - 1 characters still fit
        {"abcdef", "", 7, "abcdef"},           // nothing added, nothing cut
        {"abcdef", "g", 7, "abcde" + mark},    // one more is cut
        {"ab" + mark, "more", 4, "ab" + mark}, // a cut text stays cut
        {"xy", "qqqqqqqqqq", 2, mark},         // only the mark fits
        {"xy", "q", 1, ""},                    // no room even for the mark
        {"xy", "q", 0, "xy"},                  // no buffer: nothing happens
        {"", std::string(600, 'q'), 500, std::string(498, 'q') + mark},
    };
    for (const auto &c : cases) {
        std::string text = c.text;
        appendBounded(text, c.addition, c.capacity);
        EXPECT_EQ(text, c.want) << "capacity " << c.capacity << ", adding " << c.addition.size();
    }
}

TEST(Cp1252, EveryByteComesBackFromItsCharacter) {
    // 0x92 and 0xD5 both show U+2019, which reads back as the tables' 0xD5.
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(unicodeToCp1252(cp1252ToUnicode(byte)), byte == 0x92 ? 0xD5 : byte) << byte;
    EXPECT_EQ(cp1252ToUnicode(0x81), u'\u0081') << "undefined bytes are C1 controls";
    EXPECT_EQ(unicodeToCp1252(U'\u0082'), -1) << "0x82 is a quotation mark, not the control";
    EXPECT_EQ(unicodeToCp1252(U'\u2264'), -1);
    // UTF-8 of one, two and three bytes.
    EXPECT_EQ(cp1252ToUtf8("a\r\x81\x80\x99"), "a\r\u0081\u20AC\u2122");
    // The module's tables were typed where these bytes are other signs.
    EXPECT_EQ(cp1252ToUtf8("If \xB3 3, firer\xD5s"), "If \u2265 3, firer\u2019s");
}

TEST(Cp1252, UTF8ComesBackAsTheBytesItWasMadeFrom) {
    std::string every;
    for (int byte = 0; byte < 256; ++byte) every += static_cast<char>(byte);
    std::string want = every;
    want[0x92] = '\xD5';
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(every)), want);
    // A character the code page lacks (a four-byte one too), then what
    // starts no whole character: a stray continuation byte, an overlong
    // lead, a sequence cut short.
    EXPECT_EQ(utf8ToCp1252("\u2264 \U0001F3B2 ok"), "? ? ok");
    EXPECT_EQ(utf8ToCp1252("a\x80"
                           "b\xC0\xAF"
                           "c\xE2\x82"),
              "a?b??c??");
}

} // namespace
} // namespace treva
