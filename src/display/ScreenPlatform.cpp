#include "display/ScreenPlatform.h"

#include "core/Letterbox.h"
#include "display/ProgramWindow.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <map>

namespace
{

// Below a quarter of its size the frame cannot be read: such a screen is refused.
constexpr double kMinScale = 0.25;

// Between the logical units of a window or screen and its device pixels, `dpr` of them a unit.
QSize deviceSizeOf(QSize logical, double dpr)
{
    return QSize(qRound(logical.width() * dpr), qRound(logical.height() * dpr));
}
QSize deviceSizeOf(const QScreen* screen)
{
    return deviceSizeOf(screen->geometry().size(), screen->devicePixelRatio());
}
QRectF deviceRectOf(const QRect& logical, double dpr)
{
    return QRectF(logical.x() * dpr, logical.y() * dpr, logical.width() * dpr, logical.height() * dpr);
}
QRectF logicalRectOf(const QRect& device, double dpr)
{
    return QRectF(device.x() / dpr, device.y() / dpr, device.width() / dpr, device.height() / dpr);
}

// The window state of a form from before it was taken full-screen, until it is given back.
// Giving back waits until the form is hidden or the event loop runs, so that a form that is
// being closed does not flash in its normal state, and is called off when the form is taken
// again before that.
struct SavedWindow {
    Qt::WindowStates states;
    QRect geometry;
    quint64 generation = 0;
};
std::map<const QWidget*, SavedWindow>& savedWindows()
{
    static std::map<const QWidget*, SavedWindow> saved;
    return saved;
}
quint64 g_generation = 0;

void giveBack(QWidget* form)
{
    auto& saved = savedWindows();
    const auto it = saved.find(form);
    if (it == saved.end())
        return;
    const SavedWindow s = it->second;
    saved.erase(it);
    form->setWindowState(s.states);
    form->setGeometry(s.geometry);
}

// The frame as the window shows it: the drawing surface itself, kept at the screen's device
// resolution, so that a copy to the primary moves no pixels, and a repaint draws the changed
// ones 1:1 into the window, 4:3 in the middle, black bars around.
// A window of another size than the screen's (no window manager made it full-screen yet, or
// it moved to another screen) gets the frame scaled into it.
class ScreenPrimary : public ImageSurface
{
  public:
    ScreenPrimary(QSize size, double scale) : ImageSurface(size, MemoryPlacement::Video, scale)
    {
        SetShowsSource(true);
    }

    void PaintWindow(QPainter& painter, QWidget* window, const QRegion& region) override
    {
        const double dpr = window->devicePixelRatioF();
        const QRect target = targetIn(window);
        const QRect logicalTarget = logicalRectOf(target, dpr).toAlignedRect();
        const QImage& frame = Shown();
        for (const QRect& r : region)
            for (const QRect& bar : QRegion(r) - logicalTarget)
                painter.fillRect(bar, Qt::black);
        if (target.isEmpty())
            return;
        if (target.size() != frame.size()) {
            painter.save();
            painter.setClipRegion(region);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(logicalRectOf(target, dpr), frame);
            painter.restore();
            return;
        }
        // Device pixels 1:1: only the repainted rectangles, each straight from the frame.
        painter.save();
        if (dpr != 1.0)
            painter.scale(1 / dpr, 1 / dpr);
        for (const QRect& r : region) {
            const QRect device = deviceRectOf(r, dpr).toAlignedRect() & target;
            if (!device.isEmpty())
                painter.drawImage(device.topLeft(), frame, device.translated(-target.topLeft()));
        }
        painter.restore();
    }

  protected:
    void Changed(const QRegion& region, bool whole) override
    {
        QWidget* window = Clipper() ? Clipper()->Window() : nullptr;
        if (!window)
            return;
        const QRect target = targetIn(window);
        if (whole || target.size() != Image().size()) {
            window->update();
            return;
        }
        const double dpr = window->devicePixelRatioF();
        for (const QRect& r : region)
            window->update(logicalRectOf(zrv::DeviceRectOf(r, Scale()).translated(target.topLeft()), dpr)
                               .toAlignedRect());
    }

  private:
    // Where the frame lies in the window's device pixels.
    QRect targetIn(const QWidget* window) const
    {
        return zrv::LetterboxRect(Image().size(), deviceSizeOf(window->size(), window->devicePixelRatioF()));
    }
};

class ScreenDevice : public DisplayDevice
{
  public:
    ~ScreenDevice() override { release(); }

    bool HasRequiredInterface() const override { return true; }

    DisplayResult SetCooperativeLevel(QWidget* window, bool fullScreenExclusive) override
    {
        m_form = window;
        m_fullScreen = fullScreenExclusive;
        return window ? DisplayResult::Ok : DisplayResult::InvalidParams;
    }

