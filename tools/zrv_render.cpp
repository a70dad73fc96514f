// zrv_render: draws an exercise's frames without a screen and writes them as PNG files.
//
// The program's own settings model reads the settings and its exercise window runs off-screen,
// with a clock that the renderer moves from one step to the next: the frames are exactly those
// the program shows, drawn the same way (at 640 x 480, or at a screen's resolution), and a
// given seed gives the same letters every time.  The settings come from a "zrv.opt" file, the
// built-in defaults, and the options.
//
//   zrv_render --exercise block --type 1 --direction 2 --lines 2 --letters 6
//              --background Lacivert --active Beyaz --passive Sarı --dot Kırmızı
//              --seed 7 --ticks 5 --output frames/block-%02d.png
#include "core/Exceptions.h"
#include "core/Letterbox.h"
#include "core/Random.h"
#include "core/Report.h"
#include "core/SettingsModel.h"
#include "exercises/OffscreenRun.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace
{

[[noreturn]] void Fail(const QString& message)
{
    std::fprintf(stderr, "zrv_render: %s\n", qPrintable(message));
    std::exit(2);
}

// "Açık Sarı", "acik-sari", "AÇIK SARI" and "9" all name colour 9.
QString Folded(QString text)
{
    text = text.toLower();
    text.remove(QChar(0x0307)); // the dot of a lowered "İ"
    static const QString from = QStringLiteral("çğıöşü");
    static const QString to = QStringLiteral("cgiosu");
    for (int i = 0; i < from.size() && i < to.size(); ++i)
        text.replace(from[i], to[i]);
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char('-'));
    text.remove(QLatin1Char('_'));
    return text;
}

// An item index given as a number or by (part of) the item's text.
int IndexOf(const QString& value, const QStringList& items, const QString& what)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (ok && n >= 0 && n < items.size())
        return n;
    for (int i = 0; i < items.size(); ++i)
        if (Folded(items[i]) == Folded(value))
            return i;
    Fail(QStringLiteral("%1 \"%2\" is none of: %3").arg(what, value, items.join(QStringLiteral(", "))));
}

int NumberIn(const QString& value, int low, int high, const QString& what)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < low || n > high)
        Fail(QStringLiteral("%1 must be %2 to %3, not \"%4\"").arg(what).arg(low).arg(high).arg(value));
    return n;
}

const QStringList kExercises{QStringLiteral("dot"), QStringLiteral("pyramid"), QStringLiteral("block")};
const QStringList kColours{QStringLiteral("Siyah"),     QStringLiteral("Beyaz"),    QStringLiteral("Gri"),
                           QStringLiteral("Gümüş"),     QStringLiteral("Kırmızı"),  QStringLiteral("Mavi"),
                           QStringLiteral("Açık Mavi"), QStringLiteral("Lacivert"), QStringLiteral("Sarı"),
                           QStringLiteral("Açık Sarı")};

// The settings lines that the options change, in the section of `exercise`.
void ApplyOptions(const QCommandLineParser& args, int exercise, SettingsList& list)
{
    const bool dot = exercise == 0;
    const int first = exercise == 1 ? int(SettingsList::PyramidFirstLine) : int(SettingsList::BlockFirstLine);
    auto put = [&list](int line, int value) { list.putInt(line, value); };
    auto textOnly = [&](const char* option) {
        if (dot && args.isSet(QString::fromLatin1(option)))
            Fail(QStringLiteral("--%1 is for the pyramid and block exercises")
                     .arg(QString::fromLatin1(option)));
        return !dot && args.isSet(QString::fromLatin1(option));
    };

    list.putInt(SettingsList::ExerciseLine, exercise);
    if (args.isSet(QStringLiteral("type"))) {
        const int tip =
            NumberIn(args.value(QStringLiteral("type")), 0, dot ? 4 : 1, QStringLiteral("--type"));
        put(dot ? 3 : first + SettingsList::TypeOffset, tip);
    }
    if (args.isSet(QStringLiteral("direction"))) {
        const int most = dot ? 0 : (exercise == 1 ? 1 : 2);
        const int yon =
            NumberIn(args.value(QStringLiteral("direction")), 0, most, QStringLiteral("--direction"));
        put(dot ? 4 : first + SettingsList::DirectionOffset, yon);
    }
    if (textOnly("lines"))
        put(first + SettingsList::LinesOffset,
            NumberIn(args.value(QStringLiteral("lines")), 1, 6, QStringLiteral("--lines")) - 1);
    if (textOnly("letters"))
        put(first + SettingsList::LettersOffset,
            NumberIn(args.value(QStringLiteral("letters")), 4, 36, QStringLiteral("--letters")) - 4);
    const struct {
        const char* option;
        int dotLine;
        int offset;
    } colours[] = {{"background", 5, SettingsList::BackgroundOffset},
                   {"active", 6, SettingsList::ActiveOffset},
                   {"passive", 7, SettingsList::PassiveOffset},
                   {"dot", -1, SettingsList::DotOffset}};
    for (const auto& c : colours) {
        const QString option = QString::fromLatin1(c.option);
        if (!args.isSet(option))
            continue;
        if (dot && c.dotLine < 0)
            Fail(QStringLiteral("--dot is for the pyramid and block exercises"));
        put(dot ? c.dotLine : first + c.offset,
            IndexOf(args.value(option), kColours, QStringLiteral("colour")));
    }
    if (textOnly("font"))
        list.putText(first + SettingsList::FontNameOffset, args.value(QStringLiteral("font")));
    if (textOnly("size"))
        put(first + SettingsList::FontSizeOffset,
            NumberIn(args.value(QStringLiteral("size")), 1, 200, QStringLiteral("--size")));
    if (textOnly("bold"))
        list.put(first + SettingsList::FontBoldOffset, "1");
    if (textOnly("groups")) {
        const QString groups = args.value(QStringLiteral("groups"));
        if (groups.size() != 4 || groups.contains(QRegularExpression(QStringLiteral("[^01]"))))
            Fail(QStringLiteral(
                "--groups takes four 0/1 flags (lowercase, uppercase, digits, signs), e.g. 1010"));
        list.put(first + SettingsList::LetterGroupsOffset, groups.toLatin1());
    }
}

