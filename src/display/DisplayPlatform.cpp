#include "display/DisplayPlatform.h"

#include <QPainter>
#include <QWidget>
#include <cstring>

ImageSurface::ImageSurface(QSize size, MemoryPlacement placement)
    : m_image(size, QImage::Format_RGB16), m_placement(placement)
{
    m_image.fill(0);
}

ImageSurface::~ImageSurface() = default;

QSize ImageSurface::Size() const
{
    return m_image.size();
}

MemoryPlacement ImageSurface::Placement() const
{
    return m_placement;
}

DisplayResult ImageSurface::IsLost() const
{
    return m_lost ? DisplayResult::SurfaceLost : DisplayResult::Ok;
}

DisplayResult ImageSurface::Restore()
{
    if (!m_lost)
        return DisplayResult::Ok;
    if (RefusesRestore())
        return DisplayResult::SurfaceLost;
    m_lost = false;
    Changed(QRegion(m_image.rect()), true);
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::ColorFill(quint16 pixel)
{
    if (m_lost)
        return DisplayResult::SurfaceLost;
    if (m_dcHeld)
        return DisplayResult::SurfaceBusy;
    m_image.fill(pixel);
    Changed(QRegion(m_image.rect()), true);
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::Blt(const QRect& dest, DisplaySurface& source, const QRect& sourceRect,
                                const QRegion& changed)
{
    auto* src = dynamic_cast<ImageSurface*>(&source);
    if (!src || src == this || dest.size() != sourceRect.size())
        return DisplayResult::InvalidParams;
    if (m_lost || src->m_lost)
        return DisplayResult::SurfaceLost;
    if (m_dcHeld || src->m_dcHeld)
        return DisplayResult::SurfaceBusy;
    // Clip the pair of rectangles to both surfaces.
    const QPoint offset = dest.topLeft() - sourceRect.topLeft();
    const QRect from = sourceRect & src->m_image.rect() & m_image.rect().translated(-offset);
    if (from.isEmpty())
        return DisplayResult::Ok;
    const QRect to = from.translated(offset);
    const int bytes = from.width() * 2;
    for (int y = 0; y < from.height(); ++y)
        std::memcpy(m_image.scanLine(to.y() + y) + to.x() * 2,
                    src->m_image.constScanLine(from.y() + y) + from.x() * 2, size_t(bytes));
    Changed((changed & from).translated(offset), false);
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::SetClipper(DisplayClipper* clipper)
{
    m_clipper = clipper;
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::GetDC(QPaintDevice** dc)
{
    if (!dc)
        return DisplayResult::InvalidParams;
    *dc = nullptr;
    if (m_lost)
        return DisplayResult::SurfaceLost;
    if (m_dcHeld)
        return DisplayResult::SurfaceBusy;
    if (RefusesDeviceContext())
        return DisplayResult::NoDeviceContext;
    m_dcHeld = true;
    *dc = &m_image;
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::ReleaseDC(QPaintDevice* dc)
{
    if (!m_dcHeld || dc != &m_image)
        return DisplayResult::InvalidParams;
    m_dcHeld = false;
    return DisplayResult::Ok;
}

QImage ImageSurface::Pixels() const
{
    return m_image.copy();
}

void ImageSurface::PaintWindow(QPainter& painter, QWidget* window, const QRegion& region)
{
    painter.setClipRegion(region);
    painter.fillRect(window->rect(), Qt::black);
    painter.drawImage(QPoint(0, 0), m_image);
}

void ImageSurface::Lose()
{
    m_lost = true;
    // What a lost surface holds is undefined; make that visible.
    if (!m_dcHeld)
        m_image.fill(0x5AA5);
}

void ImageSurface::Changed(const QRegion&, bool) {}

DisplayResult WindowClipper::SetWindow(QWidget* window)
{
    m_window = window;
    return window ? DisplayResult::Ok : DisplayResult::InvalidParams;
}

QWidget* WindowClipper::Window() const
{
    return m_window;
}
