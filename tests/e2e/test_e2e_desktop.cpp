// The program among the other windows of a desktop: a stop signal during a run gives the screen
// back and saves the settings, and a second copy in the same directory says that it will not
// save.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"

#include <QFile>

#include <csignal>

using namespace e2e;

class TestE2eDesktop : public QObject
{
    Q_OBJECT

    Desktop m_desktop{QSize(1024, 768)};

  private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_desktop.Start(&error), qPrintable(error));
        m_desktop.ParkPointer();
    }

    // SIGTERM (a logout) during a run ends the run and then the program, which saves the
    // settings.
    void stopSignalDuringRun()
    {
        Program program;
        const auto window = program.Start(m_desktop);
        QVERIFY2(window, qPrintable(program.Log()));
        m_desktop.Focus(window->id);
        m_desktop.Key(QStringLiteral("Right Tab Tab space"));
        const auto run = m_desktop.WaitWindow(QStringLiteral("^zrv$"));
        QVERIFY2(run, "the exercise does not start");
        QCOMPARE(::kill(pid_t(program.ProcessId()), SIGTERM), 0);
        QVERIFY2(m_desktop.WaitNoWindow(QStringLiteral("^zrv$")), "the run goes on");
        QVERIFY2(program.WaitExit(), "the program goes on");
        QCOMPARE(program.ExitStatus(), QProcess::NormalExit);
        QCOMPARE(program.ExitCode(), 0);
        const QString wrong = CheckSettingsFile(program.ReadSettings(), SettingsFile());
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    // The second copy brings the first one's window to the front and says so (a message box
    // with the program's title), then ends without saving; the first one saves as usual.
    void secondCopy()
    {
        Program first;
        QVERIFY2(first.Start(m_desktop), qPrintable(first.Log()));
        QProcess second;
        second.setProcessEnvironment(m_desktop.ClientEnvironment());
        second.setWorkingDirectory(first.Directory());
        second.start(ProgramPath(), {});
        const auto notice = m_desktop.WaitWindow(QStringLiteral("^Nivoleth$"));
        QVERIFY2(notice, "the second copy says nothing");
        m_desktop.Keep(m_desktop.Shot(), QStringLiteral("desktop-second-copy"));
        // Enter presses its OK button.
        m_desktop.Focus(notice->id);
        m_desktop.Key(QStringLiteral("Return"));
        QVERIFY(m_desktop.WaitNoWindow(QStringLiteral("^Nivoleth$")));
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(m_desktop.Windows(QStringLiteral("^Zerlivan$")).size(), 1);
        QVERIFY2(!first.HasSettings(), "the second copy saved the settings");
        QCOMPARE(::kill(pid_t(first.ProcessId()), SIGTERM), 0);
        QVERIFY(first.WaitExit());
        QVERIFY(first.HasSettings());
    }
};

ZRV_E2E_MAIN(TestE2eDesktop)
#include "test_e2e_desktop.moc"
