#include "app/SettingsLock.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv
{

SettingsLock::SettingsLock(const QString& fileName, int unknownHolder_ms)
    : m_lock(fileName), m_path(QFile::encodeName(fileName)), m_unknownHolder_ms(unknownHolder_ms)
{
    // Never by its age alone: a copy may run for days.  Qt itself removes a lock whose holder
    // is known to be gone.
    m_lock.setStaleLockTime(0);
}

SettingsLock::State SettingsLock::lock()
{
    const int step_ms = qBound(10, m_unknownHolder_ms / 10, 100);
    const QDeadlineTimer deadline(2 * qint64(m_unknownHolder_ms) + 1000);
    for (;;) {
        if (m_lock.tryLock(0))
            return State::Held;
        if (m_lock.error() != QLockFile::LockFailedError)
            return State::NotHeld;
        if (holderRuns())
            return State::HeldElsewhere;
        struct stat found {
        };
        if (::lstat(m_path.constData(), &found) != 0) {
            if (errno == ENOENT && !deadline.hasExpired())
                continue; // gone meanwhile
            return State::NotHeld;
        }
        const qint64 modified_ms = qint64(found.st_mtim.tv_sec) * 1000 + found.st_mtim.tv_nsec / 1000000;
        const qint64 age_ms = QDateTime::currentMSecsSinceEpoch() - modified_ms;
        if (qAbs(age_ms) > m_unknownHolder_ms) {
            // Only the very file found old: another copy may have replaced it meanwhile.
            struct stat again {
            };
            if (::lstat(m_path.constData(), &again) == 0 && again.st_dev == found.st_dev &&
                again.st_ino == found.st_ino && ::unlink(m_path.constData()) == 0 && !deadline.hasExpired())
                continue;
            return State::NotHeld;
        }
        if (deadline.hasExpired())
            return State::NotHeld;
        QThread::msleep(step_ms);
    }
}

// The lock names a process of this machine that runs the program it names (not another one
// that got the same number later).
bool SettingsLock::holderRuns() const
{
    qint64 pid = 0;
    QString host;
    QString program;
    if (!m_lock.getLockInfo(&pid, &host, &program) || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    // Another user's process cannot be looked into: it counts as the holder.
    QString running = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    if (running.isEmpty())
        return true;
    const QLatin1String replaced(" (deleted)"); // the program file was replaced while it ran
    if (running.endsWith(replaced))
        running.chop(replaced.size());
    return QFileInfo(running).fileName() == QFileInfo(program).fileName();
}

} // namespace zrv
