// The scenario association on freedesktop desktops: a shared-mime-info
// package, a desktop entry and the default-application line, all in the
// user's own folders. System folders are only read.
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "shell/filetype/file_type.h"

extern char **environ;

namespace treva {

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Small text helpers.

// MIME types, globs and file names compare in ASCII; no locale is involved.
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    std::string lowerWord(word);
    std::transform(lowerWord.begin(), lowerWord.end(), lowerWord.begin(), asciiLower);
    return std::search(text.begin(), text.end(), lowerWord.begin(), lowerWord.end(),
                       [](char x, char y) { return asciiLower(x) == y; }) != text.end();
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

bool absolute(const std::string &path) { return path.starts_with("/"); }

// ---------------------------------------------------------------------------
// Files.

bool readFile(const std::string &path, std::string &text) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0) {
        return false;
    }
    text.assign(static_cast<size_t>(size), '\0');
    in.seekg(0);
    return static_cast<bool>(in.read(text.data(), size));
}

// Creates the missing folders of `path` with 0700, as the XDG rules ask.
bool makeFolders(const fs::path &path) {
    std::error_code error;
    fs::path partial;
    for (const fs::path &part : path) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST && !fs::is_directory(partial, error)) {
            return false;
        }
    }
    return fs::is_directory(path, error);
}

// Writes through a temporary file in the same folder renamed over the old
// one, so that a reader never sees half a file. A symbolic link (a managed
// dotfile) is followed and its target replaced instead of the link.
bool writeFileAtomically(const std::string &path, const std::string &text) {
    std::error_code error;
    fs::path target = path;
    if (fs::is_symlink(target, error)) {
        target = fs::weakly_canonical(target, error);
        if (error) {
            return false;
        }
    }
    if (!makeFolders(target.parent_path())) {
        return false;
    }
    mode_t mode = 0644;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    }
    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += ok ? static_cast<size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
    }
    return ok;
}

// Writes `text` unless the file already holds exactly that. `written` tells
// whether it was written.
bool updateFile(const std::string &path, const std::string &text, bool &written) {
    std::string current;
    written = false;
    if (readFile(path, current) && current == text) {
        return true;
    }
    written = writeFileAtomically(path, text);
    return written;
}

// ---------------------------------------------------------------------------
// Who claims the glob: every <glob pattern="..."> inside a <mime-type>.

std::string decodeEntities(std::string_view s) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < s.size();) {
        bool replaced = false;
        for (const auto &[entity, c] : kEntities) {
            if (s.substr(i, entity.size()) == entity) {
                out += c;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += s[i++];
        }
    }
    return out;
}

