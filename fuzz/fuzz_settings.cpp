// libFuzzer target: arbitrary bytes as the settings file "zrv.opt".  Each input is loaded and
// shown by the settings window's own model (SettingsModel, no widget), the list is saved,
// loaded again and shown again.  Nothing may crash, every
// value the program goes on to use must lie within its range, and the second load must equal
// the first.
//
//   fuzz_settings -max_len=8192 fuzz/corpus          explore, adding to the corpus
//   fuzz_settings fuzz/corpus/*                      replay
#include "SettingsChecks.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace
{

QString g_path;

// A private directory for the file, on a memory file system when there is one: every input is
// written, saved (with a flush to disk) and read twice.
QString MakeWorkDirectory()
{
    for (const char* base : {"/dev/shm", "/tmp"}) {
        QByteArray pattern = QByteArray(base) + "/zrv-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()))
            return QString::fromLocal8Bit(pattern);
    }
    return QDir::tempPath();
}

void RemoveWorkDirectory()
{
    if (!g_path.isEmpty())
        QDir(QFileInfo(g_path).path()).removeRecursively();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_path = MakeWorkDirectory() + QStringLiteral("/zrv.opt");
    std::atexit(RemoveWorkDirectory);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (g_path.isEmpty())
        LLVMFuzzerInitialize(nullptr, nullptr);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString fault = zrvfuzz::CheckSettingsFile(bytes, g_path);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "settings fuzz fault: %s\n", fault.toLocal8Bit().constData());
        std::abort();
    }
    return 0;
}
