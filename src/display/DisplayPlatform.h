#pragma once

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <compare>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;
class QWidget;

// The display platform under the drawing surface control: a display object that holds the
// screen exclusively in a display mode, surfaces (the visible primary and off-screen ones) with
// copies, colour fills, loss and restore and a device context, and a clipper that binds the
// primary to a window.  Two back ends: the screen over Qt (ScreenPlatform.h) and an in-memory
// one for tests (MemoryPlatform.h).
//
// The operations report a result and never throw; the control decides which results matter.

// Result of a platform call.
enum class DisplayResult {
    Ok = 0,
    Generic,          // any other failure
    SurfaceLost,      // the surface's memory was taken away; Restore brings it back
    SurfaceBusy,      // a device context is held on the surface, or on the source of a copy
    UnsupportedMode,  // the display mode cannot be set
    OutOfVideoMemory, // no room for the surface in video memory
    OutOfMemory,      // no room for the surface anywhere
    NoDeviceContext,  // the surface cannot give a device context now
    InvalidParams,
};

// A display mode: size in pixels and bits per pixel.  Ordered by width, then height, then bit
// count.
struct DisplayMode {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    auto operator<=>(const DisplayMode&) const = default;
};

enum class SurfaceKind {
    Primary,  // the visible screen, as large as the display mode
    OffScreen // a surface of its own size that is only drawn on and copied from
};
enum class MemoryPlacement { Video, System };

struct SurfaceDescription {
    SurfaceKind Kind = SurfaceKind::OffScreen;
    QSize Size;                    // off-screen surfaces only
    bool SystemMemoryOnly = false; // off-screen: do not try video memory
};

class DisplayClipper
{
  public:
    virtual ~DisplayClipper() = default;
    // Binds the clipper to a window: copies to the primary it is attached to show in the
    // visible part of that window.
    virtual DisplayResult SetWindow(QWidget* window) = 0;
    virtual QWidget* Window() const = 0;
};

// One surface: 16 bits per pixel (RGB565, QImage::Format_RGB16), pixel value 0 black.  A back
// end may keep a surface at a device resolution instead: its size stays in frame units, while
// its pixels (device context, Pixels) are DeviceSizeOf(Size(), Scale()) in 32 bits (RGB32).
class DisplaySurface
{
  public:
    virtual ~DisplaySurface() = default;

    // What GetSurfaceDesc reads back.
    virtual QSize Size() const = 0;
    // Device pixels per frame unit; 1 for a surface kept at its own size.
    virtual double Scale() const { return 1.0; }
    virtual MemoryPlacement Placement() const = 0;

    // SurfaceLost when the surface's memory was taken away, Ok when it is usable.
    virtual DisplayResult IsLost() const = 0;
    // Gives a lost surface its memory back (the contents are then undefined).  Ok on a
    // surface that is not lost.
    virtual DisplayResult Restore() = 0;
    // Fills the whole surface with one pixel value.
    virtual DisplayResult ColorFill(quint16 pixel) = 0;
    // Copies `sourceRect` of `source` (a surface of the same platform) to `dest` of this one
    // (same size; clipped to both surfaces).  `changed` is the part of the source, in source
    // coordinates, that may differ from what the previous copy from it brought here: a back
    // end may confine its presentation work to it; the copy itself is of all of `sourceRect`,
    // unless the back end keeps this surface only as a copy of that source, when it may copy
    // just `changed` (the screen does).  Both surfaces have the same scale and pixel format.
    // SurfaceBusy while either surface has a device context out.
    virtual DisplayResult Blt(const QRect& dest, DisplaySurface& source, const QRect& sourceRect,
                              const QRegion& changed) = 0;
    virtual DisplayResult SetClipper(DisplayClipper* clipper) = 0;

    // A device context: a paint device over the surface's pixels, held until ReleaseDC.
    // NoDeviceContext when the platform refuses one, SurfaceLost while lost, SurfaceBusy when
    // one is already out.
    virtual DisplayResult GetDC(QPaintDevice** dc) = 0;
    virtual DisplayResult ReleaseDC(QPaintDevice* dc) = 0;

    // A copy of the pixels (Format_RGB16, or RGB32 at a device resolution).
    virtual QImage Pixels() const = 0;

    // The primary shows itself in the window of its clipper: called from that window's paint
    // event with the region to paint (logical coordinates of the window).
    virtual void PaintWindow(QPainter& painter, QWidget* window, const QRegion& region) = 0;
};

