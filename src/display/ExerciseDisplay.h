#pragma once

#include "display/Canvas.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class DisplayPlatform; // display/DisplayPlatform.h: the platform layer (screen or in-memory)
class QPaintDevice;

// One 640 x 480 surface of the platform (16-bit RGB565 in memory), with its canvas.
class FrameSurface
{
  public:
    virtual ~FrameSurface() = default;
    // The canvas, created at the first call and owned by the surface.
    virtual Canvas* canvas() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // A copy of the pixels (QImage::Format_RGB16), for tests and tools.
    virtual QImage Pixels() const = 0;
    // Device pixels per unit of Width x Height: on the screen the surface is kept at the
    // window's device resolution and the canvas scales what it draws; 1 in memory.
    virtual double Scale() const { return 1.0; }
    // Whether the platform placed the surface in video memory (read back at creation).
    virtual bool InVideoMemory() const { return false; }

    // The canvas's device context: a paint device on the surface's pixels, or null when the
    // platform refuses one (for example while the surface is lost).
    virtual QPaintDevice* GetDC() { return nullptr; }
    virtual void ReleaseDC(QPaintDevice*) {}
};

// The wanted display mode.
struct DisplayModeRequest {
    int Width = 640;
    int Height = 480;
    int BitCount = 16; // 8, 16, 24 or 32; SetBitCount throws DisplayError otherwise
    bool FixedBitCount = true;
    bool FixedRatio = false;
    bool FixedSize = true;
    void SetBitCount(int bits);
};

enum DisplayOption { doFullScreen = 1 };

// The drawing surface control: fills its form; between Initialize and Finalize it holds the
// display (a full-screen window on the screen of the settings window, or the in-memory
// platform in tests), owns the primary and the 640 x 480 drawing surface, and presents the
// drawing surface with Flip.
//
// The form is the top-level window of the control's parent.  When the form's window is shown
// and Initialize has never been called, AutoInitialize initializes the control.  A repaint of
// the control (shown, uncovered, resized) presents the whole frame.  Destroying the control
// finalizes it without raising OnFinalize (its owner is already being torn down by then); an
// owner that wants the event calls Finalize itself first.
class ExerciseDisplay : public QWidget
{
    Q_OBJECT
  public:
    // `platform` null: the screen platform over Qt.
    explicit ExerciseDisplay(QWidget* parent = nullptr, std::shared_ptr<DisplayPlatform> platform = {});
    ~ExerciseDisplay() override;

    bool AutoInitialize = true;
    int Options = doFullScreen;
    int SurfaceWidth = 640;
    int SurfaceHeight = 480;
    DisplayModeRequest Display;
    std::function<void(QObject* sender)> OnInitialize;
    std::function<void(QObject* sender)> OnFinalize;

    // Throws the display layer's errors (DisplayError, DisplayError, ...); on any error of
    // the creation steps the control is finalized before the error passes on.
    void Initialize();
    void Finalize();
    void Restore();
    bool RestoreIfLost();
    void Flip();
    bool CanDraw();

    FrameSurface* Surface() const; // null outside Initialize..Finalize
    FrameSurface* Primary() const;
    bool Initialized() const;
    bool Allocated() const;
    bool Busy() const;
    bool InitializeAttempted() const;
    bool InitializeEventRaised() const;
    DisplayPlatform* Platform() const;
    // The form: the top-level window of the parent, or null without a parent.
    QWidget* Form() const;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void AttachToForm();

    struct Private;
    std::unique_ptr<Private> d;
};
