// The settings window and the exercise without a mouse: Tab reaches every control of the
// exercises page in its order and each one can be used from the keyboard; the start button
// starts the Dot exercise, which shows exactly the frames it draws, and Escape ends it at once
// even at 2000 ms a step.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"
#include "Frames.h"
#include "Model.h"
#include "Session.h"
#include "exercises/ExerciseWindow.h"
#include "gui/SettingsWindow.h"
#include "gui/SpinEdit.h"
#include "support/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

using zrvtest::Control;

using namespace e2e;

namespace
{
// Pyramid selected, so that every control is shown; selectors of the section at their first
// items where that leaves room to move.
const QMap<int, QByteArray> kPyramid{{2, "1"},  {11, "0"},   {12, "0"}, {13, "0"},
                                     {14, "0"}, {19, "360"}, {20, "0"}, {25, "1000"}};
// Dot: the eight-point order, 2000 ms a step, navy background, yellow active, grey passive.
const QMap<int, QByteArray> kDot{{2, "0"}, {3, "3"}, {5, "7"}, {6, "8"}, {7, "2"}, {8, "2000"}};

// What the keyboard does to a control once it has the focus.
enum class Use { Toggle, Step, Select, SelectAll, None };

// A selector set in the model window, handed on as the person's pick is.
void Picked(SettingsWindow& m, QComboBox* box)
{
    if (box == Control<QWidget>(m, "boxAls"))
        m.boxAlsChange();
    else
        m.boxChange(box);
}
} // namespace

class TestE2eKeyboard : public QObject
{
    Q_OBJECT

    // The focus has moved to `to` (from `from`): the screen changed in `to` and nowhere but
    // in the two controls.  Returns the new screenshot.
    QImage expectFocusMove(Session& s, const QImage& before, const QRect& from, const QRect& to,
                           const QString& name)
    {
        QImage shot;
        const QRect target = to.adjusted(-3, -3, 3, 3);
        // A text cursor blinks: wait for the change within a second and a half.
        const bool changed = WaitUntil(
            [&] {
                shot = s.desktop.Shot();
                return Differences(before, shot, target) > 0;
            },
            1500);
        if (!changed) {
            s.desktop.Keep(shot, QStringLiteral("keyboard-no-focus-") + name);
            QTest::qFail(qPrintable(QStringLiteral("Tab does not show the focus on %1").arg(name)), __FILE__,
                         __LINE__);
            return {};
        }
        const QRegion allowed = QRegion(target) + QRegion(from.adjusted(-3, -3, 3, 3));
        for (const QRect& r : QRegion(QRect(QPoint(0, 0), shot.size())) - allowed) {
            const QRect wrong = ChangedArea(before, shot, r);
            if (!wrong.isNull()) {
                s.desktop.Keep(shot, QStringLiteral("keyboard-focus-elsewhere-") + name);
                QTest::qFail(qPrintable(QStringLiteral("on Tab to %1 the screen changed at (%2,%3 %4x%5)")
                                            .arg(name)
                                            .arg(wrong.x())
                                            .arg(wrong.y())
                                            .arg(wrong.width())
                                            .arg(wrong.height())),
                             __FILE__, __LINE__);
                return {};
            }
        }
        return shot;
    }

