#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/system.h"

namespace treva::os {
namespace {

// The mode a new file would get, or the mode of the file being replaced.
mode_t modeFor(const std::string &path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    // Whatever the mask, the owner can read and write what the program
    // saves (some systems start programs with every permission masked off).
    return (0666 & ~mask) | 0600;
}

} // namespace

Kind kindOf(const std::string &path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return Kind::None;
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
}

// By the file's mode, as on Windows: the program may run with the rights to
// write any file, yet a file its owner made read-only stays so.
bool readOnly(const std::string &path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

std::FILE *openRegularForReading(const std::string &path, bool &notRegular) {
    // Opened without waiting, then checked, so that a pipe or a device never
    // blocks the program.
    notRegular = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        notRegular = true;
        return nullptr;
    }
    std::FILE *file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

bool writeTemporary(const std::string &path, std::string_view bytes, PreparedFile &out) {
    // Beside the real file, so that a link to it stays a link.
    std::error_code ec;
    const std::string real =
        std::filesystem::is_symlink(path, ec) ? std::filesystem::canonical(path, ec).string() : path;
    const std::string &destination = ec || real.empty() ? path : real;
    std::string temporary = destination + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    bool ok = true;
    int writeError = 0;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false, writeError = n < 0 ? errno : EIO;
        else
            written += std::size_t(n);
    }
    if (ok && ::fchmod(fd, modeFor(destination)) != 0) ok = false, writeError = errno;
    if (ok && ::fsync(fd) != 0) ok = false, writeError = errno;
    if (::close(fd) != 0 && ok) ok = false, writeError = errno;
    if (!ok) {
        ::unlink(temporary.c_str());
        errno = writeError;
        return false;
    }
    out = {temporary, destination};
    return true;
}

bool replace(const PreparedFile &file) { return std::rename(file.temporary.c_str(), file.destination.c_str()) == 0; }

int openForUpdate(const std::string &path) { return ::open(path.c_str(), O_RDWR | O_CLOEXEC); }
int openToRead(const std::string &path) { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }
int createNew(const std::string &path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
int64_t lengthOf(int fd) { return ::lseek(fd, 0, SEEK_END); }
bool seekTo(int fd, uint64_t at) { return ::lseek(fd, off_t(at), SEEK_SET) == off_t(at); }
bool truncateTo(int fd, uint64_t length) { return ::ftruncate(fd, off_t(length)) == 0; }
bool syncToDisk(int fd) { return ::fsync(fd) == 0; }
long readSome(int fd, char *into, std::size_t size) { return long(::read(fd, into, size)); }
long writeSome(int fd, const char *from, std::size_t size) { return long(::write(fd, from, size)); }
void closeFile(int fd) { ::close(fd); }

} // namespace treva::os
