// The Pyramid exercise: blocks two characters wider each, stacked as a triangle ("Üçgen") or
// shown one at a time in the middle of the screen ("Tek Satır"); the highlight moves through
// them one way ("Tek Yön") or there and back ("Çift Yön").
#include "display/DXDraw.h"
#include "exercises/Layout.h"
#include "exercises/ScreenForm.h"
#include "settings/MainForm.h"

#include <QComboBox>

void TScreenForm::StartPyramid()
{
    const int layout = m_main->boxTip->currentIndex();
    const int direction = m_main->boxYon->currentIndex();
    TDirectDrawSurfaceCanvas* canvas = DXDraw->Surface()->Canvas();
    const int h = canvas->TextHeight(QStringLiteral("A"));
    const int w = canvas->TextWidth(QStringLiteral("A"));
    const int n = zrv::PyramidCount(layout, h, w, LetterCount, LineCount);

    canvas->Brush.Color = BackColor;
    canvas->Pen.Color = BackColor;
    canvas->Brush.Style = bsSolid;
    canvas->Rectangle(0, 0, 640, 480);
    Current = 1;
    OrderLength = zrv::PyramidOrder(n, direction, &ShowOrder);
    BlocksLaidOut = std::max(0, std::min(n, zrv::MaxBloks));
    for (int i = 1; i <= BlocksLaidOut; ++i) {
        TBlok& block = *Bloks[size_t(i)];
        block.Letters = zrv::PyramidLetters(i, LetterCount);
        block.Lines = LineCount;
        fillBlok(block);
        block.X = 320;
        block.Y = zrv::PyramidTop(layout, i, h, LineCount);
        DrawBlok(block, layout == 0 ? 1 : 0);
    }
    canvas->Release();
    DXDraw->Flip();
}

void TScreenForm::StepPyramid()
{
    // With nothing laid out (a font too large for the settings) the background stays.
    if (BlocksLaidOut <= 0)
        return;
    const int layout = m_main->boxTip->currentIndex();
    DrawBlok(*Bloks[size_t(ShowOrder[size_t(Current)])], layout == 0 ? 1 : 0);
    if (++Current > OrderLength)
        Current = 1;
    DrawBlok(*Bloks[size_t(ShowOrder[size_t(Current)])], 2);
    DXDraw->Flip();
}