// The value of attribute `name` in the text of one tag, "" when absent.
std::string attribute(std::string_view tag, std::string_view name) {
    for (size_t i = 0; i < tag.size();) {
        const size_t eq = tag.find('=', i);
        if (eq == std::string_view::npos) {
            break;
        }
        std::string_view key = trim(tag.substr(i, eq - i));
        const size_t space = key.find_last_of(" \t\r\n");
        if (space != std::string_view::npos) {
            key.remove_prefix(space + 1);
        }
        size_t open = eq + 1;
        while (open < tag.size() && std::isspace(static_cast<unsigned char>(tag[open]))) {
            ++open;
        }
        if (open >= tag.size() || (tag[open] != '"' && tag[open] != '\'')) {
            break;
        }
        const size_t close = tag.find(tag[open], open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        if (key == name) {
            return decodeEntities(tag.substr(open + 1, close - open - 1));
        }
        i = close + 1;
    }
    return {};
}

// Calls `claim(type)` for every MIME type in the package whose glob is
// `pattern`. Globs compare without regard to case, as shared-mime-info
// matches them.
template <typename Claim> void forEachClaim(std::string_view xml, std::string_view pattern, Claim claim) {
    std::string type;
    for (size_t pos = xml.find('<'); pos != std::string_view::npos; pos = xml.find('<', pos)) {
        const std::string_view rest = xml.substr(pos);
        const auto skipTo = [&](std::string_view end) {
            const size_t at = xml.find(end, pos);
            pos = at == std::string_view::npos ? xml.size() : at + end.size();
        };
        if (rest.starts_with("<!--")) {
            skipTo("-->");
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            skipTo("]]>");
            continue;
        }
        // The tag ends at the first '>' outside quotes.
        size_t end = 1;
        for (char quote = 0; end < rest.size() && (quote != 0 || rest[end] != '>'); ++end) {
            if (quote == 0 && (rest[end] == '"' || rest[end] == '\'')) {
                quote = rest[end];
            } else if (rest[end] == quote) {
                quote = 0;
            }
        }
        const std::string_view tag = rest.substr(1, end - 1);
        pos += end;
        const bool closing = tag.starts_with("/");
        std::string_view name = tag.substr(closing ? 1 : 0);
        name = name.substr(0, name.find_first_of(" \t\r\n/"));
        if (const size_t colon = name.find(':'); colon != std::string_view::npos) {
            name.remove_prefix(colon + 1); // a namespace prefix
        }
        if (name == "mime-type") {
            type = closing ? std::string() : attribute(tag, "type");
        } else if (name == "glob" && !closing && !type.empty() &&
                   equalsIgnoringCase(attribute(tag, "pattern"), pattern)) {
            claim(type);
        }
    }
}

struct Claims {
    bool own = false;         // our MIME type claims the glob
    bool ownInSystem = false; // ... in a system data folder
    bool foreign = false;     // another MIME type claims it
};

Claims findClaims(const FreedesktopPaths &paths, const FileTypeInfo &info, const std::string &pattern) {
    Claims claims;
    std::vector<std::pair<std::string, bool>> folders{{paths.dataHome, false}};
    for (const std::string &dir : paths.dataDirs) {
        folders.emplace_back(dir, true);
    }
    const std::string word = info.extension.substr(1);
    for (const auto &[dir, system] : folders) {
        std::error_code error;
        for (fs::directory_iterator it(fs::path(dir) / "mime" / "packages", error), end; !error && it != end;
             it.increment(error)) {
            std::string xml;
            if (it->path().extension() != ".xml" || !readFile(it->path().string(), xml) ||
                !containsIgnoringCase(xml, word)) { // most packages never mention it: skip the parse
                continue;
            }
            forEachClaim(xml, pattern, [&, system = system](const std::string &type) {
                if (equalsIgnoringCase(type, info.mimeType)) {
                    claims.own = true;
                    claims.ownInSystem = claims.ownInSystem || system;
                } else {
                    claims.foreign = true;
                }
            });
        }
    }
    return claims;
}

// ---------------------------------------------------------------------------
// Desktop entries.

// The string escapes of desktop entry values.
std::string escapeDesktopString(std::string_view s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string unescapeDesktopString(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        switch (s[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        default: out += s[i];
        }
    }
    return out;
}

// One Exec argument in double quotes: inside them '"', '`', '$' and '\' take
// a backslash, and '%' is doubled so it is not read as a field code.
std::string quoteExecArgument(std::string_view argument) {
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            out += '\\';
        } else if (c == '%') {
            out += '%';
        }
        out += c;
    }
    return out + "\"";
}

// The program an Exec line starts: its first argument, unquoted.
std::string execProgram(std::string_view exec) {
    exec = trim(exec);
    std::string program;
    if (exec.starts_with("\"")) {
        for (size_t i = 1; i < exec.size() && exec[i] != '"'; ++i) {
            if ((exec[i] == '\\' || exec.substr(i, 2) == "%%") && i + 1 < exec.size()) {
                ++i;
            }
            program += exec[i];
        }
    } else {
        program = exec.substr(0, exec.find_first_of(" \t"));
    }
    return program;
}

// The (unescaped) value of `key` in the [Desktop Entry] group.
std::string desktopEntryValue(const std::string &text, std::string_view key) {
    std::istringstream in(text);
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        const std::string_view l = trim(line);
        if (l.starts_with("[")) {
            inGroup = l == "[Desktop Entry]";
        } else if (const size_t eq = l.find('='); inGroup && eq != std::string_view::npos) {
            if (trim(l.substr(0, eq)) == key) {
                return unescapeDesktopString(trim(l.substr(eq + 1)));
            }
        }
    }
    return {};
}

