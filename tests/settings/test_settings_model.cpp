// The settings window's rules without a widget: what loading shows and stores, which line each
// change goes to, the speed rule, the font lines, the exercise switch, saving at closing and
// whether a run may start.
#include "PrivateMounts.h"
#include "core/Cp1254.h"
#include "core/Exceptions.h"
#include "core/Report.h"
#include "core/SettingsList.h"
#include "core/SettingsModel.h"
#include "core/StepFrames.h"
#include "support/Files.h"
#include "support/SettingsLines.h"
#include "support/WorkDir.h"

#include <QDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

using Lines = QList<QByteArray>;
using Changes = zrvtest::LineChanges;
using zrvtest::DefaultLines;
using Expected = QMap<QString, QString>;
using S = SettingsModel;

namespace
{

QByteArray Crlf(const Lines& lines)
{
    return SettingsList::serialize(lines);
}

// The lines that differ between two lists of the same length.
QList<int> ChangedLines(const Lines& before, const Lines& after)
{
    QList<int> changed;
    for (int i = 0; i < qMax(before.size(), after.size()); ++i) {
        if (i >= before.size() || i >= after.size() || before[i] != after[i])
            changed << i;
    }
    return changed;
}

// A control's state as text, named as the window names the control: a selector's index, the
// speed box's text, "1"/"0" for the save box, the four letter groups as "harf", the font box,
// the start button's caption, the font as "name size charset style", whether a run can start.
QString StateOf(const SettingsModel& m, const QString& name)
{
    static const QMap<QString, S::Selector> selectors{
        {"boxAls", S::Exercise}, {"boxTip", S::Type},       {"boxYon", S::Direction}, {"boxStr", S::Lines},
        {"boxHrf", S::Letters},  {"boxZmn", S::Background}, {"boxAkt", S::Active},    {"boxPas", S::Passive},
        {"boxNkt", S::Dot},      {"boxDkk", S::Duration}};
    if (selectors.contains(name))
        return QString::number(m.index(selectors[name]));
    if (name == QLatin1String("harf")) {
        QString s;
        for (int i = 0; i < 4; ++i)
            s += m.letterGroup(i) ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    if (name == QLatin1String("valHiz"))
        return m.paceText();
    if (name == QLatin1String("boxSaveOptions"))
        return m.saveOptions() ? QStringLiteral("1") : QStringLiteral("0");
    if (name == QLatin1String("txtFnt"))
        return m.fontText();
    if (name == QLatin1String("btnAls"))
        return m.startCaption();
    if (name == QLatin1String("font"))
        return QStringLiteral("%1 %2 %3 %4")
            .arg(m.font().name)
            .arg(m.font().size)
            .arg(m.font().charset)
            .arg(m.font().style);
    if (name == QLatin1String("can start"))
        return m.canStart() ? QStringLiteral("1") : QStringLiteral("0");
    if (name == QLatin1String("text controls"))
        return m.textControlsVisible() ? QStringLiteral("shown") : QStringLiteral("hidden");
    return QStringLiteral("<unknown control %1>").arg(name);
}

// The model on `lines`, as the window's first show leaves it; the text of what it threw.
QString ShowOn(SettingsModel& m, const Lines& lines)
{
    m.list() = SettingsList(lines);
    try {
        m.show();
    } catch (const Exception& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestSettingsModel : public QObject
{
    Q_OBJECT

  private:
    std::unique_ptr<zrvtest::WorkDir> m_dir;

  private slots:
    void init()
    {
        m_dir = std::make_unique<zrvtest::WorkDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    // ---- loading and saving the file ----------------------------------------------------------

    // Showing and saving leave a file that needs no correction as it was, byte for byte (how
    // the list reads and writes lines is tested on the list); no file stands for the defaults.
    void fileWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("no file") << QByteArray() << Crlf(DefaultLines());
        // Lines the model does not correct, Turkish text and lines beyond the 41st among them.
        Lines custom = DefaultLines({{0, "Zerlivan ayar dosyas\xFD \xD0\xDC\xDE\xDD\xD6\xC7 \x81\x9E"},
                                     {2, "1"},
                                     {19, "500"},
                                     {21, "\xC7"
                                          "a\xF0 Sans"},
                                     {25, "0110"}});
        custom << "fazla sat\xFDr"
               << "";
        QTest::newRow("custom") << Crlf(custom) << Crlf(custom);
        QTest::newRow("save box unticked")
            << Crlf(DefaultLines({{1, "0"}})) << Crlf(DefaultLines({{1, "0"}}));
    }
    void fileWrittenBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        if (!file.isEmpty())
            QVERIFY(WriteAll(QStringLiteral("zrv.opt"), file));
        SettingsModel m;
        m.loadAndShow();
        QVERIFY(!file.isEmpty() || !QFile::exists(QStringLiteral("zrv.opt")));
        // An unticked save box writes nothing: the file stays as it was.
        if (!m.saveOptions())
            QVERIFY(QFile::remove(QStringLiteral("zrv.opt")));
        m.saveIfChosen();
        QCOMPARE(QFile::exists(QStringLiteral("zrv.opt")), m.saveOptions());
        if (m.saveOptions())
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), saved);
    }

    // The file cannot be written: the failure names the file and the system's reason on a line
    // of its own (that the old file is kept is the list's rule, tested there).
    void saveFailure_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<int>("reason");
        QTest::newRow("directory") << "directory" << EISDIR;
        QTest::newRow("full disk") << "full disk" << ENOSPC;
        QTest::newRow("read-only") << "read-only" << EROFS;
    }
    void saveFailure()
    {
        QFETCH(QString, place);
        QFETCH(int, reason);
        std::unique_ptr<zrvtest::SmallFileSystem> fs;
        const QByteArray old = Crlf(DefaultLines({{2, "2"}, {34, "1234"}}));
        if (place == QLatin1String("directory")) {
            QVERIFY(QDir().mkdir(QStringLiteral("zrv.opt")));
        } else {
            if (!zrvtest::EnterPrivateMounts())
                QSKIP("no permission to mount a file system in a private namespace");
            QVERIFY(QDir().mkdir(QStringLiteral("small")));
            fs = std::make_unique<zrvtest::SmallFileSystem>(QDir::current().absoluteFilePath("small"), 64);
            if (!fs->Mounted())
                QSKIP("tmpfs cannot be mounted here");
            QVERIFY(QDir::setCurrent(QStringLiteral("small")));
            QVERIFY(WriteAll(QStringLiteral("zrv.opt"), old));
        }
        SettingsModel m;
        m.loadAndShow();
        if (place == QLatin1String("full disk"))
            QVERIFY(zrvtest::FillUp(QDir::currentPath()));
        else if (place == QLatin1String("read-only"))
            QVERIFY(fs->MakeReadOnly());
        m.select(S::Background, 4);
        QString error;
        try {
            m.saveIfChosen();
        } catch (const FileCreateError& e) {
            error = e.message();
        }
        QCOMPARE(error, QStringLiteral("Cannot create file zrv.opt.\n%1")
                            .arg(QString::fromLocal8Bit(std::strerror(reason))));
        fs.reset();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    // ---- what loading shows and stores --------------------------------------------------------

    // What the controls show after the first show, what the lines hold then, and what the
    // show step threw.  A font line that is not a number ends the loading there: the letter
    // groups, read after the font lines, are left as they were.
    void shownValues_data()
    {
        QTest::addColumn<Changes>("file");
        QTest::addColumn<Expected>("controls");
        QTest::addColumn<Changes>("lines");
        QTest::addColumn<QString>("error");
        QTest::newRow("defaults") << Changes{}
                                  << Expected{{"boxAls", "0"},
                                              {"boxSaveOptions", "1"},
                                              {"valHiz", "360"},
                                              {"btnAls", "Alıştırma: Nokta"},
                                              {"text controls", "hidden"}}
                                  << Changes{} << QString();
        QTest::newRow("speed 10") << Changes{{8, "10"}} << Expected{{"valHiz", "40"}} << Changes{{8, "40"}}
                                  << QString();
        QTest::newRow("speed 5000") << Changes{{8, "5000"}} << Expected{{"valHiz", "2000"}}
                                    << Changes{{8, "2000"}} << QString();
        QTest::newRow("speed abc") << Changes{{8, "abc"}} << Expected{{"valHiz", "400"}}
                                   << Changes{{8, "400"}} << QString();
        QTest::newRow("Pyramid speed hex") << Changes{{2, "1"}, {19, "$C8"}} << Expected{{"valHiz", "200"}}
                                           << Changes{{19, "200"}} << QString();
        QTest::newRow("letter groups 0110")
            << Changes{{2, "1"}, {25, "0110"}} << Expected{{"harf", "0110"}, {"can start", "1"}} << Changes{}
            << QString();
        // A Pyramid or Block run needs a letter group (a Dot run does not: noExerciseStored).
        QTest::newRow("Pyramid, no letter group")
            << Changes{{2, "1"}, {25, "0000"}} << Expected{{"can start", "0"}} << Changes{} << QString();
        QTest::newRow("Block, punctuation only")
            << Changes{{2, "2"}, {40, "0001"}} << Expected{{"can start", "1"}} << Changes{} << QString();
        QTest::newRow("Block, no letter group")
            << Changes{{2, "2"}, {40, "0000"}} << Expected{{"can start", "0"}} << Changes{} << QString();
        QTest::newRow("short letter groups, no box changes")
            << Changes{{2, "1"}, {25, "1"}} << Expected{{"harf", "1000"}} << Changes{{25, "1"}} << QString();
        QTest::newRow("short letter groups, a box changes")
            << Changes{{2, "2"}, {40, "01"}} << Expected{{"harf", "0100"}} << Changes{{40, "0100"}}
            << QString();
        QTest::newRow("save line abc")
            << Changes{{1, "abc"}} << Expected{{"boxSaveOptions", "1"}} << Changes{{1, "1"}} << QString();
        QTest::newRow("save line 2") << Changes{{1, "2"}} << Expected{{"boxSaveOptions", "0"}}
                                     << Changes{{1, "2"}} << QString();
        QTest::newRow("colour out of range")
            << Changes{{5, "12"}} << Expected{{"boxZmn", "-1"}} << Changes{{5, "12"}} << QString();
        QTest::newRow("index -1") << Changes{{2, "2"}, {27, "-1"}} << Expected{{"boxYon", "-1"}}
                                  << Changes{{27, "-1"}} << QString();
        QTest::newRow("Pyramid defaults") << Changes{{2, "1"}}
                                          << Expected{{"boxTip", "0"},
                                                      {"boxYon", "1"},
                                                      {"boxStr", "1"},
                                                      {"boxHrf", "4"},
                                                      {"boxNkt", "9"},
                                                      {"valHiz", "360"},
                                                      {"txtFnt", "Courier New (10,162)"},
                                                      {"btnAls", "Alıştırma: Piramit"},
                                                      {"text controls", "shown"}}
                                          << Changes{} << QString();
        QTest::newRow("Block font as stored")
            << Changes{{2, "2"}, {36, " Arial"}, {37, " 12"}, {38, "$A2"}}
            << Expected{{"txtFnt", " Arial ( 12,$A2)"}, {"btnAls", "Alıştırma: Blok"}} << Changes{}
            << QString();
        QTest::newRow("Block font read from the lines")
            << Changes{{2, "2"}, {36, "Times"}, {37, "$0C"}, {38, "418"}, {39, "1"}}
            << Expected{{"font", QStringLiteral("Times 12 %1 %2").arg(418 & 0xFF).arg(int(fsBold))}}
            << Changes{} << QString();
        QTest::newRow("Pyramid size not a number")
            << Changes{{2, "1"}, {22, "ten"}, {25, "0101"}} << Expected{{"harf", "1000"}} << Changes{}
            << "'ten' is not a valid integer value";
        QTest::newRow("Pyramid charset not a number")
            << Changes{{2, "1"}, {23, zrv::toCp1254(u"Türk")}} << Expected{} << Changes{}
            << "'Türk' is not a valid integer value";
        QTest::newRow("Block bold not a number") << Changes{{2, "2"}, {39, "yes"}} << Expected{} << Changes{}
                                                 << "'yes' is not a valid integer value";
        QTest::newRow("exercise out of range")
            << Changes{{2, "5"}}
            << Expected{{"boxAls", "-1"}, {"btnAls", "Alıştırma:"}, {"text controls", "shown"}}
            << Changes{{2, "-1"}} << QString();
    }
    void shownValues()
    {
        QFETCH(Changes, file);
        QFETCH(Expected, controls);
        QFETCH(Changes, lines);
        QFETCH(QString, error);
        SettingsModel m;
        const Lines before = DefaultLines(file);
        QCOMPARE(ShowOn(m, before), error);
        for (auto it = controls.begin(); it != controls.end(); ++it)
            QCOMPARE(StateOf(m, it.key()), it.value());
        QCOMPARE(m.list().lines(), zrvtest::WithLines(before, lines));
    }

    // ---- storing changes ------------------------------------------------------------------------

    // Each control stores its value in the line of the exercise selected, and nowhere else.
    // With no exercise selected a change stores nothing but the save box.
    void changeStoredInItsLine_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<int>("control"); // a selector, or 10 + a letter group, or -1 the save box
        QTest::addColumn<int>("line");    // -1: none
        const int dotLines[] = {3, -1, -1, -1, 5, 6, 7, -1, 9};
        const int offsets[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
        for (int i = 0; i < 9; ++i) {
            const int selector = S::Type + i;
            if (dotLines[i] >= 0)
                QTest::addRow("Dot selector %d", selector) << 0 << selector << dotLines[i];
            QTest::addRow("Pyramid selector %d", selector) << 1 << selector << 11 + offsets[i];
            QTest::addRow("Block selector %d", selector) << 2 << selector << 26 + offsets[i];
            QTest::addRow("none selected, selector %d", selector) << 5 << selector << -1;
        }
        for (int group = 0; group < 4; ++group) {
            QTest::addRow("Pyramid group %d", group) << 1 << 10 + group << 25;
            QTest::addRow("Block group %d", group) << 2 << 10 + group << 40;
            QTest::addRow("none selected, group %d", group) << 5 << 10 + group << -1;
        }
        for (int exercise : {0, 1, 2, 5})
            QTest::addRow("save box, exercise %d", exercise) << exercise << -1 << 1;
    }
    void changeStoredInItsLine()
    {
        QFETCH(int, exercise);
        QFETCH(int, control);
        QFETCH(int, line);
        SettingsModel m;
        QCOMPARE(ShowOn(m, DefaultLines({{2, QByteArray::number(exercise)}, {25, "1010"}, {40, "0101"}})),
                 QString());
        const Lines before = m.list().lines();
        QByteArray stored;
        if (control == -1) {
            m.setSaveOptions(!m.saveOptions());
            stored = m.saveOptions() ? "1" : "0";
        } else if (control >= 10) {
            m.setLetterGroup(control - 10, !m.letterGroup(control - 10));
            stored = StateOf(m, QStringLiteral("harf")).toLatin1();
        } else {
            // An item other than the one shown, so that the line changes.
            const auto selector = S::Selector(control);
            const int item = m.index(selector) == 1 ? 0 : 1;
            m.select(selector, item);
            QCOMPARE(m.index(selector), item);
            stored = QByteArray::number(item);
        }
        QCOMPARE(ChangedLines(before, m.list().lines()), line < 0 ? QList<int>{} : QList<int>{line});
        if (line >= 0)
            QCOMPARE(m.list().get(line), stored);
    }

    // The speed box's text goes into the speed line as a number: a text that is not one as the
    // lowest speed, a text outside the range as it is.  The run always gets a pace in the range.
    void speedRule_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("interval_ms");
        QTest::newRow("750") << 0 << "750" << QByteArray("750") << 750;
        QTest::newRow("5") << 0 << "5" << QByteArray("5") << 40;
        QTest::newRow("3000") << 1 << "3000" << QByteArray("3000") << 2000;
        QTest::newRow("signs and decimal point") << 2 << "+-1." << QByteArray("40") << 40;
        QTest::newRow("empty") << 2 << "" << QByteArray("40") << 40;
        QTest::newRow("hexadecimal") << 1 << "$64" << QByteArray("100") << 100;
    }
    void speedRule()
    {
        QFETCH(int, exercise);
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        QFETCH(int, interval_ms);
        SettingsModel m;
        QCOMPARE(ShowOn(m, DefaultLines({{2, QByteArray::number(exercise)}})), QString());
        const Lines before = m.list().lines();
        m.setPaceText(text);
        const int speedLine = exercise == 0 ? 8 : exercise == 1 ? 19 : 34;
        QCOMPARE(ChangedLines(before, m.list().lines()), QList<int>{speedLine});
        QCOMPARE(m.list().get(speedLine), line);
        QCOMPARE(m.runSettings().pace.ms(), interval_ms);
    }

