#include "display/MemoryPlatform.h"

#include <algorithm>

class MemorySurface : public ImageSurface
{
  public:
    MemorySurface(MemoryPlatform* platform, QSize size, MemoryPlacement placement, bool primary)
        : ImageSurface(size, placement, platform->FrameScale), m_platform(platform), m_primary(primary)
    {
        m_platform->m_surfaces.push_back(this);
        if (primary)
            m_platform->m_primary = this;
    }
    ~MemorySurface() override
    {
        auto& list = m_platform->m_surfaces;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (m_platform->m_primary == this)
            m_platform->m_primary = nullptr;
    }

  protected:
    bool RefusesDeviceContext() const override { return m_platform->RefuseDeviceContext; }
    bool RefusesRestore() const override { return m_platform->FailRestore; }
    void Changed(const QRegion& region, bool whole) override
    {
        if (m_primary && !whole) {
            ++m_platform->m_presents;
            m_platform->m_lastChange = region;
        }
    }

  private:
    MemoryPlatform* m_platform;
    bool m_primary;
};

class MemoryDevice : public DisplayDevice
{
  public:
    explicit MemoryDevice(MemoryPlatform* platform) : m_platform(platform) { ++m_platform->m_displays; }
    ~MemoryDevice() override
    {
        --m_platform->m_displays;
        // Releasing the display object gives the display back to the desktop.
        if (m_holdsMode) {
            m_platform->m_currentMode = m_platform->DesktopMode;
            m_platform->m_exclusive = nullptr;
        }
    }

    bool HasRequiredInterface() const override { return !m_platform->FailInterface; }

    DisplayResult SetCooperativeLevel(QWidget* window, bool fullScreenExclusive) override
    {
        m_window = fullScreenExclusive ? window : nullptr;
        return window ? DisplayResult::Ok : DisplayResult::InvalidParams;
    }

    DisplayResult SetDisplayMode(const DisplayMode& mode) override
    {
        ++m_platform->m_setModeCalls;
        int& refuse = m_platform->RefuseSetModeCalls;
        if (refuse != 0) {
            if (refuse > 0)
                --refuse;
            return DisplayResult::UnsupportedMode;
        }
        const auto& modes = m_platform->Modes;
        if (std::find(modes.begin(), modes.end(), mode) == modes.end())
            return DisplayResult::UnsupportedMode;
        m_platform->m_currentMode = mode;
        m_platform->m_exclusive = m_window;
        m_holdsMode = true;
        return DisplayResult::Ok;
    }

    DisplayResult EnumDisplayModes(std::vector<DisplayMode>& modes) override
    {
        ++m_platform->m_enumCalls;
        modes = m_platform->Modes;
        return DisplayResult::Ok;
    }

    DisplayResult CreateSurface(const SurfaceDescription& description,
                                std::unique_ptr<DisplaySurface>& surface) override
    {
        surface.reset();
        if (description.Kind == SurfaceKind::Primary) {
            if (m_platform->FailPrimary || m_platform->m_primary)
                return DisplayResult::Generic;
            const DisplayMode mode = m_platform->m_currentMode;
            surface = std::make_unique<MemorySurface>(m_platform, QSize(mode.Width, mode.Height),
                                                      MemoryPlacement::Video, true);
            return DisplayResult::Ok;
        }
        if (description.Size.isEmpty())
            return DisplayResult::InvalidParams;
        MemoryPlacement placement = MemoryPlacement::Video;
        if (description.SystemMemoryOnly || m_platform->FailVideoSurface) {
            if (!description.SystemMemoryOnly)
                return DisplayResult::OutOfVideoMemory;
            if (m_platform->FailSystemSurface)
                return DisplayResult::OutOfMemory;
            placement = MemoryPlacement::System;
        }
        surface = std::make_unique<MemorySurface>(m_platform, description.Size, placement, false);
        m_platform->m_lastPlacement = placement;
        return DisplayResult::Ok;
    }

    DisplayResult CreateClipper(std::unique_ptr<DisplayClipper>& clipper) override
    {
        clipper.reset();
        if (m_platform->FailClipper)
            return DisplayResult::Generic;
        clipper = std::make_unique<WindowClipper>();
        return DisplayResult::Ok;
    }

  private:
    MemoryPlatform* m_platform;
    QPointer<QWidget> m_window;
    bool m_holdsMode = false;
};

MemoryPlatform::MemoryPlatform()
    : Modes{{320, 200, 8},  {640, 480, 8},   {640, 480, 16},  {640, 480, 32},
            {800, 600, 16}, {1024, 768, 32}, {1920, 1080, 32}},
      m_currentMode(DesktopMode)
{
}

MemoryPlatform::~MemoryPlatform() = default;

void MemoryPlatform::RefuseDisplayMode()
{
    RefuseSetModeCalls = -1;
    Modes.erase(std::remove(Modes.begin(), Modes.end(), DisplayMode{640, 480, 16}), Modes.end());
}

void MemoryPlatform::LoseSurfaces()
{
    for (MemorySurface* s : m_surfaces)
        s->Lose();
}

QImage MemoryPlatform::Screen() const
{
    return m_primary ? m_primary->Pixels() : QImage();
}

DisplayResult MemoryPlatform::CreateDisplay(std::unique_ptr<DisplayDevice>& device)
{
    device.reset();
    if (FailCreate)
        return DisplayResult::Generic;
    device = std::make_unique<MemoryDevice>(this);
    return DisplayResult::Ok;
}