// A bare program name is looked up on PATH, as the desktop would; relative
// PATH entries are skipped so that the current folder never supplies one.
std::string findOnPath(const std::string &name) {
    if (name.find('/') != std::string::npos) {
        return name;
    }
    const char *path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = dir + "/" + name;
        if (absolute(dir) && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

bool sameProgram(const std::string &a, const std::string &b) {
    std::error_code error;
    return !a.empty() && (a == b || fs::equivalent(a, b, error));
}

// An installed package: a system data folder holds our desktop entry for our
// MIME type, starting this very program.
bool systemEntryStartsProgram(const FreedesktopPaths &paths, const FileTypeInfo &info, const std::string &program) {
    for (const std::string &dir : paths.dataDirs) {
        std::string text;
        if (!readFile(dir + "/applications/" + info.desktopFile, text)) {
            continue;
        }
        std::istringstream types(desktopEntryValue(text, "MimeType"));
        bool opensOurType = false;
        for (std::string type; std::getline(types, type, ';');) {
            opensOurType = opensOurType || equalsIgnoringCase(trim(type), info.mimeType);
        }
        if (opensOurType && sameProgram(findOnPath(execProgram(desktopEntryValue(text, "Exec"))), program)) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// The three files.

std::string escapeXml(std::string_view s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string mimePackage(const FileTypeInfo &info, const std::string &pattern, bool outrank) {
    // The default glob weight is 50; a higher one wins over another claim.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           escapeXml(info.mimeType) +
           "\">\n"
           "    <comment>" +
           escapeXml(info.description) +
           "</comment>\n"
           "    <icon name=\"" +
           escapeXml(info.fileIconName) +
           "\"/>\n"
           "    <glob pattern=\"" +
           escapeXml(pattern) + "\"" + (outrank ? " weight=\"80\"" : "") +
           "/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

std::string desktopEntry(const FileTypeInfo &info, const std::string &program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=TREVA\n"
           "Exec=" +
           escapeDesktopString(quoteExecArgument(program) + " %f") +
           "\n"
           "Icon=" +
           escapeDesktopString(info.iconName) +
           "\n"
           "MimeType=" +
           info.mimeType +
           ";\n"
           "Categories=Game;BoardGame;\n"
           "Terminal=false\n";
}

// mimeapps.list with "<mimeType>=<desktopFile>" added at the end of the
// [Default Applications] group when that group names no program for the
// type; every other byte stays as it was.
std::string withDefaultApplication(const std::string &text, const std::string &mimeType,
                                   const std::string &desktopFile) {
    const std::string line = mimeType + "=" + desktopFile + "\n";
    bool inGroup = false;
    size_t insertAt = std::string::npos;
    for (size_t pos = 0; pos < text.size();) {
        const size_t newline = text.find('\n', pos);
        const size_t next = newline == std::string::npos ? text.size() : newline + 1;
        const std::string_view l = trim(std::string_view(text).substr(pos, next - pos));
        if (l.starts_with("[")) {
            if (inGroup) {
                break; // the group ends; a repeated group is not looked at
            }
            inGroup = l == "[Default Applications]";
            if (inGroup) {
                insertAt = next;
            }
        } else if (const size_t eq = l.find('='); inGroup && !l.starts_with("#") && eq != std::string_view::npos) {
            if (trim(l.substr(0, eq)) == mimeType) {
                return text; // a default is set already, maybe the user's choice: keep it
            }
            insertAt = next;
        }
        pos = next;
    }
    if (insertAt == std::string::npos) {
        std::string out = text;
        if (!out.empty()) {
            out += out.back() == '\n' ? "\n" : "\n\n";
        }
        return out + "[Default Applications]\n" + line;
    }
    std::string head = text.substr(0, insertAt);
    if (!head.empty() && head.back() != '\n') {
        head += '\n';
    }
    return head + line + text.substr(insertAt);
}

} // namespace

FreedesktopPaths freedesktopPathsFromEnvironment(const EnvironmentLookup &lookup) {
    // Relative values are invalid by the XDG rules and are ignored.
    const auto absoluteVariable = [&lookup](const char *name) {
        const char *value = lookup(name);
        return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
    };
    std::string home = absoluteVariable("HOME");
    if (home.empty()) {
        const passwd *user = ::getpwuid(::getuid());
        home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
    }
    FreedesktopPaths paths;
    paths.dataHome = absoluteVariable("XDG_DATA_HOME");
    if (paths.dataHome.empty() && !home.empty()) {
        paths.dataHome = home + "/.local/share";
    }
    paths.configHome = absoluteVariable("XDG_CONFIG_HOME");
    if (paths.configHome.empty() && !home.empty()) {
        paths.configHome = home + "/.config";
    }
    const char *dirs = lookup("XDG_DATA_DIRS");
    std::istringstream list(dirs != nullptr && dirs[0] != '\0' ? dirs : "/usr/local/share:/usr/share");
    for (std::string dir; std::getline(list, dir, ':');) {
        if (absolute(dir)) {
            paths.dataDirs.push_back(dir);
        }
    }
    paths.runUpdater = runCacheUpdater;
    return paths;
}

FreedesktopPaths freedesktopPathsFromEnvironment() {
    return freedesktopPathsFromEnvironment(
        [](const char *name) { return static_cast<const char *>(std::getenv(name)); });
}

void runCacheUpdater(const std::string &tool, const std::string &folder) {
    const std::string program = findOnPath(tool);
    if (program.empty()) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string arg0 = tool;
    std::string arg1 = folder;
    char *argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    }
    posix_spawn_file_actions_destroy(&actions);
}

FileTypeResult registerFileTypeFreedesktop(const FreedesktopPaths &paths, const FileTypeInfo &info, unsigned flags) {
    if (!validFileTypeExtension(info.extension.c_str())) {
        return FileTypeResult::BadExtension;
    }
    const std::string program = info.programPath.empty() ? runningProgramPath() : info.programPath;
    if (program.empty() || !absolute(paths.dataHome) || !absolute(paths.configHome)) {
        return FileTypeResult::WriteFailed;
    }

    const std::string pattern = "*" + info.extension;
    const Claims claims = findClaims(paths, info, pattern);
    if (claims.ownInSystem && systemEntryStartsProgram(paths, info, program)) {
        return FileTypeResult::LeftAlone; // the installed package has it in hand
    }
    if (claims.foreign ? (flags & ReplaceForeign) == 0 : claims.own && (flags & RewriteOwn) == 0) {
        return FileTypeResult::LeftAlone;
    }

    const std::string mimeFolder = paths.dataHome + "/mime";
    const std::string applicationsFolder = paths.dataHome + "/applications";
    const std::string mimeapps = paths.configHome + "/mimeapps.list";
    std::string oldMimeapps;
    std::error_code error;
    // An unreadable list must not be replaced by one holding our line alone.
    const bool listReadable = readFile(mimeapps, oldMimeapps) || !fs::exists(mimeapps, error);

    bool packageWritten = false;
    bool entryWritten = false;
    bool listWritten = false;
    const bool ok =
        updateFile(mimeFolder + "/packages/" + info.packageFile, mimePackage(info, pattern, claims.foreign),
                   packageWritten) &&
        updateFile(applicationsFolder + "/" + info.desktopFile, desktopEntry(info, program), entryWritten) &&
        listReadable &&
        updateFile(mimeapps, withDefaultApplication(oldMimeapps, info.mimeType, info.desktopFile), listWritten);

    if (paths.runUpdater) {
        if (packageWritten) {
            paths.runUpdater("update-mime-database", mimeFolder);
        }
        if (entryWritten) {
            paths.runUpdater("update-desktop-database", applicationsFolder);
        }
    }
    return ok ? FileTypeResult::Written : FileTypeResult::WriteFailed;
}

} // namespace treva
