#include "display/ExerciseDisplay.h"

#include "core/Exceptions.h"
#include "core/Letterbox.h"
#include "display/FullScreen.h"
#include "display/StoreFrame.h"

#include <QEvent>
#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cmath>

namespace
{

// Below a quarter of its size the frame cannot be read: such a screen is refused.
constexpr double kMinScale = 0.25;

const QSize kFrameSize(FrameSurface::Width, FrameSurface::Height);

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
    m_storeFrame = StoreFrame::make(this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (m_initialized && !m_busy)
                emit surfaceRemade();
        });
    });
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
    if (m_storeFrame)
        m_storeFrame->setAllowed(false);
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
    if (m_storeFrame) {
        const QSize covered =
            screen ? zrv::deviceSizeOfScreen(screen) : deviceSizeOf(size(), devicePixelRatioF());
        m_surface = m_storeFrame->makeSurface(scale, covered);
    }
    if (!m_surface)
        m_surface = std::make_unique<FrameSurface>(scale);
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
    if (m_eventRaised) {
        m_eventRaised = false;
        emit finalized();
    }
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
}

void ExerciseDisplay::present()
{
    if (!m_initialized || m_busy)
        return;
    m_surface->canvas()->release();
    if (m_storeFrame)
        m_storeFrame->check(m_surface.get());
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
    if (m_storeFrame && m_storeFrame->flush(m_surface.get(), device))
        return;
    const double dpr = devicePixelRatioF();
    for (const QRect& r : device)
        update(logicalRectOf(r, dpr).toAlignedRect());
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

void ExerciseDisplay::resizeEvent(QResizeEvent* event)
{
    if (m_storeFrame && m_surface)
        m_storeFrame->resized(m_surface.get(), frameTarget());
    QWidget::resizeEvent(event);
}

void ExerciseDisplay::hideEvent(QHideEvent* event)
{
    if (m_storeFrame)
        m_storeFrame->moveOut(m_surface.get());
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
    if (m_storeFrame && m_storeFrame->paint(m_surface.get(), painter, target))
        return;
    // Device pixels 1:1: only the repainted rectangles, each straight from the frame.
    if (dpr != 1.0)
        painter.scale(1 / dpr, 1 / dpr);
    for (const QRect& r : region) {
        const QRect device = deviceRectOf(r, dpr).toAlignedRect() & target;
        if (!device.isEmpty())
            painter.drawImage(device.topLeft(), m_surface->image(), device.translated(-target.topLeft()));
    }
}
