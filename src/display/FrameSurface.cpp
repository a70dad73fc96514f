#include "display/FrameSurface.h"

#include "core/Exceptions.h"
#include "core/Letterbox.h"

#include <cmath>

FrameSurface::FrameSurface(double scale) : m_scale(scale)
{
    // Sizes past what an image can have are refused before they reach int.
    constexpr qint64 kMaxSide = qint64(1) << 20;
    const bool usable = std::isfinite(scale) && scale > 0 && scale < double(kMaxSide);
    const qint64 w = usable ? zrv::deviceEdgeOf(Width, scale) : 0;
    const qint64 h = usable ? zrv::deviceEdgeOf(Height, scale) : 0;
    if (w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide)
        m_image = QImage(int(w), int(h), QImage::Format_RGB32);
    if (m_image.isNull())
        throw DisplayError(QStringLiteral("Surface cannot be made"));
    m_image.fill(0xFF000000u);
}

FrameSurface::~FrameSurface()
{
    m_canvas.reset(); // ends its painter before the image goes
}

Canvas* FrameSurface::canvas()
{
    if (!m_canvas)
        m_canvas = std::make_unique<Canvas>(this);
    return m_canvas.get();
}

QRegion FrameSurface::takeChanged()
{
    QRegion changed = m_canvas ? m_canvas->takeChangedRegion() : QRegion();
    if (m_wholeChanged) {
        m_wholeChanged = false;
        changed = QRegion(0, 0, Width, Height);
    }
    return changed;
}
