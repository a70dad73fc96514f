// Zerlivan: a trainer for the eye exercises of speed reading.
#include "app/CommandLine.h"
#include "app/FirstCopy.h"
#include "app/FontWarmUp.h"
#include "app/Reminder.h"
#include "app/SessionBusProbe.h"
#include "app/SettingsLock.h"
#include "app/StopRequests.h"
#include "core/Report.h"
#include "core/SettingsList.h"
#include "core/StopSignals.h"
#include "exercises/ExerciseWindow.h"
#include "gui/MessageBoxes.h"
#include "gui/SettingsWindow.h"
#include "gui/Translations.h"
#include "journal/SqliteJournal.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QIcon>
#include <QProcess>
#include <QTimer>

#include <functional>
#include <utility>

#include <sys/stat.h>

namespace
{

// Without an address of the session bus, libdbus starts a bus of its own through X11
// (dbus-launch) the first time Qt asks for the session bus (its accessibility bridge does), and
// that bus outlives the program, one more at every start.  The user's bus is used where it
// exists; else an address nothing connects to ("disabled:": libdbus finds no such kind of
// address and starts nothing; the accessibility bridge then does without a bus).
void avoidSessionBusAutolaunch()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray socket = runtime + "/bus";
    struct stat st {
    };
    if (runtime.startsWith('/') && ::stat(socket.constData(), &st) == 0 && S_ISSOCK(st.st_mode)) {
        // Bytes other than these are written %xx in a bus address.
        const QByteArray plain("-_/.\\*");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + socket.toPercentEncoding(plain, "~"));
    } else {
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    }
}

// Runs `work` once `window` has been painted the first time (from the event loop, after the
// paint has gone to the window system), or after a second when it is not painted by then (a
// window started minimized), or before the window handles a close that comes sooner: what the
// first appearance does not need waits for it.
class AfterFirstPaint : public QObject
{
  public:
    AfterFirstPaint(QWidget* window, std::function<void()> work) : QObject(window), m_work(std::move(work))
    {
        window->installEventFilter(this);
        QTimer::singleShot(1000, this, [this] { run(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_work)
            QTimer::singleShot(0, this, [this] { run(); });
        else if (event->type() == QEvent::Close)
            run();
        return QObject::eventFilter(watched, event);
    }

  private:
    void run()
    {
        if (auto work = std::exchange(m_work, nullptr))
            work();
    }
    std::function<void()> m_work;
};

// `zerlivan --remind`: no window, a notification at most (app/Reminder.h).
int remind(int argc, char* argv[])
{
    avoidSessionBusAutolaunch();
    zrv::leaveSilentSessionBusAlone(stderr);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Nivoleth"));
    zrv::installTranslations();
    SqliteJournal journal(SqliteJournal::defaultPath());
    zrv::Reminder reminder(QDBusConnection::sessionBus(), [] {
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                {QStringLiteral("--page"), QStringLiteral("program")});
    });
    reminder.run(journal, QDateTime::currentDateTime());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // Turkish, or the person's language where the program has a translation (gui/Translations.h).
    zrv::loadTranslations();
    zrv::StartOptions start;
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        if (const std::optional<int> exitCode = zrv::handleCommandLine(arguments, stdout, stderr, &start))
            return *exitCode;
    }
    if (start.remind)
        return remind(argc, argv);

