// The Block exercise: a grid of equal blocks, separate ("Ayrı bloklar") or touching
// ("Bitişik bloklar"); the highlight walks down the columns, along the rows or in a zigzag
// between the first and last column.
#include "display/DXDraw.h"
#include "exercises/Layout.h"
#include "exercises/ScreenForm.h"
#include "settings/MainForm.h"

#include <QComboBox>

void TScreenForm::StartBlock()
{
    const int layout = m_main->boxTip->currentIndex();
    const int direction = m_main->boxYon->currentIndex();
    TDirectDrawSurfaceCanvas* canvas = DXDraw->Surface()->Canvas();
    const int h = canvas->TextHeight(QStringLiteral("A"));
    const int w = canvas->TextWidth(QStringLiteral("A"));
    const zrv::BlockGrid grid = zrv::BlockGridFor(layout, direction, h, w, LetterCount, LineCount);

    canvas->Brush.Color = BackColor;
    canvas->Pen.Color = BackColor;
    canvas->Brush.Style = bsSolid;
    canvas->Rectangle(0, 0, 640, 480);
    Current = 1;
    // Filled row by row: this order decides which letters each block gets.
    for (int i = 1; i <= grid.rows; ++i) {
        for (int j = 1; j <= grid.cols; ++j) {
            TBlok& block = *Bloks[size_t(zrv::BlockNumber(grid, i, j))];
            block.Letters = LetterCount;
            block.Lines = LineCount;
            fillBlok(block);
            block.X = zrv::BlockCenterX(layout, j, w, LetterCount);
            block.Y = zrv::BlockTop(layout, i, h, LineCount);
            DrawBlok(block, 1);
        }
    }
    BlocksLaidOut = grid.rows * grid.cols;
    OrderLength = zrv::BlockPath(grid, direction, &ShowOrder);
    canvas->Release();
    DXDraw->Flip();
}

void TScreenForm::StepBlock()
{
    // An empty grid or an empty path: the background stays.
    if (BlocksLaidOut <= 0 || OrderLength <= 0)
        return;
    DrawBlok(*Bloks[size_t(ShowOrder[size_t(Current)])], 1);
    if (++Current > OrderLength)
        Current = 1;
    DrawBlok(*Bloks[size_t(ShowOrder[size_t(Current)])], 2);
    DXDraw->Flip();
}
