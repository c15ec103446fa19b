#include <gtest/gtest.h>

#include "state/program_state.h"
#include "state/scenario.h"
#include "state/text.h"

namespace treva {
namespace {

ProgramState freshProgram() {
    ProgramState p;
    resetScenario(p, 1);
    return p;
}

TEST(ScenarioRecord, FreshRecordBytes) {
    const ProgramState p = freshProgram();
    const ScenarioBytes bytes = encodeScenario(p.scenario);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        int expected = 0;
        if (i == 0 || i == 12 || i == 28) expected = 1;
        if (i == 8) expected = 4;
        if (i == 24) expected = 3;
        EXPECT_EQ(bytes[i], expected) << "offset " << i;
    }
}

TEST(ScenarioRecord, EncodingIsLittleEndianWhateverTheHost) {
    ScenarioState s{};
    s.a1Modifier = 0x01020304;
    s.a5Modifier = -2;
    s.stats.oneDieSum = 0x7F000001;
    const ScenarioBytes b = encodeScenario(s);
    EXPECT_EQ(b[44], 0x04);
    EXPECT_EQ(b[45], 0x03);
    EXPECT_EQ(b[46], 0x02);
    EXPECT_EQ(b[47], 0x01);
    EXPECT_EQ(b[48], 0xFE);
    EXPECT_EQ(b[51], 0xFF);
    EXPECT_EQ(b[140], 0x01);
    EXPECT_EQ(b[143], 0x7F);
}

TEST(ScenarioRecord, DecodeRestoresEveryByte) {
    ScenarioState s = freshProgram().scenario;
    s.reserved20 = -123456;
    s.reserved37[0] = 0xAA;
    s.reserved37[2] = 0x55;
    s.reserved58[1] = 0x77;
    s.reserved57 = 9;
    s.changed = 1;
    s.formatTag = 77;
    s.mapOrientation = 5; // any non-zero orientation is accepted
    s.actionCategory = 1083;
    s.a1Modifier = INT32_MIN;
    s.stats.twoDiceCounts[10] = 3;
    s.stats.oneDieSum = 99;
    const ScenarioBytes bytes = encodeScenario(s);
    ScenarioState back{};
    ScenarioError error;
    ASSERT_TRUE(decodeScenario(bytes.data(), bytes.size(), back, error)) << error.message;
    EXPECT_EQ(encodeScenario(back), bytes);
}

TEST(ScenarioRecord, DecodeRefusesWrongSizes) {
    const ScenarioBytes bytes = encodeScenario(freshProgram().scenario);
    ScenarioState out = freshProgram().scenario;
    out.acNumber = 4;
    ScenarioError error;
    for (std::size_t size : {std::size_t(0), std::size_t(143), std::size_t(145)}) {
        std::vector<uint8_t> data(bytes.begin(), bytes.end());
        data.resize(size);
        EXPECT_FALSE(decodeScenario(data.data(), data.size(), out, error));
        EXPECT_EQ(error.field, "size");
        EXPECT_NE(error.message.find(std::to_string(size)), std::string::npos) << error.message;
        EXPECT_EQ(out.acNumber, 4) << "a refused record changes nothing";
    }
}

TEST(ScenarioRecord, DecodeRefusesOutOfRangeFieldsByName) {
    struct Case {
        int offset;
        int32_t value;
        const char *field;
    };
    const Case cases[] = {
        {8, 3, "yearIndex"},
        {8, 11, "yearIndex"},
        {12, 0, "month"},
        {12, 13, "month"},
        {16, 2, "attitude"},
        {16, -1, "attitude"},
        {24, 1, "acNumber"},
        {24, 6, "acNumber"},
        {28, -1, "nationality"},
        {28, 8, "nationality"},
        {32, -3, "msr"},
        {32, 3, "msr"},
        {40, 1078, "actionCategory"},
        {40, 1085, "actionCategory"},
        {52, 2, "fortificationEvenDr"},
    };
    const ScenarioBytes good = encodeScenario(freshProgram().scenario);
    for (const Case &c : cases) {
        ScenarioBytes bad = good;
        for (int i = 0; i < 4; ++i) bad[c.offset + i] = uint8_t(uint32_t(c.value) >> (8 * i));
        ScenarioState out{};
        out.nationality = 5;
        ScenarioError error;
        EXPECT_FALSE(decodeScenario(bad.data(), bad.size(), out, error)) << c.field << " " << c.value;
        EXPECT_EQ(error.field, c.field);
        EXPECT_EQ(error.message.rfind("the ", 0), 0u) << error.message;
        EXPECT_EQ(out.nationality, 5);
    }
    ScenarioBytes manual = good;
    manual[36] = 2;
    ScenarioState out{};
    ScenarioError error;
    EXPECT_FALSE(decodeScenario(manual.data(), manual.size(), out, error));
    EXPECT_EQ(error.field, "manualDieRoll");
}

TEST(ScenarioDecode, RefusalsSpeakThePlayersWords) {
    const auto refusal = [](int offset, int32_t value) {
        ScenarioBytes bytes = encodeScenario(freshProgram().scenario);
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

TEST(ScenarioText, FreshSummaryAndFileName) {
    const ProgramState p = freshProgram();
    EXPECT_EQ(formatScenarioSummary(p.scenario), "vs. Russian\rJanuary, 1939\rHold Attitude\rMSR = 0");
    EXPECT_EQ(formatScenarioFileName(p.scenario), "vs. Russian (1-39)");
}

TEST(ScenarioText, SummaryFollowsTheFields) {
    ScenarioState s = freshProgram().scenario;
    s.msr = -2;
    s.attitude = 1;
    s.nationality = 6;
    s.yearIndex = 10;
    s.month = 12;
    EXPECT_EQ(formatScenarioSummary(s), "vs. British (ETO, D-Day+)\rDecember, 1945\rAdvance Attitude\rMSR = -2");
    EXPECT_EQ(formatScenarioFileName(s), "vs. British (ETO, D-Day+) (12-45)");
    s.attitude = 7;
    EXPECT_NE(formatScenarioSummary(s).find("Advance Attitude"), std::string::npos);
}

TEST(ScenarioText, LongestSummaryFitsItsBuffers) {
    ScenarioState s = freshProgram().scenario;
    s.nationality = 6;
    s.month = 9;
    s.attitude = 1;
    s.msr = -2;
    EXPECT_LE(formatScenarioSummary(s).size(), 67u);
}

TEST(DateFloor, BritishDatesAreRaised) {
    struct Case {
        int nationality, year, month, wantYear, wantMonth;
    };
    const Case cases[] = {
        {6, 9, 3, 9, 6},  // March 1944 -> June 1944
        {6, 8, 7, 9, 6},  // July 1943 -> June 1944
        {6, 9, 7, 9, 7},  // July 1944 stays
        {6, 9, 6, 9, 6},  // June 1944 stays
        {7, 7, 12, 8, 6}, // December 1942 -> June 1943
        {7, 8, 6, 8, 6},  // June 1943 stays
        {7, 8, 5, 8, 6},  // May 1943 -> June 1943
        {5, 4, 1, 4, 1},  // no floor for the other nationalities
        {0, 4, 1, 4, 1},
    };
    for (const Case &c : cases) {
        ScenarioState s = freshProgram().scenario;
        s.nationality = c.nationality;
        s.yearIndex = c.year;
        s.month = c.month;
        applyNationalityDateFloor(s);
        EXPECT_EQ(s.yearIndex, c.wantYear) << c.nationality << " " << c.year << "/" << c.month;
        EXPECT_EQ(s.month, c.wantMonth) << c.nationality << " " << c.year << "/" << c.month;
    }
}

TEST(ChangeTracking, LoadedScenarioWithoutEditsStaysUnchanged) {
    ProgramState p = freshProgram();
    ScenarioState loaded = p.scenario;
    loaded.changed = 1;
    loaded.acNumber = 5;
    adoptLoadedScenario(p, loaded);
    EXPECT_EQ(p.scenario.changed, 0);
    noteScenarioChange(p);
    EXPECT_EQ(p.scenario.changed, 0);
    rollDice(p, 1, 6);
    noteScenarioChange(p);
    EXPECT_EQ(p.scenario.changed, 1);
}

TEST(ChangeTracking, SaveClearsTheFlagButNotTheSnapshot) {
    ProgramState p = freshProgram();
    p.scenario.msr = 1;
    noteScenarioChange(p);
    ASSERT_EQ(p.scenario.changed, 1);
    p.scenario.changed = 0; // what a save does
    noteScenarioChange(p);
    EXPECT_EQ(p.scenario.changed, 1) << "the snapshot still holds changed = 1";
}

TEST(ChangeTracking, ResetClearsStatisticsAndModifiersAndSeeds) {
    ProgramState p;
    p.modifiers.levelModifier = -3;
    p.scenario.stats.oneDieRolls = 8;
    p.scenario.actionCategory = 1080;
    p.scenario.reserved20 = 5;
    resetScenario(p, 1);
    EXPECT_EQ(p.modifiers.levelModifier, 0);
    EXPECT_EQ(p.scenario.stats.oneDieRolls, 0);
    EXPECT_EQ(p.scenario.actionCategory, 1080) << "reset leaves the Actions window's category";
    EXPECT_EQ(p.scenario.reserved20, 5);
    EXPECT_EQ(p.generator, 1u);
    EXPECT_EQ(encodeScenario(p.snapshot), encodeScenario(p.scenario));
}

TEST(AppendBounded, AppendsWholeWhileItFits) {
    std::string text = "abc";
    appendBounded(text, "def", 7); // 6 characters and the terminator
    EXPECT_EQ(text, "abcdef");
}

TEST(AppendBounded, CutsAtCapacityWithTheMark) {
    for (std::size_t capacity : {std::size_t(2), std::size_t(5), std::size_t(10), std::size_t(500)}) {
        std::string text = "xy";
        appendBounded(text, std::string(600, 'q'), capacity);
        ASSERT_EQ(text.size(), capacity - 1) << capacity;
        EXPECT_EQ(text[capacity - 2], kTruncationMark) << capacity;
        appendBounded(text, "more", capacity);
        EXPECT_EQ(text.size(), capacity - 1) << "a cut text stays cut";
        EXPECT_EQ(text[capacity - 2], kTruncationMark);
    }
    std::string exact = "12345";
    appendBounded(exact, "6", 7); // exactly capacity - 1: still a cut
    EXPECT_EQ(exact, "123456");
    appendBounded(exact, "7", 7);
    EXPECT_EQ(exact, std::string("12345\xA5"));
}

TEST(Cp1252, DecodesTheProgramsSpecialBytes) {
    EXPECT_EQ(cp1252ToUtf8("\xBB"), "\u00BB");
    EXPECT_EQ(cp1252ToUtf8("If \xB3 3, firer\xD5s"), "If \u2265 3, firer\u2019s") << "as the tables mean them";
    EXPECT_EQ(cp1252ToUtf8("\xA5"), "\u00A5");
    EXPECT_EQ(cp1252ToUtf8("\x80\x99"), "\u20AC\u2122");
    EXPECT_EQ(cp1252ToUtf8("a\rb"), "a\rb");
}

TEST(Cp1252, EveryByteComesBackFromItsCharacter) {
    // 0x92 and 0xD5 both show U+2019, which reads back as the tables' 0xD5.
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(unicodeToCp1252(cp1252ToUnicode(byte)), byte == 0x92 ? 0xD5 : byte) << byte;
    EXPECT_EQ(unicodeToCp1252(U'\u2264'), -1) << "no less-or-equal sign in the code page";
    EXPECT_EQ(unicodeToCp1252(U'\u20AC'), 0x80);
}

} // namespace
} // namespace treva
