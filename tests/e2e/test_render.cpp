// The frame renderer draws exactly the frames the program's exercise window draws, the same
// ones for the same seed, and writes them scaled up pixel for pixel.
#include "Frames.h"
#include "Model.h"
#include "core/Random.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace e2e;

namespace
{
// Runs the renderer; its exit code.
int Render(const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZRV_RENDER_PATH), arguments);
    if (!process.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestRender : public QObject
{
    Q_OBJECT

  private slots:
    void sameFramesAsProgram_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("ticks");
        QTest::newRow("Nokta, eight points")
            << QStringList{"--exercise", "dot", "--type", "3", "--background", "Lacivert"} << 5;
        QTest::newRow("Piramit Üçgen")
            << QStringList{"--exercise", "pyramid", "--lines", "2", "--groups", "1010"} << 4;
        QTest::newRow("Piramit Tek Satır")
            << QStringList{"--exercise", "pyramid", "--type", "1", "--letters", "6", "--dot", "kirmizi"} << 7;
        QTest::newRow("Blok Bitişik Zigzag, bold")
            << QStringList{"--exercise", "block", "--type", "1", "--direction", "2", "--size", "12", "--bold"}
            << 3;
    }
    void sameFramesAsProgram()
    {
        QFETCH(QStringList, options);
        QFETCH(int, ticks);
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("zrv.opt"));
        QString said;
        QCOMPARE(Render(options + QStringList{"--write-settings", settings}, &said), 0);
        QCOMPARE(Render(options + QStringList{"--seed", "77", "--ticks", QString::number(ticks), "--scale",
                                              "1", "-o", dir.filePath(QStringLiteral("f-%02d.png"))},
                        &said),
                 0);

        // The program's windows with the file the options made, the same seed.
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        Model model(file.readAll());
        zrv::setRandSeed(77);
        model.Start();
        for (int k = 0; k <= ticks; ++k) {
            if (k)
                model.Tick();
            const QImage written(dir.filePath(QStringLiteral("f-%1.png").arg(k, 2, 10, QLatin1Char('0'))));
            QCOMPARE(written.size(), kFrameSize);
            QVERIFY2(Differences(written.convertToFormat(QImage::Format_RGB32), model.Frame()) == 0,
                     qPrintable(QStringLiteral("frame %1 differs").arg(k)));
        }
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("f-*.png")}).size(), ticks + 1);
    }

    void seedScaleAndLastFrame()
    {
        QTemporaryDir dir;
        const QStringList block{"--exercise", "block", "--ticks", "2"};
        QCOMPARE(Render(block + QStringList{"--seed", "5", "--scale", "1", "-o", dir.filePath("a.png")}), 0);
        QCOMPARE(Render(block + QStringList{"--seed", "5", "--scale", "1", "-o", dir.filePath("b.png")}), 0);
        QCOMPARE(Render(block + QStringList{"--seed", "6", "--scale", "1", "-o", dir.filePath("c.png")}), 0);
        QCOMPARE(Render(block + QStringList{"--seed", "5", "--scale", "3", "-o", dir.filePath("d.png")}), 0);
        QCOMPARE(Read(dir.filePath("a.png")), Read(dir.filePath("b.png")));
        QVERIFY(Read(dir.filePath("a.png")) != Read(dir.filePath("c.png")));
        // Three times as large, each pixel a 3 x 3 square.
        const QImage one = QImage(dir.filePath("a.png")).convertToFormat(QImage::Format_RGB32);
        const QImage three = QImage(dir.filePath("d.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(three.size(), one.size() * 3);
        QCOMPARE(
            Differences(three, one.scaled(one.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)), 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("no letter group") << QStringList{"--exercise", "pyramid", "--groups", "0000"}
                                         << QStringLiteral("Harf gruplarından en az birini seçiniz.");
        QTest::newRow("letters for Dot")
            << QStringList{"--exercise", "dot", "--letters", "8"}
            << QStringLiteral("--letters is for the pyramid and block exercises");
        QTest::newRow("no such colour")
            << QStringList{"--background", "turuncu"} << QStringLiteral("colour \"turuncu\"");
        QTest::newRow("seven lines") << QStringList{"--exercise", "block", "--lines", "7"}
                                     << QStringLiteral("--lines must be 1 to 6");
        QTest::newRow("no such file")
            << QStringList{"--settings", "/nonexistent/zrv.opt"} << QStringLiteral("cannot read");
    }
    void refusals()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString said;
        QCOMPARE(Render(options + QStringList{"-o", dir.filePath("x.png")}, &said), 2);
        QVERIFY2(said.contains(message), qPrintable(said));
        QVERIFY(!QFile::exists(dir.filePath("x.png")));
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
