#include "journal/ReadingStore.h"

#include "journal/SqliteJournal.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QTimeZone>
#include <QVariant>
#include <algorithm>

namespace
{
constexpr std::pair<ReadingEnd, const char*> kStoredEnds[] = {
    {ReadingEnd::Finished, "finished"},
    {ReadingEnd::Escape, "escape"},
    {ReadingEnd::Stopped, "stopped"},
};

QString numbersText(const QList<qint64>& numbers)
{
    QStringList texts;
    for (const qint64 n : numbers)
        texts << QString::number(n);
    return texts.join(QLatin1Char(','));
}

QList<qint64> numbersOf(const QString& text, int most)
{
    QList<qint64> numbers;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (numbers.size() >= most)
            break;
        numbers << part.toLongLong();
    }
    return numbers;
}

// What a stored row can hold at most: a crafted file costs no more to read than any other.
constexpr int kMostPages = 10'000;

const char* const kColumns =
    "started_utc_ms, utc_offset_s, language, passage, file, file_start, file_end, words,"
    " characters, reading_ms, page_ms, pages_back, questions, answers, right_answers,"
    " ended, routine_utc_ms";
} // namespace

QStringList ReadingStore::tablesSql()
{
    // "IF NOT EXISTS": a table of that name that an older file happens to hold is read as it is.
    return {QStringLiteral(
        "CREATE TABLE IF NOT EXISTS reading_tests (id INTEGER PRIMARY KEY, started_utc_ms INTEGER NOT NULL,"
        " utc_offset_s INTEGER NOT NULL, language TEXT NOT NULL, passage TEXT NOT NULL, file TEXT NOT NULL,"
        " file_start INTEGER NOT NULL, file_end INTEGER NOT NULL, words INTEGER NOT NULL,"
        " characters INTEGER NOT NULL, reading_ms INTEGER NOT NULL, page_ms TEXT NOT NULL,"
        " pages_back INTEGER NOT NULL, questions INTEGER NOT NULL, answers TEXT NOT NULL,"
        " right_answers INTEGER NOT NULL, ended TEXT NOT NULL, routine_utc_ms INTEGER)")};
}

bool ReadingStore::record(const ReadingTest& test)
{
    m_pending.append(test);
    const bool stored = storePending();
    emit m_journal.changed();
    return stored;
}

bool ReadingStore::storePending()
{
    // As for a run: a file held or unwritable when it was opened is tried again.
    const SqliteJournal::FileAccess file = m_journal.fileAccess(!m_pending.isEmpty());
    if (m_pending.isEmpty() || !file.writable || file.layout < 5)
        return m_pending.isEmpty();
    QSqlDatabase db = file.db;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    query.prepare(QStringLiteral("INSERT INTO reading_tests (%1) VALUES (?%2)")
                      .arg(QLatin1String(kColumns), QStringLiteral(", ?").repeated(16)));
    // A text not given is stored empty, not NULL.
    const auto text = [](const QString& s) { return s.isNull() ? QStringLiteral("") : s; };
    for (const ReadingTest& t : std::as_const(m_pending)) {
        QStringList answers;
        for (const int a : t.answers)
            answers << QString::number(a);
        const QVariantList values{t.started.toMSecsSinceEpoch(),
                                  t.started.offsetFromUtc(),
                                  text(t.language),
                                  text(t.passage),
                                  text(t.file),
                                  t.fileStart,
                                  t.fileEnd,
                                  t.words,
                                  t.characters,
                                  t.reading_ms,
                                  text(numbersText(t.page_ms)),
                                  t.pagesBack,
                                  t.questions,
                                  text(answers.join(QLatin1Char(','))),
                                  t.right,
                                  QLatin1String(kStoredEnds[int(t.end)].second),
                                  t.routine_utc_ms ? QVariant(*t.routine_utc_ms)
                                                   : QVariant(QMetaType::fromType<qlonglong>())};
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        if (!query.exec()) {
            qWarning("A reading test could not be stored: %s", qPrintable(query.lastError().text()));
            db.rollback();
            return false;
        }
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        db.rollback();
        return false;
    }
    m_pending.clear();
    return true;
}

