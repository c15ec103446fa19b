// The association algorithm against the registry interface.
#include "platform/win32/file_type_registry.h"

namespace treva {

FileTypeResult registerFileType(FileTypeRegistry &registry, const std::string &extension, const std::string &progId,
                                const std::string &description, const std::string &program, int iconIndex,
                                unsigned flags) {
    if (extension.size() < 2 || extension.size() > 4 || extension[0] != '.') return FileTypeResult::BadExtension;
    if (program.empty()) return FileTypeResult::WriteFailed;

    bool existed = false;
    if (!registry.createKey(extension, existed)) return FileTypeResult::WriteFailed;
    if (existed) {
        const bool own = registry.readDefault(extension) == progId;
        if ((flags & (own ? RewriteOwn : ReplaceForeign)) == 0) return FileTypeResult::LeftAlone;
    }

    const auto key = [&registry](const std::string &path) {
        bool ignored = false;
        return registry.createKey(path, ignored);
    };
    const auto value = [&](const std::string &path, const std::string &text) {
        return key(path) && registry.writeDefault(path, text);
    };
    // The program and "%1" are quoted so that paths with blanks arrive whole.
    const std::string quoted = '"' + program + '"';
    const bool ok = registry.writeDefault(extension, progId) && value(progId, description) &&
                    value(progId + "\\DefaultIcon", quoted + "," + std::to_string(iconIndex)) &&
                    key(progId + "\\shell") && key(progId + "\\shell\\open") &&
                    value(progId + "\\shell\\open\\command", quoted + " \"%1\"");
    return ok ? FileTypeResult::Written : FileTypeResult::WriteFailed;
}

} // namespace treva
