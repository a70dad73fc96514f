// Faults while saving, on real file systems mounted in a private mount namespace: a file system
// with only 4 KiB left or no inode left, a read-only bind mount, symbolic links into such places
// or to nowhere.  The settings window shows "Cannot create file zrv.opt" and stays open, and the
// old file is kept; what can be written is written whole.  Then the saving process is killed at
// a thousand random moments: the file is always exactly the old or the new version.  And a file
// that another user cannot read is kept as zrv.opt.bak.
#include "SaveChild.h"
#include "core/Report.h"
#include "core/SettingsList.h"
#include "gui/SettingsWindow.h"
#include "settings/PrivateMounts.h"
#include "support/Controls.h"
#include "support/Files.h"
#include "support/Sandbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using Lines = QList<QByteArray>;

namespace
{

qint64 FreeBytes(const QString& dir)
{
    struct statvfs s {
    };
    if (statvfs(QFile::encodeName(dir).constData(), &s) != 0)
        return -1;
    return qint64(s.f_bavail) * qint64(s.f_frsize);
}

// Fills the file system of `dir` and then gives exactly `bytes` back (a whole number of pages).
bool LeaveFree(const QString& dir, qint64 bytes)
{
    if (!zrvtest::FillUp(dir))
        return false;
    QFile filler(dir + QStringLiteral("/filler"));
    return filler.resize(filler.size() - bytes) && FreeBytes(dir) == bytes;
}

Lines OldLines()
{
    return zrvtest::DefaultLines({{2, "0"}, {5, "2"}, {8, "1234"}});
}

// Extra lines that make a file of about 8 KiB.
Lines LargeLines()
{
    Lines lines = OldLines();
    for (int i = 0; i < 40; ++i)
        lines << QByteArray(200, char('a' + i % 26));
    return lines;
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        m_dir = std::make_unique<zrvtest::Sandbox>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    // ---- faults at the settings window's close ------------------------------------------

    void closeWithSaveFault_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("large");   // the old file and so the new contents are about 8 KiB
        QTest::addColumn<bool>("saved");   // the new contents reach the file
        QTest::addColumn<bool>("viaLink"); // zrv.opt is a symbolic link to the file
        QTest::newRow("4 KiB free, the new contents fit")
            << QStringLiteral("4 KiB free") << false << true << false;
        QTest::newRow("4 KiB free, 8 KiB of new contents")
            << QStringLiteral("4 KiB free") << true << false << false;
        QTest::newRow("0 bytes free, through a link")
            << QStringLiteral("0 bytes free") << false << false << true;
        QTest::newRow("no inode free") << QStringLiteral("no inode free") << false << false << false;
        QTest::newRow("read-only bind mount")
            << QStringLiteral("read-only bind mount") << false << false << false;
        QTest::newRow("link into a read-only bind mount")
            << QStringLiteral("read-only bind mount") << false << false << true;
        QTest::newRow("link into a place with 4 KiB free")
            << QStringLiteral("4 KiB free") << false << true << true;
    }
    void closeWithSaveFault()
    {
        QFETCH(QString, fault);
        QFETCH(bool, large);
        QFETCH(bool, saved);
        QFETCH(bool, viaLink);
        if (!zrvtest::EnterPrivateMounts())
            QSKIP("no permission to mount a file system in a private namespace");

        QVERIFY(QDir().mkdir(QStringLiteral("place")));
        const QString place = QDir::current().absoluteFilePath(QStringLiteral("place"));
        std::unique_ptr<zrvtest::SmallFileSystem> tmpfs;
        if (fault == QLatin1String("no inode free"))
            tmpfs = std::make_unique<zrvtest::SmallFileSystem>(place, 64, 2); // the root and zrv.opt
        else if (fault != QLatin1String("read-only bind mount"))
            tmpfs = std::make_unique<zrvtest::SmallFileSystem>(place, 64);
        if (tmpfs && !tmpfs->Mounted())
            QSKIP("tmpfs cannot be mounted here");
        std::unique_ptr<zrvtest::ReadOnlyBind> readOnly;

        const QString file = place + (viaLink ? QStringLiteral("/settings.txt") : QStringLiteral("/zrv.opt"));
        const QByteArray old = SettingsList::serialize(large ? LargeLines() : OldLines());
        QVERIFY(WriteAll(file, old));
        if (viaLink)
            QVERIFY(QFile::link(file, QStringLiteral("zrv.opt")));

        if (fault == QLatin1String("4 KiB free"))
            QVERIFY(LeaveFree(place, 4096));
        else if (fault == QLatin1String("0 bytes free"))
            QVERIFY(zrvtest::FillUp(place));
        else if (fault == QLatin1String("read-only bind mount")) {
            readOnly = std::make_unique<zrvtest::ReadOnlyBind>(place);
            QVERIFY(readOnly->Mounted());
        }
        // Entered only now, so that the working directory lies on the mount.
        if (!viaLink)
            QVERIFY(QDir::setCurrent(place));
        const QStringList filesBefore = QDir(place).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        auto form = std::make_unique<SettingsWindow>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->lstOptions().get(8), QByteArray("1234"));
        // A change of a control, stored in the list at once.
        auto* background = zrvtest::Control<QComboBox>(*form, "boxZmn");
        background->setCurrentIndex(4);
        form->boxChange(background);
        QCOMPARE(form->lstOptions().get(5), QByteArray("4"));
        const QByteArray expected = SettingsList::serialize(form->lstOptions().lines());

