#pragma once

#include <QRect>
#include <QSize>

namespace zrv
{

// The rectangle in which a frame of `frame` pixels is shown inside a window of `window`
// pixels (both in device pixels): as large as fits with the frame's aspect ratio kept, centred,
// the rest of the window being bars.  Empty when either size is empty.
QRect letterboxRect(QSize frame, QSize window);

// Nearest-neighbour scaling along one axis, from `sourceLength` pixels onto `targetLength`
// pixels.  Target pixel t shows source pixel sourcePixelOf(t): the one under the centre of t.
int sourcePixelOf(int t, int sourceLength, int targetLength);
// The first target pixel that shows source pixel `s` or a later one, 0 .. targetLength.  The
// source pixels [s0, s1) are shown exactly by the target pixels
// [targetEdgeOf(s0), targetEdgeOf(s1)), so partial updates meet without seams.
int targetEdgeOf(int s, int sourceLength, int targetLength);

// The target rectangle (in the window's device pixels) that shows the frame rectangle
// `source`, for a frame of `frame` pixels shown in `target` (a LetterboxRect).
QRect mapFrameRect(const QRect& source, QSize frame, const QRect& target);

// Drawing at a device resolution: a frame of `frame` units drawn at `scale` device pixels per
// unit.  The frame edge at unit v lies on device pixel round(v * scale), so that rectangles
// drawn side by side in frame units meet in device pixels too.
qint64 deviceEdgeOf(qint64 v, double scale);
QSize deviceSizeOf(QSize frame, double scale);
// The device pixels that show the frame rectangle `r`.
QRect deviceRectOf(const QRect& r, double scale);
// The largest scale at which a frame of `frame` units fits into `device` pixels (0 when either
// is empty).
double frameScaleFor(QSize frame, QSize device);

} // namespace zrv
