// Malformed settings files: each loads without a crash, gives the lines the loading rules say,
// is saved back as those lines, and a file whose contents saving would lose is kept as
// "zrv.opt.bak".  Then integers of every odd form, read through the settings window.
#include "core/SettingsList.h"
#include "gui/SettingsWindow.h"
#include "support/Files.h"
#include "support/Sandbox.h"
#include "support/SettingsLines.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <memory>
#include <sys/resource.h>

using Lines = QList<QByteArray>;
using zrvtest::WithLines;

namespace
{

QByteArray FileHash(const QString& path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f))
        return QByteArray("<unreadable>");
    return hash.result();
}

// The defaults with every line that has a number of its own changed, so that a line taken from
// the defaults can be told from one read from the file.
Lines Custom()
{
    return zrvtest::DefaultLines({{0, "eski ayarlar"},
                                  {8, "777"},
                                  {19, "777"},
                                  {34, "777"},
                                  {2, "1"},
                                  {22, "12"},
                                  {37, "14"},
                                  {25, "0110"},
                                  {40, "0011"}});
}

// Lines 0..n-1 of `from`, the rest from the defaults.
Lines Completed(const Lines& from, int n)
{
    Lines lines = SettingsList::defaults().lines();
    for (int i = 0; i < n; ++i)
        lines[i] = from[i];
    return lines;
}

QByteArray Utf16(const QByteArray& latin, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (char c : latin) {
        if (bigEndian)
            out += '\0';
        out += c;
        if (!bigEndian)
            out += '\0';
    }
    return out;
}

qint64 PeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes `size` bytes of "x...x\r\n" lines without holding them in memory.
bool WriteLargeFile(const QString& path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1 << 20, 'x');
    for (int i = 98; i < block.size(); i += 100) {
        block[i] = '\r';
        block[i + 1] = '\n';
    }
    for (qint64 left = size; left > 0; left -= block.size()) {
        const qint64 n = std::min<qint64>(left, block.size());
        if (f.write(block.constData(), n) != n)
            return false;
    }
    return true;
}

} // namespace

class TestMalformedFiles : public QObject
{
    Q_OBJECT

