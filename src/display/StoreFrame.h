#pragma once

#include <QRect>
#include <QRegion>
#include <functional>
#include <memory>

class FrameSurface;
class QImage;
class QPainter;
class QWidget;

// The exercise frame kept in the window's own pixels, on the window systems that keep them in one
// image at all times (X11, and the offscreen platform of the tests): the canvas draws where the
// window system is sent the pixels from, a step's rectangles are sent to the X server straight
// from there, and the frame takes no memory of its own.  Everywhere else the display draws the
// frame the documented way, copying the changed rectangles from the frame's memory in its paint
// event (ExerciseDisplay); this class is the one place that reaches past that.
//
// Why it is kept, measured on 2026-12-10 on Xvfb (Release build, 2 cores of an AMD EPYC VM),
// side by side in the same session with the same program drawing the documented way alone (this
// class made nowhere).  Program CPU at a 40 ms pace, % of one core, 20 s runs; peak resident memory
// over three Dot runs from the settings window at 3840 x 2160:
//
//                                     paint event only     with this class
//   Dot, 1920x1080                        0.75 - 0.77 %        0.45 - 0.51 %
//   Block "Bitişik" 36 x 6, 1920x1080    1.43 - 1.49 %        0.77 - 0.86 %
//   Block "Bitişik" 36 x 6, 3840x2160    2.68 - 2.86 %        1.26 - 1.63 %
//   peak memory, 3840x2160               92.7 MB              75.4 - 75.7 MB
//
// The goals are at most 1 % for Dot, 1.5 % and 2 % for Block and 80 MB.  Painted the documented
// way, a third of a 4K Block step is the paint event's copy, and the X11 back end waits for the
// server before every paint of a region it sent last (every step); and the window's pixels
// (33 MB at 4K) and the frame's (25 MB) are both resident.  Moving the frame into the window's
// pixels copies it once; the pages of its own memory are given back to the system as that copy
// goes (madvise): without that the peak is 92.2 - 92.3 MB, the frame resident twice for the
// length of the copy (75.6 - 75.7 MB with it, in the same session).
//
// The window's image is looked at only where it is one image (asked by the platform's name: Qt
// has no public question for it); a Wayland window's are buffers passed to and fro with the
// compositor, and it has none before its first paint.  The frame leaves the window's pixels
// (copied into memory of its own) before anything could change them behind it: a widget over
// it, a resize, hiding, a picture of the widget taken, the image's memory made again.
class StoreFrame
{
  public:
    // For `widget` when its window's pixels are one image; null on other window systems.
    // `lost` is called when the frame's pixels went with the window's memory (the frame is
    // black again then, and to be drawn again).
    static std::unique_ptr<StoreFrame> make(QWidget* widget, std::function<void()> lost);
    StoreFrame(QWidget* widget, std::function<void()> lost);

    // Whether the frame may go into the window's pixels at all (not when it is kept at a scale of
    // its own, off-screen).
    void setAllowed(bool allowed) { m_allowed = allowed; }

    // A black surface at `scale` made in the window's pixels, where a frame shown over `covered`
    // device pixels of the widget lies; null when it cannot be made there.
    std::unique_ptr<FrameSurface> makeSurface(double scale, QSize covered);
    // Before a present: the frame out of the window's pixels when their memory has changed.
    void check(FrameSurface* surface);
    // Sends the device rectangles `changed` of the widget to the screen from the window's
    // pixels; false when they are to be repainted.
    bool flush(FrameSurface* surface, const QRegion& changed);
    // In the widget's paint event, with `painter` on it and the frame at `target` 1:1: moves the
    // frame into the window's pixels or out of them as the paint requires; true when the frame
    // is there and nothing is left to paint.
    bool paint(FrameSurface* surface, QPainter& painter, const QRect& target);
    // The widget was resized, with the frame at `target`.
    void resized(FrameSurface* surface, const QRect& target);
    // The frame's pixels out of the window's into memory of their own.
    void moveOut(FrameSurface* surface);

  private:
    QImage* storeImage() const;
    bool inStore(const FrameSurface* surface) const;
    bool overlapped() const;
    uchar* placeInStore(const QImage* store, const QRect& target, QSize frameSize) const;
    void keptIn(const QImage* store);

    QWidget* m_widget;
    std::function<void()> m_lost;
    bool m_x11;
    bool m_allowed = true;
    // The image the frame's pixels are in and its memory then.
    const QImage* m_store = nullptr;
    const uchar* m_storeBits = nullptr;
    qsizetype m_storeBytesPerLine = 0;
    QSize m_storeSize;
};
