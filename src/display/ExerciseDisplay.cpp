#include "display/ExerciseDisplay.h"

#include "core/Exceptions.h"
#include "core/Letterbox.h"
#include "display/FullScreen.h"

#include <QBackingStore>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace
{

// Below a quarter of its size the frame cannot be read: such a screen is refused.
constexpr double kMinScale = 0.25;

const QSize kFrameSize(FrameSurface::Width, FrameSurface::Height);

// The window system keeps a window's pixels in one image, which may be asked for at any time
// (X11, and the offscreen platform).  A Wayland window's are buffers passed to and fro between
// the program and the compositor, to be touched only while the window is painted.
bool oneImageStore()
{
    static const bool one = QGuiApplication::platformName() == QLatin1String("xcb") ||
                            QGuiApplication::platformName() == QLatin1String("offscreen");
    return one;
}

QSize deviceSizeOf(QSize logical, double dpr)
{
    return QSize(qRound(logical.width() * dpr), qRound(logical.height() * dpr));
}
QRectF deviceRectOf(const QRect& logical, double dpr)
{
    return QRectF(logical.x() * dpr, logical.y() * dpr, logical.width() * dpr, logical.height() * dpr);
}
QRectF logicalRectOf(const QRect& device, double dpr)
{
    return QRectF(device.x() / dpr, device.y() / dpr, device.width() / dpr, device.height() / dpr);
}

} // namespace

ExerciseDisplay::ExerciseDisplay(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted from the frame; no background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    if (parent) {
        // Covers the parent, unless a layout places the widget.
        m_watchedParent = parent;
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }
}

ExerciseDisplay::~ExerciseDisplay()
{
    // The owner is being torn down: no events from here.
    blockSignals(true);
    finalize();
}

QWidget* ExerciseDisplay::form() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void ExerciseDisplay::setOffscreenScale(double scale)
{
    m_offscreenScale = scale;
    if (m_initialized && !m_busy)
        rescale(scale);
}

void ExerciseDisplay::initialize()
{
    finalize();
    QWidget* form = this->form();
    if (!form)
        throw DisplayError(QStringLiteral("Form not found"));
    QScreen* screen = nullptr;
    double scale = 0;
    if (m_offscreenScale) {
        scale = *m_offscreenScale;
    } else {
        screen = zrv::screenFor(form);
        if (screen)
            scale = zrv::frameScaleFor(kFrameSize, zrv::deviceSizeOfScreen(screen));
    }
    if (!(scale >= kMinScale)) // also when it is not a number
        throw DisplayError(QStringLiteral("Display mode cannot be changed (640x480 16bit)"));
    // A later run in a window that still holds the last one's frame (hidden meanwhile, its
    // memory kept): the new frame is made where that one was, on the screen the window is
    // about to cover, not first in memory of its own beside it.  Should the window's memory
    // be made again when it shows, the frame is black and drawn again (moveOutOfStore).
    const QSize frameSize = FrameSurface::sizeFor(scale);
    const QSize covered =
        screen ? zrv::deviceSizeOfScreen(screen) : deviceSizeOf(size(), devicePixelRatioF());
    const QImage* store = oneImageStore() ? storeImage() : nullptr;
    uchar* bits = store ? placeInStore(store, zrv::letterboxRect(frameSize, covered), frameSize) : nullptr;
    if (bits) {
        m_surface = std::make_unique<FrameSurface>(scale, bits, store->bytesPerLine());
        keptIn(store);
    } else {
        m_surface = std::make_unique<FrameSurface>(scale);
    }
    m_lastPresented = QRegion();
    if (screen) {
        m_heldForm = form;
        zrv::takeScreen(form, screen);
        watchScreen(screen);
    }
    m_initialized = true;
    m_eventRaised = true;
    update();
    emit initialized();
}

void ExerciseDisplay::finalize()
{
    if (!m_surface)
        return;
    m_busy = true;
    auto tearDown = [this] {
        m_initialized = false;
        for (const auto& c : std::as_const(m_screenWatch))
            disconnect(c);
        m_screenWatch.clear();
        if (m_heldForm)
            zrv::giveBackScreen(m_heldForm);
        m_heldForm = nullptr;
        m_surface.reset();
        m_busy = false;
        update(); // black again
    };
    try {
        if (m_eventRaised) {
            m_eventRaised = false;
            emit finalized();
        }
    } catch (...) {
        tearDown();
        throw;
    }
    tearDown();
}