  private slots:
    void init()
    {
        m_dir = std::make_unique<zrvtest::Sandbox>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    // ---- the file as a whole ---------------------------------------------------------------

    void loadAndSave_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("result");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<bool>("keptAsBak");

        const int read = int(SettingsList::LoadResult::Read);
        const int unreadable = int(SettingsList::LoadResult::Unreadable);
        const Lines defaults = SettingsList::defaults().lines();
        const Lines custom = Custom();
        const QByteArray crlf = SettingsList::serialize(custom);

        QTest::newRow("0 bytes: the defaults") << QByteArray() << read << defaults << false;

        // A NUL ends the text: the lines before it are read, the rest come from the defaults, and
        // the file, whose rest saving would drop, is kept.
        QTest::newRow("NUL at the start") << QByteArray(1, '\0') + crlf << read << defaults << true;
        {
            Lines l = custom;
            l[20] = "2";
            QByteArray bytes = SettingsList::serialize(l);
            bytes.insert(bytes.indexOf("\r\n2\r\n", 0) + 3, '\0'); // after line 20's text
            QTest::newRow("NUL in line 20") << bytes << read << Completed(l, 21) << true;
        }
        {
            QByteArray bytes = crlf;
            bytes.insert(bytes.size() - 4, '\0'); // "00\0" "11\r\n": line 40 reads "00"
            QTest::newRow("NUL in line 41") << bytes << read << WithLines(custom, {{40, "00"}}) << true;
        }
        {
            // Every byte value in one line, in order: the NUL first ends the text right there,
            // where line 40 would begin.
            QByteArray all;
            for (int b = 0; b < 256; ++b)
                all += char(b);
            QTest::newRow("all 256 byte values from a NUL on, in line 41")
                << SettingsList::serialize(custom.first(40)) + all << read << Completed(custom, 40) << true;
            // Without the NUL and the two line ends, all other 253 values are kept byte for byte.
            all.clear();
            for (int b = 1; b < 256; ++b) {
                if (b != '\r' && b != '\n')
                    all += char(b);
            }
            QCOMPARE(all.size(), 253);
            QTest::newRow("253 byte values in the font name")
                << SettingsList::serialize(WithLines(custom, {{21, all}})) << read
                << WithLines(custom, {{21, all}}) << false;
            QTest::newRow("253 byte values in the header")
                << SettingsList::serialize(WithLines(custom, {{0, all}})) << read
                << WithLines(custom, {{0, all}}) << false;
        }

        const QByteArray megabyte(1000 * 1000, 'm');
        QTest::newRow("1 MB header line") << SettingsList::serialize(WithLines(custom, {{0, megabyte}}))
                                          << read << WithLines(custom, {{0, megabyte}}) << false;
        QTest::newRow("1 MB font name") << SettingsList::serialize(WithLines(custom, {{21, megabyte}}))
                                        << read << WithLines(custom, {{21, megabyte}}) << false;
        {
            // The largest file read, and one byte more.
            const Lines l = zrvtest::LargestLines(custom);
            const QByteArray largest = SettingsList::serialize(l);
            QCOMPARE(largest.size(), SettingsList::MaxFileSize);
            QTest::newRow("1 MiB: read") << largest << read << l << false;
            QTest::newRow("1 MiB + 1 byte: refused") << largest + 'x' << unreadable << defaults << true;
            // The limit counts the file as it is written back, with CR LF: a file with LF line
            // ends 41 bytes under 1 MiB is 1 MiB then, one byte more would not load again.
            QByteArray lf = largest;
            lf.replace("\r\n", "\n");
            QCOMPARE(lf.size(), SettingsList::MaxFileSize - 41);
            QTest::newRow("LF, 1 MiB with CR LF: read") << lf << read << l << false;
            QTest::newRow("LF, 1 MiB + 1 byte with CR LF: refused")
                << 'h' + lf << unreadable << defaults << true;
        }

        {
            QByteArray mixed;
            const char* ends[] = {"\r\n", "\n", "\r"};
            for (int i = 0; i < custom.size(); ++i)
                mixed += custom[i] + ends[i % 3];
            QTest::newRow("mixed line ends") << mixed << read << custom << false;
            // LF CR is two line ends with an empty line between them.
            QByteArray lfcr = SettingsList::serialize(custom.first(5));
            lfcr.chop(2);
            lfcr += "\n\r" + SettingsList::serialize(custom.mid(5));
            Lines shifted = custom.first(5);
            shifted << "" << custom.mid(5);
            QTest::newRow("LF CR: an empty line more") << lfcr << read << shifted << false;
        }

        QTest::newRow("40 lines: line 41 from the defaults")
            << SettingsList::serialize(custom.first(40)) << read << Completed(custom, 40) << false;
        {
            Lines l = custom;
            l << "fazla";
            QTest::newRow("42 lines: the extra line kept")
                << SettingsList::serialize(l) << read << l << false;
            for (int i = 42; i < 10000; ++i)
                l << QByteArray::number(i);
            QTest::newRow("10 000 lines: all kept") << SettingsList::serialize(l) << read << l << false;
        }

        // A byte-order mark is part of the header line, which nothing reads.
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + crlf << read
            << WithLines(custom, {{0, "\xEF\xBB\xBF" + custom[0]}}) << false;
        // UTF-16: the first character's high byte is a NUL, which ends the text; the file is kept.
        QTest::newRow("UTF-16 LE") << Utf16(crlf, false) << read
                                   << Completed(Lines{"\xFF\xFE"
                                                      "e"},
                                                1)
                                   << true;
        QTest::newRow("UTF-16 BE") << Utf16(crlf, true) << read << Completed(Lines{"\xFE\xFF"}, 1) << true;
    }
    void loadAndSave()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, result);
        QFETCH(Lines, lines);
        QFETCH(bool, keptAsBak);

        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), file));
        SettingsList list;
        QCOMPARE(int(list.load()), result);
        QCOMPARE(list.count(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY2(list.get(i) == lines[i], qPrintable(QStringLiteral("line %1").arg(i)));
        QCOMPARE(list.movesFileAsideAtSave(), keptAsBak);

        list.save();
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), SettingsList::serialize(lines));
        QCOMPARE(QFileInfo::exists(QStringLiteral("zrv.opt.bak")), keptAsBak);
        if (keptAsBak)
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt.bak")), file);

        // What was saved loads as the same lines, with nothing more to keep.
        SettingsList again;
        QCOMPARE(again.load(), SettingsList::LoadResult::Read);
        QCOMPARE(again.lines(), lines);
        QVERIFY(!again.movesFileAsideAtSave());
    }

    // A 100 MB file is refused without reading it: the defaults are used, memory stays small,
    // and the file is kept whole as zrv.opt.bak.
    void hundredMegabyteFileRefused()
    {
        const qint64 size = 100LL * 1000 * 1000;
        QVERIFY(WriteLargeFile(QStringLiteral("zrv.opt"), size));
        const QByteArray hash = FileHash(QStringLiteral("zrv.opt"));
        const qint64 peakBefore = PeakRssKb();
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Unreadable);
        const qint64 peakAfter = PeakRssKb();
        QCOMPARE(list.lines(), SettingsList::defaults().lines());
        qInfo("peak resident memory before loading %lld KiB, after %lld KiB", peakBefore, peakAfter);
        QVERIFY2(peakAfter - peakBefore < 8 * 1024, "loading held the file in memory");

        list.save();
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")),
                 SettingsList::serialize(SettingsList::defaults().lines()));
        QCOMPARE(QFileInfo(QStringLiteral("zrv.opt.bak")).size(), size);
        QCOMPARE(FileHash(QStringLiteral("zrv.opt.bak")), hash);
    }

    // ---- integers in every odd form, through the window -------------------------------------

    // The Pyramid section with one text in the letters-per-line line (an index with fallback
    // 0), the speed line (fallback 400, limited to 40..2000) and the font size line (strict).
    void integersInTheWindow_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("letterIndex"); // boxHrf: -1 none
        QTest::addColumn<QString>("speedShown");
        QTest::addColumn<int>("fontSize"); // 0: the line is not an integer, an error is shown
        const QByteArray digits25("1234567890123456789012345");
        QTest::newRow("empty") << QByteArray("") << 0 << QStringLiteral("400") << 0;
        QTest::newRow("blank then 12") << QByteArray(" 12") << 12 << QStringLiteral("40") << 12;
        QTest::newRow("+12") << QByteArray("+12") << 12 << QStringLiteral("40") << 12;
        QTest::newRow("-1") << QByteArray("-1") << -1 << QStringLiteral("40") << -1;
        QTest::newRow("2147483647") << QByteArray("2147483647") << -1 << QStringLiteral("2000") << 2147483647;
        QTest::newRow("2147483648") << QByteArray("2147483648") << 0 << QStringLiteral("400") << 0;
        QTest::newRow("25 digits") << digits25 << 0 << QStringLiteral("400") << 0;
        QTest::newRow("0x10") << QByteArray("0x10") << 16 << QStringLiteral("40") << 16;
        QTest::newRow("$1F") << QByteArray("$1F") << 31 << QStringLiteral("40") << 31;
        QTest::newRow("12abc") << QByteArray("12abc") << 0 << QStringLiteral("400") << 0;
    }
    void integersInTheWindow()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, letterIndex);
        QFETCH(QString, speedShown);
        QFETCH(int, fontSize);
        const Lines lines = zrvtest::DefaultLines({{2, "1"}, {14, text}, {19, text}, {22, text}});
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), SettingsList::serialize(lines)));

        SettingsWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.model().index(SettingsModel::Exercise), 1);
        QCOMPARE(form.model().index(SettingsModel::Letters), letterIndex);
        QCOMPARE(form.model().paceText(), speedShown);
        // The shown speed is stored back; the index line keeps its text.
        QCOMPARE(form.lstOptions().get(19), speedShown.toLatin1());
        QCOMPARE(form.lstOptions().get(14), text);
        if (fontSize != 0) {
            QCOMPARE(m_dir->reports, QStringList());
            QCOMPARE(form.model().font().size, fontSize);
        } else {
            QCOMPARE(
                m_dir->reports,
                QStringList{
                    QStringLiteral("'%1' is not a valid integer value.").arg(QString::fromLatin1(text))});
        }
        form.hide();
    }

  private:
    std::unique_ptr<zrvtest::Sandbox> m_dir;
};

QTEST_MAIN(TestMalformedFiles)
#include "test_malformed_files.moc"
