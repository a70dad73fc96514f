// An X display with two screens (:N.0 1280 x 1024 and :N.1 400 x 300), the program started on
// the small one: the exercise runs on the screen of the settings window, scaled down to fit
// with its shape kept, not on the other screen where nobody looks.  Needs Xvfb; skipped
// without it.
#include "display/ExerciseDisplay.h"

#include "Desktop.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

class TestTwoScreens : public QObject
{
    Q_OBJECT
  private slots:
    void exerciseOnTheSettingsScreen();
};

void TestTwoScreens::exerciseOnTheSettingsScreen()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("no X server with two screens (Xvfb missing)");
    QCOMPARE(QGuiApplication::screens().size(), 2);
    QScreen* small = QGuiApplication::primaryScreen(); // the display's default screen, :N.1
    QCOMPARE(small->geometry().size(), QSize(400, 300));

    QWidget settings(nullptr, Qt::Window);
    settings.resize(300, 200);
    settings.show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    settings.activateWindow();
    QCOMPARE(settings.screen(), small);

    QWidget exercise(nullptr, Qt::Window);
    exercise.setWindowFlag(Qt::FramelessWindowHint);
    auto* draw = new ExerciseDisplay(&exercise);
    exercise.show();
    draw->initialize();
    QTRY_COMPARE(exercise.geometry(), small->geometry());
    QCOMPARE(exercise.screen(), small);
    // 640 x 480 at 0.625: 400 x 300 device pixels.
    QCOMPARE(draw->surface()->scale(), 0.625);
    QCOMPARE(draw->surface()->image().size(), QSize(400, 300));

    auto* cv = draw->surface()->canvas();
    cv->brush.color = cv->pen.color = rgbColor(0, 0, 192);
    cv->rectangle(0, 0, 640, 480);
    cv->brush.color = cv->pen.color = rgbColor(255, 255, 0);
    cv->ellipse(310, 230, 330, 250);
    draw->present();
    QApplication::processEvents();
    const QImage shown = draw->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, draw->surface()->image());
    draw->finalize();
}

int main(int argc, char** argv)
{
    // The test runs as a client of screen 1 (the small one) of an X server with two screens, in a
    // process of its own; without Xvfb it runs here on the platform the runner gives, and skips.
    if (!qEnvironmentVariableIsSet("ZRV_TWO_SCREENS_CLIENT")) {
        QCoreApplication app(argc, argv);
        e2e::Desktop desktop(QSize(1280, 1024), {QSize(400, 300)});
        QString error;
        if (desktop.Start(&error)) {
            QProcessEnvironment env = desktop.ClientEnvironment();
            env.insert(QStringLiteral("DISPLAY"), desktop.Display() + QStringLiteral(".1"));
            env.insert(QStringLiteral("ZRV_TWO_SCREENS_CLIENT"), QStringLiteral("1"));
            QStringList arguments = app.arguments().mid(1);
            if (const qsizetype i = arguments.indexOf(QStringLiteral("-platform")); i >= 0)
                arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
            QProcess client;
            client.setProcessEnvironment(env);
            client.setProcessChannelMode(QProcess::ForwardedChannels);
            client.start(app.applicationFilePath(), arguments);
            client.waitForFinished(-1);
            return client.exitStatus() == QProcess::NormalExit ? client.exitCode() : 1;
        }
    }
    QApplication app(argc, argv);
    TestTwoScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_two_screens.moc"
