#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Conversion between the settings file's Windows-1254 (Turkish) bytes and Qt's Unicode text,
// done by the C library's iconv.  The settings list keeps the bytes as they are; text is
// converted only where it meets Qt (the font name, error messages).
namespace zrv
{

// Bytes that Windows-1254 leaves undefined (0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E) become
// U+FFFD, one per byte; every other byte has its character.
QString fromCp1254(QByteArrayView bytes);

// A character that Windows-1254 cannot hold becomes '?', one per character (a surrogate
// pair counts as one character).  Every character of the code page keeps its byte.
QByteArray toCp1254(QStringView text);

} // namespace zrv
