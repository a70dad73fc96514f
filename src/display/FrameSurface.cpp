#include "display/FrameSurface.h"

#include "core/Exceptions.h"
#include "core/Letterbox.h"

#include <cmath>
#include <cstring>

QSize FrameSurface::sizeFor(double scale)
{
    // Sizes past what an image can have are refused before they reach int.
    constexpr qint64 kMaxSide = qint64(1) << 20;
    const bool usable = std::isfinite(scale) && scale > 0 && scale < double(kMaxSide);
    const qint64 w = usable ? zrv::deviceEdgeOf(Width, scale) : 0;
    const qint64 h = usable ? zrv::deviceEdgeOf(Height, scale) : 0;
    return w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide ? QSize(int(w), int(h)) : QSize();
}

FrameSurface::FrameSurface(double scale) : m_scale(scale)
{
    if (const QSize size = sizeFor(scale); !size.isEmpty())
        m_image = QImage(size, QImage::Format_RGB32);
    if (m_image.isNull())
        throw DisplayError(QStringLiteral("Surface cannot be made"));
    m_image.fill(0xFF000000u);
}

FrameSurface::FrameSurface(double scale, uchar* bits, qsizetype bytesPerLine) : m_scale(scale)
{
    const QSize size = sizeFor(scale);
    if (!size.isEmpty() && bits)
        m_image = QImage(bits, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32);
    if (m_image.isNull())
        throw DisplayError(QStringLiteral("Surface cannot be made"));
    m_image.fill(0xFF000000u);
    m_outside = bits;
}

FrameSurface::~FrameSurface()
{
    m_canvas.reset(); // ends its painter before the image goes
}

Canvas* FrameSurface::canvas()
{
    if (!m_canvas)
        m_canvas = std::make_unique<Canvas>(&m_image, m_scale, QSize(Width, Height));
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

const uchar* FrameSurface::outsideMemory() const
{
    // A copy of the image held elsewhere makes the next drawing take a copy of its own.
    return m_outside && m_image.constBits() == m_outside ? m_outside : nullptr;
}

void FrameSurface::moveTo(uchar* bits, qsizetype bytesPerLine,
                          const std::function<void(qsizetype copied)>& copied)
{
    if (m_canvas)
        m_canvas->release();
    const qsizetype rowBytes = qsizetype(m_image.width()) * 4;
    const uchar* own = m_image.constBits();
    for (int y = 0; y < m_image.height(); ++y) {
        std::memcpy(bits + y * bytesPerLine, m_image.constScanLine(y), size_t(rowBytes));
        if (copied)
            copied(m_image.constScanLine(y) + rowBytes - own);
    }
    m_image = QImage(bits, m_image.width(), m_image.height(), bytesPerLine, QImage::Format_RGB32);
    m_outside = bits;
}

void FrameSurface::moveHome(bool lost)
{
    if (m_canvas)
        m_canvas->release();
    if (outsideMemory()) {
        QImage own(m_image.size(), QImage::Format_RGB32);
        if (own.isNull()) {
            // No memory for it: drawing fails from here rather than go to memory that is gone.
            if (lost) {
                m_image = QImage();
                m_outside = nullptr;
            }
            return;
        }
        if (lost) {
            own.fill(0xFF000000u);
            m_wholeChanged = true;
        } else {
            for (int y = 0; y < own.height(); ++y)
                std::memcpy(own.scanLine(y), m_image.constScanLine(y), size_t(own.width()) * 4);
        }
        m_image = std::move(own);
    }
    m_outside = nullptr;
}