void ExerciseDisplay::present()
{
    if (!m_initialized || m_busy)
        return;
    m_surface->canvas()->release();
    if (m_surface->outsideMemory() && !inStore())
        moveOutOfStore();
    const QRegion changed = m_surface->takeChanged();
    m_lastPresented = changed;
    if (changed.isEmpty() || !isVisible())
        return;
    const QRect target = frameTarget();
    if (target.size() != m_surface->image().size()) {
        update();
        return;
    }
    QRegion device;
    for (const QRect& r : changed)
        device += zrv::deviceRectOf(r, m_surface->scale()).translated(target.topLeft());
    if (flushFromStore(device))
        return;
    const double dpr = devicePixelRatioF();
    for (const QRect& r : device)
        update(logicalRectOf(r, dpr).toAlignedRect());
}

bool ExerciseDisplay::flushFromStore(const QRegion& changed)
{
    // The canvas has drawn the step into the store already: a repaint would copy nothing, yet
    // before it the X11 back end waits for the server to answer (so that the parts of the
    // shared image it was last sent are not painted while it reads them), a round trip at
    // every step.  The pixels are only sent instead.  A Wayland store is one of several
    // buffers the compositor hands back in turn: it is painted the usual way there.
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    QWindow* handle = window()->windowHandle();
    if (!x11 || !handle || !inStore() || overlapped())
        return false;
    backingStore()->flush(changed.translated(mapTo(window(), QPoint())), handle);
    return true;
}

void ExerciseDisplay::rescale(double scale)
{
    if (!m_surface || scale == m_surface->scale() || !(scale >= kMinScale))
        return;
    std::unique_ptr<FrameSurface> remade;
    try {
        remade = std::make_unique<FrameSurface>(scale);
    } catch (const DisplayError&) {
        return;
    }
    // The new canvas draws with what the old one was set to.
    const Canvas* old = m_surface->canvas();
    Canvas* canvas = remade->canvas();
    canvas->brush = old->brush;
    canvas->pen = old->pen;
    canvas->font = old->font;
    m_surface = std::move(remade);
    update();
    emit surfaceRemade();
}

void ExerciseDisplay::watchScreen(QScreen* screen)
{
    for (const auto& c : std::as_const(m_screenWatch))
        disconnect(c);
    m_screenWatch.clear();
    // A change comes as several events and signals at once: one look after them all.
    auto follow = [this] {
        if (m_followPending)
            return;
        m_followPending = true;
        QTimer::singleShot(0, this, [this] {
            m_followPending = false;
            followScreen();
        });
    };
    m_screenWatch << connect(screen, &QScreen::geometryChanged, this, follow)
                  << connect(screen, &QScreen::logicalDotsPerInchChanged, this, follow);
    if (m_heldForm) {
        if (QWindow* window = m_heldForm->windowHandle())
            m_screenWatch << connect(window, &QWindow::screenChanged, this, follow);
    }
}

void ExerciseDisplay::followScreen()
{
    if (!m_initialized || m_busy || !m_heldForm || m_offscreenScale)
        return;
    QScreen* screen = m_heldForm->screen();
    if (!screen)
        return;
    if (m_heldForm->geometry() != screen->geometry())
        zrv::takeScreen(m_heldForm, screen);
    watchScreen(screen);
    rescale(zrv::frameScaleFor(kFrameSize, zrv::deviceSizeOfScreen(screen)));
}

bool ExerciseDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedParent && event->type() == QEvent::Resize && !m_watchedParent->layout())
        setGeometry(m_watchedParent->rect());
    return QWidget::eventFilter(watched, event);
}

QImage* ExerciseDisplay::storeImage() const
{
    QBackingStore* store = backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    return device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
}

bool ExerciseDisplay::inStore() const
{
    // The store is asked for only once the frame has been put in it, while it was painted.
    if (!m_surface || !m_surface->outsideMemory())
        return false;
    const QImage* store = storeImage();
    return store && store == m_store && store->constBits() == m_storeBits &&
           store->bytesPerLine() == m_storeBytesPerLine && store->size() == m_storeSize;
}

bool ExerciseDisplay::overlapped() const
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return false;
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && w != this && w->isVisible() && !w->isWindow() && w->geometry().intersects(geometry()))
            return true;
    }
    for (const QObject* o : children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && w->isVisible() && !w->isWindow())
            return true;
    }
    return false;
}

