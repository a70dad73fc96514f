#pragma once
// A drawing surface on the in-memory platform, initialized, for the display tests.

#include "display/ExerciseDisplay.h"
#include "display/MemoryPlatform.h"

#include <QImage>
#include <QWidget>

struct DisplayRig {
    std::shared_ptr<MemoryPlatform> platform = std::make_shared<MemoryPlatform>();
    QWidget form;
    ExerciseDisplay* draw = new ExerciseDisplay(&form, platform);

    explicit DisplayRig(bool initialize = true)
    {
        form.resize(640, 480);
        if (initialize)
            draw->Initialize();
    }
    Canvas* canvas() const { return draw->Surface()->canvas(); }
    // The drawing surface's pixels, after giving the canvas back.
    QImage surface() const
    {
        canvas()->Release();
        return draw->Surface()->Pixels();
    }
    // Fills the whole surface with one colour; returns the canvas.
    Canvas* clear(ColorValue c) const
    {
        Canvas* cv = canvas();
        cv->Brush.Color = c;
        cv->Brush.Style = bsSolid;
        cv->Pen.Color = c;
        cv->Rectangle(0, 0, 640, 480);
        return cv;
    }
};

inline quint16 pixelAt(const QImage& image, int x, int y)
{
    return reinterpret_cast<const quint16*>(image.constScanLine(y))[x];
}

inline bool allPixels(const QImage& image, quint16 value)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixelAt(image, x, y) != value)
                return false;
    return true;
}
