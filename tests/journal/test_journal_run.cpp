// Runs started with the settings window's start button on the in-memory display, each shown
// modally, ticked by hand and ended, go into the journal with what they were; a journal file
// that cannot be used never stops a run, and the damaged file is kept.
#include "JournalRig.h"
#include "exercises/ExerciseRig.h"
#include "exercises/SummaryScreen.h"
#include "gui/JournalView.h"
#include "gui/ProgramPage.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "journal/JournalFigures.h"
#include "journal/SqliteJournal.h"
#include "settings/PrivateMounts.h"
#include "support/Controls.h"
#include "support/Files.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <optional>

class TestJournalRun : public QObject
{
    Q_OBJECT

    // The settings window with a journal at `path`, over the rig's exercise window.
    struct Rig : ExerciseRig {
        SqliteJournal journal;
        SettingsWindow main;

        explicit Rig(const QString& path) : journal(path)
        {
            main.setJournal(&journal);
            main.show();
            main.setScreenForm(screen.get());
        }
        template <class W = QComboBox> W* control(const char* name)
        {
            return zrvtest::Control<W>(main, name);
        }
        void select(int exercise)
        {
            control("boxAls")->setCurrentIndex(exercise);
            main.boxAlsChange();
        }
        void pick(const char* name, int index)
        {
            control(name)->setCurrentIndex(index);
            main.boxChange(control(name));
        }
        // The start button; during the run `during` ticks and presses keys; then Escape,
        // unless the run has ended by itself.
        void run(const std::function<void()>& during)
        {
            QMetaObject::invokeMethod(
                screen.get(),
                [this, during] {
                    during();
                    if (screen->isVisible())
                        QTest::keyClick(screen.get(), Qt::Key_Escape);
                },
                Qt::QueuedConnection);
            main.btnAlsClick();
        }
        // Up to `n` ticks, each followed by what it asked for (a close ends the ticks).
        void ticks(int n)
        {
            for (int i = 0; i < n && waker->isArmed(); ++i) {
                tick();
                QCoreApplication::processEvents();
            }
        }
    };

    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

  private slots:
    void runIsRecordedAsItWas()
    {
        Rig rig(path("run.sqlite"));
        rig.select(2); // Blok
        rig.pick("boxTip", 1);
        rig.pick("boxYon", 2);
        rig.pick("boxStr", 3);
        rig.pick("boxHrf", 8);
        rig.pick("boxZmn", 7);
        rig.pick("boxAkt", 1);
        rig.pick("boxPas", 8);
        rig.pick("boxNkt", 4);
        rig.pick("boxDkk", 3);
        rig.control<SpinEdit>("valHiz")->setValue(250);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const qint64 start_ns = rig.clock.monotonicNanoseconds();
        rig.run([&] { rig.ticks(7); });
        const qint64 ran_ms = (rig.clock.monotonicNanoseconds() - start_ns) / 1'000'000;

        const QList<RunRecord> runs = rig.journal.runs();
        QCOMPARE(runs.size(), 1);
        const RunRecord& run = runs[0];
        QVERIFY(run.started >= before && run.started <= QDateTime::currentDateTime());
        QCOMPARE(run.exercise, 2);
        QCOMPARE(typeName(run.exercise, run.type), rig.control("boxTip")->currentText());
        QCOMPARE(directionName(run.exercise, run.direction), rig.control("boxYon")->currentText());
        QCOMPARE(run.lines, 4);
        QCOMPARE(QString::number(run.letters), rig.control("boxHrf")->currentText());
        const QComboBox* colours[] = {rig.control("boxZmn"), rig.control("boxAkt"), rig.control("boxPas"),
                                      rig.control("boxNkt")};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(colourName(run.colours[size_t(c)]), colours[c]->currentText());
        QCOMPARE(run.pace.ms(), 250);
        QCOMPARE(run.duration_minutes, 3);
        QCOMPARE(run.steps, 7);
        QCOMPARE(run.run_ms, ran_ms);
        QVERIFY(run.run_ms >= 7 * 250 && run.run_ms <= 7 * 251);
        QCOMPARE(run.end, RunEnd::Escape);
        QVERIFY(!run.inactive);
        QCOMPARE(rig.reports, QStringList());
        // The page shows it.
        QCOMPARE(rig.control<JournalPage>("pageJournal")->view()->table()->model()->rowCount(), 1);
    }

