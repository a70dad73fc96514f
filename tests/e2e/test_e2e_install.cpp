// The installed program started from its menu entry, as a desktop starts it: it comes up in the
// user's data directory for it and keeps its settings there.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace e2e;

class TestE2eInstall : public QObject
{
    Q_OBJECT

  private slots:
    void menuEntryStartsProgramInDataDirectory()
    {
        QTemporaryDir prefix, home;
        // Installed as the README says (the default component: the user's own manifest stays).
        QProcess install;
        install.start(QStringLiteral(CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(ZRV_BUILD_DIR), QStringLiteral("--prefix"),
                       prefix.path(), QStringLiteral("--component"), QStringLiteral("Unspecified")});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

        // The command of the menu entry: one quoted path.
        QFile entry(prefix.filePath(QStringLiteral("share/applications/zerlivan.desktop")));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        const QRegularExpressionMatch exec =
            QRegularExpression(QStringLiteral("^Exec=\"([^\"]+)\"$"), QRegularExpression::MultilineOption)
                .match(text);
        QVERIFY2(exec.hasMatch(), qPrintable(text));
        const QString command = exec.captured(1);
        QVERIFY(QFileInfo(command).isExecutable());

        Desktop desktop(QSize(1024, 768));
        QString error;
        QVERIFY2(desktop.Start(&error), qPrintable(error));
        desktop.ParkPointer();
        Program program;
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), QString());
        const auto window = program.Start(desktop, command, {}, env);
        QVERIFY2(window, qPrintable(QStringLiteral("no settings window: ") + program.Log()));

        // Escape ends it; the settings are written in ~/.local/share/zerlivan.
        desktop.Focus(window->id);
        desktop.Key(QStringLiteral("Escape"));
        QVERIFY2(program.WaitExit(10000), "Escape does not end the program");
        QCOMPARE(program.ExitCode(), 0);
        QFile settings(home.filePath(QStringLiteral(".local/share/zerlivan/zrv.opt")));
        QVERIFY2(settings.open(QIODevice::ReadOnly), "no settings file in the data directory");
        const QString wrong = CheckSettingsFile(settings.readAll(), SettingsFile());
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QVERIFY(!program.HasSettings()); // not where the desktop started it
    }
};

ZRV_E2E_MAIN(TestE2eInstall)
#include "test_e2e_install.moc"
