// libFuzzer target: arbitrary bytes as the journal file "journal.sqlite".  Each input is opened
// by the program's journal (migrated, or set aside), read, shown on the journal's page on the
// offscreen platform, and a run is recorded; see JournalChecks.h for what must hold.
//
//   fuzz_journal -max_len=16384 fuzz/corpus-journal          explore, adding to the corpus
//   fuzz_journal fuzz/corpus-journal/*                       replay
#include "JournalChecks.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace
{

QString g_dir;

void RemoveWorkDirectory()
{
    if (!g_dir.isEmpty())
        QDir(g_dir).removeRecursively();
}

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A private directory on a memory file system when there is one.
    for (const char* base : {"/dev/shm", "/tmp"}) {
        QByteArray pattern = QByteArray(base) + "/zrv-fuzz-journal-XXXXXX";
        if (mkdtemp(pattern.data())) {
            g_dir = QString::fromLocal8Bit(pattern);
            break;
        }
    }
    std::atexit(RemoveWorkDirectory);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_journal";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // NOLINT(cppcoreguidelines-owning-memory): lives until exit
    qInstallMessageHandler(Quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (g_dir.isEmpty())
        LLVMFuzzerInitialize(nullptr, nullptr);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString fault = zrvfuzz::CheckJournalFile(bytes, g_dir + QStringLiteral("/j"), true);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "journal fuzz fault: %s\n", fault.toLocal8Bit().constData());
        std::abort();
    }
    return 0;
}