// The display object.  Releasing it (its destructor) ends the exclusive hold and gives the
// screen back to the desktop; it destroys nothing the caller still owns, so surfaces and
// clippers are destroyed first.
class DisplayDevice
{
  public:
    virtual ~DisplayDevice() = default;
    // Whether the object offers the interface the control needs (IDirectDraw4 and later).
    virtual bool HasRequiredInterface() const = 0;
    // Exclusive full-screen cooperation with `window` (the form).
    virtual DisplayResult SetCooperativeLevel(QWidget* window, bool fullScreenExclusive) = 0;
    virtual DisplayResult SetDisplayMode(const DisplayMode& mode) = 0;
    virtual DisplayResult EnumDisplayModes(std::vector<DisplayMode>& modes) = 0;
    virtual DisplayResult CreateSurface(const SurfaceDescription& description,
                                        std::unique_ptr<DisplaySurface>& surface) = 0;
    virtual DisplayResult CreateClipper(std::unique_ptr<DisplayClipper>& clipper) = 0;
};

class DisplayPlatform
{
  public:
    virtual ~DisplayPlatform() = default;
    // Makes the platform's display library available; false when it cannot be loaded.
    virtual bool LoadLibrary() { return true; }
    // The library's name for the "not loaded" message.
    virtual QString LibraryName() const { return QStringLiteral("DDraw.dll"); }
    // Creates the display object for the default display device.
    virtual DisplayResult CreateDisplay(std::unique_ptr<DisplayDevice>& device) = 0;

    // The screen back end over Qt.
    static std::shared_ptr<DisplayPlatform> CreateScreenPlatform();
};

// A surface over a QImage in memory, the common ground of both back ends.  Loss garbles the
// pixels (as a real loss leaves them undefined); the hooks let a back end refuse device
// contexts and restores, and present what a copy or fill changed.
class ImageSurface : public DisplaySurface
{
  public:
    // `scale` 0: the surface's own size in RGB565; else its frame drawn at that scale in RGB32.
    ImageSurface(QSize size, MemoryPlacement placement, double scale = 0);
    ~ImageSurface() override;

    QSize Size() const override;
    double Scale() const override;
    MemoryPlacement Placement() const override;
    DisplayResult IsLost() const override;
    DisplayResult Restore() override;
    DisplayResult ColorFill(quint16 pixel) override;
    DisplayResult Blt(const QRect& dest, DisplaySurface& source, const QRect& sourceRect,
                      const QRegion& changed) override;
    DisplayResult SetClipper(DisplayClipper* clipper) override;
    DisplayResult GetDC(QPaintDevice** dc) override;
    DisplayResult ReleaseDC(QPaintDevice* dc) override;
    QImage Pixels() const override;
    // Draws the pixels 1:1 at the window's top left, black around them.
    void PaintWindow(QPainter& painter, QWidget* window, const QRegion& region) override;

    // Takes the surface's memory away: IsLost reports SurfaceLost and the pixels are garbage.
    void Lose();
    bool DeviceContextHeld() const { return m_dcHeld; }
    const QImage& Image() const { return m_image; }
    DisplayClipper* Clipper() const { return m_clipper; }

  protected:
    // Blt copies nothing: this surface shows its source's pixels from then on (Shown), until
    // a fill or a restore of its own, or the source is gone.  For a primary that is only ever
    // a copy of one drawing surface, so that a frame is never copied at all.
    void SetShowsSource(bool shows) { m_showsSource = shows; }
    // The pixels this surface shows: its source's, or its own.
    const QImage& Shown() const;
    // Whether the platform refuses a device context / a restore now.
    virtual bool RefusesDeviceContext() const { return false; }
    virtual bool RefusesRestore() const { return false; }
    // Called after pixels changed through a copy, a fill or a restore; `region` in this
    // surface's coordinates.  `whole` when every pixel may have changed.
    virtual void Changed(const QRegion& region, bool whole);

  private:
    QImage m_image;
    QSize m_size;
    double m_scale = 1.0;
    MemoryPlacement m_placement;
    bool m_showsSource = false;
    const ImageSurface* m_source = nullptr;
    std::weak_ptr<void> m_sourceAlive;
    std::shared_ptr<void> m_alive = std::make_shared<int>(0); // for surfaces that show this one
    DisplayClipper* m_clipper = nullptr;
    bool m_lost = false;
    bool m_dcHeld = false;
};

// A clipper that only remembers its window.
class WindowClipper : public DisplayClipper
{
  public:
    DisplayResult SetWindow(QWidget* window) override;
    QWidget* Window() const override;

  private:
    QPointer<QWidget> m_window;
};
