#pragma once

#include "display/FrameSurface.h"

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class QScreen;
class StoreFrame;

// The full-screen widget that shows the exercise frame.  Between initialize() and finalize() it
// holds a FrameSurface: the 640 x 480 frame drawn at the screen's device resolution, shown 4:3
// in the middle of the widget with black bars around it.  present() repaints what the canvas
// changed since the last present, and only that.
//
// On the screen (the default), initialize() shows the form (the top-level window of the
// widget's parent) full-screen on the screen of the program's other window and finalize() gives
// it its own state and place back.  When that screen changes during a run (its resolution, its
// device pixel ratio, or the window moved to another screen), the surface is made again at the
// new scale and surfaceRemade() asks the owner to draw the whole frame again.
//
// present() asks for a repaint of the device rectangles the canvas changed, and the paint event
// copies them from the frame's memory into the window, as Qt paints any widget.  Where the
// window's pixels are one image at all times (X11), StoreFrame keeps the frame in them instead
// while it is shown 1:1 and nothing lies over it; its header gives the measured reason.
//
// Off-screen (setOffscreenScale(), for tests and the frame renderer) the form is left alone and
// the frame is kept at the scale given, 1 for 640 x 480; it is the same surface, drawn the same
// way.  Changing the scale during a run remakes the surface as a screen change does.
class ExerciseDisplay : public QWidget
{
    Q_OBJECT
  public:
    explicit ExerciseDisplay(QWidget* parent = nullptr);
    ~ExerciseDisplay() override;

    // Keeps the frame off-screen at `scale` device pixels a frame unit from now on.
    void setOffscreenScale(double scale);
    std::optional<double> offscreenScale() const { return m_offscreenScale; }

    // Makes the surface (black) and raises initialized(); an initialized display is finalized
    // first.  Throws DisplayError: "Form not found" without a parent; "Display mode cannot be
    // changed (640x480 16bit)" when there is no screen or the frame would show at less than a
    // quarter of its size; "Surface cannot be made" when the frame's memory cannot be had.
    void initialize();
    // Raises finalized() (while the surface still exists; present() and canDraw() are inert
    // then), drops the surface and gives the screen back.  Nothing when not initialized.
    void finalize();
    // Gives the canvas back and shows what it changed since the last present.
    void present();
    bool canDraw() const { return m_initialized && !m_busy; }
    bool isInitialized() const { return m_initialized; }

    FrameSurface* surface() const { return m_surface.get(); } // null when not initialized
    // What the last present() showed anew, in frame units.
    QRegion lastPresented() const { return m_lastPresented; }
    // The form: the top-level window of the parent, or null without a parent.
    QWidget* form() const;

  signals:
    void initialized();
    void finalized();
    // The surface was made again at another scale (black): the owner draws its frame again.
    void surfaceRemade();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // Remakes the surface at `scale`; keeps the old one when that scale is refused or cannot be
    // had (the window then shows it scaled).
    void rescale(double scale);
    // After a change of the form's screen: full-screen on it, the frame at its scale.
    void followScreen();
    void watchScreen(QScreen* screen);
    // Where the frame lies in the widget's device pixels.
    QRect frameTarget() const;

    std::optional<double> m_offscreenScale;
    std::unique_ptr<FrameSurface> m_surface;
    std::unique_ptr<StoreFrame> m_storeFrame; // null where the window's pixels are not one image
    QPointer<QWidget> m_heldForm;             // the form shown full-screen, while it is
    QPointer<QWidget> m_watchedParent;
    QList<QMetaObject::Connection> m_screenWatch;
    QRegion m_lastPresented;
    bool m_initialized = false;
    bool m_busy = false;
    bool m_eventRaised = false;
    bool m_followPending = false;
};
