// A person's first session, with the mouse and the keyboard on a real X server: the description
// page, the exercises page for Dot and for Pyramid, the speed typed in, the letter-group
// warning, a Pyramid run with Escape, and the settings file written on exit.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"
#include "Frames.h"
#include "Model.h"
#include "Session.h"
#include "exercises/ExerciseWindow.h"
#include "gui/LinkLabel.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "support/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

using zrvtest::Control;

using namespace e2e;

class TestE2ePerson : public QObject
{
    Q_OBJECT

    Session m_session{QSize(1280, 1024)};
    Desktop& m_desktop = m_session.desktop;
    Program& m_program = m_session.program;
    const Window& m_window = m_session.window;
    std::unique_ptr<Model>& m_model = m_session.model;
    QImage m_beforeRun;

    QPoint at(const QWidget* control) const { return m_session.At(control); }
    QRect onScreen(const QWidget* control) const { return m_session.OnScreen(control); }
    QImage shotAfterChange(const QImage& before, QRect area)
    {
        return m_session.ShotAfterChange(before, area);
    }
    QString checkLikeModel(const QImage& shot, const QList<QWidget*>& exempt = {})
    {
        return m_session.CheckLikeModel(shot, exempt);
    }

    // Controls shown for every exercise, and those shown only for Pyramid and Block.
    QList<QWidget*> alwaysShown() const
    {
        SettingsWindow& m = m_model->Main();
        return {Control<QWidget>(m, "labAls"),      Control<QWidget>(m, "boxAls"),
                Control<QWidget>(m, "labTip"),      Control<QWidget>(m, "boxTip"),
                Control<QWidget>(m, "labZmn"),      Control<QWidget>(m, "boxZmn"),
                Control<QWidget>(m, "labAkt"),      Control<QWidget>(m, "boxAkt"),
                Control<QWidget>(m, "labPas"),      Control<QWidget>(m, "boxPas"),
                Control<QWidget>(m, "labHiz"),      Control<QWidget>(m, "valHiz"),
                Control<QWidget>(m, "labDuration"), Control<QWidget>(m, "boxDkk"),
                Control<QWidget>(m, "btnAls"),      Control<QWidget>(m, "boxSaveOptions"),
                Control<QWidget>(m, "memoWarning")};
    }
    QList<QWidget*> textOnly() const
    {
        SettingsWindow& m = m_model->Main();
        return {
            Control<QWidget>(m, "labYon"),   Control<QWidget>(m, "boxYon"),   Control<QWidget>(m, "labStr"),
            Control<QWidget>(m, "boxStr"),   Control<QWidget>(m, "labHrf"),   Control<QWidget>(m, "boxHrf"),
            Control<QWidget>(m, "labNkt"),   Control<QWidget>(m, "boxNkt"),   Control<QWidget>(m, "labFnt"),
            Control<QWidget>(m, "txtFnt"),   Control<QWidget>(m, "btnFnt"),   Control<QWidget>(m, "labharf"),
            Control<QWidget>(m, "boxharf1"), Control<QWidget>(m, "boxharf2"), Control<QWidget>(m, "boxharf3"),
            Control<QWidget>(m, "boxharf4")};
    }
    // Every control of `shown` has something drawn in its place, every one of `hidden` is plain page.
    QString checkControls(const QImage& shot, const QList<QWidget*>& shown, const QList<QWidget*>& hidden)
    {
        for (QWidget* w : shown)
            if (Uniform(shot, onScreen(w)))
                return QStringLiteral("%1 is not shown")
                    .arg(w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName());
        for (QWidget* w : hidden)
            if (!Uniform(shot, onScreen(w)))
                return QStringLiteral("a %1 at (%2,%3) is shown")
                    .arg(QString::fromLatin1(w->metaObject()->className()))
                    .arg(m_model->Rect(w).x())
                    .arg(m_model->Rect(w).y());
        return {};
    }
  private slots:
    void initTestCase()
    {
        const QString error = m_session.Start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // First start without a settings file: centred window, description page.
    void startsOnDescriptionPage()
    {
        QCOMPARE(m_window.geometry.topLeft(),
                 QPoint((1280 - m_window.geometry.width()) / 2, (1024 - m_window.geometry.height()) / 2));
        QImage shot;
        // The window is drawn once its description texts are.
        QVERIFY(WaitUntil(
            [&] {
                shot = m_desktop.Shot();
                return !Uniform(shot, onScreen(Control<QWidget>(m_model->Main(), "memoAbout")));
            },
            10000));
        m_desktop.Keep(shot, QStringLiteral("person-1-description"));
        SettingsWindow& m = m_model->Main();
        for (QWidget* w : QList<QWidget*>{Control<QWidget>(m, "memoAbout"), Control<QWidget>(m, "Label3"),
                                          Control<QWidget>(m, "kitap1"), Control<QWidget>(m, "kitap2"),
                                          Control<QWidget>(m, "kitap3"), Control<QWidget>(m, "Label6"),
                                          Control<QWidget>(m, "kitap4"), Control<QWidget>(m, "kitap5"),
                                          Control<QWidget>(m, "memoTerms"), Control<QWidget>(m, "Label9"),
                                          Control<QWidget>(m, "link1"), Control<QWidget>(m, "btnClose")})
            QVERIFY2(!Uniform(shot, onScreen(w)), qPrintable(w->metaObject()->className()));
        const QString unlike = checkLikeModel(shot);
        QVERIFY2(unlike.isEmpty(), qPrintable(unlike));
    }

    // A click on "Alıştırmalar": the Dot exercise's controls, the others hidden.
    void exercisesPageShowsDot()
    {
        const QImage before = m_desktop.Shot();
        m_desktop.Click(m_window.geometry.topLeft() + m_model->TabRect(1).center(), m_window.id);
        m_desktop.ParkPointer();
        m_model->ShowPage(1);
        const QImage shot = shotAfterChange(before, onScreen(Control<QWidget>(m_model->Main(), "memoAbout")));
        m_desktop.Keep(shot, QStringLiteral("person-2-dot"));
        const QString wrong = checkControls(shot, alwaysShown(), textOnly());
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        const QString unlike = checkLikeModel(shot);
        QVERIFY2(unlike.isEmpty(), qPrintable(unlike));
    }

    // "Piramit" picked from the selector's list with the mouse: every control is shown.
    void pickPyramidWithMouse()
    {
        SettingsWindow& m = m_model->Main();
        const std::optional<Window> list = m_session.OpenList(Control<QWidget>(m, "boxAls"));
        QVERIFY(list);
        const QImage before = m_desktop.Shot();
        QVERIFY(m_session.PickFromList(*list, 1, 3));
        m_model->selectExercise(1);
        const QImage shot = shotAfterChange(before, onScreen(Control<QWidget>(m, "boxYon")));
        m_desktop.Keep(shot, QStringLiteral("person-3-pyramid"));
        const QString wrong = checkControls(shot, alwaysShown() + textOnly(), {});
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        // The button's caption and the selectors' texts are the Pyramid ones.
        const QString unlike = checkLikeModel(shot, {Control<QWidget>(m, "boxAls")});
        QVERIFY2(unlike.isEmpty(), qPrintable(unlike));
    }

    // The speed typed over: select the text, type 750.
    void typeSpeed()
    {
        SettingsWindow& m = m_model->Main();
        const QImage before = m_desktop.Shot();
        m_desktop.Click(onScreen(Control<QWidget>(m, "valHiz")).topLeft() +
                        QPoint(30, Control<SpinEdit>(m, "valHiz")->height() / 2));
        m_desktop.Key(QStringLiteral("ctrl+a"));
        m_desktop.Type(QStringLiteral("750"));
        const QImage shot = shotAfterChange(before, onScreen(Control<QWidget>(m, "valHiz")));
        QVERIFY(!Uniform(shot, onScreen(Control<QWidget>(m, "valHiz"))));
    }

    // All letter groups unticked: the start button only warns.
    void startWithoutLetterGroupsWarns()
    {
        SettingsWindow& m = m_model->Main();
        QImage before = m_desktop.Shot();
        m_desktop.Click(onScreen(Control<QWidget>(m, "boxharf1")).topLeft() +
                        QPoint(8, Control<QCheckBox>(m, "boxharf1")->height() / 2));
        before = shotAfterChange(before, onScreen(Control<QWidget>(m, "boxharf1")));
        m_desktop.Click(at(Control<QWidget>(m, "btnAls")));

        const auto box = m_desktop.WaitWindow(QStringLiteral("^Nivoleth$"));
        QVERIFY2(box, "no message box");
        QImage shot;
        // The box as this toolkit draws it with that text: same size, same look.
        QMessageBox reference(QMessageBox::NoIcon, QStringLiteral("Nivoleth"),
                              QStringLiteral("Harf gruplarından en az birini seçiniz."), QMessageBox::Ok);
        reference.show();
        const QImage wanted = reference.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(WaitUntil(
            [&] {
                shot = m_desktop.Shot();
                return !Uniform(shot, QRect(box->geometry.topLeft() + QPoint(10, 10), QSize(40, 20)));
            },
            5000));
        m_desktop.Keep(shot, QStringLiteral("person-4-warning"));
        // The text as this toolkit writes it in such a box (the button may differ: the X
        // platform adds an icon).
        const QImage real = shot.copy(box->geometry);
        const QRect text = reference.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->geometry();
        QCOMPARE(box->geometry.width(), wanted.width());
        bool same = false;
        for (int dy = -3; dy <= 3 && !same; ++dy) // the real box may be a little taller
            same = Differences(real.copy(text.translated(0, dy)), wanted.copy(text)) == 0;
        QVERIFY2(!Uniform(real, text) && same, "the message is not the warning");
        QVERIFY(m_desktop.Windows(QStringLiteral("^zrv$")).isEmpty());

        // OK closes it; the exercise does not start.
        QAbstractButton* okButton = reference.button(QMessageBox::Ok);
        const QPoint ok = okButton->mapTo(&reference, okButton->rect().center());
        reference.hide();
        m_desktop.Click(box->geometry.topLeft() + ok);
        QVERIFY(m_desktop.WaitNoWindow(QStringLiteral("^Nivoleth$"), 5000));
        QTest::qWait(300);
        QVERIFY(m_desktop.Windows(QStringLiteral("^zrv$")).isEmpty());
    }

    // One group ticked: the Pyramid runs full-screen, letterboxed, the highlight walks along.
    void pyramidRuns()
    {
        SettingsWindow& m = m_model->Main();
        const QImage before = m_desktop.Shot();
        m_desktop.Click(onScreen(Control<QWidget>(m, "boxharf3")).topLeft() +
                        QPoint(8, Control<QCheckBox>(m, "boxharf3")->height() / 2));
        m_beforeRun = shotAfterChange(before, onScreen(Control<QWidget>(m, "boxharf3")));
        m_desktop.Keep(m_beforeRun, QStringLiteral("person-5-ticked"));
        QVERIFY2(Differences(before, m_beforeRun, onScreen(Control<QWidget>(m, "boxharf3"))),
                 "the click does not tick the box");
        m_desktop.Click(at(Control<QWidget>(m, "btnAls")));
        m_desktop.ParkPointer();
        const auto run = m_desktop.WaitWindow(QStringLiteral("^zrv$"));
        QVERIFY2(run, "the exercise window does not come");
        QCOMPARE(run->geometry, QRect(0, 0, 1280, 1024));

        // The same settings in the model: where the blocks lie.
        Model model(SettingsFile({{2, "1"}, {19, "750"}, {25, "0010"}}));
        model.Start();
        const TextLayout layout = LayoutOf(model);
        QVERIFY(layout.blocks.size() >= 5);
        const QRect box = FrameBox(m_desktop.ScreenSize());
        QCOMPARE(box, QRect(0, 32, 1280, 960));

        // The highlight walks along the order.
        const HighlightWatch watch = WatchHighlights(m_desktop, box, layout, 4);
        if (!watch.moved.isNull())
            m_desktop.Keep(watch.moved, QStringLiteral("person-5-pyramid-run"));
        QVERIFY2(watch.error.isEmpty(), qPrintable(watch.error));
    }

    // Escape: the exercise window goes, the desktop and the settings window are as before.
    void escapeGivesScreenBack()
    {
        m_desktop.Key(QStringLiteral("Escape"));
        QVERIFY(m_desktop.WaitNoWindow(QStringLiteral("^zrv$"), 5000));
        QImage shot;
        // Outside the settings window the screen is as it was before the run.
        QRegion outside = QRegion(QRect(QPoint(0, 0), m_desktop.ScreenSize())) - QRegion(m_window.geometry);
        // The settings window as the person left it, usable again.
        SettingsWindow& m = m_model->Main();
        Control<SpinEdit>(m, "valHiz")->setValue(750);
        Control<QCheckBox>(m, "boxharf1")->setChecked(false);
        Control<QCheckBox>(m, "boxharf3")->setChecked(true);
        QString unlike;
        const bool back = WaitUntil(
            [&] {
                shot = m_desktop.Shot();
                for (const QRect& r : outside)
                    if (Differences(shot, m_beforeRun, r))
                        return false;
                // Focus frames may differ (where the focus goes after a run is the keyboard
                // test's business).
                unlike = checkLikeModel(shot, {Control<QWidget>(m, "btnAls"), Control<QWidget>(m, "boxharf3"),
                                               Control<QWidget>(m, "boxAls")});
                return unlike.isEmpty();
            },
            5000);
        m_desktop.Keep(shot, QStringLiteral("person-6-back"));
        QVERIFY2(back, qPrintable(unlike));
        QCOMPARE(m_desktop.Geometry(m_window.id), m_window.geometry);
        QVERIFY(m_program.Running());
    }

    // Closing writes the chosen values: Pyramid, speed 750, digits only.
    void exitWritesSettings()
    {
        // A click on the page gives the settings window the keyboard again, then Escape.
        m_desktop.Click(m_window.geometry.topLeft() + QPoint(m_window.geometry.width() - 30, 250),
                        m_window.id);
        m_desktop.Key(QStringLiteral("Escape"));
        QVERIFY2(m_program.WaitExit(10000), "the program does not end on Escape");
        QCOMPARE(m_program.ExitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program.ExitCode(), 0);
        const QString wrong =
            CheckSettingsFile(m_program.ReadSettings(), SettingsFile({{2, "1"}, {19, "750"}, {25, "0010"}}));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QCOMPARE(QDir(m_program.Directory()).entryList(QDir::Files | QDir::Hidden), QStringList{"zrv.opt"});
    }

    void cleanupTestCase()
    {
        if (m_program.Running())
            qWarning("%s", qPrintable(m_program.Log()));
    }
};

ZRV_E2E_MAIN(TestE2ePerson)
#include "test_e2e_person.moc"