uchar* ExerciseDisplay::placeInStore(const QImage* store, const QRect& target, QSize frameSize) const
{
    // An opaque window's 32-bit pixels: its alpha byte is always 0xFF, as the frame's are, so
    // its premultiplied format holds them unchanged.
    const bool opaque32 =
        store->format() == QImage::Format_RGB32 || (store->format() == QImage::Format_ARGB32_Premultiplied &&
                                                    !window()->testAttribute(Qt::WA_TranslucentBackground));
    if (m_offscreenScale || devicePixelRatioF() != 1.0 || store->devicePixelRatio() != 1.0 || !opaque32 ||
        overlapped())
        return nullptr;
    const QRect inStore(mapTo(window(), target.topLeft()), target.size());
    if (target.size() != frameSize || !store->rect().contains(inStore))
        return nullptr;
    // Not bits(): the store's image is not to be detached from the memory the window system
    // is sent from.
    return const_cast<uchar*>(store->constBits()) + qsizetype(inStore.y()) * store->bytesPerLine() +
           qsizetype(inStore.x()) * 4;
}

void ExerciseDisplay::moveIntoStore(QImage* store, const QRect& target)
{
    if (!m_surface || m_surface->outsideMemory())
        return;
    uchar* bits = placeInStore(store, target, m_surface->image().size());
    if (!bits)
        return;
    m_surface->moveTo(bits, store->bytesPerLine());
#ifdef __GLIBC__
    // The frame's own memory, given back to the system: a block this large may lie inside
    // the heap, where freeing alone keeps it resident.
    malloc_trim(0);
#endif
    keptIn(store);
}

void ExerciseDisplay::keptIn(const QImage* store)
{
    m_store = store;
    m_storeBits = store->constBits();
    m_storeBytesPerLine = store->bytesPerLine();
    m_storeSize = store->size();
}

void ExerciseDisplay::moveOutOfStore()
{
    if (!m_surface || !m_surface->outsideMemory()) {
        m_store = nullptr;
        return;
    }
    const bool lost = !inStore();
    m_surface->moveHome(lost);
    m_store = nullptr;
    if (lost) {
        update();
        QTimer::singleShot(0, this, [this] {
            if (m_initialized && !m_busy)
                emit surfaceRemade();
        });
    }
}

void ExerciseDisplay::resizeEvent(QResizeEvent* event)
{
    // The backing store is made again at the window's new size (at its next repaint) unless it
    // has that size already, as when a window that held a run's frame full-screen takes the
    // screen again for the next one: the frame stays where it is then.
    const QImage* store = inStore() ? storeImage() : nullptr;
    const bool kept =
        store && store->size() == deviceSizeOf(window()->size(), devicePixelRatioF()) &&
        placeInStore(store, frameTarget(), m_surface->image().size()) == m_surface->outsideMemory();
    if (!kept)
        moveOutOfStore();
    QWidget::resizeEvent(event);
}

void ExerciseDisplay::hideEvent(QHideEvent* event)
{
    moveOutOfStore();
    QWidget::hideEvent(event);
}

QRect ExerciseDisplay::frameTarget() const
{
    return zrv::letterboxRect(m_surface->image().size(), deviceSizeOf(size(), devicePixelRatioF()));
}

void ExerciseDisplay::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRegion& region = event->region();
    if (!m_surface) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    // The frame as it is now: what was drawn since the last present shows with the next.
    const double dpr = devicePixelRatioF();
    const QRect target = frameTarget();
    const QRect logicalTarget = logicalRectOf(target, dpr).toAlignedRect();
    const QImage& frame = m_surface->image();
    for (const QRect& r : region)
        for (const QRect& bar : QRegion(r) - logicalTarget)
            painter.fillRect(bar, Qt::black);
    if (target.isEmpty())
        return;
    if (target.size() != frame.size()) {
        // Not (yet) at the screen's size: no window manager made it full-screen yet, or the
        // screen changed to one the frame was not made again for.
        painter.setClipRegion(region);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(logicalRectOf(target, dpr), frame);
        return;
    }
    // Into the backing store, where the frame's pixels may be already.
    QImage* store = painter.paintEngine() && painter.paintEngine()->paintDevice() == storeImage()
                        ? storeImage()
                        : nullptr;
    if (m_surface->outsideMemory()) {
        if (store && inStore() && !overlapped())
            return;
        if (store || !inStore()) {
            painter.end();
            moveOutOfStore();
            painter.begin(this);
        }
    }
    if (store && !m_surface->outsideMemory()) {
        // The frame goes into the store whole, where the window shows it as it is drawn.
        painter.end();
        moveIntoStore(store, target);
        if (inStore())
            return;
        painter.begin(this);
    }
    // Device pixels 1:1: only the repainted rectangles, each straight from the frame.
    if (dpr != 1.0)
        painter.scale(1 / dpr, 1 / dpr);
    for (const QRect& r : region) {
        const QRect device = deviceRectOf(r, dpr).toAlignedRect() & target;
        if (!device.isEmpty())
            painter.drawImage(device.topLeft(), m_surface->image(), device.translated(-target.topLeft()));
    }
}
