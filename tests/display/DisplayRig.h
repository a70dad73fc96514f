#pragma once
// The frame surface of an exercise display kept off-screen, initialized, for the display tests.

#include "core/Color.h"
#include "core/Letterbox.h"
#include "display/ExerciseDisplay.h"

#include <QImage>
#include <QWidget>
#include <cmath>

struct DisplayRig {
    QWidget form;
    ExerciseDisplay* draw = new ExerciseDisplay(&form);

    explicit DisplayRig(double scale = 1, bool initialize = true)
    {
        form.resize(640, 480);
        draw->setOffscreenScale(scale);
        if (initialize)
            draw->initialize();
    }
    Canvas* canvas() const { return draw->surface()->canvas(); }
    double scale() const { return draw->surface()->scale(); }
    // The surface's pixels, after giving the canvas back.
    QImage surface() const
    {
        canvas()->release();
        return draw->surface()->image();
    }
    // Fills the whole surface with one colour; returns the canvas.
    Canvas* clear(ColorValue c) const
    {
        Canvas* cv = canvas();
        cv->brush.color = c;
        cv->brush.style = bsSolid;
        cv->pen.color = c;
        cv->rectangle(0, 0, 640, 480);
        return cv;
    }
};

inline QRgb rgbOf(ColorValue c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

// The colour of frame unit (x, y) of a frame drawn at `scale`: the device pixel under the unit's
// centre.
inline QRgb pixelAt(const QImage& image, int x, int y, double scale = 1)
{
    return image.pixel(int(std::floor((x + 0.5) * scale)), int(std::floor((y + 0.5) * scale))) | 0xFF000000u;
}

inline bool allPixels(const QImage& image, ColorValue value)
{
    const QRgb want = rgbOf(value);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) != want)
                return false;
    return true;
}
