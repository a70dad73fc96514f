// Shows the drawing surface on the real screen: a frame with the dots, letter blocks and text
// of the exercises, full-screen, scaled with bars, the active dot moving every 300 ms.
// Escape ends it; so does --seconds N.

#include "core/Report.h"
#include "display/ExerciseDisplay.h"
#include "display/ProgramWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

namespace
{
constexpr ColorValue kBack = RGBColor(0, 0, 192);
constexpr ColorValue kPassive = RGBColor(192, 192, 192);
constexpr ColorValue kActive = RGBColor(255, 0, 0);
constexpr ColorValue kText = RGBColor(255, 255, 255);
constexpr ColorValue kYellow = RGBColor(255, 255, 0);
constexpr std::array<int, 4> kColumns{32, 192, 448, 608};
constexpr std::array<int, 4> kRows{24, 144, 336, 456};

class DemoForm : public ProgramWindow
{
  public:
    DemoForm()
    {
        setWindowTitle(QStringLiteral("zrv"));
        setWindowFlag(Qt::FramelessWindowHint);
        resize(640, 480);
        Display = new ExerciseDisplay(this);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(Display);
        Display->setCursor(Qt::BlankCursor);
        Display->OnInitialize = [this](QObject*) { m_step.start(300); };
        Display->OnFinalize = [this](QObject*) { m_step.stop(); };
        QObject::connect(&m_step, &QTimer::timeout, this, [this] { zrv::Guarded([this] { Step(); }); });
    }

    ExerciseDisplay* Display;

  protected:
    void showEvent(QShowEvent* event) override
    {
        ProgramWindow::showEvent(event);
        if (!event->spontaneous())
            zrv::Guarded([this] {
                Display->Initialize();
                DrawFirstFrame();
            });
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            close();
    }
    void closeEvent(QCloseEvent*) override { Display->Finalize(); }

  private:
    void Dot(int x, int y, ColorValue c)
    {
        auto* cv = Display->Surface()->canvas();
        cv->Brush.Color = c;
        cv->Pen.Color = c;
        cv->Brush.Style = bsSolid;
        cv->Ellipse(x - 10, y - 10, x + 10, y + 10);
    }

    void DrawFirstFrame()
    {
        auto* cv = Display->Surface()->canvas();
        cv->Brush.Color = kBack;
        cv->Pen.Color = kBack;
        cv->Brush.Style = bsSolid;
        cv->Rectangle(0, 0, 640, 480);
        cv->Brush.Style = bsClear;
        cv->Pen.Color = kYellow;
        cv->Rectangle(0, 0, 640, 480); // the frame's edge, to see where it ends
        for (int c : kColumns)
            for (int r : kRows)
                Dot(c, r, kPassive);
        cv->Font.Name = QStringLiteral("DejaVu Sans Mono");
        cv->Font.Size = 14;
        cv->Font.Style = fsBold;
        const QStringList lines{QStringLiteral("ab"), QStringLiteral("çdeğ"), QStringLiteral("fıjkıö"),
                                QStringLiteral("lmnoprsş"), QStringLiteral("tuüvyzABÇD")};
        int y = 170;
        for (int i = 0; i < lines.size(); ++i) {
            const bool active = i == 2;
            const int w = cv->TextWidth(lines[i]);
            const int h = cv->TextHeight(lines[i]);
            cv->Brush.Color = kBack;
            cv->Brush.Style = bsSolid;
            cv->Font.Color = active ? kText : kPassive;
            if (active) {
                cv->Brush.Color = cv->Pen.Color = kYellow;
                cv->Ellipse(320 - h / 4, y + h / 2 - h / 4, 320 + h / 4, y + h / 2 + h / 4);
                cv->Brush.Style = bsClear;
            }
            cv->TextOut(320 - w / 2, y, lines[i]);
            y += h;
        }
        cv->Font.Name = QStringLiteral("DejaVu Serif");
        cv->Font.Size = 11;
        cv->Font.Style = fsItalic;
        cv->Font.Color = kYellow;
        cv->Brush.Style = bsClear;
        cv->TextOut(200, 400, QStringLiteral("640 × 480, 16 bit — Nokta, Piramit, Blok"));
        cv->Release();
        Display->Flip();
    }

    void Step()
    {
        if (!Display->CanDraw())
            return;
        Dot(kColumns[m_at % 4], kRows[m_at / 4 % 4], kPassive);
        m_at = (m_at + 5) % 16;
        Dot(kColumns[m_at % 4], kRows[m_at / 4 % 4], kActive);
        Display->Surface()->canvas()->Release();
        Display->Flip();
    }

    QTimer m_step;
    int m_at = 0;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = int(args.indexOf(QStringLiteral("--seconds")));
    if (at > 0 && at + 1 < args.size())
        QTimer::singleShot(args[at + 1].toInt() * 1000, &app, &QApplication::quit);

    // A stand-in for the settings window, whose screen the exercise takes.
    ProgramWindow settings;
    settings.setWindowTitle(QStringLiteral("Nivoleth"));
    auto* label = new QLabel(QStringLiteral("Ayarlar"), &settings);
    label->move(20, 20);
    settings.resize(300, 200);
    settings.show();

    DemoForm screen;
    QTimer::singleShot(200, &screen, [&screen] { screen.ShowModal(); });
    return app.exec();
}
