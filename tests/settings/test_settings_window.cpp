// The settings window driven through its real widgets: loading, storing every change in the
// right line, the speed box, switching exercises, the font, closing and saving, links.
#include "PrivateMounts.h"
#include "core/Cp1254.h"
#include "core/Random.h"
#include "core/Report.h"
#include "core/SettingsList.h"
#include "exercises/ExerciseWindow.h"
#include "gui/FontDialog.h"
#include "gui/LinkLabel.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "support/FakeActivity.h"
#include "support/ManualWaker.h"
#include "support/MockClock.h"
#include "support/Sandbox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyleOptionSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "support/Files.h"
#include "support/SettingsLines.h"

#include <cerrno>
#include <cstring>
#include <memory>

using Lines = QList<QByteArray>;
using Changes = zrvtest::LineChanges;
using zrvtest::DefaultLines;
using Expected = QMap<QString, QString>;

namespace
{

QByteArray Crlf(const Lines& lines)
{
    return SettingsList::Serialize(lines);
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

const QStringList kExerciseControls{"labYon",   "boxYon",   "labStr",   "boxStr",  "labHrf", "boxHrf",
                                    "labNkt",   "boxNkt",   "labFnt",   "txtFnt",  "btnFnt", "labharf",
                                    "boxharf1", "boxharf2", "boxharf3", "boxharf4"};

} // namespace

// Receives the addresses that the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestMainForm : public QObject
{
    Q_OBJECT

  private:
    std::unique_ptr<zrvtest::Sandbox> m_dir;
    std::unique_ptr<SettingsWindow> m_form;

    QWidget* Control(const QString& name) const
    {
        const QMap<QString, QWidget*> controls{
            {"boxAls", m_form->boxAls},     {"boxTip", m_form->boxTip},
            {"boxYon", m_form->boxYon},     {"boxStr", m_form->boxStr},
            {"boxHrf", m_form->boxHrf},     {"boxZmn", m_form->boxZmn},
            {"boxAkt", m_form->boxAkt},     {"boxPas", m_form->boxPas},
            {"boxNkt", m_form->boxNkt},     {"boxDkk", m_form->boxDkk},
            {"valHiz", m_form->valHiz},     {"boxharf1", m_form->boxharf1},
            {"boxharf2", m_form->boxharf2}, {"boxharf3", m_form->boxharf3},
            {"boxharf4", m_form->boxharf4}, {"boxSaveOptions", m_form->boxSaveOptions},
            {"btnAls", m_form->btnAls},     {"txtFnt", m_form->txtFnt},
            {"btnFnt", m_form->btnFnt},     {"labYon", m_form->labYon},
            {"labStr", m_form->labStr},     {"labHrf", m_form->labHrf},
            {"labNkt", m_form->labNkt},     {"labFnt", m_form->labFnt},
            {"labharf", m_form->labharf},   {"Memo2", m_form->Memo2},
        };
        return controls.value(name);
    }

    // A control's state as text: a selector's index, the speed box's text, "1"/"0" for a
    // check box, the four letter groups as "harf", a caption.
    QString StateOf(const QString& name) const
    {
        if (name == QLatin1String("harf")) {
            QString s;
            for (const QCheckBox* box :
                 {m_form->boxharf1, m_form->boxharf2, m_form->boxharf3, m_form->boxharf4})
                s += box->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        }
        QWidget* w = Control(name);
        if (auto* box = qobject_cast<QComboBox*>(w))
            return QString::number(box->currentIndex());
        if (auto* spin = qobject_cast<SpinEdit*>(w))
            return spin->Text();
        if (auto* check = qobject_cast<QCheckBox*>(w))
            return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        if (auto* button = qobject_cast<QPushButton*>(w))
            return button->text();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            return edit->text();
        return QStringLiteral("<unknown control %1>").arg(name);
    }

    void ShowForm()
    {
        m_form = std::make_unique<SettingsWindow>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

    void ShowWith(const Lines& lines)
    {
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), Crlf(lines)));
        ShowForm();
    }

    // The window on the defaults with `changes`, its exercises page open.
    void ShowExercises(const Changes& changes)
    {
        ShowWith(DefaultLines(changes));
        OpenPage(1);
    }

    void OpenPage(int index)
    {
        auto* bar = m_form->PageControl->findChild<QTabBar*>();
        QVERIFY(bar);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCOMPARE(m_form->PageControl->currentIndex(), index);
    }

    // Picks item `index` of a selector the way a user does: open the list, move to the item,
    // press Enter.
    void PickItem(QComboBox* box, int index)
    {
        QVERIFY(box->isVisible());
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->currentIndex().row(), index);
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(box->currentIndex(), index);
    }

    void ClickCheckBox(QCheckBox* box)
    {
        QVERIFY(box->isVisible());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    void FocusByTab(QWidget* target)
    {
        // Focus moved by the keyboard, as a user does.
        target->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(target->hasFocus());
    }

    QStringList Errors() const { return m_dir->Reports(zrv::ReportKind::Error); }
    QStringList Messages() const { return m_dir->Reports(zrv::ReportKind::Message); }

  private slots:
    void init()
    {
        m_dir = std::make_unique<zrvtest::Sandbox>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        if (m_form)
            m_form->hide();
        m_form.reset();
        m_dir.reset();
    }

    // ---- start and the settings file --------------------------------------------------------

    void firstStartWithoutFile()
    {
        zrv::SetRandSeed(0xFFFFFFFFu);
        ShowForm();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Zerlivan"));
        QCOMPARE(m_form->size(), QSize(492, 447));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(m_form->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(m_form->PageControl->currentWidget(), m_form->TabSheet1);
        QCOMPARE(m_form->boxAls->currentIndex(), 0);
        QCOMPARE(m_form->btnAls->text(), QStringLiteral("Alıştırma: Nokta"));
        for (const QString& name : kExerciseControls)
            QVERIFY2(Control(name)->isHidden(), qPrintable(name));
        QVERIFY(m_form->boxSaveOptions->isChecked());
        QCOMPARE(m_form->valHiz->Text(), QStringLiteral("360"));
        QCOMPARE(m_form->boxTip->itemText(0), QStringLiteral("1 2 3 4"));
        QCOMPARE(m_form->Model().CurrentExercise(), (0));
        QVERIFY(!QFile::exists(QStringLiteral("zrv.opt")));

        // Shown seeds the random generator from the time of day in milliseconds.
        QVERIFY(zrv::RandSeed() < 86400000u);

        QVERIFY(m_form->close());
        const QByteArray saved = ReadAll(QStringLiteral("zrv.opt"));
        QCOMPARE(saved, Crlf(DefaultLines()));
        QCOMPARE(saved.count("\r\n"), 41);
        QVERIFY(Errors().isEmpty());
    }

    // Whatever the line ends, the file loads the same and is written back with CR LF; lines
    // the program does not use come back byte for byte.
    void fileWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        const Lines custom = DefaultLines({{2, "1"}, {19, "500"}, {25, "0110"}});
        QTest::newRow("CR LF") << Crlf(custom) << Crlf(custom);
        QTest::newRow("LF") << QByteArray(custom.join('\n') + '\n') << Crlf(custom);
        QTest::newRow("CR") << QByteArray(custom.join('\r')) << Crlf(custom);
        Lines longer = custom;
        longer << "fazla satır? \xFD\xF0\xFE"
               << ""
               << "son";
        QTest::newRow("more than 41 lines") << Crlf(longer) << Crlf(longer);
        const Lines turkish = DefaultLines({{0, "Zerlivan ayar dosyas\xFD \xD0\xDC\xDE\xDD\xD6\xC7 \x81\x9E"},
                                            {10, "kullan\xFDlm\xFDyor \x80"},
                                            {21, "\xC7"
                                                 "a\xF0 Sans"},
                                            {2, "1"}});
        QTest::newRow("non-ASCII lines") << Crlf(turkish) << Crlf(turkish);
    }
    void fileWrittenBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), file));
        ShowForm();
        QVERIFY(m_form->close());
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), saved);
        QVERIFY(Errors().isEmpty());
    }

    // What the controls show after the first show, and what the lines hold then.
    void shownValues_data()
    {
        QTest::addColumn<Changes>("file");
        QTest::addColumn<Expected>("controls");
        QTest::addColumn<Changes>("lines");
        QTest::newRow("speed 10") << Changes{{8, "10"}} << Expected{{"valHiz", "40"}} << Changes{{8, "40"}};
        QTest::newRow("speed 5000") << Changes{{8, "5000"}} << Expected{{"valHiz", "2000"}}
                                    << Changes{{8, "2000"}};
        QTest::newRow("speed abc") << Changes{{8, "abc"}} << Expected{{"valHiz", "400"}}
                                   << Changes{{8, "400"}};
        QTest::newRow("Pyramid speed hex")
            << Changes{{2, "1"}, {19, "$C8"}} << Expected{{"valHiz", "200"}} << Changes{{19, "200"}};
        QTest::newRow("Block speed empty")
            << Changes{{2, "2"}, {34, ""}} << Expected{{"valHiz", "400"}} << Changes{{34, "400"}};
        QTest::newRow("letter groups 0110")
            << Changes{{2, "1"}, {25, "0110"}} << Expected{{"harf", "0110"}} << Changes{{25, "0110"}};
        QTest::newRow("short letter groups, no box changes")
            << Changes{{2, "1"}, {25, "1"}} << Expected{{"harf", "1000"}} << Changes{{25, "1"}};
        QTest::newRow("short letter groups, a box changes")
            << Changes{{2, "2"}, {40, "01"}} << Expected{{"harf", "0100"}} << Changes{{40, "0100"}};
        QTest::newRow("save line abc")
            << Changes{{1, "abc"}} << Expected{{"boxSaveOptions", "1"}} << Changes{{1, "1"}};
        QTest::newRow("save line empty")
            << Changes{{1, ""}} << Expected{{"boxSaveOptions", "1"}} << Changes{{1, "1"}};
        QTest::newRow("save line 2") << Changes{{1, "2"}} << Expected{{"boxSaveOptions", "0"}}
                                     << Changes{{1, "2"}};
        QTest::newRow("colour out of range")
            << Changes{{5, "12"}} << Expected{{"boxZmn", "-1"}} << Changes{{5, "12"}};
        QTest::newRow("index -1") << Changes{{2, "2"}, {27, "-1"}} << Expected{{"boxYon", "-1"}}
                                  << Changes{{27, "-1"}};
        QTest::newRow("Pyramid defaults") << Changes{{2, "1"}}
                                          << Expected{{"boxTip", "0"},
                                                      {"boxYon", "1"},
                                                      {"boxStr", "1"},
                                                      {"boxHrf", "4"},
                                                      {"boxNkt", "9"},
                                                      {"valHiz", "360"},
                                                      {"txtFnt", "Courier New (10,162)"},
                                                      {"btnAls", "Alıştırma: Piramit"}}
                                          << Changes{};
        QTest::newRow("Block font as stored")
            << Changes{{2, "2"}, {36, " Arial"}, {37, " 12"}, {38, "$A2"}}
            << Expected{{"txtFnt", " Arial ( 12,$A2)"}, {"btnAls", "Alıştırma: Blok"}} << Changes{};
    }
    void shownValues()
    {
        QFETCH(Changes, file);
        QFETCH(Expected, controls);
        QFETCH(Changes, lines);
        const Lines before = DefaultLines(file);
        ShowWith(before);
        for (auto it = controls.begin(); it != controls.end(); ++it)
            QCOMPARE(StateOf(it.key()), it.value());
        Lines expected = before;
        for (auto it = lines.begin(); it != lines.end(); ++it)
            expected[it.key()] = it.value();
        QCOMPARE(m_form->lstOptions().Lines(), expected);
        QVERIFY(Errors().isEmpty());
    }

    void fontOfBlockReadFromTheLines()
    {
        ShowWith(DefaultLines({{2, "2"}, {36, "Times"}, {37, "$0C"}, {38, "418"}, {39, "1"}}));
        const FontSpec& font = m_form->FontDialog->Font();
        QCOMPARE(font.Name, QStringLiteral("Times"));
        QCOMPARE(font.Size, 12);
        QCOMPARE(font.Charset, 418 & 0xFF);
        QCOMPARE(font.Style, int(fsBold));
    }

    void fontLineNotANumber_data()
    {
        QTest::addColumn<QByteArray>("exercise");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Pyramid size") << QByteArray("1") << 22 << QByteArray("ten");
        QTest::newRow("Pyramid charset") << QByteArray("1") << 23 << QByteArray("Türk");
        QTest::newRow("Block bold") << QByteArray("2") << 39 << QByteArray("yes");
    }
    void fontLineNotANumber()
    {
        QFETCH(QByteArray, exercise);
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        ShowWith(DefaultLines({{2, exercise}, {line, zrv::ToCp1254(QString::fromUtf8(text))}}));
        QCOMPARE(
            Errors(),
            QStringList{QStringLiteral("'%1' is not a valid integer value.").arg(QString::fromUtf8(text))});
        // The window is there and goes on working.
        QVERIFY(m_form->isVisible());
        OpenPage(1);
        PickItem(m_form->boxAls, 0);
        QCOMPARE(m_form->btnAls->text(), QStringLiteral("Alıştırma: Nokta"));
        QCOMPARE(Errors().size(), 1);
    }

    void fontLineNotANumberReportedWhenSwitching()
    {
        ShowWith(DefaultLines({{22, "ten"}}));
        QVERIFY(Errors().isEmpty());
        OpenPage(1);
        PickItem(m_form->boxAls, 1);
        QCOMPARE(Errors(), QStringList{QStringLiteral("'ten' is not a valid integer value.")});
        // The letter groups come after the font lines and are skipped.
        QCOMPARE(m_form->lstOptions().Get(25), QByteArray("1000"));
    }

    // ---- switching exercises and storing changes ---------------------------------------------

    void switchingPyramidBlockPyramid()
    {
        ShowExercises({{2, "1"}, {25, "1100"}, {40, "0011"}});
        QCOMPARE(StateOf("harf"), QStringLiteral("1100"));
        PickItem(m_form->boxAls, 2);
        QCOMPARE(m_form->Model().CurrentExercise(), (2));
        QCOMPARE(StateOf("harf"), QStringLiteral("0011"));
        QCOMPARE(m_form->lstOptions().Get(40), QByteArray("0011"));
        QCOMPARE(m_form->lstOptions().Get(25), QByteArray("1100"));
        QCOMPARE(m_form->lstOptions().Get(2), QByteArray("2"));
        QCOMPARE(m_form->boxYon->count(), 3);
        QCOMPARE(m_form->boxTip->itemText(1), QStringLiteral("Bitişik bloklar"));
        PickItem(m_form->boxAls, 1);
        QCOMPARE(StateOf("harf"), QStringLiteral("1100"));
        QCOMPARE(m_form->lstOptions().Get(25), QByteArray("1100"));
        QCOMPARE(m_form->lstOptions().Get(40), QByteArray("0011"));
        QCOMPARE(m_form->boxYon->itemText(1), QStringLiteral("Çift Yön"));
        PickItem(m_form->boxAls, 0);
        for (const QString& name : kExerciseControls)
            QVERIFY2(Control(name)->isHidden(), qPrintable(name));
        QCOMPARE(m_form->lstOptions().Get(2), QByteArray("0"));
    }

    // Each control stores its value in the line of the exercise selected, and nowhere else.
    void changeStoredInItsLine_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("line");
        const QStringList selectors{"boxTip", "boxYon", "boxStr", "boxHrf", "boxZmn",
                                    "boxAkt", "boxPas", "boxNkt", "boxDkk"};
        const int dotLines[] = {3, -1, -1, -1, 5, 6, 7, -1, 9};
        const int offsets[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
        for (int i = 0; i < selectors.size(); ++i) {
            if (dotLines[i] >= 0)
                QTest::addRow("Dot %s", qPrintable(selectors[i])) << 0 << selectors[i] << dotLines[i];
            QTest::addRow("Pyramid %s", qPrintable(selectors[i])) << 1 << selectors[i] << 11 + offsets[i];
            QTest::addRow("Block %s", qPrintable(selectors[i])) << 2 << selectors[i] << 26 + offsets[i];
        }
        for (const char* box : {"boxharf1", "boxharf2", "boxharf3", "boxharf4"}) {
            QTest::addRow("Pyramid %s", box) << 1 << QString::fromLatin1(box) << 25;
            QTest::addRow("Block %s", box) << 2 << QString::fromLatin1(box) << 40;
        }
        for (int exercise : {0, 1, 2})
            QTest::addRow("save box, exercise %d", exercise)
                << exercise << QStringLiteral("boxSaveOptions") << 1;
    }
    void changeStoredInItsLine()
    {
        QFETCH(int, exercise);
        QFETCH(QString, control);
        QFETCH(int, line);
        ShowExercises({{2, QByteArray::number(exercise)}, {25, "1010"}, {40, "0101"}});
        const Lines before = m_form->lstOptions().Lines();
        QWidget* w = Control(control);
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            // An item other than the one shown, so that the line changes.
            const int item = box->currentIndex() == 1 ? 0 : 1;
            PickItem(box, item);
            QCOMPARE(m_form->lstOptions().Get(line), QByteArray::number(item));
        } else {
            auto* check = qobject_cast<QCheckBox*>(w);
            const bool was = check->isChecked();
            ClickCheckBox(check);
            QCOMPARE(check->isChecked(), !was);
            if (line == 1)
                QCOMPARE(m_form->lstOptions().Get(line), QByteArray(was ? "0" : "1"));
            else
                QCOMPARE(m_form->lstOptions().Get(line), StateOf("harf").toLatin1());
        }
        QCOMPARE(ChangedLines(before, m_form->lstOptions().Lines()), QList<int>{line});
    }

    void boxTipUnderBlockStoredInLine26()
    {
        ShowExercises({});
        PickItem(m_form->boxAls, 2);
        PickItem(m_form->boxTip, 1);
        QCOMPARE(m_form->lstOptions().Get(26), QByteArray("1"));
        QCOMPARE(m_form->lstOptions().Get(11), QByteArray("Courier New"));
        QCOMPARE(m_form->lstOptions().Get(3), QByteArray("0"));
        QVERIFY(m_form->close());
        QCOMPARE(SettingsList::Parse(ReadAll(QStringLiteral("zrv.opt"))).at(26), QByteArray("1"));
    }

    // ---- the speed box ------------------------------------------------------------------------

    void speedBox_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("keys"); // '^' up arrow, 'v' down arrow, '<' backspace
        QTest::addColumn<QString>("textAfterKeys");
        QTest::addColumn<QByteArray>("lineAfterKeys");
        QTest::addColumn<QString>("textAfterLeaving");
        QTest::addColumn<QByteArray>("lineAfterLeaving");
        QTest::newRow("typing 5") << QByteArray("360") << "5"
                                  << "5" << QByteArray("5") << "40" << QByteArray("40");
        QTest::newRow("typing 3000") << QByteArray("360") << "3000"
                                     << "3000" << QByteArray("3000") << "2000" << QByteArray("2000");
        QTest::newRow("typing 750") << QByteArray("360") << "750"
                                    << "750" << QByteArray("750") << "750" << QByteArray("750");
        QTest::newRow("letters refused") << QByteArray("360") << "1a2b"
                                         << "12" << QByteArray("12") << "40" << QByteArray("40");
        QTest::newRow("signs and decimal point accepted")
            << QByteArray("360") << "+-1."
            << "+-1." << QByteArray("40") << "+-1." << QByteArray("40");
        QTest::newRow("empty") << QByteArray("360") << "<"
                               << "" << QByteArray("40") << "" << QByteArray("40");
        QTest::newRow("up") << QByteArray("360") << "^"
                            << "361" << QByteArray("361") << "361" << QByteArray("361");
        QTest::newRow("down") << QByteArray("360") << "vv"
                              << "358" << QByteArray("358") << "358" << QByteArray("358");
        QTest::newRow("up at the top") << QByteArray("2000") << "^"
                                       << "2000" << QByteArray("2000") << "2000" << QByteArray("2000");
        QTest::newRow("down at the bottom") << QByteArray("40") << "v"
                                            << "40" << QByteArray("40") << "40" << QByteArray("40");
        QTest::newRow("up from a typed 5") << QByteArray("360") << "5^"
                                           << "40" << QByteArray("40") << "40" << QByteArray("40");
    }
    void speedBox()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, keys);
        QFETCH(QString, textAfterKeys);
        QFETCH(QByteArray, lineAfterKeys);
        QFETCH(QString, textAfterLeaving);
        QFETCH(QByteArray, lineAfterLeaving);
        ShowExercises({{8, stored}});
        SpinEdit* spin = m_form->valHiz;
        FocusByTab(spin);
        // The text is selected: the first character typed replaces it.
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : keys) {
            if (c == QLatin1Char('^'))
                QTest::keyClick(spin, Qt::Key_Up);
            else if (c == QLatin1Char('v'))
                QTest::keyClick(spin, Qt::Key_Down);
            else if (c == QLatin1Char('<'))
                QTest::keyClick(spin, Qt::Key_Backspace);
            else
                QTest::keyClicks(spin, QString(c));
        }
        QCOMPARE(spin->Text(), textAfterKeys);
        QCOMPARE(m_form->lstOptions().Get(8), lineAfterKeys);
        FocusByTab(m_form->boxZmn);
        QCOMPARE(spin->Text(), textAfterLeaving);
        QCOMPARE(m_form->lstOptions().Get(8), lineAfterLeaving);
    }

    void speedBoxSpinButtons()
    {
        ShowExercises({{2, "2"}, {34, "1999"}});
        SpinEdit* spin = m_form->valHiz;
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = spin->hasFrame();
        const QRect up =
            spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin);
        const QRect down =
            spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, spin);
        QTest::mouseClick(spin, Qt::LeftButton, {}, up.center());
        QCOMPARE(spin->Text(), QStringLiteral("2000"));
        QTest::mouseClick(spin, Qt::LeftButton, {}, up.center());
        QCOMPARE(spin->Text(), QStringLiteral("2000"));
        QTest::mouseClick(spin, Qt::LeftButton, {}, down.center());
        QCOMPARE(spin->Text(), QStringLiteral("1999"));
        QCOMPARE(m_form->lstOptions().Get(34), QByteArray("1999"));
        QCOMPARE(spin->Value(), 1999);
    }

    // ---- the font -----------------------------------------------------------------------------

    void fontChange_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<FontSpec>("chosen");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<Changes>("lines");
        QTest::addColumn<QString>("shown");
        FontSpec bold{QStringLiteral("DejaVu Sans"), 14, 238, fsBold | fsItalic, 0};
        FontSpec plain{QStringLiteral("Çağ Mono"), 9, 162, fsUnderline | fsStrikeOut, 0};
        QTest::newRow("Pyramid bold")
            << 1 << bold << true << Changes{{21, "DejaVu Sans"}, {22, "14"}, {23, "238"}, {24, "1"}}
            << "DejaVu Sans (14,238)";
        QTest::newRow("Block, Turkish name") << 2 << plain << true
                                             << Changes{{36, "\xC7"
                                                             "a\xF0 Mono"},
                                                        {37, "9"}}
                                             << QStringLiteral("Çağ Mono (9,162)");
        QTest::newRow("cancelled") << 1 << bold << false << Changes{} << "Courier New (10,162)";
    }
    void fontChange()
    {
        QFETCH(int, exercise);
        QFETCH(FontSpec, chosen);
        QFETCH(bool, accepted);
        QFETCH(Changes, lines);
        QFETCH(QString, shown);
        ShowExercises({{2, QByteArray::number(exercise)}});
        FontSpec offered;
        m_form->FontDialog->SetExecuteHook([&](FontSpec& font) {
            offered = font;
            font = chosen;
            return accepted;
        });
        const Lines before = m_form->lstOptions().Lines();
        QTest::mouseClick(m_form->btnFnt, Qt::LeftButton);
        QCOMPARE(offered.Name, QStringLiteral("Courier New"));
        QCOMPARE(offered.Size, 10);
        QCOMPARE(offered.Charset, 162);
        QCOMPARE(m_form->txtFnt->text(), shown);
        Lines expected = before;
        for (auto it = lines.begin(); it != lines.end(); ++it)
            expected[it.key()] = it.value();
        QCOMPARE(m_form->lstOptions().Lines(), expected);
        if (accepted)
            QCOMPARE(m_form->FontDialog->Font(), chosen);
        QVERIFY(!m_form->btnFnt->hasFocus());
    }

    // The real dialog: the character set is chosen beside Qt's font dialog; a face the user
    // leaves as it is keeps its name even where another face stands in for it.
    void realFontDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("cancelled") << false;
    }
    void realFontDialog()
    {
        QFETCH(bool, accept);
        ShowExercises({{2, "2"}});
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QVERIFY(dialog->findChild<QFontDialog*>());
            auto* charset = dialog->findChild<QSpinBox*>(QString(), Qt::FindDirectChildrenOnly);
            QVERIFY(charset);
            QCOMPARE(charset->value(), 162);
            charset->setValue(238);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QVERIFY(buttons);
            seen = true;
            QTest::mouseClick(buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        });
        QTest::mouseClick(m_form->btnFnt, Qt::LeftButton);
        QVERIFY(seen);
        const FontSpec& font = m_form->FontDialog->Font();
        QCOMPARE(font.Name, QStringLiteral("Courier New"));
        QCOMPARE(font.Size, 10);
        QCOMPARE(font.Charset, accept ? 238 : 162);
        QCOMPARE(m_form->lstOptions().Get(38), QByteArray(accept ? "238" : "162"));
        QCOMPARE(m_form->lstOptions().Get(36), QByteArray("Courier New"));
        QCOMPARE(m_form->txtFnt->text(), QStringLiteral("Courier New (10,%1)").arg(accept ? 238 : 162));
    }

    // Bold from the dialog and back to plain: line 24 follows, style flags other than bold stay
    // in the dialog only until the section is loaded again.
    void fontStyleNotStoredBeyondBold()
    {
        ShowExercises({{2, "1"}});
        m_form->FontDialog->SetExecuteHook([](FontSpec& font) {
            font.Style = fsItalic | fsUnderline;
            return true;
        });
        QTest::mouseClick(m_form->btnFnt, Qt::LeftButton);
        QCOMPARE(m_form->lstOptions().Get(24), QByteArray("0"));
        QCOMPARE(m_form->FontDialog->Font().Style, int(fsItalic | fsUnderline));
        PickItem(m_form->boxAls, 2);
        PickItem(m_form->boxAls, 1);
        QCOMPARE(m_form->FontDialog->Font().Style, 0);
    }

    // ---- the start button -------------------------------------------------------------------

    void letterGroupWarning_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<bool>("warned");
        QTest::newRow("Pyramid") << 1 << true;
        QTest::newRow("Block") << 2 << true;
        QTest::newRow("Dot") << 0 << false;
    }
    void letterGroupWarning()
    {
        QFETCH(int, exercise);
        QFETCH(bool, warned);
        ShowExercises({{2, QByteArray::number(exercise)}, {25, "0000"}, {40, "0000"}});
        if (exercise != 0) {
            // The user unticks the last ticked box.
            ClickCheckBox(m_form->boxharf2);
            ClickCheckBox(m_form->boxharf2);
        } else {
            m_form->boxharf1->setChecked(false);
        }
        QCOMPARE(StateOf("harf"), QStringLiteral("0000"));
        QTest::mouseClick(m_form->btnAls, Qt::LeftButton);
        QCOMPARE(Messages(), warned ? QStringList{QStringLiteral("Harf gruplarından en az birini seçiniz.")}
                                    : QStringList{});
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->isEnabled());
    }

    // The start button hands the exercise number over and shows the exercise window modally;
    // the settings window is greyed until it closes.  Escape ends it, also when the window
    // system has given the keyboard to the settings window beneath (a window switcher can).
    void startButtonRunsTheExercise_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("exercise");
        QTest::addColumn<bool>("keysToSettings");
        QTest::newRow("Dot") << QByteArray("0") << 0 << false;
        QTest::newRow("Pyramid") << QByteArray("1") << 1 << false;
        QTest::newRow("Block") << QByteArray("2") << 2 << false;
        QTest::newRow("none selected") << QByteArray("5") << 0 << false;
        QTest::newRow("keyboard on the settings window") << QByteArray("1") << 1 << true;
    }
    void startButtonRunsTheExercise()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, exercise);
        QFETCH(bool, keysToSettings);
        ShowWith(DefaultLines({{2, stored}}));
        MockClock clock;
        FakeActivity activity(true);
        ExerciseWindow::Environment environment;
        environment.offscreenScale = 1;
        environment.clock = &clock;
        environment.waker = std::make_unique<ManualWaker>();
        environment.activity = &activity;
        ExerciseWindow screen(std::move(environment));
        ExerciseSettings unset;
        unset.exercise = 9;
        screen.SetSettings(unset);
        m_form->SetScreenForm(&screen);
        OpenPage(1);

        bool ran = false;
        bool settingsActive = false;
        bool ended = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            QVERIFY(screen.isVisible());
            QCOMPARE(screen.Settings().exercise, exercise);
            QVERIFY(!m_form->PageControl->isEnabled());
            QVERIFY(!m_form->btnClose->isEnabled());
            QWidget* keysTo = &screen;
            if (keysToSettings) {
                m_form->activateWindow();
                keysTo = m_form.get();
                settingsActive = QTest::qWaitFor([&] { return QApplication::activeWindow() == keysTo; });
            }
            QTest::keyClick(keysTo->windowHandle(), Qt::Key_Escape);
            ended = QTest::qWaitFor([&] { return !screen.isVisible(); }, 1000);
            screen.close(); // the start button returns in any case
        });
        QTest::mouseClick(m_form->btnAls, Qt::LeftButton);
        QVERIFY(ran);
        QCOMPARE(settingsActive, keysToSettings);
        QVERIFY(ended);
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->PageControl->isEnabled());
        QVERIFY(m_form->btnClose->isEnabled());
        QVERIFY(Messages().isEmpty());
        m_form->SetScreenForm(nullptr);
    }

    void storedExerciseOutOfRange()
    {
        ShowExercises({{2, "5"}});
        QCOMPARE(m_form->boxAls->currentIndex(), -1);
        for (const QString& name : kExerciseControls)
            QVERIFY2(!Control(name)->isHidden(), qPrintable(name));
        QCOMPARE(m_form->btnAls->text(), QStringLiteral("Alıştırma:"));
        QCOMPARE(m_form->boxTip->itemText(0), QStringLiteral("Yatay - Yukarıdan Aşağıya"));
        QCOMPARE(m_form->boxYon->itemText(0), QStringLiteral("1 Satır"));
        QCOMPARE(m_form->lstOptions().Get(2), QByteArray("-1"));
        QCOMPARE(m_form->Model().CurrentExercise(), (0));
        // No exercise: a change stores nothing but the save box.
        const Lines before = m_form->lstOptions().Lines();
        PickItem(m_form->boxZmn, 4);
        ClickCheckBox(m_form->boxharf3);
        QCOMPARE(m_form->lstOptions().Lines(), before);
        // The start button starts Dot without the letter check.
        m_form->boxharf1->setChecked(false);
        m_form->boxharf3->setChecked(false);
        QTest::mouseClick(m_form->btnAls, Qt::LeftButton);
        QVERIFY(Messages().isEmpty());
        // Picking an exercise sets the window up normally.
        PickItem(m_form->boxAls, 1);
        QCOMPARE(m_form->btnAls->text(), QStringLiteral("Alıştırma: Piramit"));
        QCOMPARE(m_form->lstOptions().Get(2), QByteArray("1"));
        QVERIFY(Errors().isEmpty());
        QVERIFY(m_form->close());
        QCOMPARE(SettingsList::Parse(ReadAll(QStringLiteral("zrv.opt"))).at(2), QByteArray("1"));
    }

    // ---- closing ------------------------------------------------------------------------------

    void escapeClosesAndSaves_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("save");
        for (const char* name :
             {"boxTip", "boxAls", "valHiz", "boxharf1", "boxSaveOptions", "btnAls", "Memo2"})
            QTest::addRow("%s", name) << QString::fromLatin1(name) << true;
        QTest::newRow("save box unticked") << QStringLiteral("boxZmn") << false;
    }
    void escapeClosesAndSaves()
    {
        QFETCH(QString, focus);
        QFETCH(bool, save);
        ShowWith(DefaultLines({{1, save ? "1" : "0"}, {2, "1"}}));
        QVERIFY(QFile::remove(QStringLiteral("zrv.opt")));
        OpenPage(1);
        PickItem(m_form->boxDkk, 3);
        FocusByTab(Control(focus));
        QTest::keyClick(Control(focus), Qt::Key_Escape);
        QTRY_VERIFY(!m_form->isVisible());
        QCOMPARE(QFile::exists(QStringLiteral("zrv.opt")), save);
        if (save)
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), Crlf(DefaultLines({{2, "1"}, {20, "3"}})));
    }

    void exitButtonClosesAndSaves()
    {
        ShowWith(DefaultLines({{8, "999"}}));
        QTest::mouseClick(m_form->btnClose, Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), Crlf(DefaultLines({{8, "999"}})));
    }

    // The file cannot be written: the error is shown, the window stays open, the old file is
    // kept as it was; unticking the save box lets the window close.
    void saveFailureKeepsWindowOpen_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("how");
        for (const char* place : {"directory", "full disk", "read-only"}) {
            for (const char* how : {"close box", "escape", "exit button"})
                QTest::addRow("%s, %s", place, how) << QString::fromLatin1(place) << QString::fromLatin1(how);
        }
    }
    void saveFailureKeepsWindowOpen()
    {
        QFETCH(QString, place);
        QFETCH(QString, how);
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
        ShowForm();
        if (place == QLatin1String("full disk"))
            QVERIFY(zrvtest::FillUp(QDir::currentPath()));
        else if (place == QLatin1String("read-only"))
            QVERIFY(fs->MakeReadOnly());
        OpenPage(1);
        PickItem(m_form->boxZmn, 4);

        if (how == QLatin1String("close box")) {
            QVERIFY(!m_form->close());
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(m_form->boxTip, Qt::Key_Escape);
        } else {
            QTest::mouseClick(m_form->btnClose, Qt::LeftButton);
        }
        // The sentence, and the system's reason on a line of its own.
        const int reason = place == QLatin1String("directory")   ? EISDIR
                           : place == QLatin1String("full disk") ? ENOSPC
                                                                 : EROFS;
        QCOMPARE(Errors(), QStringList{QStringLiteral("Cannot create file zrv.opt.\n%1.")
                                           .arg(QString::fromLocal8Bit(std::strerror(reason)))});
        QVERIFY(m_form->isVisible());
        if (place == QLatin1String("directory"))
            QVERIFY(QFileInfo(QStringLiteral("zrv.opt")).isDir());
        else
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), old);
        const QStringList files =
            QDir::current().entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        QVERIFY2(files.size() <= 2, qPrintable(files.join(QLatin1Char(' ')))); // zrv.opt and the filler only

        ClickCheckBox(m_form->boxSaveOptions);
        QVERIFY(m_form->close());
        QCOMPARE(Errors().size(), 1);
        if (place != QLatin1String("directory"))
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), old);
        m_form.reset();
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }

    // Every control of the exercises page that takes the keyboard is named for screen readers:
    // labelled by the label just left of it on its row ("Hız" for the speed box), or by its own
    // caption.
    void controlsNamedByTheirLabels()
    {
        ShowExercises({{2, "1"}}); // Pyramid: every control shown
        const QList<QLabel*> labels = m_form->TabSheet3->findChildren<QLabel*>();
        int named = 0;
        for (QWidget* control : m_form->TabSheet3->findChildren<QWidget*>()) {
            if (!control->isVisible() || control->focusPolicy() == Qt::NoFocus ||
                control->parentWidget() != m_form->TabSheet3 || qobject_cast<QLabel*>(control) ||
                qobject_cast<QPlainTextEdit*>(control))
                continue;
            QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
            QVERIFY(access);
            const QString name = access->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), control->metaObject()->className());
            QLabel* rowLabel = nullptr;
            for (QLabel* label : labels) {
                const int middle = label->geometry().center().y();
                const int gap = control->x() - label->geometry().right();
                if (gap > 0 && gap < 100 && middle >= control->y() && middle <= control->geometry().bottom())
                    rowLabel = label;
            }
            if (!rowLabel)
                continue; // the check boxes and the start button carry their own text
            QCOMPARE(rowLabel->buddy(), control);
            // What a screen reader follows to the label ("labelled by").
            bool labelled = false;
            for (const auto& [other, relation] : access->relations(QAccessible::Label))
                labelled = labelled || other->object() == rowLabel;
            QVERIFY2(labelled, qPrintable(rowLabel->text()));
            // The name itself, where it is not the selector's current item (on Linux a
            // selector's name is its value, and the label comes through the relation).
            if (!qobject_cast<QComboBox*>(control))
                QCOMPARE(name + QLatin1Char(':'), rowLabel->text());
            ++named;
        }
        QCOMPARE(named, 12);
    }

    // ---- links --------------------------------------------------------------------------------

    void linksOpenTheirAddresses()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        ShowForm();
        const QList<LinkLabel*> books{m_form->kitap1, m_form->kitap2, m_form->kitap3, m_form->kitap4,
                                      m_form->kitap5};
        for (LinkLabel* link : books) {
            QVERIFY(!link->text().isEmpty());
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(link->font().underline());
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, link->height() / 2));
        }
        QTest::mouseClick(m_form->link1, Qt::LeftButton, {}, QPoint(m_form->link1->width() - 3, 8));
        // Opened from the event loop, after the click has returned.
        QTRY_COMPARE(catcher.urls.size(), 6);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

        static const QRegularExpression book(QStringLiteral(
            "^(https?://[a-z0-9.-]+\\.example)/tanim\\.asp\\?sid=([A-Z0-9]{20})&referer=([0-9]+)$"));
        QSet<QString> hosts, codes, referers;
        for (int i = 0; i < 5; ++i) {
            const QString address = catcher.urls[i].toString();
            QVERIFY2(address.size() <= 79, qPrintable(address));
            const auto m = book.match(address);
            QVERIFY2(m.hasMatch(), qPrintable(address));
            QCOMPARE(catcher.urls[i], m_form->LinkAddress(books[i]));
            hosts << m.captured(1);
            codes << m.captured(2);
            referers << m.captured(3);
        }
        QCOMPARE(hosts.size(), 1);
        QCOMPARE(codes.size(), 5);
        QCOMPARE(referers.size(), 1);
        QVERIFY(catcher.urls[5].host().endsWith(QLatin1String(".example")));
        QVERIFY(catcher.urls[5].toString().size() <= 79);
    }

    // ---- keyboard order -----------------------------------------------------------------------

    void tabOrderOfTheExercisePage()
    {
        ShowExercises({{2, "1"}});
        FocusByTab(m_form->boxSaveOptions);
        QStringList order{"boxSaveOptions"};
        const QStringList expected{"boxSaveOptions", "btnAls",   "valHiz",   "boxZmn",   "boxAkt",   "boxPas",
                                   "boxTip",         "boxStr",   "boxNkt",   "boxYon",   "boxHrf",   "boxAls",
                                   "boxDkk",         "boxharf1", "boxharf2", "boxharf3", "boxharf4", "Memo2"};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QString name = QStringLiteral("<other>");
            for (const QString& candidate : expected) {
                if (Control(candidate) == QApplication::focusWidget() ||
                    (Control(candidate) && Control(candidate)->isAncestorOf(QApplication::focusWidget())))
                    name = candidate;
            }
            order << name;
        }
        QCOMPARE(order, expected);
    }
};

QTEST_MAIN(TestMainForm)
#include "test_settings_window.moc"
