#include "display/StoreFrame.h"

#include "core/Letterbox.h"
#include "display/FrameSurface.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>
#include <QWindow>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <sys/mman.h>
#include <unistd.h>

std::unique_ptr<StoreFrame> StoreFrame::make(QWidget* widget, std::function<void()> lost)
{
    static const bool oneImage = QGuiApplication::platformName() == QLatin1String("xcb") ||
                                 QGuiApplication::platformName() == QLatin1String("offscreen");
    return oneImage ? std::make_unique<StoreFrame>(widget, std::move(lost)) : nullptr;
}

StoreFrame::StoreFrame(QWidget* widget, std::function<void()> lost)
    : m_widget(widget), m_lost(std::move(lost)),
      m_x11(QGuiApplication::platformName() == QLatin1String("xcb"))
{
}

std::unique_ptr<FrameSurface> StoreFrame::makeSurface(double scale, QSize covered)
{
    // A later run in a window that still holds the last one's frame (hidden meanwhile, its
    // memory kept): the new frame is made where that one was, on the screen the window is
    // about to cover, not first in memory of its own beside it.  Should the window's memory
    // be made again when it shows, the frame is black and drawn again (moveOut).
    const QSize frameSize = FrameSurface::sizeFor(scale);
    const QImage* store = storeImage();
    uchar* bits = store ? placeInStore(store, zrv::letterboxRect(frameSize, covered), frameSize) : nullptr;
    if (!bits)
        return nullptr;
    auto surface = std::make_unique<FrameSurface>(scale, bits, store->bytesPerLine());
    keptIn(store);
    return surface;
}

void StoreFrame::check(FrameSurface* surface)
{
    if (surface && surface->outsideMemory() && !inStore(surface))
        moveOut(surface);
}

bool StoreFrame::flush(FrameSurface* surface, const QRegion& changed)
{
    // The canvas has drawn the step into the window's pixels already: a repaint would copy
    // nothing, yet before it the X11 back end waits for the server to answer (so that the parts
    // of the shared image it was last sent are not painted while it reads them), a round trip
    // at every step.  The pixels are only sent instead.
    QWindow* handle = m_widget->window()->windowHandle();
    if (!m_x11 || !handle || !inStore(surface) || overlapped())
        return false;
    m_widget->backingStore()->flush(changed.translated(m_widget->mapTo(m_widget->window(), QPoint())),
                                    handle);
    return true;
}

bool StoreFrame::paint(FrameSurface* surface, QPainter& painter, const QRect& target)
{
    QImage* store = painter.paintEngine() && painter.paintEngine()->paintDevice() == storeImage()
                        ? storeImage()
                        : nullptr;
    if (surface->outsideMemory()) {
        if (store && inStore(surface) && !overlapped())
            return true;
        if (store || !inStore(surface)) {
            painter.end();
            moveOut(surface);
            painter.begin(m_widget);
        }
    }
    if (store && !surface->outsideMemory() && m_allowed) {
        // The frame goes into the window's pixels whole, where the window shows it as it is
        // drawn.
        if (uchar* bits = placeInStore(store, target, surface->image().size())) {
            painter.end();
            // The pages of the frame's own memory that have been copied are given back as the
            // copy goes on, so that the frame is not resident twice over.  Only memory no other
            // image shares, and only its pages wholly inside it.
            const bool release = surface->image().isDetached();
            auto* own = const_cast<uchar*>(surface->image().constBits());
            const auto page = qsizetype(sysconf(_SC_PAGESIZE));
            const qsizetype misalign = qsizetype(quintptr(own) % quintptr(page));
            qsizetype released = misalign ? page - misalign : 0; // where its first whole page starts
            constexpr qsizetype kReleaseStep = qsizetype(1) << 20;
            surface->moveTo(bits, store->bytesPerLine(), [&](qsizetype copied) {
                const qsizetype pagesCopied = copied - (copied + misalign) % page;
                if (release && pagesCopied >= released + kReleaseStep) {
                    madvise(own + released, size_t(pagesCopied - released), MADV_DONTNEED);
                    released = pagesCopied;
                }
            });
#ifdef __GLIBC__
            // A block this large may lie inside the heap, where freeing alone keeps it resident.
            malloc_trim(0);
#endif
            keptIn(store);
            if (inStore(surface))
                return true;
            painter.begin(m_widget);
        }
    }
    return false;
}

void StoreFrame::resized(FrameSurface* surface, const QRect& target)
{
    // The window's image is made again at its new size (at its next repaint) unless it has that
    // size already, as when a window that held a run's frame full-screen takes the screen again
    // for the next one: the frame stays where it is then.
    const QImage* store = inStore(surface) ? storeImage() : nullptr;
    const double dpr = m_widget->devicePixelRatioF();
    const QSize windowSize(qRound(m_widget->window()->width() * dpr),
                           qRound(m_widget->window()->height() * dpr));
    const bool kept = store && store->size() == windowSize &&
                      placeInStore(store, target, surface->image().size()) == surface->outsideMemory();
    if (!kept)
        moveOut(surface);
}

void StoreFrame::moveOut(FrameSurface* surface)
{
    if (!surface || !surface->outsideMemory()) {
        m_store = nullptr;
        return;
    }
    const bool lost = !inStore(surface);
    surface->moveHome(lost);
    m_store = nullptr;
    if (lost) {
        m_widget->update();
        m_lost();
    }
}

QImage* StoreFrame::storeImage() const
{
    QBackingStore* store = m_widget->backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    return device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
}

bool StoreFrame::inStore(const FrameSurface* surface) const
{
    // The image is asked for only once the frame has been put in it, while it was painted.
    if (!surface || !surface->outsideMemory())
        return false;
    const QImage* store = storeImage();
    return store && store == m_store && store->constBits() == m_storeBits &&
           store->bytesPerLine() == m_storeBytesPerLine && store->size() == m_storeSize;
}

bool StoreFrame::overlapped() const
{
    const QWidget* parent = m_widget->parentWidget();
    if (!parent)
        return false;
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && w != m_widget && w->isVisible() && !w->isWindow() &&
            w->geometry().intersects(m_widget->geometry()))
            return true;
    }
    for (const QObject* o : m_widget->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && w->isVisible() && !w->isWindow())
            return true;
    }
    return false;
}

uchar* StoreFrame::placeInStore(const QImage* store, const QRect& target, QSize frameSize) const
{
    // An opaque window's 32-bit pixels: its alpha byte is always 0xFF, as the frame's are, so
    // its premultiplied format holds them unchanged.
    const bool opaque32 = store->format() == QImage::Format_RGB32 ||
                          (store->format() == QImage::Format_ARGB32_Premultiplied &&
                           !m_widget->window()->testAttribute(Qt::WA_TranslucentBackground));
    if (!m_allowed || m_widget->devicePixelRatioF() != 1.0 || store->devicePixelRatio() != 1.0 || !opaque32 ||
        overlapped())
        return nullptr;
    const QRect inStore(m_widget->mapTo(m_widget->window(), target.topLeft()), target.size());
    if (target.size() != frameSize || !store->rect().contains(inStore))
        return nullptr;
    // Not bits(): the image is not to be detached from the memory the window system is sent from.
    return const_cast<uchar*>(store->constBits()) + qsizetype(inStore.y()) * store->bytesPerLine() +
           qsizetype(inStore.x()) * 4;
}

void StoreFrame::keptIn(const QImage* store)
{
    m_store = store;
    m_storeBits = store->constBits();
    m_storeBytesPerLine = store->bytesPerLine();
    m_storeSize = store->size();
}
