// The Dot exercise, and what every exercise shares.
#include "display/ExerciseDisplay.h"
#include "exercises/ExerciseRun.h"

std::unique_ptr<ExerciseRun> ExerciseRun::Create(const ExerciseSettings& settings, ExerciseDisplay& draw)
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
    return m_draw.Surface()->canvas();
}

void ExerciseRun::ClearScreen() const
{
    Canvas* canvas = this->canvas();
    canvas->Brush.Color = m_settings.background;
    canvas->Pen.Color = m_settings.background;
    canvas->Brush.Style = bsSolid;
    canvas->Rectangle(0, 0, 640, 480);
}

void ExerciseRun::Present() const
{
    canvas()->Release();
    m_draw.Flip();
}

DotExercise::DotExercise(const ExerciseSettings& settings, ExerciseDisplay& draw)
    : ExerciseRun(settings, draw)
{
}

void DotExercise::SetDotPosition(int position)
{
    int column = 0;
    int row = 0;
    if (!zrv::DotPositionCell(position, &column, &row))
        return;
    DotX = DotColumns[size_t(column)];
    DotY = DotRows[size_t(row)];
}

void DotExercise::drawDot(int position, ColorValue color)
{
    Canvas* canvas = this->canvas();
    canvas->Brush.Color = color;
    canvas->Pen.Color = color;
    SetDotPosition(position);
    canvas->Ellipse(DotX - 10, DotY - 10, DotX + 10, DotY + 10);
}

void DotExercise::Start()
{
    DotStep = 1;
    std::array<int, 9> order{};
    if (zrv::DotOrderFor(m_settings.type, &order))
        std::copy(order.begin(), order.end(), DotOrder.begin());

    ClearScreen();
    const int passive = zrv::DotPassiveCount(m_settings.type);
    for (int p = 1; p <= passive; ++p)
        drawDot(p, m_settings.passive);
    Present();
}

void DotExercise::Step()
{
    drawDot(DotOrder[size_t(DotStep)], m_settings.passive);
    if (++DotStep > 8)
        DotStep = 1;
    drawDot(DotOrder[size_t(DotStep)], m_settings.active);
    Present();
}