QList<ReadingTest> ReadingStore::tests() const
{
    const SqliteJournal::FileAccess file = m_journal.fileAccess(false);
    QList<ReadingTest> tests;
    if (file.readable && file.layout >= 5) {
        QSqlQuery select(file.db);
        select.setForwardOnly(true);
        // Texts are read only as far as they can mean anything.
        if (select.exec(
                QStringLiteral("SELECT id, started_utc_ms, utc_offset_s, substr(language, 1, 8),"
                               " substr(passage, 1, 200), substr(file, 1, 4096), file_start, file_end,"
                               " words, characters, reading_ms, substr(page_ms, 1, 200000), pages_back,"
                               " questions, substr(answers, 1, 200), right_answers, substr(ended, 1, 16),"
                               " routine_utc_ms FROM reading_tests ORDER BY started_utc_ms, id"))) {
            while (select.next()) {
                ReadingTest t;
                t.id = select.value(0).toLongLong();
                t.started = QDateTime::fromMSecsSinceEpoch(select.value(1).toLongLong(),
                                                           QTimeZone(select.value(2).toInt()));
                t.language = select.value(3).toString();
                t.passage = select.value(4).toString();
                t.file = select.value(5).toString();
                t.fileStart = select.value(6).toLongLong();
                t.fileEnd = select.value(7).toLongLong();
                t.words = select.value(8).toInt();
                t.characters = select.value(9).toInt();
                t.reading_ms = select.value(10).toLongLong();
                t.page_ms = numbersOf(select.value(11).toString(), kMostPages);
                t.pagesBack = select.value(12).toInt();
                t.questions = select.value(13).toInt();
                for (const qint64 a : numbersOf(select.value(14).toString(), zrv::kPassageQuestions))
                    t.answers << int(a);
                t.right = select.value(15).toInt();
                const QString ended = select.value(16).toString();
                t.end = ReadingEnd::Escape;
                for (const auto& [end, name] : kStoredEnds)
                    if (ended == QLatin1String(name))
                        t.end = end;
                if (!select.isNull(17))
                    t.routine_utc_ms = select.value(17).toLongLong();
                tests.append(t);
            }
        }
    }
    tests << m_pending;
    std::stable_sort(tests.begin(), tests.end(),
                     [](const ReadingTest& a, const ReadingTest& b) { return a.started < b.started; });
    return tests;
}

qint64 ReadingStore::placeIn(const QString& file) const
{
    qint64 place = 0;
    for (const ReadingTest& t : tests())
        if (t.isOwnText() && t.file == file && t.end == ReadingEnd::Finished)
            place = t.fileEnd;
    return place;
}

QHash<QString, qint64> ReadingStore::lastRead() const
{
    // Every test that began counts: a passage seen in part is not a fresh one any more.
    QHash<QString, qint64> last;
    for (const ReadingTest& t : tests())
        if (!t.isOwnText())
            last[t.passage] = std::max(last.value(t.passage), t.started.toMSecsSinceEpoch());
    return last;
}

namespace zrv
{

QString readingEndName(ReadingEnd end)
{
    switch (end) {
    case ReadingEnd::Finished:
        return ReadingStore::tr("bitti");
    case ReadingEnd::Escape:
        return ReadingStore::tr("Esc");
    case ReadingEnd::Stopped:
        break;
    }
    return ReadingStore::tr("durduruldu");
}

QString readingCsvPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > slash + 1 ? dot : path.size();
    return path.left(at) + ReadingStore::tr("-okuma", "added to the name of the journal's CSV file") +
           path.mid(at);
}

bool writeReadingCsv(QIODevice& device, const QList<ReadingTest>& tests)
{
    // As the runs' file: UTF-8 with a byte-order mark, the separator and decimal sign of the locale.
    QLocale numbers;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    const QChar separator =
        numbers.decimalPoint() == QLatin1String(",") ? QLatin1Char(';') : QLatin1Char(',');
    QTextStream out(&device);
    out.setEncoding(QStringConverter::Utf8);
    out.setGenerateByteOrderMark(true);
    const auto row = [&out, separator](const QStringList& fields) {
        QStringList quoted;
        for (QString f : fields) {
            if (f.contains(separator) || f.contains(QLatin1Char('"')) || f.contains(QLatin1Char('\n')))
                f = QLatin1Char('"') + f.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            quoted << f;
        }
        out << quoted.join(separator) << "\r\n";
    };
    row({ReadingStore::tr("Başlangıç"), ReadingStore::tr("Dil"), ReadingStore::tr("Metin"),
         ReadingStore::tr("Dosyadaki yer"), ReadingStore::tr("Kelime"), ReadingStore::tr("Karakter"),
         ReadingStore::tr("Okuma (sn)"), ReadingStore::tr("Sayfa süreleri (sn)"),
         ReadingStore::tr("Geri çevrilen"), ReadingStore::tr("Soru"), ReadingStore::tr("Doğru"),
         ReadingStore::tr("Kelime/dk"), ReadingStore::tr("Anlama (%)"), ReadingStore::tr("Etkin hız"),
         ReadingStore::tr("Bitiş"), ReadingStore::tr("Okuma sayılmaz")});
    for (const ReadingTest& t : tests) {
        const ReadingFigures f = t.figures();
        QStringList pages;
        for (const qint64 ms : t.page_ms)
            pages << numbers.toString(double(ms) / 1000.0, 'f', 1);
        row({t.started.toString(Qt::ISODate), t.language, t.isOwnText() ? t.file : t.passage,
             t.isOwnText() ? QStringLiteral("%1-%2").arg(t.fileStart).arg(t.fileEnd) : QString(),
             numbers.toString(t.words), numbers.toString(t.characters),
             numbers.toString(double(t.reading_ms) / 1000.0, 'f', 1), pages.join(QLatin1Char(' ')),
             numbers.toString(t.pagesBack), numbers.toString(t.questions), numbers.toString(t.right),
             numbers.toString(f.wordsPerMinute, 'f', 0),
             f.comprehension ? numbers.toString(*f.comprehension * 100, 'f', 0) : QString(),
             numbers.toString(f.effectiveRate, 'f', 0), readingEndName(t.end),
             f.plausible ? QString() : f.why});
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}

} // namespace zrv

