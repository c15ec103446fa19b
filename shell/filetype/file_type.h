// Scenario files open TREVA: at every start the program associates ".trv"
// with itself, so that opening a scenario from the desktop starts TREVA with
// the file's path as its one argument.
//
// One rule, two places it is kept:
//   - Windows: the per-user class keys, through FileTypeRegistry (the real
//     registry in WindowsRegistry, an in-memory one for the tests);
//   - Linux: the freedesktop files in the user's XDG folders.
// The rule: an association that is ours is rewritten (RewriteOwn), one that
// belongs to another program is left alone unless ReplaceForeign says so, and
// a missing one is written.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace treva {

enum FileTypeFlags : unsigned {
    ReplaceForeign = 1, // replace an association that names another program
    RewriteOwn = 2,     // write everything again when the association is ours
};

enum class FileTypeResult : int {
    Written = 0,      // everything written (or, on Linux, already up to date)
    WriteFailed = 1,  // a key, value or file could not be written; what was written before stays
    LeftAlone = 2,    // already associated and the flags forbid writing; nothing written
    BadExtension = 4, // missing, no leading dot, or not 2..4 characters; nothing done
};

// What start-up registers.
inline constexpr const char *kScenarioExtension = ".trv";
inline constexpr const char *kScenarioProgId = "trvfile";
inline constexpr const char *kScenarioDescription = "TREVA file";
inline constexpr int32_t kScenarioIconIndex = 1;

// The running program's full path (UTF-8), or "" when it cannot be found.
std::string runningProgramPath();

// A leading dot and 2 to 4 characters in all (".trv").
bool validFileTypeExtension(const char *extension);

// ---------------------------------------------------------------------------
// The registry the algorithm writes to. Key paths are relative to the class
// root and use "\" between levels ("trvfile\shell\open\command").

enum class RegistryValueType { None, String, Other };

struct RegistryValue {
    RegistryValueType type = RegistryValueType::None;
    std::string text; // the string; for Other, the raw bytes

    bool operator==(const RegistryValue &) const = default;
};

class FileTypeRegistry {
public:
    virtual ~FileTypeRegistry() = default;
    // Creates the key or opens it when it is there; `existed` says which.
    virtual bool createKey(const std::string &path, bool &existed) = 0;
    // The key's default value; type None when the key or value is missing.
    virtual RegistryValue readDefault(const std::string &path) = 0;
    // Sets the default value of an existing key to a string.
    virtual bool writeDefault(const std::string &path, const std::string &value) = 0;
};

// Associates `extension` with the program `programPath` (nullptr: the running
// program) under `progId` (nullptr or "": the extension without its dot
// followed by "file"). See FileTypeResult for the outcomes. When the running
// program's path cannot be found the result is WriteFailed, before any access.
FileTypeResult registerFileType(FileTypeRegistry &registry, const char *extension, const char *progId,
                                const char *description, const char *programPath, int32_t iconIndex, unsigned flags);

// Key names compare without regard to ASCII case, as in the real registry.
struct RegistryKeyLess {
    bool operator()(const std::string &a, const std::string &b) const;
};

// The registry in memory, for the tests: every key and its default value,
// one failure to inject, and a count of accesses.
class MemoryRegistry final : public FileTypeRegistry {
public:
    using Keys = std::map<std::string, RegistryValue, RegistryKeyLess>;

    bool createKey(const std::string &path, bool &existed) override;
    RegistryValue readDefault(const std::string &path) override;
    bool writeDefault(const std::string &path, const std::string &value) override;

    Keys keys;
    std::string failCreateAt; // createKey on this path fails
    std::string failWriteAt;  // writeDefault on this path fails
    int accesses = 0;         // calls of any kind
    int writes = 0;           // successful writeDefault calls
};

#ifdef _WIN32
// HKEY_CURRENT_USER\Software\Classes: the per-user classes, which a normal
// user may write. Nothing else is touched, in particular not the user's own
// default choice of program.
class WindowsRegistry final : public FileTypeRegistry {
public:
    bool createKey(const std::string &path, bool &existed) override;
    RegistryValue readDefault(const std::string &path) override;
    bool writeDefault(const std::string &path, const std::string &value) override;

    // Whether a key was created or a value changed, so that the shell must be
    // told the associations changed.
    bool changed() const { return changed_; }

private:
    bool changed_ = false;
};
#else
// ---------------------------------------------------------------------------
// The freedesktop way: a shared-mime-info package declaring the scenario MIME
// type, a desktop entry that opens it, and the default-application line in
// mimeapps.list.

// Runs one cache updater ("update-mime-database", folder) and waits for it.
using CacheUpdater = std::function<void(const std::string &tool, const std::string &folder)>;

struct FreedesktopPaths {
    std::string dataHome;              // $XDG_DATA_HOME or ~/.local/share; written
    std::string configHome;            // $XDG_CONFIG_HOME or ~/.config; mimeapps.list
    std::vector<std::string> dataDirs; // $XDG_DATA_DIRS or /usr/local/share:/usr/share; read only
    CacheUpdater runUpdater;           // empty: run none
};

// The folders from the environment (`lookup` stands in for getenv) and
// runCacheUpdater as the runner.
using EnvironmentLookup = std::function<const char *(const char *)>;
FreedesktopPaths freedesktopPathsFromEnvironment(const EnvironmentLookup &lookup);
FreedesktopPaths freedesktopPathsFromEnvironment();

// Runs the tool found on PATH with the folder as its argument, output
// discarded; does nothing when the tool is not installed.
void runCacheUpdater(const std::string &tool, const std::string &folder);

struct FileTypeInfo {
    std::string extension = kScenarioExtension;
    std::string description = kScenarioDescription;
    std::string programPath; // "": the running program
    std::string mimeType = "application/x-treva-scenario";
    std::string iconName = "treva";                            // the program's icon
    std::string fileIconName = "application-x-treva-scenario"; // a scenario file's icon
    std::string packageFile = "treva-trvfile.xml";             // in <dataHome>/mime/packages
    std::string desktopFile = "treva.desktop";                 // in <dataHome>/applications
};

// The same rule as registerFileType, where "associated" means a mime package
// in any of the data folders has a MIME type claiming the glob "*<extension>":
//   - another type claims it: LeftAlone unless ReplaceForeign; with it our
//     glob is written with a higher weight so that it wins;
//   - only our type claims it: LeftAlone unless RewriteOwn;
//   - nobody claims it: written.
// When written, each file is written only when its content differs, and a
// cache updater runs only for a folder that changed; a run that finds every
// file up to date returns Written and touches nothing.
// When a system data folder already provides our type together with our
// desktop entry naming this very program (an installed package), everything
// is left alone: LeftAlone.
// In mimeapps.list our default line is added when the MIME type has none; a
// default the user chose is kept. Without an absolute dataHome and configHome,
// or without the program's path, the result is WriteFailed and nothing is
// touched.
FileTypeResult registerFileTypeFreedesktop(const FreedesktopPaths &paths, const FileTypeInfo &info, unsigned flags);
#endif

// What start-up calls: ".trv" as "trvfile", "TREVA file", the running
// program, icon 1, RewriteOwn. Windows registry on Windows, freedesktop files
// on Linux, nothing elsewhere (LeftAlone). The caller may ignore the result.
FileTypeResult registerScenarioFileType();

} // namespace treva
