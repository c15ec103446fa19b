// Scenario files open TREVA on Windows: at every start the per-user class keys
// associate ".trv" with the running program, so that opening a scenario from
// Explorer starts TREVA with the file's path as its one argument.
//
// The algorithm works against FileTypeRegistry: the real registry on Windows,
// an in-memory one in the tests on any host.
#pragma once

#include <optional>
#include <string>

namespace treva {

enum FileTypeFlags : unsigned {
    ReplaceForeign = 1, // replace an association that names another program
    RewriteOwn = 2,     // write everything again when the association is ours
};

enum class FileTypeResult {
    Written,      // every key and value written
    WriteFailed,  // a key or value could not be written; what was written before stays
    LeftAlone,    // already associated and the flags forbid writing; nothing written
    BadExtension, // not a dot followed by 1 to 3 characters; nothing touched
};

// The class keys, relative to the class root, with "\" between levels
// ("trvfile\shell\open\command").
class FileTypeRegistry {
public:
    virtual ~FileTypeRegistry() = default;
    // Creates the key or opens the one there; `existed` says which.
    virtual bool createKey(const std::string &path, bool &existed) = 0;
    // The key's default value when it is there and a string.
    virtual std::optional<std::string> readDefault(const std::string &path) = 0;
    // Sets the default value of an existing key.
    virtual bool writeDefault(const std::string &path, const std::string &value) = 0;
};

// Associates `extension` with `program` (a full path) under the class
// `progId`. An extension whose default names `progId` is ours and is written
// again only with RewriteOwn; any other existing extension key is foreign and
// is written only with ReplaceForeign. Without a program path the result is
// WriteFailed before any access.
FileTypeResult registerFileType(FileTypeRegistry &registry, const std::string &extension, const std::string &progId,
                                const std::string &description, const std::string &program, int iconIndex,
                                unsigned flags);

#ifdef _WIN32
// What start-up calls: ".trv" as "trvfile", "TREVA file", the running program
// and its icon 1, RewriteOwn, in HKEY_CURRENT_USER\Software\Classes. The
// user's own choice of program is never touched. The caller may ignore the
// result.
FileTypeResult registerScenarioFileType();
#endif

} // namespace treva
