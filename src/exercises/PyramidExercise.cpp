#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

void PyramidExercise::start()
{
    const ExerciseSettings& s = m_settings;
    Canvas* canvas = this->canvas();
    const int h = canvas->textHeight(QStringLiteral("A"));
    const int w = canvas->textWidth(QStringLiteral("A"));
    const int n = zrv::PyramidCount(s.type, h, w, s.letters, s.lines);

    clearLayout();
    Current = 1;
    OrderLength = zrv::PyramidOrder(n, s.direction, &ShowOrder);
    BlocksLaidOut = std::max(0, std::min(n, zrv::MaxBloks));
    for (int i = 1; i <= BlocksLaidOut; ++i) {
        LetterBlock& block = Blok(i);
        block.Letters = zrv::PyramidLetters(i, s.letters);
        block.Lines = s.lines;
        fillBlok(block);
        block.X = 320;
        block.Y = zrv::PyramidTop(s.type, i, h, s.lines);
        layOut(i, s.type == 0 ? 1 : 0);
    }
    present();
}

void PyramidExercise::step()
{
    // With nothing laid out (a font too large for the settings) the background stays.
    if (BlocksLaidOut <= 0)
        return;
    stepHighlight(m_settings.type == 0 ? 1 : 0);
}
