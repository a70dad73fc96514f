// An X display with two screens (:N.0 1280 x 1024 and :N.1 400 x 300), the program started on
// the small one: the exercise runs on the screen of the settings window, scaled down to fit
// with its shape kept, not on the other screen where nobody looks.  Needs Xvfb; skipped
// without it.
#include "display/DXDraw.h"
#include "display/DXForm.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
pid_t g_server = 0;

// Starts Xvfb with two screens on a free display number; that number, or -1.
int startServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return -1;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int display = 300 + int((getpid() + attempt * 37) % 600);
        const QByteArray socket = "/tmp/.X11-unix/X" + QByteArray::number(display);
        const QByteArray lock = "/tmp/.X" + QByteArray::number(display) + "-lock";
        if (access(socket.constData(), F_OK) == 0 || access(lock.constData(), F_OK) == 0)
            continue;
        g_server = fork();
        if (g_server == 0) {
            const QByteArray path = xvfb.toLocal8Bit(), name = ":" + QByteArray::number(display);
            execl(path.constData(), "Xvfb", name.constData(), "-screen", "0", "1280x1024x24", "-screen", "1",
                  "400x300x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (g_server < 0)
            return -1;
        for (int wait = 0; wait < 100; ++wait) {
            if (access(socket.constData(), F_OK) == 0)
                return display;
            if (waitpid(g_server, nullptr, WNOHANG) == g_server)
                break; // taken meanwhile: try another number
            usleep(50000);
        }
        kill(g_server, SIGTERM);
        waitpid(g_server, nullptr, 0);
        g_server = 0;
    }
    return -1;
}
} // namespace

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

    TDXForm settings;
    settings.resize(300, 200);
    settings.show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    settings.activateWindow();
    QCOMPARE(settings.screen(), small);

    TDXForm exercise;
    exercise.setWindowFlag(Qt::FramelessWindowHint);
    auto* draw = new TDXDraw(&exercise);
    draw->AutoInitialize = false;
    exercise.show();
    draw->Initialize();
    QTRY_COMPARE(exercise.geometry(), small->geometry());
    QCOMPARE(exercise.screen(), small);
    // 640 x 480 at 0.625: 400 x 300 device pixels.
    QCOMPARE(draw->Surface()->Scale(), 0.625);
    QCOMPARE(draw->Surface()->Pixels().size(), QSize(400, 300));

    auto* cv = draw->Surface()->Canvas();
    cv->Brush.Color = cv->Pen.Color = RGBColor(0, 0, 192);
    cv->Rectangle(0, 0, 640, 480);
    cv->Brush.Color = cv->Pen.Color = RGBColor(255, 255, 0);
    cv->Ellipse(310, 230, 330, 250);
    cv->Release();
    draw->Flip();
    QApplication::processEvents();
    const QImage shown = draw->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, draw->Surface()->Pixels());
    draw->Finalize();
}

int main(int argc, char** argv)
{
    // The test runner asks for the offscreen platform; this test wants the X server.
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (QByteArray(argv[i]) == "-platform" && i + 1 < argc) {
            ++i;
            continue;
        }
        args.push_back(argv[i]);
    }
    int count = int(args.size());
    const int display = startServer();
    if (display >= 0) {
        qputenv("DISPLAY", QByteArray(":") + QByteArray::number(display) + ".1");
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int result = 0;
    {
        QApplication app(count, args.data());
        TestTwoScreens test;
        result = QTest::qExec(&test, count, args.data());
    }
    if (g_server > 0) {
        kill(g_server, SIGTERM);
        waitpid(g_server, nullptr, 0);
    }
    return result;
}

#include "test_two_screens.moc"
