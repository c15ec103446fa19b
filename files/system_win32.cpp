// File names are UTF-8 in the program and UTF-16 in Windows' own calls
// (filePath gives them), so that any name works whatever the system's code
// page.
#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "files/system.h"

namespace treva::os {

Kind kindOf(const std::string &path) {
    struct _stat64 st;
    if (::_wstat64(filePath(path).c_str(), &st) != 0) return Kind::None;
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
}

bool readOnly(const std::string &path) {
    const DWORD attributes = GetFileAttributesW(filePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

std::FILE *openRegularForReading(const std::string &path, bool &notRegular) {
    const Kind kind = kindOf(path);
    notRegular = kind == Kind::Folder || kind == Kind::Other;
    return notRegular ? nullptr : ::_wfopen(filePath(path).c_str(), L"rb");
}

bool writeTemporary(const std::string &path, std::string_view bytes, PreparedFile &out) {
    const std::string temporary = path + ".saving";
    std::FILE *file = ::_wfopen(filePath(temporary).c_str(), L"wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0 &&
              _commit(_fileno(file)) == 0;
    int writeError = errno;
    if (std::fclose(file) != 0 && ok) ok = false, writeError = errno;
    if (!ok) {
        ::_wremove(filePath(temporary).c_str());
        errno = writeError;
        return false;
    }
    out = {temporary, path};
    return true;
}

bool replace(const PreparedFile &file) {
    if (MoveFileExW(filePath(file.temporary).c_str(), filePath(file.destination).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = EACCES;
    return false;
}

int openForUpdate(const std::string &path) { return ::_wopen(filePath(path).c_str(), _O_RDWR | _O_BINARY); }
int openToRead(const std::string &path) { return ::_wopen(filePath(path).c_str(), _O_RDONLY | _O_BINARY); }
int createNew(const std::string &path) {
    return ::_wopen(filePath(path).c_str(), _O_RDWR | _O_BINARY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
}
int64_t lengthOf(int fd) { return ::_lseeki64(fd, 0, SEEK_END); }
bool seekTo(int fd, uint64_t at) { return ::_lseeki64(fd, int64_t(at), SEEK_SET) == int64_t(at); }
bool truncateTo(int fd, uint64_t length) { return ::_chsize_s(fd, int64_t(length)) == 0; }
bool syncToDisk(int fd) { return ::_commit(fd) == 0; }
long readSome(int fd, char *into, std::size_t size) {
    return ::_read(fd, into, unsigned(std::min<std::size_t>(size, 1u << 30)));
}
long writeSome(int fd, const char *from, std::size_t size) {
    return ::_write(fd, from, unsigned(std::min<std::size_t>(size, 1u << 30)));
}
void closeFile(int fd) { ::_close(fd); }

} // namespace treva::os
