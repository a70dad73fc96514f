#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

void BlockExercise::start()
{
    const ExerciseSettings& s = m_settings;
    Canvas* canvas = this->canvas();
    const int h = canvas->textHeight(QStringLiteral("A"));
    const int w = canvas->textWidth(QStringLiteral("A"));
    const zrv::BlockGrid grid = zrv::BlockGridFor(s.type, s.direction, h, w, s.letters, s.lines);

    clearLayout();
    Current = 1;
    // Filled row by row: this order decides which letters each block gets.
    for (int i = 1; i <= grid.rows; ++i) {
        for (int j = 1; j <= grid.cols; ++j) {
            LetterBlock& block = Blok(zrv::BlockNumber(grid, i, j));
            block.Letters = s.letters;
            block.Lines = s.lines;
            fillBlok(block);
            block.X = zrv::BlockCenterX(s.type, j, w, s.letters);
            block.Y = zrv::BlockTop(s.type, i, h, s.lines);
            layOut(zrv::BlockNumber(grid, i, j), 1);
        }
    }
    BlocksLaidOut = grid.rows * grid.cols;
    OrderLength = zrv::BlockPath(grid, s.direction, &ShowOrder);
    present();
}

void BlockExercise::step()
{
    // An empty grid or an empty path: the background stays.
    if (BlocksLaidOut <= 0 || OrderLength <= 0)
        return;
    stepHighlight(1);
}
