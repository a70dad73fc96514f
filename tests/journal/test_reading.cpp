// The reading test without widgets: counting words, the passages' files, the choice of the next
// passage, the person's own text in pieces, the pages, the figures of a test, and the tests kept
// in the journal's file.

#include "JournalRig.h"
#include "core/Cp1254.h"
#include "core/Reading.h"
#include "journal/ReadingStore.h"
#include "journal/SqliteJournal.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace zrvtest;

namespace
{
QString Body(const QString& questions)
{
    return QStringLiteral("title: T\n\nOne paragraph.\n===\n") + questions;
}

QString Question(const QString& marks = QStringLiteral("-+--"))
{
    QString text = QStringLiteral("? Q\n");
    for (const QChar mark : marks)
        text += mark + QStringLiteral(" option\n");
    return text + QLatin1Char('\n');
}

ReadingTest Finished(const QString& passage, const QDateTime& started, int words, qint64 ms, int right)
{
    ReadingTest t;
    t.started = started;
    t.language = QStringLiteral("tr");
    t.passage = passage;
    t.words = words;
    t.characters = words * 6;
    t.reading_ms = ms;
    t.page_ms = {ms / 2, ms - ms / 2};
    t.questions = passage.isEmpty() ? 0 : 5;
    t.right = right;
    return t;
}
} // namespace

