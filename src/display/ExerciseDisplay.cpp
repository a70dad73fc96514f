#include "display/ExerciseDisplay.h"

#include "core/Exceptions.h"
#include "core/Report.h"
#include "display/DisplayPlatform.h"

#include <QEvent>
#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <optional>

namespace
{

QString cannotBeMade(const char* what)
{
    return QStringLiteral("%1 cannot be made").arg(QLatin1String(what));
}

// A platform surface with the result of its last call, its canvas, and what changed on it since
// it was last copied to the screen.
class DirectDrawSurface final : public FrameSurface
{
  public:
    explicit DirectDrawSurface(std::unique_ptr<DisplaySurface> surface) : m_surface(std::move(surface))
    {
        // What the platform made: size and memory placement.
        m_size = m_surface->Size();
        m_placement = m_surface->Placement();
    }
    ~DirectDrawSurface() override { m_canvas.reset(); } // gives a held context back first

    Canvas* canvas() override
    {
        if (!m_canvas)
            m_canvas = std::make_unique<Canvas>(this);
        return m_canvas.get();
    }
    int Width() const override { return m_size.width(); }
    int Height() const override { return m_size.height(); }
    QImage Pixels() const override { return m_surface->Pixels(); }
    bool InVideoMemory() const override { return m_placement == MemoryPlacement::Video; }
    double Scale() const override { return m_surface->Scale(); }

    QPaintDevice* GetDC() override
    {
        QPaintDevice* dc = nullptr;
        m_result = m_surface->GetDC(&dc);
        return m_result == DisplayResult::Ok ? dc : nullptr;
    }
    void ReleaseDC(QPaintDevice* dc) override { m_result = m_surface->ReleaseDC(dc); }

    DisplaySurface& Platform() { return *m_surface; }
    DisplayResult Result() const { return m_result; }
    QRect Rect() const { return QRect(QPoint(0, 0), m_size); }

    DisplayResult IsLost()
    {
        m_result = m_surface->IsLost();
        return m_result;
    }
    DisplayResult Restore()
    {
        m_result = m_surface->Restore();
        if (m_result == DisplayResult::Ok)
            m_wholeChanged = true;
        return m_result;
    }
    DisplayResult Fill(quint16 pixel)
    {
        m_result = m_surface->ColorFill(pixel);
        if (m_result == DisplayResult::Ok)
            m_wholeChanged = true;
        return m_result;
    }
    // Copies all of `source` to `dest`, telling the platform what changed on the source since
    // its last copy.
    DisplayResult CopyFrom(const QRect& dest, DirectDrawSurface& source)
    {
        const QRegion changed = source.PendingChange();
        m_result = m_surface->Blt(dest, source.Platform(), source.Rect(), changed);
        if (m_result == DisplayResult::Ok)
            source.m_pending = QRegion();
        return m_result;
    }

  private:
    QRegion PendingChange()
    {
        if (m_canvas)
            m_pending += m_canvas->TakeChangedRegion();
        if (m_wholeChanged) {
            m_pending = QRegion(Rect());
            m_wholeChanged = false;
        }
        return m_pending;
    }

    std::unique_ptr<DisplaySurface> m_surface;
    std::unique_ptr<Canvas> m_canvas;
    DisplayResult m_result = DisplayResult::Ok;
    QSize m_size;
    MemoryPlacement m_placement = MemoryPlacement::System;
    QRegion m_pending;
    bool m_wholeChanged = true;
};

// The presentation by copying: while the control is initialized it owns the display object,
// both surfaces and the clipper.
struct BltDriver {
    std::unique_ptr<DisplayDevice> device;
    std::unique_ptr<DirectDrawSurface> primary;
    std::unique_ptr<DirectDrawSurface> surface;
    std::unique_ptr<DisplayClipper> clipper;

