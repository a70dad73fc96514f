// The settings list: integer rule, line splitting, defaults, loading, saving and the
// Windows-1254 conversion.
#include "PrivateMounts.h"
#include "core/Cp1254.h"
#include "core/Exceptions.h"
#include "core/SettingsList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include "support/Files.h"
#include "support/SettingsLines.h"
#include "support/WorkDir.h"

#include <memory>

namespace
{

QByteArray DefaultBytes()
{
    return SettingsList::serialize(SettingsList::defaults().lines());
}

} // namespace

class TestSettingsList : public QObject
{
    Q_OBJECT

  private slots:
    // Each test starts in an empty directory of its own.
    void init()
    {
        m_dir = std::make_unique<zrvtest::WorkDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void parseInt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << QByteArray("0") << true << 0;
        QTest::newRow("speed") << QByteArray("360") << true << 360;
        QTest::newRow("leading blanks") << QByteArray("  42") << true << 42;
        QTest::newRow("leading tab") << QByteArray("\t7") << true << 7;
        QTest::newRow("plus") << QByteArray("+5") << true << 5;
        QTest::newRow("minus one") << QByteArray("-1") << true << -1;
        QTest::newRow("blanks then sign") << QByteArray(" -12") << true << -12;
        QTest::newRow("leading zeros") << QByteArray("0010") << true << 10;
        QTest::newRow("dollar hex") << QByteArray("$1F") << true << 31;
        QTest::newRow("0x hex") << QByteArray("0x1f") << true << 31;
        QTest::newRow("0X hex") << QByteArray("0X10") << true << 16;
        QTest::newRow("negative hex") << QByteArray("-$10") << true << -16;
        QTest::newRow("int max") << QByteArray("2147483647") << true << 2147483647;
        QTest::newRow("int min") << QByteArray("-2147483648") << true << int(-2147483647 - 1);
        QTest::newRow("hex int max") << QByteArray("$7FFFFFFF") << true << 2147483647;
        QTest::newRow("empty") << QByteArray("") << false << 0;
        QTest::newRow("blank") << QByteArray(" ") << false << 0;
        QTest::newRow("word") << QByteArray("abc") << false << 0;
        QTest::newRow("font name") << QByteArray("Courier New") << false << 0;
        QTest::newRow("trailing blank") << QByteArray("1 ") << false << 0;
        QTest::newRow("trailing letter") << QByteArray("12a") << false << 0;
        QTest::newRow("decimal point") << QByteArray("1.5") << false << 0;
        QTest::newRow("sign only") << QByteArray("+") << false << 0;
        QTest::newRow("blank after sign") << QByteArray("- 1") << false << 0;
        QTest::newRow("two signs") << QByteArray("--1") << false << 0;
        QTest::newRow("dollar only") << QByteArray("$") << false << 0;
        QTest::newRow("0x only") << QByteArray("0x") << false << 0;
        QTest::newRow("hex letters without prefix") << QByteArray("1F") << false << 0;
        QTest::newRow("above int max") << QByteArray("2147483648") << false << 0;
        QTest::newRow("below int min") << QByteArray("-2147483649") << false << 0;
        QTest::newRow("huge") << QByteArray("99999999999999999999") << false << 0;
        QTest::newRow("hex above int max") << QByteArray("$80000000") << false << 0;
        QTest::newRow("hex all ones") << QByteArray("$FFFFFFFF") << false << 0;
        QTest::newRow("non-ASCII digit") << QByteArray("1\xB2") << false << 0;
    }
    void parseInt()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, parses);
        QFETCH(int, value);
        int result = 12345;
        QCOMPARE(zrv::parseInt(text, &result), parses);
        QCOMPARE(result, parses ? value : 12345);
    }

    void parseLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
        QTest::newRow("LF") << QByteArray("a\nb\n") << L{"a", "b"};
        QTest::newRow("CR") << QByteArray("a\rb\r") << L{"a", "b"};
        QTest::newRow("no final line end") << QByteArray("a\r\nb") << L{"a", "b"};
        QTest::newRow("empty line inside") << QByteArray("a\r\n\r\nb\r\n") << L{"a", "", "b"};
        QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << L{"a", "", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << L{"a", "", "b"};
        QTest::newRow("mixed") << QByteArray("a\rb\nc\r\nd") << L{"a", "b", "c", "d"};
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("only a line end") << QByteArray("\r\n") << L{""};
        QTest::newRow("two line ends") << QByteArray("\n\n") << L{"", ""};
        QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << L{"a", "b"};
        QTest::newRow("NUL first") << QByteArray("\0a\r\n", 4) << L{};
        QTest::newRow("bytes kept") << QByteArray("\xD0\xFE\x81\t x\r\n") << L{"\xD0\xFE\x81\t x"};
    }
    void parseLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(SettingsList::parse(bytes), lines);
    }

    void serializeEndsEveryLineWithCrLf()
    {
        QCOMPARE(SettingsList::serialize({"a", "", "\xFE"}), QByteArray("a\r\n\r\n\xFE\r\n"));
        QCOMPARE(SettingsList::serialize({}), QByteArray());
    }

    // The defaults as properties rather than as a copy of their table: a header, a Dot section,
    // and Pyramid and Block sections of the same shape that differ only where the two exercises
    // do (the type line, which for Pyramid holds a font name and reads as the first type, and
    // the direction); every other line but the font names is a number; written and read back
    // unchanged.
    void defaults()
    {
        const SettingsList& d = SettingsList::defaults();
        QCOMPARE(d.count(), 41);
        QCOMPARE(d.get(0), QByteArray("Zerlivan ayar dosyasi. Lutfen degistirmeyin..."));
        constexpr int kPyramid = 11;
        constexpr int kBlock = 26;
        for (int k = 2; k < 15; ++k)
            QCOMPARE(d.get(kPyramid + k), d.get(kBlock + k));
        QCOMPARE(d.readInt(kPyramid, -1), -1); // not a number: the model reads it as 0
        QVERIFY(d.get(kPyramid + 1) != d.get(kBlock + 1));
        for (int line = 1; line < 41; ++line) {
            if (d.get(line) != "Courier New")
                QVERIFY2(d.readInt(line, -1) >= 0, qPrintable(QString::number(line)));
        }
        QCOMPARE(SettingsList::parse(SettingsList::serialize(d.lines())), d.lines());
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<QByteArray>>("lines");
        const QList<QByteArray> defaults = SettingsList::defaults().lines();
        QList<QByteArray> custom = defaults;
        custom[8] = "500";
        custom[25] = "0110";
        QList<QByteArray> shortened = defaults;
        shortened[0] = "eski";
        shortened[1] = "0";
        shortened[2] = "2";
        QList<QByteArray> longer = custom;
        longer << "fazla"
               << ""
               << "\xFD\xF0";

        QTest::newRow("defaults written")
            << DefaultBytes() << int(SettingsList::LoadResult::Read) << defaults;
        QTest::newRow("empty file: all defaults")
            << QByteArray() << int(SettingsList::LoadResult::Read) << defaults;
        QTest::newRow("short file completed")
            << QByteArray("eski\r\n0\r\n2\r\n") << int(SettingsList::LoadResult::Read) << shortened;
        QTest::newRow("extra lines kept")
            << SettingsList::serialize(longer) << int(SettingsList::LoadResult::Read) << longer;
        QTest::newRow("NUL cuts the file short") << QByteArray("eski\r\n0\r\n2\0\r\n9\r\n", 14)
                                                 << int(SettingsList::LoadResult::Read) << shortened;
    }
    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, result);
        QFETCH(QList<QByteArray>, lines);
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), file));
        SettingsList list;
        QCOMPARE(int(list.load()), result);
        QCOMPARE(list.lines(), lines);
    }

    void loadWithoutFileGivesDefaults()
    {
        SettingsList list({"x"});
        QCOMPARE(list.load(), SettingsList::LoadResult::Missing);
        QCOMPARE(list.lines(), SettingsList::defaults().lines());
        list.save();
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), DefaultBytes());
        QCOMPARE(DefaultBytes().count("\r\n"), 41);
    }

    // Whatever bytes a file's lines hold, loading and saving gives them back.
    void roundTrip()
    {
        QList<QByteArray> lines = SettingsList::defaults().lines();
        lines[0] = "Zerlivan ayar dosyas\xFD. L\xFC"
                   "tfen de\xF0i\xFEtirmeyin... \xD0\xDE\xDD";
        lines[10] = "\x80\x81\x8D\x9E\xFF tab\there";
        lines[21] = "\xC7"
                    "a\xF0 Sans";
        lines << "\xFD\xFD\xFD";
        const QByteArray file = SettingsList::serialize(lines);
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), file));
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Read);
        list.save();
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), file);
    }

    void missingLinesAreListErrors()
    {
        SettingsList list({"a", "b"});
        for (int i : {-1, 2, 41}) {
            try {
                (void)list.get(i);
                QFAIL("Get did not fail");
            } catch (const ListError& e) {
                QCOMPARE(e.message(), QStringLiteral("List index out of bounds (%1)").arg(i));
            }
            QVERIFY_THROWS_EXCEPTION(ListError, list.put(i, "x"));
        }
        list.put(1, "c");
        QCOMPARE(list.lines(), (QList<QByteArray>{"a", "c"}));
    }

    void readingValues()
    {
        SettingsList list({"12", "abc", "", " $10", "ten", "on\xFD", "-7"});
        QCOMPARE(list.readInt(0, 400), 12);
        QCOMPARE(list.readInt(1, 400), 400);
        QCOMPARE(list.readInt(2, 1), 1);
        QCOMPARE(list.readInt(3, 0), 16);
        QCOMPARE(list.readStrictInt(6), -7);
        const auto strictMessage = [&list](int line) {
            try {
                (void)list.readStrictInt(line);
            } catch (const ConvertError& e) {
                return e.message();
            }
            return QStringLiteral("<no error>");
        };
        QCOMPARE(strictMessage(4), QStringLiteral("'ten' is not a valid integer value"));
        QCOMPARE(strictMessage(5), QStringLiteral("'onı' is not a valid integer value"));
        QCOMPARE(strictMessage(2), QStringLiteral("'' is not a valid integer value"));
    }

    void writingValues()
    {
        SettingsList list({"", "", ""});
        list.putInt(0, -1);
        list.putInt(1, 2000);
        list.putText(2, QStringLiteral("Çağ Yazı"));
        QCOMPARE(list.lines(), (QList<QByteArray>{"-1", "2000",
                                                  "\xC7"
                                                  "a\xF0 Yaz\xFD"}));
        QCOMPARE(list.text(2), QStringLiteral("Çağ Yazı"));
    }

    void letterGroups_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("ticked");
        QTest::newRow("default") << QByteArray("1000") << QStringLiteral("1000");
        QTest::newRow("0110") << QByteArray("0110") << QStringLiteral("0110");
        QTest::newRow("other characters") << QByteArray("1x2 ") << QStringLiteral("1000");
        QTest::newRow("short line") << QByteArray("11") << QStringLiteral("1100");
        QTest::newRow("empty line") << QByteArray("") << QStringLiteral("0000");
        QTest::newRow("long line") << QByteArray("011111") << QStringLiteral("0111");
    }
    void letterGroups()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, ticked);
        const SettingsList list({line});
        QString read;
        for (int position = 1; position <= 4; ++position)
            read += list.letterGroup(0, position) ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(read, ticked);
    }

    void cp1254_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("back");
        QTest::newRow("ASCII") << QStringLiteral("Courier New") << QByteArray("Courier New")
                               << QStringLiteral("Courier New");
        QTest::newRow("Turkish") << QStringLiteral("ğüşıöçĞÜŞİÖÇ")
                                 << QByteArray("\xF0\xFC\xFE\xFD\xF6\xE7\xD0\xDC\xDE\xDD\xD6\xC7")
                                 << QStringLiteral("ğüşıöçĞÜŞİÖÇ");
        QTest::newRow("euro and quotes")
            << QStringLiteral("€“”") << QByteArray("\x80\x93\x94") << QStringLiteral("€“”");
        QTest::newRow("not in the code page")
            << QStringLiteral("aāb日本") << QByteArray("a?b??") << QStringLiteral("a?b??");
        QTest::newRow("outside the BMP")
            << QStringLiteral("x\U0001F600y") << QByteArray("x?y") << QStringLiteral("x?y");
        QTest::newRow("empty") << QString() << QByteArray() << QString();
    }
    void cp1254()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, back);
        QCOMPARE(zrv::toCp1254(text), bytes);
        QCOMPARE(zrv::fromCp1254(bytes), back);
    }

    void undefinedBytesDecodeAsReplacement()
    {
        QCOMPARE(zrv::fromCp1254("a\x81z\x9E"), QStringLiteral("a\uFFFDz\uFFFD"));
        // Every byte of the code page decodes to one character.
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all += char(b);
        QCOMPARE(zrv::fromCp1254(all).size(), 255);
    }

    // ---- saving never loses the file ------------------------------------------------------

    void saveOverDirectoryFails()
    {
        QVERIFY(QDir().mkdir(QStringLiteral("zrv.opt")));
        QVERIFY(WriteAll(QStringLiteral("zrv.opt/inside"), "keep"));
        SettingsList list;
        list.load();
        try {
            list.save();
            QFAIL("Save did not fail");
        } catch (const FileCreateError& e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot create file zrv.opt"));
        }
        QVERIFY(QFileInfo(QStringLiteral("zrv.opt")).isDir());
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt/inside")), QByteArray("keep"));
    }

    void saveFailureKeepsOldFile_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("full disk") << true;
        QTest::newRow("read-only file system") << false;
    }
    void saveFailureKeepsOldFile()
    {
        QFETCH(bool, fullDisk);
        if (!zrvtest::EnterPrivateMounts())
            QSKIP("no permission to mount a file system in a private namespace");
        QVERIFY(QDir().mkdir(QStringLiteral("small")));
        const QString dir = QDir::current().absoluteFilePath(QStringLiteral("small"));
        zrvtest::SmallFileSystem fs(dir, 64);
        if (!fs.Mounted())
            QSKIP("tmpfs cannot be mounted here");

        const QString path = dir + QStringLiteral("/zrv.opt");
        const QByteArray oldBytes = SettingsList::serialize(zrvtest::DefaultLines({{8, "777"}}));
        QVERIFY(WriteAll(path, oldBytes));
        if (fullDisk)
            QVERIFY(zrvtest::FillUp(dir));
        else
            QVERIFY(fs.MakeReadOnly());
        const QStringList before = QDir(dir).entryList(QDir::Files | QDir::Hidden);

        SettingsList list;
        QCOMPARE(list.load(path), SettingsList::LoadResult::Read);
        // Larger than any free space left: the new contents cannot be written.
        for (int i = 0; i < 41; ++i)
            list.put(i, QByteArray(200, 'n'));
        QVERIFY_THROWS_EXCEPTION(FileCreateError, list.save(path));
        QCOMPARE(ReadAll(path), oldBytes);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), before);

        // A small change that fits must not be lost in a silent final flush either.
        SettingsList small;
        small.load(path);
        small.put(8, "778");
        try {
            small.save(path);
            // It fitted into the space that was left: then it must be complete.
            QCOMPARE(ReadAll(path), SettingsList::serialize(small.lines()));
        } catch (const FileCreateError&) {
            QCOMPARE(ReadAll(path), oldBytes);
        }
    }

    void symbolicLinkStaysALink()
    {
        QVERIFY(QDir().mkdir(QStringLiteral("real")));
        QVERIFY(WriteAll(QStringLiteral("real/settings.txt"), "old\r\n"));
        QVERIFY(QFile::link(QStringLiteral("real/settings.txt"), QStringLiteral("zrv.opt")));
        SettingsList list;
        QCOMPARE(list.load(), SettingsList::LoadResult::Read);
        QCOMPARE(list.get(0), QByteArray("old"));
        list.put(8, "999");
        list.save();
        QVERIFY(QFileInfo(QStringLiteral("zrv.opt")).isSymLink());
        QCOMPARE(ReadAll(QStringLiteral("real/settings.txt")), SettingsList::serialize(list.lines()));
    }

    // A file that exists but cannot be read is moved aside before the defaults are written.
    void unreadableFileIsKept()
    {
        // Reading a process's own memory at offset 0 fails, also for root.
        QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), QStringLiteral("zrv.opt")));
        SettingsList list;
        if (list.load() != SettingsList::LoadResult::Unreadable)
            QSKIP("/proc/self/mem can be read here");
        QCOMPARE(list.lines(), SettingsList::defaults().lines());
        list.save();
        QCOMPARE(QFileInfo(QStringLiteral("zrv.opt.bak")).symLinkTarget(), QStringLiteral("/proc/self/mem"));
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), DefaultBytes());
        // Only once: the next save replaces the new file in place.
        list.put(8, "500");
        list.save();
        QCOMPARE(QFileInfo(QStringLiteral("zrv.opt.bak")).symLinkTarget(), QStringLiteral("/proc/self/mem"));
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), SettingsList::serialize(list.lines()));
    }

  private:
    std::unique_ptr<zrvtest::WorkDir> m_dir;
};

QTEST_MAIN(TestSettingsList)
#include "test_settings_list.moc"
