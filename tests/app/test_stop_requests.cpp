// A stop request (a signal, the end of the session) on the settings window with its exercise
// window on the in-memory display: a run or a dialog goes first, then the window closes as the
// exit button closes it; after a failed save the next request ends the program with code 1.
#include "app/StopRequests.h"
#include "exercises/ExerciseRig.h"
#include "gui/SettingsWindow.h"
#include "support/Files.h"

#include <QDialog>
#include <QDir>

class TestStopRequests : public QObject
{
    Q_OBJECT

    struct Rig : ExerciseRig {
        SettingsWindow main;
        QList<int> exitCodes;
        zrv::StopRequests stop{&main, screen.get(), [this](int code) { exitCodes << code; }};

        Rig()
        {
            main.show();
            main.setScreenForm(screen.get());
        }
        // Closed as by the exit button, the settings saved, the program not ended otherwise.
        void checkClosedAndSaved() const
        {
            QTRY_VERIFY(!main.isVisible());
            QVERIFY(!screen->isVisible());
            QCOMPARE(ReadAll(QStringLiteral("zrv.opt")).count("\r\n"), 41);
            QVERIFY(exitCodes.isEmpty());
        }
    };

  private slots:
    void endsTheRunFirst()
    {
        Rig rig;
        bool ranWhenAsked = false;
        QMetaObject::invokeMethod(
            rig.screen.get(),
            [&] {
                ranWhenAsked = rig.screen->isModalRunning();
                rig.stop.request();
            },
            Qt::QueuedConnection);
        rig.main.btnAlsClick(); // returns when the run has ended
        QVERIFY(ranWhenAsked);
        rig.checkClosedAndSaved();
    }

    void closesAnOpenDialogFirst()
    {
        Rig rig;
        QDialog dialog(&rig.main);
        dialog.setModal(true);
        dialog.show();
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        rig.stop.request();
        QTRY_VERIFY(!dialog.isVisible());
        rig.checkClosedAndSaved();
    }

    // The window says why and stays; the next request, also one that comes while the window
    // is saying why, ends the program without saving and without trying again.
    void afterAFailedSaveEndsWithCode1_data()
    {
        QTest::addColumn<bool>("whileSayingWhy");
        QTest::newRow("after") << false;
        QTest::newRow("while the window says why") << true;
    }
    void afterAFailedSaveEndsWithCode1()
    {
        QFETCH(bool, whileSayingWhy);
        Rig rig;
        QVERIFY(QDir().mkdir(QStringLiteral("zrv.opt")));
        zrv::setReportHook([&](zrv::ReportKind, const QString& text) {
            rig.reports << text;
            if (whileSayingWhy)
                rig.stop.request();
        });
        rig.stop.request();
        QVERIFY(rig.main.isVisible());
        QCOMPARE(rig.reports.size(), 1);
        QCOMPARE(rig.exitCodes.size(), int(whileSayingWhy));
        rig.stop.request();
        QCOMPARE(rig.exitCodes.first(), 1);
        QVERIFY(rig.main.isVisible());
    }
};

QTEST_MAIN(TestStopRequests)
#include "test_stop_requests.moc"
