// The training journal with the real program on an X server: three exercises run from the
// settings window, the program closed and started again, the three runs in the "Günlük" page's
// table and chart; then a run after which the program is killed at once (SIGKILL), and that
// run is there at the next start too.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"
#include "Model.h"
#include "Session.h"
#include "gui/SettingsWindow.h"
#include "journal/SqliteJournal.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using zrvtest::Control;

using namespace e2e;

namespace
{
constexpr int kSpeed_ms[3] = {150, 200, 250}; // Dot, Pyramid, Block
}

class TestE2eJournal : public QObject
{
    Q_OBJECT

    Session m_session{QSize(1280, 1024)};
    Desktop& m_desktop = m_session.desktop;
    Program& m_program = m_session.program;

    QString journalPath() const
    {
        return m_program.DataDirectory() + QStringLiteral("/zerlivan/journal.sqlite");
    }
    QPoint at(const QWidget* control) const { return m_session.At(control); }
    QPoint tab(int index) const
    {
        return m_session.window.geometry.topLeft() + m_session.model->TabRect(index).center();
    }

    // Picks `exercise` from the selector's list with the mouse, as a person does.
    void selectExercise(int exercise)
    {
        m_desktop.Focus(m_session.window.id);
        const std::optional<Window> list =
            m_session.OpenList(Control<QWidget>(m_session.model->Main(), "boxAls"));
        QVERIFY(list);
        QVERIFY(m_session.PickFromList(*list, exercise, 3));
        m_session.model->selectExercise(exercise);
    }

    // The start button, about `run_ms` of the exercise, Escape; true when the run came and went.
    bool runExercise(int run_ms)
    {
        m_desktop.Click(at(Control<QWidget>(m_session.model->Main(), "btnAls")), m_session.window.id);
        if (!m_desktop.WaitWindow(QStringLiteral("^zrv$")))
            return false;
        QTest::qWait(run_ms);
        m_desktop.Key(QStringLiteral("Escape"));
        return m_desktop.WaitNoWindow(QStringLiteral("^zrv$"), 5000);
    }

    // Starts the program again in the same folders, with the model holding `runs`.
    void restart(const QList<RunRecord>& runs)
    {
        const auto found = m_program.Start(m_desktop);
        QVERIFY2(found, qPrintable(m_program.Log()));
        m_session.window = *found;
        m_session.model = std::make_unique<Model>(m_program.ReadSettings());
        for (auto it = runs.rbegin(); it != runs.rend(); ++it)
            m_session.model->Journal().record(*it);
    }

    // Shows the "Günlük" page and checks it against the model's; the screenshot.
    QImage showJournalPage(const QString& name)
    {
        const QImage before = m_desktop.Shot();
        m_desktop.Click(tab(2), m_session.window.id);
        m_desktop.ParkPointer();
        m_session.model->ShowPage(2);
        QImage shot = m_session.ShotAfterChange(before, m_session.window.geometry);
        QString unlike;
        // The page is drawn once its table and chart are.
        WaitUntil(
            [&] {
                shot = m_desktop.Shot();
                unlike = m_session.CheckLikeModel(
                    shot, {Control<QTabWidget>(m_session.model->Main(), "PageControl")->tabBar()});
                return unlike.isEmpty();
            },
            5000, 100);
        m_desktop.Keep(m_session.WindowOf(shot), name);
        [&] { QVERIFY2(unlike.isEmpty(), qPrintable(unlike)); }();
        return shot;
    }

  private slots:
    void initTestCase()
    {
        const QString error = m_session.Start(SettingsFile({{1, "1"},
                                                            {2, "0"},
                                                            {8, QByteArray::number(kSpeed_ms[0])},
                                                            {19, QByteArray::number(kSpeed_ms[1])},
                                                            {34, QByteArray::number(kSpeed_ms[2])}}));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void threeRunsThenAgain()
    {
        m_desktop.Click(tab(1), m_session.window.id);
        m_session.model->ShowPage(1);
        for (int exercise = 0; exercise < 3; ++exercise) {
            if (exercise > 0)
                selectExercise(exercise);
            QVERIFY2(runExercise(1500), qPrintable(QStringLiteral("exercise %1 did not run").arg(exercise)));
        }
        m_desktop.Click(at(Control<QWidget>(m_session.model->Main(), "btnClose")), m_session.window.id);
        QVERIFY(m_program.WaitExit(10000));

        QList<RunRecord> runs = SqliteJournal(journalPath()).runs();
        QCOMPARE(runs.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const RunRecord& run = runs[2 - i]; // newest first
            QCOMPARE(run.exercise, i);
            QCOMPARE(run.pace.ms(), kSpeed_ms[i]);
            QCOMPARE(run.end, RunEnd::Escape);
            QVERIFY2(run.run_ms >= 1400 && run.run_ms < 6000, qPrintable(QString::number(run.run_ms)));
            // One step an interval, but for a tick or two the busy machine may have lost.
            QVERIFY2(run.steps >= run.run_ms / kSpeed_ms[i] - 3 && run.steps <= run.run_ms / kSpeed_ms[i] + 1,
                     qPrintable(QString::number(run.steps)));
            QVERIFY(qAbs(run.started.secsTo(QDateTime::currentDateTime())) < 120);
        }

        restart(runs);
        showJournalPage(QStringLiteral("journal-page"));
    }

    // SIGKILL the moment the exercise window is gone: the run is in the journal all the same.
    void killRightAfterARun()
    {
        m_desktop.Click(tab(1), m_session.window.id);
        m_session.model->ShowPage(1);
        QVERIFY(runExercise(1000));
        m_program.Kill();
        const QList<RunRecord> runs = SqliteJournal(journalPath()).runs();
        QCOMPARE(runs.size(), 4);
        restart(runs);
        showJournalPage(QStringLiteral("journal-page-after-kill"));
    }

    void cleanupTestCase()
    {
        if (m_program.Running()) {
            m_desktop.Focus(m_session.window.id);
            m_desktop.Key(QStringLiteral("Escape"));
            m_program.WaitExit(10000);
        }
    }
};

ZRV_E2E_MAIN(TestE2eJournal)
#include "test_e2e_journal.moc"
