// The text exercises on screens of several shapes: the frame fills the screen's height or
// width with 4:3 kept and black bars beside it, the letter blocks lie where the exercise lays
// them out, the highlight follows its path; Escape gives the screen back, and the exit button
// writes the settings back as they were read.
#include "Checks.h"
#include "Desktop.h"
#include "E2eMain.h"
#include "Frames.h"
#include "Model.h"
#include "Session.h"
#include "exercises/ExerciseWindow.h"
#include "gui/SettingsWindow.h"
#include "support/Controls.h"

#include <QComboBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

using zrvtest::Control;

using namespace e2e;

using Lines = QMap<int, QByteArray>;
Q_DECLARE_METATYPE(Lines)

class TestE2eScreens : public QObject
{
    Q_OBJECT

  private slots:
    void runs_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<Lines>("settings");
        // Block, separate blocks, zigzag, 2 lines of 6: navy background, white active text,
        // yellow passive text, a red dot; bars left and right.
        QTest::newRow("Blok Ayrı Zigzag, 1920x1080")
            << QSize(1920, 1080) << QRect(240, 0, 1440, 1080)
            << Lines{{2, "2"},  {26, "0"}, {27, "2"}, {28, "1"},   {29, "2"},   {30, "7"},
                     {31, "1"}, {32, "8"}, {33, "4"}, {34, "400"}, {40, "0110"}};
        // Block, adjoining blocks, along the rows, bold 12 points: exactly 4:3.
        QTest::newRow("Blok Bitişik Yatay, 800x600")
            << QSize(800, 600) << QRect(0, 0, 800, 600)
            << Lines{{2, "2"},  {26, "1"}, {27, "1"},   {28, "0"},  {29, "4"}, {30, "1"},   {31, "4"},
                     {32, "2"}, {33, "6"}, {34, "400"}, {37, "12"}, {39, "1"}, {40, "1001"}};
        // Pyramid, one block at a time in the middle, one way: bars left and right of an odd width.
        QTest::newRow("Piramit Tek Satır, 1366x768")
            << QSize(1366, 768) << QRect(171, 0, 1024, 768)
            << Lines{{2, "1"},  {11, "1"}, {12, "0"}, {13, "0"},   {14, "2"},   {15, "0"},
                     {16, "9"}, {17, "2"}, {18, "4"}, {19, "400"}, {25, "1100"}};
    }
    void runs()
    {
        QFETCH(QSize, screen);
        QFETCH(QRect, frame);
        QFETCH(Lines, settings);
        QCOMPARE(FrameBox(screen), frame);

        Session s(screen);
        const QByteArray file = SettingsFile(settings);
        const QString error = s.Start(file);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        SettingsWindow& m = s.model->Main();
        const QString tag = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());

        // The exercises page and the start button, with the mouse.
        s.desktop.Click(s.window.geometry.topLeft() + s.model->TabRect(1).center(), s.window.id);
        s.model->ShowPage(1);
        QImage shot = s.ShotAfterChange(s.desktop.Shot(), s.OnScreen(Control<QWidget>(m, "btnAls")));
        const QImage settingsShot = shot;
        s.desktop.Click(s.At(Control<QWidget>(m, "btnAls")));
        s.desktop.ParkPointer();
        const auto run = s.desktop.WaitWindow(QStringLiteral("^zrv$"));
        QVERIFY2(run, "the exercise window does not come");
        QCOMPARE(run->geometry, QRect(QPoint(0, 0), screen));

        // Where the blocks lie, by the model.
        s.model->Start();
        const TextLayout layout = LayoutOf(*s.model);
        QVERIFY(!layout.blocks.isEmpty());

        // The highlight walks along the path.
        const HighlightWatch watch = WatchHighlights(s.desktop, frame, layout, 5);
        if (!watch.moved.isNull())
            s.desktop.Keep(watch.moved, QStringLiteral("screens-") + tag);
        if (!watch.error.isEmpty())
            s.desktop.Keep(watch.last, QStringLiteral("screens-wrong-") + tag);
        QVERIFY2(watch.error.isEmpty(), qPrintable(watch.error));

        // Escape: the screen as it was before the start, the settings window usable again (the
        // focus may have moved: the keyboard test looks at that).
        s.desktop.Key(QStringLiteral("Escape"));
        QVERIFY(s.desktop.WaitNoWindow(QStringLiteral("^zrv$"), 5000));
        const QRegion outside = QRegion(QRect(QPoint(0, 0), screen)) - QRegion(s.window.geometry);
        QString unlike;
        QVERIFY(WaitUntil(
            [&] {
                shot = s.desktop.Shot();
                for (const QRect& r : outside)
                    if (Differences(shot, settingsShot, r))
                        return false;
                unlike = s.CheckLikeModel(shot, {Control<QWidget>(m, "btnAls"), Control<QWidget>(m, "boxAls"),
                                                 Control<QTabWidget>(m, "PageControl")->tabBar()});
                return unlike.isEmpty();
            },
            5000));

        // The exit button: the program ends and writes the file as it read it.
        s.desktop.Click(s.At(Control<QWidget>(m, "btnClose")), s.window.id);
        QVERIFY2(s.program.WaitExit(10000), "the exit button does not end the program");
        QCOMPARE(s.program.ExitCode(), 0);
        const QString wrong = CheckSettingsFile(s.program.ReadSettings(), file);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

ZRV_E2E_MAIN(TestE2eScreens)
#include "test_e2e_screens.moc"
