// The Windows association algorithm against the registry in memory.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "memory_registry.h"

namespace treva {
namespace {

constexpr const char *kOldPath = R"(C:\Games\TREVA\treva.exe)";
constexpr const char *kNewPath = R"(C:\Program Files\TREVA\treva.exe)";

FileTypeResult startUp(MemoryRegistry &registry, const std::string &program, unsigned flags = RewriteOwn) {
    return registerFileType(registry, ".trv", "trvfile", "TREVA file", program, 1, flags);
}

// What a complete registration of ".trv" for the program at `path` leaves.
MemoryRegistry::Keys registeredAt(const std::string &path) {
    return {
        {".trv", "trvfile"},
        {"trvfile", "TREVA file"},
        {R"(trvfile\DefaultIcon)", '"' + path + "\",1"},
        {R"(trvfile\shell)", std::nullopt},
        {R"(trvfile\shell\open)", std::nullopt},
        {R"(trvfile\shell\open\command)", '"' + path + "\" \"%1\""},
    };
}

// The first start writes every key, the program quoted; a later start from
// another folder follows the program.
TEST(RegisterFileType, FirstStartWritesEveryKeyAndALaterOneFollowsTheProgram) {
    MemoryRegistry registry;
    ASSERT_EQ(startUp(registry, kNewPath), FileTypeResult::Written);
    EXPECT_EQ(registry.keys, registeredAt(kNewPath));
    registry.keys["trvfile"] = "stale description";
    EXPECT_EQ(startUp(registry, kOldPath), FileTypeResult::Written);
    EXPECT_EQ(registry.keys, registeredAt(kOldPath));
}

TEST(RegisterFileType, ExistingAssociationFollowsTheFlags) {
    const std::optional<std::string> own = "trvfile", foreign = "OtherApp.Scenario", none;
    const unsigned both = ReplaceForeign | RewriteOwn;
    const struct {
        const char *name;
        std::optional<std::string> extensionValue;
        unsigned flags;
        FileTypeResult expected;
    } cases[] = {
        {"own, no flags", own, 0, FileTypeResult::LeftAlone},
        {"own, RewriteOwn", own, RewriteOwn, FileTypeResult::Written},
        {"own, ReplaceForeign", own, ReplaceForeign, FileTypeResult::LeftAlone},
        {"foreign, RewriteOwn", foreign, RewriteOwn, FileTypeResult::LeftAlone},
        {"foreign, ReplaceForeign", foreign, ReplaceForeign, FileTypeResult::Written},
        {"foreign, both", foreign, both, FileTypeResult::Written},
        {"key without value, RewriteOwn", none, RewriteOwn, FileTypeResult::LeftAlone},
        {"key without value, ReplaceForeign", none, ReplaceForeign, FileTypeResult::Written},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // A registration from an old folder, so that any rewrite shows.
        MemoryRegistry registry;
        registry.keys = registeredAt(kOldPath);
        registry.keys[".trv"] = c.extensionValue;
        const MemoryRegistry::Keys before = registry.keys;

        EXPECT_EQ(startUp(registry, kNewPath, c.flags), c.expected);
        EXPECT_EQ(registry.keys, c.expected == FileTypeResult::LeftAlone ? before : registeredAt(kNewPath));
    }
}

TEST(RegisterFileType, FailureMidwayKeepsWhatWasWritten) {
    const struct {
        const char *name;
        std::string failCreateAt;
        std::string failWriteAt;
    } cases[] = {
        {"create extension", ".trv", ""},
        {"write extension", "", ".trv"},
        {"create ProgID", "trvfile", ""},
        {"write icon", "", R"(trvfile\DefaultIcon)"},
        {"create open", R"(trvfile\shell\open)", ""},
        {"write command", "", R"(trvfile\shell\open\command)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        registry.failCreateAt = c.failCreateAt;
        registry.failWriteAt = c.failWriteAt;
        EXPECT_EQ(startUp(registry, kNewPath), FileTypeResult::WriteFailed);
        // The keys are written in their sorted order: those before the failing
        // one are complete, and a key whose value failed is there without it.
        MemoryRegistry::Keys expected = registeredAt(kNewPath);
        const std::string &failing = c.failCreateAt.empty() ? c.failWriteAt : c.failCreateAt;
        expected.erase(expected.find(failing), expected.end());
        if (c.failCreateAt.empty()) expected[failing] = std::nullopt;
        EXPECT_EQ(registry.keys, expected);
    }

    // Over an old registration, the values after the failure stay as they were.
    MemoryRegistry registry;
    registry.keys = registeredAt(kOldPath);
    registry.failWriteAt = R"(trvfile\shell\open\command)";
    EXPECT_EQ(startUp(registry, kNewPath), FileTypeResult::WriteFailed);
    MemoryRegistry::Keys expected = registeredAt(kOldPath);
    expected[R"(trvfile\DefaultIcon)"] = registeredAt(kNewPath)[R"(trvfile\DefaultIcon)"];
    EXPECT_EQ(registry.keys, expected);
}

TEST(RegisterFileType, BadExtensionOrNoProgramTouchesNothing) {
    for (const char *extension : {"", "trv", "trvx", ".", ".abcd"}) {
        SCOPED_TRACE(extension);
        MemoryRegistry registry;
        EXPECT_EQ(
            registerFileType(registry, extension, "trvfile", "TREVA file", kNewPath, 1, ReplaceForeign | RewriteOwn),
            FileTypeResult::BadExtension);
        EXPECT_EQ(registry.accesses, 0);
    }
    MemoryRegistry registry;
    EXPECT_EQ(startUp(registry, "", ReplaceForeign | RewriteOwn), FileTypeResult::WriteFailed);
    EXPECT_EQ(registry.accesses, 0);
    // The shortest and longest extensions are good ones.
    EXPECT_EQ(registerFileType(registry, ".a", "afile", "A file", kNewPath, 1, RewriteOwn), FileTypeResult::Written);
    EXPECT_EQ(registerFileType(registry, ".abc", "abcfile", "ABC file", kNewPath, 1, RewriteOwn),
              FileTypeResult::Written);
}

} // namespace
} // namespace treva