class TestReading : public QObject
{
    Q_OBJECT
  private slots:
    void countsWordsAndCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("characters");
        QTest::newRow("apostrophe inside") << QStringLiteral("Türkiye'nin başkenti") << 2 << 19;
        QTest::newRow("typographic apostrophe") << QStringLiteral("don’t stop") << 2 << 9;
        QTest::newRow("quotes around") << QStringLiteral("'yes' he said'") << 3 << 12;
        QTest::newRow("dash and digits") << QStringLiteral("e-posta 3.14 — km") << 5 << 14;
        QTest::newRow("combining mark") << QStringLiteral("cafe\u0301 au") << 2 << 7;
        QTest::newRow("white space only") << QStringLiteral(" \t\n ") << 0 << 0;
    }
    void countsWordsAndCharacters()
    {
        QFETCH(QString, text);
        QFETCH(int, words);
        QFETCH(int, characters);
        QCOMPARE(zrv::countWords(text), words);
        QCOMPARE(zrv::countCharacters(text), characters);
    }

    // A file not in the form is refused, never shown with a question it cannot ask.
    void parsesPassages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        const QString five = Question().repeated(5);
        QTest::newRow("well formed") << Body(five) << true;
        QTest::newRow("CRLF and a BOM")
            << QString(QChar(0xFEFF)) + Body(five).replace(QStringLiteral("\n"), QStringLiteral("\r\n"))
            << true;
        QTest::newRow("no title") << Body(five).mid(9) << false;
        QTest::newRow("no separator") << Body(five).remove(QStringLiteral("===")) << false;
        QTest::newRow("four questions") << Body(Question().repeated(4)) << false;
        QTest::newRow("six questions") << Body(Question().repeated(6)) << false;
        QTest::newRow("two right") << Body(Question().repeated(4) + Question(QStringLiteral("++--")))
                                   << false;
        QTest::newRow("none right") << Body(Question().repeated(4) + Question(QStringLiteral("----")))
                                    << false;
        QTest::newRow("three options")
            << Body(Question().repeated(4) + Question(QStringLiteral("-+-"))) << false;
        QTest::newRow("option first") << Body(QStringLiteral("- x\n") + five) << false;
        QTest::newRow("stray line") << Body(five + QStringLiteral("stray\n")) << false;
        QTest::newRow("empty text") << QStringLiteral("title: T\n\n===\n") + five << false;
    }
    void parsesPassages()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<Passage> passage = zrv::parsePassage(QStringLiteral("tr/01-x"), text);
        QCOMPARE(passage.has_value(), valid);
        if (passage) {
            QCOMPARE(passage->language(), QStringLiteral("tr"));
            QCOMPARE(passage->questions.size(), zrv::kPassageQuestions);
            QCOMPARE(passage->questions[0].correct, 1);
            QCOMPARE(passage->paragraphs, QStringList{QStringLiteral("One paragraph.")});
        }
    }

    // Every file of a language's folder, in order; a broken one is left out, the rest still load.
    void loadsEveryPassageOfALanguage()
    {
        QTemporaryDir dir;
        const QString name = QStringLiteral("tr/01-deniz-feneri.txt");
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("tr"))));
        QVERIFY(QFile::copy(QStringLiteral(ZRV_TEST_PASSAGES_DIR "/") + name, dir.filePath(name)));
        QVERIFY(WriteAll(dir.filePath(QStringLiteral("tr/00-broken.txt")), "title: broken\n"));
        const QList<Passage> turkish = zrv::loadPassages(dir.path(), QStringLiteral("tr"));
        QCOMPARE(turkish.size(), 1);
        QCOMPARE(turkish[0].id, QStringLiteral("tr/01-deniz-feneri"));
        QCOMPARE(turkish[0].title, QStringLiteral("Eski Deniz Feneri"));
        const QList<Passage> english =
            zrv::loadPassages(QStringLiteral(ZRV_TEST_PASSAGES_DIR), QStringLiteral("en"));
        QCOMPARE(english.size(), 1);
        QCOMPARE(english[0].questions[4].correct, 0);
    }

    // Every passage once before any comes again, the one read longest ago first.
    void choosesTheLeastRecentlyRead_data()
    {
        QTest::addColumn<QList<qint64>>("lastRead"); // by passage, 0: never
        QTest::addColumn<int>("next");
        QTest::newRow("none read") << QList<qint64>{0, 0, 0} << 0;
        QTest::newRow("the first read") << QList<qint64>{5, 0, 0} << 1;
        QTest::newRow("a later one unread") << QList<qint64>{5, 6, 0} << 2;
        QTest::newRow("all read") << QList<qint64>{5, 3, 9} << 1;
    }
    void choosesTheLeastRecentlyRead()
    {
        QFETCH(QList<qint64>, lastRead);
        QFETCH(int, next);
        QList<Passage> passages;
        QHash<QString, qint64> read;
        for (int i = 0; i < lastRead.size(); ++i) {
            passages.append({QStringLiteral("tr/%1").arg(i), {}, {}, {}});
            if (lastRead[i])
                read.insert(passages.last().id, lastRead[i]);
        }
        QCOMPARE(zrv::nextPassage(passages, read), next);
    }

    void decodesTextFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString turkish = QStringLiteral("Işık ağır çiçek Şule\nson");
        QTest::newRow("UTF-8") << turkish.toUtf8() << turkish;
        QTest::newRow("UTF-8 with BOM, CRLF")
            << QByteArray("\xEF\xBB\xBF") +
                   QString(turkish).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8()
            << turkish;
        QTest::newRow("Windows-1254") << zrv::toCp1254(turkish) << turkish;
    }
    void decodesTextFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(zrv::decodeText(bytes), text);
    }

    // A long own text read test after test: each piece starts where the last stopped, no word is
    // lost or read twice, each is about 400 words and ends a sentence; at its end it starts over.
    void readsAnOwnTextInPieces()
    {
        QString text;
        int sentences = 0;
        while (zrv::countWords(text) < 5000) {
            const int length = 5 + (sentences * 7) % 23;
            for (int w = 0; w < length; ++w)
                text += (w ? QStringLiteral(" ") : QString()) + QStringLiteral("kelime'si%1").arg(w % 10);
            text += (++sentences % 4 == 0) ? QStringLiteral(".\n") : QStringLiteral(". ");
        }
        const int total = zrv::countWords(text);
        qsizetype place = 0;
        int read = 0;
        while (read < total) {
            const zrv::TextPiece piece = zrv::nextPiece(text, place);
            QVERIFY(piece.start >= place);
            QCOMPARE(zrv::countWords(QStringView(text).mid(place, piece.start - place)), 0);
            QCOMPARE(zrv::countWords(QStringView(text).mid(piece.start, piece.end - piece.start)),
                     piece.words);
            read += piece.words;
            if (read < total) {
                QVERIFY2(piece.words >= 360 && piece.words <= 500, qPrintable(QString::number(piece.words)));
                QCOMPARE(text[piece.end - 1], QLatin1Char('.'));
            }
            place = piece.end;
        }
        QCOMPARE(read, total);
        QCOMPARE(zrv::nextPiece(text, place).start, 0);
        // Without a sentence end in reach: the 400th word.
        const QString run = QStringLiteral("söz ").repeated(1000);
        QCOMPARE(zrv::nextPiece(run, 0), (zrv::TextPiece{0, 400 * 4 - 1, 400}));
        QCOMPARE(zrv::nextPiece(QStringLiteral(" ... "), 0), zrv::TextPiece{});
    }

    // Whole words a line, no line wider than the column, a page never longer than its lines nor
    // begun with a blank line, every word kept.
    void laysTheTextInPages_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lines");
        QTest::newRow("wide") << 400 << 12;
        QTest::newRow("narrow") << 90 << 5;
        QTest::newRow("a line a page") << 200 << 1;
        QTest::newRow("narrower than a word") << 30 << 3;
    }
    void laysTheTextInPages()
    {
        QFETCH(int, width);
        QFETCH(int, lines);
        const QStringList paragraphs{QStringLiteral("Bir iki üç dört beş altı yedi sekiz dokuz on."),
                                     QStringLiteral("Onbir onikiler on üç."),
                                     QStringLiteral("Son söz burada.")};
        const auto measure = [](QStringView text) { return int(text.size()) * 10; };
        const QList<QStringList> pages = zrv::paginate(paragraphs, measure, width, lines);
        QStringList words;
        for (const QStringList& page : pages) {
            QVERIFY(!page.isEmpty() && page.size() <= lines);
            QVERIFY(!page.first().isEmpty() && !page.last().isEmpty());
            for (const QString& line : page) {
                QVERIFY(measure(line) <= width || !line.contains(QLatin1Char(' ')));
                words << line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            }
        }
        QCOMPARE(words, paragraphs.join(QLatin1Char(' ')).split(QLatin1Char(' ')));
    }

    void layoutGivesAboutSixtyFiveCharactersALine_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("800 x 600") << QSize(800, 600);
    }
    void layoutGivesAboutSixtyFiveCharactersALine()
    {
        QFETCH(QSize, screen);
        const double charWidth = zrv::readingFontPixels(screen.height()) * 0.5;
        const zrv::ReadingLayout layout = zrv::readingLayout(screen.width(), screen.height(), charWidth);
        QVERIFY(layout.left_px > 0 && layout.left_px + layout.columnWidth_px <= screen.width());
        QVERIFY(qAbs(layout.columnWidth_px / charWidth - 65) < 1);
        QVERIFY(layout.top_px * 2 + layout.linesPerPage * layout.lineHeight_px <= screen.height());
        QVERIFY(layout.linesPerPage >= 10);
    }

    void figuresOfATest_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<qint64>("reading_ms");
        QTest::addColumn<QList<qint64>>("pages_ms");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("right");
        QTest::addColumn<double>("wpm");
        QTest::addColumn<double>("effective");
        QTest::addColumn<bool>("plausible");
        QTest::newRow("a reading") << 400 << qint64(120'000) << QList<qint64>{60'000, 60'000} << 5 << 4
                                   << 200.0 << 160.0 << true;
        QTest::newRow("own text") << 400 << qint64(96'000) << QList<qint64>{96'000} << 0 << 0 << 250.0
                                  << 250.0 << true;
        QTest::newRow("faster than 1,500")
            << 400 << qint64(15'000) << QList<qint64>{7'500, 7'500} << 5 << 5 << 1600.0 << 1600.0 << false;
        QTest::newRow("every page under a second")
            << 30 << qint64(1'800) << QList<qint64>{900, 900} << 5 << 0 << 1000.0 << 0.0 << false;
        QTest::newRow("one page stood a second") << 30 << qint64(1'900) << QList<qint64>{900, 1'000} << 5 << 5
                                                 << 30 * 60'000.0 / 1'900 << 30 * 60'000.0 / 1'900 << true;
        QTest::newRow("no time") << 400 << qint64(0) << QList<qint64>{} << 5 << 5 << 0.0 << 0.0 << false;
    }
    void figuresOfATest()
    {
        QFETCH(int, words);
        QFETCH(qint64, reading_ms);
        QFETCH(QList<qint64>, pages_ms);
        QFETCH(int, questions);
        QFETCH(int, right);
        QFETCH(double, wpm);
        QFETCH(double, effective);
        QFETCH(bool, plausible);
        const zrv::ReadingFigures f = zrv::readingFigures(words, reading_ms, pages_ms, questions, right);
        QCOMPARE(f.wordsPerMinute, wpm);
        QCOMPARE(f.effectiveRate, effective);
        QCOMPARE(f.plausible, plausible);
        QCOMPARE(f.why.isEmpty(), f.plausible);
        QCOMPARE(f.comprehension.has_value(), questions > 0);
    }

    // The result beside the first test of the same kind, never beside an implausible or given-up
    // one; an implausible one says why instead.
    void resultComparesLikeWithLike()
    {
        const QDateTime day = At(2026, 3, 2, 10);
        const ReadingTest given = [&] {
            ReadingTest t = Finished(QStringLiteral("tr/01"), day, 400, 60'000, 5);
            t.end = ReadingEnd::Escape;
            return t;
        }();
        const QList<ReadingTest> earlier{given, Finished({}, day.addDays(1), 400, 60'000, 0),
                                         Finished(QStringLiteral("tr/02"), day.addDays(2), 400, 1'000, 5),
                                         Finished(QStringLiteral("tr/03"), day.addDays(3), 400, 120'000, 5),
                                         Finished(QStringLiteral("tr/04"), day.addDays(4), 400, 100'000, 5)};
        const ReadingTest now = Finished(QStringLiteral("tr/05"), day.addDays(5), 400, 100'000, 5); // 240 wpm
        QStringList lines = zrv::readingResultLines(now, earlier);
        QVERIFY(lines.contains(QStringLiteral("İlk testinizden bu yana +20 %")));
        QVERIFY(lines.last().contains(QStringLiteral("240")));
        lines = zrv::readingResultLines(Finished(QStringLiteral("tr/06"), day, 400, 2'000, 5), earlier);
        QVERIFY(lines.last().contains(QStringLiteral("1500")));
        QCOMPARE(zrv::changeText(0, 10), QString());
        QCOMPARE(zrv::changeText(200, 190), QStringLiteral("-5 %"));
    }

    // The tests stored in the journal's file and read back whole; the own text's place is where the
    // last finished test stopped; every begun passage counts as read.
    void keepsTheTestsInTheJournal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
        SqliteJournal journal(path);
        ReadingStore store(journal);
        ReadingTest passage = Finished(QStringLiteral("tr/01-a"), At(2026, 3, 2, 9), 412, 98'765, 3);
        passage.answers = {1, 0, 2, 3, 1};
        passage.pagesBack = 2;
        passage.routine_utc_ms = 1'772'000'000'000;
        ReadingTest own = Finished({}, At(2026, 3, 3, 9), 401, 90'000, 0);
        own.file = QStringLiteral("/home/ayşe/kitap.txt");
        own.fileStart = 10;
        own.fileEnd = 2'400;
        ReadingTest ownGivenUp = own;
        ownGivenUp.started = At(2026, 3, 4, 9);
        ownGivenUp.fileStart = 2'400;
        ownGivenUp.fileEnd = 5'000;
        ownGivenUp.end = ReadingEnd::Escape;
        ReadingTest passageGivenUp = Finished(QStringLiteral("tr/02-b"), At(2026, 3, 5, 9), 400, 3'000, 0);
        passageGivenUp.end = ReadingEnd::Escape;
        for (const ReadingTest& t : {passage, own, ownGivenUp, passageGivenUp})
            QVERIFY(store.record(t));

        QList<ReadingTest> back = ReadingStore(journal).tests();
        QCOMPARE(back.size(), 4);
        for (ReadingTest& t : back) {
            QVERIFY(t.id > 0);
            t.id = 0;
        }
        QCOMPARE(back, (QList<ReadingTest>{passage, own, ownGivenUp, passageGivenUp}));
        QCOMPARE(store.placeIn(own.file), 2'400);
        QCOMPARE(store.placeIn(QStringLiteral("/other.txt")), 0);
        QCOMPARE(store.lastRead().keys().size(), 2);
        QCOMPARE(store.lastRead().value(QStringLiteral("tr/02-b")),
                 passageGivenUp.started.toMSecsSinceEpoch());
        QCOMPARE(zrv::readingSummary(back, At(2026, 3, 6, 9)).last(),
                 QStringLiteral("Son testten bu yana 3 gün geçti."));
    }
};

QTEST_MAIN(TestReading)
#include "test_reading.moc"
