// Filling, drawing and highlighting letter blocks, shared by the Pyramid and Block exercises.
#include "core/Letters.h"
#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

#include <algorithm>

LetterExercise::LetterExercise(const ExerciseSettings& settings, ExerciseDisplay& draw)
    : ExerciseRun(settings, draw), m_bloks(zrv::MaxBloks)
{
}

void LetterExercise::fillBlok(LetterBlock& block) const
{
    const auto& groups = m_settings.letterGroups;
    zrv::FillBlok(block, zrv::CharacterPool(groups[0], groups[1], groups[2], groups[3]));
}

void LetterExercise::DrawBlok(LetterBlock& block, int mode)
{
    const ExerciseSettings& s = m_settings;
    Canvas* canvas = this->canvas();
    const int h = canvas->TextHeight(block.Text[1]);
    const int lines = std::min(block.Lines, 6);
    switch (mode) {
    case 0:
    case 1:
        canvas->Brush.Color = s.background;
        canvas->Pen.Color = s.background;
        canvas->Brush.Style = bsSolid;
        canvas->Font.Color = mode == 0 ? s.background : s.passive;
        break;
    default: {
        canvas->Brush.Color = s.dot;
        canvas->Pen.Color = s.dot;
        canvas->Brush.Style = bsSolid;
        const int r = h / 4;
        const int cy = block.Y + (block.Lines * h) / 2;
        canvas->Ellipse(block.X - r, cy - r, block.X + r, cy + r);
        canvas->Brush.Color = s.background;
        canvas->Pen.Color = s.background;
        canvas->Brush.Style = bsClear;
        canvas->Font.Color = s.active;
        break;
    }
    }
    for (int i = 1; i <= lines; ++i) {
        const QString& text = block.Text[size_t(i)];
        const int wi = canvas->TextWidth(text);
        canvas->TextOut(block.X - wi / 2, block.Y + (i - 1) * h, text);
    }
    Present();
}

void LetterExercise::stepHighlight(int mode)
{
    DrawBlok(Blok(ShowOrder[size_t(Current)]), mode);
    if (++Current > OrderLength)
        Current = 1;
    DrawBlok(Blok(ShowOrder[size_t(Current)]), 2);
    m_draw.Flip();
}
