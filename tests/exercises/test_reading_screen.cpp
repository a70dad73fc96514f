// The reading test as a stage of the exercise window: pages turned by key on the window's clock,
// the questions with the text gone, the result, and the routine going on after it; Escape ends
// it as given up.

#include "ExerciseRig.h"
#include "exercises/ReadingScreen.h"

#include <QtTest>

namespace
{
ReadingMaterial Material()
{
    ReadingMaterial material;
    material.title = QStringLiteral("Sınama");
    for (int p = 0; p < 12; ++p)
        material.paragraphs
            << QStringLiteral("Bu paragrafın kelimeleri sayfaları doldurur, ").repeated(8).trimmed();
    for (int q = 0; q < 5; ++q)
        material.questions.append(
            {QStringLiteral("Soru %1").arg(q),
             {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")},
             q % 4});
    return material;
}
} // namespace

class TestReadingScreen : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase_data() { addScales(); }

    void readingTestInTheWindow_data()
    {
        QTest::addColumn<QString>("escapeIn"); // "": none, "pages", "questions"
        QTest::newRow("whole, then the next stage") << QString();
        QTest::newRow("Escape in the pages") << QStringLiteral("pages");
        QTest::newRow("Escape in the questions") << QStringLiteral("questions");
    }
    void readingTestInTheWindow()
    {
        QFETCH(QString, escapeIn);
        ExerciseRig rig(globalScale());
        rig.settings.exercise = 0;
        std::optional<ReadingTest> finished;
        std::optional<ReadingTest> givenUp;
        ReadingScreen* reading = nullptr;
        RoutineStage stage;
        stage.duration_s = 1;
        stage.screen = [&](QWidget* parent) {
            reading = new ReadingScreen(Material(), {}, &rig.clock, parent);
            connect(reading, &ReadingScreen::finished, [&](const ReadingTest& t) {
                finished = t;
                reading->setResultLines({QStringLiteral("sonuç")});
            });
            connect(reading, &ReadingScreen::givenUp, [&](const ReadingTest& t) { givenUp = t; });
            return reading;
        };
        rig.screen->setRoutine({stage, {rig.settings, 2, {}}});
        QList<RunRecord> runs;
        connect(rig.screen.get(), &ExerciseWindow::runEnded, this,
                [&runs](const RunRecord& run) { runs.append(run); });
        rig.start(0);
        QVERIFY(QTest::qWaitForWindowExposed(rig.screen.get()));
        QCoreApplication::processEvents(); // the first page drawn: the clock runs from here
        QVERIFY(reading && reading->isVisible());
        const int pages = reading->pageCount();
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const auto key = [&](int k, qint64 after_ms) {
            rig.clock.advanceMs(after_ms);
            QTest::keyClick(reading, Qt::Key(k));
            QCoreApplication::processEvents();
        };
        // The window's timer does not end the stage, whatever its seconds.
        rig.clock.advanceMs(10'000);
        if (rig.waker->isArmed())
            rig.waker->fire();
        QCoreApplication::processEvents();
        QCOMPARE(rig.screen->stageIndex(), 0);
        key(Qt::Key_Space, 0);     // page 1 stood 10 s
        key(Qt::Key_Left, 1'000);  // page 2 stood 1 s, back to page 1
        key(Qt::Key_Right, 2'000); // page 1 stood 2 s more
        QCOMPARE(reading->page(), 1);
        if (escapeIn == QLatin1String("pages")) {
            rig.clock.advanceMs(500);
            rig.pressKey(Qt::Key_Escape);
            QCoreApplication::processEvents();
            QVERIFY(!finished && givenUp && runs.isEmpty());
            QCOMPARE(givenUp->end, ReadingEnd::Escape);
            QCOMPARE(givenUp->page_ms.mid(0, 2), (QList<qint64>{12'000, 1'500}));
            QCOMPARE(givenUp->reading_ms, 13'500);
            QVERIFY(!rig.screen->isVisible() && rig.displayReleased());
            return;
        }
        for (int p = 1; p < pages; ++p)
            key(Qt::Key_PageDown, 3'000);
        QCOMPARE(reading->phase(), ReadingScreen::Phase::Questions);
        key(Qt::Key_1, 5'000);  // chosen, not yet answered
        key(Qt::Key_Down, 0);   // b
        key(Qt::Key_Return, 0); // b, where a is right
        QCOMPARE(reading->question(), 1);
        key(Qt::Key_Return, 0); // nothing chosen: nothing answered
        QCOMPARE(reading->question(), 1);
        key(Qt::Key_2, 0);
        key(Qt::Key_Return, 0); // b: right
        if (escapeIn == QLatin1String("questions")) {
            rig.pressKey(Qt::Key_Escape);
            QCoreApplication::processEvents();
            QVERIFY(!finished && givenUp && runs.isEmpty());
            QCOMPARE(givenUp->end, ReadingEnd::Escape);
            QCOMPARE(givenUp->answers, (QList<int>{1, 1}));
            return;
        }
        for (const int k : {Qt::Key_3, Qt::Key_4, Qt::Key_3}) {
            key(k, 0);
            key(Qt::Key_Return, 0);
        }
        QCOMPARE(reading->phase(), ReadingScreen::Phase::Result);
        QVERIFY(finished && !givenUp);
        QCOMPARE(finished->end, ReadingEnd::Finished);
        QCOMPARE(finished->page_ms.size(), pages);
        QCOMPARE(finished->page_ms[0], 12'000);
        QCOMPARE(finished->page_ms[1], 1'000 + 3'000);
        QCOMPARE(finished->pagesBack, 1);
        QCOMPARE(finished->reading_ms, 13'000 + 3'000 * (pages - 1));
        QCOMPARE(finished->answers, (QList<int>{1, 1, 2, 3, 2}));
        QCOMPARE(finished->right, 3);
        QCOMPARE(finished->words, zrv::countWords(Material().paragraphs.join(QLatin1Char(' '))));
        QCOMPARE(reading->resultLines(), QStringList{QStringLiteral("sonuç")});
        // Enter goes on with the routine: the exercise after it runs and is recorded.
        key(Qt::Key_Return, 0);
        QCoreApplication::processEvents();
        QCOMPARE(rig.screen->stageIndex(), 1);
        for (int i = 0; i < 100 && rig.screen->isVisible(); ++i) {
            rig.tick();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].end, RunEnd::Duration);
        QVERIFY(!givenUp);
    }
};

QTEST_MAIN(TestReadingScreen)
#include "test_reading_screen.moc"
