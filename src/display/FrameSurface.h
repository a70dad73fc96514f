#pragma once

#include "display/Canvas.h"

#include <QImage>
#include <QRegion>
#include <functional>
#include <memory>

// The exercise frame: 640 x 480 frame units kept in one 32-bit image (RGB32) at `scale` device
// pixels a unit, with the canvas that draws on it.  The screen shows this image (letterboxed,
// see ExerciseDisplay); in memory (tests, the frame renderer) it is the result itself.  A new
// surface is black.
class FrameSurface
{
  public:
    static constexpr int Width = 640;
    static constexpr int Height = 480;

    // Throws DisplayError "Surface cannot be made" when the image's memory cannot be had.
    explicit FrameSurface(double scale);
    // A surface in memory of someone else's from the start (as moveTo() leaves it): `bits`,
    // rows `bytesPerLine` apart, as large as sizeFor(scale).
    FrameSurface(double scale, uchar* bits, qsizetype bytesPerLine);
    // The image's size at `scale`; empty when there is none.
    static QSize sizeFor(double scale);
    ~FrameSurface();
    FrameSurface(const FrameSurface&) = delete;
    FrameSurface& operator=(const FrameSurface&) = delete;

    // The canvas, made at the first call; it lives as long as the surface.
    Canvas* canvas();
    int width() const { return Width; }
    int height() const { return Height; }
    // Device pixels per frame unit.
    double scale() const { return m_scale; }
    // The pixels: deviceSizeOf(640 x 480, scale()), RGB32.
    const QImage& image() const { return m_image; }

    // What was drawn since the last call, in frame units (all of the frame after the surface
    // was made); resets it.
    QRegion takeChanged();

    // The pixels kept in memory of someone else's from now on: `bits`, rows `bytesPerLine`
    // apart, as large as the image and RGB32.  The frame is copied there row by row, and
    // `copied`, when given, is told after each row how many bytes of the image's memory from
    // its start have been copied; the canvas is given back first.
    void moveTo(uchar* bits, qsizetype bytesPerLine,
                const std::function<void(qsizetype copied)>& copied = {});
    // The pixels in memory of its own again: copied from where they are, or black (and all of
    // the frame changed) when that memory is `lost`.  Nothing when they are in their own.
    void moveHome(bool lost);
    // Where the pixels are when in memory of someone else's; null when in their own.
    const uchar* outsideMemory() const;

  private:
    QImage m_image;
    double m_scale;
    std::unique_ptr<Canvas> m_canvas;
    bool m_wholeChanged = true;
    const uchar* m_outside = nullptr;
};
