#include "Desktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>

namespace e2e
{
namespace
{

bool Have(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// An XWD dump of a 24- or 32-bit TrueColor screen (what Xvfb -screen ...x24 gives) as a
// QImage; a null image for anything else.
QImage FromXwd(const QByteArray& data)
{
    if (data.size() < 100)
        return {};
    auto field = [&data](int i) { return qFromBigEndian<quint32>(data.constData() + 4 * i); };
    const quint32 headerSize = field(0), format = field(2), width = field(4), height = field(5);
    const quint32 byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12);
    const quint32 redMask = field(14), greenMask = field(15), blueMask = field(16), colours = field(19);
    if (format != 2 || bitsPerPixel != 32 || redMask != 0xFF0000 || greenMask != 0xFF00 || blueMask != 0xFF)
        return {};
    const qsizetype start = qsizetype(headerSize) + qsizetype(colours) * 12;
    if (data.size() < start + qsizetype(bytesPerLine) * height)
        return {};
    QImage image(int(width), int(height), QImage::Format_RGB32);
    for (quint32 y = 0; y < height; ++y) {
        const char* row = data.constData() + start + qsizetype(y) * bytesPerLine;
        auto* out = reinterpret_cast<quint32*>(image.scanLine(int(y)));
        for (quint32 x = 0; x < width; ++x) {
            const quint32 p = byteOrder == 0 ? qFromLittleEndian<quint32>(row + 4 * x)
                                             : qFromBigEndian<quint32>(row + 4 * x);
            out[x] = 0xFF000000u | (p & 0xFFFFFFu);
        }
    }
    return image;
}

} // namespace

QStringList MissingTools()
{
    QStringList missing;
    for (const char* tool : {"Xvfb", "xdotool"})
        if (!Have(QString::fromLatin1(tool)))
            missing << QString::fromLatin1(tool);
    if (!Have(QStringLiteral("xwd")) && !Have(QStringLiteral("import")))
        missing << QStringLiteral("xwd or import");
    return missing;
}

QString ProgramPath()
{
    const QString fromEnvironment = qEnvironmentVariable("ZRV_PROGRAM");
    return fromEnvironment.isEmpty() ? QStringLiteral(ZRV_PROGRAM_PATH) : fromEnvironment;
}

bool WaitUntil(const std::function<bool()>& done, int timeout_ms, int step_ms)
{
    QDeadlineTimer deadline(timeout_ms);
    for (;;) {
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ulong(step_ms));
    }
}

Desktop::Desktop(QSize screen, const QList<QSize>& moreScreens) : m_screen(screen), m_moreScreens(moreScreens)
{
}

Desktop::~Desktop()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
}

bool Desktop::Start(QString* error)
{
    m_runtime = std::make_unique<QTemporaryDir>();
    // -displayfd 1: the server picks a free display number and writes it to its stdout.
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.setStandardErrorFile(m_runtime->filePath(QStringLiteral("xvfb.log")));
    QStringList arguments{QStringLiteral("-displayfd"), QStringLiteral("1")};
    const QList<QSize> screens = QList<QSize>{m_screen} + m_moreScreens;
    for (qsizetype i = 0; i < screens.size(); ++i)
        arguments << QStringLiteral("-screen") << QString::number(i)
                  << QStringLiteral("%1x%2x24").arg(screens[i].width()).arg(screens[i].height());
    arguments << QStringLiteral("-nolisten") << QStringLiteral("tcp") << QStringLiteral("-noreset");
    m_server.start(QStringLiteral("Xvfb"), arguments);
    if (!m_server.waitForStarted(10000)) {
        *error = QStringLiteral("Xvfb does not start: ") + m_server.errorString();
        return false;
    }
    QByteArray number;
    QDeadlineTimer deadline(20000);
    while (!number.contains('\n') && !deadline.hasExpired()) {
        if (!m_server.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        number += m_server.readAllStandardOutput();
    }
    bool ok = false;
    const int display = number.trimmed().toInt(&ok);
    if (!ok) {
        QFile log(m_runtime->filePath(QStringLiteral("xvfb.log")));
        log.open(QIODevice::ReadOnly);
        *error = QStringLiteral("Xvfb gave no display number: ") + QString::fromLocal8Bit(log.readAll());
        return false;
    }
    m_display = QStringLiteral(":%1").arg(display);
    return true;
}

QProcessEnvironment Desktop::ClientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.*=false"));
    // The program's texts in Turkish, whatever the language of the machine.
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("tr"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("XAUTHORITY"));
    env.remove(QStringLiteral("SESSION_MANAGER"));
    return env;
}