    // What the speed box's interval shows as on a screen: between two whole numbers of frames,
    // or a whole number (also at a rate that is not whole), and the nearest whole one in range.
    void speedFramesTip_data()
    {
        QTest::addColumn<int>("interval_ms");
        QTest::addColumn<double>("hz");
        QTest::addColumn<QString>("tip");
        QTest::newRow("60 Hz")
            << 40 << 60.0
            << "Bu ekran 60 Hz: 40 ms'lik adımlar 2 ya da 3 kare (33,3 / 50 ms) kalır; 50 ms "
               "her adımda 3 kare";
        QTest::newRow("75 Hz, whole")
            << 40 << 75.0 << "Bu ekran 75 Hz: 40 ms'lik adımların her biri 3 kare kalır";
        QTest::newRow("59,94 Hz, the top of the range")
            << 2000 << 59.94
            << "Bu ekran 59,94 Hz: 2000 ms'lik adımlar 119 ya da 120 kare (1985,3 / 2002 ms) kalır; 1952 ms "
               "her adımda 117 kare";
        QTest::newRow("rate not known") << 40 << 0.0 << "";
    }
    void speedFramesTip()
    {
        QFETCH(int, interval_ms);
        QFETCH(double, hz);
        QTEST(zrv::speedFramesTip(zrv::Pace(interval_ms), hz), "tip");
    }

