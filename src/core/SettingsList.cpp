#include "core/SettingsList.h"

#include "core/Cp1254.h"
#include "core/Exceptions.h"
#include "core/SafeSave.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <limits>

namespace zrv
{

bool parseInt(QByteArrayView text, int* value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        return false;
    // The magnitude may reach 2^31 for a negative number.
    const qint64 limit =
        negative ? qint64(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

} // namespace zrv

const SettingsList& SettingsList::defaults()
{
    // clang-format off
    static const SettingsList defaults(QList<QByteArray>{
        "Zerlivan ayar dosyasi. Lutfen degistirmeyin...",          // 0 header
        "1",                                                        // 1 save on exit
        "0",                                                        // 2 exercise
        "0", "1", "1", "0", "3", "360", "0",                        // 3..9 Dot
        "40",                                                       // 10 not used
        "Courier New", "1", "1", "4", "1", "0", "3", "9", "360", "0", // 11..20 Pyramid
        "Courier New", "10", "162", "0", "1000",                    // 21..25 Pyramid font, letters
        "0", "0", "1", "4", "1", "0", "3", "9", "360", "0",         // 26..35 Block
        "Courier New", "10", "162", "0", "1000",                    // 36..40 Block font, letters
    });
    // clang-format on
    return defaults;
}

QList<QByteArray> SettingsList::parse(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(bytes.sliced(start, end - start).toByteArray());
        start = end;
        if (start < n && bytes[start] == '\r')
            ++start;
        if (start < n && bytes[start] == '\n')
            ++start;
    }
    return lines;
}

qint64 SettingsList::serializedSize(const QList<QByteArray>& lines)
{
    qint64 size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + 2;
    return size;
}

QByteArray SettingsList::serialize(const QList<QByteArray>& lines)
{
    QByteArray data;
    data.reserve(serializedSize(lines));
    for (const QByteArray& line : lines) {
        data += line;
        data += "\r\n";
    }
    return data;
}

SettingsList::LoadResult SettingsList::load(const QString& fileName)
{
    m_lines.clear();
    m_moveAsideBeforeSave = false;

    QByteArray bytes;
    LoadResult result = LoadResult::Read;
    switch (zrv::readRegularFile(QFile::encodeName(fileName), MaxFileSize, &bytes)) {
    case zrv::ReadOutcome::Read:
        m_lines = parse(bytes);
        // The text after a NUL is not part of the list; keep the file that holds it.
        if (bytes.contains('\0'))
            m_moveAsideBeforeSave = true;
        break;
    case zrv::ReadOutcome::Missing:
        // Nothing there, or nothing a settings file can be read from (a directory, a device, a
        // link that leads nowhere or is not followed), and nothing that saving should move aside.
        result = LoadResult::Missing;
        break;
    case zrv::ReadOutcome::Unreadable:
        result = LoadResult::Unreadable;
        break;
    }
    // Every later access assumes lines 0 to 40: a short file takes the missing lines from the
    // defaults.
    for (int i = count(); i < LineCount; ++i)
        m_lines.append(defaults().m_lines.at(i));
    // The limit counts the file as Save writes it (CR LF after every line), so that whatever is
    // read can be written back and read again: a file with LF line ends just under the limit
    // would otherwise grow past it at its first save.
    if (result == LoadResult::Read && serializedSize(m_lines) > MaxFileSize)
        result = LoadResult::Unreadable;

    if (result != LoadResult::Read)
        m_lines = defaults().m_lines;
    if (result == LoadResult::Unreadable)
        m_moveAsideBeforeSave = true;
    return result;
}

void SettingsList::save(const QString& fileName)
{
    m_lastError.clear();
    const auto fail = [this, &fileName](int error) {
        m_lastError = qt_error_string(error);
        throw FileCreateError(QStringLiteral("Cannot create file %1").arg(fileName));
    };
    // Never more than Load reads back.
    if (serializedSize(m_lines) > MaxFileSize)
        fail(EFBIG);
    const QByteArray path = QFile::encodeName(fileName);
    if (m_moveAsideBeforeSave) {
        // The file that could not be read is kept, never overwritten by the defaults.
        const QByteArray aside = path + ".bak";
        if (std::rename(path.constData(), aside.constData()) != 0 && errno != ENOENT)
            fail(errno);
        m_moveAsideBeforeSave = false;
    }
    if (const int error = zrv::replaceFile(path, serialize(m_lines)))
        fail(error);
}

void SettingsList::checkIndex(int i) const
{
    if (i < 0 || i >= count())
        throw ListError(QStringLiteral("List index out of bounds (%1)").arg(i));
}

QByteArray SettingsList::get(int i) const
{
    checkIndex(i);
    return m_lines.at(i);
}

void SettingsList::put(int i, const QByteArray& text)
{
    checkIndex(i);
    m_lines[i] = text;
}

void SettingsList::putInt(int i, int value)
{
    put(i, QByteArray::number(value));
}

QString SettingsList::text(int i) const
{
    return zrv::fromCp1254(get(i));
}

void SettingsList::putText(int i, const QString& text)
{
    put(i, zrv::toCp1254(text));
}

int SettingsList::readInt(int i, int fallback) const
{
    int value = fallback;
    zrv::parseInt(get(i), &value);
    return value;
}

int SettingsList::readStrictInt(int i) const
{
    const QByteArray text = get(i);
    int value = 0;
    if (!zrv::parseInt(text, &value))
        throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(zrv::fromCp1254(text)));
    return value;
}

bool SettingsList::letterGroup(int i, int position) const
{
    const QByteArray text = get(i);
    return position >= 1 && position <= text.size() && text.at(position - 1) == '1';
}