        const bool closed = form->close();
        QCOMPARE(closed, saved);
        QCOMPARE(form->isVisible(), !saved);
        // The sentence, and the system's reason on a line of its own.
        const int reason = fault.contains(QLatin1String("read-only")) ? EROFS : ENOSPC;
        QCOMPARE(m_dir->reports, saved
                                     ? QStringList()
                                     : QStringList{QStringLiteral("Cannot create file zrv.opt.\n%1.")
                                                       .arg(QString::fromLocal8Bit(std::strerror(reason)))});
        QCOMPARE(ReadAll(file), saved ? expected : old);
        if (viaLink)
            QVERIFY(QFileInfo(QStringLiteral("zrv.opt")).isSymLink());
        // No half-written file is left beside it.
        QCOMPARE(QDir(place).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);

        if (!saved) {
            // The user unticks the save box and the window closes, the old file kept.
            zrvtest::Control<QCheckBox>(*form, "boxSaveOptions")->setChecked(false);
            QVERIFY(form->close());
            QCOMPARE(ReadAll(file), old);
        }
        form.reset();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    // Links that lead nowhere: the defaults are shown and saving writes a file.
    void brokenLinks_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("written"); // the file that gets the settings
        QTest::addColumn<bool>("staysLink");
        QTest::newRow("dangling link: its target is created")
            << QStringLiteral("new.opt") << QStringLiteral("new.opt") << true;
        QTest::newRow("link to itself: replaced by a file")
            << QStringLiteral("zrv.opt") << QStringLiteral("zrv.opt") << false;
    }
    void brokenLinks()
    {
        QFETCH(QString, target);
        QFETCH(QString, written);
        QFETCH(bool, staysLink);
        QVERIFY(QFile::link(target, QStringLiteral("zrv.opt")));
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Missing);
        QCOMPARE(list.lines(), SettingsList::defaults().lines());
        list.put(8, "999");
        list.save();
        QCOMPARE(QFileInfo(QStringLiteral("zrv.opt")).isSymLink(), staysLink);
        QCOMPARE(ReadAll(written), SettingsList::serialize(list.lines()));
    }

    // Special files named zrv.opt, or reached through a link from another folder (as
    // "ln -s /dev/null zrv.opt" throws the settings away): nothing is read from them (no wait on
    // a pipe without a writer), the defaults are used, and saving leaves them exactly as they
    // are, without an error, also when the settings window closes.
    void specialFilesLeftAlone_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<bool>("viaLink");
        QTest::newRow("FIFO") << true << false;
        QTest::newRow("character device") << false << false;
        QTest::newRow("link to a FIFO") << true << true;
        QTest::newRow("link to a character device") << false << true;
    }
    void specialFilesLeftAlone()
    {
        QFETCH(bool, fifo);
        QFETCH(bool, viaLink);
        QVERIFY(QDir().mkdir(QStringLiteral("dev")));
        const char* special = viaLink ? "dev/null" : "zrv.opt";
        // The system's null device, made again here.
        const dev_t device = makedev(1, 3);
        const int made = fifo ? mkfifo(special, 0666) : mknod(special, S_IFCHR | 0666, device);
        if (made != 0)
            QSKIP("the special file cannot be made here");
        if (viaLink)
            QVERIFY(QFile::link(QStringLiteral("dev/null"), QStringLiteral("zrv.opt")));
        // The special file as it was, and nothing written beside it.
        const auto unchanged = [&] {
            struct stat st {
            };
            const auto entries = [](const QString& dir) {
                return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
            };
            return stat(special, &st) == 0 && (fifo ? S_ISFIFO(st.st_mode) : S_ISCHR(st.st_mode)) &&
                   (fifo || st.st_rdev == device) &&
                   QFileInfo(QStringLiteral("zrv.opt")).isSymLink() == viaLink &&
                   entries(QStringLiteral(".")) == 2 && entries(QStringLiteral("dev")) == (viaLink ? 1 : 0);
        };
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Missing);
        QCOMPARE(list.lines(), SettingsList::defaults().lines());
        list.put(8, "999");
        list.save();
        QCOMPARE(list.lastError(), QString());
        QVERIFY(unchanged());

        SettingsWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.close());
        QCOMPARE(m_dir->reports, QStringList());
        QVERIFY(unchanged());
    }

    // ---- the saving process killed -------------------------------------------------------

    void killedWhileSaving()
    {
        const Lines a = OldLines();
        Lines b = LargeLines();
        b[8] = "999";
        const QByteArray aBytes = SettingsList::serialize(a);
        const QByteArray bBytes = SettingsList::serialize(b);
        QVERIFY(WriteAll(QStringLiteral("a.list"), aBytes));
        QVERIFY(WriteAll(QStringLiteral("b.list"), bBytes));
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), aBytes));
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("zrv.opt"));
        const QStringList others{QStringLiteral("a.list"), QStringLiteral("b.list"),
                                 QStringLiteral("zrv.opt")};

        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int found[2] = {0, 0};
        int leftOver = 0;
        for (int kill = 0; kill < 1000; ++kill) {
            QProcess child;
            child.setProgram(QStringLiteral(ZRV_SAVE_CHILD));
            child.setArguments(
                {QStringLiteral("loop"), path, QStringLiteral("a.list"), QStringLiteral("b.list")});
            child.start();
            QVERIFY(child.waitForReadyRead(20000));
            QCOMPARE(child.readLine(), QByteArray("ready\n"));
            // Somewhere in the first few saves.
            usleep(random.bounded(3000u));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QByteArray bytes = ReadAll(path);
            const bool isA = bytes == aBytes;
            QVERIFY2(isA || bytes == bBytes, qPrintable(QStringLiteral("kill %1 (seed %2): %3 bytes on disk")
                                                            .arg(kill)
                                                            .arg(seed)
                                                            .arg(bytes.size())));
            ++found[isA ? 0 : 1];
            SettingsList list;
            QCOMPARE(list.load(path), SettingsList::LoadResult::Read);
            QCOMPARE(list.lines(), isA ? a : b);
            // A kill between the new file getting its temporary name and its rename leaves that
            // file beside zrv.opt, complete (it was flushed before it was named); nothing else
            // may be left.
            for (const QString& name : QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
                if (others.contains(name))
                    continue;
                QVERIFY2(name.size() == 14 && name.startsWith(QLatin1String("zrv.opt.")), qPrintable(name));
                const QByteArray copy = ReadAll(name);
                QVERIFY2(copy == aBytes || copy == bBytes, qPrintable(name));
                ++leftOver;
                QVERIFY(QFile::remove(name));
            }
        }
        qInfo("1000 kills (seed %u): the old version %d times, the new one %d times; %d complete copies left "
              "under a temporary name",
              seed, found[0], found[1], leftOver);
    }

    // ---- a file that cannot be read ---------------------------------------------------------

    // A file without read permission for the user running the program: the defaults are used,
    // and the first save keeps the file as zrv.opt.bak, unchanged.
    void unreadableFileKeptAsBak()
    {
        const bool root = geteuid() == 0;
        const QByteArray old = SettingsList::serialize(OldLines());
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), old));
        QVERIFY(QFile::setPermissions(QStringLiteral("zrv.opt"), QFileDevice::Permissions()));
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7777)));

        // Run as "nobody" when the test runs as root, for whom the missing permissions count.
        QCOMPARE(zrvtest::RunSaveChild(m_dir->filePath(QStringLiteral("zrv.opt")),
                                       root ? zrvtest::Nobody : geteuid()),
                 QByteArray("unreadable\nsaved\n"));

        QCOMPARE(ReadAll(QStringLiteral("zrv.opt.bak")), old);
        struct stat st {
        };
        QCOMPARE(stat("zrv.opt.bak", &st), 0);
        QCOMPARE(st.st_mode & 07777, 0u);
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), zrvtest::SavedByChild(SettingsList::defaults().lines()));
    }

  private:
    std::unique_ptr<zrvtest::Sandbox> m_dir;
};

QTEST_MAIN(TestSaveFaults)
#include "test_save_faults.moc"
