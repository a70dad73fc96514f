#include "core/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zrv
{

namespace
{
// A value of a desktop entry: backslash, line breaks and a leading space escaped.
QString entryValue(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"))
        .replace(QLatin1Char('\t'), QLatin1String("\\t"));
    if (text.startsWith(QLatin1Char(' ')))
        text.replace(0, 1, QLatin1String("\\s"));
    return text;
}

// An argument of Exec: in double quotes, with ", `, $ and \ escaped by a backslash.
QString execArgument(const QString& argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        // A field code of the launcher ("%f") stands for a file; the percent sign itself is "%%".
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
} // namespace

QString autostartPath()
{
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!QDir::isAbsolutePath(config))
        config = QFile::decodeName(qgetenv("HOME")) + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/zerlivan-remind.desktop");
}

bool isAutostartInstalled()
{
    return QFile::exists(autostartPath());
}

QByteArray autostartEntry(const QString& program, const QString& folder)
{
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Zerlivan\n"
                       "Comment=Reminds of the day's exercises when the goal is not met yet\n"
                       "Comment[tr]=Günün hedefi tutmadıysa çalışmaları hatırlatır\n"
                       "Exec=%1 --remind\n"
                       "Path=%2\n"
                       "NoDisplay=true\n"
                       "Terminal=false\n"
                       "X-GNOME-Autostart-enabled=true\n")
            .arg(entryValue(execArgument(program)), entryValue(folder));
    return text.toUtf8();
}

bool installAutostart(const QString& program, const QString& folder, QString* error)
{
    const QString path = autostartPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot make the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(autostartEntry(program, folder)) < 0 || !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool removeAutostart(QString* error)
{
    QFile file(autostartPath());
    if (!file.exists() || file.remove())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace zrv
