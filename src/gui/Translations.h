#pragma once

#include <QLocale>
#include <QString>

namespace zrv
{

// The program's texts are written in Turkish in its source, and Turkish is what it shows unless
// the person's UI languages (QLocale::uiLanguages: LANGUAGE, LC_MESSAGES, LANG) ask for a
// language it has a translation of (translations/zerlivan_<language>.ts, built into the program)
// before they ask for Turkish.  Qt's own texts (the buttons of message boxes, the file dialog)
// follow in the same language: Turkish by default, as the rest.

// Chooses and loads the texts for `locale`'s UI languages; returns the language chosen ("tr",
// "en").  Once at start, before anything is shown; a later call replaces the earlier choice.
QString loadTranslations(const QLocale& locale = QLocale());

// Makes the loaded texts the application's; needs the application object.
void installTranslations();

// `source` of `context` in the chosen language, also before the application object exists or
// has the texts installed (the command line, the start of the window system).
QString translated(const char* context, const char* source);

} // namespace zrv
