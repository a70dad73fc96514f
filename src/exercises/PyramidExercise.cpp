#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

void PyramidExercise::start()
{
    const ExerciseSettings& s = m_settings;
    Canvas* canvas = this->canvas();
    const int h = canvas->textHeight(QStringLiteral("A"));
    const int w = canvas->textWidth(QStringLiteral("A"));
    const int n = zrv::pyramidCount(s.type, h, w, s.letters, s.lines);

    clearLayout();
    current = 1;
    orderLength = zrv::pyramidOrder(n, s.direction, &showOrder);
    blocksLaidOut = std::max(0, std::min(n, zrv::MaxBloks));
    for (int i = 1; i <= blocksLaidOut; ++i) {
        LetterBlock& block = this->block(i);
        block.letters = zrv::pyramidLetters(i, s.letters);
        block.lines = s.lines;
        fillBlock(block);
        block.x = 320;
        block.y = zrv::pyramidTop(s.type, i, h, s.lines);
        layOut(i, s.type == 0 ? 1 : 0);
    }
    present();
}

void PyramidExercise::step()
{
    // With nothing laid out (a font too large for the settings) the background stays.
    if (blocksLaidOut <= 0)
        return;
    stepHighlight(m_settings.type == 0 ? 1 : 0);
}
