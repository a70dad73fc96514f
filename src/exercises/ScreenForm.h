#pragma once

#include "display/Color.h"
#include "display/DXForm.h"
#include "display/TickWaker.h"
#include "exercises/Blok.h"
#include "exercises/Layout.h"

#include <array>
#include <memory>

class ActivitySource;
class Clock;
class DisplayPlatform;
class QComboBox;
class TDXDraw;
class TDXTimer;
class TMainForm;

// What the exercise window runs on.  Null members: the screen, the platform clock and waker,
// and the application's own activity reports.  Tests pass the in-memory display and fakes.
struct ExerciseEnvironment {
    std::shared_ptr<DisplayPlatform> platform;
    Clock* clock = nullptr;
    std::unique_ptr<TickWaker> waker;
    ActivitySource* activity = nullptr;
};

// The exercise window: runs one exercise at a time on the full-screen drawing surface.  The
// settings window writes Exercise and calls ShowModal(); the call returns when the run has
// ended (Escape, or the chosen duration).  All parameters are read from the settings window's
// controls when the window is shown.
class TScreenForm : public TDXForm
{
    Q_OBJECT
  public:
    using Environment = ExerciseEnvironment;

    explicit TScreenForm(TMainForm* mainForm, Environment environment = {}, QWidget* parent = nullptr);
    ~TScreenForm() override;

    TDXDraw* DXDraw = nullptr;
    TDXTimer* DXTimer = nullptr;

    // The state record.  Tables are 1-based; entry 0 is unused.
    quint8 Exercise = 0; // 0 Dot, 1 Pyramid, 2 Block; written by the settings window
    TColor BackColor = 0;
    TColor ActiveColor = 0;
    TColor PassiveColor = 0;
    TColor DotColor = 0;
    double StartTime = 0; // days, local time
    double Elapsed = 0;   // days since StartTime, as last measured by a tick
    qint32 LetterCount = 0;
    qint32 LineCount = 0;
    qint32 DotStep = 0;
    std::array<qint32, 9> DotOrder{};
    qint32 DotX = 0;
    qint32 DotY = 0;
    std::array<qint32, 5> DotColumns{};
    std::array<qint32, 5> DotRows{};
    std::array<std::unique_ptr<TBlok>, zrv::MaxBloks + 1> Bloks;
    zrv::OrderTable ShowOrder{};
    qint32 Current = 0;
    qint32 OrderLength = 0;
    // Blocks laid out by the first frame of the Pyramid or Block exercise; a tick never
    // highlights a block when none was laid out.
    qint32 BlocksLaidOut = 0;

    // Handlers.
    void FormShow();
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormClose();
    void DXDrawInitialize(QObject* sender);
    void DXDrawFinalize(QObject* sender);
    void DXTimerTimer(QObject* sender, int LagCount);

    // Writes into `color` the colour of the selector's item index (black for no selection or
    // an index outside the table).
    static void ComboColor(TColor& color, const QComboBox* selector);
    static TColor ColorOfIndex(int index);

    // The exercises.
    void SetDotPosition(int position);
    void StartDot();
    void StepDot();
    void DrawBlok(TBlok& block, int mode);
    void StartPyramid();
    void StepPyramid();
    void StartBlock();
    void StepBlock();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void drawDot(int position, TColor color);
    void fillBlok(TBlok& block);

    TMainForm* m_main;
    Clock* m_clock;
    qint64 m_startNs = 0; // the monotonic moment of StartTime
};
