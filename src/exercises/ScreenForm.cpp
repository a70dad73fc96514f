#include "exercises/ScreenForm.h"

#include "core/Report.h"
#include "display/Clock.h"
#include "display/DXDraw.h"
#include "display/DXTimer.h"
#include "settings/FontDialog.h"
#include "settings/MainForm.h"
#include "settings/SpinEdit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace
{
// The ten colours of the colour selectors, by item index.
constexpr std::array<TColor, 10> kColorTable{
    RGBColor(0, 0, 0),     RGBColor(255, 255, 255), RGBColor(128, 128, 128), RGBColor(192, 192, 192),
    RGBColor(255, 0, 0),   RGBColor(0, 0, 255),     RGBColor(0, 255, 255),   RGBColor(0, 0, 192),
    RGBColor(255, 255, 0), RGBColor(255, 255, 192),
};
constexpr double kMinutesPerDay = 1440.0;
constexpr double kNanosecondsPerDay = 86'400'000'000'000.0;
} // namespace

TScreenForm::TScreenForm(TMainForm* mainForm, Environment environment, QWidget* parent)
    : TDXForm(parent), m_main(mainForm), m_clock(environment.clock ? environment.clock : &Clock::System())
{
    setWindowTitle(QStringLiteral("zrv"));
    setWindowFlag(Qt::FramelessWindowHint);
    resize(640, 480);
    setFocusPolicy(Qt::StrongFocus);

    DXDraw = new TDXDraw(this, std::move(environment.platform));
    DXDraw->AutoInitialize = true;
    DXDraw->Options = doFullScreen;
    DXDraw->SurfaceWidth = 640;
    DXDraw->SurfaceHeight = 480;
    DXDraw->setCursor(Qt::ForbiddenCursor);
    DXDraw->setFocusPolicy(Qt::NoFocus);
    DXDraw->OnInitialize = [this](QObject* sender) { DXDrawInitialize(sender); };
    DXDraw->OnFinalize = [this](QObject* sender) { DXDrawFinalize(sender); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DXDraw);

    DXTimer = new TDXTimer(this, m_clock, std::move(environment.waker), environment.activity);
    DXTimer->setActiveOnly(true);
    DXTimer->setEnabled(false);
    DXTimer->setInterval(400);
    DXTimer->OnTimer = [this](QObject* sender, int lagCount) { DXTimerTimer(sender, lagCount); };
}

TScreenForm::~TScreenForm()
{
    DXTimer->setEnabled(false);
    DXDraw->Finalize();
}

TColor TScreenForm::ColorOfIndex(int index)
{
    return index >= 0 && index < int(kColorTable.size()) ? kColorTable[size_t(index)] : TColor(0);
}

void TScreenForm::ComboColor(TColor& color, const QComboBox* selector)
{
    color = ColorOfIndex(selector ? selector->currentIndex() : -1);
}

void TScreenForm::showEvent(QShowEvent* event)
{
    TDXForm::showEvent(event);
    if (!event->spontaneous())
        zrv::Guarded([this] { FormShow(); });
}

void TScreenForm::FormShow()
{
    // 1. No mouse pointer over the surface.
    DXDraw->setCursor(Qt::BlankCursor);
    setFocus(Qt::OtherFocusReason);
    // 2. The dot grid.
    DotColumns = zrv::DotColumnsInit;
    DotRows = zrv::DotRowsInit;
    // 3. The start of the run.
    Elapsed = 0;
    StartTime = m_clock->LocalDays();
    m_startNs = m_clock->MonotonicNanoseconds();
    // 4. 800 fresh blocks; the previous run's are released.
    for (int i = 1; i <= zrv::MaxBloks; ++i)
        Bloks[size_t(i)] = std::make_unique<TBlok>();
    // 5.-7. The counts and the pace, read from the settings window.
    bool ok = false;
    const int letters = m_main->boxHrf->currentText().trimmed().toInt(&ok, 10);
    LetterCount = ok ? letters : 4;
    LineCount = m_main->boxStr->currentIndex() + 1;
    // The speed box shows 40..2000; a text still being typed is held to that range too.
    DXTimer->setInterval(quint32(qBound(40, m_main->valHiz->Value(), 2000)));
    // 8. Take the display; its OnInitialize enables the timer.  The first tick comes only
    // after this handler has returned.
    DXDraw->Initialize();
    // 9. The exercise font, on the new canvas that Initialize made.
    TDirectDrawSurfaceCanvas* canvas = DXDraw->Surface()->Canvas();
    const TFont chosen = m_main->FontDialog->Font();
    canvas->Font.Name = chosen.Name;
    canvas->Font.Size = chosen.Size;
    canvas->Font.Charset = chosen.Charset;
    canvas->Font.Style = chosen.Style;
    // 10. The colours.
    ComboColor(BackColor, m_main->boxZmn);
    ComboColor(ActiveColor, m_main->boxAkt);
    ComboColor(PassiveColor, m_main->boxPas);
    ComboColor(DotColor, m_main->boxNkt);
    // 11. The first frame.
    switch (Exercise) {
    case 0:
        StartDot();
        break;
    case 1:
        StartPyramid();
        break;
    case 2:
        StartBlock();
        break;
    default:
        break;
    }
}

void TScreenForm::keyPressEvent(QKeyEvent* event)
{
    FormKeyDown(event->key(), event->modifiers());
    event->accept();
}

void TScreenForm::FormKeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Escape)
        RequestClose();
}

void TScreenForm::closeEvent(QCloseEvent* event)
{
    zrv::Guarded([this] { FormClose(); });
    event->accept();
}

void TScreenForm::FormClose()
{
    DXDraw->Finalize();
    DXDraw->setCursor(Qt::ForbiddenCursor);
}

void TScreenForm::DXDrawInitialize(QObject*)
{
    DXTimer->setEnabled(true);
}

void TScreenForm::DXDrawFinalize(QObject*)
{
    DXTimer->setEnabled(false);
}

void TScreenForm::DXTimerTimer(QObject*, int)
{
    if (!DXDraw->CanDraw())
        return;
    const int minutes = m_main->boxDkk->currentIndex();
    if (minutes > 0) {
        // Measured on the monotonic clock: a change of the wall clock (daylight saving, a
        // manual correction) must not stretch or cut a run short.
        Elapsed = double(m_clock->MonotonicNanoseconds() - m_startNs) / kNanosecondsPerDay;
        if (Elapsed > minutes / kMinutesPerDay)
            RequestClose();
    }
    switch (Exercise) {
    case 0:
        StepDot();
        break;
    case 1:
        StepPyramid();
        break;
    case 2:
        StepBlock();
        break;
    default:
        break;
    }
}