namespace zrv
{

QString readingFiguresText(const ReadingTest& test)
{
    const ReadingFigures f = test.figures();
    QString text = ReadingStore::tr("%1 kelime/dk").arg(qRound(f.wordsPerMinute));
    if (f.comprehension)
        text += ReadingStore::tr(", anlama %%1, etkin hız %2")
                    .arg(qRound(*f.comprehension * 100))
                    .arg(qRound(f.effectiveRate));
    else
        text += ReadingStore::tr(" (kendi metin, sorusuz)");
    return text;
}

QStringList readingResultLines(const ReadingTest& test, const QList<ReadingTest>& earlier)
{
    const ReadingFigures f = test.figures();
    QStringList lines;
    lines << ReadingStore::tr("Dakikada %1 kelime").arg(qRound(f.wordsPerMinute));
    if (f.comprehension)
        lines << ReadingStore::tr("Anlama: %1 sorudan %2 doğru (%%3) · Etkin hız: dakikada %4 kelime")
                     .arg(test.questions)
                     .arg(test.right)
                     .arg(qRound(*f.comprehension * 100))
                     .arg(qRound(f.effectiveRate));
    else
        lines << ReadingStore::tr("Kendi metniniz: soru yok, sonuç yalnız okuma hızıdır.");
    const qint64 s = (test.reading_ms + 500) / 1000;
    lines << ReadingStore::tr("%1 kelime, %2 karakter, %3 dk %4 sn")
                 .arg(test.words)
                 .arg(test.characters)
                 .arg(s / 60)
                 .arg(s % 60);
    if (!f.plausible) {
        lines << ReadingStore::tr("Bu sonuç kaydedildi ama sayılmıyor ve grafikte gösterilmiyor: %1")
                     .arg(f.why);
        return lines;
    }
    // Like with like: tests with questions by their effective rate, own texts by their speed.
    QList<ReadingTest> same;
    for (const ReadingTest& t : earlier)
        if (t.counts() && t.isOwnText() == test.isOwnText())
            same << t;
    if (!same.isEmpty()) {
        const QString change = changeText(same.first().figures().effectiveRate, f.effectiveRate);
        lines << ReadingStore::tr("İlk testinizden bu yana %1").arg(change);
        lines << ReadingStore::tr("Son test: %1").arg(readingFiguresText(same.last()));
    } else {
        lines << ReadingStore::tr("İlk testiniz: sonrakiler bununla karşılaştırılacak.");
    }
    return lines;
}

QStringList readingSummary(const QList<ReadingTest>& tests, const QDateTime& now)
{
    std::optional<ReadingTest> last;
    std::optional<ReadingTest> best;
    for (const ReadingTest& t : tests) {
        if (!t.counts())
            continue;
        last = t;
        if (!best || t.figures().effectiveRate > best->figures().effectiveRate)
            best = t;
    }
    if (!last)
        return {ReadingStore::tr("Henüz bir okuma testi yapmadınız.")};
    const qint64 days = last->started.toTimeZone(now.timeZone()).date().daysTo(now.date());
    return {ReadingStore::tr("Son sonuç: %1").arg(readingFiguresText(*last)),
            ReadingStore::tr("En iyi sonuç: %1").arg(readingFiguresText(*best)),
            days == 0 ? ReadingStore::tr("Son test bugün yapıldı.")
                      : ReadingStore::tr("Son testten bu yana %n gün geçti.", nullptr, int(days))};
}

} // namespace zrv
