// Peak memory of a whole session: the exercise window, each exercise run for a while with the
// settings the start button gives it (Dot, Pyramid "Üçgen", Block "Bitişik bloklar"
// 36 x 6 with a small font, all at 40 ms), then the end of the program.
//
//   zrv_bench_session [seconds per exercise, default 10]
// Prints "maxrss_kB=<peak resident set of this process>" (getrusage); run it under
// /usr/bin/time -v for the same figure seen from outside.  For each exercise also what is
// resident at its end, while it still runs (VmRSS).

#include "Session.h"
#include "Measure.h"
#include "core/Report.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

using namespace bench;

namespace
{
long ResidentNow_kB()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kB = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kB) == 1)
            break;
    std::fclose(f);
    return kB;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nivoleth"));
    zrv::setApplicationTitle(QStringLiteral("Nivoleth"));
    zrv::setReportHook(
        [](zrv::ReportKind, const QString& text) { std::fprintf(stderr, "report: %s\n", qPrintable(text)); });
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;

    int ticks = 0;
    {
        Session session;
        QObject::connect(session.screen->timer(), &FrameTimer::aboutToTick,
                         [&ticks](qint64, int) { ++ticks; });
        QTimer::singleShot(0, [&] {
            for (Exercise e : {Exercise::Dot, Exercise::Pyramid, Exercise::Block}) {
                session.Configure(e, 40);
                long resident_kB = -1;
                QTimer::singleShot(int(seconds * 1000), session.screen.get(), [&] {
                    resident_kB = ResidentNow_kB();
                    session.screen->requestClose();
                });
                session.screen->showModal();
                std::fprintf(stderr, "%s: %d ticks so far, peak RSS %ld kB, resident at its end %ld kB\n",
                             ExerciseName(e), ticks, ProcessCpu().maxRss_kB, resident_kB);
            }
            QCoreApplication::quit();
        });
        QApplication::exec();
    }
    std::printf("ticks=%d maxrss_kB=%ld\n", ticks, ProcessCpu().maxRss_kB);
    return 0;
}
