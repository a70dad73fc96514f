#include "gui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace
{

// Where qt_add_translations puts the built translations among the program's resources.
const QString kProgramTexts = QStringLiteral(":/i18n");

// Qt's texts that its Turkish catalogue lacks: the file dialog's kinds of files, which Qt 6
// moved to a context the catalogue does not have yet (its "Folder" stayed English).
class QtTurkishGaps : public QTranslator
{
  public:
    QString translate(const char* context, const char* source, const char* = nullptr, int = -1) const override
    {
        static const char* const kinds[][2] = {{"Folder", "Klasör"},      {"File Folder", "Dosya Klasörü"},
                                               {"Drive", "Sürücü"},       {"File", "Dosya"},
                                               {"%1 File", "%1 Dosyası"}, {"Shortcut", "Kısayol"},
                                               {"Unknown", "Bilinmeyen"}};
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        for (const auto& kind : kinds) {
            if (qstrcmp(source, kind[0]) == 0)
                return QString::fromUtf8(kind[1]);
        }
        return {};
    }
    bool isEmpty() const override { return false; }
};

struct Loaded {
    QString language = QStringLiteral("tr");
    std::unique_ptr<QTranslator> program; // none for Turkish, the source's own
    std::unique_ptr<QTranslator> qt;
    std::unique_ptr<QTranslator> qtGaps; // Turkish only
};

Loaded& loaded()
{
    static Loaded texts;
    return texts;
}

} // namespace

namespace zrv
{

QString loadTranslations(const QLocale& locale)
{
    Loaded& texts = loaded();
    // The translators go; a QTranslator takes itself out of the application as it goes.
    texts = Loaded();
    auto program = std::make_unique<QTranslator>();
    // The first UI language that is Turkish or has a translation wins ("de:en" is English,
    // "tr:en" Turkish).
    for (const QString& name : locale.uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::Turkish)
            break;
        if (program->load(language, QStringLiteral("zerlivan"), QStringLiteral("_"), kProgramTexts)) {
            texts.language = program->language().section(QLatin1Char('_'), 0, 0);
            texts.program = std::move(program);
            break;
        }
    }
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + texts.language,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        texts.qt = std::move(qt);
    if (texts.language == QLatin1String("tr"))
        texts.qtGaps = std::make_unique<QtTurkishGaps>();
    return texts.language;
}

void installTranslations()
{
    for (QTranslator* translator : {loaded().qt.get(), loaded().qtGaps.get(), loaded().program.get()}) {
        if (translator)
            QCoreApplication::installTranslator(translator);
    }
}

QString translated(const char* context, const char* source)
{
    // From the translator itself: the application object, while it is being made, has none yet.
    if (const QTranslator* program = loaded().program.get()) {
        QString text = program->translate(context, source);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(source);
}

} // namespace zrv
