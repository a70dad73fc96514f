// The Dot exercise, and what every exercise shares.
#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

std::unique_ptr<ExerciseRun> ExerciseRun::create(const ExerciseSettings& settings, ExerciseDisplay& draw)
{
    switch (settings.exercise) {
    case ExerciseSettings::Dot:
        return std::make_unique<DotExercise>(settings, draw);
    case ExerciseSettings::Pyramid:
        return std::make_unique<PyramidExercise>(settings, draw);
    case ExerciseSettings::Block:
        return std::make_unique<BlockExercise>(settings, draw);
    default:
        return nullptr;
    }
}

Canvas* ExerciseRun::canvas() const
{
    return m_draw.surface()->canvas();
}

void ExerciseRun::clearScreen() const
{
    Canvas* canvas = this->canvas();
    canvas->brush.color = m_settings.background;
    canvas->pen.color = m_settings.background;
    canvas->brush.style = bsSolid;
    canvas->rectangle(0, 0, 640, 480);
}

void ExerciseRun::present() const
{
    m_draw.present();
}

DotExercise::DotExercise(const ExerciseSettings& settings, ExerciseDisplay& draw)
    : ExerciseRun(settings, draw)
{
}

void DotExercise::setDotPosition(int position)
{
    int column = 0;
    int row = 0;
    if (!zrv::dotPositionCell(position, &column, &row))
        return;
    dotX = dotColumns[size_t(column)];
    dotY = dotRows[size_t(row)];
}

void DotExercise::drawDot(int position, ColorValue color)
{
    Canvas* canvas = this->canvas();
    canvas->brush.color = color;
    canvas->pen.color = color;
    setDotPosition(position);
    canvas->ellipse(dotX - 10, dotY - 10, dotX + 10, dotY + 10);
}

void DotExercise::drawPassiveDots()
{
    clearScreen();
    const int passive = zrv::dotPassiveCount(m_settings.type);
    for (int p = 1; p <= passive; ++p)
        drawDot(p, m_settings.passive);
}

void DotExercise::start()
{
    dotStep = 1;
    std::array<int, 9> order{};
    if (zrv::dotOrderFor(m_settings.type, &order))
        std::copy(order.begin(), order.end(), dotOrder.begin());
    m_stepped = false;
    drawPassiveDots();
    present();
}

void DotExercise::step()
{
    drawDot(dotOrder[size_t(dotStep)], m_settings.passive);
    if (++dotStep > 8)
        dotStep = 1;
    drawDot(dotOrder[size_t(dotStep)], m_settings.active);
    m_stepped = true;
    present();
}

void DotExercise::redraw()
{
    // Every dot a step leaves behind is passive again, as in the first frame.
    drawPassiveDots();
    if (m_stepped)
        drawDot(dotOrder[size_t(dotStep)], m_settings.active);
    present();
}
