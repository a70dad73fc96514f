#pragma once

#include "display/DisplayPlatform.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class MemorySurface;

// The display platform in memory, for tests.  Its "screen" is the primary surface, readable as
// a QImage; every step of taking the display can be made to fail, surfaces can be lost (and
// kept from being restored) and device contexts refused.  Set the public switches at any time;
// they take effect at the next call that they concern.
//
//     auto platform = std::make_shared<MemoryPlatform>();
//     ExerciseDisplay draw(&form, platform);
//     platform->RefuseDisplayMode();        // Initialize throws "Display mode cannot be ..."
//     platform->LoseSurfaces();             // the next CanDraw/Flip restores (black)
//     QImage screen = platform->Screen();   // what the primary shows (Format_RGB16)
class MemoryPlatform : public DisplayPlatform
{
  public:
    MemoryPlatform();
    ~MemoryPlatform() override;

    // --- Failures ---
    bool FailLibrary = false;       // the display library cannot be loaded
    bool FailCreate = false;        // the display object cannot be created
    bool FailInterface = false;     // the display object lacks the required interface
    int RefuseSetModeCalls = 0;     // refuse this many SetDisplayMode calls; -1 refuses all
    bool FailPrimary = false;       // the primary cannot be created
    bool FailClipper = false;       // the clipper cannot be created
    bool FailVideoSurface = false;  // off-screen surfaces do not fit in video memory
    bool FailSystemSurface = false; // ... nor in system memory
    bool FailRestore = false;       // lost surfaces stay lost
    bool RefuseDeviceContext = false;
    // 0: surfaces of their own size in RGB565, as the pixel tests expect.  Above 0: surfaces
    // kept at that many device pixels per frame pixel (RGB32), as the screen keeps them.
    double FrameScale = 0;
    // The modes EnumDisplayModes lists (in this order; the control sorts them).
    std::vector<DisplayMode> Modes;

    // Refuses every SetDisplayMode and lists no 640 x 480 x 16 mode.
    void RefuseDisplayMode();
    // Takes every surface's memory away, as when another application takes the display.
    void LoseSurfaces();

    // --- What can be seen ---
    // The primary's pixels (RGB32 at the device size with a FrameScale), or a null image while
    // there is no primary.
    QImage Screen() const;
    // The mode the display is in: the desktop mode unless a display object holds another.
    DisplayMode CurrentMode() const { return m_currentMode; }
    DisplayMode DesktopMode{1920, 1080, 32};
    // The window holding the display exclusively, or null.
    QWidget* ExclusiveWindow() const { return m_exclusive; }
    int DisplayCount() const { return m_displays; } // display objects alive
    int SurfaceCount() const { return int(m_surfaces.size()); }
    int SetModeCalls() const { return m_setModeCalls; }
    int EnumModesCalls() const { return m_enumCalls; }
    // Copies into the primary, and the part of the source each said had changed.
    int PresentCount() const { return m_presents; }
    QRegion LastPresentedChange() const { return m_lastChange; }
    // Placement of the last off-screen surface made.
    MemoryPlacement LastSurfacePlacement() const { return m_lastPlacement; }

    DisplayResult CreateDisplay(std::unique_ptr<DisplayDevice>& device) override;
    bool LoadLibrary() override { return !FailLibrary; }

  private:
    friend class MemoryDevice;
    friend class MemorySurface;
    std::vector<MemorySurface*> m_surfaces;
    MemorySurface* m_primary = nullptr;
    DisplayMode m_currentMode;
    QPointer<QWidget> m_exclusive;
    int m_displays = 0;
    int m_setModeCalls = 0;
    int m_enumCalls = 0;
    int m_presents = 0;
    QRegion m_lastChange;
    MemoryPlacement m_lastPlacement = MemoryPlacement::Video;
};
