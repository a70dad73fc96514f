// The settings window through its real widgets: that they show the model and hand it every
// change, the speed box's keys, the font dialog, the start button, closing with the keyboard or
// the exit button and a save that fails, the names screen readers hear, the links, the keyboard
// order, the Alt keys of each page in each language.  What the model makes of a change is tested on the
// model.
#include "core/Random.h"
#include "core/Report.h"
#include "core/SettingsList.h"
#include "exercises/ExerciseWindow.h"
#include "gui/LinkLabel.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "gui/Translations.h"
#include "journal/SqliteJournal.h"
#include "support/Controls.h"
#include "support/Files.h"
#include "support/Sandbox.h"
#include "support/SettingsLines.h"
#include "support/WindowShowsModel.h"
#include "timer/ManualTime.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

using Changes = zrvtest::LineChanges;
using zrvtest::DefaultLines;

// Receives the addresses that the program asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestSettingsWindow : public QObject
{
    Q_OBJECT

  private:
    std::unique_ptr<zrvtest::Sandbox> m_dir;
    std::unique_ptr<SettingsWindow> m_form;
    SettingsWindow::ExercisesPage m_exercisesPage = SettingsWindow::ExercisesPage::Now;

    template <class W = QWidget> W* control(const QString& name) const
    {
        return zrvtest::Control<W>(*m_form, qPrintable(name));
    }

    void ShowForm()
    {
        m_form = std::make_unique<SettingsWindow>(nullptr, m_exercisesPage);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }

    // The window on the defaults with `changes`.
    void ShowWith(const Changes& changes)
    {
        QVERIFY(WriteAll(QStringLiteral("zrv.opt"), SettingsList::serialize(DefaultLines(changes))));
        ShowForm();
    }

    void OpenPage(int index)
    {
        auto* pages = control<QTabWidget>("PageControl");
        QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(index).center());
        QCOMPARE(pages->currentIndex(), index);
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
        m_exercisesPage = SettingsWindow::ExercisesPage::Now;
    }

    void cleanup()
    {
        if (m_form)
            m_form->hide();
        m_form.reset();
        m_dir.reset();
    }

    // ---- the widgets and the model ----------------------------------------------------------

    // The first show: a window of fixed size on its description page, the random generator
    // seeded from the time of day in milliseconds.  Then, after the show and after a user's
    // change of any control, every widget shows the model's state: the change reached the
    // model as that control's.  An error of the show step is reported and the window goes on.
    void showsItsModel_data()
    {
        QTest::addColumn<Changes>("file");
        QTest::addColumn<QString>("changed"); // the control the user changes; empty: none
        QTest::addColumn<int>("item");        // the selector's item picked; -1 another one
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<bool>("later"); // the exercises page built when first shown
        QTest::newRow("Dot") << Changes{} << QString() << -1 << QStringList{} << false;
        QTest::newRow("Pyramid") << Changes{{2, "1"}, {25, "0110"}} << QString() << -1 << QStringList{}
                                 << false;
        QTest::newRow("Block, font") << Changes{{2, "2"}, {36, "Times"}, {37, "12"}, {39, "1"}} << QString()
                                     << -1 << QStringList{} << false;
        QTest::newRow("no exercise") << Changes{{2, "5"}} << QString() << -1 << QStringList{} << false;
        QTest::newRow("Pyramid to Block") << Changes{{2, "1"}} << "boxAls" << 2 << QStringList{} << false;
        QTest::newRow("Block to Dot") << Changes{{2, "2"}} << "boxAls" << 0 << QStringList{} << false;
        QTest::newRow("font line not a number")
            << Changes{{2, "1"}, {22, "ten"}} << "boxAls" << 0
            << QStringList{QStringLiteral("'ten' is not a valid integer value.")} << false;
        for (const char* name :
             {"boxTip", "boxYon", "boxStr", "boxHrf", "boxZmn", "boxAkt", "boxPas", "boxNkt", "boxDkk",
              "boxharf1", "boxharf2", "boxharf3", "boxharf4", "boxSaveOptions"})
            QTest::addRow("Block %s", name) << Changes{{2, "2"}, {40, "0101"}} << QString::fromLatin1(name)
                                            << -1 << QStringList{} << false;
    }
    void showsItsModel()
    {
        QFETCH(Changes, file);
        QFETCH(QString, changed);
        QFETCH(int, item);
        QFETCH(QStringList, errors);
        QFETCH(bool, later);
        if (later)
            m_exercisesPage = SettingsWindow::ExercisesPage::Later;
        zrv::setRandSeed(0xFFFFFFFFu);
        ShowWith(file);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Zerlivan"));
        // Its top left corner on the screen, also a screen smaller than the window (a second
        // ctest entry runs on a screen of 320 x 200).
        const QRect area = m_form->screen()->availableGeometry();
        QVERIFY2(area.contains(m_form->frameGeometry().topLeft()),
                 qPrintable(QStringLiteral("at %1, %2").arg(m_form->x()).arg(m_form->y())));
        QCOMPARE(m_form->minimumSize(), QSize(492, 447));
        QCOMPARE(m_form->maximumSize(), QSize(492, 447));
        QCOMPARE(m_form->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint),
                 Qt::WindowMinimizeButtonHint);
        QCOMPARE(control<QTabWidget>("PageControl")->currentWidget(), control("pageDescription"));
        QVERIFY(zrv::randSeed() < 86400000u);
        OpenPage(1);
        if (auto* box = qobject_cast<QComboBox*>(changed.isEmpty() ? nullptr : control(changed)))
            PickItem(box, item >= 0 ? item : box->currentIndex() == 1 ? 0 : 1);
        else if (!changed.isEmpty()) {
            auto* check = control<QCheckBox>(changed);
            const bool was = check->isChecked();
            ClickCheckBox(check);
            QCOMPARE(check->isChecked(), !was);
        }
        QCOMPARE(Errors(), errors);
        const QString unlike = zrvtest::UnlikeModel(*m_form);
        QVERIFY2(unlike.isEmpty(), qPrintable(unlike));
    }

    // ---- the speed box ------------------------------------------------------------------------

    // Keys typed and arrows pressed reach the model at once; leaving the box puts a number
    // outside the range back into it.
    void speedBox_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("keys"); // '^' up arrow, 'v' down arrow
        QTest::addColumn<QString>("textAfterKeys");
        QTest::addColumn<QByteArray>("lineAfterKeys");
        QTest::addColumn<QString>("textAfterLeaving");
        QTest::addColumn<QByteArray>("lineAfterLeaving");
        QTest::newRow("typing 5") << QByteArray("360") << "5"
                                  << "5" << QByteArray("5") << "40" << QByteArray("40");
        QTest::newRow("typing 3000") << QByteArray("360") << "3000"
                                     << "3000" << QByteArray("3000") << "2000" << QByteArray("2000");
        QTest::newRow("letters refused") << QByteArray("360") << "1a2b"
                                         << "12" << QByteArray("12") << "40" << QByteArray("40");
        QTest::newRow("signs and decimal point accepted")
            << QByteArray("360") << "+-1."
            << "+-1." << QByteArray("40") << "+-1." << QByteArray("40");
        QTest::newRow("up") << QByteArray("360") << "^"
                            << "361" << QByteArray("361") << "361" << QByteArray("361");
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
        ShowWith({{8, stored}});
        OpenPage(1);
        auto* spin = control<SpinEdit>("valHiz");
        FocusByTab(spin);
        // The text is selected: the first character typed replaces it.
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : keys) {
            if (c == QLatin1Char('^'))
                QTest::keyClick(spin, Qt::Key_Up);
            else if (c == QLatin1Char('v'))
                QTest::keyClick(spin, Qt::Key_Down);
            else
                QTest::keyClicks(spin, QString(c));
        }
        QCOMPARE(spin->text(), textAfterKeys);
        QCOMPARE(m_form->lstOptions().get(8), lineAfterKeys);
        FocusByTab(control("boxZmn"));
        QCOMPARE(spin->text(), textAfterLeaving);
        QCOMPARE(m_form->lstOptions().get(8), lineAfterLeaving);
    }

    // ---- the font -----------------------------------------------------------------------------

    // The font button opens the real dialog on the model's font, and a font accepted there goes
    // to the model; the character set is chosen beside Qt's font dialog.  The button never
    // takes the keyboard.
    void realFontDialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("cancelled") << false;
    }
    void realFontDialog()
    {
        QFETCH(bool, accept);
        ShowWith({{2, "2"}});
        OpenPage(1);
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
        QTest::mouseClick(control("btnFnt"), Qt::LeftButton);
        QVERIFY(seen);
        QCOMPARE(m_form->model().font().charset, accept ? 238 : 162);
        QCOMPARE(zrvtest::UnlikeModel(*m_form), QString());
        QVERIFY(!control("btnFnt")->hasFocus());
    }

    // ---- the start button -------------------------------------------------------------------

    // Without a letter group the start button only says so (when a run needs one is the
    // model's rule).
    void letterGroupWarning()
    {
        ShowWith({{2, "2"}, {40, "0000"}});
        OpenPage(1);
        // The user unticks the last ticked box.
        ClickCheckBox(control<QCheckBox>("boxharf2"));
        ClickCheckBox(control<QCheckBox>("boxharf2"));
        QVERIFY(!m_form->model().canStart());
        QTest::mouseClick(control("btnAls"), Qt::LeftButton);
        QCOMPARE(Messages(), QStringList{QStringLiteral("Harf gruplarından en az birini seçiniz.")});
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->isEnabled());
    }

    // The start button hands the model's run over and shows the exercise window modally; the
    // settings window is greyed until it closes.  Escape ends it, also when the window system
    // has given the keyboard to the settings window beneath (a window switcher can).
    void startButtonRunsTheExercise_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("exercise");
        QTest::addColumn<bool>("keysToSettings");
        QTest::newRow("Pyramid") << QByteArray("1") << 1 << false;
        QTest::newRow("none selected") << QByteArray("5") << 0 << false;
        QTest::newRow("keyboard on the settings window") << QByteArray("1") << 1 << true;
    }
    void startButtonRunsTheExercise()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, exercise);
        QFETCH(bool, keysToSettings);
        ShowWith({{2, stored}});
        ManualClock clock;
        ManualActivity activity(true);
        ExerciseWindow::Environment environment;
        environment.offscreenScale = 1;
        environment.clock = &clock;
        environment.waker = std::make_unique<ManualWaker>();
        environment.activity = &activity;
        ExerciseWindow screen(std::move(environment));
        ExerciseSettings unset;
        unset.exercise = 9;
        screen.setSettings(unset);
        m_form->setScreenForm(&screen);
        OpenPage(1);

        bool ran = false;
        bool settingsActive = false;
        bool ended = false;
        QTimer::singleShot(0, this, [&] {
            ran = true;
            QVERIFY(screen.isVisible());
            QCOMPARE(screen.settings().exercise, exercise);
            QVERIFY(!control("PageControl")->isEnabled());
            QVERIFY(!control("btnClose")->isEnabled());
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
        QTest::mouseClick(control("btnAls"), Qt::LeftButton);
        QVERIFY(ran);
        QCOMPARE(settingsActive, keysToSettings);
        QVERIFY(ended);
        QVERIFY(m_form->isVisible());
        QVERIFY(control("PageControl")->isEnabled());
        QVERIFY(control("btnClose")->isEnabled());
        QVERIFY(Messages().isEmpty());
        m_form->setScreenForm(nullptr);
    }

    // ---- closing ------------------------------------------------------------------------------

    // Escape, whatever control has the focus, or the exit button closes the window, and the
    // settings are saved when the save box is ticked.
    void closesAndSaves_data()
    {
        QTest::addColumn<QString>("focus"); // where Escape is pressed; empty: the exit button
        QTest::addColumn<bool>("save");
        for (const char* name :
             {"boxTip", "boxAls", "valHiz", "boxharf1", "boxSaveOptions", "btnAls", "memoWarning"})
            QTest::addRow("Escape on %s", name) << QString::fromLatin1(name) << true;
        QTest::newRow("save box unticked") << QStringLiteral("boxZmn") << false;
        QTest::newRow("exit button") << QString() << true;
    }
    void closesAndSaves()
    {
        QFETCH(QString, focus);
        QFETCH(bool, save);
        ShowWith({{1, save ? "1" : "0"}, {2, "1"}});
        QVERIFY(QFile::remove(QStringLiteral("zrv.opt")));
        OpenPage(1);
        PickItem(control<QComboBox>("boxDkk"), 3);
        if (focus.isEmpty()) {
            QTest::mouseClick(control("btnClose"), Qt::LeftButton);
        } else {
            FocusByTab(control(focus));
            QTest::keyClick(control(focus), Qt::Key_Escape);
        }
        QTRY_VERIFY(!m_form->isVisible());
        QCOMPARE(QFile::exists(QStringLiteral("zrv.opt")), save);
        if (save)
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")),
                     SettingsList::serialize(DefaultLines({{2, "1"}, {20, "3"}})));
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
        PickItem(control<QComboBox>("boxZmn"), 4);
        if (how == QLatin1String("close box"))
            QVERIFY(!m_form->close());
        else if (how == QLatin1String("escape"))
            QTest::keyClick(control("boxTip"), Qt::Key_Escape);
        else
            QTest::mouseClick(control("btnClose"), Qt::LeftButton);
        QCOMPARE(Errors(), QStringList{QStringLiteral("Cannot create file zrv.opt.\n%1.")
                                           .arg(QString::fromLocal8Bit(std::strerror(EISDIR)))});
        QVERIFY(m_form->isVisible());
        ClickCheckBox(control<QCheckBox>("boxSaveOptions"));
        QVERIFY(m_form->close());
        QCOMPARE(Errors().size(), 1);
    }

    // ---- screen readers, links, the keyboard order --------------------------------------------

    // Every control of the exercises page that takes the keyboard is named for screen readers:
    // labelled by the label just left of it on its row ("Hız" for the speed box), or by its own
    // caption.
    void controlsNamedByTheirLabels()
    {
        ShowWith({{2, "1"}}); // Pyramid: every control shown
        OpenPage(1);
        QWidget* page = control("pageExercises");
        const QList<QLabel*> labels = page->findChildren<QLabel*>();
        int named = 0;
        for (QWidget* control : page->findChildren<QWidget*>()) {
            // The font box only shows the font: its label's key opens the font dialog.
            if (!control->isVisible() || !control->isEnabled() || control->focusPolicy() == Qt::NoFocus ||
                control->parentWidget() != page || qobject_cast<QLabel*>(control) ||
                qobject_cast<QPlainTextEdit*>(control))
                continue;
            QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
            QVERIFY(access);
            const QString name = access->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
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
                QCOMPARE(name + QLatin1Char(':'), rowLabel->text().remove(QLatin1Char('&')));
            ++named;
        }
        QCOMPARE(named, 11);
    }

    void linksOpenTheirAddresses()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        ShowForm();
        QList<LinkLabel*> links;
        for (const char* name : {"kitap1", "kitap2", "kitap3", "kitap4", "kitap5", "link1"}) {
            auto* link = control<LinkLabel>(name);
            QVERIFY(!link->text().isEmpty());
            QVERIFY(link->font().underline());
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(link->width() - 3, link->height() / 2));
            links << link;
        }
        // Opened from the event loop, after the click has returned.
        QTRY_COMPARE(catcher.urls.size(), 6);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

        static const QRegularExpression book(QStringLiteral(
            "^(https?://[a-z0-9.-]+\\.example)/tanim\\.asp\\?sid=([A-Z0-9]{20})&referer=([0-9]+)$"));
        QSet<QString> hosts, codes, referers;
        for (int i = 0; i < 6; ++i) {
            const QString address = catcher.urls[i].toString();
            QVERIFY2(address.size() <= 79, qPrintable(address));
            QCOMPARE(catcher.urls[i], m_form->linkAddress(links[i]));
            if (i == 5) // the maker's site
                break;
            const auto m = book.match(address);
            QVERIFY2(m.hasMatch(), qPrintable(address));
            hosts << m.captured(1);
            codes << m.captured(2);
            referers << m.captured(3);
        }
        QCOMPARE(hosts.size(), 1);
        QCOMPARE(codes.size(), 5);
        QCOMPARE(referers.size(), 1);
        QVERIFY(catcher.urls[5].host().endsWith(QLatin1String(".example")));
    }

    // The page's keyboard order, from the tab bar on to the exit button, also where the page is
    // built when first shown (its controls then come last into the window).
    void tabOrderOfTheExercisePage_data()
    {
        QTest::addColumn<bool>("later");
        QTest::newRow("built with the rest") << false;
        QTest::newRow("built when first shown") << true;
    }
    void tabOrderOfTheExercisePage()
    {
        QFETCH(bool, later);
        if (later)
            m_exercisesPage = SettingsWindow::ExercisesPage::Later;
        ShowWith({{2, "1"}});
        OpenPage(1);
        const QStringList expected{"boxSaveOptions", "btnAls",   "valHiz",      "boxZmn",   "boxAkt",
                                   "boxPas",         "boxTip",   "boxStr",      "boxNkt",   "boxYon",
                                   "boxHrf",         "boxAls",   "boxDkk",      "boxharf1", "boxharf2",
                                   "boxharf3",       "boxharf4", "memoWarning", "btnClose"};
        const QWidget* page = control("pageExercises");
        FocusByTab(control<QTabWidget>("PageControl")->tabBar());
        QStringList order;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            // The control, also where a part of it (the speed box's line) has the focus.
            const QWidget* focused = QApplication::focusWidget();
            while (focused && focused->parentWidget() != page && focused->parentWidget() != m_form.get())
                focused = focused->parentWidget();
            order << (focused ? focused->objectName() : QStringLiteral("<off the page>"));
        }
        QCOMPARE(order, expected);
    }

    // Ctrl+PgDn and Ctrl+Tab change pages also from a drop-down list, which would take
    // Ctrl+PgDn as a move in its list; Ctrl+PgUp goes back.
    void pageKeysFromADropDownList()
    {
        ShowWith({{2, "1"}});
        OpenPage(1);
        auto* pages = control<QTabWidget>("PageControl");
        auto* box = control<QComboBox>("boxTip");
        const int next = 2 % int(pages->count());
        const int type = box->currentIndex();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), next);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 1);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), next);
        QCOMPARE(box->currentIndex(), type);
    }

    // Each page in each language: every label of a control and every button with a caption has
    // an Alt key, and no two of them on the page (with the window's exit button) share one.  The
    // English texts come with an English UI language, Turkish ones with any other, also in
    // Qt's own file dialog.
    void altKeysOfEachPage_data()
    {
        QTest::addColumn<QString>("uiLanguage");
        QTest::addColumn<QString>("exerciseLabel");
        QTest::addColumn<QString>("folder"); // the file dialog's kind of a folder
        QTest::newRow("Turkish (C)") << QStringLiteral("C") << QStringLiteral("Alıştır&ma:")
                                     << QStringLiteral("Klasör");
        QTest::newRow("English") << QStringLiteral("en_US") << QStringLiteral("Exer&cise:")
                                 << QStringLiteral("Folder");
    }
    void altKeysOfEachPage()
    {
        QFETCH(QString, uiLanguage);
        QFETCH(QString, exerciseLabel);
        zrv::loadTranslations(QLocale(uiLanguage));
        zrv::installTranslations();
        const auto turkish = qScopeGuard([] { zrv::loadTranslations(QLocale::c()); });
        QTEST(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
              "folder");
        SqliteJournal journal(QStringLiteral("journal.sqlite"));
        SettingsWindow form;
        form.setJournal(&journal);
        QCOMPARE(zrvtest::Control<QLabel>(form, "labAls")->text(), exerciseLabel);

        auto* pages = zrvtest::Control<QTabWidget>(form, "PageControl");
        QCOMPARE(pages->count(), 5);
        form.show(); // pages make their widgets when first shown
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QList<QWidget*> captioned{zrvtest::Control<QPushButton>(form, "btnClose")};
            for (QLabel* label : pages->widget(i)->findChildren<QLabel*>()) {
                if (label->buddy() || label->text().endsWith(QLatin1Char(':')))
                    captioned << label;
            }
            for (QAbstractButton* button : pages->widget(i)->findChildren<QAbstractButton*>()) {
                if (!button->text().isEmpty())
                    captioned << button;
            }
            QMap<int, QString> keys;
            for (QWidget* w : captioned) {
                auto* label = qobject_cast<QLabel*>(w);
                const QString text = label ? label->text() : static_cast<QAbstractButton*>(w)->text();
                const QKeySequence key = QKeySequence::mnemonic(text);
                QVERIFY2(!key.isEmpty(), qPrintable(text));
                QVERIFY2(!label || label->buddy(), qPrintable(text));
                QVERIFY2(!keys.contains(key[0].toCombined()),
                         qPrintable(text + QStringLiteral(" / ") + keys.value(key[0].toCombined())));
                keys.insert(key[0].toCombined(), text);
            }
        }
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
