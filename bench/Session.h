#pragma once
// The two windows of the program, made as the program makes them, in a temporary working
// directory so that no settings file of the user is read or written, with the exercise chosen
// through the settings window's own controls.

#include "display/DXTimer.h"
#include "exercises/ScreenForm.h"
#include "settings/FontDialog.h"
#include "settings/MainForm.h"
#include "settings/SpinEdit.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace bench
{

enum class Exercise { Dot = 0, Pyramid = 1, Block = 2 };

inline const char* ExerciseName(Exercise e)
{
    switch (e) {
    case Exercise::Dot:
        return "dot";
    case Exercise::Pyramid:
        return "pyramid";
    case Exercise::Block:
        return "block";
    }
    return "?";
}

inline bool ParseExercise(const QString& text, Exercise& out)
{
    if (text == QLatin1String("dot"))
        out = Exercise::Dot;
    else if (text == QLatin1String("pyramid"))
        out = Exercise::Pyramid;
    else if (text == QLatin1String("block"))
        out = Exercise::Block;
    else
        return false;
    return true;
}

// The font size of the heavy text cases: small, so that the most blocks fit.
inline constexpr int kSmallFont_pt = 6;

class Session
{
  public:
    explicit Session(ExerciseEnvironment environment = {}) : m_previousDir(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
        main = std::make_unique<TMainForm>();
        screen = std::make_unique<TScreenForm>(main.get(), std::move(environment));
        main->SetScreenForm(screen.get());
    }
    ~Session()
    {
        screen.reset();
        main.reset();
        QDir::setCurrent(m_previousDir);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Shows the settings window (which loads the built-in defaults: there is no file here) and
    // picks the exercise and the pace through its controls.  The text exercises get their
    // heaviest case: Pyramid "Üçgen", Block "Bitişik bloklar" with 36 letters x 6 lines, both
    // with a small font.
    void Configure(Exercise exercise, int interval_ms)
    {
        main->show();
        QCoreApplication::processEvents();
        main->boxAls->setCurrentIndex(int(exercise));
        main->boxAlsChange();
        main->valHiz->SetValue(interval_ms);
        if (exercise == Exercise::Pyramid) {
            main->boxTip->setCurrentIndex(0); // "Üçgen"
            main->FontDialog->SetSize(kSmallFont_pt);
        } else if (exercise == Exercise::Block) {
            main->boxTip->setCurrentIndex(1); // "Bitişik bloklar"
            main->boxStr->setCurrentIndex(5); // "6 Satır"
            main->boxHrf->setCurrentIndex(main->boxHrf->findText(QStringLiteral("36")));
            main->FontDialog->SetSize(kSmallFont_pt);
        }
        main->boxDkk->setCurrentIndex(0); // "Sürekli": the bench ends the run itself
    }

    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TScreenForm> screen;

  private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

} // namespace bench
