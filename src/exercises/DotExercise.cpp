// The Dot exercise: a dot jumps between four or eight fixed points in the order chosen in
// boxTip.  The first frame shows the passive dots; each tick repaints the active dot passive
// and lights the next one.
#include "display/DXDraw.h"
#include "exercises/ScreenForm.h"
#include "settings/MainForm.h"

#include <QComboBox>

void TScreenForm::SetDotPosition(int position)
{
    int column = 0;
    int row = 0;
    if (!zrv::DotPositionCell(position, &column, &row))
        return;
    DotX = DotColumns[size_t(column)];
    DotY = DotRows[size_t(row)];
}

void TScreenForm::drawDot(int position, TColor color)
{
    TDirectDrawSurfaceCanvas* canvas = DXDraw->Surface()->Canvas();
    canvas->Brush.Color = color;
    canvas->Pen.Color = color;
    SetDotPosition(position);
    canvas->Ellipse(DotX - 10, DotY - 10, DotX + 10, DotY + 10);
}

void TScreenForm::StartDot()
{
    const int tip = m_main->boxTip->currentIndex();
    DotStep = 1;
    std::array<int, 9> order{};
    if (zrv::DotOrderFor(tip, &order))
        std::copy(order.begin(), order.end(), DotOrder.begin());

    TDirectDrawSurfaceCanvas* canvas = DXDraw->Surface()->Canvas();
    canvas->Brush.Color = BackColor;
    canvas->Pen.Color = BackColor;
    canvas->Brush.Style = bsSolid;
    canvas->Rectangle(0, 0, 640, 480);
    const int passive = zrv::DotPassiveCount(tip);
    for (int p = 1; p <= passive; ++p)
        drawDot(p, PassiveColor);
    canvas->Release();
    DXDraw->Flip();
}

void TScreenForm::StepDot()
{
    drawDot(DotOrder[size_t(DotStep)], PassiveColor);
    if (++DotStep > 8)
        DotStep = 1;
    drawDot(DotOrder[size_t(DotStep)], ActiveColor);
    DXDraw->Surface()->Canvas()->Release();
    DXDraw->Flip();
}
