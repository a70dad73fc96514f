// Keys of the settings window as a person presses them on a real X server: Escape with a
// drop-down list open closes only the list, Escape held down to end an exercise does not also
// close the settings window, and Enter presses the focused push button.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"

using namespace e2e;

namespace
{
// Dot selected; the window comes with the keyboard on its tab row.
const QMap<int, QByteArray> kDot{{2, "0"}, {8, "2000"}};
} // namespace

class TestE2eKeys : public QObject
{
    Q_OBJECT

    Desktop m_desktop{QSize(1024, 768)};

    // The program with the exercises page shown and the keyboard on its first control.
    std::optional<Window> startOnExercises(Program& program)
    {
        program.WriteSettings(SettingsFile(kDot));
        m_before.clear();
        for (const Window& w : m_desktop.Windows(QStringLiteral(".*")))
            m_before << w.id;
        const auto window = program.Start(m_desktop);
        if (window) {
            m_desktop.Focus(window->id);
            m_desktop.Key(QStringLiteral("Right"));
        }
        return window;
    }
    // Visible windows that were not there when the settings window came.
    QList<Window> others(const Window& main) const
    {
        QList<Window> found;
        for (const Window& w : m_desktop.Windows(QStringLiteral(".*")))
            if (w.id != main.id && !m_before.contains(w.id))
                found << w;
        return found;
    }
    QSet<qulonglong> m_before;
    // The program is still running a second after the key (nothing closed it meanwhile).
    bool staysOpen(Program& program) { return !program.WaitExit(1000); }

  private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_desktop.Start(&error), qPrintable(error));
        m_desktop.ParkPointer();
    }

    void escapeClosesOnlyTheList()
    {
        Program program;
        const auto window = startOnExercises(program);
        QVERIFY2(window, qPrintable(program.Log()));
        QVERIFY(others(*window).isEmpty());
        // The background colour selector (the fourth control), its list opened with F4.
        m_desktop.Key(QStringLiteral("Tab Tab Tab Tab F4"));
        QVERIFY2(WaitUntil([&] { return !others(*window).isEmpty(); }, 5000), "the list does not open");
        m_desktop.Keep(m_desktop.Shot(), QStringLiteral("keys-list-open"));
        m_desktop.Key(QStringLiteral("Escape"));
        QVERIFY2(WaitUntil([&] { return others(*window).isEmpty(); }, 5000), "the list stays open");
        QVERIFY2(staysOpen(program), "Escape in the list closed the program");
        // The next Escape closes the window as usual, saving the settings as they were.
        m_desktop.Key(QStringLiteral("Escape"));
        QVERIFY2(program.WaitExit(), "the second Escape does not close the window");
        const QString wrong = CheckSettingsFile(program.ReadSettings(), SettingsFile(kDot));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    // Escape held down ends the run at its press; its repeats reach the settings window and
    // leave it open.  Enter on the focused start button starts the run, and on the exit button
    // ends the program.
    void heldEscapeAndEnter()
    {
        Program program;
        const auto window = startOnExercises(program);
        QVERIFY2(window, qPrintable(program.Log()));
        m_desktop.Key(QStringLiteral("Tab Tab Return"));
        QVERIFY2(m_desktop.WaitWindow(QStringLiteral("^zrv$"), 5000),
                 "Enter on the start button starts nothing");

        m_desktop.Run(QStringLiteral("xdotool"), {"keydown", "Escape"});
        const bool ended = m_desktop.WaitNoWindow(QStringLiteral("^zrv$"), 5000);
        QTest::qWait(1500); // the key repeats meanwhile
        m_desktop.Run(QStringLiteral("xdotool"), {"keyup", "Escape"});
        QVERIFY2(ended, "Escape held down does not end the run");
        QVERIFY2(staysOpen(program), "the repeats of Escape closed the settings window");

        // Back on the start button: Shift+Tab to the save box, the tab row and the exit button.
        m_desktop.Focus(window->id);
        m_desktop.Key(QStringLiteral("shift+Tab shift+Tab shift+Tab"));
        m_desktop.Keep(m_desktop.Shot(), QStringLiteral("keys-exit-button"));
        m_desktop.Key(QStringLiteral("Return"));
        QVERIFY2(program.WaitExit(), "Enter on the exit button does not end the program");
        QCOMPARE(program.ExitCode(), 0);
    }
};

ZRV_E2E_MAIN(TestE2eKeys)
#include "test_e2e_keys.moc"
