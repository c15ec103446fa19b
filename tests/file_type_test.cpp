#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "shell/filetype/file_type.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#endif

namespace treva {

void PrintTo(const RegistryValue &value, std::ostream *os) {
    switch (value.type) {
    case RegistryValueType::None: *os << "(no value)"; break;
    case RegistryValueType::String: *os << "string \"" << value.text << "\""; break;
    case RegistryValueType::Other: *os << "other \"" << value.text << "\""; break;
    }
}

namespace {

constexpr const char *kOldPath = R"(C:\Games\TREVA\treva.exe)";
constexpr const char *kNewPath = R"(C:\Program Files\TREVA\treva.exe)";

RegistryValue text(const std::string &s) { return {RegistryValueType::String, s}; }

RegistryValue noValue() { return {}; }

FileTypeResult startUp(MemoryRegistry &registry, const char *programPath) {
    return registerFileType(registry, ".trv", "trvfile", "TREVA file", programPath, 1, RewriteOwn);
}

// What a complete registration of ".trv" for the program at `path` leaves.
MemoryRegistry::Keys registeredAt(const std::string &path) {
    return {
        {".trv", text("trvfile")},
        {"trvfile", text("TREVA file")},
        {"trvfile\\DefaultIcon", text("\"" + path + "\",1")},
        {"trvfile\\shell", noValue()},
        {"trvfile\\shell\\open", noValue()},
        {"trvfile\\shell\\open\\command", text("\"" + path + "\" \"%1\"")},
    };
}

TEST(RegisterFileType, FirstStartWritesEveryKey) {
    MemoryRegistry registry;
    EXPECT_EQ(startUp(registry, kNewPath), FileTypeResult::Written);
    const MemoryRegistry::Keys expected{
        {".trv", text("trvfile")},
        {"trvfile", text("TREVA file")},
        {R"(trvfile\DefaultIcon)", text(R"("C:\Program Files\TREVA\treva.exe",1)")},
        {R"(trvfile\shell)", noValue()},
        {R"(trvfile\shell\open)", noValue()},
        {R"(trvfile\shell\open\command)", text(R"("C:\Program Files\TREVA\treva.exe" "%1")")},
    };
    EXPECT_EQ(registry.keys, expected);
}

TEST(RegisterFileType, LaterStartFromAnotherFolderFollowsTheProgram) {
    MemoryRegistry registry;
    ASSERT_EQ(startUp(registry, kOldPath), FileTypeResult::Written);
    registry.keys["trvfile"] = text("stale description");
    EXPECT_EQ(startUp(registry, kNewPath), FileTypeResult::Written);
    EXPECT_EQ(registry.keys, registeredAt(kNewPath));
}

TEST(RegisterFileType, ExistingAssociationFollowsTheFlags) {
    const RegistryValue own = text("trvfile");
    const RegistryValue foreign = text("OtherApp.Scenario");
    const RegistryValue otherCase = text("TRVFILE");
    const RegistryValue binary{RegistryValueType::Other, "trvfile"};
    const unsigned both = ReplaceForeign | RewriteOwn;
    const struct {
        const char *name;
        RegistryValue extensionValue;
        unsigned flags;
        FileTypeResult expected;
    } cases[] = {
        {"own, no flags", own, 0, FileTypeResult::LeftAlone},
        {"own, RewriteOwn", own, RewriteOwn, FileTypeResult::Written},
        {"own, ReplaceForeign", own, ReplaceForeign, FileTypeResult::LeftAlone},
        {"own, both", own, both, FileTypeResult::Written},
        {"foreign, no flags", foreign, 0, FileTypeResult::LeftAlone},
        {"foreign, RewriteOwn", foreign, RewriteOwn, FileTypeResult::LeftAlone},
        {"foreign, ReplaceForeign", foreign, ReplaceForeign, FileTypeResult::Written},
        {"foreign, both", foreign, both, FileTypeResult::Written},
        {"no value, no flags", noValue(), 0, FileTypeResult::LeftAlone},
        {"no value, RewriteOwn", noValue(), RewriteOwn, FileTypeResult::LeftAlone},
        {"no value, ReplaceForeign", noValue(), ReplaceForeign, FileTypeResult::Written},
        {"binary value, RewriteOwn", binary, RewriteOwn, FileTypeResult::LeftAlone},
        {"binary value, ReplaceForeign", binary, ReplaceForeign, FileTypeResult::Written},
        {"other case, RewriteOwn", otherCase, RewriteOwn, FileTypeResult::LeftAlone},
        {"other case, ReplaceForeign", otherCase, ReplaceForeign, FileTypeResult::Written},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // A registration from an old folder, so that any rewrite would show.
        MemoryRegistry registry;
        registry.keys = registeredAt(kOldPath);
        registry.keys[".trv"] = c.extensionValue;
        const MemoryRegistry::Keys before = registry.keys;

        EXPECT_EQ(registerFileType(registry, ".trv", "trvfile", "TREVA file", kNewPath, 1, c.flags), c.expected);
        if (c.expected == FileTypeResult::LeftAlone) {
            EXPECT_EQ(registry.keys, before);
            EXPECT_EQ(registry.writes, 0);
        } else {
            EXPECT_EQ(registry.keys, registeredAt(kNewPath));
        }
    }
}

TEST(RegisterFileType, BadExtensionDoesNotTouchTheRegistry) {
    for (const char *extension : {static_cast<const char *>(nullptr), "", "trv", "trvx", ".", ".abcd"}) {
        SCOPED_TRACE(extension != nullptr ? extension : "(null)");
        MemoryRegistry registry;
        EXPECT_EQ(
            registerFileType(registry, extension, "trvfile", "TREVA file", kNewPath, 1, ReplaceForeign | RewriteOwn),
            FileTypeResult::BadExtension);
        EXPECT_EQ(registry.accesses, 0);
        EXPECT_TRUE(registry.keys.empty());
    }
}

TEST(RegisterFileType, ProgIdDefaultsToExtensionAndFile) {
    const struct {
        const char *extension;
        const char *progId;
        const char *expectedProgId;
    } cases[] = {
        {".a", nullptr, "afile"},                                 // shortest extension
        {".ab", nullptr, "abfile"}, {".abc", nullptr, "abcfile"}, // longest extension
        {".ab", "", "abfile"},      {".ab", "Treva.Scenario", "Treva.Scenario"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + (c.progId != nullptr ? c.progId : "(null)"));
        MemoryRegistry registry;
        EXPECT_EQ(registerFileType(registry, c.extension, c.progId, "TREVA file", kNewPath, 1, RewriteOwn),
                  FileTypeResult::Written);
        const std::string id = c.expectedProgId;
        EXPECT_EQ(registry.keys[c.extension], text(id));
        EXPECT_EQ(registry.keys[id], text("TREVA file"));
        EXPECT_EQ(registry.keys[id + "\\shell\\open\\command"], text(std::string("\"") + kNewPath + "\" \"%1\""));
        EXPECT_EQ(registry.keys.size(), 6u);
    }
}

TEST(RegisterFileType, IconIndexIsWrittenInDecimal) {
    const struct {
        int32_t index;
        const char *suffix;
    } cases[] = {
        {1, ",1"}, {0, ",0"}, {-1, ",-1"}, {123, ",123"}, {INT32_MIN, ",-2147483648"}, {INT32_MAX, ",2147483647"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.suffix);
        MemoryRegistry registry;
        ASSERT_EQ(registerFileType(registry, ".trv", "trvfile", "TREVA file", kNewPath, c.index, RewriteOwn),
                  FileTypeResult::Written);
        EXPECT_EQ(registry.keys["trvfile\\DefaultIcon"], text(std::string("\"") + kNewPath + "\"" + c.suffix));
    }
}

TEST(RegisterFileType, FailureMidwayKeepsEarlierWrites) {
    const RegistryValue icon = text(std::string("\"") + kNewPath + "\",1");
    const struct {
        const char *name;
        const char *failCreateAt;
        const char *failWriteAt;
        MemoryRegistry::Keys expected;
    } cases[] = {
        {"create extension", ".trv", "", {}},
        {"write extension", "", ".trv", {{".trv", noValue()}}},
        {"create ProgID", "trvfile", "", {{".trv", text("trvfile")}}},
        {"write icon",
         "",
         "trvfile\\DefaultIcon",
         {{".trv", text("trvfile")}, {"trvfile", text("TREVA file")}, {"trvfile\\DefaultIcon", noValue()}}},
        {"create open",
         "trvfile\\shell\\open",
         "",
         {{".trv", text("trvfile")},
          {"trvfile", text("TREVA file")},
          {"trvfile\\DefaultIcon", icon},
          {"trvfile\\shell", noValue()}}},
        {"write command",
         "",
         "TRVFILE\\Shell\\Open\\Command", // key names ignore case
         {{".trv", text("trvfile")},
          {"trvfile", text("TREVA file")},
          {"trvfile\\DefaultIcon", icon},
          {"trvfile\\shell", noValue()},
          {"trvfile\\shell\\open", noValue()},
          {"trvfile\\shell\\open\\command", noValue()}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry registry;
        registry.failCreateAt = c.failCreateAt;
        registry.failWriteAt = c.failWriteAt;
        EXPECT_EQ(startUp(registry, kNewPath), FileTypeResult::WriteFailed);
        EXPECT_EQ(registry.keys, c.expected);
    }
}

TEST(RegisterFileType, FailureMidwayLeavesLaterOldValues) {
    MemoryRegistry registry;
    registry.keys = registeredAt(kOldPath);
    registry.failWriteAt = "trvfile\\shell\\open\\command";
    EXPECT_EQ(startUp(registry, kNewPath), FileTypeResult::WriteFailed);
    MemoryRegistry::Keys expected = registeredAt(kOldPath);
    expected["trvfile\\DefaultIcon"] = registeredAt(kNewPath)["trvfile\\DefaultIcon"];
    EXPECT_EQ(registry.keys, expected);
}

#ifndef _WIN32

namespace fs = std::filesystem;

std::string readText(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void writeText(const std::string &path, const std::string &text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A file's identity: a rename over it gives a new inode, so an unchanged
// inode and time prove the file was not written.
std::pair<ino_t, int64_t> identity(const std::string &path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {0, 0};
    }
    return {st.st_ino, static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string mimePackageClaiming(const std::string &type, const std::string &globElement) {
    return "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           type + "\">\n    <comment>Something else</comment>\n    " + globElement + "\n  </mime-type>\n</mime-info>\n";
}

constexpr const char *kProgram = "/opt/treva/bin/treva";
constexpr const char *kOurType = "application/x-treva-scenario";

class Freedesktop : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "treva-filetype-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        paths.dataHome = root + "/home/.local/share";
        paths.configHome = root + "/home/.config";
        paths.dataDirs = {root + "/usr/local/share", root + "/usr/share"};
        paths.runUpdater = [this](const std::string &tool, const std::string &folder) {
            updaters.emplace_back(tool, folder);
        };
        info.programPath = kProgram;
    }

    void TearDown() override {
        std::error_code error;
        fs::remove_all(root, error);
    }

    FileTypeResult run(unsigned flags = RewriteOwn) { return registerFileTypeFreedesktop(paths, info, flags); }

    std::string package() const { return paths.dataHome + "/mime/packages/treva-trvfile.xml"; }
    std::string desktop() const { return paths.dataHome + "/applications/treva.desktop"; }
    std::string mimeapps() const { return paths.configHome + "/mimeapps.list"; }
    std::string systemData() const { return paths.dataDirs[1]; }

    using Updater = std::pair<std::string, std::string>;
    Updater mimeUpdater() const { return {"update-mime-database", paths.dataHome + "/mime"}; }
    Updater desktopUpdater() const { return {"update-desktop-database", paths.dataHome + "/applications"}; }

    std::string root;
    FreedesktopPaths paths;
    FileTypeInfo info;
    std::vector<Updater> updaters;
};

TEST_F(Freedesktop, FirstRunWritesTypeEntryAndDefault) {
    EXPECT_EQ(run(), FileTypeResult::Written);

    const std::string xml = readText(package());
    EXPECT_NE(xml.find("<mime-type type=\"application/x-treva-scenario\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<glob pattern=\"*.trv\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<comment>TREVA file</comment>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<icon name=\"application-x-treva-scenario\"/>"), std::string::npos) << xml;

    EXPECT_EQ(readText(desktop()), "[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=TREVA\n"
                                   "Exec=\"/opt/treva/bin/treva\" %f\n"
                                   "Icon=treva\n"
                                   "MimeType=application/x-treva-scenario;\n"
                                   "Categories=Game;BoardGame;\n"
                                   "Terminal=false\n");
    EXPECT_EQ(readText(mimeapps()), "[Default Applications]\napplication/x-treva-scenario=treva.desktop\n");
    EXPECT_EQ(updaters, (std::vector<Updater>{mimeUpdater(), desktopUpdater()}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(paths.configHome), fs::directory_iterator()), 1);
}

TEST_F(Freedesktop, UnchangedRunTouchesNothing) {
    ASSERT_EQ(run(), FileTypeResult::Written);
    const auto before = std::vector{identity(package()), identity(desktop()), identity(mimeapps())};
    updaters.clear();

    EXPECT_EQ(run(RewriteOwn), FileTypeResult::Written);
    EXPECT_EQ(run(0), FileTypeResult::LeftAlone);
    EXPECT_EQ(run(ReplaceForeign), FileTypeResult::LeftAlone);

    EXPECT_EQ((std::vector{identity(package()), identity(desktop()), identity(mimeapps())}), before);
    EXPECT_TRUE(updaters.empty());
}

TEST_F(Freedesktop, MovedProgramRewritesTheDesktopEntryOnly) {
    ASSERT_EQ(run(), FileTypeResult::Written);
    const auto packageBefore = identity(package());
    const auto listBefore = identity(mimeapps());
    const auto entryBefore = identity(desktop());
    updaters.clear();

    info.programPath = "/home/player/games/treva/treva";
    EXPECT_EQ(run(), FileTypeResult::Written);

    EXPECT_NE(readText(desktop()).find("\nExec=\"/home/player/games/treva/treva\" %f\n"), std::string::npos);
    EXPECT_NE(identity(desktop()), entryBefore);
    EXPECT_EQ(identity(package()), packageBefore);
    EXPECT_EQ(identity(mimeapps()), listBefore);
    EXPECT_EQ(updaters, std::vector<Updater>{desktopUpdater()});
}

TEST_F(Freedesktop, AnotherTypeClaimingTheGlobIsLeftAlone) {
    const struct {
        const char *name;
        std::string folder;
        std::string globElement;
    } cases[] = {
        {"system", paths.dataDirs[1], "<glob pattern=\"*.trv\"/>"},
        {"local system, other case", paths.dataDirs[0], "<glob pattern=\"*.TRV\"/>"},
        {"user, single quotes and weight first", paths.dataHome, "<glob weight='60' pattern='*.trv' />"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string other = c.folder + "/mime/packages/other.xml";
        writeText(other, mimePackageClaiming("application/x-other-game", c.globElement));

        EXPECT_EQ(run(RewriteOwn), FileTypeResult::LeftAlone);
        EXPECT_FALSE(fs::exists(package()));
        EXPECT_FALSE(fs::exists(desktop()));
        EXPECT_FALSE(fs::exists(paths.configHome));
        EXPECT_TRUE(updaters.empty());

        // Replacing it writes our glob with a weight above the default.
        EXPECT_EQ(run(ReplaceForeign), FileTypeResult::Written);
        EXPECT_NE(readText(package()).find("<glob pattern=\"*.trv\" weight=\"80\"/>"), std::string::npos);
        EXPECT_TRUE(fs::exists(desktop()));
        EXPECT_TRUE(fs::exists(mimeapps()));

        fs::remove_all(root + "/home");
        fs::remove(other);
        updaters.clear();
    }
}

TEST_F(Freedesktop, MentionsThatAreNoClaimDoNotCount) {
    const std::string otherFile = systemData() + "/mime/packages/other.xml";
    for (const std::string &globElement : {
             std::string("<glob pattern=\"*.trvx\"/>"),
             std::string("<glob pattern=\"*.trv.gz\"/>"),
             std::string("<!--\n    <glob pattern=\"*.old\"/>\n    <glob pattern=\"*.trv\"/>\n    -->"),
             std::string("<sub-class-of type=\"application/x-trv\"/>"),
         }) {
        SCOPED_TRACE(globElement);
        writeText(otherFile, mimePackageClaiming("application/x-other-game", globElement));
        EXPECT_EQ(run(RewriteOwn), FileTypeResult::Written);
        EXPECT_EQ(readText(package()).find("weight"), std::string::npos);
        fs::remove_all(root + "/home");
    }
}

TEST_F(Freedesktop, OurTypeFromASystemPackageNeedsRewriteOwn) {
    writeText(systemData() + "/mime/packages/treva-trvfile.xml",
              mimePackageClaiming(kOurType, "<glob pattern=\"*.trv\"/>"));

    EXPECT_EQ(run(0), FileTypeResult::LeftAlone);
    EXPECT_FALSE(fs::exists(paths.dataHome));
    EXPECT_FALSE(fs::exists(paths.configHome));

    EXPECT_EQ(run(RewriteOwn), FileTypeResult::Written);
    EXPECT_TRUE(fs::exists(package()));
    EXPECT_NE(readText(desktop()).find("Exec=\"/opt/treva/bin/treva\" %f"), std::string::npos);
}

TEST_F(Freedesktop, InstalledPackageWithThisProgramIsLeftAlone) {
    writeText(systemData() + "/mime/packages/treva-trvfile.xml",
              mimePackageClaiming(kOurType, "<glob pattern=\"*.trv\"/>"));
    // The program as installed, and a link to it the player started.
    writeText(root + "/usr/bin/treva", "");
    fs::create_directories(root + "/opt");
    fs::create_symlink(root + "/usr/bin/treva", root + "/opt/treva");
    const std::string entry = "[Desktop Entry]\nType=Application\nName=TREVA\nIcon=treva\n";
    const struct {
        const char *name;
        std::string program;
        std::string entryEnd;
        FileTypeResult expected;
    } cases[] = {
        {"same path", kProgram, "Exec=/opt/treva/bin/treva %f\nMimeType=application/x-treva-scenario;\n",
         FileTypeResult::LeftAlone},
        {"quoted", kProgram, "Exec=\"/opt/treva/bin/treva\" %f\nMimeType=text/plain;application/x-treva-scenario;\n",
         FileTypeResult::LeftAlone},
        {"link to it", root + "/opt/treva",
         "Exec=\"" + root + "/usr/bin/treva\" %f\nMimeType=application/x-treva-scenario;\n", FileTypeResult::LeftAlone},
        {"another program", kProgram, "Exec=/usr/bin/treva %f\nMimeType=application/x-treva-scenario;\n",
         FileTypeResult::Written},
        {"not for our type", kProgram, "Exec=/opt/treva/bin/treva %f\nMimeType=text/plain;\n", FileTypeResult::Written},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeText(systemData() + "/applications/treva.desktop", entry + c.entryEnd);
        info.programPath = c.program;
        EXPECT_EQ(run(RewriteOwn), c.expected);
        EXPECT_EQ(fs::exists(desktop()), c.expected == FileTypeResult::Written);
        EXPECT_EQ(fs::exists(mimeapps()), c.expected == FileTypeResult::Written);
        EXPECT_EQ(updaters.empty(), c.expected == FileTypeResult::LeftAlone);
        fs::remove_all(root + "/home");
        updaters.clear();
    }
}

TEST_F(Freedesktop, ExecQuotesTheProgramPath) {
    const struct {
        const char *program;
        const char *exec; // as written in the file
    } cases[] = {
        {"/opt/treva/bin/treva", R"(Exec="/opt/treva/bin/treva" %f)"},
        {"/home/player/My Games/treva", R"(Exec="/home/player/My Games/treva" %f)"},
        {"/opt/a\"b$c/treva", R"(Exec="/opt/a\\"b\\$c/treva" %f)"},
        {"/opt/tick`/treva", R"(Exec="/opt/tick\\`/treva" %f)"},
        {"/opt/back\\slash/treva", R"(Exec="/opt/back\\\\slash/treva" %f)"},
        {"/opt/100%/treva", R"(Exec="/opt/100%%/treva" %f)"},
        {"/opt/a;b&c/tr'eva", R"(Exec="/opt/a;b&c/tr'eva" %f)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.program);
        info.programPath = c.program;
        ASSERT_EQ(run(RewriteOwn), FileTypeResult::Written);
        const std::string entry = readText(desktop());
        EXPECT_NE(entry.find(std::string("\n") + c.exec + "\n"), std::string::npos) << entry;

        // Read back as an installed entry, the quoted path names the same program.
        writeText(systemData() + "/applications/treva.desktop", entry);
        writeText(systemData() + "/mime/packages/treva-trvfile.xml", readText(package()));
        fs::remove_all(root + "/home");
        EXPECT_EQ(run(RewriteOwn), FileTypeResult::LeftAlone);
        fs::remove_all(systemData());
    }
}

TEST_F(Freedesktop, MimeappsKeepsOtherLines) {
    const std::string ours = "application/x-treva-scenario=treva.desktop\n";
    const struct {
        const char *name;
        std::string before;
        std::string after;
    } cases[] = {
        {"end of its group",
         "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n# chosen\n"
         "text/html=browser.desktop\nimage/png=viewer.desktop\n\n[Removed Associations]\nimage/gif=paint.desktop;\n",
         "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n# chosen\n"
         "text/html=browser.desktop\nimage/png=viewer.desktop\n" +
             ours + "\n[Removed Associations]\nimage/gif=paint.desktop;\n"},
        {"no group yet", "[Added Associations]\ntext/plain=editor.desktop;\n",
         "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n" + ours},
        {"no final newline", "[Default Applications]\ntext/html=browser.desktop",
         "[Default Applications]\ntext/html=browser.desktop\n" + ours},
        {"empty group", "[Default Applications]\n[Added Associations]\nx/y=z.desktop;\n",
         "[Default Applications]\n" + ours + "[Added Associations]\nx/y=z.desktop;\n"},
        {"only added elsewhere", "[Added Associations]\napplication/x-treva-scenario=other.desktop;\n",
         "[Added Associations]\napplication/x-treva-scenario=other.desktop;\n\n[Default Applications]\n" + ours},
        {"empty file", "", "[Default Applications]\n" + ours},
        {"already ours", "[Default Applications]\n" + ours + "text/html=browser.desktop\n",
         "[Default Applications]\n" + ours + "text/html=browser.desktop\n"},
        {"the player chose another program", "[Default Applications]\napplication/x-treva-scenario = other.desktop;\n",
         "[Default Applications]\napplication/x-treva-scenario = other.desktop;\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeText(mimeapps(), c.before);
        const auto before = identity(mimeapps());
        EXPECT_EQ(run(RewriteOwn), FileTypeResult::Written);
        EXPECT_EQ(readText(mimeapps()), c.after);
        if (c.before == c.after) {
            EXPECT_EQ(identity(mimeapps()), before);
        }
    }
}

TEST_F(Freedesktop, MimeappsLinkStaysALink) {
    const std::string target = root + "/dotfiles/mimeapps.list";
    writeText(target, "[Default Applications]\ntext/html=browser.desktop\n");
    fs::create_directories(paths.configHome);
    fs::create_symlink(target, mimeapps());

    EXPECT_EQ(run(), FileTypeResult::Written);
    EXPECT_TRUE(fs::is_symlink(mimeapps()));
    EXPECT_EQ(readText(target), "[Default Applications]\ntext/html=browser.desktop\n"
                                "application/x-treva-scenario=treva.desktop\n");
}

TEST_F(Freedesktop, BadExtensionTouchesNothing) {
    for (const char *extension : {"", "trv", ".", ".abcd"}) {
        SCOPED_TRACE(extension);
        info.extension = extension;
        EXPECT_EQ(run(ReplaceForeign | RewriteOwn), FileTypeResult::BadExtension);
        EXPECT_FALSE(fs::exists(root + "/home"));
        EXPECT_TRUE(updaters.empty());
    }
}

TEST_F(Freedesktop, FailedWriteKeepsWhatWasWritten) {
    writeText(paths.dataHome + "/applications", "a file where the folder belongs");
    EXPECT_EQ(run(), FileTypeResult::WriteFailed);
    EXPECT_TRUE(fs::exists(package()));
    EXPECT_FALSE(fs::exists(mimeapps()));
    EXPECT_EQ(updaters, std::vector<Updater>{mimeUpdater()});
}

TEST_F(Freedesktop, CacheUpdaterRunsTheToolAndSkipsMissingOnes) {
    const std::string tool = root + "/bin/fake-updater";
    writeText(tool, "#!/bin/sh\necho ran > \"$1/marker\"\n");
    fs::permissions(tool, fs::perms::owner_all);
    fs::create_directories(root + "/out");

    runCacheUpdater(tool, root + "/out");
    EXPECT_EQ(readText(root + "/out/marker"), "ran\n");

    fs::remove(root + "/out/marker");
    runCacheUpdater(root + "/bin/not-installed", root + "/out");
    EXPECT_FALSE(fs::exists(root + "/out/marker"));
}

TEST(FreedesktopPathsFromEnvironment, FollowsTheXdgRules) {
    using Environment = std::map<std::string, std::string>;
    const struct {
        const char *name;
        Environment environment;
        FreedesktopPaths expected;
    } cases[] = {
        {"all set",
         {{"HOME", "/h"}, {"XDG_DATA_HOME", "/x/data"}, {"XDG_CONFIG_HOME", "/x/config"}, {"XDG_DATA_DIRS", "/a:/b"}},
         {"/x/data", "/x/config", {"/a", "/b"}, {}}},
        {"only home", {{"HOME", "/h"}}, {"/h/.local/share", "/h/.config", {"/usr/local/share", "/usr/share"}, {}}},
        {"empty folder list",
         {{"HOME", "/h"}, {"XDG_DATA_DIRS", ""}},
         {"/h/.local/share", "/h/.config", {"/usr/local/share", "/usr/share"}, {}}},
        {"relative values ignored",
         {{"HOME", "/h"}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "./config"}, {"XDG_DATA_DIRS", "rel:/b::"}},
         {"/h/.local/share", "/h/.config", {"/b"}, {}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const FreedesktopPaths paths = freedesktopPathsFromEnvironment([&c](const char *name) -> const char * {
            const auto it = c.environment.find(name);
            return it != c.environment.end() ? it->second.c_str() : nullptr;
        });
        EXPECT_EQ(paths.dataHome, c.expected.dataHome);
        EXPECT_EQ(paths.configHome, c.expected.configHome);
        EXPECT_EQ(paths.dataDirs, c.expected.dataDirs);
        EXPECT_TRUE(static_cast<bool>(paths.runUpdater));
    }
}

#endif

} // namespace
} // namespace treva
