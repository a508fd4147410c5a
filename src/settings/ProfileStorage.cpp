// Profile files on POSIX: open(2), mkstemp(3) and rename(2).
#include "settings/ProfileStorage.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ProfileStorage {

namespace {

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t put = ::write(fd, data.data() + done, data.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

// Rewrites an existing file where it stands. Not crash-safe: only for a file
// whose folder takes no temporary file, where it is the one way to save.
bool RewriteInPlace(const std::string& path, const std::string& contents) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, contents) && ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
              ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

// False when path exists and this process may not write it. A rename would
// replace it all the same (it asks only the folder), losing a file the
// operator protected.
bool MayWrite(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == ENOENT;
}

} // namespace

LoadResult Load(const std::string& path, std::string& contents) {
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Failed;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return LoadResult::Failed;
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return LoadResult::Loaded;
}

bool Replace(const std::string& path, const std::string& contents) {
    if (!MayWrite(path))
        return false;
    std::string temp = TempPrefix(path) + std::to_string(::getpid()) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return (errno == EACCES || errno == EPERM) && RewriteInPlace(path, contents);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        RemoveAbandonedTemps(path);
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

long CurrentWriter() {
    return static_cast<long>(::getpid());
}

bool WriterHasEnded(long id) {
    return ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

} // namespace ProfileStorage
