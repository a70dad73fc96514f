#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

void BlockExercise::start()
{
    const ExerciseSettings& s = m_settings;
    Canvas* canvas = this->canvas();
    const int h = canvas->textHeight(QStringLiteral("A"));
    const int w = canvas->textWidth(QStringLiteral("A"));
    const zrv::BlockGrid grid = zrv::blockGridFor(s.type, s.direction, h, w, s.letters, s.lines);

    clearLayout();
    current = 1;
    // Filled row by row: this order decides which letters each block gets.
    for (int i = 1; i <= grid.rows; ++i) {
        for (int j = 1; j <= grid.cols; ++j) {
            LetterBlock& block = this->block(zrv::blockNumber(grid, i, j));
            block.letters = s.letters;
            block.lines = s.lines;
            fillBlock(block);
            block.x = zrv::blockCenterX(s.type, j, w, s.letters);
            block.y = zrv::blockTop(s.type, i, h, s.lines);
            layOut(zrv::blockNumber(grid, i, j), 1);
        }
    }
    blocksLaidOut = grid.rows * grid.cols;
    orderLength = zrv::blockPath(grid, s.direction, &showOrder);
    present();
}

void BlockExercise::step()
{
    // An empty grid or an empty path: the background stays.
    if (blocksLaidOut <= 0 || orderLength <= 0)
        return;
    stepHighlight(1);
}
