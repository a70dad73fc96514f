#pragma once
// Runs the helper process zrv_save_child once on a settings file, as another user where the
// test runs as root, so that file permissions count as they do for a person.

#include "support/SettingsLines.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <grp.h>
#include <unistd.h>

namespace zrvtest
{

constexpr uid_t Nobody = 65534; // user and group "nobody" / "nogroup"

// What `zrv_save_child once <file>` prints ("read\nsaved\n"; on a failure the error and the
// system's reason), run as `user` (with that number as its only group) when it differs from the
// test's user.  "<failed to run>" when the child cannot be started or does not end.
inline QByteArray RunSaveChild(const QString& file, uid_t user = ::geteuid())
{
    QProcess child;
    child.setProgram(QStringLiteral(ZRV_SAVE_CHILD));
    child.setArguments({QStringLiteral("once"), file});
    child.setChildProcessModifier([user] {
        if (user != ::geteuid() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0))
            ::_exit(99);
    });
    child.start();
    if (!child.waitForFinished(20000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QByteArray("<failed to run>");
    return child.readAllStandardOutput();
}

// The file zrv_save_child saves after loading `before`: the Dot speed changed to 555.
inline QByteArray SavedByChild(const QList<QByteArray>& before)
{
    return SettingsList::serialize(WithLines(before, {{8, "555"}}));
}

} // namespace zrvtest
