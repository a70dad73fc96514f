#pragma once
// Small file systems for tests of failed saves: a private mount namespace for the calling
// thread and a tmpfs mounted in it.  Needs the right to mount (root in the container); tests
// skip when it is missing.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sched.h>
#include <sys/mount.h>

namespace zrvtest
{

inline bool EnterPrivateMounts()
{
    static int state = 0; // 0 not tried, 1 done, -1 refused
    if (state == 0) {
        state = -1;
        if (unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
            state = 1;
    }
    return state == 1;
}

// A tmpfs of `size_kb` on `dir`, holding at most `inodes` files and folders (its root
// included) when that is given; unmounted when it goes away.
class SmallFileSystem
{
  public:
    SmallFileSystem(const QString& dir, int size_kb, int inodes = 0) : m_dir(QFile::encodeName(dir))
    {
        QByteArray options = "size=" + QByteArray::number(size_kb) + "k";
        if (inodes > 0)
            options += ",nr_inodes=" + QByteArray::number(inodes);
        m_mounted = mount("tmpfs", m_dir.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            umount2(m_dir.constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return m_mounted; }
    bool MakeReadOnly()
    {
        return mount(nullptr, m_dir.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    QByteArray m_dir;
    bool m_mounted = false;
};

// `dir` bound onto itself read-only, its files as they are; unbound when it goes away.
class ReadOnlyBind
{
  public:
    explicit ReadOnlyBind(const QString& dir) : m_dir(QFile::encodeName(dir))
    {
        m_mounted = mount(m_dir.constData(), m_dir.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (m_mounted)
            m_readOnly =
                mount(nullptr, m_dir.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyBind()
    {
        if (m_mounted)
            umount2(m_dir.constData(), MNT_DETACH);
    }
    ReadOnlyBind(const ReadOnlyBind&) = delete;
    ReadOnlyBind& operator=(const ReadOnlyBind&) = delete;

    bool Mounted() const { return m_mounted && m_readOnly; }

  private:
    QByteArray m_dir;
    bool m_mounted = false;
    bool m_readOnly = false;
};

// Fills the file system that holds `dir` until a write fails.
inline bool FillUp(const QString& dir)
{
    QFile filler(dir + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(512, 'x');
    while (filler.write(block) == block.size()) {
    }
    const QByteArray one(1, 'x');
    while (filler.write(one) == 1) {
    }
    return true;
}

} // namespace zrvtest