QByteArray Desktop::Run(const QString& program, const QStringList& arguments, int* exitCode,
                        int timeout_ms) const
{
    QProcess process;
    process.setProcessEnvironment(ClientEnvironment());
    process.start(program, arguments);
    if (!process.waitForFinished(timeout_ms)) {
        process.kill();
        process.waitForFinished(2000);
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

QList<Window> Desktop::Windows(const QString& name) const
{
    QList<Window> windows;
    const QByteArray out =
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), name});
    for (const QByteArray& line : out.split('\n')) {
        bool ok = false;
        const qulonglong id = line.trimmed().toULongLong(&ok);
        if (ok)
            windows << Window{id, Geometry(id)};
    }
    return windows;
}

std::optional<Window> Desktop::WaitWindow(const QString& name, int timeout_ms) const
{
    std::optional<Window> found;
    WaitUntil(
        [&] {
            const QList<Window> windows = Windows(name);
            if (!windows.isEmpty())
                found = windows.first();
            return found.has_value();
        },
        timeout_ms, 60);
    return found;
}

bool Desktop::WaitNoWindow(const QString& name, int timeout_ms) const
{
    return WaitUntil([&] { return Windows(name).isEmpty(); }, timeout_ms, 30);
}

QRect Desktop::Geometry(qulonglong window) const
{
    const QByteArray out =
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)});
    int values[4] = {0, 0, 0, 0};
    static const char* const keys[4] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
    for (const QByteArray& line : out.split('\n'))
        for (int i = 0; i < 4; ++i)
            if (line.startsWith(keys[i]))
                values[i] = line.mid(int(qstrlen(keys[i]))).trimmed().toInt();
    return QRect(values[0], values[1], values[2], values[3]);
}

void Desktop::Focus(qulonglong window) const
{
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
}

void Desktop::Click(QPoint at, qulonglong focus) const
{
    if (focus)
        Focus(focus);
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
         QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void Desktop::Key(const QString& keys) const
{
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30")};
    arguments += keys.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Run(QStringLiteral("xdotool"), arguments);
}

void Desktop::Type(const QString& text) const
{
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

void Desktop::ParkPointer() const
{
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("0"), QStringLiteral("0")});
}

QImage Desktop::Shot() const
{
    QImage image;
    if (Have(QStringLiteral("xwd")))
        image = FromXwd(Run(QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent")}));
    if (image.isNull())
        image =
            QImage::fromData(Run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                            QStringLiteral("png:-")}),
                             "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

void Desktop::Keep(const QImage& image, const QString& name) const
{
    const QString dir = qEnvironmentVariable("ZRV_E2E_SHOTS");
    if (dir.isEmpty() || image.isNull())
        return;
    QDir().mkpath(dir);
    image.save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

Program::Program() = default;

Program::~Program()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void Program::WriteSettings(const QByteArray& bytes)
{
    QFile file(FilePath(QStringLiteral("zrv.opt")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray Program::ReadSettings() const
{
    QFile file(FilePath(QStringLiteral("zrv.opt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Program::HasSettings() const
{
    return QFileInfo::exists(FilePath(QStringLiteral("zrv.opt")));
}

std::optional<Window> Program::Start(const Desktop& desktop, const QString& program,
                                     const QStringList& arguments, const QProcessEnvironment& extra)
{
    QProcessEnvironment env = desktop.ClientEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), DataDirectory());
    for (const QString& key : extra.keys())
        env.insert(key, extra.value(key));
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(m_dir.path());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_logDir.filePath(QStringLiteral("program.log")));
    m_process.start(program.isEmpty() ? ProgramPath() : program, arguments);
    if (!m_process.waitForStarted(10000))
        return std::nullopt;
    return desktop.WaitWindow(QStringLiteral("^Zerlivan$"));
}

bool Program::WaitExit(int timeout_ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeout_ms);
}

void Program::Kill()
{
    m_process.kill();
    m_process.waitForFinished(10000);
}

QString Program::Log() const
{
    QFile file(m_logDir.filePath(QStringLiteral("program.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace e2e
