#pragma once
// Settings lists made for tests: other lines, or the built-in defaults, with some lines changed.

#include "core/SettingsList.h"

#include <QByteArray>
#include <QList>
#include <QMap>

namespace zrvtest
{

// Line number to its new text.
using LineChanges = QMap<int, QByteArray>;

// `lines` with the changed lines replaced.
inline QList<QByteArray> WithLines(QList<QByteArray> lines, const LineChanges& changes)
{
    for (auto it = changes.begin(); it != changes.end(); ++it)
        lines[it.key()] = it.value();
    return lines;
}

// The built-in defaults with the changed lines replaced.
inline QList<QByteArray> DefaultLines(const LineChanges& changes = {})
{
    return WithLines(SettingsList::defaults().lines(), changes);
}

// `lines` with line 0 made of "h" so long that they make a file of exactly the size loading
// accepts.
inline QList<QByteArray> LargestLines(QList<QByteArray> lines)
{
    lines[0] =
        QByteArray(SettingsList::MaxFileSize - SettingsList::serializedSize(lines) + lines[0].size(), 'h');
    return lines;
}

} // namespace zrvtest
