#include "display/ScreenPlatform.h"

#include "display/DXForm.h"
#include "display/Letterbox.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <map>
#include <vector>

namespace
{

QSize deviceSizeOf(const QScreen* screen)
{
    const qreal dpr = screen->devicePixelRatio();
    const QSize s = screen->geometry().size();
    return QSize(qRound(s.width() * dpr), qRound(s.height() * dpr));
}

bool screenShows(const QScreen* screen, QSize size)
{
    if (!screen)
        return false;
    const QSize device = deviceSizeOf(screen);
    return device.width() >= size.width() && device.height() >= size.height();
}

quint32 rgb565ToRgb32(quint16 p)
{
    const quint32 r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
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

// The 640 x 480 frame as the window shows it: scaled into the window's device pixels
// (nearest neighbour, 4:3 kept, black bars) and kept, so that a repaint only copies and a copy
// to the primary converts only the rectangles that changed.
class ScreenPrimary : public ImageSurface
{
  public:
    explicit ScreenPrimary(QSize size) : ImageSurface(size, MemoryPlacement::Video) {}

    void PaintWindow(QPainter& painter, QWidget* window, const QRegion& region) override
    {
        if (!cacheFits(window))
            rebuild(window);
        painter.setClipRegion(region);
        painter.drawImage(QPointF(0, 0), m_scaled);
    }

  protected:
    void Changed(const QRegion& region, bool whole) override
    {
        QWidget* window = Clipper() ? Clipper()->Window() : nullptr;
        if (!window)
            return;
        if (!cacheFits(window)) {
            m_scaled = QImage(); // made again at the next repaint
            window->update();
            return;
        }
        const QSize frame = Image().size();
        const QRegion source = whole ? QRegion(Image().rect()) : region;
        for (const QRect& r : source) {
            const QRect device = zrv::MapFrameRect(r, frame, m_target);
            if (device.isEmpty())
                continue;
            render(device);
            window->update(toLogical(device));
        }
    }

  private:
    qreal dprOf(const QWidget* window) const { return window->devicePixelRatioF(); }
    QSize deviceSize(const QWidget* window) const
    {
        const qreal dpr = dprOf(window);
        return QSize(qRound(window->width() * dpr), qRound(window->height() * dpr));
    }
    bool cacheFits(const QWidget* window) const
    {
        return !m_scaled.isNull() && m_scaled.size() == deviceSize(window) &&
               m_scaled.devicePixelRatio() == dprOf(window);
    }
    QRect toLogical(const QRect& device) const
    {
        const qreal dpr = m_scaled.devicePixelRatio();
        return QRectF(device.x() / dpr, device.y() / dpr, device.width() / dpr, device.height() / dpr)
            .toAlignedRect();
    }

    void rebuild(const QWidget* window)
    {
        const QSize size = deviceSize(window);
        m_scaled = QImage(size.isEmpty() ? QSize(1, 1) : size, QImage::Format_RGB32);
        m_scaled.setDevicePixelRatio(dprOf(window));
        m_scaled.fill(Qt::black);
        const QSize frame = Image().size();
        m_target = zrv::LetterboxRect(frame, m_scaled.size());
        m_columns.resize(size_t(m_target.width()));
        for (int x = 0; x < m_target.width(); ++x)
            m_columns[size_t(x)] = zrv::SourcePixelOf(x, frame.width(), m_target.width());
        m_rows.resize(size_t(m_target.height()));
        for (int y = 0; y < m_target.height(); ++y)
            m_rows[size_t(y)] = zrv::SourcePixelOf(y, frame.height(), m_target.height());
        if (!m_target.isEmpty())
            render(m_target);
    }

    // Converts and scales the frame into `device`, a rectangle within m_target.
    void render(const QRect& device)
    {
        const QImage& frame = Image();
        const int x0 = device.left() - m_target.left(), width = device.width();
        int previousRow = -1;
        const quint32* previous = nullptr;
        for (int y = device.top(); y <= device.bottom(); ++y) {
            const int sourceRow = m_rows[size_t(y - m_target.top())];
            auto* out = reinterpret_cast<quint32*>(m_scaled.scanLine(y)) + device.left();
            if (sourceRow == previousRow) {
                std::memcpy(out, previous, size_t(width) * sizeof(quint32));
            } else {
                const auto* in = reinterpret_cast<const quint16*>(frame.constScanLine(sourceRow));
                const int* columns = m_columns.data() + x0;
                for (int x = 0; x < width; ++x)
                    out[x] = rgb565ToRgb32(in[columns[x]]);
            }
            previousRow = sourceRow;
            previous = out;
        }
    }

    QImage m_scaled;                    // the window's device pixels
    QRect m_target;                     // where the frame lies in it
    std::vector<int> m_columns, m_rows; // source pixel of each target column and row
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
            surface = std::make_unique<ScreenPrimary>(QSize(m_mode.Width, m_mode.Height));
            return DisplayResult::Ok;
        }
        if (description.Size.isEmpty())
            return DisplayResult::InvalidParams;
        auto made = std::make_unique<ImageSurface>(description.Size, description.SystemMemoryOnly
                                                                         ? MemoryPlacement::System
                                                                         : MemoryPlacement::Video);
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
            if (w != form && w->isVisible() && qobject_cast<TDXForm*>(w)) {
                preferred = w->screen();
                break;
            }
    }
    if (!preferred && form)
        preferred = form->screen();
    if (!preferred)
        preferred = QGuiApplication::primaryScreen();
    if (screenShows(preferred, size))
        return preferred;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* s : screens)
        if (screenShows(s, size))
            return s;
    return nullptr;
}

std::shared_ptr<DisplayPlatform> DisplayPlatform::CreateScreenPlatform()
{
    return std::make_shared<ScreenPlatform>();
}
