#include "app/CommandLine.h"

#include "gui/Translations.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <cstdlib>

#ifndef ZRV_VERSION
#error "ZRV_VERSION: the project's version, set by CMake"
#endif

namespace
{

void print(std::FILE* to, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

// The texts in the person's language (gui/Translations.h), before the application object exists.
QString localText(const char* source)
{
    return zrv::translated("CommandLine", source);
}

const char kHelp[] = QT_TRANSLATE_NOOP(
    "CommandLine", "Kullanım: zerlivan [seçenekler]\n"
                   "Hızlı okuma için göz alıştırmaları: nokta, piramit ve blok.\n"
                   "Ayarlar, programın başlatıldığı dizindeki zrv.opt dosyasında tutulur.\n"
                   "\n"
                   "Seçenekler:\n"
                   "  -h, --help     Bu yardımı gösterir.\n"
                   "  -v, --version  Sürümü gösterir.\n"
                   "  --page program Pencereyi Program sayfasında açar.\n"
                   "  --remind       Pencere açmadan, günün hedefi tutmadıysa bir masaüstü\n"
                   "                 bildirimi gönderir (oturum açılışında başlatılır).\n"
                   "\n"
                   "Qt'nin kendi seçenekleri de (-platform, -style, -display, ...) geçerlidir.\n");

// --- The start of the application object -------------------------------------------------------

struct Held {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QtMessageHandler g_previous = nullptr;
std::FILE* g_err = stderr;
QList<Held>* g_held = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        g_held->append({type, QByteArray(context.category ? context.category : "default"), text});
        return;
    }
    // Qt's fatal path at start: no platform plugin could be started, which with a desktop
    // platform means that its display server cannot be reached.
    const QByteArray x11 = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    QString line;
    if (x11.isEmpty() && wayland.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        line =
            localText(QT_TRANSLATE_NOOP("CommandLine", "zerlivan: ekran yok: DISPLAY ve WAYLAND_DISPLAY boş; "
                                                       "program bir masaüstü oturumunda çalışır.\n"));
    else
        line = localText(
                   QT_TRANSLATE_NOOP("CommandLine",
                                     "zerlivan: ekrana bağlanılamadı (DISPLAY=%1, WAYLAND_DISPLAY=%2%3).\n"))
                   .arg(QString::fromLocal8Bit(x11), QString::fromLocal8Bit(wayland),
                        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                            ? QString()
                            : QStringLiteral(", QT_QPA_PLATFORM=") + qEnvironmentVariable("QT_QPA_PLATFORM"));
    print(g_err, line);
    std::_Exit(1);
}

} // namespace

namespace zrv
{

std::optional<int> handleCommandLine(const QStringList& arguments, std::FILE* out, std::FILE* err,
                                     StartOptions* start)
{
    QCommandLineParser parser;
    // Qt's options are single words after one dash ("-platform xcb").
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption remind(QStringLiteral("remind"));
    const QCommandLineOption page(QStringLiteral("page"), QString(), QStringLiteral("page"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(remind);
    parser.addOption(page);
    // What QGuiApplication, QApplication and the X11 platform take from the command line.
    static const char* const kQtValueOptions[] = {"platform",
                                                  "platformpluginpath",
                                                  "platformtheme",
                                                  "plugin",
                                                  "qwindowgeometry",
                                                  "geometry",
                                                  "qwindowtitle",
                                                  "title",
                                                  "qwindowicon",
                                                  "icon",
                                                  "session",
                                                  "display",
                                                  "name",
                                                  "style",
                                                  "stylesheet",
                                                  "qmljsdebugger",
                                                  "visual"};
    static const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb",
                                           "dograb",  "sync",        "testability"};
    for (const char* name : kQtValueOptions) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }
    for (const char* name : kQtFlags) {
        QCommandLineOption o(QString::fromLatin1(name));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    }

    const auto wrong = [err](const QString& what) {
        print(err,
              localText(QT_TRANSLATE_NOOP("CommandLine", "zerlivan: %1\nSeçenekler için: zerlivan --help\n"))
                  .arg(what));
        return 2;
    };
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return wrong(
                localText(QT_TRANSLATE_NOOP("CommandLine", "bilinmeyen seçenek '%1'")).arg(unknown.first()));
        return wrong(localText(QT_TRANSLATE_NOOP("CommandLine", "komut satırı okunamadı (%1)"))
                         .arg(parser.errorText()));
    }
    if (parser.isSet(help)) {
        print(out, localText(kHelp));
        return 0;
    }
    if (parser.isSet(version)) {
        print(out, QStringLiteral("zerlivan %1\n").arg(QLatin1String(ZRV_VERSION)));
        return 0;
    }
    if (parser.isSet(page) && parser.value(page) != QLatin1String("program"))
        return wrong(
            localText(QT_TRANSLATE_NOOP("CommandLine", "bilinmeyen sayfa '%1'")).arg(parser.value(page)));
    if (start) {
        start->remind = parser.isSet(remind);
        start->programPage = parser.isSet(page);
    }
    if (!parser.positionalArguments().isEmpty())
        return wrong(localText(QT_TRANSLATE_NOOP("CommandLine", "beklenmeyen argüman '%1'"))
                         .arg(parser.positionalArguments().first()));
    return std::nullopt;
}

void beginApplicationStart(std::FILE* err)
{
    g_err = err;
    g_held = new QList<Held>;
    g_previous = qInstallMessageHandler(holdMessage);
}

void endApplicationStart()
{
    qInstallMessageHandler(g_previous);
    const QList<Held> held = std::move(*g_held);
    delete g_held;
    g_held = nullptr;
    for (const Held& m : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
        if (g_previous)
            g_previous(m.type, context, m.text);
    }
}

} // namespace zrv
