// Filling, drawing and highlighting letter blocks, shared by the Pyramid and Block exercises.
#include "core/Letters.h"
#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

#include <algorithm>

LetterExercise::LetterExercise(const ExerciseSettings& settings, ExerciseDisplay& draw)
    : ExerciseRun(settings, draw), m_bloks(zrv::MaxBloks)
{
}

void LetterExercise::fillBlock(LetterBlock& block) const
{
    const auto& groups = m_settings.letterGroups;
    zrv::fillBlock(block, zrv::characterPool(groups[0], groups[1], groups[2], groups[3]));
}

void LetterExercise::drawBlock(LetterBlock& block, int mode)
{
    const ExerciseSettings& s = m_settings;
    Canvas* canvas = this->canvas();
    const int h = canvas->textHeight(block.text[1]);
    const int lines = std::min(block.lines, 6);
    switch (mode) {
    case 0:
    case 1:
        canvas->brush.color = s.background;
        canvas->pen.color = s.background;
        canvas->brush.style = bsSolid;
        canvas->font.color = mode == 0 ? s.background : s.passive;
        break;
    default: {
        canvas->brush.color = s.dot;
        canvas->pen.color = s.dot;
        canvas->brush.style = bsSolid;
        const int r = h / 4;
        const int cy = block.y + (block.lines * h) / 2;
        canvas->ellipse(block.x - r, cy - r, block.x + r, cy + r);
        canvas->brush.color = s.background;
        canvas->pen.color = s.background;
        canvas->brush.style = bsClear;
        canvas->font.color = s.active;
        break;
    }
    }
    for (int i = 1; i <= lines; ++i) {
        const QString& text = block.text[size_t(i)];
        const int wi = canvas->textWidth(text);
        canvas->textOut(block.x - wi / 2, block.y + (i - 1) * h, text);
    }
    present();
}

void LetterExercise::stepHighlight(int mode)
{
    drawBlock(block(showOrder[size_t(current)]), mode);
    if (++current > orderLength)
        current = 1;
    drawBlock(block(showOrder[size_t(current)]), 2);
    m_highlighted = true;
    m_draw.present();
}

void LetterExercise::clearLayout()
{
    m_laidOut.clear();
    m_highlighted = false;
    clearScreen();
}

void LetterExercise::layOut(int k, int mode)
{
    m_laidOut.emplace_back(k, mode);
    drawBlock(block(k), mode);
}

void LetterExercise::redraw()
{
    // A block a step leaves behind is drawn as the first frame drew it.
    clearScreen();
    for (const auto& [k, mode] : m_laidOut)
        drawBlock(block(k), mode);
    if (m_highlighted)
        drawBlock(block(showOrder[size_t(current)]), 2);
    present();
}