    // ---- the font -----------------------------------------------------------------------------

    // A chosen font goes into the section's four font lines (bold only of its styles) and the
    // font box; the other styles stay only until the section is loaded again.
    void fontChange_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<FontSpec>("chosen");
        QTest::addColumn<Changes>("lines");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("styleReloaded");
        const FontSpec bold{QStringLiteral("DejaVu Sans"), 14, 238, fsBold | fsItalic, 0};
        const FontSpec plain{QStringLiteral("Çağ Mono"), 9, 162, fsUnderline | fsStrikeOut, 0};
        QTest::newRow("Pyramid bold")
            << 1 << bold << Changes{{21, "DejaVu Sans"}, {22, "14"}, {23, "238"}, {24, "1"}}
            << "DejaVu Sans (14,238)" << int(fsBold);
        QTest::newRow("Block, Turkish name") << 2 << plain
                                             << Changes{{36, "\xC7"
                                                             "a\xF0 Mono"},
                                                        {37, "9"}}
                                             << QStringLiteral("Çağ Mono (9,162)") << 0;
    }
    void fontChange()
    {
        QFETCH(int, exercise);
        QFETCH(FontSpec, chosen);
        QFETCH(Changes, lines);
        QFETCH(QString, shown);
        QFETCH(int, styleReloaded);
        SettingsModel m;
        const Lines before = DefaultLines({{2, QByteArray::number(exercise)}});
        QCOMPARE(ShowOn(m, before), QString());
        m.setFont(chosen);
        QCOMPARE(m.fontText(), shown);
        QCOMPARE(m.font(), chosen);
        QCOMPARE(m.list().lines(), zrvtest::WithLines(before, lines));
        m.selectExercise(3 - exercise);
        m.selectExercise(exercise);
        QCOMPARE(m.font().style, styleReloaded);
    }

    // ---- the exercise switch and the start ----------------------------------------------------

    // Each exercise has its own section: switching loads it, stores the exercise and leaves the
    // other section's lines alone.
    void switchingExercises()
    {
        SettingsModel m;
        const Lines before = DefaultLines({{2, "1"}, {25, "1100"}, {40, "0011"}});
        QCOMPARE(ShowOn(m, before), QString());
        QCOMPARE(StateOf(m, "harf"), QStringLiteral("1100"));
        m.select(S::Exercise, 2);
        QCOMPARE(m.currentExercise(), 2);
        QCOMPARE(StateOf(m, "harf"), QStringLiteral("0011"));
        QCOMPARE(m.items(S::Direction).size(), 3);
        QCOMPARE(m.items(S::Type).value(1), QStringLiteral("Bitişik bloklar"));
        m.selectExercise(1);
        QCOMPARE(StateOf(m, "harf"), QStringLiteral("1100"));
        QCOMPARE(m.items(S::Direction).value(1), QStringLiteral("Çift Yön"));
        m.selectExercise(0);
        QCOMPARE(m.items(S::Type).value(0), QStringLiteral("1 2 3 4"));
        QCOMPARE(StateOf(m, "text controls"), QStringLiteral("hidden"));
        QCOMPARE(m.list().lines(), before.mid(0, 2) + Lines{"0"} + before.mid(3));
        // A font line that is not a number is met when its exercise is picked.
        m.list().put(22, "ten");
        QString error;
        try {
            m.selectExercise(1);
        } catch (const ConvertError& e) {
            error = e.message();
        }
        QCOMPARE(error, QStringLiteral("'ten' is not a valid integer value"));
        QCOMPARE(m.list().get(25), QByteArray("1100"));
    }

    // With no exercise stored, the selectors keep their first items and the start button runs
    // Dot; picking an exercise sets everything up.
    void noExerciseStored()
    {
        SettingsModel m;
        QCOMPARE(ShowOn(m, DefaultLines({{2, "5"}})), QString());
        QCOMPARE(m.items(S::Type).value(0), QStringLiteral("Yatay - Yukarıdan Aşağıya"));
        QCOMPARE(m.items(S::Direction).value(0), QStringLiteral("1 Satır"));
        QCOMPARE(m.currentExercise(), 0);
        m.setLetterGroup(0, false);
        QVERIFY(m.canStart());
        m.selectExercise(1);
        QCOMPARE(m.startCaption(), QStringLiteral("Alıştırma: Piramit"));
        QCOMPARE(m.list().get(2), QByteArray("1"));
    }

    // Where the program calls code that raises (the list, the display): an error is shown once,
    // with its full stop, and the step stops there; a step that raises nothing shows nothing.
    void attemptShowsTheError_data()
    {
        QTest::addColumn<int>("raised"); // 0 nothing, 1 the program's own error, 2 another
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("nothing") << 0 << QStringList();
        QTest::newRow("the program's own") << 1 << QStringList{"'x' is not a valid integer value."};
        QTest::newRow("another") << 2 << QStringList{"no room."};
    }
    void attemptShowsTheError()
    {
        QFETCH(int, raised);
        QFETCH(QStringList, shown);
        QStringList reports;
        zrv::setReportHook([&reports](zrv::ReportKind kind, const QString& text) {
            QCOMPARE(kind, zrv::ReportKind::Error);
            reports << text;
        });
        bool finished = false;
        const bool ok = zrv::attempt([&] {
            if (raised == 1)
                throw ConvertError(QStringLiteral("'x' is not a valid integer value"));
            if (raised == 2)
                throw std::runtime_error("no room");
            finished = true;
        });
        zrv::setReportHook({});
        QCOMPARE(ok, raised == 0);
        QCOMPARE(finished, ok);
        QCOMPARE(reports, shown);
    }
};

QTEST_GUILESS_MAIN(TestSettingsModel)
#include "test_settings_model.moc"