QString FrameFileName(const QString& pattern, int frame)
{
    if (pattern.contains(QLatin1Char('%'))) {
        char name[4096];
        std::snprintf(name, sizeof name, qPrintable(pattern), frame);
        return QString::fromLocal8Bit(name);
    }
    return pattern;
}

} // namespace

int main(int argc, char* argv[])
{
    // No screen is needed: the exercise draws in memory.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zrv_render"));

    QCommandLineParser args;
    args.setApplicationDescription(
        QStringLiteral("Draws the frames of a Zerlivan exercise in memory and writes them as PNG files."));
    args.addHelpOption();
    args.addOptions({
        {QStringLiteral("settings"),
         QStringLiteral("Start from this settings file (default: the built-in defaults)."),
         QStringLiteral("zrv.opt")},
        {QStringLiteral("exercise"), QStringLiteral("dot, pyramid or block (default: the file's)."),
         QStringLiteral("name")},
        {QStringLiteral("type"),
         QStringLiteral(
             "Type index: dot order 0-4, pyramid 0 Üçgen / 1 Tek Satır, block 0 Ayrı / 1 Bitişik."),
         QStringLiteral("n")},
        {QStringLiteral("direction"),
         QStringLiteral(
             "Direction index: pyramid 0 Tek Yön / 1 Çift Yön, block 0 Dikey / 1 Yatay / 2 Zigzag."),
         QStringLiteral("n")},
        {QStringLiteral("lines"), QStringLiteral("Lines per block, 1-6."), QStringLiteral("n")},
        {QStringLiteral("letters"), QStringLiteral("Letters per line, 4-36."), QStringLiteral("n")},
        {QStringLiteral("background"),
         QStringLiteral("Background colour: index 0-9 or name (Siyah, Beyaz, Gri, Gümüş, Kırmızı, Mavi, Açık "
                        "Mavi, Lacivert, Sarı, Açık Sarı)."),
         QStringLiteral("colour")},
        {QStringLiteral("active"), QStringLiteral("Active colour."), QStringLiteral("colour")},
        {QStringLiteral("passive"), QStringLiteral("Passive colour."), QStringLiteral("colour")},
        {QStringLiteral("dot"), QStringLiteral("Dot colour of the text exercises."),
         QStringLiteral("colour")},
        {QStringLiteral("font"), QStringLiteral("Font name."), QStringLiteral("name")},
        {QStringLiteral("size"), QStringLiteral("Font size in points."), QStringLiteral("points")},
        {QStringLiteral("bold"), QStringLiteral("Bold font.")},
        {QStringLiteral("groups"),
         QStringLiteral("Letter groups: four 0/1 flags, lowercase, uppercase, digits, signs."),
         QStringLiteral("flags")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random letters (default 1)."),
         QStringLiteral("n"), QStringLiteral("1")},
        {QStringLiteral("ticks"), QStringLiteral("Steps after the first frame (default 0)."),
         QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("scale"),
         QStringLiteral("Pixel size in the PNG files, 1-8 (default 2; 1 with --screen)."),
         QStringLiteral("n")},
        {QStringLiteral("screen"),
         QStringLiteral("Draw as a screen of this many pixels shows it: at its resolution, 4:3 with black "
                        "bars (e.g. 1920x1080)."),
         QStringLiteral("WxH")},
        {QStringLiteral("write-settings"),
         QStringLiteral("Only write the settings file these options make (for the program itself) and end."),
         QStringLiteral("file")},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral(
             "PNG file; with a printf number in it (frame-%02d.png) every frame is written, frame 0 being "
             "the first, else only the last."),
         QStringLiteral("file"),
         QStringLiteral("frame.png")},
    });
    args.process(app);
    if (!args.positionalArguments().isEmpty())
        Fail(QStringLiteral("unexpected argument \"%1\" (see --help)")
                 .arg(args.positionalArguments().first()));

    SettingsList list;
    if (args.isSet(QStringLiteral("settings"))) {
        const QString file = args.value(QStringLiteral("settings"));
        if (!QFileInfo(file).isReadable() || list.load(file) != SettingsList::LoadResult::Read)
            Fail(QStringLiteral("cannot read %1").arg(file));
    } else {
        list = SettingsList::defaults();
    }
    int exercise = list.readInt(SettingsList::ExerciseLine, 0);
    if (args.isSet(QStringLiteral("exercise")))
        exercise = IndexOf(args.value(QStringLiteral("exercise")), kExercises, QStringLiteral("exercise"));
    if (exercise < 0 || exercise > 2)
        exercise = 0;
    ApplyOptions(args, exercise, list);
    if (args.isSet(QStringLiteral("write-settings"))) {
        const QString file = QFileInfo(args.value(QStringLiteral("write-settings"))).absoluteFilePath();
        try {
            list.save(file);
        } catch (...) {
            Fail(QStringLiteral("cannot write %1").arg(file));
        }
        return 0;
    }
    const int ticks = NumberIn(args.value(QStringLiteral("ticks")), 0, 100000, QStringLiteral("--ticks"));
    const bool sized = args.isSet(QStringLiteral("screen"));
    const int scale = args.isSet(QStringLiteral("scale"))
                          ? NumberIn(args.value(QStringLiteral("scale")), 1, 8, QStringLiteral("--scale"))
                          : (sized ? 1 : 2);
    QSize screenSize;
    if (sized) {
        static const QRegularExpression format(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
        const auto match = format.match(args.value(QStringLiteral("screen")));
        if (match.hasMatch())
            screenSize = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        if (screenSize.width() < 64 || screenSize.height() < 48 || screenSize.width() > 8192 ||
            screenSize.height() > 8192)
            Fail(QStringLiteral("--screen must be WIDTHxHEIGHT, 64x48 to 8192x8192, not \"%1\"")
                     .arg(args.value(QStringLiteral("screen"))));
    }
    bool seedOk = false;
    const quint32 seed = args.value(QStringLiteral("seed")).toUInt(&seedOk);
    if (!seedOk)
        Fail(QStringLiteral("--seed must be a number from 0 to 4294967295"));
    const QString output = QFileInfo(args.value(QStringLiteral("output"))).absoluteFilePath();

    // The exercise window off-screen, in a working directory of its own, where the program
    // keeps its settings; errors and messages that would go to a message box go to stderr.
    QTemporaryDir workDir;
    if (!workDir.isValid() || !QDir::setCurrent(workDir.path()))
        Fail(QStringLiteral("no temporary directory"));
    QStringList reports;
    zrv::setReportHook([&reports](zrv::ReportKind, const QString& text) { reports << text; });
    list.save();

    SettingsModel model;
    try {
        model.loadAndShow();
    } catch (const Exception& e) {
        Fail(e.message() + QLatin1Char('.'));
    }

    OffscreenRun run(sized ? zrv::frameScaleFor(QSize(640, 480), screenSize) : 1.0);

    // The start button's check, without its message box.
    if (!model.canStart())
        Fail(QStringLiteral("Harf gruplarından en az birini seçiniz. (--groups)"));

    zrv::setRandSeed(seed);
    ExerciseSettings settings = model.runSettings();
    settings.exercise = model.currentExercise();
    run.start(settings);

    const bool everyFrame = output.contains(QLatin1Char('%'));
    int written = 0;
    auto write = [&](int frame) {
        QImage image = run.frame();
        if (image.isNull())
            Fail(QStringLiteral("the exercise drew nothing"));
        if (sized) {
            QImage screenImage(screenSize, QImage::Format_RGB32);
            screenImage.fill(Qt::black);
            QPainter(&screenImage).drawImage(zrv::letterboxRect(image.size(), screenSize).topLeft(), image);
            image = screenImage;
        }
        const QString name = FrameFileName(output, frame);
        QDir().mkpath(QFileInfo(name).absolutePath());
        if (!image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 .save(name, "PNG"))
            Fail(QStringLiteral("cannot write %1").arg(name));
        ++written;
    };
    if (everyFrame || ticks == 0)
        write(0);
    for (int t = 1; t <= ticks; ++t) {
        if (!run.ticking())
            Fail(QStringLiteral("the exercise stopped after %1 steps").arg(t - 1));
        run.step();
        if (everyFrame || t == ticks)
            write(t);
    }
    if (!reports.isEmpty())
        Fail(reports.join(QLatin1Char('\n')));
    std::printf("%d frame%s written\n", written, written == 1 ? "" : "s");
    zrv::setReportHook({});
    return 0;
}
