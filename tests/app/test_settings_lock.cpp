// The settings lock met with the lock files that other copies, crashes and power cuts leave: one
// naming a live copy on this machine is never taken, any other is; one naming nobody only after
// the short wait, however fresh it is.
#include "app/SettingsLock.h"
#include "support/Files.h"
#include "support/WorkDir.h"

#include <QFileInfo>
#include <QSysInfo>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using State = zrv::SettingsLock::State;

class TestSettingsLock : public QObject
{
    Q_OBJECT

  private slots:
    void foundLock_data()
    {
        QTest::addColumn<QByteArray>(
            "contents");               // as Qt writes it (its first lines); null: a link to nowhere
        QTest::addColumn<bool>("old"); // made an hour ago, not just now
        QTest::addColumn<State>("state");
        // This test stands for the other copy.
        const QByteArray copy = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n';
        const QByteArray here = QSysInfo::machineHostName().toUtf8() + '\n';
        QTest::newRow("empty, from a power cut") << QByteArray("") << true << State::Held;
        QTest::newRow("empty, just made") << QByteArray("") << false << State::Held;
        QTest::newRow("link to nowhere") << QByteArray() << true << State::Held;
        QTest::newRow("another machine's") << copy + "elsewhere\n" << true << State::Held;
        QTest::newRow("a process that has ended") << "4194305\nzerlivan\n" + here << true << State::Held;
        QTest::newRow("a live copy, however old") << copy + here << true << State::HeldElsewhere;
    }
    void foundLock()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, old);
        QFETCH(State, state);
        zrvtest::WorkDir dir;
        const char* lock = "zrv.opt.lock";
        QVERIFY(contents.isNull() ? ::symlink("gone/zrv.opt.lock", lock) == 0 : WriteAll(lock, contents));
        const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        QVERIFY(!old || ::utimensat(AT_FDCWD, lock, anHourAgo, AT_SYMLINK_NOFOLLOW) == 0);

        zrv::SettingsLock settingsLock(lock, 300);
        QCOMPARE(settingsLock.lock(), state);
        const QByteArray self = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
        QVERIFY(state == State::Held ? ReadAll(lock).startsWith(self) : ReadAll(lock) == contents);
    }
};

QTEST_GUILESS_MAIN(TestSettingsLock)
#include "test_settings_lock.moc"