    // The duration ends the run; the application was inactive for a while; a display that
    // cannot be taken.
    // The Program page plans from the routine's runs in the journal and starts there: three
    // complete Nokta runs at 360 ms yesterday bring today's to 340 ms, which the page says and
    // the routine runs with the Nokta section's settings; given up after 10 s, it steps the pace
    // back, which its summary says before the second Escape closes it.
    void routineStartsAtThePlannedPace()
    {
        Rig rig(path("routine.sqlite"));
        const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
        for (int i = 0; i < 3; ++i) {
            RunRecord run = zrvtest::Paced(zrvtest::SampleRun(0, yesterday.addSecs(i * 300)), 360);
            run.end = RunEnd::Duration;
            run.routine_utc_ms = yesterday.toMSecsSinceEpoch();
            QVERIFY(rig.journal.record(run));
        }
        auto* page = rig.main.findChild<QWidget*>(QStringLiteral("pageProgram"));
        page->show();
        auto* plan = rig.control<QLabel>("labPlan");
        QVERIFY2(plan->text().startsWith(QStringLiteral("Bugün: Nokta 340 ms (dün 360 ms) · ")),
                 qPrintable(plan->text()));
        rig.select(2); // another exercise selected on the exercises page changes nothing
        QMetaObject::invokeMethod(
            rig.screen.get(),
            [&rig] {
                rig.ticks(31); // 10.5 s at 340 ms
                QTest::keyClick(rig.screen.get(), Qt::Key_Escape);
                QVERIFY(rig.screen->isSummaryShown());
                const QString summary = rig.screen->summaryScreen()->text();
                QVERIFY2(summary.contains(QStringLiteral("Nokta 340 → 360 ms (erken bırakıldı")),
                         qPrintable(summary));
                QTest::keyClick(rig.screen.get(), Qt::Key_Escape);
            },
            Qt::QueuedConnection);
        QTest::keyClick(page, Qt::Key_Return); // Enter on the page starts the routine
        const QList<RunRecord> runs = rig.journal.runs();
        QCOMPARE(runs.size(), 4);
        QCOMPARE(runs[0].exercise, 0);
        QCOMPARE(runs[0].pace.ms(), 340);
        QCOMPARE(runs[0].end, RunEnd::Escape);
        QVERIFY(runs[0].routine_utc_ms);
        QVERIFY2(plan->text().startsWith(QStringLiteral("Bugün: Nokta 360 ms (dün 360 ms)")),
                 qPrintable(plan->text()));
    }

    // The page's buttons and fields edit the selected step, and every change is in the file
    // at once.
    void programPageEditsTheRoutine()
    {
        Rig rig(path("steps.sqlite"));
        rig.main.findChild<QWidget*>(QStringLiteral("pageProgram"))->show();
        auto* steps = rig.control<QListWidget>("lstSteps");
        const auto click = [&rig](const char* name) {
            QTest::mouseClick(rig.control<QPushButton>(name), Qt::LeftButton);
        };
        steps->setCurrentRow(4);
        click("btnStepAdd"); // a copy of Blok after it, selected
        rig.control("boxStep")->setCurrentIndex(3);
        rig.control<QSpinBox>("valStepSeconds")->setValue(30);
        click("btnStepUp");
        steps->setCurrentRow(0);
        click("btnStepRemove");
        rig.control<QSpinBox>("valGoal")->setValue(12);
        rig.control<QCheckBox>("boxProgression")->setChecked(false);
        const std::optional<Routine> stored = rig.journal.routine();
        QVERIFY(stored);
        QCOMPARE(stored->steps, (QList<RoutineStep>{{RoutineStep::kRest, 20},
                                                    {ExerciseSettings::Pyramid, 60},
                                                    {RoutineStep::kRest, 20},
                                                    {RoutineStep::kRest, 30},
                                                    {ExerciseSettings::Block, 60}}));
        QCOMPARE(steps->currentRow(), 0);
        QCOMPARE(rig.control<QLabel>("labTotal")->text(), QStringLiteral("Toplam: 3 dk 10 sn"));
        QCOMPARE(stored->goal_minutes, 12);
        QVERIFY(!stored->progression);
        QCOMPARE(stored->paces[0].pace->ms(), rig.control<QSpinBox>("valPace0")->value());

        // Every step taken out: an empty list and nothing to start, also when a page reads such a
        // routine from the file.
        while (steps->count() > 0) {
            steps->setCurrentRow(0);
            click("btnStepRemove");
        }
        QVERIFY(rig.journal.routine()->steps.isEmpty());
        QVERIFY(!rig.control<QPushButton>("btnProgram")->isEnabled());
        Rig again(path("steps.sqlite"));
        again.main.findChild<QWidget*>(QStringLiteral("pageProgram"))->show();
        QCOMPARE(again.control<QListWidget>("lstSteps")->count(), 0);
        QVERIFY(!again.control<QPushButton>("btnProgram")->isEnabled());
    }

