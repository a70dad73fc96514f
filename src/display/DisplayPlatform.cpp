#include "display/DisplayPlatform.h"

#include "core/Letterbox.h"

#include <QPainter>
#include <QWidget>
#include <cstring>

namespace
{
quint32 rgb565ToRgb32(quint16 p)
{
    const quint32 r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}
} // namespace

ImageSurface::ImageSurface(QSize size, MemoryPlacement placement, double scale)
    : m_size(size), m_placement(placement)
{
    if (scale > 0) {
        m_scale = scale;
        m_image = QImage(zrv::DeviceSizeOf(size, scale), QImage::Format_RGB32);
    } else {
        m_image = QImage(size, QImage::Format_RGB16);
    }
    m_image.fill(0);
    if (m_image.format() == QImage::Format_RGB32)
        m_image.fill(0xFF000000u);
}

ImageSurface::~ImageSurface() = default;

QSize ImageSurface::Size() const
{
    return m_size;
}

double ImageSurface::Scale() const
{
    return m_scale;
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
    m_source = nullptr;
    Changed(QRegion(QRect(QPoint(0, 0), m_size)), true);
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::ColorFill(quint16 pixel)
{
    if (m_lost)
        return DisplayResult::SurfaceLost;
    if (m_dcHeld)
        return DisplayResult::SurfaceBusy;
    m_source = nullptr;
    if (m_image.format() == QImage::Format_RGB16)
        m_image.fill(pixel);
    else
        m_image.fill(rgb565ToRgb32(pixel));
    Changed(QRegion(QRect(QPoint(0, 0), m_size)), true);
    return DisplayResult::Ok;
}

DisplayResult ImageSurface::Blt(const QRect& dest, DisplaySurface& source, const QRect& sourceRect,
                                const QRegion& changed)
{
    auto* src = dynamic_cast<ImageSurface*>(&source);
    if (!src || src == this || dest.size() != sourceRect.size() || src->m_scale != m_scale ||
        src->m_image.format() != m_image.format())
        return DisplayResult::InvalidParams;
    if (m_lost || src->m_lost)
        return DisplayResult::SurfaceLost;
    if (m_dcHeld || src->m_dcHeld)
        return DisplayResult::SurfaceBusy;
    // Clip the pair of rectangles to both surfaces.
    const QPoint offset = dest.topLeft() - sourceRect.topLeft();
    const QRect from = sourceRect & QRect(QPoint(0, 0), src->m_size) & QRect(-offset, m_size);
    if (from.isEmpty())
        return DisplayResult::Ok;
    if (m_showsSource) {
        m_source = src;
        m_sourceAlive = src->m_alive;
        Changed((changed & from).translated(offset), false);
        return DisplayResult::Ok;
    }
    const QRegion copied(from);
    const QRect sourcePixels = src->m_image.rect(), pixels = m_image.rect();
    const int depth = m_image.depth() / 8;
    for (const QRect& r : copied) {
        // Both surfaces have the same scale; the offset is whole frame units.
        const QRect in = zrv::DeviceRectOf(r, m_scale) & sourcePixels;
        const QRect out = zrv::DeviceRectOf(r.translated(offset), m_scale) & pixels;
        const int width = std::min(in.width(), out.width()), height = std::min(in.height(), out.height());
        for (int y = 0; y < height; ++y)
            std::memcpy(m_image.scanLine(out.y() + y) + out.x() * depth,
                        src->m_image.constScanLine(in.y() + y) + in.x() * depth, size_t(width * depth));
    }
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
    return Shown().copy();
}

const QImage& ImageSurface::Shown() const
{
    return m_source && !m_sourceAlive.expired() ? m_source->m_image : m_image;
}

void ImageSurface::PaintWindow(QPainter& painter, QWidget* window, const QRegion& region)
{
    painter.setClipRegion(region);
    painter.fillRect(window->rect(), Qt::black);
    painter.drawImage(QRect(QPoint(0, 0), m_size), m_image);
}

void ImageSurface::Lose()
{
    m_lost = true;
    // What a lost surface holds is undefined; make that visible.
    if (!m_dcHeld)
        m_image.fill(m_image.format() == QImage::Format_RGB16 ? 0x5AA5u : rgb565ToRgb32(0x5AA5));
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
