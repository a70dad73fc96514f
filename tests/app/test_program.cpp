// The program started as a person or the system starts it: the command line answers without a
// window, a missing display is one line and exit code 1, a stop signal saves the settings as
// the exit button does, and a second copy in the same directory never writes the settings.
// The program runs on the off-screen platform in a temporary directory.
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

struct Run {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out;
    QByteArray err;
};

// The program's data folder (its journal) for the whole test, never the user's.
QString DataHome()
{
    static const QTemporaryDir dir;
    return dir.path();
}

QProcessEnvironment Environment(const QMap<QString, QString>& changes = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome());
    // The program's texts in Turkish, whatever the language of the machine.
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("tr"));
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    return env;
}

Run RunToEnd(const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZRV_PROGRAM_PATH), arguments);
    Run r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitCode();
    r.status = p.exitStatus();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A copy of the program running in `dir`, once it holds the settings lock (or has found it
// taken: then it shows its notice).
struct Copy {
    QProcess process;
    QProcessEnvironment env = Environment();
    bool Start(const QString& dir)
    {
        process.setWorkingDirectory(dir);
        return Start();
    }
    // Started in `dir` given as the file system's bytes.
    bool Start(const QByteArray& dir)
    {
        process.setChildProcessModifier([dir] {
            if (::chdir(dir.constData()) != 0)
                ::_exit(98);
        });
        return Start();
    }
    bool Start()
    {
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZRV_PROGRAM_PATH), {});
        return process.waitForStarted(10000);
    }
    bool Stop(int signal_number)
    {
        if (process.processId() <= 0) // ended already: pid 0 would be this test's whole group
            return false;
        ::kill(pid_t(process.processId()), signal_number);
        return process.waitForFinished(20000);
    }
};