    ~BltDriver()
    {
        // The clipper, the drawing surface with its canvas, the primary, then the display
        // object, whose release gives the display back to the desktop.
        if (primary)
            primary->Platform().SetClipper(nullptr);
        clipper.reset();
        surface.reset();
        primary.reset();
        device.reset();
    }
};

bool validBitCount(int bits)
{
    return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

void DisplayModeRequest::SetBitCount(int bits)
{
    if (!validBitCount(bits))
        throw DisplayError(QStringLiteral("It should be either of 8 or 16 or 24 or 32"));
    BitCount = bits;
}

struct ExerciseDisplay::Private {
    std::shared_ptr<DisplayPlatform> platform;
    std::unique_ptr<BltDriver> driver;
    std::optional<std::vector<DisplayMode>> modes; // asked once per initialization
    QPointer<QWidget> form;
    QPointer<QWidget> watchedParent;
    bool initialized = false;
    bool allocated = false;
    bool busy = false;
    bool attempted = false;
    bool eventRaised = false;

    bool setDisplayMode(DisplayModeRequest& display);
    void createSurfaces(ExerciseDisplay* control);
};

bool ExerciseDisplay::Private::setDisplayMode(DisplayModeRequest& display)
{
    DisplayDevice& device = *driver->device;
    if (display.Width <= 0 || display.Height <= 0 || !validBitCount(display.BitCount))
        return false;
    const DisplayMode wanted{display.Width, display.Height, display.BitCount};
    DisplayMode chosen = wanted;
    if (device.SetDisplayMode(wanted) != DisplayResult::Ok) {
        if (!modes) {
            std::vector<DisplayMode> list;
            device.EnumDisplayModes(list);
            std::sort(list.begin(), list.end());
            modes = std::move(list);
        }
        auto fits = [&](const DisplayMode& m) {
            if (display.FixedSize && (m.Width != wanted.Width || m.Height != wanted.Height))
                return false;
            if (display.FixedBitCount && m.BitCount != wanted.BitCount)
                return false;
            if (display.FixedRatio && qint64(m.Width) * wanted.Height != qint64(m.Height) * wanted.Width)
                return false;
            return true;
        };
        const auto found = std::find_if(modes->begin(), modes->end(), fits);
        if (found == modes->end())
            return false;
        chosen = *found;
        if (device.SetDisplayMode(chosen) != DisplayResult::Ok)
            return false;
    }
    display.Width = chosen.Width;
    display.Height = chosen.Height;
    display.BitCount = chosen.BitCount;
    return true;
}

void ExerciseDisplay::Private::createSurfaces(ExerciseDisplay* control)
{
    DisplayDevice& device = *driver->device;
    std::unique_ptr<DisplaySurface> made;

    SurfaceDescription primary;
    primary.Kind = SurfaceKind::Primary;
    if (device.CreateSurface(primary, made) != DisplayResult::Ok || !made)
        throw DisplayError(cannotBeMade("Primary Surface"));
    driver->primary = std::make_unique<DirectDrawSurface>(std::move(made));

    if (device.CreateClipper(driver->clipper) != DisplayResult::Ok || !driver->clipper)
        throw DisplayError(cannotBeMade("Clipper"));
    driver->clipper->SetWindow(control); // a failed binding is ignored
    driver->primary->Platform().SetClipper(driver->clipper.get());

    SurfaceDescription offscreen;
    offscreen.Size = QSize(std::max(control->SurfaceWidth, 1), std::max(control->SurfaceHeight, 1));
    if (device.CreateSurface(offscreen, made) != DisplayResult::Ok || !made) {
        offscreen.SystemMemoryOnly = true;
        if (device.CreateSurface(offscreen, made) != DisplayResult::Ok || !made)
            throw DisplayError(cannotBeMade("Surface"));
    }
    driver->surface = std::make_unique<DirectDrawSurface>(std::move(made));
    driver->surface->Fill(0);
}

ExerciseDisplay::ExerciseDisplay(QWidget* parent, std::shared_ptr<DisplayPlatform> platform)
    : QWidget(parent), d(std::make_unique<Private>())
{
    d->platform = platform ? std::move(platform) : DisplayPlatform::CreateScreenPlatform();
    // Every pixel is painted from the frame; no background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    AttachToForm();
    if (parentWidget())
        setGeometry(parentWidget()->rect());
}

ExerciseDisplay::~ExerciseDisplay()
{
    // The owner is being torn down: no events from here.
    OnInitialize = nullptr;
    OnFinalize = nullptr;
    Finalize();
}

QWidget* ExerciseDisplay::Form() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void ExerciseDisplay::AttachToForm()
{
    if (d->form)
        d->form->removeEventFilter(this);
    if (d->watchedParent)
        d->watchedParent->removeEventFilter(this);
    d->form = Form();
    d->watchedParent = parentWidget();
    if (d->form)
        d->form->installEventFilter(this);
    if (d->watchedParent && d->watchedParent != d->form)
        d->watchedParent->installEventFilter(this);
}

bool ExerciseDisplay::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        AttachToForm();
    return QWidget::event(event);
}

bool ExerciseDisplay::eventFilter(QObject* watched, QEvent* event)
{
    // ShowToParent comes after the form's own show handling.
    if (watched == d->form && event->type() == QEvent::ShowToParent) {
        if (AutoInitialize && !d->attempted)
            zrv::Guarded([this] { Initialize(); });
    }
    // Aligned to the parent's client area, unless a layout places the control.
    if (watched == d->watchedParent && event->type() == QEvent::Resize && !d->watchedParent->layout())
        setGeometry(d->watchedParent->rect());
    return QWidget::eventFilter(watched, event);
}

void ExerciseDisplay::Initialize()
{
    d->attempted = true;
    Finalize();
    QWidget* form = Form();
    if (!form)
        throw DisplayError(QStringLiteral("Form not found"));
    d->busy = true;
    d->allocated = true;
    try {
        // The display object.
        d->driver = std::make_unique<BltDriver>();
        if (!d->platform->LoadLibrary())
            throw Exception(QStringLiteral("%1 not loaded").arg(d->platform->LibraryName()));
        if (d->platform->CreateDisplay(d->driver->device) != DisplayResult::Ok || !d->driver->device)
            throw DisplayError(QStringLiteral("%1 cannot be initialized").arg(QLatin1String("DirectDraw")));
        if (!d->driver->device->HasRequiredInterface())
            throw DisplayError(QStringLiteral("Necessary since DirectX 6"));
        // Exclusive full-screen cooperation; the result does not matter.
        d->driver->device->SetCooperativeLevel(form, (Options & doFullScreen) != 0);
        if (!d->setDisplayMode(Display))
            throw DisplayError(QString::asprintf("Display mode cannot be changed (%dx%d %dbit)",
                                                 Display.Width, Display.Height, Display.BitCount));
        d->createSurfaces(this);
    } catch (...) {
        d->busy = false;
        Finalize();
        throw;
    }
    d->busy = false;
    d->initialized = true;
    d->eventRaised = true;
    if (OnInitialize)
        OnInitialize(this);
    Restore();
}

void ExerciseDisplay::Finalize()
{
    if (!d->allocated)
        return;
    if (d->driver && d->driver->surface) {
        SurfaceWidth = d->driver->surface->Width();
        SurfaceHeight = d->driver->surface->Height();
    }
    d->modes.reset();
    d->busy = true;
    auto tearDown = [this] {
        d->allocated = false;
        d->initialized = false;
        d->driver.reset();
        d->busy = false;
        update(); // the control shows black again
    };
    try {
        if (d->eventRaised) {
            d->eventRaised = false;
            if (OnFinalize)
                OnFinalize(this);
        }
    } catch (...) {
        tearDown();
        throw;
    }
    tearDown();
}

void ExerciseDisplay::Restore()
{
    if (!d->initialized || d->busy)
        return;
    d->busy = true;
    struct ClearBusy {
        bool& busy;
        ~ClearBusy() { busy = false; }
    } clear{d->busy};
    BltDriver& driver = *d->driver;
    if (driver.primary->Restore() == DisplayResult::Ok && driver.surface->Restore() == DisplayResult::Ok) {
        driver.primary->Fill(0);
        driver.surface->Fill(0);
    }
}

bool ExerciseDisplay::RestoreIfLost()
{
    if (!d->initialized || d->busy || !d->driver || !d->driver->primary)
        return false;
    BltDriver& driver = *d->driver;
    if (driver.primary->IsLost() == DisplayResult::SurfaceLost ||
        driver.surface->IsLost() == DisplayResult::SurfaceLost) {
        Restore();
        return driver.primary->IsLost() == DisplayResult::Ok && driver.surface->IsLost() == DisplayResult::Ok;
    }
    return true;
}

void ExerciseDisplay::Flip()
{
    if (!d->initialized || d->busy || !RestoreIfLost())
        return;
    QWidget* form = d->form ? d->form.data() : window();
    const QPoint origin = mapTo(form, QPoint(0, 0));
    DirectDrawSurface& surface = *d->driver->surface;
    d->driver->primary->CopyFrom(QRect(origin, QSize(surface.Width(), surface.Height())), surface);
}

bool ExerciseDisplay::CanDraw()
{
    return d->initialized && !d->busy && d->driver && d->driver->surface && RestoreIfLost();
}

void ExerciseDisplay::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // A repaint presents the frame as it is now.
    if (d->initialized && !d->busy)
        Flip();
    if (d->driver && d->driver->primary)
        d->driver->primary->Platform().PaintWindow(painter, this, event->region());
    else
        painter.fillRect(event->rect(), Qt::black);
}

FrameSurface* ExerciseDisplay::Surface() const
{
    return d->driver ? d->driver->surface.get() : nullptr;
}
FrameSurface* ExerciseDisplay::Primary() const
{
    return d->driver ? d->driver->primary.get() : nullptr;
}
bool ExerciseDisplay::Initialized() const
{
    return d->initialized;
}
bool ExerciseDisplay::Allocated() const
{
    return d->allocated;
}
bool ExerciseDisplay::Busy() const
{
    return d->busy;
}
bool ExerciseDisplay::InitializeAttempted() const
{
    return d->attempted;
}
bool ExerciseDisplay::InitializeEventRaised() const
{
    return d->eventRaised;
}
DisplayPlatform* ExerciseDisplay::Platform() const
{
    return d->platform.get();
}
