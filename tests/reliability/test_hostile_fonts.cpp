// Hostile font settings in the file (absurd sizes, huge names, names with commas): the settings
// window shows them without harm, the exercises run on the in-memory display and lay out within
// their 800-entry tables, memory stays bounded, and the real font dialog opens and closes.
#include "Resident.h"
#include "core/SettingsModel.h"
#include "exercises/ExerciseRig.h"
#include "gui/SettingsWindow.h"
#include "support/Controls.h"
#include "support/Files.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using Lines = QList<QByteArray>;

namespace
{

// The defaults with the same font name and size in the Pyramid and the Block section.
QByteArray FileWithFont(const QByteArray& name, const QByteArray& size)
{
    Lines lines = SettingsList::defaults().lines();
    for (int first : {SettingsList::PyramidFirstLine, SettingsList::BlockFirstLine}) {
        lines[first + SettingsList::FontNameOffset] = name;
        lines[first + SettingsList::FontSizeOffset] = size;
        lines[first + SettingsList::LetterGroupsOffset] = "1111";
    }
    return SettingsList::serialize(lines);
}

// Writes the current row's file into the working directory.
bool WriteRowFile()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, size);
    return WriteAll(QStringLiteral("zrv.opt"), FileWithFont(name, size));
}

// Resident memory has grown by less than 64 MiB since `before` (not under AddressSanitizer,
// whose figures are not comparable).
void CheckResidentGrowth(long before)
{
    const long after = zrvtest::ResidentKb();
    qInfo("resident memory %ld KiB before, %ld KiB after", before, after);
    if (!zrvtest::kUnderAddressSanitizer)
        QVERIFY2(after - before < 64 * 1024, "memory grew by more than 64 MiB");
}

void AddFontRows()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("size");
    const QByteArray courier("Courier New");
    QTest::newRow("size 0") << courier << QByteArray("0");
    QTest::newRow("size -5") << courier << QByteArray("-5");
    QTest::newRow("size 65535") << courier << QByteArray("65535");
    QTest::newRow("size 2147483647") << courier << QByteArray("2147483647");
    QTest::newRow("size -2147483648") << courier << QByteArray("-2147483648");
    QTest::newRow("10 000-character name") << QByteArray(10000, 'W') << QByteArray("10");
    QTest::newRow("name with commas")
        << QByteArray("Courier New, Arial,,Bold 12, \xDE\xFE") << QByteArray("10");
    QTest::newRow("500 000-character name, size 1") << QByteArray(500 * 1000, 'n') << QByteArray("1");
}

// Runs in which the highlight goes round the whole order at least once.
struct Run {
    int exercise, tip, yon, letterIndex, lineIndex;
};
constexpr Run kRuns[] = {
    {1, 0, 0, 0, 0},  {1, 0, 1, 32, 5}, {1, 1, 0, 0, 0}, {1, 1, 1, 32, 5}, {2, 0, 0, 0, 0},
    {2, 0, 1, 32, 5}, {2, 0, 2, 0, 0},  {2, 1, 0, 0, 0}, {2, 1, 1, 32, 5}, {2, 1, 2, 0, 0},
};

} // namespace

class TestHostileFonts : public QObject
{
    Q_OBJECT

  private slots:
    void exercisesLayOutWithinTheirTables_data() { AddFontRows(); }
    void exercisesLayOutWithinTheirTables()
    {
        QFETCH(QByteArray, size);
        const long residentBefore = zrvtest::ResidentKb();
        ExerciseRig rig;
        QVERIFY(WriteRowFile());
        SettingsModel model;
        model.loadAndShow();
        // The font box shows the lines as they are, as far as it holds text.
        QVERIFY(model.fontText().size() <= SettingsModel::FontTextMaxLength);

        for (const Run& run : kRuns) {
            const QString what = QStringLiteral("exercise %1, type %2, direction %3, letters %4, lines %5")
                                     .arg(run.exercise)
                                     .arg(run.tip)
                                     .arg(run.yon)
                                     .arg(run.letterIndex + 4)
                                     .arg(run.lineIndex + 1);
            model.selectExercise(run.exercise);
            QCOMPARE(model.font().size, size.toInt());
            model.select(SettingsModel::Type, run.tip);
            model.select(SettingsModel::Direction, run.yon);
            model.select(SettingsModel::Letters, run.letterIndex);
            model.select(SettingsModel::Lines, run.lineIndex);
            rig.settings = model.runSettings();
            rig.start(run.exercise);
            QVERIFY2(rig.screen->display()->isInitialized(), qPrintable(what));
            LetterExercise& s = rig.letters();

            Canvas* canvas = rig.canvas();
            const int h = canvas->textHeight(QStringLiteral("A"));
            const int w = canvas->textWidth(QStringLiteral("A"));
            canvas->release();
            QVERIFY2(h >= 1 && h <= 2 * Canvas::MaxFontPixels, qPrintable(what));
            QVERIFY2(w >= 1 && w <= 2 * Canvas::MaxFontPixels, qPrintable(what));

            QVERIFY2(s.blocksLaidOut >= 0 && s.blocksLaidOut <= zrv::MaxBloks, qPrintable(what));
            QVERIFY2(s.orderLength >= 0 && s.orderLength <= zrv::MaxBloks, qPrintable(what));
            for (int k = 1; k <= s.orderLength; ++k) {
                const int b = s.showOrder[size_t(k)];
                QVERIFY2(b >= 1 && b <= s.blocksLaidOut,
                         qPrintable(what + QStringLiteral(": entry %1").arg(k)));
            }
            for (int i = 1; i <= s.blocksLaidOut; ++i) {
                const LetterBlock& block = s.block(i);
                QVERIFY2(block.lines >= 1 && block.lines <= 6, qPrintable(what));
                for (int line = 1; line <= block.lines; ++line)
                    QVERIFY2(block.text[size_t(line)].size() == block.letters, qPrintable(what));
            }
            // Round the whole order and a little more.
            const int ticks = std::min(s.orderLength + 3, 120);
            for (int t = 0; t < ticks; ++t) {
                rig.tick();
                QVERIFY2(s.current >= 1 && s.current <= std::max(1, s.orderLength), qPrintable(what));
            }
            rig.pressKey(Qt::Key_Escape);
            QVERIFY2(!rig.screen->isVisible(), qPrintable(what));
            QVERIFY(rig.displayReleased());
            QCOMPARE(rig.reports, QStringList());
        }
        CheckResidentGrowth(residentBefore);
    }

    // The real font dialog starts from the hostile font and closes again.
    void fontDialogOpens_data() { AddFontRows(); }
    void fontDialogOpens()
    {
        const long residentBefore = zrvtest::ResidentKb();
        ExerciseRig rig;
        QVERIFY(WriteRowFile());
        SettingsWindow main;
        main.FormShow();
        zrvtest::Control<QComboBox>(main, "boxAls")->setCurrentIndex(1);
        main.boxAlsChange();
        const Lines before = main.lstOptions().lines();
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QVERIFY(dialog->findChild<QFontDialog*>());
            // Drawn once, sample text included, before it is closed.
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QVERIFY(!dialog->grab().isNull());
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QVERIFY(buttons);
            seen = true;
            buttons->button(QDialogButtonBox::Cancel)->click();
        });
        main.btnFntClick();
        QVERIFY(seen);
        QCOMPARE(main.lstOptions().lines(), before);
        QCOMPARE(rig.reports, QStringList());
        CheckResidentGrowth(residentBefore);
    }
};

QTEST_MAIN(TestHostileFonts)
#include "test_hostile_fonts.moc"