    StopSignals::ignoreBrokenPipes();
    avoidSessionBusAutolaunch();
    // Before the application asks for the bus, which it does while it connects to the display.
    zrv::leaveSilentSessionBusAlone(stderr);
    // The font configuration is read while the application connects to the display.
    zrv::FontWarmUp fontWarmUp;
    zrv::beginApplicationStart(stderr);
    QApplication app(argc, argv);
    zrv::endApplicationStart();
    QApplication::setApplicationName(QStringLiteral("Nivoleth"));
    QApplication::setApplicationVersion(QStringLiteral(ZRV_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("zerlivan"));
    zrv::setApplicationTitle(QStringLiteral("Nivoleth"));
    zrv::useMessageBoxes();

    // The program's texts and Qt's own (the font dialog, the buttons of message boxes) in the
    // language chosen above.
    zrv::installTranslations();

    // A copy already open in this folder comes to the front, and this one ends
    // (before the stop signals are caught: a signal ends it at once).
    zrv::FirstCopy firstCopy(QDir::currentPath());
    if (firstCopy.askToRaise()) {
        const QString text =
            QCoreApplication::translate("main", "Zerlivan bu dizinde zaten açık: penceresi öne getirildi.");
        std::fprintf(stderr, "zerlivan: %s\n", qPrintable(text));
        zrv::showMessage(text);
        return 0;
    }

    // From here SIGTERM, SIGHUP and SIGINT end the program the normal way (below).
    StopSignals stopSignals;
    // One copy at a time writes the settings of a directory (SettingsLock says which locks are
    // taken over).  Named relative to the directory, as the settings file is: its absolute path
    // may not be valid UTF-8.  Taken once the settings window has appeared (below), before
    // anything can be saved.
    zrv::SettingsLock settingsLock(QString::fromLatin1(SettingsList::DefaultFileName) +
                                   QStringLiteral(".lock"));

    // The training journal, in the user's data folder; a file it cannot use never stops a run.
    // Opened once the settings window is on its way to the screen (below), which does not wait
    // for the database.
    SqliteJournal journal(SqliteJournal::defaultPath(), SqliteJournal::Opening::AtFirstUse);

    fontWarmUp.wait();

    // The settings window first: it is the main window.  The exercise window stays hidden
    // until the start button shows it.  Both live until the program ends.  The exercises page,
    // hidden at start, is built once the window has appeared (below).
    SettingsWindow mainForm(nullptr, SettingsWindow::ExercisesPage::Later);
    // The exercise window is a window of its own that belongs to the settings window, so that
    // the window system gives the keyboard back to the settings window when the exercise ends
    // (Wayland compositors ignore a program's own request for it).
    ExerciseWindow screenForm({}, &mainForm);
    mainForm.setScreenForm(&screenForm);
    mainForm.setJournal(&journal);

    // From here on a stop request ends the run, closes the dialogs and closes the settings
    // window as the exit button does.
    zrv::StopRequests stopRequests(&mainForm, &screenForm);
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &mainForm,
                     [&stopRequests] { stopRequests.request(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                     [&stopRequests] { stopRequests.request(); });

    mainForm.show();
    firstCopy.listen([&mainForm, &screenForm] {
        // Not while an exercise has the screen.
        if (screenForm.isVisible())
            return;
        mainForm.showNormal();
        mainForm.raise();
        mainForm.activateWindow();
    });
    if (start.programPage)
        mainForm.showProgramPage();
    // The exercises page, the settings lock, the icon and the journal once the window has been
    // drawn: building the page, the lock's write to the disk (or its wait for a lock of a copy
    // just started), finding the icon's image readers, decoding its sizes and loading the
    // database would hold up its first appearance by several milliseconds.  The settings are
    // saved only when the window closes, after this has run.
    new AfterFirstPaint(&mainForm, [&journal, &settingsLock, &mainForm] {
        mainForm.buildExercisesPage();
        if (settingsLock.lock() == zrv::SettingsLock::State::HeldElsewhere)
            mainForm.setSettingsHeldElsewhere();
        QIcon icon(QStringLiteral(":/zerlivan.svg"));
        for (int size_px : {16, 22, 24, 32, 48, 64, 128, 256})
            icon.addFile(QStringLiteral(":/icons/%1/zerlivan.png").arg(size_px), QSize(size_px, size_px));
        QApplication::setWindowIcon(icon);
        journal.openIfClosed();
    });
    return QApplication::exec();
}
