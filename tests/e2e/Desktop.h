#pragma once
// A desktop of the tests' own: an Xvfb server (started with -displayfd, so it picks a free
// display number), the real program in a temporary working directory, and what a person does
// and sees there: xdotool for the mouse and the keyboard, screenshots of the whole screen.
//
// There is no window manager.  Where a window manager would give the keyboard focus to a
// window that the person clicks, Desktop::Click does it (xdotool windowfocus).

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

namespace e2e
{

// The programs the suite needs and does not find (empty when all are there).  Screenshots
// need xwd or ImageMagick's import.
QStringList MissingTools();

// Path of the program under test.
QString ProgramPath();

// Calls `done` every `step_ms` until it returns true or `timeout_ms` have passed; the last
// result.
bool WaitUntil(const std::function<bool()>& done, int timeout_ms, int step_ms = 40);

struct Window {
    qulonglong id = 0;
    QRect geometry; // on the screen
};

class Desktop
{
  public:
    // Screen 0 of `screen`, and a screen after it of each size in `moreScreens`.
    explicit Desktop(QSize screen = QSize(1280, 1024), const QList<QSize>& moreScreens = {});
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Starts the X server; false with the reason in *error when it does not come up.
    bool Start(QString* error);
    QString Display() const { return m_display; }
    QSize ScreenSize() const { return m_screen; }
    // The environment of a client of this server (DISPLAY set, no forced Qt platform).
    QProcessEnvironment ClientEnvironment() const;

    // Runs an X client to its end and returns its standard output; exit code in *exitCode.
    QByteArray Run(const QString& program, const QStringList& arguments, int* exitCode = nullptr,
                   int timeout_ms = 15000) const;

    // Visible windows whose name matches the regular expression `name` (xdotool's search).
    QList<Window> Windows(const QString& name) const;
    std::optional<Window> WaitWindow(const QString& name, int timeout_ms = 15000) const;
    bool WaitNoWindow(const QString& name, int timeout_ms = 15000) const;
    QRect Geometry(qulonglong window) const;

    // The keyboard focus to `window`, as a window manager gives it on a click.
    void Focus(qulonglong window) const;
    // Moves the pointer to `at` (screen coordinates) and clicks; `focus` a top-level window
    // first gets the keyboard focus, as with a window manager.
    void Click(QPoint at, qulonglong focus = 0) const;
    // xdotool key names ("Tab", "space", "ctrl+a", "Escape").
    void Key(const QString& keys) const;
    void Type(const QString& text) const;
    // Moves the pointer out of every window of the program.
    void ParkPointer() const;

    // The whole screen, Format_RGB32.
    QImage Shot() const;
    // A screenshot saved under $ZRV_E2E_SHOTS (when set) as <name>.png, for looking at.
    void Keep(const QImage& image, const QString& name) const;

  private:
    QSize m_screen;
    QList<QSize> m_moreScreens;
    QString m_display;
    QProcess m_server;
    std::unique_ptr<QTemporaryDir> m_runtime;
};

// The program under test, started on a desktop in a temporary working directory of its own.
class Program
{
  public:
    Program();
    ~Program();

    QString Directory() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }
    QString DataDirectory() const { return m_dir.filePath(QStringLiteral(".data")); }
    // Puts `bytes` into the working directory as "zrv.opt" before the start.
    void WriteSettings(const QByteArray& bytes);
    QByteArray ReadSettings() const;
    bool HasSettings() const;

    // Starts `program` (default: the program under test) and waits for its settings window.
    // Its data folder (XDG_DATA_HOME) is DataDirectory(), so that the user's is never touched.
    std::optional<Window> Start(const Desktop& desktop, const QString& program = QString(),
                                const QStringList& arguments = {},
                                const QProcessEnvironment& extra = QProcessEnvironment());
    bool WaitExit(int timeout_ms = 15000);
    // Ends the program at once with SIGKILL, as a crash would, and waits for its end.
    void Kill();
    bool Running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 ProcessId() const { return m_process.processId(); }
    int ExitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return m_process.exitStatus(); }
    // What the program wrote to stdout and stderr.
    QString Log() const;

  private:
    QTemporaryDir m_dir;    // the working directory: the program's own files only
    QTemporaryDir m_logDir; // its output
    QProcess m_process;
};

} // namespace e2e