  private slots:
    // Every control of the exercises page, in the tab order of the page, and what a key does
    // to it.  The font text is disabled and so is passed over; the font button never takes the
    // focus.
    void tabOrderAndUse()
    {
        Session s(QSize(1024, 768));
        const QByteArray settings = SettingsFile(kPyramid);
        const QString error = s.Start(settings);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        SettingsWindow& m = s.model->Main();
        s.model->ShowPage(1);

        // The window has the keyboard when it comes (as a window manager gives it); the tab
        // row has the focus: the arrow key turns to the exercises page.
        s.desktop.Focus(s.window.id);
        QImage shot = s.desktop.Shot();
        s.desktop.Key(QStringLiteral("Right"));
        shot = s.ShotAfterChange(shot, s.OnScreen(Control<QWidget>(m, "boxAls")));
        {
            const QString unlike = s.CheckLikeModel(shot, {Control<QTabWidget>(m, "PageControl")->tabBar()});
            QVERIFY2(unlike.isEmpty(), qPrintable(unlike));
        }

        struct Step {
            QWidget* control;
            const char* name;
            Use use;
            int line; // the settings line the use changes (-1: none)
        };
        const Step steps[] = {
            {Control<QWidget>(m, "boxSaveOptions"), "boxSaveOptions", Use::Toggle, 1},
            {Control<QWidget>(m, "btnAls"), "btnAls", Use::None, -1},
            {Control<QWidget>(m, "valHiz"), "valHiz", Use::Step, 19},
            {Control<QWidget>(m, "boxZmn"), "boxZmn", Use::Select, 15},
            {Control<QWidget>(m, "boxAkt"), "boxAkt", Use::Select, 16},
            {Control<QWidget>(m, "boxPas"), "boxPas", Use::Select, 17},
            {Control<QWidget>(m, "boxTip"), "boxTip", Use::Select, 11},
            {Control<QWidget>(m, "boxStr"), "boxStr", Use::Select, 13},
            {Control<QWidget>(m, "boxNkt"), "boxNkt", Use::Select, 18},
            {Control<QWidget>(m, "boxYon"), "boxYon", Use::Select, 12},
            {Control<QWidget>(m, "boxHrf"), "boxHrf", Use::Select, 14},
            {Control<QWidget>(m, "boxAls"), "boxAls", Use::Select, 2},
            {Control<QWidget>(m, "boxDkk"), "boxDkk", Use::Select, 20},
            {Control<QWidget>(m, "boxharf1"), "boxharf1", Use::Toggle, 25},
            {Control<QWidget>(m, "boxharf2"), "boxharf2", Use::Toggle, 25},
            {Control<QWidget>(m, "boxharf3"), "boxharf3", Use::Toggle, 25},
            {Control<QWidget>(m, "boxharf4"), "boxharf4", Use::Toggle, 25},
            {Control<QWidget>(m, "memoWarning"), "memoWarning", Use::SelectAll, -1},
            {Control<QWidget>(m, "btnClose"), "btnClose", Use::None, -1},
            {Control<QTabWidget>(m, "PageControl")->tabBar(), "tab row", Use::None, -1},
            {Control<QWidget>(m, "boxSaveOptions"), "boxSaveOptions again", Use::None, -1},
        };

        QMap<int, QByteArray> expected = kPyramid;
        QRect from = s.OnScreen(Control<QTabWidget>(m, "PageControl")->tabBar());
        for (const Step& step : steps) {
            const QRect to = s.OnScreen(step.control);
            s.desktop.Key(QStringLiteral("Tab"));
            shot = expectFocusMove(s, shot, from, to, QString::fromLatin1(step.name));
            if (shot.isNull())
                return;
            from = to;

            // Use it: the control changes on the screen, and the model, given the same key,
            // looks the same.
            if (step.use == Use::None)
                continue;
            const QImage before = shot;
            const QString name = QString::fromLatin1(step.name);
            switch (step.use) {
            case Use::Toggle: {
                auto* box = static_cast<QCheckBox*>(step.control);
                s.desktop.Key(QStringLiteral("space"));
                box->toggle();
                if (step.control == Control<QWidget>(m, "boxSaveOptions")) {
                    // Ticked again, so that the settings are saved.
                    shot = s.ShotAfterChange(before, to);
                    QVERIFY2(Differences(before, shot, to) > 0, "the save box does not change on space");
                    s.desktop.Key(QStringLiteral("space"));
                    box->toggle();
                }
                QByteArray value;
                for (const char* group : {"boxharf1", "boxharf2", "boxharf3", "boxharf4"})
                    value += Control<QCheckBox>(m, group)->isChecked() ? '1' : '0';
                expected[step.line] = step.line == 25 ? value : QByteArray(box->isChecked() ? "1" : "0");
                break;
            }
            case Use::Step:
                s.desktop.Key(QStringLiteral("Up"));
                Control<SpinEdit>(m, "valHiz")->setValue(Control<SpinEdit>(m, "valHiz")->value() + 1);
                expected[step.line] = QByteArray::number(Control<SpinEdit>(m, "valHiz")->value());
                break;
            case Use::SelectAll:
                s.desktop.Key(QStringLiteral("ctrl+a"));
                break;
            case Use::Select: {
                auto* box = static_cast<QComboBox*>(step.control);
                // The next item, or the one before when it shows the last.
                const bool down = box->currentIndex() + 1 < box->count();
                s.desktop.Key(down ? QStringLiteral("Down") : QStringLiteral("Up"));
                box->setCurrentIndex(box->currentIndex() + (down ? 1 : -1));
                Picked(m, box);
                expected[step.line] = QByteArray::number(box->currentIndex());
                if (step.control == Control<QWidget>(m, "boxAls")) {
                    // Block is selected now: its items come; the other key goes back to Pyramid.
                    shot = s.ShotAfterChange(before, s.OnScreen(Control<QWidget>(m, "boxTip")));
                    QVERIFY2(Differences(before, shot, s.OnScreen(Control<QWidget>(m, "boxTip"))) > 0,
                             "Down does not pick Block");
                    s.desktop.Key(down ? QStringLiteral("Up") : QStringLiteral("Down"));
                    box->setCurrentIndex(1);
                    Picked(m, box);
                    expected[step.line] = "1";
                }
                break;
            }
            case Use::None:
                break;
            }
            // The save box is back as it was, and the exercise too.
            const bool changes = step.control != Control<QWidget>(m, "boxAls") &&
                                 step.control != Control<QWidget>(m, "boxSaveOptions");
            QString unlike;
            WaitUntil(
                [&] {
                    shot = s.desktop.Shot();
                    unlike = s.CheckLikeModel(shot, {step.control});
                    return unlike.isEmpty() && (step.control == Control<QWidget>(m, "boxAls") ||
                                                Differences(before, shot, to) > 0);
                },
                5000);
            if (!unlike.isEmpty() || (changes && Differences(before, shot, to) == 0))
                s.desktop.Keep(shot, QStringLiteral("keyboard-use-") + name);
            QVERIFY2(!changes || Differences(before, shot, to) > 0,
                     qPrintable(name + QStringLiteral(" does not change")));
            QVERIFY2(unlike.isEmpty(), qPrintable(name + QStringLiteral(": ") + unlike));
        }
        s.desktop.Keep(shot, QStringLiteral("keyboard-1-used"));

        // Escape from the page ends the program, which saves what the keys chose.
        s.desktop.Key(QStringLiteral("Escape"));
        QVERIFY2(s.program.WaitExit(10000), "Escape does not end the program");
        QCOMPARE(s.program.ExitCode(), 0);
        const QString wrong = CheckSettingsFile(s.program.ReadSettings(), SettingsFile(expected));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    // Dot at 2000 ms started from the keyboard on a 4:3 screen: the screen shows exactly the
    // frames the exercise draws; Escape ends the run before the next step.
    void dotFromKeyboardAndEscapeWithinOneTick()
    {
        Session s(QSize(1024, 768));
        const QByteArray settings = SettingsFile(kDot);
        const QString error = s.Start(settings);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        SettingsWindow& m = s.model->Main();
        s.model->ShowPage(1);
        QCOMPARE(Control<SpinEdit>(m, "valHiz")->value(), 2000);

        // The frames of the run, from the model drawing as the screen does: the first one and
        // after each of 8 ticks.
        s.model->DrawForScreen(s.desktop.ScreenSize());
        s.model->Start();
        QList<QImage> frames{s.model->Frame()};
        for (int k = 1; k <= 8; ++k) {
            s.model->Tick();
            frames << s.model->Frame();
        }
        const auto ticksShown = [&frames](const QImage& frame) {
            for (int k = 0; k < frames.size(); ++k)
                if (Differences(frame, frames[k]) == 0)
                    return k;
            return -1;
        };

        s.desktop.Focus(s.window.id);
        s.desktop.Key(QStringLiteral("Right Tab Tab space"));
        const auto run = s.desktop.WaitWindow(QStringLiteral("^zrv$"));
        QVERIFY2(run, "space on the start button does not start the exercise");
        QCOMPARE(run->geometry, QRect(QPoint(0, 0), s.desktop.ScreenSize()));
        const QRect box = FrameBox(s.desktop.ScreenSize());
        QCOMPARE(box, QRect(0, 0, 1024, 768));

        // The first frame, then the first step.
        QImage shot;
        int shown = -1;
        QVERIFY2(WaitUntil(
                     [&] {
                         shot = s.desktop.Shot();
                         shown = ticksShown(shot.copy(box));
                         return shown >= 0;
                     },
                     5000),
                 "the screen does not show the first frame");
        s.desktop.Keep(shot, QStringLiteral("keyboard-2-dot-first"));
        QVERIFY2(CheckScaled(shot, box).isEmpty(), qPrintable(CheckScaled(shot, box)));
        QCOMPARE(shown, 0);
        QElapsedTimer sinceTick;
        QVERIFY2(WaitUntil(
                     [&] {
                         shot = s.desktop.Shot();
                         shown = ticksShown(shot.copy(box));
                         return shown != 0;
                     },
                     6000, 20),
                 "no step comes");
        sinceTick.start();
        QCOMPARE(shown, 1);
        s.desktop.Keep(shot, QStringLiteral("keyboard-3-dot-step"));
        QVERIFY2(CheckScaled(shot, box).isEmpty(), qPrintable(CheckScaled(shot, box)));

        // Escape right after a step: the run ends before the next one would come.
        s.desktop.Key(QStringLiteral("Escape"));
        bool secondStep = false;
        const bool gone = WaitUntil(
            [&] {
                if (s.desktop.Windows(QStringLiteral("^zrv$")).isEmpty())
                    return true;
                secondStep = secondStep || ticksShown(s.desktop.Shot().copy(box)) == 2;
                return false;
            },
            5000, 20);
        const qint64 took_ms = sinceTick.elapsed();
        qInfo("the run ended %lld ms after its first step was seen (a step is 2000 ms)", took_ms);
        QVERIFY2(gone, "Escape does not end the exercise");
        QVERIFY2(!secondStep && took_ms < 2000,
                 qPrintable(QStringLiteral("the exercise ran on %1 ms after a step").arg(took_ms)));

        // The desktop is back: the settings window and nothing else.
        QVERIFY(WaitUntil(
            [&] {
                shot = s.desktop.Shot();
                return s
                    .CheckLikeModel(shot, {Control<QWidget>(m, "btnAls"), Control<QWidget>(m, "boxAls"),
                                           Control<QTabWidget>(m, "PageControl")->tabBar(),
                                           Control<QWidget>(m, "boxSaveOptions")})
                    .isEmpty();
            },
            5000));
        s.desktop.Keep(shot, QStringLiteral("keyboard-4-back"));

        // The keyboard goes on where it was: the start button starts the next run, which
        // Ctrl+Escape ends like Escape.
        s.desktop.Key(QStringLiteral("space"));
        const bool again = s.desktop.WaitWindow(QStringLiteral("^zrv$"), 3000).has_value();
        QVERIFY2(again, "space after a run does not start the next one");
        s.desktop.Key(QStringLiteral("ctrl+Escape"));
        QVERIFY(s.desktop.WaitNoWindow(QStringLiteral("^zrv$"), 5000));

        // Escape in the settings window ends the program; the settings are written back as read.
        s.desktop.Focus(s.window.id);
        s.desktop.Key(QStringLiteral("Escape"));
        QVERIFY2(s.program.WaitExit(10000), "Escape does not end the program");
        const QString wrong = CheckSettingsFile(s.program.ReadSettings(), settings);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

ZRV_E2E_MAIN(TestE2eKeyboard)
#include "test_e2e_keyboard.moc"
