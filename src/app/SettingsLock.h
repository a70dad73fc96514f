#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>

namespace zrv
{

// The lock by which one copy of the program at a time writes the settings of a directory
// ("zrv.opt.lock" beside "zrv.opt").  The lock file names its holder: process id, program and
// host name.  A lock whose holder still runs on this machine is never taken, however old it is;
// one whose holder has gone is taken at once.  A lock whose holder cannot be known (empty, as a
// power cut right after it was made leaves it; unreadable; not a lock file at all; another
// machine's; a link that leads nowhere) is removed and taken once it is `unknownHolder_ms` old:
// a copy that made it just now has written its process id long before that.  A younger one is
// waited for until then.
class SettingsLock
{
  public:
    enum class State {
        Held,          // this copy holds the lock: it may save
        HeldElsewhere, // another copy on this machine runs in the directory: never save
        NotHeld,       // no lock can be made here (a folder that cannot be written, a lock that
                       // cannot be removed); nobody is known to hold it: saving goes ahead
    };

    static constexpr int kUnknownHolder_ms = 3000;

    explicit SettingsLock(const QString& fileName, int unknownHolder_ms = kUnknownHolder_ms);

    // Takes the lock if it can; waits at most about `unknownHolder_ms`.  Called once.
    State lock();

  private:
    bool holderRuns() const;

    QLockFile m_lock;
    QByteArray m_path; // the file system's bytes
    int m_unknownHolder_ms;
};

} // namespace zrv