bool WaitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 20000);
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

  private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("language"); // LANGUAGE, when not Turkish
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out"); // what the output holds
        QTest::addColumn<QByteArray>("err"); // what the error output holds
        const QByteArray version = QByteArray("zerlivan ") + ZRV_PROJECT_VERSION + "\n";
        QTest::newRow("--help") << QStringList{"--help"} << QString() << 0 << QByteArray("--version")
                                << QByteArray();
        QTest::newRow("-h") << QStringList{"-h"} << QString() << 0 << QByteArray("Kullanım: zerlivan")
                            << QByteArray();
        QTest::newRow("--version") << QStringList{"--version"} << QString() << 0 << version << QByteArray();
        QTest::newRow("after a Qt option")
            << QStringList{"-platform", "offscreen", "-v"} << QString() << 0 << version << QByteArray();
        QTest::newRow("unknown option") << QStringList{"--fullscreen"} << QString() << 2 << QByteArray()
                                        << QByteArray("bilinmeyen seçenek 'fullscreen'");
        QTest::newRow("unknown page") << QStringList{"--page", "journal"} << QString() << 2 << QByteArray()
                                      << QByteArray("bilinmeyen sayfa 'journal'");
        QTest::newRow("argument") << QStringList{"zrv.opt"} << QString() << 2 << QByteArray()
                                  << QByteArray("'zrv.opt'");
        QTest::newRow("Qt option without its value")
            << QStringList{"-platform"} << QString() << 2 << QByteArray() << QByteArray("zerlivan: ");
        // Translated before the application object exists.
        QTest::newRow("English") << QStringList{"--fullscreen"} << QStringLiteral("en") << 2 << QByteArray()
                                 << QByteArray(
                                        "unknown option 'fullscreen'\nFor the options: zerlivan --help");
    }
    // Each answers at once, with no window (the platform given could show none).
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, language);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QMap<QString, QString> changes{
            {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform")}};
        if (!language.isEmpty())
            changes.insert(QStringLiteral("LANGUAGE"), language);
        const Run r = RunToEnd(arguments, Environment(changes));
        QCOMPARE(r.status, QProcess::NormalExit);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.out.contains(out), r.out.constData());
        QVERIFY2(r.err.contains(err), r.err.constData());
        if (exitCode == 0) {
            QVERIFY(r.err.isEmpty());
            if (arguments.contains("--version") || arguments.contains("-v"))
                QCOMPARE(r.out, out);
        } else {
            QVERIFY(r.out.isEmpty());
            QCOMPARE(r.err.count('\n'), 2); // the fault and where help is
        }
    }

    // No display to reach: one line and exit code 1, not Qt's abort.
    void noDisplay_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("none set") << QString();
        // A display number no X server on this machine holds.
        int free_display = 97;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(free_display)) ||
               QFile::exists(QStringLiteral("/tmp/.x%1-lock").arg(free_display)))
            ++free_display;
        QTest::newRow("no server there") << QStringLiteral(":%1").arg(free_display);
    }
    void noDisplay()
    {
        QFETCH(QString, display);
        QTemporaryDir dir;
        const QString none; // null: removed
        const Run r = RunToEnd({}, Environment({{"QT_QPA_PLATFORM", none},
                                                {"WAYLAND_DISPLAY", none},
                                                {"XDG_SESSION_TYPE", none},
                                                {"DISPLAY", display.isEmpty() ? none : display}}));
        QCOMPARE(r.status, QProcess::NormalExit);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY2(r.err.startsWith("zerlivan: ekran"), r.err.constData());
    }

    // SIGTERM at logout, SIGHUP when the terminal goes, SIGINT from Ctrl+C: the window closes
    // as with the exit button, the settings are saved and the lock is given back.  Also with
    // the log piped into a reader that has gone ("| grep -m1 tick"), and with a relative data
    // folder, which is not to be used.
    void stopSignalSaves_data()
    {
        QTest::addColumn<int>("signal_number");
        QTest::addColumn<QString>("started"); // how, when not as usual
        QTest::newRow("SIGTERM") << int(SIGTERM) << QString();
        QTest::newRow("SIGHUP") << int(SIGHUP) << QString();
        QTest::newRow("SIGINT") << int(SIGINT) << QString();
        QTest::newRow("log into a closed pipe") << int(SIGTERM) << QStringLiteral("closed pipe");
        QTest::newRow("relative XDG_DATA_HOME") << int(SIGTERM) << QStringLiteral("data");
        QTest::newRow("a session bus that never answers") << int(SIGTERM) << QStringLiteral("silent bus");
    }
    void stopSignalSaves()
    {
        QFETCH(int, signal_number);
        QFETCH(QString, started);
        QTemporaryDir dir;
        Copy copy;
        // A socket that takes connections (into its backlog) and never answers.
        const int silentBus = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto closeBus = qScopeGuard([silentBus] { ::close(silentBus); });
        if (started == "silent bus") {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(dir.filePath("bus")).constData(),
                     sizeof address.sun_path);
            QVERIFY(::bind(silentBus, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::listen(silentBus, 16) == 0);
            copy.env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), "unix:path=" + dir.filePath("bus"));
        }
        if (started == "data") {
            copy.env.insert(QStringLiteral("XDG_DATA_HOME"), started);
            copy.env.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        } else if (started == "closed pipe") {
            copy.env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=true"));
            copy.env.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
            copy.process.setChildProcessModifier([] {
                int ends[2];
                if (::pipe(ends) != 0 || ::close(ends[0]) != 0 || ::dup2(ends[1], 2) != 2)
                    ::_exit(98);
            });
        }
        QVERIFY(copy.Start(dir.path()));
        QVERIFY(WaitFor([&] { return QFile::exists(dir.filePath("zrv.opt.lock")); }));
        if (started == "data") // the journal is opened once the window is there
            QVERIFY(WaitFor([&] { return QFile::exists(dir.filePath("home/.local/share/zerlivan")); }));
        QVERIFY(copy.Stop(signal_number));
        QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.process.exitCode(), 0);
        const QByteArray saved = ReadAll(dir.filePath("zrv.opt"));
        QCOMPARE(saved.count("\r\n"), 41);
        QVERIFY(!QFile::exists(dir.filePath("zrv.opt.lock")));
        QCOMPARE(QFile::exists(dir.filePath("home/.local/share/zerlivan")), started == "data");
        if (started == "silent bus") // said once, why
            QCOMPARE(copy.process.readAllStandardError().count("does not answer"), 1);
    }

    // Started in a folder whose name is "Ödev" in Windows-1254 bytes, not valid UTF-8: the
    // program holds its lock there and saves its settings there.
    void folderNameNotUtf8()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path()) + "/\xD6"
                                                                  "dev";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        Copy copy;
        QVERIFY(copy.Start(folder));
        QVERIFY(WaitFor([&] { return ::access(folder + "/zrv.opt.lock", F_OK) == 0; }));
        QVERIFY(copy.Stop(SIGTERM));
        QCOMPARE(copy.process.exitCode(), 0);
        QCOMPARE(::access(folder + "/zrv.opt.lock", F_OK), -1);
        QCOMPARE(::chdir(folder.constData()), 0);
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")).count("\r\n"), 41);
        // Qt cannot name this folder to remove it.
        QVERIFY(::unlink("zrv.opt") == 0 && ::chdir("/") == 0 && ::rmdir(folder.constData()) == 0);
    }

    // The settings cannot be saved: the window says so and stays; a later request ends the
    // program without saving, with exit code 1, so that a logout is not held up.
    void stopSignalWhenSaveFails()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("zrv.opt"));
        Copy copy;
        QVERIFY(copy.Start(dir.path()));
        QVERIFY(WaitFor([&] { return QFile::exists(dir.filePath("zrv.opt.lock")); }));
        for (int i = 0; i < 4 && copy.process.state() == QProcess::Running; ++i) {
            ::kill(pid_t(copy.process.processId()), SIGTERM);
            copy.process.waitForFinished(1500);
        }
        QCOMPARE(copy.process.state(), QProcess::NotRunning);
        QCOMPARE(copy.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.process.exitCode(), 1);
        QVERIFY(QFileInfo(dir.filePath("zrv.opt")).isDir());
    }

    // A second copy in the same directory brings the first one's window to the front, says so
    // and never saves; a lock left by a copy that was killed is taken over by the next one.
    void secondCopyDoesNotSave()
    {
        QTemporaryDir dir;
        const QString settings = dir.filePath("zrv.opt");
        Copy first;
        QVERIFY(first.Start(dir.path()));
        QVERIFY(WaitFor([&] { return QFile::exists(dir.filePath("zrv.opt.lock")); }));

        Copy second;
        QVERIFY(second.Start(dir.path()));
        QByteArray said;
        QVERIFY(WaitFor([&] {
            said += second.process.readAllStandardError();
            return said.contains("zaten açık");
        }));
        if (!second.process.waitForFinished(1000)) // its notice may stay up
            QVERIFY(second.Stop(SIGTERM));
        QVERIFY(first.process.state() == QProcess::Running);
        QVERIFY2(!QFile::exists(settings), "the second copy saved the settings");
        QVERIFY(QFile::exists(dir.filePath("zrv.opt.lock")));

        QVERIFY(first.Stop(SIGKILL));
        Copy third;
        QVERIFY(third.Start(dir.path()));
        // The lock names its holder.
        QVERIFY(WaitFor([&] {
            return ReadAll(dir.filePath("zrv.opt.lock"))
                .startsWith(QByteArray::number(third.process.processId()) + '\n');
        }));
        QVERIFY(third.Stop(SIGTERM));
        QCOMPARE(ReadAll(settings).count("\r\n"), 41);
    }
};

QTEST_MAIN(TestProgram)
#include "test_program.moc"
