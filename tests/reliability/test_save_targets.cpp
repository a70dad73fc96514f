// Where a save lands, on the real file system: a link another user made in a sticky folder open
// to everyone, the owner of a file that root saves, a hard link, and a list grown past the size
// that loading accepts.  Where permissions matter the save runs in a child process as "nobody".
// (A folder whose name is not UTF-8: tests/app/test_program.cpp.)
#include "SaveChild.h"
#include "core/Exceptions.h"
#include "core/SettingsList.h"
#include "support/Files.h"
#include "support/WorkDir.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using Lines = QList<QByteArray>;

namespace
{

Lines OldLines()
{
    return zrvtest::DefaultLines({{8, "1234"}});
}

bool Chown(const char* path, uid_t user)
{
    return lchown(path, user, user) == 0;
}

} // namespace

class TestSaveTargets : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        m_dir = std::make_unique<zrvtest::WorkDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    // A link in a sticky folder that everyone may write to ("shared", root's), leading to a
    // file of "nobody": followed by its owner, or when it is the folder owner's link; not
    // followed by anyone else, root included, so the save fails and the file is untouched.
    void linkInStickyFolder_data()
    {
        QTest::addColumn<uint>("linkOwner");
        QTest::addColumn<uint>("saver");
        QTest::addColumn<bool>("followed");
        QTest::newRow("another user's link, root saves") << uint(zrvtest::Nobody) << 0u << false;
        QTest::newRow("own link") << uint(zrvtest::Nobody) << uint(zrvtest::Nobody) << true;
        QTest::newRow("the folder owner's link") << 0u << uint(zrvtest::Nobody) << true;
    }
    void linkInStickyFolder()
    {
        QFETCH(uint, linkOwner);
        QFETCH(uint, saver);
        QFETCH(bool, followed);
        if (geteuid() != 0)
            QSKIP("making files of another user needs root");
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7755)));
        QVERIFY(QDir().mkdir(QStringLiteral("shared")) && QDir().mkdir(QStringLiteral("mine")));
        QCOMPARE(chmod("shared", 01777), 0);
        const QByteArray old = SettingsList::serialize(OldLines());
        QVERIFY(WriteAll(QStringLiteral("mine/settings.txt"), old));
        QVERIFY(Chown("mine", zrvtest::Nobody) && Chown("mine/settings.txt", zrvtest::Nobody));
        QCOMPARE(symlink("../mine/settings.txt", "shared/zrv.opt"), 0);
        QVERIFY(Chown("shared/zrv.opt", linkOwner));

        const QString link = m_dir->filePath(QStringLiteral("shared/zrv.opt"));
        QCOMPARE(zrvtest::RunSaveChild(link, saver),
                 followed ? QByteArray("read\nsaved\n")
                          : "missing\nCannot create file " + link.toUtf8() + ": Permission denied\n");
        QCOMPARE(ReadAll(QStringLiteral("mine/settings.txt")),
                 followed ? zrvtest::SavedByChild(OldLines()) : old);
        QCOMPARE(QFileInfo(QStringLiteral("shared/zrv.opt")).symLinkTarget(),
                 m_dir->filePath(QStringLiteral("mine/settings.txt")));
    }

    // Root saves a user's file: it stays the user's, with its group and mode, and the user can
    // save it again afterwards.
    void ownerKeptWhenRootSaves()
    {
        if (geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7777)));
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), SettingsList::serialize(OldLines())));
        QVERIFY(Chown("zrv.opt", zrvtest::Nobody));
        QCOMPARE(chmod("zrv.opt", 0640), 0);

        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Read);
        list.put(5, "4");
        list.save();
        struct stat st {
        };
        QCOMPARE(stat("zrv.opt", &st), 0);
        QCOMPARE(st.st_uid, zrvtest::Nobody);
        QCOMPARE(st.st_gid, gid_t(zrvtest::Nobody));
        QCOMPARE(st.st_mode, mode_t(S_IFREG | 0640));
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), SettingsList::serialize(list.lines()));

        QCOMPARE(zrvtest::RunSaveChild(m_dir->filePath(QStringLiteral("zrv.opt")), zrvtest::Nobody),
                 QByteArray("read\nsaved\n"));
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), zrvtest::SavedByChild(list.lines()));
    }

    // A hard link is broken by a save, so that the save stays all or nothing: the other name
    // keeps the previous settings whole.
    void hardLinkKeepsOldContents()
    {
        const QByteArray old = SettingsList::serialize(OldLines());
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), old));
        QCOMPARE(link("zrv.opt", "other.opt"), 0);
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Read);
        list.put(5, "4");
        list.save();
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), SettingsList::serialize(list.lines()));
        QCOMPARE(ReadAll(QStringLiteral("other.opt")), old);
        struct stat st {
        };
        QVERIFY(stat("other.opt", &st) == 0 && st.st_nlink == 1);
    }

    // A file of exactly the size loading accepts, and a change that makes it one byte longer:
    // that is not written (what is written must load again), the old file stays.
    void listGrownPastTheLimitNotWritten()
    {
        const QByteArray largest = SettingsList::serialize(zrvtest::LargestLines(OldLines()));
        QCOMPARE(largest.size(), SettingsList::MaxFileSize);
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), largest));
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Read);
        list.put(8, "12345");
        QVERIFY_THROWS_EXCEPTION(FileCreateError, list.save());
        QCOMPARE(list.lastError(), qt_error_string(EFBIG));
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), largest);
        list.put(8, "1234");
        list.save();
        QCOMPARE(list.lastError(), QString());
        QCOMPARE(list.load(), SettingsList::LoadResult::Read);
    }

  private:
    std::unique_ptr<zrvtest::WorkDir> m_dir;
};

QTEST_MAIN(TestSaveTargets)
#include "test_save_targets.moc"