    void howRunsEnd()
    {
        Rig rig(path("ends.sqlite"));
        rig.select(0);
        rig.pick("boxDkk", 1);
        rig.control<SpinEdit>("valHiz")->setValue(2000);
        rig.run([&] {
            rig.ticks(3);
            rig.activity.setActive(false);
            rig.activity.setActive(true);
            rig.ticks(100); // more than a minute: the run ends by itself
        });
        QVERIFY(!rig.screen->isVisible());

        rig.screen->display()->setOffscreenScale(0); // a display that is refused
        rig.run([&] { rig.ticks(3); });

        const QList<RunRecord> runs = rig.journal.runs();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[1].end, RunEnd::Duration);
        QVERIFY(runs[1].inactive);
        QCOMPARE(runs[1].run_ms, 62'000); // the first tick after the minute
        QCOMPARE(runs[1].steps, 31);
        QCOMPARE(runs[0].end, RunEnd::DisplayFailure);
        QCOMPARE(runs[0].steps, 0);
        QCOMPARE(rig.reports.size(), 1); // the display's own error box
    }

    void unusableJournalNeverStopsARun_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("damaged file") << false;
        QTest::newRow("read-only file system") << true;
    }
    void unusableJournalNeverStopsARun()
    {
        QFETCH(bool, readOnly);
        const QString dir = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(dir));
        const QString file = dir + QStringLiteral("/journal.sqlite");
        std::optional<zrvtest::ReadOnlyBind> readOnlyBind;
        QByteArray bytes = QByteArray("not a journal ").repeated(300);
        if (readOnly) {
            if (!zrvtest::EnterPrivateMounts())
                QSKIP("needs the right to mount a file system");
            SqliteJournal(file).record(zrvtest::SampleRun(1, zrvtest::At(2024, 5, 1, 10)));
            QVERIFY(readOnlyBind.emplace(dir).Mounted());
            bytes = ReadAll(file);
        } else {
            QVERIFY(WriteAll(file, bytes));
        }

        Rig rig(file);
        rig.select(0);
        rig.run([&] { rig.ticks(5); });
        // The exercise ran: its five steps are in the run, kept in the file or in memory.
        const QList<RunRecord> runs = rig.journal.runs({0, {}, {}});
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].steps, 5);
        QCOMPARE(rig.reports, QStringList());
        const QLabel* status = rig.control<JournalPage>("pageJournal")->view()->status();
        QVERIFY(!status->isHidden());
        // The routine is the standard one, and a change to it holds (in memory when it must).
        auto* program = rig.control<ProgramPage>("pageProgram");
        program->show();
        QCOMPARE(program->routine().steps, Routine::standard().steps);
        rig.control<QSpinBox>("valGoal")->setValue(9);
        QCOMPARE(program->routine().goal_minutes, 9);
        if (readOnly) {
            QCOMPARE(rig.journal.state(), JournalState::ReadOnly);
            QCOMPARE(rig.journal.pendingCount(), 1);
            QCOMPARE(ReadAll(file), bytes);
        } else {
            QCOMPARE(ReadAll(rig.journal.asidePath()), bytes);
            QCOMPARE(SqliteJournal(file).runs().size(), 1);
        }
    }
};

QTEST_MAIN(TestJournalRun)
#include "test_journal_run.moc"
