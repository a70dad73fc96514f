// The settings window driven through its real widgets: loading, storing every change in the
// right line, the speed box, switching exercises, the font, closing and saving, links.
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
            return spin->text();
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

        // Shown seeds the random generator from the time of day in milliseconds.
        QVERIFY(zrv::RandSeed() < 86400000u);

        QVERIFY(m_form->close());
        QCOMPARE(ReadAll(QStringLiteral("zrv.opt")), Crlf(DefaultLines()));
        QVERIFY(Errors().isEmpty());
    }

    // ---- switching exercises and storing changes ---------------------------------------------

    // Each control hands its change to the model: it lands in the control's line of the Block
    // section (which line belongs to which control is the model's rule, tested there).
    void changeStoredInItsLine_data()
    {
        QTest::addColumn<int>("exercise");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("line");
        const QStringList selectors{"boxTip", "boxYon", "boxStr", "boxHrf", "boxZmn",
                                    "boxAkt", "boxPas", "boxNkt", "boxDkk"};
        const int offsets[] = {0, 1, 2, 3, 4, 5, 6, 7, 9};
        for (int i = 0; i < selectors.size(); ++i) {
            QTest::addRow("Block %s", qPrintable(selectors[i])) << 2 << selectors[i] << 26 + offsets[i];
        }
        for (const char* box : {"boxharf1", "boxharf2", "boxharf3", "boxharf4"})
            QTest::addRow("Block %s", box) << 2 << QString::fromLatin1(box) << 40;
        QTest::newRow("save box") << 2 << QStringLiteral("boxSaveOptions") << 1;
    }
    void changeStoredInItsLine()
    {
        QFETCH(int, exercise);
        QFETCH(QString, control);
        QFETCH(int, line);
        ShowExercises({{2, QByteArray::number(exercise)}, {25, "1010"}, {40, "0101"}});
        const Lines before = m_form->lstOptions().lines();
        QWidget* w = Control(control);
        if (auto* box = qobject_cast<QComboBox*>(w)) {
            // An item other than the one shown, so that the line changes.
            const int item = box->currentIndex() == 1 ? 0 : 1;
            PickItem(box, item);
            QCOMPARE(m_form->lstOptions().get(line), QByteArray::number(item));
        } else {
            auto* check = qobject_cast<QCheckBox*>(w);
            const bool was = check->isChecked();
            ClickCheckBox(check);
            QCOMPARE(check->isChecked(), !was);
            if (line == 1)
                QCOMPARE(m_form->lstOptions().get(line), QByteArray(was ? "0" : "1"));
            else
                QCOMPARE(m_form->lstOptions().get(line), StateOf("harf").toLatin1());
        }
        QCOMPARE(ChangedLines(before, m_form->lstOptions().lines()), QList<int>{line});
    }

    // After the first show and after a switch, every widget shows the model's state; an error
    // of the show step is reported and the window goes on.
    void windowShowsItsModel_data()
    {
        QTest::addColumn<Changes>("file");
        QTest::addColumn<int>("switchTo"); // -1: no switch
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("Dot") << Changes{} << -1 << QStringList{};
        QTest::newRow("Pyramid") << Changes{{2, "1"}, {25, "0110"}} << -1 << QStringList{};
        QTest::newRow("Block, font") << Changes{{2, "2"}, {36, "Times"}, {37, "12"}, {39, "1"}} << -1
                                     << QStringList{};
        QTest::newRow("no exercise") << Changes{{2, "5"}} << -1 << QStringList{};
        QTest::newRow("Pyramid to Block") << Changes{{2, "1"}} << 2 << QStringList{};
        QTest::newRow("Block to Dot") << Changes{{2, "2"}} << 0 << QStringList{};
        QTest::newRow("font line not a number")
            << Changes{{2, "1"}, {22, "ten"}} << 0
            << QStringList{QStringLiteral("'ten' is not a valid integer value.")};
    }
    void windowShowsItsModel()
    {
        QFETCH(Changes, file);
        QFETCH(int, switchTo);
        QFETCH(QStringList, errors);
        ShowExercises(file);
        if (switchTo >= 0)
            PickItem(m_form->boxAls, switchTo);
        QCOMPARE(Errors(), errors);
        const SettingsModel& m = m_form->model();
        using S = SettingsModel;
        const std::pair<const char*, S::Selector> selectors[] = {
            {"boxAls", S::Exercise}, {"boxTip", S::Type},    {"boxYon", S::Direction},
            {"boxStr", S::Lines},    {"boxHrf", S::Letters}, {"boxZmn", S::Background},
            {"boxAkt", S::Active},   {"boxPas", S::Passive}, {"boxNkt", S::Dot},
            {"boxDkk", S::Duration}};
        for (const auto& [name, selector] : selectors) {
            auto* box = qobject_cast<QComboBox*>(Control(QString::fromLatin1(name)));
            QStringList items;
            for (int i = 0; i < box->count(); ++i)
                items << box->itemText(i);
            QCOMPARE(items, m.items(selector));
            QCOMPARE(box->currentIndex(), m.index(selector));
        }
        QCOMPARE(StateOf("valHiz"), m.intervalText());
        QCOMPARE(StateOf("txtFnt"), m.fontText());
        QCOMPARE(m_form->FontDialog->font(), m.font());
        QCOMPARE(StateOf("harf"), QStringLiteral("%1%2%3%4")
                                      .arg(int(m.letterGroup(0)))
                                      .arg(int(m.letterGroup(1)))
                                      .arg(int(m.letterGroup(2)))
                                      .arg(int(m.letterGroup(3))));
        QCOMPARE(StateOf("boxSaveOptions"), QString::number(int(m.saveOptions())));
        QCOMPARE(StateOf("btnAls"), m.startCaption());
        for (const QString& name : kExerciseControls)
            QVERIFY2(Control(name)->isHidden() != m.textControlsVisible(), qPrintable(name));
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
        QCOMPARE(spin->text(), textAfterKeys);
        QCOMPARE(m_form->lstOptions().get(8), lineAfterKeys);
        FocusByTab(m_form->boxZmn);
        QCOMPARE(spin->text(), textAfterLeaving);
        QCOMPARE(m_form->lstOptions().get(8), lineAfterLeaving);
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
        QCOMPARE(spin->text(), QStringLiteral("2000"));
        QTest::mouseClick(spin, Qt::LeftButton, {}, up.center());
        QCOMPARE(spin->text(), QStringLiteral("2000"));
        QTest::mouseClick(spin, Qt::LeftButton, {}, down.center());
        QCOMPARE(spin->text(), QStringLiteral("1999"));
        QCOMPARE(m_form->lstOptions().get(34), QByteArray("1999"));
        QCOMPARE(spin->value(), 1999);
    }

    // ---- the font -----------------------------------------------------------------------------

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
        const FontSpec& font = m_form->FontDialog->font();
        QCOMPARE(font.Name, QStringLiteral("Courier New"));
        QCOMPARE(font.Size, 10);
        QCOMPARE(font.Charset, accept ? 238 : 162);
        QCOMPARE(m_form->lstOptions().get(38), QByteArray(accept ? "238" : "162"));
        QCOMPARE(m_form->lstOptions().get(36), QByteArray("Courier New"));
        QCOMPARE(m_form->txtFnt->text(), QStringLiteral("Courier New (10,%1)").arg(accept ? 238 : 162));
        QVERIFY(!m_form->btnFnt->hasFocus());
    }

    // ---- the start button -------------------------------------------------------------------

    // Without a letter group the start button only says so (when a run needs one is the
    // model's rule).
    void letterGroupWarning()
    {
        ShowExercises({{2, "2"}, {40, "0000"}});
        // The user unticks the last ticked box.
        ClickCheckBox(m_form->boxharf2);
        ClickCheckBox(m_form->boxharf2);
        QCOMPARE(StateOf("harf"), QStringLiteral("0000"));
        QTest::mouseClick(m_form->btnAls, Qt::LeftButton);
        QCOMPARE(Messages(), QStringList{QStringLiteral("Harf gruplarından en az birini seçiniz.")});
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
        m_form->setScreenForm(&screen);
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
        m_form->setScreenForm(nullptr);
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

    // The file cannot be written: the error is shown and the window stays open; unticking the
    // save box lets it close.
    void saveFailureKeepsWindowOpen_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"close box", "escape", "exit button"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void saveFailureKeepsWindowOpen()
    {
        QFETCH(QString, how);
        QVERIFY(QDir().mkdir(QStringLiteral("zrv.opt")));
        ShowForm();
        OpenPage(1);
        PickItem(m_form->boxZmn, 4);
        if (how == QLatin1String("close box"))
            QVERIFY(!m_form->close());
        else if (how == QLatin1String("escape"))
            QTest::keyClick(m_form->boxTip, Qt::Key_Escape);
        else
            QTest::mouseClick(m_form->btnClose, Qt::LeftButton);
        QCOMPARE(Errors(), QStringList{QStringLiteral("Cannot create file zrv.opt.\n%1.")
                                           .arg(QString::fromLocal8Bit(std::strerror(EISDIR)))});
        QVERIFY(m_form->isVisible());
        ClickCheckBox(m_form->boxSaveOptions);
        QVERIFY(m_form->close());
        QCOMPARE(Errors().size(), 1);
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
            QCOMPARE(catcher.urls[i], m_form->linkAddress(books[i]));
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
