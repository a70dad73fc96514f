#pragma once
// Reading exercise frames off screenshots.  The 640 x 480 frame is shown scaled as large as it
// fits with 4:3 kept, centred, nearest neighbour (each screen pixel shows the frame pixel under
// its centre), black bars around it.  These helpers compute that independently of the program.

#include <QImage>
#include <QRect>
#include <QSize>

namespace e2e
{

constexpr QSize kFrameSize(640, 480);

// Where the frame lies on a screen of `screen` pixels.
QRect FrameBox(QSize screen);

// The 640 x 480 frame that `shot` shows in `box`: each frame pixel read at the screen pixel
// under its centre.
QImage FrameOf(const QImage& shot, QRect box);
// The screen that shows `frame` (RGB32) in `box`, black elsewhere.
QImage ScreenOf(const QImage& frame, QRect box, QSize screen);

// Number of pixels that differ inside `area` (both images RGB32; a null area: all).
int Differences(const QImage& a, const QImage& b, QRect area = QRect());
// The smallest rectangle that holds every differing pixel (null when none differs).
QRect ChangedArea(const QImage& a, const QImage& b, QRect area = QRect());
// True when every pixel of `area` has the same colour.
bool Uniform(const QImage& image, QRect area);
// Pixels of `colour` inside `area`.
int Count(const QImage& image, QRgb colour, QRect area = QRect());

} // namespace e2e
