#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace zrv
{

// The integer rule of the settings file: optional blanks (spaces or tabs), an optional sign,
// then decimal digits or a hexadecimal number with a "$" or "0x" prefix, and nothing after it.
// The value must fit a 32-bit signed integer, hexadecimal numbers included ("$FFFFFFFF" does
// not parse; "-$80000000" does).  Returns false, leaving *value alone, when the text does not
// parse.
bool parseInt(QByteArrayView text, int* value);

} // namespace zrv

// The settings list: ordered text lines held as the settings file's Windows-1254 bytes,
// stored and written without conversion, so any file goes back to disk byte for byte.
// Lines 0 to 40 have a meaning (see the line numbers below); further lines are kept.
class SettingsList
{
  public:
    static constexpr int LineCount = 41;
    static constexpr const char* DefaultFileName = "zrv.opt";

    // Line numbers of the list.
    enum Line : int {
        HeaderLine = 0,
        SaveOptionsLine = 1,
        ExerciseLine = 2,
        DotFirstLine = 3,      // Dot: type, direction, colours, speed, duration (3 .. 9)
        PyramidFirstLine = 11, // Pyramid section, 11 .. 25
        BlockFirstLine = 26,   // Block section, 26 .. 40, the Pyramid layout 15 lines further on
    };
    // Offsets inside the Pyramid and Block sections.
    enum SectionOffset : int {
        TypeOffset = 0,
        DirectionOffset = 1,
        LinesOffset = 2,
        LettersOffset = 3,
        BackgroundOffset = 4,
        ActiveOffset = 5,
        PassiveOffset = 6,
        DotOffset = 7,
        PaceOffset = 8,
        DurationOffset = 9,
        FontNameOffset = 10,
        FontSizeOffset = 11,
        FontCharsetOffset = 12,
        FontBoldOffset = 13,
        LetterGroupsOffset = 14,
    };

    SettingsList() = default;
    explicit SettingsList(QList<QByteArray> lines) : m_lines(std::move(lines)) {}

    // The built-in defaults: the 41 lines a missing file stands for.  Never changed.
    static const SettingsList& defaults();

    // A settings file is 41 short lines.  A larger file than this is not read at all: it is
    // treated as a file that cannot be read, so loading never holds more than this in memory.
    // The size counts the lines as Save writes them, CR LF after each, and Save never writes
    // more: whatever is saved is read back.
    static constexpr qint64 MaxFileSize = qint64(1024) * 1024;

    enum class LoadResult {
        Read,       // the file was read
        Missing,    // there is no such file, or nothing a file can be read from (a directory, a
                    // device, a pipe, a link that leads nowhere or is not followed): the defaults
                    // are in the list
        Unreadable, // the file exists but could not be read, or is larger than MaxFileSize: the
                    // defaults are in the list, and the next Save first moves the file aside to
                    // "<name>.bak"
    };
    // Empties the list and reads `fileName` into it.  When the file cannot be opened or read,
    // the list becomes a copy of the defaults.  A file of fewer than 41 lines is completed from
    // the defaults (each missing line takes its default text).  A file whose text a NUL byte
    // ends early is read up to the NUL; the bytes after it would be lost by saving, so the next
    // Save moves that file aside to "<name>.bak" as well.  Never throws.
    LoadResult load(const QString& fileName = QString::fromLatin1(DefaultFileName));
    // True when the next Save first moves the loaded file aside to "<name>.bak".
    bool movesFileAsideAtSave() const { return m_moveAsideBeforeSave; }

    // Writes every line followed by CR LF to `fileName`, replacing it only once the new
    // contents are completely on disk: on any failure the old file is left as it was and
    // FileCreateError "Cannot create file <fileName>" is thrown, lastError() telling why.
    // A relative name stays relative to the current directory, whatever bytes its path has.
    // A symbolic link stays a link and its target gets the new contents, except a link that
    // another user made in a sticky folder open to everyone, which is not followed (the save
    // fails).  Only a regular file is replaced, keeping its mode, and its owner and group where
    // the process may set them: a device, a pipe or a socket, or a link to one, is left alone
    // (a link to /dev/null throws the settings away, as it is meant to).  A hard link is
    // broken: the file's other names keep the previous contents.  Lines longer in all than
    // MaxFileSize are not written (the save fails).
    void save(const QString& fileName = QString::fromLatin1(DefaultFileName));
    // The system's reason for the last failed Save ("No space left on device"), empty when the
    // last Save succeeded.
    QString lastError() const { return m_lastError; }

    // Splits file bytes into lines: CR LF, a lone CR or a lone LF ends a line (LF CR is two
    // line ends); a NUL byte ends the text; a line end at the very end adds no empty line.
    static QList<QByteArray> parse(QByteArrayView bytes);
    // Every line followed by CR LF, and the size of that.
    static QByteArray serialize(const QList<QByteArray>& lines);
    static qint64 serializedSize(const QList<QByteArray>& lines);

    int count() const { return static_cast<int>(m_lines.size()); }
    const QList<QByteArray>& lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

    // The bytes of line i; ListError "List index out of bounds (i)" when there is no such line.
    QByteArray get(int i) const;
    // Replaces line i in place; ListError when there is no such line.
    void put(int i, const QByteArray& text);
    // Stores a number in its shortest decimal form ("-1" for -1).
    void putInt(int i, int value);

    // Line i as Unicode text, and stored from Unicode text (characters outside Windows-1254
    // become '?').
    QString text(int i) const;
    void putText(int i, const QString& text);

    // Line i read with the integer rule; `fallback` when it does not parse.
    int readInt(int i, int fallback) const;
    // Line i read with the integer rule; ConvertError "'<text>' is not a valid integer value"
    // when it does not parse.
    int readStrictInt(int i) const;
    // Letter-group position 1 to 4 of line i: ticked when that character is "1".  A position
    // beyond the end of a short line reads as not ticked.
    bool letterGroup(int i, int position) const;

  private:
    void checkIndex(int i) const;

    QList<QByteArray> m_lines;
    bool m_moveAsideBeforeSave = false;
    QString m_lastError;
};
