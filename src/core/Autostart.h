#pragma once

#include <QString>

namespace zrv
{

// The daily reminder's entry in the desktop session's autostart folder (the XDG autostart
// rule: $XDG_CONFIG_HOME/autostart, ~/.config/autostart without it): at every login the
// session starts `program --remind` in `folder`, where the settings the program then opens with
// are.  The entry's presence is the reminder's setting.
QString autostartPath();
bool isAutostartInstalled();
// False when the file could not be written or removed (the reason in `error`).
bool installAutostart(const QString& program, const QString& folder, QString* error = nullptr);
bool removeAutostart(QString* error = nullptr);

// The desktop entry's text: Exec with the program quoted as the desktop entry rules ask.
QByteArray autostartEntry(const QString& program, const QString& folder);

} // namespace zrv
