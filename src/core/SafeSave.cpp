#include "core/SafeSave.h"

#include <QRandomGenerator>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv
{
namespace
{

// An open file descriptor, closed when it goes away.
class Fd
{
  public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd& operator=(Fd&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    // Closes the descriptor; the errno value of a failed close, else 0.
    int Close()
    {
        if (m_fd < 0)
            return 0;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int m_fd = -1;
};

// Where a path leads: an open folder and a name in it.
struct Target {
    Fd folder;
    QByteArray name;
    bool exists = false;
    struct stat status {
    }; // of `name` itself, a link not followed; valid when `exists`
    int error = 0;
};

constexpr int MaxLinks = 40; // as the kernel allows in one path

// Linux opens a folder only to name things in it without read permission, and makes files
// without a name; elsewhere a folder must be readable and the new file is named at once.
#ifdef O_PATH
constexpr int PathOnly = O_PATH;
#else
constexpr int PathOnly = O_RDONLY;
#endif

int OpenUnnamedFile(int folder, mode_t mode)
{
#ifdef O_TMPFILE
    return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    (void)folder;
    (void)mode;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

int OpenFolder(int at, const QByteArray& path, Fd* folder)
{
    int fd = ::openat(at, path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be entered but not listed is still a place to write in.
    if (fd < 0 && errno == EACCES)
        fd = ::openat(at, path.constData(), PathOnly | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    *folder = Fd(fd);
    return 0;
}

// The kernel's "protected_symlinks" rule, kept whatever the system's setting: in a sticky
// folder that everyone may write to, a link is followed only by its owner, or when the link
// and the folder have the same owner.
bool MayFollow(int folder, const struct stat& link)
{
    if (link.st_uid == ::geteuid())
        return true;
    struct stat dir {
    };
    if (::fstat(folder, &dir) != 0)
        return false;
    if ((dir.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH))
        return true;
    return dir.st_uid == link.st_uid;
}

Target Find(QByteArrayView path, bool followLinks)
{
    Target t;
    QByteArray rest = path.toByteArray();
    int at = AT_FDCWD; // what `rest` is relative to
    for (int hop = 0;; ++hop) {
        const qsizetype slash = rest.lastIndexOf('/');
        t.name = rest.mid(slash + 1);
        if (t.name.isEmpty())
            t.name = ".";
        if (slash >= 0 || hop == 0) {
            Fd folder;
            t.error = OpenFolder(at, slash >= 0 ? rest.left(slash + 1) : QByteArray("."), &folder);
            if (t.error != 0)
                return t;
            t.folder = std::move(folder);
        }
        if (::fstatat(t.folder.Get(), t.name.constData(), &t.status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                t.error = errno;
            return t;
        }
        t.exists = true;
        if (!S_ISLNK(t.status.st_mode) || !followLinks)
            return t;
        if (hop == MaxLinks) {
            t.error = ELOOP;
            return t;
        }
        if (!MayFollow(t.folder.Get(), t.status)) {
            t.error = EACCES;
            return t;
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlinkat(t.folder.Get(), t.name.constData(), target, sizeof target);
        if (n <= 0 || n == ssize_t(sizeof target)) {
            t.error = n < 0 ? errno : ENAMETOOLONG;
            return t;
        }
        rest = QByteArray(target, n);
        at = t.folder.Get();
        t.exists = false;
    }
}

int WriteAll(int fd, QByteArrayView data)
{
    const char* p = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        p += n;
        left -= n;
    }
    return 0;
}

// The replaced file's owner and group where the process may set them (root may; others only a
// group of their own), then its mode, set last since a change of owner clears set-id bits.
int TakeOwnerAndMode(int fd, const struct stat& old)
{
    struct stat now {
    };
    if (::fstat(fd, &now) != 0)
        return errno;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        now.st_gid != old.st_gid)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// "<name>.XXXXXX", six random letters and digits.
QByteArray TemporaryName(const QByteArray& name)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray temp = name + '.';
    for (int i = 0; i < 6; ++i)
        temp += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return temp;
}

constexpr int NameAttempts = 100;

// Gives the unnamed file `fd` a temporary name beside the target.
int NameUnnamedFile(const Target& t, int fd, QByteArray* tempName)
{
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = TemporaryName(t.name);
        int error = 0;
        if (::linkat(AT_FDCWD, self, t.folder.Get(), name.constData(), AT_SYMLINK_FOLLOW) != 0) {
            error = errno;
#ifdef AT_EMPTY_PATH
            // Without /proc, the privileged way.
            if (error == ENOENT && ::linkat(fd, "", t.folder.Get(), name.constData(), AT_EMPTY_PATH) == 0)
                error = 0;
            else if (error == ENOENT)
                error = errno;
#endif
        }
        if (error == 0)
            *tempName = name;
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

int CreateNamedFile(const Target& t, mode_t mode, Fd* fd, QByteArray* tempName)
{
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        const QByteArray name = TemporaryName(t.name);
        const int f = ::openat(t.folder.Get(), name.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (f >= 0) {
            *fd = Fd(f);
            *tempName = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Writes the new file beside the target and renames it over the target.  The new file gets a
// name only once it is complete and on disk where the system allows (O_TMPFILE), so a process
// killed at any moment leaves no partial file.
int WriteBeside(const Target& t, QByteArrayView data)
{
    const bool replacing = t.exists && S_ISREG(t.status.st_mode);
    // A file that replaces another is readable by nobody else until it has the old one's mode.
    const mode_t mode = replacing ? 0600 : 0666;
    QByteArray tempName;
    Fd fd(OpenUnnamedFile(t.folder.Get(), mode));
    const bool unnamed = fd.Valid();
    if (!unnamed) {
        // File systems without unnamed files answer one of these.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
        if (const int error = CreateNamedFile(t, mode, &fd, &tempName))
            return error;
    }
    int error = WriteAll(fd.Get(), data);
    if (error == 0 && replacing)
        error = TakeOwnerAndMode(fd.Get(), t.status);
    if (error == 0 && ::fsync(fd.Get()) != 0)
        error = errno;
    if (error == 0 && unnamed)
        error = NameUnnamedFile(t, fd.Get(), &tempName);
    if (const int closed = fd.Close(); error == 0)
        error = closed;
    if (error == 0 &&
        ::renameat(t.folder.Get(), tempName.constData(), t.folder.Get(), t.name.constData()) != 0)
        error = errno;
    if (error != 0) {
        if (!tempName.isEmpty())
            ::unlinkat(t.folder.Get(), tempName.constData(), 0);
        return error;
    }
    // The rename itself to disk; a folder opened only as a path cannot be flushed, and the
    // contents are safe either way.
    (void)::fsync(t.folder.Get());
    return 0;
}

} // namespace

ReadOutcome readRegularFile(QByteArrayView path, qint64 limit, QByteArray* bytes)
{
    bytes->clear();
    const Target t = Find(path, true);
    if (t.error != 0 || !t.exists || !S_ISREG(t.status.st_mode))
        return ReadOutcome::Missing;
    if (t.status.st_size > limit)
        return ReadOutcome::Unreadable;
    // Not blocking, should the name have become a pipe in the meantime.
    Fd fd(::openat(t.folder.Get(), t.name.constData(),
                   O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat status {
    };
    if (!fd.Valid())
        return ReadOutcome::Unreadable;
    if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return ReadOutcome::Missing;

    // Never beyond the limit, also for a file that grows while it is read or that reports no
    // size (as the kernel's own files do): room for the size found and one more byte, grown only
    // while the file goes on.
    QByteArray data(std::min<qint64>(status.st_size, limit) + 1, Qt::Uninitialized);
    qint64 used = 0;
    while (true) {
        if (used == data.size()) {
            if (used > limit)
                return ReadOutcome::Unreadable;
            data.resize(std::min(2 * used, limit + 1));
        }
        const ssize_t n = ::read(fd.Get(), data.data() + used, size_t(data.size() - used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadOutcome::Unreadable;
        if (n == 0)
            break;
        used += n;
    }
    data.truncate(used);
    *bytes = std::move(data);
    return ReadOutcome::Read;
}

int replaceFile(QByteArrayView path, QByteArrayView data, SaveOutcome* outcome)
{
    if (outcome)
        *outcome = SaveOutcome::Written;
    Target t = Find(path, true);
    // A link that leads round in circles names no file; it is replaced by one.
    if (t.error == ELOOP)
        t = Find(path, false);
    if (t.error != 0)
        return t.error;
    if (t.exists) {
        const mode_t type = t.status.st_mode & S_IFMT;
        if (type == S_IFDIR)
            return EISDIR;
        if (type != S_IFREG && type != S_IFLNK) {
            if (outcome)
                *outcome = SaveOutcome::LeftAlone;
            return 0;
        }
        // A file made read-only is not replaced (root may write any).
        if (type == S_IFREG && ::faccessat(t.folder.Get(), t.name.constData(), W_OK, AT_EACCESS) != 0)
            return errno;
    }
    return WriteBeside(t, data);
}

} // namespace zrv