    DisplayResult SetDisplayMode(const DisplayMode& mode) override
    {
        const QSize size(mode.Width, mode.Height);
        if (mode.BitCount != 16 || size.isEmpty())
            return DisplayResult::UnsupportedMode;
        QScreen* screen = ScreenPlatform::ScreenFor(m_form, size);
        if (!screen)
            return DisplayResult::UnsupportedMode;
        // The frame is drawn at the screen's device resolution, as large as fits with its
        // shape kept (smaller than the mode on a small screen).
        m_scale = zrv::FrameScaleFor(size, deviceSizeOf(screen));
        if (m_scale < kMinScale)
            return DisplayResult::UnsupportedMode;
        m_mode = mode;
        if (m_form && m_fullScreen)
            hold(screen);
        return DisplayResult::Ok;
    }

    DisplayResult EnumDisplayModes(std::vector<DisplayMode>& modes) override
    {
        static const QSize kSizes[] = {{320, 200}, {320, 240},  {512, 384},  {640, 400},  {640, 480},
                                       {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}};
        modes.clear();
        for (const QSize& s : kSizes)
            if (ScreenPlatform::ScreenFor(m_form, s))
                modes.push_back({s.width(), s.height(), 16});
        return DisplayResult::Ok;
    }

    DisplayResult CreateSurface(const SurfaceDescription& description,
                                std::unique_ptr<DisplaySurface>& surface) override
    {
        surface.reset();
        if (description.Kind == SurfaceKind::Primary) {
            if (m_mode.Width <= 0)
                return DisplayResult::Generic; // no mode set yet
            surface = std::make_unique<ScreenPrimary>(QSize(m_mode.Width, m_mode.Height), m_scale);
            return DisplayResult::Ok;
        }
        if (description.Size.isEmpty())
            return DisplayResult::InvalidParams;
        if (m_scale <= 0)
            return DisplayResult::Generic; // no mode set yet
        auto made = std::make_unique<ImageSurface>(
            description.Size, description.SystemMemoryOnly ? MemoryPlacement::System : MemoryPlacement::Video,
            m_scale);
        if (made->Image().isNull())
            return description.SystemMemoryOnly ? DisplayResult::OutOfMemory
                                                : DisplayResult::OutOfVideoMemory;
        surface = std::move(made);
        return DisplayResult::Ok;
    }

    DisplayResult CreateClipper(std::unique_ptr<DisplayClipper>& clipper) override
    {
        clipper = std::make_unique<WindowClipper>();
        return DisplayResult::Ok;
    }

  private:
    // Shows the form full-screen on `screen`.
    void hold(QScreen* screen)
    {
        QWidget* form = m_form;
        auto& saved = savedWindows();
        auto it = saved.find(form);
        if (it == saved.end()) {
            it = saved.emplace(form, SavedWindow{form->windowState(), form->geometry(), 0}).first;
            QObject::connect(form, &QObject::destroyed, [form] { savedWindows().erase(form); });
        }
        it->second.generation = ++g_generation; // calls off a pending give-back
        m_holding = true;
        if (form->screen() != screen)
            form->setScreen(screen);
        form->setGeometry(screen->geometry()); // also where no window manager does it
        form->setWindowState((form->windowState() & ~Qt::WindowMinimized) | Qt::WindowFullScreen);
    }

    // Ends the hold: the form gets its own state and place back.
    void release()
    {
        if (!m_holding)
            return;
        m_holding = false;
        QWidget* form = m_form;
        if (!form)
            return;
        if (!form->isVisible()) {
            giveBack(form);
            return;
        }
        auto it = savedWindows().find(form);
        if (it == savedWindows().end())
            return;
        const quint64 generation = it->second.generation = ++g_generation;
        QPointer<QWidget> guard(form);
        QTimer::singleShot(0, form, [guard, generation] {
            if (!guard)
                return;
            const auto found = savedWindows().find(guard.data());
            if (found != savedWindows().end() && found->second.generation == generation)
                giveBack(guard.data());
        });
    }

    QPointer<QWidget> m_form;
    bool m_fullScreen = false;
    bool m_holding = false;
    DisplayMode m_mode;
    double m_scale = 0; // device pixels per frame pixel on the screen held
};

} // namespace

DisplayResult ScreenPlatform::CreateDisplay(std::unique_ptr<DisplayDevice>& device)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return DisplayResult::Generic;
    device = std::make_unique<ScreenDevice>();
    return DisplayResult::Ok;
}

QScreen* ScreenPlatform::ScreenFor(const QWidget* form, QSize size)
{
    QScreen* preferred = nullptr;
    if (QWidget* active = QApplication::activeWindow(); active && active != form)
        preferred = active->screen();
    if (!preferred) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* w : windows)
            if (w != form && w->isVisible() && qobject_cast<ProgramWindow*>(w)) {
                preferred = w->screen();
                break;
            }
    }
    if (!preferred && form)
        preferred = form->screen();
    if (!preferred)
        preferred = QGuiApplication::primaryScreen();
    if (!preferred || deviceSizeOf(preferred).isEmpty() || size.isEmpty())
        return nullptr;
    return preferred;
}

std::shared_ptr<DisplayPlatform> DisplayPlatform::CreateScreenPlatform()
{
    return std::make_shared<ScreenPlatform>();
}
