// zrv_sample_journal: writes a journal of a few weeks of made-up runs, for looking at the
// journal's page and its chart (the README's picture comes from it).
//
//   zrv_sample_journal PATH [DAYS]
//
// DAYS days up to today (35 unless given), some skipped; on a day one to three exercises,
// each a few runs getting faster over the weeks, now and then a slower run or two paces in
// one day.  The same runs every time for the same day.
#include "journal/SqliteJournal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a journal of a few weeks of made-up runs."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("The journal file to write."));
    parser.addPositionalArgument(QStringLiteral("DAYS"),
                                 QStringLiteral("Days up to today, 1-3650 (35 unless given)."),
                                 QStringLiteral("[DAYS]"));
    // --help prints the usage; an unknown option is refused (exit status 1), never taken for a path.
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    bool daysOk = true;
    const int days = args.size() == 2 ? args[1].toInt(&daysOk) : 35;
    if (args.isEmpty() || args.size() > 2 || !daysOk || days < 1 || days > 3650) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    SqliteJournal journal(args[0]);
    if (journal.state() != JournalState::Open) {
        std::fprintf(stderr, "zrv_sample_journal: %s\n", qPrintable(journal.errorText()));
        return 1;
    }
    QRandomGenerator random(7);
    const QDate today = QDate::currentDate();
    // The pace each exercise starts at, and the types run.
    const int start_ms[] = {420, 520, 650};
    const QList<int> types[] = {{0, 3}, {0, 1}, {0, 1}};
    int written = 0;
    for (int d = days - 1; d >= 0; --d) {
        if (random.bounded(10) < 3) // a day off
            continue;
        const QDate day = today.addDays(-d);
        const double progress = double(days - 1 - d) / qMax(1, days - 1);
        QTime at(7 + random.bounded(12), random.bounded(60));
        for (int exercise = 0; exercise < 3; ++exercise) {
            if (random.bounded(3) == 0)
                continue;
            const int type = types[exercise][random.bounded(int(types[exercise].size()))];
            const int runs = 1 + random.bounded(3);
            for (int r = 0; r < runs; ++r) {
                RunRecord run;
                run.started = QDateTime(day, at);
                run.exercise = exercise;
                run.type = type;
                run.direction = random.bounded(2);
                run.lines = exercise == 0 ? 0 : 3;
                run.letters = exercise == 0 ? 0 : 5;
                run.colours = {rgbColor(0, 0, 128), rgbColor(255, 255, 255), rgbColor(255, 255, 0),
                               rgbColor(255, 0, 0)};
                // Faster over the weeks, with some noise; a slower warm-up now and then.
                const double pace = start_ms[exercise] * (1.0 - 0.55 * progress) + random.bounded(40) - 20;
                run.pace = zrv::Pace(int(r == 0 && random.bounded(4) == 0 ? pace * 1.6 : pace) / 10 * 10);
                run.duration_minutes = 1 + random.bounded(3);
                const bool escaped = random.bounded(6) == 0;
                run.run_ms = escaped ? 5'000 + random.bounded(50'000) : run.duration_minutes * 60'000;
                run.steps = run.run_ms / run.pace.ms();
                run.end = escaped ? RunEnd::Escape : RunEnd::Duration;
                journal.record(run);
                ++written;
                at = at.addSecs(int(run.run_ms / 1000) + 60 + random.bounded(600));
            }
        }
    }
    std::printf("%d runs in %s\n", written, qPrintable(args[0]));
    return 0;
}
