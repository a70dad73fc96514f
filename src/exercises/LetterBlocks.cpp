// Filling and drawing letter blocks, shared by the Pyramid and Block exercises.
#include "display/DXDraw.h"
#include "exercises/Letters.h"
#include "exercises/ScreenForm.h"
#include "settings/MainForm.h"

#include <QCheckBox>
#include <algorithm>

void TScreenForm::fillBlok(TBlok& block)
{
    // The pool follows the letter-group boxes at the moment of the call.
    const QString pool = zrv::CharacterPool(m_main->boxharf1->isChecked(), m_main->boxharf2->isChecked(),
                                            m_main->boxharf3->isChecked(), m_main->boxharf4->isChecked());
    zrv::FillBlok(block, pool);
}

// Mode 0 hides the block (its boxes in the background colour), 1 shows it passive, 2 shows it
// active: the text in the active colour over a dot in the dot colour at the block's middle.
void TScreenForm::DrawBlok(TBlok& block, int mode)
{
    TDirectDrawSurfaceCanvas* canvas = DXDraw->Surface()->Canvas();
    const int h = canvas->TextHeight(block.Text[1]);
    const int lines = std::min(block.Lines, 6);
    switch (mode) {
    case 0:
    case 1:
        canvas->Brush.Color = BackColor;
        canvas->Pen.Color = BackColor;
        canvas->Brush.Style = bsSolid;
        canvas->Font.Color = mode == 0 ? BackColor : PassiveColor;
        break;
    default: {
        canvas->Brush.Color = DotColor;
        canvas->Pen.Color = DotColor;
        canvas->Brush.Style = bsSolid;
        const int r = h / 4;
        const int cy = block.Y + (block.Lines * h) / 2;
        canvas->Ellipse(block.X - r, cy - r, block.X + r, cy + r);
        canvas->Brush.Color = BackColor;
        canvas->Pen.Color = BackColor;
        canvas->Brush.Style = bsClear;
        canvas->Font.Color = ActiveColor;
        break;
    }
    }
    for (int i = 1; i <= lines; ++i) {
        const QString& text = block.Text[size_t(i)];
        const int wi = canvas->TextWidth(text);
        canvas->TextOut(block.X - wi / 2, block.Y + (i - 1) * h, text);
    }
    canvas->Release();
    DXDraw->Flip();
}
