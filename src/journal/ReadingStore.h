#pragma once

#include "core/Reading.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class SqliteJournal;

// How a reading test ended.
enum class ReadingEnd {
    Finished, // the last page turned and every question answered
    Escape,   // given up with Escape: kept, but counted nowhere
    Stopped,  // the program ended it
};

// One reading test as the journal keeps it.
struct ReadingTest {
    qint64 id = 0;        // the journal's number; 0 for a test not stored yet
    QDateTime started;    // with the UTC offset it had
    QString language;     // "tr" or "en"
    QString passage;      // a built-in passage's id; empty for the person's own text
    QString file;         // the own text's file
    qint64 fileStart = 0; // the piece of it read, as offsets in its text
    qint64 fileEnd = 0;
    int words = 0;
    int characters = 0;
    qint64 reading_ms = 0; // from the first page shown to the last turned
    QList<qint64> page_ms; // how long each page stood, turned back to included
    int pagesBack = 0;     // how often a page was turned back
    int questions = 0;
    QList<int> answers; // the option chosen for each question answered
    int right = 0;
    ReadingEnd end = ReadingEnd::Finished;
    std::optional<qint64> routine_utc_ms; // the start of the routine it was a step of

    bool isOwnText() const { return passage.isEmpty(); }
    // Finished, and a reading by its figures: what the results and the chart count.
    bool counts() const { return end == ReadingEnd::Finished && figures().plausible; }
    zrv::ReadingFigures figures() const
    {
        return zrv::readingFigures(words, reading_ms, page_ms, questions, right);
    }
    bool operator==(const ReadingTest&) const = default;
};

// The reading tests in the journal's file, in a table of their own beside the runs.  A test
// that cannot be stored now (the file is held or cannot be written) is kept in memory and
// stored with the next one; a file of a newer version is read, never written.
class ReadingStore
{
    Q_DECLARE_TR_FUNCTIONS(ReadingStore)
  public:
    explicit ReadingStore(SqliteJournal& journal) : m_journal(journal) {}

    // The table, as the journal makes or migrates its file.
    static QStringList tablesSql();

    // False when the test is held in memory only.
    bool record(const ReadingTest& test);
    // Every test, oldest first.
    QList<ReadingTest> tests() const;

    // The person's own text: where the last finished test in `file` stopped (0: from the start).
    qint64 placeIn(const QString& file) const;
    // The last time each built-in passage was begun, by id (UTC ms).
    QHash<QString, qint64> lastRead() const;

  private:
    bool storePending();

    SqliteJournal& m_journal;
    QList<ReadingTest> m_pending;
};

namespace zrv
{
// The lines of the result screen for `test`, just finished, after the `earlier` ones (oldest
// first): words per minute, the share right and the effective rate, beside the first counted
// test of the same kind and the last one; why a result that cannot be a reading is not counted.
QStringList readingResultLines(const ReadingTest& test, const QList<ReadingTest>& earlier);
// The reading page's lines for the tests so far (oldest first): the last result, the best, and
// the days since the last test; one line saying there is none yet.
QStringList readingSummary(const QList<ReadingTest>& tests, const QDateTime& now);
// "312 kelime/dk, anlama %80, etkin hız 250".
QString readingFiguresText(const ReadingTest& test);
// "bitti", "Esc", "durduruldu".
QString readingEndName(ReadingEnd end);
// The tests as CSV, as writeCsv() writes the runs (a file of their own).
bool writeReadingCsv(class QIODevice& device, const QList<ReadingTest>& tests);
// The reading tests' file beside the runs' `path`: "gunluk.csv" → "gunluk-okuma.csv".
QString readingCsvPath(const QString& path);
} // namespace zrv
